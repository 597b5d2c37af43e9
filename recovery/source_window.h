#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/file_system.h"

// A forward-sliding window over a source, addressed by absolute offsets. Large reads keep the scan fast while
// memory stays fixed whatever the source's size. Bytes before the last position handed to Ensure may be dropped.
class SourceWindow {
  public:
    // Reads of 256 KiB cost the system no more per byte than larger ones, and what they bring is still in the
    // processor's cache when the candidate filter goes through it.
    static constexpr size_t kCapacity = size_t{1} << 18;

    // `on_read` is told the number of source bytes read so far after every read.
    SourceWindow(InputFile& source, std::function<void(uint64_t)> on_read);

    // Makes bytes [offset, offset + length) resident as far as the source has them and returns how many of them
    // are. `offset` lies between the offset of the previous call and End(); `length` is at most kCapacity / 2.
    size_t Ensure(uint64_t offset, size_t length) {
        return offset + length <= End() ? length : EnsureSlowly(offset, length);
    }

    // Valid until the next Ensure; `offset` must be resident (or End()).
    const uint8_t* At(uint64_t offset) const { return buffer_.data() + (offset - start_); }
    uint64_t End() const { return start_ + size_; }
    // The source has no bytes beyond End(): it ended, or a read failed.
    bool Exhausted() const { return exhausted_; }
    bool ReadFailed() const { return source_.Failed(); }

  private:
    size_t EnsureSlowly(uint64_t offset, size_t length);
    void SlideTo(uint64_t offset);

    InputFile& source_;
    std::function<void(uint64_t)> on_read_;
    std::vector<uint8_t> buffer_;
    uint64_t start_ = 0;
    size_t size_ = 0;
    bool exhausted_ = false;
};
