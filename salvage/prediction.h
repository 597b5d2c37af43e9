#pragma once

#include <cstddef>
#include <cstdint>

// ZIP with prediction stores each row as differences from the sample before it: bytes at 8 bits, big-endian 16-bit
// words at 16 bits, and at 32 bits the row's samples split into four byte planes (most significant first) whose
// bytes are differenced over the whole row.

// Whether rows of this depth can carry prediction (8, 16 and 32 bits).
bool PredictionDefined(uint16_t depth);

// Turns one inflated row back into samples, in place. `scratch` holds RowBytes(width, 32) bytes at 32 bits and may be
// null otherwise.
void UndoPrediction(uint8_t* row, uint32_t width, uint16_t depth, uint8_t* scratch);
