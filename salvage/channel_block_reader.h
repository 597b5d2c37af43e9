#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/channel_block.h"

// Decodes one block row by row, giving back every row whose bytes survived and naming every row that did not.
//
// Opening surveys the block: it finds where each row lies (through the RLE counts, rebuilding a damaged count
// table and resynchronising after bytes overwritten, inserted or deleted; through arithmetic for raw rows; by a dry
// inflate for ZIP) and decides which rows are whole, so that Lost() is complete before the first row is read and a
// writer can choose its pixel format up front. Memory stays in proportion to the rows (an index entry per row),
// never to the picture.
//
// A row is whole only when it decoded completely and consistently: an RLE row must consume exactly the bytes its
// count (or its rebuilt count) gives and produce exactly the row's length; a raw row must be all there; a ZIP row
// must be inflated before the stream's fault (and not from the deflate block in which the fault was found, since
// the bytes damaged there may have decoded into wrong samples before the decoder noticed).
class ChannelBlockReader {
  public:
    // The source must outlive the reader. Never fails: a block of which nothing survives has every row lost.
    static std::unique_ptr<ChannelBlockReader> Open(ByteSource& source, const ChannelBlock& block);
    virtual ~ChannelBlockReader() = default;

    // Every row that will not come back, per channel of the block, in order.
    virtual const std::vector<LostRows>& Lost() const = 0;
    // What the survey did that a reader of the report should know ("count table rebuilt", "rows 40..41 of channel
    // 2: 17 bytes inserted, resynchronised"), in plain words.
    virtual const std::vector<std::string>& Notes() const = 0;

    // Row `row` of `channel` into `out`, RowBytes(width, depth) bytes in the file's byte order (big-endian samples;
    // ZIP prediction undone). Rows of one channel come in ascending order; channels may interleave (the assembler
    // asks for row y of every channel in turn). False for a lost row (`out` is then zero-filled), and for a row the
    // survey found whole that cannot be read now (the source failed under us: the caller checks the source).
    virtual bool ReadRow(uint32_t channel, uint32_t row, uint8_t* out) = 0;
};
