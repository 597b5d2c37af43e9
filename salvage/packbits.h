#pragma once

#include <cstddef>
#include <cstdint>

// PackBits, as the RLE blocks store each row: a control byte n, then n + 1 literal bytes (n < 128), or one byte
// repeated 257 - n times (n > 128); 128 is a no-op. Every decoder here says how far it got, so that the survey can
// tell a whole row from one that was damaged, and where a row really ends.

struct PackBitsResult {
    size_t consumed = 0;       // input bytes walked
    size_t produced = 0;       // output bytes made
    bool exact = false;        // see each function
    bool input_ended = false;  // stopped because the input ended, not at an overflowing run or a filled-over stretch
};

// Decodes the row stored in in[0..in_size) into out[0..out_size). Exact when the row used every input byte and
// made exactly out_size bytes. Stops at a control whose run would overflow `out` or whose literal runs past the
// input; `out` then holds what came before.
PackBitsResult DecodePackBitsRow(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size);

// The same walk without writing samples: whether in[0..in_size) is exactly one row of out_size bytes.
PackBitsResult MeasurePackBitsRow(const uint8_t* in, size_t in_size, size_t out_size);

// Walks from in[0] until exactly out_size bytes are made: `consumed` is then the row's stored length. Not exact when
// a run overflows the row, the input ends first, or the row holds a filled-over stretch (the same two-byte control
// and value four times running, which no encoder writes: it would have made one run of them, so these are zeroed
// or erased bytes that happen to decode).
PackBitsResult FindPackBitsRowEnd(const uint8_t* in, size_t in_size, size_t out_size);

// Whether the row in in[0..in_size) ends in a literal whose last four bytes are alike: no encoder writes that (it
// would have made a run of them), but bytes zeroed or erased from inside the literal on leave it.
bool PackBitsEndsInFill(const uint8_t* in, size_t in_size);

// False when the row in in[0..in_size) begins the way no encoder begins a row: with a no-op, with a literal shorter
// than the longest followed by another literal, or with a short run followed by a run of the same byte (an
// encoder joins those). Bytes read from a place inside a row often begin like that, while a row's own start
// does not.
bool PackBitsStartsLikeARow(const uint8_t* in, size_t in_size);

// The token at in[0] (in_size > 0): its stored length and the bytes it makes. A literal may run past in_size.
inline void PackBitsToken(uint8_t control, size_t* length, size_t* made) {
    if (control < 128) {
        *length = size_t{control} + 2;
        *made = size_t{control} + 1;
    } else if (control > 128) {
        *length = 2;
        *made = 257 - size_t{control};
    } else {
        *length = 1;
        *made = 0;
    }
}
