#include "salvage/zip_survey.h"

#include <algorithm>
#include <cstring>

#include "salvage/psd_header.h"

namespace {

constexpr size_t kSurveyBuffer = 256 * 1024;
constexpr size_t kChannelBuffer = 32 * 1024;
// Deflate blocks that zlib writes hold thousands of symbols; a block that gave less than this before the fault may
// be one that damaged bits started.
constexpr uint64_t kShortBlock = 16 * 1024;
// How many short blocks before the faulty one are dropped at most.
constexpr size_t kMaxBlocksBack = 8;
// A stream may run this far past the rows it should hold while its checksum is still checked.
constexpr uint64_t kCheckedExcess = 1024 * 1024;

uint64_t GoodBytesBeforeFault(const std::vector<uint64_t>& block_starts, uint64_t produced) {
    if (block_starts.empty())
        return 0;
    size_t index = block_starts.size() - 1;
    uint64_t good = block_starts[index];
    uint64_t given = produced - good;
    for (size_t back = 0; given < kShortBlock && index > 0 && back < kMaxBlocksBack; ++back) {
        given = block_starts[index] - block_starts[index - 1];
        good = block_starts[--index];
    }
    return good;
}

}  // namespace

ZipSurvey SurveyZipBlock(ByteSource& source, const ChannelBlock& block, std::vector<std::string>* notes) {
    ZipSurvey survey;
    const uint64_t row_bytes = RowBytes(block.width, block.depth);
    const uint64_t channel_bytes = uint64_t{block.rows} * row_bytes;
    const uint64_t expected = channel_bytes * block.channels;
    survey.channel_starts.resize(block.channels);
    ZipInflater stream;
    // The stream ends itself: reading on past a block length that is too short lets it end and its checksum speak.
    if (block.data_offset >= source.Size() || !stream.Start(source, block.data_offset, source.Size(), kSurveyBuffer)) {
        notes->push_back("the compressed data lies past the end of the file");
        return survey;
    }
    std::vector<uint8_t> sink(kSurveyBuffer);
    std::vector<uint64_t> block_starts;
    uint32_t next_channel = 0;
    ZipInflater::Status status = ZipInflater::Status::Full;
    for (;;) {
        while (next_channel < block.channels && stream.Produced() == next_channel * channel_bytes) {
            auto start = std::make_unique<ZipInflater>();
            if (start->CopyFrom(stream, kChannelBuffer))
                survey.channel_starts[next_channel] = std::move(start);
            ++next_channel;
        }
        const uint64_t goal = next_channel < block.channels ? next_channel * channel_bytes : expected + kCheckedExcess;
        if (stream.Produced() >= goal)
            break;
        size_t made = 0;
        status = stream.Inflate(
            sink.data(), static_cast<size_t>(std::min<uint64_t>(sink.size(), goal - stream.Produced())), true, &made);
        if (status == ZipInflater::Status::Boundary) {
            if (block_starts.empty() || block_starts.back() != stream.Produced())
                block_starts.push_back(stream.Produced());
            if (block_starts.size() > 4 * kMaxBlocksBack)
                block_starts.erase(block_starts.begin(), block_starts.end() - 2 * kMaxBlocksBack);
            continue;
        }
        if (status != ZipInflater::Status::Full)
            break;
    }
    const uint64_t produced = stream.Produced();
    switch (status) {
        case ZipInflater::Status::Fault:
            if (std::strcmp(stream.Message(), "incorrect data check") == 0) {
                survey.good_bytes = 0;
                notes->push_back(
                    "the compressed data decodes to its end but fails its checksum: the damaged byte "
                    "could lie anywhere, so none of it is trusted");
            } else {
                survey.good_bytes = GoodBytesBeforeFault(block_starts, produced);
                notes->push_back(std::string("the compressed data is damaged after ") +
                                 std::to_string(survey.good_bytes) + " bytes (" + stream.Message() + ")");
            }
            break;
        case ZipInflater::Status::InputEnded:
            // The composite's stream runs to the end of the file: there, running out is the file being cut.
            if (block.data_end > source.Size() || block.ends_the_file) {
                survey.good_bytes = produced;
                notes->push_back("the compressed data is cut short after " + std::to_string(produced) + " bytes");
            } else {
                // The stream runs on to the end of the file: something in it was damaged into data that decodes.
                survey.good_bytes = GoodBytesBeforeFault(block_starts, produced);
                notes->push_back("the compressed data is damaged after " + std::to_string(survey.good_bytes) +
                                 " bytes (it runs past the block's end)");
            }
            break;
        case ZipInflater::Status::End:
            survey.good_bytes = produced;
            if (produced < expected)
                notes->push_back("the compressed data ends after " + std::to_string(produced) + " of " +
                                 std::to_string(expected) + " bytes");
            break;
        default:
            // The rows end inside the stream yet it goes on: the block's rows or its data are not what they seem.
            survey.good_bytes = 0;
            notes->push_back("the compressed data goes on past the rows it should hold: none of it is trusted");
            break;
    }
    survey.good_bytes = std::min(survey.good_bytes, expected);
    for (uint32_t c = 0; c < block.channels; ++c) {
        // A channel whose start could not be kept (no memory for the copy) cannot be read, nor can those after it.
        if (c * channel_bytes < survey.good_bytes && !survey.channel_starts[c])
            survey.good_bytes = c * channel_bytes;
        if (c * channel_bytes >= survey.good_bytes)
            survey.channel_starts[c].reset();
    }
    return survey;
}
