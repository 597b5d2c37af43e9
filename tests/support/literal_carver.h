#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"
#include "recovery/carve_result.h"

// A source read the old way: a buffered stream with a position, an end-of-file flag and an error flag.
class LiteralSource {
  public:
    virtual ~LiteralSource() = default;
    virtual void Reopen() = 0;
    virtual size_t Read(uint8_t* buffer, size_t size) = 0;
    virtual uint64_t Position() const = 0;
    // Like fseek: clears the end-of-file flag.
    virtual void Seek(uint64_t position) = 0;
    // Reads at `position` and leaves position and flags as they were.
    virtual size_t Peek(uint64_t position, uint8_t* buffer, size_t size) = 0;
    virtual bool AtEnd() const = 0;  // end of file met, or a read failed
    virtual bool Failed() const = 0;
};

// The carving rules carried out word for word: 1024-byte reads into a scan block and a copy block, every offset
// tested byte by byte. Slow and plain on purpose; the fast carver must produce exactly what this produces.
CarveResult LiteralCarve(LiteralSource& source,
                         FileSystem& output,
                         Platform& platform,
                         const std::string& folder,
                         LanguageId language);

// Bytes in memory; reads reaching `error_at` fail there, as on a bad disk sector.
class MemoryLiteralSource final : public LiteralSource {
  public:
    MemoryLiteralSource(const std::vector<uint8_t>& bytes, std::optional<uint64_t> error_at);
    void Reopen() override;
    size_t Read(uint8_t* buffer, size_t size) override;
    uint64_t Position() const override { return position_; }
    void Seek(uint64_t position) override;
    size_t Peek(uint64_t position, uint8_t* buffer, size_t size) override;
    bool AtEnd() const override { return eof_ || failed_; }
    bool Failed() const override { return failed_; }

  private:
    const std::vector<uint8_t>& bytes_;
    uint64_t end_;
    bool error_possible_;
    uint64_t position_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

// A real file through stdio, for the benchmark.
class FileLiteralSource final : public LiteralSource {
  public:
    explicit FileLiteralSource(const std::string& path);
    ~FileLiteralSource() override;
    bool IsOpen() const { return file_ != nullptr; }
    void Reopen() override;
    size_t Read(uint8_t* buffer, size_t size) override;
    uint64_t Position() const override;
    void Seek(uint64_t position) override;
    size_t Peek(uint64_t position, uint8_t* buffer, size_t size) override;
    bool AtEnd() const override;
    bool Failed() const override;

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
};
