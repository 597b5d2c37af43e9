#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/channel_block.h"

// Where the rows of a raw composite lie when the file holds more or fewer bytes after it than its rows take. Raw
// rows carry nothing that proves them, so the difference says only that bytes were inserted, deleted, cut off or
// appended somewhere. Rows before that place are read where arithmetic puts them, rows after it that far off;
// the place is where the picture read that way runs on most smoothly from row to row (the one misplaced row there
// is what breaks a picture's smoothness). Every row that could hold the place, given how clearly the picture
// shows it, is lost rather than guessed.
struct RawAlignment {
    int64_t shift = 0;          // added to the offsets of the rows from `shifted_from` on
    uint64_t shifted_from = 0;  // storage row; the block's row count when no row is shifted
    uint64_t lost_first = 0;    // storage rows lost around the place; none when lost_first == lost_end
    uint64_t lost_end = 0;
};

// `available` is the number of bytes from the block's first byte to the end of the file. Reads the block twice.
RawAlignment AlignRawRows(ByteSource& source,
                          const ChannelBlock& block,
                          uint64_t available,
                          std::vector<std::string>* notes);
