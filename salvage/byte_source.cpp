#include "salvage/byte_source.h"

#include <cerrno>
#include <cstring>

size_t MemoryByteSource::ReadAt(uint64_t offset, void* buffer, size_t size) {
    if (offset >= size_)
        return 0;
    const size_t count = std::min<uint64_t>(size, size_ - offset);
    std::memcpy(buffer, data_ + offset, count);
    return count;
}

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::string& path, std::string* error) {
    NativeFile file = OpenForReading(path, error);
    if (!file)
        return nullptr;
    // A block device has no size in its status: its end is found by seeking there.
    if (fseeko(file.get(), 0, SEEK_END) != 0) {
        *error = std::strerror(errno);
        return nullptr;
    }
    const off_t size = ftello(file.get());
    if (size < 0) {
        *error = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(std::move(file), static_cast<uint64_t>(size)));
}

size_t FileByteSource::ReadAt(uint64_t offset, void* buffer, size_t size) {
    if (failed_ || offset >= size_)
        return 0;
    const size_t wanted = std::min<uint64_t>(size, size_ - offset);
    if (fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
        failed_ = true;
        error_ = std::strerror(errno);
        return 0;
    }
    const size_t got = std::fread(buffer, 1, wanted, file_.get());
    if (got < wanted && std::ferror(file_.get())) {
        failed_ = true;
        error_ = std::strerror(errno);
    }
    return got;
}

bool ReadExactly(ByteSource& source, uint64_t offset, void* buffer, size_t size) {
    return source.ReadAt(offset, buffer, size) == size;
}
