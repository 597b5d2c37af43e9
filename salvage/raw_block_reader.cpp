#include <algorithm>

#include "salvage/block_readers.h"

namespace {

// Raw rows lie where arithmetic puts them: a row is whole when all its bytes are there.
class RawBlockReader : public SurveyedBlockReader {
  public:
    RawBlockReader(ByteSource& source, const ChannelBlock& block) : SurveyedBlockReader(block), source_(source) {
        const uint64_t end = std::min(block.data_end, source.Size());
        present_ = end > block.data_offset ? (end - block.data_offset) / row_bytes_ : 0;
        const uint64_t rows = uint64_t{block.channels} * block.rows;
        if (present_ < rows) {
            notes_.push_back(std::to_string(rows - present_) + " rows lie past the end of the " +
                             (block.data_end > source.Size() ? "file" : "block"));
            LoseFrom(present_);
        }
    }

    bool ReadRow(uint32_t channel, uint32_t row, uint8_t* out) override {
        uint64_t index = 0;
        if (!StorageRow(channel, row, &index) || index >= present_)
            return Refuse(out);
        const size_t size = static_cast<size_t>(row_bytes_);
        if (source_.ReadAt(block_.data_offset + index * row_bytes_, out, size) != size)
            return Refuse(out);
        return true;
    }

  private:
    ByteSource& source_;
    uint64_t present_ = 0;  // rows wholly there, counted as stored
};

}  // namespace

std::unique_ptr<ChannelBlockReader> OpenRawBlock(ByteSource& source, const ChannelBlock& block) {
    return std::make_unique<RawBlockReader>(source, block);
}
