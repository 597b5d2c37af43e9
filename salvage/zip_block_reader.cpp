#include <algorithm>

#include "salvage/block_readers.h"
#include "salvage/prediction.h"
#include "salvage/zip_survey.h"

namespace {

// One inflater per channel, each begun where the survey passed that channel's first row, so that rows of several
// channels of one stream can be read in turn without inflating the stream again from its start.
class ZipBlockReader : public SurveyedBlockReader {
  public:
    ZipBlockReader(ByteSource& source, const ChannelBlock& block) : SurveyedBlockReader(block) {
        predicted_ = block.compression == Compression::ZipPredicted;
        if (predicted_ && !PredictionDefined(block.depth)) {
            notes_.push_back("prediction is not defined at " + std::to_string(block.depth) + " bits");
            LoseFrom(0);
            return;
        }
        ZipSurvey survey = SurveyZipBlock(source, block, &notes_);
        whole_rows_ = survey.good_bytes / row_bytes_;
        LoseFrom(whole_rows_);
        channels_ = std::move(survey.channel_starts);
        next_row_.assign(block.channels, 0);
        if (predicted_ && block.depth == 32)
            scratch_.resize(static_cast<size_t>(row_bytes_));
    }

    bool ReadRow(uint32_t channel, uint32_t row, uint8_t* out) override {
        uint64_t index = 0;
        if (!StorageRow(channel, row, &index) || index >= whole_rows_ || !channels_[channel] ||
            row < next_row_[channel])
            return Refuse(out);
        ZipInflater& stream = *channels_[channel];
        const size_t size = static_cast<size_t>(row_bytes_);
        // Rows skipped by the caller are inflated into `out` and dropped.
        for (; next_row_[channel] <= row; ++next_row_[channel]) {
            size_t made = 0;
            const ZipInflater::Status status = stream.Inflate(out, size, false, &made);
            if (made != size || (status != ZipInflater::Status::Full && status != ZipInflater::Status::End)) {
                channels_[channel].reset();
                return Refuse(out);
            }
        }
        if (predicted_)
            UndoPrediction(out, block_.width, block_.depth, scratch_.data());
        return true;
    }

  private:
    bool predicted_ = false;
    uint64_t whole_rows_ = 0;  // rows wholly inside the trusted bytes, counted as stored
    std::vector<std::unique_ptr<ZipInflater>> channels_;
    std::vector<uint32_t> next_row_;
    std::vector<uint8_t> scratch_;
};

}  // namespace

std::unique_ptr<ChannelBlockReader> OpenZipBlock(ByteSource& source, const ChannelBlock& block) {
    return std::make_unique<ZipBlockReader>(source, block);
}
