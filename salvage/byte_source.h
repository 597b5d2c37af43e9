#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/native_file.h"

// Random access to the bytes of a damaged document. A salvager jumps: to the end of the file to find the composite,
// back to a row through its count, forward to the next section; a forward-only stream would not do.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // The number of bytes there are, as known when the source was opened.
    virtual uint64_t Size() const = 0;
    // Reads up to `size` bytes at `offset`. Fewer come back only past the end or after a read error (then Failed()).
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
    // True once a read has failed (as opposed to meeting the end).
    virtual bool Failed() const = 0;
};

// Bytes already in memory: the tests and the fuzzer. The bytes must outlive the source.
class MemoryByteSource : public ByteSource {
  public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t size) override;
    bool Failed() const override { return false; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// A file or block device, read through the seam's safe open (a FIFO or a folder is refused without blocking).
class FileByteSource : public ByteSource {
  public:
    // nullptr when it cannot be opened; `*error` says why.
    static std::unique_ptr<FileByteSource> Open(const std::string& path, std::string* error);
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t size) override;
    bool Failed() const override { return failed_; }
    // The system's reason for the first failed read.
    const std::string& Error() const { return error_; }

  private:
    FileByteSource(NativeFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
    NativeFile file_;
    uint64_t size_;
    bool failed_ = false;
    std::string error_;
};

// Reads exactly `size` bytes at `offset`; false when fewer are there.
bool ReadExactly(ByteSource& source, uint64_t offset, void* buffer, size_t size);
