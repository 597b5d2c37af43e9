#include <gtest/gtest.h>

#include <functional>

#include "salvage/document_locator.h"
#include "tests/support/psd_builder.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's runtime has it; GCC ships no header that declares it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

namespace {

constexpr uint32_t kWidth = 24, kHeight = 16;

BuiltLayer MakeLayer(int32_t top, int32_t left, int32_t bottom, int32_t right, uint16_t depth, unsigned seed) {
    BuiltLayer layer;
    layer.top = top, layer.left = left, layer.bottom = bottom, layer.right = right;
    const auto width = static_cast<uint32_t>(right - left), height = static_cast<uint32_t>(bottom - top);
    for (int16_t id : {-1, 0, 1, 2})
        layer.channels.push_back({id, PatternRows(width, height, depth, seed + static_cast<unsigned>(id + 1))});
    return layer;
}

// An RGB document with a background layer and a smaller one above it.
DocumentPlan Document(uint16_t version, uint16_t depth, ColorMode mode = ColorMode::Rgb) {
    DocumentPlan plan;
    const uint16_t channels = mode == ColorMode::Rgb ? 3 : 1;
    plan.header = {version, channels, kHeight, kWidth, depth, mode};
    for (unsigned c = 0; c < channels; ++c)
        plan.composite.push_back(PatternRows(kWidth, kHeight, depth, 7 + c));
    plan.resources.push_back({1057, VersionInfoResource(true)});
    if (mode == ColorMode::Rgb) {
        plan.layers.push_back(MakeLayer(0, 0, kHeight, kWidth, depth, 1));
        plan.layers.push_back(MakeLayer(2, 3, 10, 13, depth, 5));
        plan.layers.back().name = "Top";
    }
    return plan;
}

// A flattened RGB picture with nothing but its samples to measure it by: no layers, no thumbnail.
DocumentPlan Flat(Compression compression, uint16_t depth) {
    DocumentPlan plan;
    plan.header = {1, 3, 40, 56, depth, ColorMode::Rgb};
    plan.composite_compression = compression;
    for (unsigned c = 0; c < 3; ++c)
        plan.composite.push_back(SmoothRows(56, 40, depth, 3 * c));
    return plan;
}

// A flattened picture with a sharp edge across its middle, as each of its channels has.
DocumentPlan EdgedFlat() {
    DocumentPlan plan = Flat(Compression::Rle, 8);
    for (std::vector<uint8_t>& channel : plan.composite) {
        for (size_t i = channel.size() / 2; i < channel.size(); ++i)
            channel[i] = static_cast<uint8_t>(channel[i] + 128);
    }
    return plan;
}

// The layered document with a large first resource, as a thumbnail is.
DocumentPlan PaddedDocument() {
    DocumentPlan plan = Document(1, 8);
    plan.resources.insert(plan.resources.begin(), {1000, std::vector<uint8_t>(600, 7)});
    return plan;
}

// A flattened picture whose composite lies past the first 512 bytes.
DocumentPlan PaddedFlat(uint16_t version) {
    DocumentPlan plan = Flat(Compression::Rle, 16);
    plan.header.version = version;
    plan.resources.push_back({1000, std::vector<uint8_t>(600, 7)});
    return plan;
}

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        (*bytes)[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

struct Case {
    const char* name;
    std::function<DocumentPlan()> plan;
    std::function<void(BuiltPsd*)> damage;
    bool rebuilt;
    bool composite;         // located where the builder put it
    size_t located_layers;  // layers whose channels are all where the builder put them
};

// Each kind of damage the locate stage must see through, on documents of the builder: the header (read or rebuilt),
// the composite's place and shape, and each layer's bounds and channel blocks.
TEST(Locate, FindsTheDocumentsPartsThroughEachKindOfDamage) {
    const Case cases[] = {
        {"intact rgb", [] { return Document(1, 8); }, [](BuiltPsd*) {}, false, true, 2},
        {"psb", [] { return Document(2, 8); }, [](BuiltPsd*) {}, false, true, 2},
        {"16-bit, layers in Lr16", [] { return Document(1, 16); }, [](BuiltPsd*) {}, false, true, 2},
        {"zeroed header, rle (layers tell the size)", [] { return Document(1, 8); },
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0); }, true, true, 2},
        {"zeroed header, raw (the thumbnail tells the aspect)",
         [] {
             DocumentPlan plan = Document(1, 8);
             plan.layers.clear();
             plan.composite_compression = Compression::Raw;
             plan.resources.push_back({1036, ThumbnailResource(160, 107)});
             return plan;
         },
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0); }, true, true, 0},
        {"zeroed header, raw (the samples alone tell the shape)", [] { return Flat(Compression::Raw, 8); },
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0); }, true, true, 0},
        {"zeroed header, 16-bit rle (the samples alone tell the shape)", [] { return Flat(Compression::Rle, 16); },
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0); }, true, true, 0},
        {"zeroed header, composite cut (the layers tell the size)", [] { return Document(1, 8); },
         [](BuiltPsd* b) {
             std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0);
             b->bytes.resize(b->image_data_offset + 2 + 3 * kHeight * 2 + 60);
         },
         true, true, 2},
        {"zeroed compression word and count table start (the rows still read as rle)", [] { return Document(1, 8); },
         [](BuiltPsd* b) {
             std::fill(b->bytes.begin() + b->image_data_offset, b->bytes.begin() + b->image_data_offset + 22, 0);
         },
         false, true, 2},
        {"zeroed header, a picture with an edge across it (its channels, not its halves, change alike)", EdgedFlat,
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + kPsdHeaderSize, 0); }, true, true, 0},
        {"first 512 bytes zeroed: the walk leads to zeros, the rle composite proves itself by its table",
         [] { return PaddedFlat(1); }, [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + 512, 0); },
         true, true, 0},
        {"psb, first 512 bytes zeroed", [] { return PaddedFlat(2); },
         [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + 512, 0); }, true, true, 0},
        {"sections and the composite's first counts zeroed: its last rows tell where its table ends",
         [] { return PaddedFlat(1); },
         [](BuiltPsd* b) {
             std::fill(b->bytes.begin() + kPsdHeaderSize, b->bytes.begin() + b->image_data_offset + 22, 0);
         },
         false, true, 0},
        {"sections' lengths and the first resource zeroed: the layers are found behind the zeros", PaddedDocument,
         [](BuiltPsd* b) { std::fill(b->bytes.begin() + kPsdHeaderSize, b->bytes.begin() + 300, 0); }, false, true, 2},
        {"header and sections' lengths zeroed: the bytes before the resources found are no duotone data",
         PaddedDocument, [](BuiltPsd* b) { std::fill(b->bytes.begin(), b->bytes.begin() + 34, 0); }, true, true, 2},
        {"bytes after the header zeroed: their empty sections chain to a raw word, not to the composite",
         [] { return PaddedFlat(1); },
         [](BuiltPsd* b) { std::fill(b->bytes.begin() + kPsdHeaderSize, b->bytes.begin() + 512, 0); }, false, true, 0},
        {"broken resources length", [] { return Document(1, 8); },
         [](BuiltPsd* b) { Put32(&b->bytes, b->resources_length_offset, 0x7fff0000); }, false, true, 2},
        {"broken layer section length", [] { return Document(1, 8); },
         [](BuiltPsd* b) { Put32(&b->bytes, b->layers_length_offset, 40); }, false, true, 2},
        {"cut in the layer section", [] { return Document(1, 8); },
         [](BuiltPsd* b) { b->bytes.resize(b->layer_channel_offsets[6] + 9); }, false, false, 2},
        {"indexed with a palette",
         [] {
             DocumentPlan plan = Document(1, 8, ColorMode::Indexed);
             for (unsigned i = 0; i < 768; ++i)
                 plan.color_mode_data.push_back(static_cast<uint8_t>(i * 7));
             return plan;
         },
         [](BuiltPsd*) {}, false, true, 0},
        {"blend keys stored byte-reversed, as one writer does",
         [] {
             DocumentPlan plan = Document(1, 8);
             for (BuiltLayer& layer : plan.layers)
                 layer.blend = "mron";
             return plan;
         },
         [](BuiltPsd*) {}, false, true, 2},
        {"layer with a mask and a Unicode name",
         [] {
             DocumentPlan plan = Document(1, 8);
             BuiltLayer& top = plan.layers.back();
             top.unicode_name = "Ébauche ☃";
             top.mask_top = 1, top.mask_left = 2, top.mask_bottom = 7, top.mask_right = 9, top.mask_default = 255;
             top.channels.push_back({-2, PatternRows(7, 6, 8, 3)});
             return plan;
         },
         [](BuiltPsd*) {}, false, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentPlan plan = c.plan();
        BuiltPsd built = BuildPsd(plan);
        c.damage(&built);
        MemoryByteSource source(built.bytes.data(), built.bytes.size());
        DocumentLayout layout;
        ASSERT_EQ(LocateDocument(source, &layout), LocateOutcome::Found);
        EXPECT_EQ(layout.header_rebuilt, c.rebuilt);
        const PsdHeader& h = layout.header;
        EXPECT_EQ(h.version, plan.header.version);
        EXPECT_EQ(h.channels, plan.header.channels);
        EXPECT_EQ(h.width, plan.header.width);
        EXPECT_EQ(h.height, plan.header.height);
        EXPECT_EQ(h.depth, plan.header.depth);
        EXPECT_EQ(h.mode, plan.header.mode);
        EXPECT_EQ(layout.composite.has_value(), c.composite);
        if (c.composite && layout.composite) {
            EXPECT_EQ(layout.composite->data_offset, built.image_data_offset + 2);
            EXPECT_EQ(layout.composite->compression, plan.composite_compression);
            EXPECT_EQ(layout.composite->channels, plan.header.channels);
            EXPECT_EQ(layout.composite->rows, plan.header.height);
        }
        if (plan.header.mode == ColorMode::Indexed) {
            EXPECT_EQ(layout.palette, plan.color_mode_data);
        }
        ASSERT_EQ(layout.layers.size(), c.located_layers);
        size_t channel = 0;
        for (size_t i = 0; i < layout.layers.size(); ++i) {
            const Layer& got = layout.layers[i];
            const BuiltLayer& want = plan.layers[i];
            EXPECT_EQ(got.top, want.top);
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.name, want.unicode_name.empty() ? want.name : want.unicode_name);
            EXPECT_EQ(std::string(got.blend.data(), 4), "norm");
            ASSERT_EQ(got.channels.size(), want.channels.size());
            for (size_t k = 0; k < got.channels.size(); ++k, ++channel) {
                const ChannelBlock& block = got.channels[k].block;
                EXPECT_EQ(got.channels[k].id, want.channels[k].id);
                EXPECT_EQ(block.data_offset, built.layer_channel_offsets[channel] + 2);
                EXPECT_EQ(block.depth, plan.header.depth);
                const bool mask = want.channels[k].id == kLayerUserMask;
                EXPECT_EQ(block.rows,
                          static_cast<uint32_t>(mask ? want.mask_bottom - want.mask_top : want.bottom - want.top));
                EXPECT_EQ(block.width,
                          static_cast<uint32_t>(mask ? want.mask_right - want.mask_left : want.right - want.left));
            }
            EXPECT_EQ(got.mask.has_value(), want.mask_bottom != 0);
            if (got.mask) {
                EXPECT_EQ(got.mask->default_color, want.mask_default);
            }
        }
    }
}

#if defined(__SANITIZE_ADDRESS__)
size_t largest_allocation = 0;
void NoteAllocation(const volatile void*, size_t size) {
    largest_allocation = std::max(largest_allocation, size);
}
void NoteFree(const volatile void*) {}
#endif

// A kilobyte claiming 300000 × 300000 × 56 channels is described as it claims (the decoder keeps what is there),
// without allocating anything in proportion to the claim.
TEST(Locate, AHostileHeaderAllocatesNothingLarge) {
    DocumentPlan plan;
    plan.header = {2, 56, 300000, 300000, 8, ColorMode::Multichannel};
    BuiltPsd built = BuildPsd(plan);
    built.bytes.resize(1024, 0x01);
    MemoryByteSource source(built.bytes.data(), built.bytes.size());
    DocumentLayout layout;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_install_malloc_and_free_hooks(NoteAllocation, NoteFree);
    largest_allocation = 0;
#endif
    EXPECT_EQ(LocateDocument(source, &layout), LocateOutcome::Found);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(largest_allocation, size_t{1} << 20);
#endif
    ASSERT_TRUE(layout.composite.has_value());
    EXPECT_EQ(layout.composite->rows, 300000u);
    EXPECT_EQ(layout.composite->channels, 56u);
}

}  // namespace
