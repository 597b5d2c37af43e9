#include "salvage/header_rebuilder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "salvage/big_endian.h"
#include "salvage/composite_finder.h"
#include "salvage/packbits.h"
#include "salvage/picture_shape.h"
#include "salvage/zip_inflater.h"

namespace {

constexpr uint64_t kPaletteSize = 768;
// Rows decoded to learn the row length: the first alone could be damaged.
constexpr uint64_t kRowsMeasured = 4;

// What the other sections say about the canvas.
struct Clues {
    PsdHeader stored;  // the damaged header's fields, unchecked
    uint32_t thumbnail_width = 0, thumbnail_height = 0;
    uint32_t layers_width = 0, layers_height = 0;  // the right and bottom edges of the layers' union
    uint32_t color_channels = 0;                   // from the layers' channel ids; 0 unknown
    uint32_t extra_channels = 0;                   // named alpha channels and a merged transparency
    uint16_t depth_hint = 0;                       // from "Lr16" / "Lr32"
};

// The depth a layer's colour channel data gives: its raw rows' length, or its first RLE row's decoded length, against
// the layer's width. 0 when no layer tells.
uint16_t DepthFromLayerData(ByteWindow& in, const std::vector<Layer>& layers, bool large) {
    for (const Layer& layer : layers) {
        for (const LayerChannel& channel : layer.channels) {
            const ChannelBlock& block = channel.block;
            uint16_t word = 0;
            if (channel.id < 0 || block.width == 0 || block.rows == 0 || block.data_end <= block.data_offset ||
                !in.U16(block.data_offset - 2, &word))
                continue;
            std::optional<uint64_t> row_bytes;
            if (word == static_cast<uint16_t>(Compression::Raw) &&
                (block.data_end - block.data_offset) % block.rows == 0)
                row_bytes = (block.data_end - block.data_offset) / block.rows;
            uint16_t short_count = 0;
            uint32_t count = 0;
            const bool counted = large ? in.U32(block.data_offset, &count) : in.U16(block.data_offset, &short_count);
            if (word == static_cast<uint16_t>(Compression::Rle) && counted)
                row_bytes =
                    DecodedRowSize(in, block.data_offset + (large ? 4u : 2u) * block.rows, large ? count : short_count);
            for (const uint16_t depth : {uint16_t{8}, uint16_t{16}, uint16_t{32}}) {
                if (row_bytes && *row_bytes == RowBytes(block.width, depth))
                    return depth;
            }
        }
    }
    return 0;
}

Clues Gather(ByteWindow& in, const HeaderEvidence& e) {
    Clues c;
    const uint8_t* s = e.stored;
    c.stored = {LoadU16BE(s + 4),  LoadU16BE(s + 12), LoadU32BE(s + 14),
                LoadU32BE(s + 18), LoadU16BE(s + 22), static_cast<ColorMode>(LoadU16BE(s + 24))};
    if (e.resources) {
        c.thumbnail_width = e.resources->thumbnail_width;
        c.thumbnail_height = e.resources->thumbnail_height;
        c.extra_channels = static_cast<uint32_t>(std::min<size_t>(e.resources->alpha_names.size(), kMaxChannels));
    }
    if (e.layers) {
        for (const Layer& layer : e.layers->layers) {
            if (layer.group_marker || layer.bottom <= layer.top || layer.right <= layer.left)
                continue;
            c.layers_width = std::max(c.layers_width, static_cast<uint32_t>(std::max(layer.right, 0)));
            c.layers_height = std::max(c.layers_height, static_cast<uint32_t>(std::max(layer.bottom, 0)));
        }
        c.color_channels = static_cast<uint32_t>(e.layers->max_color_id + 1);
        c.extra_channels += e.layers->merged_alpha ? 1 : 0;
        c.depth_hint = e.layers->depth_hint;
        if (c.depth_hint == 0)
            c.depth_hint = DepthFromLayerData(in, e.layers->layers, e.large.value_or(false));
    }
    return c;
}

// How far a width and height are from the thumbnail's aspect, in canvas pixels; the thumbnail's sides are rounded
// to whole pixels of a picture at most 160 wide, so an error up to the longer side is rounding.
std::optional<uint64_t> AspectError(uint64_t width, uint64_t height, const Clues& c) {
    if (c.thumbnail_width == 0 || c.thumbnail_height == 0)
        return std::nullopt;
    const uint64_t a = width * c.thumbnail_height, b = height * c.thumbnail_width;
    const uint64_t error = a > b ? a - b : b - a;
    if (error > std::max(width, height))
        return std::nullopt;
    return error;
}

struct Shape {
    uint32_t channels = 0, height = 0, width = 0;
    uint16_t depth = 8;
};

// Why each rebuilt field is what it is, for the notes.
struct Reasons {
    std::string shape, depth;  // depth empty: not known yet
    std::string failure;
};

// The most plausible split of `rows` stored rows of `width` samples into channels × height, and why.
std::optional<Shape> SplitRows(uint64_t rows,
                               uint32_t width,
                               const Clues& c,
                               uint32_t max_side,
                               const std::function<uint32_t()>& channels_from_picture,
                               std::string* why) {
    std::vector<Shape> fits;
    for (uint32_t channels = 1; channels <= kMaxChannels; ++channels) {
        if (rows % channels == 0 && rows / channels >= 1 && rows / channels <= max_side)
            fits.push_back({channels, static_cast<uint32_t>(rows / channels), width});
    }
    auto pick = [&](const char* reason, auto&& accept) -> std::optional<Shape> {
        for (const Shape& shape : fits) {
            if (accept(shape)) {
                *why = reason;
                return shape;
            }
        }
        return std::nullopt;
    };
    std::optional<Shape> best;
    if ((best = pick("as the header still says",
                     [&](const Shape& s) { return s.channels == c.stored.channels && s.height == c.stored.height; })))
        return best;
    // A header damaged in one field keeps the others: where its width is the rows' own, its height or its channel
    // count is believed too.
    if (width == c.stored.width &&
        (best = pick("from the header's width and height or channel count",
                     [&](const Shape& s) { return s.height == c.stored.height || s.channels == c.stored.channels; })))
        return best;
    std::optional<uint64_t> least;
    for (const Shape& shape : fits) {
        const std::optional<uint64_t> error = AspectError(width, shape.height, c);
        if (error && (!least || *error < *least))
            least = error, best = shape;
    }
    if (best) {
        *why = "from the thumbnail's aspect";
        return best;
    }
    if ((best = pick("from the layers' bounds", [&](const Shape& s) { return s.height == c.layers_height; })))
        return best;
    if (c.color_channels > 0 &&
        (best = pick("from the layers' channels and the alpha channels' names",
                     [&](const Shape& s) { return s.channels == c.color_channels + c.extra_channels; })))
        return best;
    const uint32_t seen = channels_from_picture();
    if ((best = pick("from where the rows break off", [&](const Shape& s) { return s.channels == seen; })))
        return best;
    for (uint32_t channels : {3u, 4u, 1u}) {
        if ((best = pick("assumed", [&](const Shape& s) { return s.channels == channels; })))
            return best;
    }
    return std::nullopt;
}

// Channel counts in the order they are tried when only the thumbnail's aspect speaks: what the layers and the alpha
// names say, then the common ones.
std::vector<uint32_t> ChannelPreference(const Clues& c) {
    std::vector<uint32_t> order;
    if (c.color_channels > 0 && c.color_channels + c.extra_channels <= kMaxChannels)
        order.push_back(c.color_channels + c.extra_channels);
    for (uint32_t channels : {3u, 4u, 1u, 2u})
        order.push_back(channels);
    for (uint32_t channels = 5; channels <= kMaxChannels; ++channels)
        order.push_back(channels);
    return order;
}

// True when `rows` stored rows of `width` samples split into channels × a height of the thumbnail's aspect.
bool ThumbnailSplits(uint64_t rows, uint64_t width, const Clues& c) {
    for (uint64_t channels = 1; channels <= kMaxChannels; ++channels) {
        if (rows % channels == 0 && AspectError(width, rows / channels, c))
            return true;
    }
    return false;
}

// The split of `bytes` of raw samples into channels × height × width at one of `depths`: as the header still says,
// from the layers' bounds, or from the thumbnail's aspect.
std::optional<Shape> SplitBytes(uint64_t bytes,
                                const std::vector<uint16_t>& depths,
                                const Clues& c,
                                uint32_t max_side,
                                std::string* why) {
    auto split = [&](uint64_t width, uint64_t height, uint16_t depth) -> std::optional<Shape> {
        if (width == 0 || height == 0 || width > max_side || height > max_side)
            return std::nullopt;
        const uint64_t plane = height * RowBytes(static_cast<uint32_t>(width), depth);
        if (bytes % plane != 0 || bytes / plane < 1 || bytes / plane > kMaxChannels)
            return std::nullopt;
        return Shape{static_cast<uint32_t>(bytes / plane), static_cast<uint32_t>(height), static_cast<uint32_t>(width),
                     depth};
    };
    std::optional<Shape> shape;
    // The header's width and height, where its channel count alone was damaged.
    if ((shape = split(c.stored.width, c.stored.height, depths.front()))) {
        *why = shape->channels == c.stored.channels ? "as the header still says" : "from the header's width and height";
        return shape;
    }
    shape = split(c.layers_width, c.layers_height, depths.front());
    if (shape && (c.thumbnail_width == 0 || AspectError(shape->width, shape->height, c))) {
        *why = "from the layers' bounds";
        return shape;
    }
    for (uint32_t channels : c.thumbnail_width != 0 ? ChannelPreference(c) : std::vector<uint32_t>{}) {
        for (uint16_t depth : depths) {
            const uint64_t sample_bytes = depth / 8;
            if (bytes % (channels * sample_bytes) != 0)
                continue;
            const uint64_t samples = bytes / (channels * sample_bytes);
            const double guess = std::sqrt(static_cast<double>(samples) * c.thumbnail_width / c.thumbnail_height);
            const auto centre = static_cast<uint64_t>(guess);
            const uint64_t reach = 2 + centre / 100;
            for (uint64_t width = centre > reach ? centre - reach : 1; width <= centre + reach; ++width) {
                if (samples % width == 0 && AspectError(width, samples / width, c) &&
                    (shape = split(width, samples / width, depth)) && shape->channels == channels) {
                    *why = "from the thumbnail's aspect";
                    return shape;
                }
            }
        }
    }
    return std::nullopt;
}

ColorMode ChooseMode(const PsdHeader& built, uint64_t color_mode_size, const Clues& c, std::string* why) {
    // Only a document of one colour channel has a palette or duotone data: a length found in front of resources
    // whose own length was lost is no sign of either.
    const bool one_color = built.channels == 1 + c.extra_channels;
    if (color_mode_size == kPaletteSize && one_color) {
        *why = "from its 768-byte palette";
        return ColorMode::Indexed;
    }
    if (color_mode_size > 0 && one_color) {
        *why = "from its colour mode data";
        return ColorMode::Duotone;
    }
    PsdHeader stored = built;
    stored.mode = c.stored.mode;
    std::string problem;
    if (c.stored.mode != ColorMode::Bitmap && IsPlausible(stored, &problem)) {
        *why = "as the header still says";
        return c.stored.mode;
    }
    uint32_t colors = c.color_channels;
    *why = "from the layers' channels";
    if (colors == 0 && built.channels > c.extra_channels) {
        colors = built.channels - c.extra_channels;
        *why = "from the channel count";
    }
    switch (colors) {
        case 1:
            return ColorMode::Grayscale;
        case 3:
            return ColorMode::Rgb;
        case 4:
            return ColorMode::Cmyk;
        default:
            *why = "assumed";
            return built.channels >= 3 ? ColorMode::Rgb : ColorMode::Grayscale;
    }
}

// The decoded length most of the composite's first rows have (the first alone could be damaged).
std::optional<uint64_t> MeasureRowBytes(ByteWindow& in, uint64_t table, uint64_t entries, bool large) {
    const uint64_t entry = large ? 4 : 2;
    uint64_t at = table + entries * entry;
    std::vector<uint64_t> sizes;
    for (uint64_t row = 0; row < std::min(entries, kRowsMeasured); ++row) {
        uint32_t count = 0;
        uint16_t small = 0;
        if (large ? !in.U32(table + row * entry, &count) : !in.U16(table + row * entry, &small))
            break;
        const uint64_t length = large ? count : small;
        if (const std::optional<uint64_t> decoded = DecodedRowSize(in, at, length))
            sizes.push_back(*decoded);
        at += length;
    }
    std::optional<uint64_t> most;
    for (uint64_t size : sizes) {
        if (!most || std::count(sizes.begin(), sizes.end(), size) > std::count(sizes.begin(), sizes.end(), *most))
            most = size;
    }
    return most;
}

// The length of a count table whose rows are cut off, so that its entries no longer add up to the file's end: the
// layers' bounds and channels say how many rows there are, and the rows after the table must then decode to the
// layers' width at one of the depths. 0 when no such table is there.
uint64_t CountTableFromLayers(ByteWindow& in, uint64_t table, const Clues& c, bool large) {
    if (c.layers_width == 0 || c.layers_height == 0 || c.color_channels == 0)
        return 0;
    for (const uint32_t channels : {c.color_channels + c.extra_channels, c.color_channels}) {
        const uint64_t entries = uint64_t{channels} * c.layers_height;
        const std::optional<uint64_t> row_bytes = MeasureRowBytes(in, table, entries, large);
        for (const uint16_t depth : {uint16_t{8}, uint16_t{16}, uint16_t{32}}) {
            if (row_bytes && *row_bytes == RowBytes(c.layers_width, depth) &&
                (c.depth_hint == 0 || c.depth_hint == depth))
                return entries;
        }
    }
    return 0;
}

// Reads the stored rows of an RLE composite one after another, each decoded to `row_bytes`.
class RleRows {
  public:
    RleRows(ByteWindow& in, uint64_t table, uint64_t entries, bool large, uint64_t row_bytes)
        : in_(in), table_(table), large_(large), row_bytes_(row_bytes), at_(table + entries * (large ? 4 : 2)) {}

    bool Read(uint64_t row, std::vector<uint8_t>* out) {
        while (next_ <= row) {
            uint32_t count = 0;
            uint16_t small = 0;
            const uint64_t entry = table_ + next_ * (large_ ? 4 : 2);
            if (large_ ? !in_.U32(entry, &count) : !in_.U16(entry, &small))
                return false;
            const uint64_t length = large_ ? count : small;
            if (next_ == row) {
                packed_.resize(static_cast<size_t>(length));
                out->resize(static_cast<size_t>(row_bytes_));
                const bool read = in_.Read(at_, packed_.data(), packed_.size()) &&
                                  DecodePackBitsRow(packed_.data(), packed_.size(), out->data(), out->size()).exact;
                at_ += length;
                ++next_;
                return read;
            }
            at_ += length;
            ++next_;
        }
        return false;
    }

  private:
    ByteWindow& in_;
    uint64_t table_;
    bool large_;
    uint64_t row_bytes_;
    uint64_t at_;
    uint64_t next_ = 0;
    std::vector<uint8_t> packed_;
};

// The first rows' samples one after another: enough to tell their depth by.
std::vector<uint8_t> FirstRows(const StoredRowReader& read, uint64_t rows) {
    std::vector<uint8_t> all, row;
    for (uint64_t r = 0; r < rows && r < kRowsMeasured && read(r, &row); ++r)
        all.insert(all.end(), row.begin(), row.end());
    return all;
}

// Channels × rows and the row's length from an RLE composite's count table and first rows, its depth from the
// layers' width, the thumbnail's aspect or the samples themselves.
std::optional<Shape> ShapeFromRle(ByteWindow& in,
                                  uint64_t data,
                                  const HeaderEvidence& e,
                                  const Clues& c,
                                  PsdHeader* h,
                                  Reasons* why) {
    uint64_t entries = 0;
    std::optional<uint64_t> row_bytes;
    // The width the layer section's length was read with comes first; an empty section reads as either. A table of
    // 4-byte entries read as 2-byte ones steps through the end of the file by twos, so it often seems to add up: the
    // rows after it must decode too.
    auto measure = [&](uint64_t table_entries, bool large) {
        entries = table_entries;
        h->version = large ? 2 : 1;
        row_bytes = entries != 0 ? MeasureRowBytes(in, data, entries, large) : std::nullopt;
        if (row_bytes == uint64_t{0})
            row_bytes.reset();
    };
    for (bool large : {e.large.value_or(false), !e.large.value_or(false)}) {
        if (!row_bytes)
            measure(MeasureCountTable(in, data, large), large);
    }
    if (!row_bytes)
        measure(CountTableFromLayers(in, data, c, e.large.value_or(false)), e.large.value_or(false));
    if (!row_bytes) {
        why->failure = "the composite's count table does not add up";
        return std::nullopt;
    }
    auto rows = [&] {
        auto reader = std::make_shared<RleRows>(in, data, entries, h->IsLarge(), *row_bytes);
        return StoredRowReader([reader](uint64_t row, std::vector<uint8_t>* out) { return reader->Read(row, out); });
    };
    uint16_t depth = why->depth.empty() ? 0 : h->depth;
    for (uint16_t d : {uint16_t{16}, uint16_t{32}}) {
        if (depth == 0 && c.layers_width != 0 && *row_bytes == uint64_t{c.layers_width} * (d / 8))
            depth = d, why->depth = "from the row length and the layers' width";
    }
    for (uint16_t d : {uint16_t{8}, uint16_t{16}, uint16_t{32}}) {
        if (depth == 0 && c.thumbnail_width != 0 && *row_bytes % (d / 8) == 0 &&
            ThumbnailSplits(entries, *row_bytes / (d / 8), c))
            depth = d, why->depth = "from the row length and the thumbnail's aspect";
    }
    if (depth == 0 && c.thumbnail_width == 0 && c.layers_width == 0 && *row_bytes % 2 == 0) {
        depth = DepthFromSamples(FirstRows(rows(), entries));
        why->depth = "from the samples";
    }
    if (depth == 0 || *row_bytes % (depth / 8) != 0)
        depth = 8, why->depth = "assumed";
    const uint64_t width = *row_bytes / (depth / 8);
    const uint32_t max_side = h->IsLarge() ? kMaxPsbSide : kMaxPsdSide;
    std::optional<Shape> shape;
    if (width <= max_side)
        shape = SplitRows(
            entries, static_cast<uint32_t>(width), c, max_side,
            [&] { return ChannelsFromRows(entries, *row_bytes, depth / 8, max_side, rows()); }, &why->shape);
    if (shape)
        shape->depth = depth;
    return shape;
}

// Reads the samples of the composite from their first byte on, in order: as stored, or inflated.
class SampleStream {
  public:
    SampleStream(ByteWindow& in, uint64_t data, Compression compression)
        : in_(in), data_(data), compression_(compression) {}

    // The next `size` bytes; false when they are not all there.
    bool Next(uint8_t* out, size_t size) {
        if (compression_ == Compression::Raw) {
            const bool read = in_.Read(data_ + at_, out, size);
            at_ += size;
            return read;
        }
        if (!started_ && !(started_ = inflater_.Start(in_.Source(), data_, in_.Size(), 64 * 1024)))
            return false;
        size_t made = 0;
        const ZipInflater::Status status = inflater_.Inflate(out, size, false, &made);
        return (status == ZipInflater::Status::Full || status == ZipInflater::Status::End) && made == size;
    }

  private:
    ByteWindow& in_;
    uint64_t data_;
    Compression compression_;
    uint64_t at_ = 0;
    bool started_ = false;
    ZipInflater inflater_;
};

// Rows, columns, depth and channels of raw or inflated samples that nothing else measures, from the samples
// themselves. (Predicted samples are deltas, which say nothing of the picture until the row length is known.)
std::optional<Shape> ShapeOfSamples(ByteWindow& in,
                                    uint64_t data,
                                    Compression compression,
                                    uint64_t bytes,
                                    uint32_t max_side) {
    constexpr uint64_t kSampled = 4 * 1024 * 1024;
    std::vector<uint8_t> sample(static_cast<size_t>(std::min(bytes, kSampled)));
    if (compression == Compression::ZipPredicted ||
        !SampleStream(in, data, compression).Next(sample.data(), sample.size()))
        return std::nullopt;
    const uint64_t row_bytes = RowLengthFromSamples(sample, bytes, uint64_t{max_side} * 4);
    if (row_bytes == 0)
        return std::nullopt;
    const uint16_t depth = row_bytes % 2 == 0 ? DepthFromSamples(sample) : 8;
    const uint64_t rows = bytes / row_bytes;
    const uint64_t width = row_bytes / (depth / 8);
    SampleStream stream(in, data, compression);
    const uint32_t channels =
        ChannelsFromRows(rows, row_bytes, depth / 8, max_side, [&](uint64_t, std::vector<uint8_t>* out) {
            out->resize(static_cast<size_t>(row_bytes));
            return stream.Next(out->data(), out->size());
        });
    if (width > max_side || rows / channels > max_side)
        return std::nullopt;
    return Shape{channels, static_cast<uint32_t>(rows / channels), static_cast<uint32_t>(width), depth};
}

// Channels, rows and columns from the size of raw or inflated samples.
std::optional<Shape> ShapeFromBytes(ByteWindow& in,
                                    uint64_t data,
                                    Compression compression,
                                    const Clues& c,
                                    PsdHeader* h,
                                    Reasons* why) {
    // No document holds more samples than this.
    constexpr uint64_t kMostSampleBytes = uint64_t{kMaxChannels} * kMaxPsbSide * kMaxPsbSide * 4;
    uint64_t bytes = in.Size() - data;
    if (compression != Compression::Raw)
        bytes = InflatedSize(in, data, kMostSampleBytes).value_or(0);
    const std::vector<uint16_t> depths =
        !why->depth.empty() ? std::vector<uint16_t>{h->depth} : std::vector<uint16_t>{8, 16, 32};
    const uint32_t max_side = h->IsLarge() ? kMaxPsbSide : kMaxPsdSide;
    std::optional<Shape> shape = SplitBytes(bytes, depths, c, max_side, &why->shape);
    if (shape && why->depth.empty())
        why->depth = shape->depth == 8 ? "assumed" : "from the thumbnail's aspect";
    if (!shape && bytes != 0 && c.thumbnail_width == 0 && c.layers_width == 0 &&
        (shape = ShapeOfSamples(in, data, compression, bytes, max_side))) {
        why->shape = "from where the rows break off";
        why->depth = "from the samples";
    }
    return shape;
}

}  // namespace

std::optional<PsdHeader> RebuildHeader(ByteWindow& in, const HeaderEvidence& e, std::vector<std::string>* notes) {
    const Clues c = Gather(in, e);
    uint16_t word = 0;
    if (!e.image_data || !in.U16(*e.image_data, &word) || word > 3) {
        notes->push_back("the image data was not found, so the header could not be rebuilt");
        return std::nullopt;
    }
    PsdHeader h;
    h.version = e.large.value_or(false) ? 2 : 1;
    Reasons why;
    h.depth = c.depth_hint;
    if (h.depth == 0 && (c.stored.depth == 8 || c.stored.depth == 16 || c.stored.depth == 32))
        h.depth = c.stored.depth;
    if (h.depth != 0)
        why.depth = c.depth_hint != 0 ? "from the layers" : "as the header still says";
    const uint64_t data = *e.image_data + 2;
    const auto compression = static_cast<Compression>(word);
    const std::optional<Shape> shape = compression == Compression::Rle
                                           ? ShapeFromRle(in, data, e, c, &h, &why)
                                           : ShapeFromBytes(in, data, compression, c, &h, &why);
    if (!shape) {
        notes->push_back(
            (why.failure.empty() ? "the composite's size could not be split into channels and rows" : why.failure) +
            ", so the header could not be rebuilt");
        return std::nullopt;
    }
    h.channels = static_cast<uint16_t>(shape->channels);
    h.height = shape->height;
    h.width = shape->width;
    h.depth = shape->depth;
    std::string mode_why;
    h.mode = ChooseMode(h, e.color_mode_size, c, &mode_why);
    std::string problem;
    if (!IsPlausible(h, &problem)) {
        notes->push_back("the rebuilt header is not plausible (" + problem + ")");
        return std::nullopt;
    }
    notes->push_back("the header was rebuilt: " + std::to_string(h.width) + " x " + std::to_string(h.height) + ", " +
                     std::to_string(h.channels) + " channels (" + why.shape + "), " + std::to_string(h.depth) +
                     " bits (" + why.depth + "), " + ModeName(h.mode) + " (" + mode_why + "), " +
                     (h.IsLarge() ? "PSB" : "PSD"));
    return h;
}
