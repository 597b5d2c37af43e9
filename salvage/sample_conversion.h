#pragma once

#include <cstddef>
#include <cstdint>

// Whole-row conversions of one channel's samples into their places in an interleaved PNG row: each writes `width`
// samples, the first at `out`, the next `stride` bytes further on. Input rows are in the file's byte order, and so
// are 16-bit outputs (PNG samples are big-endian too). One call per row and channel, never per sample: these run
// for every row of every picture.

// Samples of `bytes` bytes (1 or 2) copied unchanged.
void SpreadSamples(const uint8_t* row, uint32_t width, unsigned bytes, uint8_t* out, size_t stride);
// Samples of `bytes` bytes, every byte `value`.
void FillSamples(uint32_t width, unsigned bytes, uint8_t value, uint8_t* out, size_t stride);
// 1-bit samples, most significant bit first, to 8-bit gray: a set bit is black (0), a clear bit white (255).
void BitsToGray(const uint8_t* bits, uint32_t width, uint8_t* out, size_t stride);
// 32-bit IEEE floats in linear light to 16-bit samples on the sRGB curve (clamped to 0..1, NaN as 0).
void FloatsToSrgb16(const uint8_t* row, uint32_t width, uint8_t* out, size_t stride);
// 32-bit floats kept linear (for transparency, which has no curve) to 16 bits, clamped the same way.
void FloatsToLinear16(const uint8_t* row, uint32_t width, uint8_t* out, size_t stride);
// 8-bit indices through a palette of 256 reds, 256 greens, 256 blues to 8-bit RGB (`stride` >= 3).
void PaletteToRgb(const uint8_t* indices, uint32_t width, const uint8_t* palette, uint8_t* out, size_t stride);
// CMYK as the document stores it (inverted: the largest value is no ink) to RGB by the complement formula, red =
// (no cyan) × (no black), for want of a profile. `rows` are the four ink rows; `bytes` 1 or 2.
void InvertedCmykToRgb(const uint8_t* const rows[4], uint32_t width, unsigned bytes, uint8_t* out, size_t stride);
// `count` rows of 16-bit big-endian samples interleaved into native-endian words, pixel after pixel.
void GatherNative16(const uint8_t* const* rows, unsigned count, uint32_t width, uint16_t* out);
// `count` rows of 8-bit samples interleaved, pixel after pixel.
void Gather8(const uint8_t* const* rows, unsigned count, uint32_t width, uint8_t* out);
// The document's 16-bit a and b (0..65535, neutral at 32768) in place to Little CMS's 16-bit Lab encoding (neutral at
// 0x8080, one unit of a or b every 257): a pixel is L, a, b.
void LabToLcms16(uint16_t* lab, uint32_t width);
