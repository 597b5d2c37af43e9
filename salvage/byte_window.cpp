#include "salvage/byte_window.h"

#include <algorithm>
#include <cstring>

#include "salvage/big_endian.h"

// A window never needs to be larger than the file: a small file costs small windows, however many scans look at it.
ByteWindow::ByteWindow(ByteSource& source, size_t capacity)
    : source_(source),
      size_(source.Size()),
      buffer_(static_cast<size_t>(std::min<uint64_t>(capacity, std::max<uint64_t>(size_, 16)))) {}

bool ByteWindow::Fill(uint64_t offset, size_t size) {
    uint64_t start = offset;
    if (offset < start_)
        start = offset + size > buffer_.size() ? offset + size - buffer_.size() : 0;
    start_ = start;
    filled_ = source_.ReadAt(start, buffer_.data(), buffer_.size());
    return offset + size <= start_ + filled_;
}

const uint8_t* ByteWindow::Peek(uint64_t offset, size_t size, size_t* got) {
    *got = 0;
    if (offset >= size_)
        return nullptr;
    if (size > buffer_.size())
        size = buffer_.size();
    if (size > size_ - offset)
        size = static_cast<size_t>(size_ - offset);
    const bool inside = offset >= start_ && offset + size <= start_ + filled_;
    if (!inside && !Fill(offset, size)) {
        if (offset < start_ || offset >= start_ + filled_)
            return nullptr;
        size = static_cast<size_t>(start_ + filled_ - offset);
    }
    *got = size;
    return buffer_.data() + (offset - start_);
}

bool ByteWindow::Read(uint64_t offset, void* out, size_t size) {
    if (size > buffer_.size())
        return ReadExactly(source_, offset, out, size);
    size_t got = 0;
    const uint8_t* bytes = Peek(offset, size, &got);
    if (got < size)
        return false;
    std::memcpy(out, bytes, size);
    return true;
}

bool ByteWindow::U8(uint64_t offset, uint8_t* value) {
    return Read(offset, value, 1);
}

bool ByteWindow::U16(uint64_t offset, uint16_t* value) {
    uint8_t b[2];
    if (!Read(offset, b, 2))
        return false;
    *value = LoadU16BE(b);
    return true;
}

bool ByteWindow::U32(uint64_t offset, uint32_t* value) {
    uint8_t b[4];
    if (!Read(offset, b, 4))
        return false;
    *value = LoadU32BE(b);
    return true;
}

bool ByteWindow::U64(uint64_t offset, uint64_t* value) {
    uint8_t b[8];
    if (!Read(offset, b, 8))
        return false;
    *value = LoadU64BE(b);
    return true;
}

bool ByteWindow::Length(uint64_t offset, bool large, uint64_t* value) {
    if (large)
        return U64(offset, value);
    uint32_t v = 0;
    if (!U32(offset, &v))
        return false;
    *value = v;
    return true;
}

bool ByteWindow::TagAt(uint64_t offset, const char* tag) {
    char b[4];
    return Read(offset, b, 4) && std::memcmp(b, tag, 4) == 0;
}
