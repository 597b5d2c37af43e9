#include "salvage/channel_block_reader.h"

#include <cstring>

#include "salvage/block_readers.h"
#include "salvage/psd_header.h"

namespace {

// A block whose layout cannot be right: nothing is read from it.
class UnreadableBlock : public SurveyedBlockReader {
  public:
    UnreadableBlock(const ChannelBlock& block, const std::string& why) : SurveyedBlockReader(block) {
        notes_.push_back(why);
        LoseFrom(0);
    }
    bool ReadRow(uint32_t, uint32_t, uint8_t* out) override { return Refuse(out); }
};

// Rows of no bytes (a block of zero width): every one is whole and empty.
class EmptyRowsBlock : public SurveyedBlockReader {
  public:
    using SurveyedBlockReader::SurveyedBlockReader;
    bool ReadRow(uint32_t channel, uint32_t row, uint8_t*) override {
        uint64_t index = 0;
        return StorageRow(channel, row, &index);
    }
};

// The largest row the format can hold: 300000 samples of 32 bits.
constexpr uint64_t kMaxRowBytes = uint64_t{kMaxPsbSide} * 4;
constexpr uint32_t kMaxBlockChannels = kMaxChannels;

}  // namespace

SurveyedBlockReader::SurveyedBlockReader(const ChannelBlock& block)
    : block_(block), row_bytes_(RowBytes(block.width, block.depth)) {}

bool SurveyedBlockReader::StorageRow(uint32_t channel, uint32_t row, uint64_t* index) const {
    if (channel >= block_.channels || row >= block_.rows)
        return false;
    *index = uint64_t{channel} * block_.rows + row;
    return true;
}

void SurveyedBlockReader::LoseFrom(uint64_t first) {
    for (uint32_t c = 0; c < block_.channels && block_.rows > 0; ++c) {
        const uint64_t channel_first = uint64_t{c} * block_.rows;
        if (first >= channel_first + block_.rows)
            continue;
        const uint64_t row = first > channel_first ? first - channel_first : 0;
        lost_.push_back({c, static_cast<uint32_t>(row), block_.rows - 1});
    }
}

bool SurveyedBlockReader::Refuse(uint8_t* out) const {
    std::memset(out, 0, static_cast<size_t>(row_bytes_));
    return false;
}

std::unique_ptr<ChannelBlockReader> ChannelBlockReader::Open(ByteSource& source, const ChannelBlock& block) {
    const uint16_t depth = block.depth;
    if (block.channels > kMaxBlockChannels || block.rows > kMaxPsbSide)
        return std::make_unique<UnreadableBlock>(block, "the block claims more channels or rows than a document has");
    if (depth != 1 && depth != 8 && depth != 16 && depth != 32)
        return std::make_unique<UnreadableBlock>(block, "unknown sample depth " + std::to_string(depth));
    if (RowBytes(block.width, depth) > kMaxRowBytes)
        return std::make_unique<UnreadableBlock>(block, "rows longer than a document can have");
    if (block.channels == 0 || block.rows == 0 || block.width == 0)
        return std::make_unique<EmptyRowsBlock>(block);
    switch (block.compression) {
        case Compression::Raw:
            return OpenRawBlock(source, block);
        case Compression::Rle:
            return OpenRleBlock(source, block);
        case Compression::Zip:
        case Compression::ZipPredicted:
            return OpenZipBlock(source, block);
    }
    return std::make_unique<UnreadableBlock>(
        block, "unknown compression " + std::to_string(static_cast<unsigned>(block.compression)));
}
