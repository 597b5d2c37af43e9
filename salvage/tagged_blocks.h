#pragma once

#include <cstdint>
#include <functional>

#include "salvage/byte_window.h"

// Additional information comes in tagged blocks: "8BIM" or "8B64", a 4-character key, a length, the data. In a PSB
// some keys have 8-byte lengths. Writers pad the data to 2 or to 4 bytes, with or without counting the padding in
// the length, so the next block is looked for at each of those places.
struct TaggedBlock {
    char key[4] = {};
    uint64_t data = 0;  // the first byte of the data
    uint64_t size = 0;  // as the length says
};

bool KeyIs(const TaggedBlock& block, const char* key);

// Walks the blocks from `offset` until `end` (or the first bytes that are not a block, or a block that does not fit
// before `end`), calling `visit` for each. When `end` is the end of the file, a last block that runs past it is
// visited too (the file was cut). Returns where the walk stopped.
uint64_t WalkTaggedBlocks(ByteWindow& in,
                          uint64_t offset,
                          uint64_t end,
                          bool large,
                          const std::function<void(const TaggedBlock&)>& visit);
