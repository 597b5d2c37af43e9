#include "salvage/layer_feeds.h"

bool HasPixels(const Layer& layer) {
    return !layer.group_marker && layer.right > layer.left && layer.bottom > layer.top;
}

LayerReaders OpenLayer(ByteSource& source, const Layer& layer, uint16_t colour_channels) {
    LayerReaders opened;
    std::vector<const LayerChannel*> colour(colour_channels, nullptr);
    const LayerChannel* transparency = nullptr;
    for (const LayerChannel& channel : layer.channels) {
        opened.readers.push_back(ChannelBlockReader::Open(source, channel.block));
        if (channel.id >= 0 && channel.id < colour_channels)
            colour[static_cast<size_t>(channel.id)] = &channel;
        else if (channel.id == kLayerTransparency)
            transparency = &channel;
        else if (channel.id == kLayerUserMask) {
            opened.mask = opened.readers.back().get();
            opened.mask_channel = &channel;
        }
    }
    auto reader_of = [&](const LayerChannel* channel) {
        return opened.readers[static_cast<size_t>(channel - layer.channels.data())].get();
    };
    for (uint16_t c = 0; c < colour_channels; ++c) {
        ChannelFeed feed;
        feed.report_channel = c;
        feed.reader = colour[c] != nullptr ? reader_of(colour[c]) : nullptr;
        opened.picture.push_back(feed);
    }
    if (transparency != nullptr) {
        ChannelFeed feed;
        feed.report_channel = kLayerTransparency;
        feed.reader = reader_of(transparency);
        opened.picture.push_back(feed);
        opened.has_transparency = true;
    }
    return opened;
}

AssemblyInput DocumentAssembly(const DocumentLayout& layout,
                               const std::vector<uint8_t>& profile,
                               uint32_t width,
                               bool has_transparency) {
    AssemblyInput input;
    input.header = layout.header;
    input.header.width = width;
    input.palette = layout.palette;
    input.icc_profile = profile;
    input.has_transparency = has_transparency;
    return input;
}
