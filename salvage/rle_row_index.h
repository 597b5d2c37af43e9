#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/channel_block.h"

// Where every row of an RLE block lies, rows counted channel after channel as the block stores them.
struct RleRowIndex {
    std::vector<uint64_t> offsets;  // where the row begins in the source
    std::vector<uint32_t> lengths;  // its stored length; 0 for a row that did not survive
};

// The survey of an RLE block: reads the count table, checks every row against its count, rebuilds counts that were
// damaged from the rows themselves, resynchronises after bytes inserted, deleted or overwritten, and stops where the
// source ends. Rows that do not come back go to `lost` (in order), what was done to `notes`. Allocates in proportion
// to the rows the source can hold, never to what the block claims.
void SurveyRleBlock(ByteSource& source,
                    const ChannelBlock& block,
                    RleRowIndex* index,
                    std::vector<LostRows>* lost,
                    std::vector<std::string>* notes);

// The longest and shortest a row of row_bytes can take in PackBits: all literals of 128 (plus their control bytes),
// and all runs of 128.
uint64_t MaxPackBitsRowLength(uint64_t row_bytes);
uint64_t MinPackBitsRowLength(uint64_t row_bytes);
