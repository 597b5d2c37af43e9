#include <algorithm>

#include "salvage/block_readers.h"
#include "salvage/raw_alignment.h"

namespace {

// Raw rows lie where arithmetic puts them: a row is whole when all its bytes are there.
class RawBlockReader : public SurveyedBlockReader {
  public:
    RawBlockReader(ByteSource& source, const ChannelBlock& block) : SurveyedBlockReader(block), source_(source) {
        const uint64_t rows = uint64_t{block.channels} * block.rows;
        const uint64_t available = source.Size() > block.data_offset ? source.Size() - block.data_offset : 0;
        if (block.ends_the_file && available != rows * row_bytes_)
            alignment_ = AlignRawRows(source, block, available, &notes_);
        else
            alignment_.shifted_from = rows;
        const uint64_t end = std::min(block.data_end, source.Size());
        present_ = end > block.data_offset ? (end - block.data_offset) / row_bytes_ : 0;
        if (alignment_.shifted_from < rows)
            present_ = rows;  // the shifted rows end at the file's end
        for (uint64_t row = alignment_.lost_first; row < std::min(alignment_.lost_end, present_); ++row)
            AddLostRow(&lost_, static_cast<uint32_t>(row / block.rows), static_cast<uint32_t>(row % block.rows));
        if (present_ < rows) {
            notes_.push_back(std::to_string(rows - present_) + " rows lie past the end of the " +
                             (block.data_end > source.Size() ? "file" : "block"));
            LoseFrom(present_);
        }
    }

    bool ReadRow(uint32_t channel, uint32_t row, uint8_t* out) override {
        uint64_t index = 0;
        if (!StorageRow(channel, row, &index) || index >= present_ ||
            (index >= alignment_.lost_first && index < alignment_.lost_end))
            return Refuse(out);
        const size_t size = static_cast<size_t>(row_bytes_);
        const int64_t shift = index >= alignment_.shifted_from ? alignment_.shift : 0;
        const uint64_t at =
            block_.data_offset + static_cast<uint64_t>(static_cast<int64_t>(index * row_bytes_) + shift);
        if (source_.ReadAt(at, out, size) != size)
            return Refuse(out);
        return true;
    }

  private:
    ByteSource& source_;
    RawAlignment alignment_;
    uint64_t present_ = 0;  // rows wholly there, counted as stored
};

}  // namespace

std::unique_ptr<ChannelBlockReader> OpenRawBlock(ByteSource& source, const ChannelBlock& block) {
    return std::make_unique<RawBlockReader>(source, block);
}
