#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/channel_block.h"
#include "salvage/channel_block_reader.h"

// What the readers of the three storage kinds share: the block, its losses and notes, and the bounds of ReadRow.
class SurveyedBlockReader : public ChannelBlockReader {
  public:
    explicit SurveyedBlockReader(const ChannelBlock& block);
    const std::vector<LostRows>& Lost() const override { return lost_; }
    const std::vector<std::string>& Notes() const override { return notes_; }

  protected:
    // Row `row` of `channel` counted as the block stores them, or false when either is out of range.
    bool StorageRow(uint32_t channel, uint32_t row, uint64_t* index) const;
    // Lists every row from storage row `first` to the end of the block as lost.
    void LoseFrom(uint64_t first);
    // Zero-fills `out` and says the row did not come back.
    bool Refuse(uint8_t* out) const;

    ChannelBlock block_;
    uint64_t row_bytes_;
    std::vector<LostRows> lost_;
    std::vector<std::string> notes_;
};

std::unique_ptr<ChannelBlockReader> OpenRawBlock(ByteSource& source, const ChannelBlock& block);
std::unique_ptr<ChannelBlockReader> OpenRleBlock(ByteSource& source, const ChannelBlock& block);
std::unique_ptr<ChannelBlockReader> OpenZipBlock(ByteSource& source, const ChannelBlock& block);
