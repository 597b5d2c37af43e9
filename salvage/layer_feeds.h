#pragma once

#include <memory>
#include <vector>

#include "salvage/assembled_rows.h"
#include "salvage/byte_source.h"
#include "salvage/document_layout.h"

// The readers of one layer's channels, and the feeds that make its picture: the colour channels in mode order,
// then its transparency when it has one.
struct LayerReaders {
    std::vector<std::unique_ptr<ChannelBlockReader>> readers;  // one per channel of the record
    std::vector<ChannelFeed> picture;
    bool has_transparency = false;
    ChannelBlockReader* mask = nullptr;  // the user mask, when there is one; not owned
    const LayerChannel* mask_channel = nullptr;
};

// A colour channel the record does not have becomes a feed without a reader: every row of it lost.
LayerReaders OpenLayer(ByteSource& source, const Layer& layer, uint16_t colour_channels);

// Has the layer any pixels to give: not a group's record, and bounds of some size.
bool HasPixels(const Layer& layer);

// What the assembler needs for a picture `width` samples wide of the document's mode and depth.
AssemblyInput DocumentAssembly(const DocumentLayout& layout,
                               const std::vector<uint8_t>& profile,
                               uint32_t width,
                               bool has_transparency);
