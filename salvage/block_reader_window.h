#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "salvage/byte_source.h"

// The surveys' view of a block: large reads of the source, kept while the walk stays inside them, so that walking
// every row costs a read per window and not one per row.
class BlockReaderWindow {
  public:
    // Reads nothing at or past `limit` (the end of the source or of the block). `capacity` must hold the longest
    // span asked for at once.
    BlockReaderWindow(ByteSource& source, uint64_t limit, size_t capacity);

    uint64_t Limit() const { return limit_; }
    // The bytes at `offset`: `*got` is `size` unless the limit or a failed read comes first. Valid until the next call.
    const uint8_t* At(uint64_t offset, size_t size, size_t* got);

  private:
    ByteSource& source_;
    uint64_t limit_;
    std::vector<uint8_t> buffer_;
    uint64_t start_ = 0;
    size_t filled_ = 0;
};
