#pragma once

#include <cstdint>

#include "salvage/byte_window.h"
#include "salvage/document_layout.h"

// True when a resource block's signature lies at `offset` ("8BIM", or one of the few that old and foreign writers
// used).
bool IsResourceSignatureAt(ByteWindow& in, uint64_t offset);

struct ResourceWalk {
    uint64_t end = 0;     // where the walk stopped: one past the last block that fit and was followed by nothing
                          // that looks like a block
    bool landed = false;  // a block ended exactly at the section's claimed end on the way
};

// Walks the image resource blocks from `offset`, keeping in `*found` what the later stages need. The walk does not
// stop at `claimed_end` (the section's length, which may lie in either direction) but where the blocks stop: past
// the end of the file or before bytes that do not begin a block, so that a damaged section length can be told from
// a damaged block. Each step skips a block's data, so the walk reads a few bytes per block whatever their size.
ResourceWalk ReadImageResources(ByteWindow& in, uint64_t offset, uint64_t claimed_end, ImageResources* found);
