#include "salvage/composed_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "salvage/big_endian.h"

namespace {

// Which layers show: visible themselves and inside no hidden group. Groups are read from the top down, where each
// group's own record comes before its layers and its closing divider after them.
std::vector<bool> EffectiveVisibility(const std::vector<Layer>& layers) {
    std::vector<bool> shown(layers.size(), false);
    std::vector<bool> hidden_groups;  // the enclosing groups, innermost last
    size_t hidden = 0;
    for (size_t i = layers.size(); i-- > 0;) {
        const Layer& layer = layers[i];
        if (layer.group_marker && layer.group_opens) {
            hidden_groups.push_back(!layer.visible);
            hidden += layer.visible ? 0 : 1;
        } else if (layer.group_marker) {
            if (!hidden_groups.empty()) {
                hidden -= hidden_groups.back() ? 1 : 0;
                hidden_groups.pop_back();
            }
        } else {
            shown[i] = layer.visible && hidden == 0;
        }
    }
    return shown;
}

std::string BlendName(const Layer& layer) {
    return std::string(layer.blend.begin(), layer.blend.end());
}

double SampleAt(const uint8_t* row, size_t index, uint16_t depth) {
    switch (depth) {
        case 8:
            return row[index] / 255.0;
        case 16:
            return LoadU16BE(row + 2 * index) / 65535.0;
        default: {
            const uint32_t bits = LoadU32BE(row + 4 * index);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return std::isnan(value) ? 0.0 : std::clamp(static_cast<double>(value), 0.0, 1.0);
        }
    }
}

}  // namespace

ComposedRows::ComposedRows(PngFormat format, std::vector<uint8_t> profile, uint16_t colour_channels)
    : format_(format), profile_(std::move(profile)), colour_channels_(colour_channels) {}

std::unique_ptr<ComposedRows> ComposedRows::Create(ByteSource& source,
                                                   const DocumentLayout& layout,
                                                   const std::vector<uint8_t>& profile,
                                                   std::vector<std::string>* notes,
                                                   std::string* problem) {
    const std::vector<bool> shown = EffectiveVisibility(layout.layers);
    const uint16_t colour_channels = ColorChannelCount(layout.header);
    std::unique_ptr<ComposedRows> composed;
    for (size_t i = 0; i < layout.layers.size(); ++i) {
        const Layer& layer = layout.layers[i];
        if (!shown[i] || !HasPixels(layer))
            continue;
        auto source_layer = std::make_unique<Source>();
        source_layer->layer = &layer;
        source_layer->readers = OpenLayer(source, layer, colour_channels);
        AssemblyInput input = DocumentAssembly(layout, profile, static_cast<uint32_t>(layer.right - layer.left),
                                               source_layer->readers.has_transparency);
        input.mark_losses = true;  // every layer row with alpha, so that one blend serves them all
        source_layer->rows = AssembledRows::Create(source_layer->readers.picture, input,
                                                   static_cast<uint32_t>(layer.bottom - layer.top), notes, problem);
        if (!source_layer->rows)
            return nullptr;
        source_layer->row.resize(PngRowBytes(source_layer->rows->Format()));
        if (source_layer->readers.mask_channel != nullptr)
            source_layer->mask.resize(RowBytes(source_layer->readers.mask_channel->block.width,
                                               source_layer->readers.mask_channel->block.depth));
        if (BlendName(layer) != "norm")
            notes->push_back("layer \"" + layer.name + "\": blend mode \"" + BlendName(layer) +
                             "\" approximated as normal");
        if (layer.clipping)
            notes->push_back("layer \"" + layer.name + "\": clipping to the layer below left out");
        if (!composed) {
            PngFormat format = source_layer->rows->Format();
            format.width = layout.header.width;
            format.height = layout.header.height;
            composed.reset(new ComposedRows(format, source_layer->rows->Profile(), colour_channels));
        }
        composed->layers_.push_back(std::move(source_layer));
    }
    if (!composed) {
        *problem = "no visible layer with pixels to compose the picture from";
        return nullptr;
    }
    composed->canvas_.resize(size_t{layout.header.width} * (composed->format_.channels));
    composed->holes_.resize(layout.header.width);
    return composed;
}

double ComposedRows::MaskAt(Source& layer, int64_t y, int64_t x, bool* lost) {
    const LayerChannel* channel = layer.readers.mask_channel;
    if (channel == nullptr || !layer.layer->mask)
        return 1.0;
    const LayerMask& mask = *layer.layer->mask;
    if (y < mask.top || y >= mask.bottom || x < mask.left || x >= mask.right)
        return mask.default_color / 255.0;
    if (!layer.mask_row_whole) {
        *lost = true;
        return 0.0;
    }
    return SampleAt(layer.mask.data(), static_cast<size_t>(x - mask.left), channel->block.depth);
}

void ComposedRows::Blend(Source& layer, int64_t y) {
    const Layer& record = *layer.layer;
    const auto wanted = static_cast<uint32_t>(y - record.top);
    while (layer.rows_read <= wanted) {
        layer.rows->NextRow(layer.row.data());
        ++layer.rows_read;
    }
    const bool row_whole = layer.rows->LastRowWhole();
    // The mask's row, read once for this canvas row.
    if (layer.readers.mask != nullptr && record.mask && y >= record.mask->top && y < record.mask->bottom)
        layer.mask_row_whole =
            layer.readers.mask->ReadRow(0, static_cast<uint32_t>(y - record.mask->top), layer.mask.data());
    const PngFormat format = layer.rows->Format();
    const size_t channels = format.channels;
    const uint16_t depth = format.bit_depth;
    const int64_t from = std::max<int64_t>(0, record.left);
    const int64_t to = std::min<int64_t>(format_.width, record.right);
    const double opacity = record.opacity / 255.0;
    for (int64_t x = from; x < to; ++x) {
        const size_t at = static_cast<size_t>(x - record.left) * channels;
        bool lost = !row_whole;
        const double alpha =
            SampleAt(layer.row.data(), at + channels - 1, depth) * opacity * MaskAt(layer, y, x, &lost);
        if (lost)
            holes_[static_cast<size_t>(x)] = 1;
        double* pixel = &canvas_[static_cast<size_t>(x) * channels];
        for (size_t c = 0; c + 1 < channels; ++c)
            pixel[c] = SampleAt(layer.row.data(), at + c, depth) * alpha + pixel[c] * (1 - alpha);
        pixel[channels - 1] = alpha + pixel[channels - 1] * (1 - alpha);
    }
}

void ComposedRows::NextRow(uint8_t* out) {
    const uint32_t y = next_row_++;
    std::fill(canvas_.begin(), canvas_.end(), 0.0);
    std::fill(holes_.begin(), holes_.end(), 0);
    for (auto& layer : layers_) {
        if (int64_t{y} >= layer->layer->top && int64_t{y} < layer->layer->bottom)
            Blend(*layer, y);
    }
    const size_t channels = format_.channels;
    const double top = format_.bit_depth == 16 ? 65535.0 : 255.0;
    bool whole = true;
    for (size_t x = 0; x < format_.width; ++x) {
        const double* pixel = &canvas_[x * channels];
        const double alpha = holes_[x] != 0 ? 0.0 : pixel[channels - 1];
        whole = whole && holes_[x] == 0;
        for (size_t c = 0; c < channels; ++c) {
            const double value = c + 1 == channels ? alpha : (alpha > 0 ? pixel[c] / pixel[channels - 1] : 0.0);
            const auto quantized = static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * top));
            if (format_.bit_depth == 16) {
                out[2 * (x * channels + c)] = static_cast<uint8_t>(quantized >> 8);
                out[2 * (x * channels + c) + 1] = static_cast<uint8_t>(quantized & 0xff);
            } else {
                out[x * channels + c] = static_cast<uint8_t>(quantized);
            }
        }
    }
    whole_rows_ += whole ? 1 : 0;
    if (!whole) {
        if (!lost_.empty() && lost_.back().last + 1 == y)
            lost_.back().last = y;
        else
            lost_.push_back({0, y, y});
    }
}

std::vector<ReportedLoss> ComposedRows::Lost() const {
    std::vector<ReportedLoss> all;
    for (uint16_t c = 0; c < colour_channels_; ++c) {
        for (ReportedLoss span : lost_) {
            span.channel = c;
            all.push_back(span);
        }
    }
    return all;
}
