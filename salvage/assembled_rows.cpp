#include "salvage/assembled_rows.h"

namespace {

// True when the fallback lost that row too, or there is none.
bool LostEverywhere(const ChannelFeed& feed, uint32_t row) {
    return feed.fallback == nullptr || IsLost(feed.fallback->Lost(), feed.fallback_channel, row);
}

// Rows of the feed's channel that its survey found lost, counted.
uint64_t LostRowCount(const ChannelFeed& feed) {
    uint64_t count = 0;
    for (const LostRows& span : feed.reader->Lost())
        count += span.channel == feed.channel ? uint64_t{span.last} - span.first + 1 : 0;
    return count;
}

// True when not one row of any feed will come back.
bool NoRowComesBack(const std::vector<ChannelFeed>& feeds, uint32_t height) {
    for (const ChannelFeed& feed : feeds) {
        if (feed.reader != nullptr && LostRowCount(feed) < height)
            return false;
        if (feed.fallback != nullptr)
            return false;
    }
    return true;
}

bool WillLoseRows(const std::vector<ChannelFeed>& feeds) {
    for (const ChannelFeed& feed : feeds) {
        if (feed.reader == nullptr)
            return true;
        for (const LostRows& span : feed.reader->Lost()) {
            for (uint32_t row = span.first; span.channel == feed.channel && row <= span.last; ++row) {
                if (LostEverywhere(feed, row))
                    return true;
            }
        }
    }
    return false;
}

void AddLoss(std::vector<ReportedLoss>* lost, int32_t channel, uint32_t row) {
    if (!lost->empty() && lost->back().last + 1 == row) {
        lost->back().last = row;
        return;
    }
    lost->push_back({channel, row, row});
}

}  // namespace

std::unique_ptr<AssembledRows> AssembledRows::Create(std::vector<ChannelFeed> feeds,
                                                     AssemblyInput input,
                                                     uint32_t height,
                                                     std::vector<std::string>* notes,
                                                     std::string* problem) {
    input.mark_losses = input.mark_losses || WillLoseRows(feeds);
    std::unique_ptr<RowAssembler> assembler = RowAssembler::Create(input, notes, problem);
    if (!assembler)
        return nullptr;
    PngFormat format = assembler->Format();
    format.height = height;
    const bool nothing = NoRowComesBack(feeds, height);
    std::unique_ptr<AssembledRows> rows(new AssembledRows(std::move(feeds), std::move(assembler), format));
    rows->nothing_comes_back_ = nothing;
    const size_t row_bytes = RowBytes(input.header.width, input.header.depth);
    for (auto& buffer : rows->buffers_)
        buffer.resize(row_bytes);
    return rows;
}

AssembledRows::AssembledRows(std::vector<ChannelFeed> feeds, std::unique_ptr<RowAssembler> assembler, PngFormat format)
    : feeds_(std::move(feeds)),
      assembler_(std::move(assembler)),
      format_(format),
      buffers_(feeds_.size()),
      rows_(feeds_.size()),
      lost_(feeds_.size()) {}

bool AssembledRows::ReadFeed(size_t i, uint32_t y) {
    const ChannelFeed& feed = feeds_[i];
    uint8_t* buffer = buffers_[i].data();
    if (feed.reader != nullptr) {
        if (feed.reader->ReadRow(feed.channel, y, buffer))
            return true;
        source_failed_ = source_failed_ || !IsLost(feed.reader->Lost(), feed.channel, y);
    }
    if (feed.fallback != nullptr && feed.fallback->ReadRow(feed.fallback_channel, y, buffer)) {
        ++fallback_rows_;
        return true;
    }
    AddLoss(&lost_[i], feed.report_channel, y);
    return false;
}

void AssembledRows::NextRow(uint8_t* out) {
    const uint32_t y = next_row_++;
    bool whole = true;
    for (size_t i = 0; i < feeds_.size(); ++i) {
        const bool read = ReadFeed(i, y);
        rows_[i] = read ? buffers_[i].data() : nullptr;
        whole = whole && read;
    }
    whole_rows_ += whole ? 1 : 0;
    last_row_whole_ = whole;
    assembler_->Assemble(rows_, out);
}

std::vector<ReportedLoss> AssembledRows::Lost() const {
    std::vector<ReportedLoss> all;
    for (const auto& feed : lost_)
        all.insert(all.end(), feed.begin(), feed.end());
    return all;
}

std::vector<ReportedLoss> AssembledRows::Everything() const {
    std::vector<ReportedLoss> all;
    for (const ChannelFeed& feed : feeds_) {
        if (format_.height > 0)
            all.push_back({feed.report_channel, 0, format_.height - 1});
    }
    return all;
}
