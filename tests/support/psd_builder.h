#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "salvage/channel_block.h"
#include "salvage/psd_header.h"

// Writes small PSD and PSB documents for the salvage tests, and says where each part landed so a test can damage
// exactly what it means to. Channel pixels are given uncompressed, RowBytes(width, depth) bytes per row, rows one
// after another; the builder compresses them as asked.

struct BuiltChannel {
    int16_t id = 0;  // 0.. colour, -1 transparency, -2 user mask
    std::vector<uint8_t> rows;
};

struct BuiltLayer {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<BuiltChannel> channels;
    std::string name = "Layer";
    std::string unicode_name;  // UTF-8; when not empty, also stored as a "luni" block
    std::string blend = "norm";
    uint8_t opacity = 255;
    bool visible = true;
    Compression compression = Compression::Rle;
    int32_t mask_top = 0, mask_left = 0, mask_bottom = 0, mask_right = 0;  // for a channel -2
    uint8_t mask_default = 0;
    uint32_t section = 0;  // stored as "lsct" when not 0: 1 a group's own record, 3 the divider that closes it
};

struct DocumentPlan {
    PsdHeader header;
    std::vector<uint8_t> color_mode_data;
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> resources;
    std::vector<BuiltLayer> layers;  // bottom first; in 16- and 32-bit documents they go into an Lr16/Lr32 block
    bool merged_alpha = false;       // the layer count is stored negative
    Compression composite_compression = Compression::Rle;
    std::vector<std::vector<uint8_t>> composite;  // one entry per header channel
    // RLE rows as some writers store them: equal pairs as runs, every other byte a literal of its own, and a no-op
    // at each row's end.
    bool loose_packbits = false;
};

struct BuiltPsd {
    std::vector<uint8_t> bytes;
    size_t resources_length_offset = 0;         // the 4-byte length of the image resources
    size_t layers_length_offset = 0;            // the 4- or 8-byte length of the layer and mask information
    size_t image_data_offset = 0;               // the composite's compression word
    size_t composite_rows_offset = 0;           // the first row byte (after the count table for RLE)
    std::vector<size_t> composite_row_offsets;  // where each stored row begins, channel after channel
    std::vector<size_t> layer_channel_offsets;  // each layer channel's compression word, in record order
};

BuiltPsd BuildPsd(const DocumentPlan& plan);

// Samples that change from row to row and from channel to channel (no two rows alike, so that a row put in the
// wrong place shows), with runs that PackBits compresses.
std::vector<uint8_t> PatternRows(uint32_t width, uint32_t height, uint16_t depth, unsigned seed);

// Rows that change slowly from sample to sample and from row to row, as pictures do (16-bit samples with a noisy
// second byte); `seed` sets them apart.
std::vector<uint8_t> SmoothRows(uint32_t width, uint32_t height, uint16_t depth, unsigned seed);

std::vector<uint8_t> EncodePackBits(const uint8_t* data, size_t size, bool loose = false);
// The 1039 resource of a tiny but valid sRGB-like profile is not needed by most tests; this gives a resource block's
// payload for resource 1057 with "has real merged data" as given.
std::vector<uint8_t> VersionInfoResource(bool has_real_merged_data);
// The payload of resource 1036: a thumbnail's 28-byte header for a picture of that size (no JPEG data after it).
std::vector<uint8_t> ThumbnailResource(uint32_t width, uint32_t height);
