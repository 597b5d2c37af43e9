#include "salvage/block_reader_window.h"

#include <algorithm>

BlockReaderWindow::BlockReaderWindow(ByteSource& source, uint64_t limit, size_t capacity)
    : source_(source), limit_(std::min(limit, source.Size())), buffer_(capacity) {}

const uint8_t* BlockReaderWindow::At(uint64_t offset, size_t size, size_t* got) {
    *got = 0;
    if (offset >= limit_)
        return buffer_.data();
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>({size, buffer_.size(), limit_ - offset}));
    if (offset < start_ || offset + wanted > start_ + filled_) {
        start_ = offset;
        const size_t fill = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), limit_ - offset));
        filled_ = source_.ReadAt(offset, buffer_.data(), fill);
    }
    const size_t offset_in = static_cast<size_t>(offset - start_);
    *got = std::min(wanted, filled_ - offset_in);
    return buffer_.data() + offset_in;
}
