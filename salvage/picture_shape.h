#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// What the samples themselves say about a document whose header is lost and which holds no layers or thumbnail to
// measure it by: pictures change little from one row to the next and from one sample to the next, so rows cut at
// the wrong length, samples read at the wrong depth and a channel's first row after the last row of the one before
// all show as breaks in that smoothness.

// The row length, among those that divide `total` (the bytes of all rows) and are at most `max_row_bytes`, at which
// the rows of `sample` (the first bytes of the rows) are most like the rows next to them; 0 when none can be told.
uint64_t RowLengthFromSamples(const std::vector<uint8_t>& sample, uint64_t total, uint64_t max_row_bytes);

// 16 when the bytes of `rows` (whole rows of an even length) pair up as big-endian 16-bit samples (the first of each
// pair changing smoothly, the second noisy or a copy of the first), else 8.
uint16_t DepthFromSamples(const std::vector<uint8_t>& rows);

// Reads stored row `row` (decoded, `row_bytes` long) into `out`; false when it cannot.
using StoredRowReader = std::function<bool(uint64_t row, std::vector<uint8_t>* out)>;

// The channels `rows` stored rows split into, each at most `max_rows` rows, such that every channel's first row
// breaks sharply from the row stored before it while rows inside a channel run on: of such splits, the one whose
// channels change at the same rows, else the one with the most channels; 1 when no split shows. Rows are
// compared by their samples' first bytes (`sample_bytes` apart): the low bytes of deep samples are as good as noise.
uint32_t ChannelsFromRows(uint64_t rows,
                          uint64_t row_bytes,
                          uint64_t sample_bytes,
                          uint32_t max_rows,
                          const StoredRowReader& read);
