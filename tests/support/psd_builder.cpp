#include "tests/support/psd_builder.h"

#include <zlib.h>

#include <cstring>

namespace {

class Writer {
  public:
    std::vector<uint8_t> bytes;
    void U8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v >> 8 & 0xff);
        U8(v & 0xff);
    }
    void U32(uint32_t v) {
        U16(v >> 16);
        U16(v & 0xffff);
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v >> 32));
        U32(static_cast<uint32_t>(v));
    }
    void Length(uint64_t v, bool large) { large ? U64(v) : U32(static_cast<uint32_t>(v)); }
    void Text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
    void Bytes(const std::vector<uint8_t>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    void PadTo(size_t multiple, size_t from) {
        while ((bytes.size() - from) % multiple != 0)
            U8(0);
    }
    // Writes a length placeholder of 4 or 8 bytes; Patch fills it with the bytes written since.
    size_t Placeholder(bool large) {
        const size_t at = bytes.size();
        Length(0, large);
        return at;
    }
    void Patch(size_t at, bool large) {
        const size_t width = large ? 8 : 4;
        uint64_t v = bytes.size() - at - width;
        for (size_t i = width; i-- > 0; v >>= 8)
            bytes[at + i] = static_cast<uint8_t>(v & 0xff);
    }
};

// Undoes nothing: applies the prediction the format defines, row by row, before deflating.
std::vector<uint8_t> Predict(std::vector<uint8_t> rows, uint32_t width, uint16_t depth) {
    const size_t row_bytes = RowBytes(width, depth);
    for (size_t start = 0; start + row_bytes <= rows.size(); start += row_bytes) {
        uint8_t* row = rows.data() + start;
        if (depth == 8) {
            for (size_t x = width; x-- > 1;)
                row[x] = static_cast<uint8_t>(row[x] - row[x - 1]);
        } else if (depth == 16) {
            for (size_t x = width; x-- > 1;) {
                const unsigned now = row[2 * x] << 8 | row[2 * x + 1];
                const unsigned before = row[2 * x - 2] << 8 | row[2 * x - 1];
                const unsigned delta = (now - before) & 0xffff;
                row[2 * x] = static_cast<uint8_t>(delta >> 8);
                row[2 * x + 1] = static_cast<uint8_t>(delta & 0xff);
            }
        } else if (depth == 32) {
            // The four bytes of each sample go into four planes, most significant first; then byte deltas.
            std::vector<uint8_t> planes(row_bytes);
            for (size_t x = 0; x < width; ++x)
                for (size_t b = 0; b < 4; ++b)
                    planes[b * width + x] = row[4 * x + b];
            for (size_t i = row_bytes; i-- > 1;)
                planes[i] = static_cast<uint8_t>(planes[i] - planes[i - 1]);
            std::memcpy(row, planes.data(), row_bytes);
        }
    }
    return rows;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 6);
    out.resize(size);
    return out;
}

// Compressed rows of `channels` channels stored one after another (after the compression word). For RLE the counts
// come first; `row_offsets` gets where each row begins, relative to the block's first byte.
std::vector<uint8_t> CompressBlock(const std::vector<const std::vector<uint8_t>*>& channels,
                                   uint32_t width,
                                   uint32_t height,
                                   uint16_t depth,
                                   bool large,
                                   Compression compression,
                                   bool loose,
                                   std::vector<size_t>* row_offsets) {
    const size_t row_bytes = RowBytes(width, depth);
    std::vector<uint8_t> all;
    for (const auto* channel : channels)
        all.insert(all.end(), channel->begin(), channel->end());
    Writer out;
    if (compression == Compression::Raw) {
        for (size_t r = 0; r < size_t{height} * channels.size(); ++r)
            row_offsets->push_back(r * row_bytes);
        return all;
    }
    if (compression == Compression::Zip || compression == Compression::ZipPredicted)
        return Deflate(compression == Compression::Zip ? all : Predict(all, width, depth));
    std::vector<std::vector<uint8_t>> rows;
    for (size_t start = 0; start + row_bytes <= all.size(); start += row_bytes)
        rows.push_back(EncodePackBits(all.data() + start, row_bytes, loose));
    for (const auto& row : rows)
        large ? out.U32(static_cast<uint32_t>(row.size())) : out.U16(static_cast<unsigned>(row.size()));
    for (const auto& row : rows) {
        row_offsets->push_back(out.bytes.size());
        out.Bytes(row);
    }
    return out.bytes;
}

bool HasLongLength(const std::string& key) {
    return key == "Lr16" || key == "Lr32" || key == "Layr";
}

// UTF-8 to UTF-16BE code units, for the names the tests give (no surrogates needed).
std::vector<uint16_t> Utf16(const std::string& text) {
    std::vector<uint16_t> units;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<uint8_t>(text[i]);
        const size_t extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : 2;
        unsigned code = extra == 0 ? c : c & (extra == 1 ? 0x1F : 0x0F);
        for (size_t k = 1; k <= extra && i + k < text.size(); ++k)
            code = code << 6 | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        units.push_back(static_cast<uint16_t>(code));
        i += 1 + extra;
    }
    return units;
}

void WriteLayerInfo(Writer& w, const DocumentPlan& plan, std::vector<size_t>* channel_offsets) {
    const bool large = plan.header.IsLarge();
    const auto count = static_cast<int16_t>(plan.layers.size());
    w.U16(static_cast<uint16_t>(plan.merged_alpha ? -count : count));
    std::vector<std::vector<std::vector<uint8_t>>> data;  // per layer, per channel: compression word + block
    for (const BuiltLayer& layer : plan.layers) {
        data.emplace_back();
        for (const BuiltChannel& channel : layer.channels) {
            const bool mask = channel.id == -2;
            const auto width =
                static_cast<uint32_t>(mask ? layer.mask_right - layer.mask_left : layer.right - layer.left);
            const auto height =
                static_cast<uint32_t>(mask ? layer.mask_bottom - layer.mask_top : layer.bottom - layer.top);
            std::vector<size_t> ignored;
            Writer block;
            block.U16(static_cast<unsigned>(layer.compression));
            block.Bytes(CompressBlock({&channel.rows}, width, height, plan.header.depth, large, layer.compression,
                                      plan.loose_packbits, &ignored));
            data.back().push_back(block.bytes);
        }
    }
    for (size_t i = 0; i < plan.layers.size(); ++i) {
        const BuiltLayer& layer = plan.layers[i];
        for (int32_t side : {layer.top, layer.left, layer.bottom, layer.right})
            w.U32(static_cast<uint32_t>(side));
        w.U16(static_cast<unsigned>(layer.channels.size()));
        for (size_t c = 0; c < layer.channels.size(); ++c) {
            w.U16(static_cast<uint16_t>(layer.channels[c].id));
            w.Length(data[i][c].size(), large);
        }
        w.Text("8BIM");
        w.Text(layer.blend);
        w.U8(layer.opacity);
        w.U8(0);
        w.U8(layer.visible ? 0 : 2);
        w.U8(0);
        const size_t extra = w.Placeholder(false);
        bool has_mask = false;
        for (const BuiltChannel& channel : layer.channels)
            has_mask |= channel.id == -2;
        if (has_mask) {
            w.U32(20);
            for (int32_t side : {layer.mask_top, layer.mask_left, layer.mask_bottom, layer.mask_right})
                w.U32(static_cast<uint32_t>(side));
            w.U8(layer.mask_default);
            w.U8(0);
            w.U16(0);
        } else {
            w.U32(0);
        }
        w.U32(0);  // blending ranges
        const size_t name_start = w.bytes.size();
        w.U8(static_cast<unsigned>(layer.name.size()));
        w.Text(layer.name);
        w.PadTo(4, name_start);
        if (layer.section != 0) {
            w.Text("8BIMlsct");
            w.U32(4);
            w.U32(layer.section);
        }
        if (!layer.unicode_name.empty()) {
            const std::vector<uint16_t> units = Utf16(layer.unicode_name);
            w.Text("8BIMluni");
            w.U32(static_cast<uint32_t>(4 + 2 * units.size()));
            w.U32(static_cast<uint32_t>(units.size()));
            for (uint16_t unit : units)
                w.U16(unit);
        }
        w.Patch(extra, false);
    }
    for (const auto& layer : data) {
        for (const auto& channel : layer) {
            channel_offsets->push_back(w.bytes.size());
            w.Bytes(channel);
        }
    }
}

}  // namespace

std::vector<uint8_t> EncodePackBits(const uint8_t* data, size_t size, bool loose) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (loose && i < size) {
        const bool pair = i + 1 < size && data[i + 1] == data[i];
        out.insert(out.end(), {static_cast<uint8_t>(pair ? 255 : 0), data[i]});
        i += pair ? 2 : 1;
    }
    if (loose) {
        out.push_back(128);
        return out;
    }
    while (i < size) {
        size_t run = 1;
        while (i + run < size && run < 128 && data[i + run] == data[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(257 - run));
            out.push_back(data[i]);
            i += run;
            continue;
        }
        size_t literal = 0;
        while (i + literal < size && literal < 128) {
            if (i + literal + 2 < size && data[i + literal] == data[i + literal + 1] &&
                data[i + literal] == data[i + literal + 2])
                break;
            ++literal;
        }
        out.push_back(static_cast<uint8_t>(literal - 1));
        out.insert(out.end(), data + i, data + i + literal);
        i += literal;
    }
    return out;
}

std::vector<uint8_t> SmoothRows(uint32_t width, uint32_t height, uint16_t depth, unsigned seed) {
    const size_t sample_bytes = depth / 8;
    std::vector<uint8_t> rows(RowBytes(width, depth) * height);
    auto triangle = [](size_t v) { return static_cast<uint8_t>(v % 510 < 255 ? v % 510 : 509 - v % 510); };
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            uint8_t* sample = &rows[(y * width + x) * sample_bytes];
            sample[0] = triangle(x * 5 + y * 3 + seed * 97 + (x * y) / 16);
            for (size_t b = 1; b < sample_bytes; ++b)
                sample[b] = static_cast<uint8_t>((x * 131 + y * 71 + b * 29) & 0xff);
        }
    }
    return rows;
}

std::vector<uint8_t> PatternRows(uint32_t width, uint32_t height, uint16_t depth, unsigned seed) {
    const size_t row_bytes = RowBytes(width, depth);
    std::vector<uint8_t> rows(row_bytes * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < row_bytes; ++x) {
            // Runs of four equal bytes, shifted by row and seed.
            const size_t run = x / 4;
            rows[y * row_bytes + x] =
                static_cast<uint8_t>((run * 37 + y * 11 + seed * 101 + (run % 3 == 0 ? x : 0)) & 0xff);
        }
    }
    return rows;
}

std::vector<uint8_t> VersionInfoResource(bool has_real_merged_data) {
    Writer w;
    w.U32(1);
    w.U8(has_real_merged_data ? 1 : 0);
    w.U32(0);  // writer name: empty Unicode string
    w.U32(0);  // reader name
    w.U32(1);  // file version
    return w.bytes;
}

std::vector<uint8_t> ThumbnailResource(uint32_t width, uint32_t height) {
    Writer w;
    w.U32(1);  // JPEG
    w.U32(width);
    w.U32(height);
    w.U32((width * 24 + 31) / 32 * 4);  // bytes per scan line, padded
    w.U32((width * 24 + 31) / 32 * 4 * height);
    w.U32(0);  // size of the JPEG data that would follow
    w.U16(24);
    w.U16(1);
    return w.bytes;
}

BuiltPsd BuildPsd(const DocumentPlan& plan) {
    const PsdHeader& h = plan.header;
    const bool large = h.IsLarge();
    BuiltPsd built;
    Writer w;
    w.Text("8BPS");
    w.U16(h.version);
    for (int i = 0; i < 6; ++i)
        w.U8(0);
    w.U16(h.channels);
    w.U32(h.height);
    w.U32(h.width);
    w.U16(h.depth);
    w.U16(static_cast<unsigned>(h.mode));

    w.U32(static_cast<uint32_t>(plan.color_mode_data.size()));
    w.Bytes(plan.color_mode_data);

    built.resources_length_offset = w.bytes.size();
    const size_t resources = w.Placeholder(false);
    for (const auto& [id, payload] : plan.resources) {
        w.Text("8BIM");
        w.U16(id);
        w.U16(0);  // empty name, padded to even
        w.U32(static_cast<uint32_t>(payload.size()));
        w.Bytes(payload);
        if (payload.size() % 2 != 0)
            w.U8(0);
    }
    w.Patch(resources, false);

    built.layers_length_offset = w.bytes.size();
    const size_t layers = w.Placeholder(large);
    if (!plan.layers.empty() && h.depth == 8) {
        const size_t info = w.Placeholder(large);
        WriteLayerInfo(w, plan, &built.layer_channel_offsets);
        w.PadTo(2, info + (large ? 8 : 4));
        w.Patch(info, large);
    } else {
        w.Length(0, large);
    }
    w.U32(0);  // global layer mask information
    if (!plan.layers.empty() && h.depth != 8) {
        const std::string key = h.depth == 16 ? "Lr16" : "Lr32";
        w.Text("8BIM");
        w.Text(key);
        const size_t block = w.Placeholder(large && HasLongLength(key));
        WriteLayerInfo(w, plan, &built.layer_channel_offsets);
        w.PadTo(4, block + (large ? 8 : 4));
        w.Patch(block, large && HasLongLength(key));
    }
    w.Patch(layers, large);

    built.image_data_offset = w.bytes.size();
    w.U16(static_cast<unsigned>(plan.composite_compression));
    std::vector<const std::vector<uint8_t>*> channels;
    for (const auto& channel : plan.composite)
        channels.push_back(&channel);
    const std::vector<uint8_t> block =
        CompressBlock(channels, h.width, h.height, h.depth, large, plan.composite_compression, plan.loose_packbits,
                      &built.composite_row_offsets);
    const size_t block_start = w.bytes.size();
    const size_t table =
        plan.composite_compression == Compression::Rle ? channels.size() * h.height * (large ? 4 : 2) : 0;
    built.composite_rows_offset = block_start + table;
    for (size_t& offset : built.composite_row_offsets)
        offset += block_start;
    w.Bytes(block);
    built.bytes = std::move(w.bytes);
    return built;
}
