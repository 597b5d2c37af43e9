#include <gtest/gtest.h>
#include <spng.h>

#include <array>
#include <memory>

#include "salvage/salvage_job.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/psd_builder.h"
#include "tests/support/tool_runner.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Png {
    uint32_t width = 0, height = 0;
    uint8_t channels = 0;  // from the colour type
    Bytes pixels;          // 8-bit samples
};

Png Decode(const Bytes& file) {
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> decoder(spng_ctx_new(0), spng_ctx_free);
    spng_set_png_buffer(decoder.get(), file.data(), file.size());
    spng_ihdr header{};
    Png png;
    if (spng_get_ihdr(decoder.get(), &header) != 0)
        return png;
    png.width = header.width;
    png.height = header.height;
    png.channels = header.color_type == SPNG_COLOR_TYPE_GRAYSCALE         ? 1
                   : header.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ? 2
                   : header.color_type == SPNG_COLOR_TYPE_TRUECOLOR       ? 3
                                                                          : 4;
    png.pixels.resize(size_t{png.width} * png.height * png.channels);
    spng_decode_image(decoder.get(), png.pixels.data(), png.pixels.size(), SPNG_FMT_RAW, 0);
    return png;
}

constexpr uint32_t kWidth = 24, kHeight = 10;

// An 8-bit RGB document with a saved selection, a background layer that covers the canvas and a smaller layer with
// a mask over it.
DocumentPlan Document() {
    DocumentPlan plan;
    plan.header = {1, 4, kHeight, kWidth, 8, ColorMode::Rgb};
    for (unsigned c = 0; c < 4; ++c)
        plan.composite.push_back(PatternRows(kWidth, kHeight, 8, c));
    BuiltLayer background;
    background.bottom = kHeight, background.right = kWidth, background.name = "Background";
    for (int16_t c = 0; c < 3; ++c)
        background.channels.push_back({c, plan.composite[static_cast<size_t>(c)]});
    BuiltLayer top;
    top.top = 2, top.left = 3, top.bottom = 6, top.right = 11, top.name = "Top", top.opacity = 128;
    top.mask_top = 2, top.mask_left = 3, top.mask_bottom = 6, top.mask_right = 11, top.mask_default = 255;
    for (int16_t c = -2; c < 3; ++c)
        top.channels.push_back({c, PatternRows(8, 4, 8, 10u + static_cast<unsigned>(c + 2))});
    plan.layers = {background, top};
    return plan;
}

// Row y of the composite as the PNG holds it (RGB or RGBA), and whether its samples are the document's.
bool RowIsOriginal(const Png& png, const DocumentPlan& plan, uint32_t y) {
    for (uint32_t x = 0; x < png.width; ++x) {
        const uint8_t* pixel = &png.pixels[(size_t{y} * png.width + x) * png.channels];
        for (size_t c = 0; c < 3; ++c) {
            if (pixel[c] != plan.composite[c][size_t{y} * kWidth + x])
                return false;
        }
        if (png.channels == 4 && pixel[3] != 255)
            return false;
    }
    return true;
}

bool RowIsTransparent(const Png& png, uint32_t y) {
    for (uint32_t x = 0; x < png.width; ++x) {
        if (png.channels != 4 || png.pixels[(size_t{y} * png.width + x) * 4 + 3] != 0)
            return false;
    }
    return true;
}

// What comes back of the document through each kind of damage the job itself answers for (the stages' own damage is
// their tests'): rows lost in the composite show as holes and are listed; the layer that alone covers the canvas
// gives back the composite's lost rows; a document without merged data is composed from its layers; a taken name
// stops the salvage and is never written through.
TEST(SalvageJob, WritesEveryPictureAndAnswersForWhatIsLost) {
    struct Case {
        const char* what;
        bool damage_row_4;     // the composite's second channel loses row 4
        bool only_background;  // the top layer is left out: the background alone covers the canvas
        bool no_merged_data;   // resource 1057 says the composite is blank
        bool composite_taken;
        bool empty_layer;  // a record claims a large layer whose rows are not in the file
        SalvageStatus status;
        std::vector<uint32_t> lost_rows;  // of the composite
    };
    const Case cases[] = {
        {"intact", false, false, false, false, false, SalvageStatus::Done, {}},
        {"a damaged row is a hole, with its neighbours",
         true,
         false,
         false,
         false,
         false,
         SalvageStatus::Done,
         {3, 4, 5}},
        {"the covering layer fills it", true, true, false, false, false, SalvageStatus::Done, {}},
        {"composed from the layers", false, true, true, false, false, SalvageStatus::Done, {}},
        {"a taken name", false, false, false, true, false, SalvageStatus::NameTaken, {}},
        {"no picture of a layer that is not there", false, false, false, false, true, SalvageStatus::Done, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentPlan plan = Document();
        if (c.only_background)
            plan.layers.pop_back();
        if (c.no_merged_data)
            plan.resources.push_back({1057, VersionInfoResource(false)});
        if (c.empty_layer) {
            BuiltLayer missing;
            missing.bottom = 20000, missing.right = 20000, missing.compression = Compression::Raw;
            missing.channels = {{0, {}}, {1, {}}, {2, {}}};
            plan.layers.push_back(missing);
        }
        BuiltPsd built = BuildPsd(plan);
        if (c.damage_row_4)
            built.bytes[built.composite_row_offsets[kHeight + 4]] = 0x7f;  // a literal longer than the row
        MemoryByteSource source(built.bytes.data(), built.bytes.size());
        MemoryFileSystem files;
        if (c.composite_taken)
            files.files["out/composite.png"] = {7};

        const SalvageOutcome outcome = SalvageDocument(source, files, "out", '/');
        EXPECT_EQ(outcome.status, c.status) << outcome.problem;
        if (c.composite_taken) {
            EXPECT_EQ(files.files["out/composite.png"], Bytes{7});
            continue;
        }
        std::vector<uint32_t> lost;
        for (const ReportedLoss& span : outcome.composite_lost) {
            for (uint32_t y = span.first; y <= span.last; ++y)
                lost.push_back(y);
        }
        EXPECT_EQ(lost, c.lost_rows);
        EXPECT_EQ(outcome.composed_from_layers, c.no_merged_data);
        const Png composite = Decode(files.files["out/composite.png"]);
        ASSERT_EQ(composite.width, kWidth);
        for (uint32_t y = 0; y < kHeight; ++y) {
            const bool is_lost = std::find(lost.begin(), lost.end(), y) != lost.end();
            EXPECT_TRUE(is_lost ? RowIsTransparent(composite, y) : RowIsOriginal(composite, plan, y)) << "row " << y;
        }
        EXPECT_EQ(outcome.layers.size(), plan.layers.size());
        if (c.empty_layer) {
            EXPECT_EQ(outcome.layers.back().file, "");
            EXPECT_EQ(files.files.count("out/layers/003.png"), 0u);
            EXPECT_EQ(outcome.layers.back().lost.size(), 3u);
        }
        EXPECT_EQ(Decode(files.files["out/layers/001.png"]).width, kWidth);
        if (plan.layers.size() >= 2) {
            EXPECT_EQ(Decode(files.files["out/layers/002.png"]).channels, 4);
            EXPECT_EQ(Decode(files.files["out/layers/002-mask.png"]).width, 8u);
        }
        EXPECT_EQ(Decode(files.files["out/channels/03.png"]).pixels, plan.composite[3]);
    }
}

// The command as a user runs it: what it prints, the report, the exit status of a second run over a name now taken,
// and of a file that holds no picture at all.
TEST_F(CliTest, SalvageWritesThePicturesAndReportsTheLostRows) {
    BuiltPsd built = BuildPsd(Document());
    built.bytes[built.composite_row_offsets[2]] = 0x7f;  // row 2 of the first channel
    std::ofstream(dir_ / "photo.psd", std::ios::binary)
        .write(reinterpret_cast<const char*>(built.bytes.data()), static_cast<std::streamsize>(built.bytes.size()));
    std::ofstream(dir_ / "notes.psd") << "no picture in here";

    ToolRun run = Tool({"salvage", "--report", "r.jsonl", "photo.psd"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("photo.psd: PSD 24 x 10, RGB, 8-bit, 4 channels, rle, 2 layers"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("composite: 7 of 10 rows whole (70.0 %)"), std::string::npos) << run.out;
    const std::string report = Read("r.jsonl");
    EXPECT_NE(report.find("\"composite\":\"" + (dir_ / "photoREC/composite.png") + "\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"header\":\"read\",\"lost\":[[0,1,3]],\"layers\":[{\"file\":"), std::string::npos);
    EXPECT_NE(report.find("\"name\":\"Top\",\"top\":2,\"left\":3,\"bottom\":6,\"right\":11,\"blend\":\"norm\","
                          "\"opacity\":128,\"visible\":true,\"lost\":[]"),
              std::string::npos);

    run = Tool({"salvage", "-q", "photo.psd"});
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_EQ(run.out, "");
    // An output folder that is a link would send the pictures somewhere else than the listing says.
    run = Tool({"salvage", "-o", "link", "photo.psd"}, "mkdir elsewhere && ln -s elsewhere link &&");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("link: is a symbolic link or a file, not a folder"), std::string::npos) << run.err;
    EXPECT_EQ(ReadText(dir_ / "elsewhere/composite.png"), "");
    run = Tool({"salvage", "notes.psd"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("notes.psd: holds no recognisable image data"), std::string::npos) << run.err;
}

}  // namespace

namespace {

// A layer of one colour over the given bounds, opaque through its own transparency.
BuiltLayer Plain(int32_t left, int32_t right, std::array<uint8_t, 3> colour, uint8_t opacity = 255) {
    BuiltLayer layer;
    layer.bottom = 4, layer.left = left, layer.right = right, layer.opacity = opacity;
    const size_t samples = static_cast<size_t>(right - left) * 4;
    layer.channels.push_back({-1, Bytes(samples, 255)});
    for (int16_t c = 0; c < 3; ++c)
        layer.channels.push_back({c, Bytes(samples, colour[static_cast<size_t>(c)])});
    return layer;
}

// A document that keeps no merged picture is composed from its layers, the way the layers show: opacity, a user
// mask, and a hidden group hiding what lies inside it.
TEST(SalvageJob, ComposesTheLayersAsTheyShow) {
    DocumentPlan plan;
    plan.header = {1, 3, 4, 8, 8, ColorMode::Rgb};
    plan.composite.assign(3, Bytes(32, 0));
    plan.resources.push_back({1057, VersionInfoResource(false)});
    BuiltLayer masked = Plain(4, 8, {0, 0, 255});
    masked.mask_top = 0, masked.mask_left = 4, masked.mask_bottom = 4, masked.mask_right = 6;  // 0 inside, 255 out
    masked.mask_default = 255;
    masked.channels.push_back({-2, Bytes(8, 0)});
    BuiltLayer closing, group;
    closing.section = 3, group.section = 1, group.visible = false;
    plan.layers = {Plain(0, 8, {10, 20, 30}),
                   Plain(0, 4, {200, 100, 50}, 128),
                   masked,
                   closing,
                   Plain(0, 8, {255, 255, 255}),
                   group};
    const BuiltPsd built = BuildPsd(plan);
    MemoryByteSource source(built.bytes.data(), built.bytes.size());
    MemoryFileSystem files;
    const SalvageOutcome outcome = SalvageDocument(source, files, "out", '/');
    ASSERT_EQ(outcome.status, SalvageStatus::Done) << outcome.problem;
    EXPECT_TRUE(outcome.composed_from_layers);
    const Png composite = Decode(files.files["out/composite.png"]);
    ASSERT_EQ(composite.channels, 4);
    auto pixel = [&](uint32_t x) { return Bytes(&composite.pixels[x * 4], &composite.pixels[x * 4 + 4]); };
    EXPECT_EQ(pixel(0), (Bytes{105, 60, 40, 255}));  // half of the orange over the dark blue
    EXPECT_EQ(pixel(4), (Bytes{10, 20, 30, 255}));   // the mask hides the blue layer here
    EXPECT_EQ(pixel(7), (Bytes{0, 0, 255, 255}));    // and shows it here; the white group stays hidden
}

}  // namespace
