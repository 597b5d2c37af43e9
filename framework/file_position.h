#pragma once

#include <cstdint>
#include <cstdio>

// 64-bit positions in C streams, also on 32-bit Windows where long is 32 bits.

// Moves to `position` from the start; false when it cannot.
[[nodiscard]] bool SeekFile(std::FILE* file, uint64_t position);
// The file's size, found by seeking to its end (where the stream is left).
[[nodiscard]] bool FileSizeBySeeking(std::FILE* file, uint64_t* size);
