#include <gtest/gtest.h>
#include <lcms2.h>
#include <spng.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "salvage/png_row_writer.h"
#include "salvage/row_assembler.h"
#include "tests/support/bytes.h"
#include "tests/support/memory_file_system.h"

namespace {

Bytes U16(std::initializer_list<unsigned> values) {
    Bytes bytes;
    for (unsigned v : values)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    return bytes;
}

Bytes F32(std::initializer_list<float> values) {
    Bytes bytes;
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        bytes.insert(bytes.end(), {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
                                   static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)});
    }
    return bytes;
}

Bytes Saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// A printer profile in which only paper without ink is white and any ink at all is black: enough to show which way
// round the document's inverted inks go into the transform.
Bytes InkOrWhiteCmykProfile() {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsUInt16Number table[16 * 3];
    for (size_t i = 0; i < 16; ++i)
        table[3 * i] = 0, table[3 * i + 1] = table[3 * i + 2] = 0x8080;
    table[0] = 0xFFFF;
    cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
    cmsPipelineInsertStage(lut, cmsAT_BEGIN, cmsStageAllocToneCurves(nullptr, 4, nullptr));
    cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, 4, 3, table));
    cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsWriteTag(profile, cmsSigAToB0Tag, lut);
    cmsPipelineFree(lut);
    return Saved(profile);
}

// Each mode and depth: the channel rows given (an empty one is lost) and the PNG row that must come out.
TEST(RowAssembler, TurnsEachModesRowsIntoPngRows) {
    const Bytes srgb = Saved(cmsCreate_sRGBProfile());
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    const Bytes gray = Saved(cmsCreateGrayProfile(cmsD50_xyY(), gamma));
    cmsFreeToneCurve(gamma);
    const Bytes cmyk = InkOrWhiteCmykProfile();
    const Bytes damaged(200, 7);
    Bytes palette(768);
    palette[0] = 10, palette[256] = 20, palette[512] = 30, palette[255] = 40, palette[511] = 50, palette[767] = 60;
    const float nan = std::nanf("");
    enum Alpha { kNone, kOwn, kMarked };  // no transparency, the picture's own, one added to mark losses
    const Bytes none;
    struct Case {
        const char* what;
        ColorMode mode;
        uint16_t depth;
        uint32_t width;
        Alpha alpha;
        const Bytes& profile;
        std::vector<Bytes> rows;      // an empty row is lost
        uint8_t channels, bit_depth;  // channels 0: the combination is refused
        Bytes expected;
        size_t notes;
        bool keeps_profile;
    };
    // clang-format off
    const Case cases[] = {
        {"bitmap: a set bit is black, the padding ignored", ColorMode::Bitmap, 1, 10, kNone, none,
         {{0xA0, 0x7F}}, 1, 8, {0, 255, 0, 255, 255, 255, 255, 255, 255, 0}, 0, false},
        {"bitmap with losses marked", ColorMode::Bitmap, 1, 2, kMarked, none, {{}}, 2, 8, {0, 0, 0, 0}, 0, false},
        {"gray 16 unchanged, with its gray profile", ColorMode::Grayscale, 16, 2, kNone, gray,
         {U16({0x1234, 0xABCD})}, 1, 16, U16({0x1234, 0xABCD}), 0, true},
        {"gray, transparency lost: gray kept", ColorMode::Grayscale, 8, 2, kOwn, none, {{9, 10}, {}}, 2, 8,
         {9, 0, 10, 0}, 0, false},
        {"RGB with transparency and its RGB profile", ColorMode::Rgb, 8, 2, kOwn, srgb,
         {{1, 2}, {3, 4}, {5, 6}, {7, 8}}, 4, 8, {1, 3, 5, 7, 2, 4, 6, 8}, 0, true},
        {"RGB 16, green lost: red and blue kept", ColorMode::Rgb, 16, 1, kMarked, none,
         {U16({258}), {}, U16({1286})}, 4, 16, U16({258, 0, 1286, 0}), 0, false},
        {"RGB with a gray profile: left out", ColorMode::Rgb, 8, 1, kNone, gray, {{1}, {2}, {3}}, 3, 8, {1, 2, 3}, 1,
         false},
        {"gray 32: linear light to the sRGB curve", ColorMode::Grayscale, 32, 7, kNone, gray,
         {F32({0, 1, 0.5f, 0.001f, nan, -1, 2})}, 1, 16, U16({0, 65535, 48192, 847, 0, 0, 65535}), 0, false},
        {"gray 32: transparency stays linear", ColorMode::Grayscale, 32, 1, kOwn, none, {F32({0.5f}), F32({0.5f})},
         2, 16, U16({48192, 32768}), 0, false},
        {"indexed through the palette", ColorMode::Indexed, 8, 2, kNone, none, {{0, 255}}, 3, 8,
         {10, 20, 30, 40, 50, 60}, 0, false},
        {"CMYK with a damaged profile: the complement", ColorMode::Cmyk, 8, 2, kNone, damaged,
         {{255, 255}, {0, 255}, {255, 255}, {255, 128}}, 3, 8, {255, 0, 255, 128, 128, 128}, 2, false},
        {"CMYK 16 without a profile", ColorMode::Cmyk, 16, 1, kNone, none,
         {U16({65535}), U16({0}), U16({32768}), U16({65535})}, 3, 16, U16({65535, 0, 32768}), 1, false},
        {"CMYK through the document's profile", ColorMode::Cmyk, 8, 2, kMarked, cmyk,
         {{255, 255}, {255, 255}, {255, 255}, {255, 0}}, 4, 8, {255, 255, 255, 255, 0, 0, 0, 255}, 0, false},
        {"CMYK, a lost ink: nothing of the pixel", ColorMode::Cmyk, 8, 1, kMarked, none, {{1}, {2}, {}, {4}}, 4, 8,
         {0, 0, 0, 0}, 1, false},
        {"Lab 8 through the standard Lab space", ColorMode::Lab, 8, 2, kNone, none,
         {{255, 0}, {128, 128}, {128, 128}}, 3, 8, {255, 255, 255, 0, 0, 0}, 1, false},
        {"Lab 16 with an RGB profile: the standard Lab space", ColorMode::Lab, 16, 1, kNone, srgb,
         {U16({65535}), U16({32768}), U16({32768})}, 3, 16, U16({65535, 65535, 65535}), 2, false},
        {"indexed at 16 bits is refused", ColorMode::Indexed, 16, 1, kNone, none, {}, 0, 0, {}, 0, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AssemblyInput input;
        input.header = {1, 1, 1, c.width, c.depth, c.mode};
        input.palette = palette;
        input.icc_profile = c.profile;
        input.has_transparency = c.alpha == kOwn;
        input.mark_losses = c.alpha == kMarked;
        std::vector<std::string> notes;
        std::string problem;
        const auto assembler = RowAssembler::Create(input, &notes, &problem);
        if (c.channels == 0) {
            EXPECT_EQ(assembler, nullptr);
            EXPECT_FALSE(problem.empty());
            continue;
        }
        ASSERT_NE(assembler, nullptr) << problem;
        EXPECT_EQ(assembler->Format().channels, c.channels);
        EXPECT_EQ(assembler->Format().bit_depth, c.bit_depth);
        EXPECT_EQ(notes.size(), c.notes) << (notes.empty() ? "" : notes[0]);
        EXPECT_EQ(assembler->OutputProfile(), c.keeps_profile ? c.profile : Bytes());
        std::vector<const uint8_t*> rows;
        for (const Bytes& row : c.rows)
            rows.push_back(row.empty() ? nullptr : row.data());
        Bytes out(assembler->OutputRowBytes(), 0xEE);
        assembler->Assemble(rows, out.data());
        EXPECT_EQ(out, c.expected);
    }
}

// A 16-bit RGBA picture with a profile written and read back by spng; a name that exists is never written through;
// a write that fails is reported with the path, and a file cut short in its header is not left behind.
TEST(PngRowWriter, WritesWhatDecodesBackAndReportsWhatCannotBeWritten) {
    MemoryFileSystem files;
    const PngFormat format{3, 2, 4, 16};
    const Bytes profile = {'a', 'n', 'y', ' ', 'b', 'y', 't', 'e', 's'};  // the PNG library does not read profiles
    Bytes pixels(48);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 37);
    auto write = [&](const std::string& path, std::string* problem) {
        CreateOutcome outcome = CreateOutcome::Failed;
        auto writer = PngRowWriter::Create(files, path, format, profile, &outcome, problem);
        if (!writer)
            return outcome;
        const bool rows = writer->WriteRow(pixels.data()) && writer->WriteRow(pixels.data() + 24);
        return writer->Finish(problem) && rows ? outcome : CreateOutcome::Failed;
    };
    std::string problem;
    ASSERT_EQ(write("out.png", &problem), CreateOutcome::Created) << problem;

    const Bytes& png = files.files["out.png"];
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> decoder(spng_ctx_new(0), spng_ctx_free);
    spng_set_png_buffer(decoder.get(), png.data(), png.size());
    Bytes decoded(pixels.size());
    ASSERT_EQ(spng_decode_image(decoder.get(), decoded.data(), decoded.size(), SPNG_FMT_RAW, 0), 0);
    EXPECT_EQ(decoded, pixels);
    spng_iccp iccp{};
    ASSERT_EQ(spng_get_iccp(decoder.get(), &iccp), 0);
    EXPECT_EQ(Bytes(iccp.profile, iccp.profile + iccp.profile_len), profile);

    files.files["taken.png"] = {1, 2, 3};
    EXPECT_EQ(write("taken.png", &problem), CreateOutcome::Taken);
    EXPECT_EQ(files.files["taken.png"], Bytes({1, 2, 3}));

    files.write_limit = png.size() - 20;
    EXPECT_EQ(write("full.png", &problem), CreateOutcome::Failed);
    EXPECT_EQ(problem, "full.png: memory fault");
    files.write_limit = 20;
    EXPECT_EQ(write("header.png", &problem), CreateOutcome::Failed);
    EXPECT_EQ(problem, "header.png: memory fault");
    EXPECT_FALSE(files.Exists("header.png"));
}

}  // namespace
