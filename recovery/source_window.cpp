#include "recovery/source_window.h"

#include <algorithm>
#include <cstring>

SourceWindow::SourceWindow(InputFile& source, std::function<void(uint64_t)> on_read)
    : source_(source), on_read_(std::move(on_read)), buffer_(kCapacity) {}

size_t SourceWindow::EnsureSlowly(uint64_t offset, size_t length) {
    if (!exhausted_)
        SlideTo(offset);
    if (offset >= End())
        return 0;
    return static_cast<size_t>(std::min<uint64_t>(length, End() - offset));
}

void SourceWindow::SlideTo(uint64_t offset) {
    const auto keep = static_cast<size_t>(End() - offset);
    std::memmove(buffer_.data(), At(offset), keep);
    start_ = offset;
    size_ = keep;
    // A read that ends on a page boundary of the source goes in one system call straight into the window, not
    // partly through the stream's own buffer.
    constexpr uint64_t kPageSize = 4096;
    const size_t wanted = buffer_.size() - size_ - static_cast<size_t>(start_ % kPageSize);
    const size_t got = source_.Read(buffer_.data() + size_, wanted);
    size_ += got;
    exhausted_ = got < wanted;
    if (on_read_)
        on_read_(End());
}
