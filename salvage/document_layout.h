#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "salvage/channel_block.h"
#include "salvage/psd_header.h"

// What the locate stage found in a document: where each part is, checked against the bytes there are. Ranges are
// offsets in the source.

struct ByteRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};

struct ImageResources {
    std::optional<ByteRange> icc_profile;      // resource 1039
    std::optional<bool> has_real_merged_data;  // resource 1057; false: the composite is blank, compose the layers
    uint32_t thumbnail_width = 0;              // resource 1036 (or 1033): a hint at the canvas's aspect
    uint32_t thumbnail_height = 0;
    std::vector<std::string> alpha_names;  // resource 1006 (or 1045), UTF-8: the extra channels' names
};

// Channel ids as layer records store them.
constexpr int16_t kLayerTransparency = -1;
constexpr int16_t kLayerUserMask = -2;
constexpr int16_t kLayerRealUserMask = -3;

struct LayerChannel {
    int16_t id = 0;      // 0.. colour channels in mode order, or one of the ids above
    ChannelBlock block;  // one channel; rows and width of the layer's bounds (of the mask's for the masks)
};

struct LayerMask {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    uint8_t default_color = 0;  // what lies outside the mask's bounds: 0 or 255
};

struct Layer {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<LayerChannel> channels;
    std::array<char, 4> blend{{'n', 'o', 'r', 'm'}};  // the blend mode key
    uint8_t opacity = 255;
    bool clipping = false;
    bool visible = true;
    bool group_marker = false;  // a group's own record or its closing divider ("lsct"), which hold no pixels
    bool group_opens = false;   // with group_marker: the group's own record (above its layers, with the group's
                                // name and visibility); without it the bounding divider below them
    std::string name;           // UTF-8, from the Unicode name when there is one
    std::optional<LayerMask> mask;
};

struct DocumentLayout {
    PsdHeader header;
    bool header_rebuilt = false;   // the header was damaged and its fields come from what survives
    std::vector<uint8_t> palette;  // Indexed: 256 reds, 256 greens, 256 blues
    ImageResources resources;
    std::vector<Layer> layers;  // bottom layer first
    bool merged_alpha = false;  // the composite's first channel after the colour channels is its transparency
    std::optional<ChannelBlock> composite;
    std::vector<std::string> notes;  // damage met and what was done about it, in plain words
};
