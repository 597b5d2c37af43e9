#pragma once

#include <cstddef>
#include <cstdint>

// PackBits, as the RLE blocks store each row: a control byte n, then n + 1 literal bytes (n < 128), or one byte
// repeated 257 - n times (n > 128); 128 does nothing (some writers end each row with one). Every function here says
// how far it got, so that the survey can tell a whole row from a damaged one, and where a row really ends.

struct PackBitsResult {
    size_t consumed = 0;  // input bytes walked
    size_t produced = 0;  // output bytes made
    bool exact = false;   // see each function
};

// Decodes the row stored in in[0..in_size) into out[0..out_size) (`out` may be null: then it only measures). Exact
// when the row used every input byte and made exactly out_size bytes. Stops at a token whose run would overflow
// `out` or whose literal runs past the input; `out` then holds what came before.
PackBitsResult DecodePackBitsRow(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size);

// Walks from in[0] until exactly out_size bytes are made, taking the no-ops that follow too: `consumed` is then the
// row's stored length. Not exact when a run overflows the row or the input ends first.
PackBitsResult FindPackBitsRowEnd(const uint8_t* in, size_t in_size, size_t out_size);

// What the token beginning with `control` takes, itself included, and makes: a literal of control + 1 bytes, a
// run of 257 - control copies of one byte, or (128) a no-op.
struct PackBitsToken {
    size_t length;
    size_t made;
};
inline PackBitsToken ReadPackBitsToken(uint8_t control) {
    if (control == 128)
        return {1, 0};
    return control < 128 ? PackBitsToken{size_t{control} + 2, size_t{control} + 1}
                         : PackBitsToken{2, 257 - size_t{control}};
}

// The shortest and longest a row of row_bytes can take: all runs of 128, and all literals of one byte (some writers
// cut literals short before every pair of equal bytes), a writer's no-ops aside.
uint64_t MinPackBitsRowLength(uint64_t row_bytes);
uint64_t MaxPackBitsRowLength(uint64_t row_bytes);
