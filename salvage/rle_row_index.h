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

// The survey of an RLE block. Every row is checked against its count: it must take exactly that many bytes and make
// exactly a row. A count that cannot be right is rebuilt from the row itself (decoded until it makes a row), and
// believed once the rows after it land where their counts say (or at the block's end). After damage the rows are
// found again where the following rows, several in a row, take exactly their counts: in place (bytes overwritten)
// or shifted (bytes inserted or deleted), the smallest shift first. The rows the damage touched are lost, and with
// them the row before it, whose last bytes it may have changed without breaking it. Rows past the end of a cut
// source are lost. Allocates in proportion to the rows the source can hold, never to what the block claims.
void SurveyRleBlock(ByteSource& source,
                    const ChannelBlock& block,
                    RleRowIndex* index,
                    std::vector<LostRows>* lost,
                    std::vector<std::string>* notes);
