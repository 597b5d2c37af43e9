#pragma once

#include <memory>
#include <string>
#include <vector>

#include "salvage/channel_block_reader.h"
#include "salvage/picture_writer.h"
#include "salvage/row_assembler.h"

// Where one input row of a picture comes from: a channel of a block. A null reader is a channel that is not there at
// all, whose every row is lost. A fallback gives the same samples from elsewhere (the one opaque layer that covers
// the canvas, for the composite) and is read only for rows the channel lost.
struct ChannelFeed {
    ChannelBlockReader* reader = nullptr;  // not owned
    uint32_t channel = 0;                  // within the reader's block
    int32_t report_channel = 0;
    ChannelBlockReader* fallback = nullptr;  // not owned; may be null
    uint32_t fallback_channel = 0;
};

// The rows of a picture made of channel rows: row y of every feed, assembled. Memory is one row per feed. The
// picture gets an alpha channel when any feed will lose a row (known from the surveys before the first row), so
// the lost samples show as holes.
class AssembledRows final : public PictureRows {
  public:
    // nullptr when the assembler cannot show this mode and depth; `*problem` says why.
    static std::unique_ptr<AssembledRows> Create(std::vector<ChannelFeed> feeds,
                                                 AssemblyInput input,
                                                 uint32_t height,
                                                 std::vector<std::string>* notes,
                                                 std::string* problem);

    PngFormat Format() const override { return format_; }
    const std::vector<uint8_t>& Profile() const override { return assembler_->OutputProfile(); }
    void NextRow(uint8_t* out) override;

    // After the last row: what did not come back, by feed, and how many rows came back in every feed.
    std::vector<ReportedLoss> Lost() const;
    uint32_t WholeRows() const { return whole_rows_; }
    // Every feed of the row NextRow gave last came back.
    bool LastRowWhole() const { return last_row_whole_; }
    // No row of any feed will come back (known from the surveys): there is no picture to write.
    bool NothingComesBack() const { return nothing_comes_back_; }
    // Every row of every feed, as the report names them: what is lost when no picture is written.
    std::vector<ReportedLoss> Everything() const;
    // Rows came from a fallback.
    uint32_t FallbackRows() const { return fallback_rows_; }
    // A row the survey found whole could not be read: the source failed under us.
    bool SourceFailed() const { return source_failed_; }

  private:
    AssembledRows(std::vector<ChannelFeed> feeds, std::unique_ptr<RowAssembler> assembler, PngFormat format);
    bool ReadFeed(size_t i, uint32_t y);

    std::vector<ChannelFeed> feeds_;
    std::unique_ptr<RowAssembler> assembler_;
    PngFormat format_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::vector<const uint8_t*> rows_;
    std::vector<std::vector<ReportedLoss>> lost_;  // per feed
    uint32_t next_row_ = 0;
    uint32_t whole_rows_ = 0;
    uint32_t fallback_rows_ = 0;
    bool source_failed_ = false;
    bool last_row_whole_ = true;
    bool nothing_comes_back_ = false;
};
