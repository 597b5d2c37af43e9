#include <gtest/gtest.h>

#include <cstring>

#include "salvage/psd_header.h"
#include "tests/support/psd_builder.h"

namespace {

// The builder's headers read back, and each rule of the format refuses what breaks it.
TEST(PsdHeader, ReadsWhatTheFormatAllowsAndRefusesTheRest) {
    struct Case {
        uint16_t version, channels;
        uint32_t height, width;
        uint16_t depth;
        ColorMode mode;
        bool plausible;
    };
    const Case cases[] = {
        {1, 3, 20, 30, 8, ColorMode::Rgb, true},
        {2, 4, 300000, 1, 16, ColorMode::Cmyk, true},
        {1, 1, 5, 9, 1, ColorMode::Bitmap, true},
        {1, 56, 1, 1, 32, ColorMode::Grayscale, true},
        {1, 3, 30001, 1, 8, ColorMode::Rgb, false},  // past the PSD side limit
        {1, 57, 1, 1, 8, ColorMode::Grayscale, false},
        {1, 2, 1, 1, 8, ColorMode::Rgb, false},     // fewer channels than the mode has
        {1, 1, 1, 1, 8, ColorMode::Bitmap, false},  // Bitmap only at 1 bit
        {1, 1, 1, 1, 1, ColorMode::Grayscale, false},
        {1, 1, 1, 1, 12, ColorMode::Grayscale, false},
        {3, 1, 1, 1, 8, ColorMode::Grayscale, false},
        {1, 1, 0, 1, 8, ColorMode::Grayscale, false},
    };
    for (const Case& c : cases) {
        DocumentPlan plan;
        plan.header = {c.version, c.channels, c.height, c.width, c.depth, c.mode};
        plan.composite_compression = Compression::Raw;
        const BuiltPsd built = BuildPsd(plan);
        uint8_t bytes[kPsdHeaderSize];
        std::memcpy(bytes, built.bytes.data(), kPsdHeaderSize);
        std::string problem;
        const auto header = ParseHeader(bytes, &problem);
        EXPECT_EQ(header.has_value(), c.plausible) << c.channels << " " << c.height << " " << problem;
        if (header) {
            EXPECT_EQ(header->width, c.width);
            EXPECT_EQ(header->height, c.height);
            EXPECT_EQ(header->mode, c.mode);
        }
    }
}

}  // namespace
