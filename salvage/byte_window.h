#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "salvage/byte_source.h"

// Small reads at scattered offsets through one cached window of the source. The record walks read a few bytes at a
// time going forward and the scans from the end step backwards, so a miss below the window fills the window that
// ends at the bytes asked for, and any other miss the window that starts there: either way one ReadAt serves many
// reads, and a multi-gigabyte file is only read where something is looked for.
class ByteWindow {
  public:
    explicit ByteWindow(ByteSource& source, size_t capacity = 64 * 1024);

    uint64_t Size() const { return size_; }
    // The source itself, for a second window over it.
    ByteSource& Source() { return source_; }
    // True once a read of the source has failed (as opposed to meeting the end).
    bool Failed() const { return source_.Failed(); }

    // Copies `size` bytes at `offset`; false when fewer are there.
    bool Read(uint64_t offset, void* out, size_t size);
    // Up to `size` (at most the capacity) bytes at `offset`, valid until the next call; `*got` says how many.
    const uint8_t* Peek(uint64_t offset, size_t size, size_t* got);

    bool U8(uint64_t offset, uint8_t* value);
    bool U16(uint64_t offset, uint16_t* value);
    bool U32(uint64_t offset, uint32_t* value);
    bool U64(uint64_t offset, uint64_t* value);
    // A section or channel length: 4 bytes, or 8 in a large document.
    bool Length(uint64_t offset, bool large, uint64_t* value);
    // True when the 4 bytes at `offset` are `tag`.
    bool TagAt(uint64_t offset, const char* tag);

  private:
    bool Fill(uint64_t offset, size_t size);

    ByteSource& source_;
    uint64_t size_;
    std::vector<uint8_t> buffer_;
    uint64_t start_ = 0;
    size_t filled_ = 0;
};

// a + b, or false when it does not fit in 64 bits.
inline bool AddChecked(uint64_t a, uint64_t b, uint64_t* sum) {
    *sum = a + b;
    return *sum >= a;
}
// a × b, or false when it does not fit in 64 bits.
inline bool MulChecked(uint64_t a, uint64_t b, uint64_t* product) {
    if (a != 0 && b > UINT64_MAX / a)
        return false;
    *product = a * b;
    return true;
}
