#include "salvage/block_readers.h"
#include "salvage/packbits.h"
#include "salvage/rle_row_index.h"

namespace {

// Each row read through its place in the survey's index: one read and one decode per row.
class RleBlockReader : public SurveyedBlockReader {
  public:
    RleBlockReader(ByteSource& source, const ChannelBlock& block) : SurveyedBlockReader(block), source_(source) {
        SurveyRleBlock(source, block, &index_, &lost_, &notes_);
    }

    bool ReadRow(uint32_t channel, uint32_t row, uint8_t* out) override {
        uint64_t index = 0;
        if (!StorageRow(channel, row, &index) || index >= index_.lengths.size() || index_.lengths[index] == 0)
            return Refuse(out);
        const uint32_t length = index_.lengths[index];
        packed_.resize(length);
        if (source_.ReadAt(index_.offsets[index], packed_.data(), length) != length)
            return Refuse(out);
        const size_t size = static_cast<size_t>(row_bytes_);
        if (!DecodePackBitsRow(packed_.data(), length, out, size).exact)
            return Refuse(out);
        return true;
    }

  private:
    ByteSource& source_;
    RleRowIndex index_;
    std::vector<uint8_t> packed_;
};

}  // namespace

std::unique_ptr<ChannelBlockReader> OpenRleBlock(ByteSource& source, const ChannelBlock& block) {
    return std::make_unique<RleBlockReader>(source, block);
}
