#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The 26-byte file header: "8BPS", version, 6 reserved bytes, channels, height, width, depth, colour mode.

enum class ColorMode : uint16_t {
    Bitmap = 0,
    Grayscale = 1,
    Indexed = 2,
    Rgb = 3,
    Cmyk = 4,
    Multichannel = 7,
    Duotone = 8,
    Lab = 9,
};

struct PsdHeader {
    uint16_t version = 1;  // 1 PSD, 2 PSB (large document: 4-byte RLE counts, 8-byte section and channel lengths)
    uint16_t channels = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    uint16_t depth = 0;  // bits per sample: 1, 8, 16 or 32
    ColorMode mode = ColorMode::Rgb;

    bool IsLarge() const { return version == 2; }
};

constexpr size_t kPsdHeaderSize = 26;
constexpr uint16_t kMaxChannels = 56;
constexpr uint32_t kMaxPsdSide = 30000;
constexpr uint32_t kMaxPsbSide = 300000;

// The header as stored; nullopt when any field breaks the format's rules (signature, version, reserved bytes aside:
// they are not needed), and `*problem` says which.
std::optional<PsdHeader> ParseHeader(const uint8_t (&bytes)[kPsdHeaderSize], std::string* problem);

// True when every field is one the format allows for this version: channels 1..56, sides 1..30000 (PSB 300000),
// depth 1, 8, 16 or 32 (1 only for Bitmap, Bitmap only at 1), a known mode.
bool IsPlausible(const PsdHeader& header, std::string* problem);

// The colour channels the mode has before any extra channel: Bitmap, Grayscale, Indexed, Duotone 1; RGB, Lab 3;
// CMYK 4. Multichannel has no colour model: its first channel is shown as gray, the others as extra channels.
uint16_t ColorChannelCount(const PsdHeader& header);

// Bytes of one row of one channel: width samples of `depth` bits, whole bytes (a 1-bit row is padded to a byte).
uint64_t RowBytes(uint32_t width, uint16_t depth);

// "bitmap", "grayscale", "indexed", "rgb", "cmyk", "multichannel", "duotone", "lab": the report's words.
const char* ModeName(ColorMode mode);
