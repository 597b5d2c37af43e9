#include "salvage/tagged_blocks.h"

#include <cstring>

namespace {

bool SignatureAt(ByteWindow& in, uint64_t offset) {
    return in.TagAt(offset, "8BIM") || in.TagAt(offset, "8B64");
}

bool HasLongLength(const char* key) {
    for (const char* long_key :
         {"LMsk", "Lr16", "Lr32", "Layr", "Mt16", "Mt32", "Mtrn", "Alph", "FMsk", "lnk2", "FEid", "FXid", "PxSD"}) {
        if (std::memcmp(key, long_key, 4) == 0)
            return true;
    }
    return false;
}

// Where the block after one of `size` bytes at `data` begins: the first of the padded ends that is `end` or starts
// another block; 0 when none does.
uint64_t NextBlock(ByteWindow& in, uint64_t data, uint64_t size, uint64_t end) {
    for (uint64_t padded : {size, (size + 1) & ~uint64_t{1}, (size + 3) & ~uint64_t{3}}) {
        const uint64_t next = data + padded;
        if (next == end || (next < end && SignatureAt(in, next)))
            return next;
    }
    return 0;
}

}  // namespace

bool KeyIs(const TaggedBlock& block, const char* key) {
    return std::memcmp(block.key, key, 4) == 0;
}

uint64_t WalkTaggedBlocks(ByteWindow& in,
                          uint64_t offset,
                          uint64_t end,
                          bool large,
                          const std::function<void(const TaggedBlock&)>& visit) {
    uint64_t at = offset;
    // Each block moves the walk at least 12 bytes on.
    while (at < end && end - at >= 12 && SignatureAt(in, at)) {
        TaggedBlock block;
        if (!in.Read(at + 4, block.key, 4))
            break;
        // A PSB writer that did not know a key long may have written either width: take the one that lands. A
        // block that fits but is followed by nothing known is the last one: the walk ends after it.
        const bool long_first = large && HasLongLength(block.key);
        uint64_t next = 0;
        bool fits = false;
        for (bool long_length : {long_first, !long_first}) {
            uint64_t size = 0;
            const uint64_t data = at + 8 + (long_length ? 8 : 4);
            if ((long_length && !large) || !in.Length(at + 8, long_length, &size))
                continue;
            // A block running past the end of a cut file is kept as it claims: its first bytes are there.
            const bool cut = end >= in.Size() && data <= in.Size() && size > in.Size() - data;
            if (!cut && (data > end || size > end - data))
                continue;
            next = NextBlock(in, data, size, end);
            if (next != 0 || !fits) {
                block.data = data;
                block.size = size;
                fits = true;
            }
            if (next != 0)
                break;
        }
        if (!fits)
            break;
        visit(block);
        if (next == 0)
            return block.data + block.size;
        at = next;
    }
    return at;
}
