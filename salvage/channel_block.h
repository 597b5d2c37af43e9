#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How rows of samples are stored: the composite keeps all its channels in one block, one channel after another;
// a layer keeps each channel in a block of its own.

enum class Compression : uint16_t { Raw = 0, Rle = 1, Zip = 2, ZipPredicted = 3 };

// "raw", "rle", "zip", "zip-predicted": the report's words.
const char* CompressionName(Compression compression);

struct ChannelBlock {
    uint64_t data_offset = 0;  // the first byte after the block's 2-byte compression word
    uint64_t data_end = 0;     // one past the last byte the block claims; may lie beyond the end of a cut file
    Compression compression = Compression::Raw;
    uint32_t channels = 1;  // channels stored one after another
    uint32_t rows = 0;      // rows of each channel
    uint32_t width = 0;     // samples in a row
    uint16_t depth = 8;     // bits per sample
    bool large = false;     // PSB: RLE counts are 4 bytes instead of 2
    // Nothing but the end of the file follows the block (the composite): bytes more or fewer than its raw rows take
    // were inserted, deleted, cut off or appended.
    bool ends_the_file = false;
};

// Rows `first`..`last` (inclusive) of `channel` did not come back. For a block, `channel` counts within the block.
struct LostRows {
    uint32_t channel = 0;
    uint32_t first = 0;
    uint32_t last = 0;
    bool operator==(const LostRows& o) const { return channel == o.channel && first == o.first && last == o.last; }
};

// Adds one lost row to `lost`, joining it to the last span when it follows on (rows are added in order per channel).
void AddLostRow(std::vector<LostRows>* lost, uint32_t channel, uint32_t row);
// True when `lost` lists that row.
bool IsLost(const std::vector<LostRows>& lost, uint32_t channel, uint32_t row);
