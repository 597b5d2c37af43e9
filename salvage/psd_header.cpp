#include "salvage/psd_header.h"

#include <cstring>

#include "salvage/big_endian.h"

namespace {

bool KnownMode(uint16_t mode) {
    switch (static_cast<ColorMode>(mode)) {
        case ColorMode::Bitmap:
        case ColorMode::Grayscale:
        case ColorMode::Indexed:
        case ColorMode::Rgb:
        case ColorMode::Cmyk:
        case ColorMode::Multichannel:
        case ColorMode::Duotone:
        case ColorMode::Lab:
            return true;
    }
    return false;
}

bool Refuse(std::string* problem, const char* why) {
    *problem = why;
    return false;
}

}  // namespace

std::optional<PsdHeader> ParseHeader(const uint8_t (&bytes)[kPsdHeaderSize], std::string* problem) {
    if (std::memcmp(bytes, "8BPS", 4) != 0) {
        *problem = "no 8BPS signature";
        return std::nullopt;
    }
    const uint16_t mode = LoadU16BE(bytes + 24);
    if (!KnownMode(mode)) {
        *problem = "unknown colour mode";
        return std::nullopt;
    }
    PsdHeader header;
    header.version = LoadU16BE(bytes + 4);
    header.channels = LoadU16BE(bytes + 12);
    header.height = LoadU32BE(bytes + 14);
    header.width = LoadU32BE(bytes + 18);
    header.depth = LoadU16BE(bytes + 22);
    header.mode = static_cast<ColorMode>(mode);
    if (!IsPlausible(header, problem))
        return std::nullopt;
    return header;
}

bool IsPlausible(const PsdHeader& header, std::string* problem) {
    if (header.version != 1 && header.version != 2)
        return Refuse(problem, "unknown version");
    if (header.channels < 1 || header.channels > kMaxChannels)
        return Refuse(problem, "channel count out of range");
    const uint32_t max_side = header.IsLarge() ? kMaxPsbSide : kMaxPsdSide;
    if (header.width < 1 || header.height < 1 || header.width > max_side || header.height > max_side)
        return Refuse(problem, "size out of range");
    if (header.depth != 1 && header.depth != 8 && header.depth != 16 && header.depth != 32)
        return Refuse(problem, "unknown depth");
    if (!KnownMode(static_cast<uint16_t>(header.mode)))
        return Refuse(problem, "unknown colour mode");
    if ((header.depth == 1) != (header.mode == ColorMode::Bitmap))
        return Refuse(problem, "depth does not suit the colour mode");
    if (header.channels < ColorChannelCount(header))
        return Refuse(problem, "fewer channels than the colour mode has");
    return true;
}

uint16_t ColorChannelCount(const PsdHeader& header) {
    switch (header.mode) {
        case ColorMode::Rgb:
        case ColorMode::Lab:
            return 3;
        case ColorMode::Cmyk:
            return 4;
        default:
            return 1;
    }
}

uint64_t RowBytes(uint32_t width, uint16_t depth) {
    return (uint64_t{width} * depth + 7) / 8;
}

const char* ModeName(ColorMode mode) {
    switch (mode) {
        case ColorMode::Bitmap:
            return "bitmap";
        case ColorMode::Grayscale:
            return "grayscale";
        case ColorMode::Indexed:
            return "indexed";
        case ColorMode::Rgb:
            return "rgb";
        case ColorMode::Cmyk:
            return "cmyk";
        case ColorMode::Multichannel:
            return "multichannel";
        case ColorMode::Duotone:
            return "duotone";
        case ColorMode::Lab:
            return "lab";
    }
    return "unknown";
}
