#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A source opened for reading ("rb"). Reads run forward only.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes. Fewer come back only at the end of the file or after a read error.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // True once a read has failed (as opposed to meeting the end of the file).
    virtual bool Failed() const = 0;
};

// A file created for writing ("wb"). Closing flushes; a failed flush is a failed write.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    [[nodiscard]] virtual bool Write(const void* data, size_t size) = 0;
    [[nodiscard]] virtual bool Close() = 0;
};

// The file operations of the recovery engine. The stdio implementation serves Windows and the console alike;
// tests and the fuzzer use an in-memory one.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // nullptr when the file cannot be opened.
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    // nullptr when the file cannot be created; an existing file is truncated.
    virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;
    // True when anything (file or folder) has that name.
    virtual bool Exists(const std::string& path) = 0;
    // Makes one folder level; false when it cannot be made, also when it already exists.
    virtual bool MakeDirectory(const std::string& path) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual std::optional<uint64_t> SizeOf(const std::string& path) = 0;
};
