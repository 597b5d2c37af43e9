#include "salvage/sample_conversion.h"

#include <cmath>
#include <cstring>

#include "salvage/big_endian.h"

namespace {

void StoreU16BE(uint16_t value, uint8_t* out) {
    out[0] = static_cast<uint8_t>(value >> 8);
    out[1] = static_cast<uint8_t>(value);
}

float LoadF32BE(const uint8_t* p) {
    const uint32_t bits = LoadU32BE(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The comparisons are written so that NaN fails both and lands on 0.
float Clamp01(float value) {
    if (value >= 1.0f)
        return 1.0f;
    if (value > 0.0f)
        return value;
    return 0.0f;
}

uint16_t ToU16(float unit) {
    return static_cast<uint16_t>(unit * 65535.0f + 0.5f);
}

uint16_t LinearToSrgb16(float linear) {
    const float v = Clamp01(linear);
    const float encoded = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
    return ToU16(encoded);
}

}  // namespace

void SpreadSamples(const uint8_t* row, uint32_t width, unsigned bytes, uint8_t* out, size_t stride) {
    if (bytes == 1) {
        for (uint32_t x = 0; x < width; ++x)
            out[x * stride] = row[x];
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        out[x * stride] = row[2 * size_t{x}];
        out[x * stride + 1] = row[2 * size_t{x} + 1];
    }
}

void FillSamples(uint32_t width, unsigned bytes, uint8_t value, uint8_t* out, size_t stride) {
    for (uint32_t x = 0; x < width; ++x)
        std::memset(out + x * stride, value, bytes);
}

void BitsToGray(const uint8_t* bits, uint32_t width, uint8_t* out, size_t stride) {
    for (uint32_t x = 0; x < width; ++x) {
        const bool set = (bits[x >> 3] >> (7 - (x & 7))) & 1;
        out[x * stride] = set ? 0 : 255;
    }
}

void FloatsToSrgb16(const uint8_t* row, uint32_t width, uint8_t* out, size_t stride) {
    for (uint32_t x = 0; x < width; ++x)
        StoreU16BE(LinearToSrgb16(LoadF32BE(row + 4 * size_t{x})), out + x * stride);
}

void FloatsToLinear16(const uint8_t* row, uint32_t width, uint8_t* out, size_t stride) {
    for (uint32_t x = 0; x < width; ++x)
        StoreU16BE(ToU16(Clamp01(LoadF32BE(row + 4 * size_t{x}))), out + x * stride);
}

void PaletteToRgb(const uint8_t* indices, uint32_t width, const uint8_t* palette, uint8_t* out, size_t stride) {
    for (uint32_t x = 0; x < width; ++x) {
        const uint8_t index = indices[x];
        uint8_t* pixel = out + x * stride;
        pixel[0] = palette[index];
        pixel[1] = palette[256 + index];
        pixel[2] = palette[512 + index];
    }
}

void InvertedCmykToRgb(const uint8_t* const rows[4], uint32_t width, unsigned bytes, uint8_t* out, size_t stride) {
    if (bytes == 1) {
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned no_black = rows[3][x];
            for (unsigned c = 0; c < 3; ++c)
                out[x * stride + c] = static_cast<uint8_t>((rows[c][x] * no_black + 127) / 255);
        }
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        const uint32_t no_black = LoadU16BE(rows[3] + 2 * size_t{x});
        for (unsigned c = 0; c < 3; ++c) {
            const uint32_t no_ink = LoadU16BE(rows[c] + 2 * size_t{x});
            StoreU16BE(static_cast<uint16_t>((no_ink * no_black + 32767) / 65535), out + x * stride + 2 * size_t{c});
        }
    }
}

void GatherNative16(const uint8_t* const* rows, unsigned count, uint32_t width, uint16_t* out) {
    for (unsigned c = 0; c < count; ++c) {
        const uint8_t* row = rows[c];
        for (uint32_t x = 0; x < width; ++x)
            out[size_t{x} * count + c] = LoadU16BE(row + 2 * size_t{x});
    }
}

void Gather8(const uint8_t* const* rows, unsigned count, uint32_t width, uint8_t* out) {
    for (unsigned c = 0; c < count; ++c) {
        const uint8_t* row = rows[c];
        for (uint32_t x = 0; x < width; ++x)
            out[size_t{x} * count + c] = row[x];
    }
}

void LabToLcms16(uint16_t* lab, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        for (unsigned c = 1; c < 3; ++c) {
            uint16_t& sample = lab[size_t{x} * 3 + c];
            const uint32_t scaled = (uint32_t{sample} * 257 + 128) / 256;
            sample = static_cast<uint16_t>(scaled > 65535 ? 65535 : scaled);
        }
    }
}
