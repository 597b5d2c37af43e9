#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Where the rows of an RLE block start again after bytes were inserted, deleted or overwritten: the search of the
// survey, over a region of the block held in memory.

struct RleResyncRows {
    const uint32_t* counts = nullptr;  // every row's stored count, channel after channel
    uint32_t total = 0;                // rows in the block
    uint32_t lowest = 0;               // the first row `expected` covers
    uint32_t first = 0;                // the first row that may begin the run found (rows before it only make a
                                       // place ambiguous)
    // Region offsets where rows lowest, lowest + 1, … would begin if their counts told the truth, as far as the
    // search looks.
    std::vector<uint64_t> expected;
    uint32_t min_count = 0;  // counts outside these bounds are damaged entries, never matched
    uint32_t max_count = 0;
    uint32_t chain = 4;       // rows that must decode one after another before a place is believed
    uint32_t chain_cap = 64;  // how far a run is followed to weigh it against others
    // Optional: for each row, the bytes it and every row after it take (UINT64_MAX where a count is damaged), so
    // that the block's end can tell apart rows of equal counts.
    const std::vector<uint64_t>* tail_bytes = nullptr;
    // Whether every row from the row given on decodes with its count from the region offset given to the block's
    // end: a place the end picks out is believed only then (more damage further on would make the end's word void).
    std::function<bool(uint32_t, uint64_t)> tail_decodes;
};

struct RleResyncResult {
    bool found = false;
    uint32_t row = 0;        // the first row of the run found
    uint64_t offset = 0;     // where it begins in the region
    bool ambiguous = false;  // a place that several rows of equal counts fitted was passed over
};

// Looks at every place p ≤ last_start of region[0..size) for rows decoding one after another with their counts,
// the first of them a row r expected within `window` bytes of p: at least `chain` of them, or every row left when
// they end exactly at `end` (the region offset where the block ends, when that is known). The longest run (followed
// up to chain_cap rows) wins, and the earliest among equal ones: a place fitted by chance gives a run that soon
// breaks, the true one runs on to the next damage. A place that rows of equal counts fit alike is passed over
// unless the block's end picks one of them. The run found begins at a row r ≥ first; rows from `lowest` on only
// make places ambiguous.
RleResyncResult FindRleResync(const uint8_t* region,
                              size_t size,
                              uint64_t row_bytes,
                              uint64_t window,
                              uint64_t last_start,
                              const RleResyncRows& rows,
                              std::optional<uint64_t> end);

// For every place p of region[0..size): the stored length of a row beginning there (the bytes walked until exactly
// row_bytes are made), or 0 when the row would overflow or run past the region. Every place at once, in O(size ×
// log size), whatever the row's length: the tokens form a forest (each points at the one after it), and a row's end
// is the ancestor whose output lies row_bytes further on.
std::vector<uint32_t> RleRowLengths(const uint8_t* region, size_t size, uint64_t row_bytes);
