#include "salvage/layer_channels.h"

#include <algorithm>

namespace {

struct Extent {
    uint32_t rows = 0;
    uint32_t width = 0;
};

// Rows and width of a channel: the layer's bounds, or its masks' for the mask channels.
Extent ChannelExtent(const LayerRecord& record, int16_t id) {
    int32_t top = record.layer.top, left = record.layer.left, bottom = record.layer.bottom, right = record.layer.right;
    const std::optional<LayerMask>& mask =
        id == kLayerRealUserMask && record.real_mask ? record.real_mask : record.layer.mask;
    if (id == kLayerUserMask || id == kLayerRealUserMask) {
        if (!mask)
            return {};
        top = mask->top, left = mask->left, bottom = mask->bottom, right = mask->right;
    }
    // Bounds were checked to be a rectangle no larger than a PSB's side.
    return {static_cast<uint32_t>(int64_t{bottom} - top), static_cast<uint32_t>(int64_t{right} - left)};
}

bool CompressionWordAt(ByteWindow& in, uint64_t offset) {
    uint16_t word = 0;
    return in.U16(offset, &word) && word <= 3;
}

// The length the channel's own data gives: its count table for RLE, arithmetic for raw rows.
std::optional<uint64_t> MeasuredLength(ByteWindow& in,
                                       uint64_t at,
                                       uint16_t word,
                                       Extent extent,
                                       const LayerInfoPlace& place) {
    if (word == static_cast<uint16_t>(Compression::Raw) && place.depth != 0)
        return 2 + uint64_t{extent.rows} * RowBytes(extent.width, place.depth);
    if (word != static_cast<uint16_t>(Compression::Rle))
        return std::nullopt;
    const uint64_t entry = place.large ? 4 : 2;
    uint64_t sum = 0;
    for (uint32_t row = 0; row < extent.rows; ++row) {
        uint16_t small = 0;
        uint32_t count = 0;
        const uint64_t entry_at = at + 2 + row * entry;
        if (place.large ? !in.U32(entry_at, &count) : !in.U16(entry_at, &small))
            return std::nullopt;
        sum += place.large ? count : small;
    }
    return 2 + uint64_t{extent.rows} * entry + sum;
}

class ChannelChain {
  public:
    ChannelChain(ByteWindow& in, const LayerInfoPlace& place, std::vector<std::string>* notes)
        : in_(in), place_(place), notes_(notes) {}

    // The length to step over for channel `c` of `record` at `at`; nullopt when neither the stored nor the measured
    // length lands on the next channel (or, for the last one, on the info's end).
    std::optional<uint64_t> Length(uint64_t at, const LayerRecord& record, size_t c, bool last) {
        const uint64_t claimed = record.channels[c].length;
        uint16_t word = 0;
        if (!in_.U16(at, &word))
            return claimed;  // past the end of a cut file: as the record says
        if (word > 3)
            return std::nullopt;
        if (Lands(at, claimed, last))
            return claimed;
        const Extent extent = record.usable ? ChannelExtent(record, record.channels[c].id) : Extent{};
        const std::optional<uint64_t> measured = MeasuredLength(in_, at, word, extent, place_);
        if (record.usable && measured && *measured != claimed && MeasuredLands(at, *measured, last)) {
            notes_->push_back("a layer channel's stored length (" + std::to_string(claimed) +
                              ") does not land on the next; its own data gives " + std::to_string(*measured));
            return measured;
        }
        return std::nullopt;
    }

  private:
    bool Lands(uint64_t at, uint64_t length, bool last) {
        uint64_t next = 0;
        if (length < 2 || !AddChecked(at, length, &next))
            return false;
        if (last)
            return !place_.end_trusted || (next <= place_.end && place_.end - next < 4);
        return next >= in_.Size() || CompressionWordAt(in_, next);
    }

    // A measured length comes from bytes that may be damaged: it must land inside the file.
    bool MeasuredLands(uint64_t at, uint64_t length, bool last) {
        return length <= in_.Size() - at && Lands(at, length, last);
    }

    ByteWindow& in_;
    const LayerInfoPlace& place_;
    std::vector<std::string>* notes_;
};

using Starts = std::vector<std::vector<uint64_t>>;

// Where each record's channels begin (kUnknownOffset: not located) and how long each is.
struct Placement {
    Starts starts;
    std::vector<std::vector<uint64_t>> lengths;
};

// Chains channels [from_record, records.size()) backwards from the info's end, trying the paddings writers use.
bool ChainBackwards(ByteWindow& in,
                    const LayerInfoPlace& place,
                    const std::vector<LayerRecord>& records,
                    size_t from_record,
                    size_t from_channel,
                    uint64_t floor,
                    Starts* starts) {
    for (uint64_t pad = 0; pad < 4 && pad <= place.end; ++pad) {
        Starts trial = *starts;
        uint64_t at = place.end - pad;
        bool fits = true;
        for (size_t r = records.size(); fits && r-- > from_record;) {
            const size_t first = r == from_record ? from_channel : 0;
            for (size_t c = records[r].channels.size(); fits && c-- > first;) {
                const uint64_t length = records[r].channels[c].length;
                fits = length >= 2 && at >= floor && at - floor >= length;
                if (fits) {
                    at -= length;
                    fits = at >= in.Size() || CompressionWordAt(in, at);
                    trial[r][c] = at;
                }
            }
        }
        if (fits) {
            *starts = std::move(trial);
            return true;
        }
    }
    return false;
}

struct Break {
    size_t record = 0, channel = 0;
    bool whole = false;  // every channel of every record chained
};

// Chains the channels forward from the records' end up to the first lost record, or the first channel whose length
// does not land.
Break ChainForward(ByteWindow& in,
                   const LayerInfoPlace& place,
                   uint64_t data_start,
                   const std::vector<LayerRecord>& records,
                   size_t first_gap,
                   Placement* placed,
                   std::vector<std::string>* notes) {
    ChannelChain chain(in, place, notes);
    uint64_t at = data_start;
    for (size_t r = 0; r < first_gap && at != kUnknownOffset; ++r) {
        for (size_t c = 0; c < records[r].channels.size(); ++c) {
            const bool last = r + 1 == records.size() && c + 1 == records[r].channels.size();
            const std::optional<uint64_t> length = chain.Length(at, records[r], c, last);
            uint64_t next = 0;
            if (!length || !AddChecked(at, *length, &next))
                return {r, c, false};
            placed->starts[r][c] = at;
            placed->lengths[r][c] = *length;
            at = next;
        }
    }
    return {first_gap, 0, at != kUnknownOffset && first_gap == records.size()};
}

// The usable records' layers with the channels that were located.
void AppendLayers(ByteWindow& in,
                  const LayerInfoPlace& place,
                  const std::vector<LayerRecord>& records,
                  const Placement& placed,
                  LayerSection* section,
                  std::vector<std::string>* notes) {
    for (size_t r = 0; r < records.size(); ++r) {
        const LayerRecord& record = records[r];
        if (!record.usable) {
            notes->push_back("layer record " + std::to_string(r + 1) + ": its bounds are damaged; left out");
            continue;
        }
        Layer layer = record.layer;
        for (size_t c = 0; c < record.channels.size(); ++c) {
            const int16_t id = record.channels[c].id;
            const uint64_t start = placed.starts[r][c];
            if (start == kUnknownOffset || id < kLayerRealUserMask || id >= kMaxChannels)
                continue;
            uint16_t word = 0;
            const Extent extent = ChannelExtent(record, id);
            ChannelBlock block;
            block.data_offset = start + 2;
            block.data_end = start + placed.lengths[r][c];
            // A channel past the end of a cut file has no compression word left: every row is lost whatever it is.
            block.compression = in.U16(start, &word) && word <= 3 ? static_cast<Compression>(word) : Compression::Raw;
            block.rows = extent.rows;
            block.width = extent.width;
            block.depth = place.depth;
            block.large = place.large;
            layer.channels.push_back({id, block});
            section->data_end = std::max(section->data_end, block.data_end);
            section->max_color_id = std::max<int>(section->max_color_id, id);
        }
        section->layers.push_back(std::move(layer));
    }
}

}  // namespace

void LocateLayerChannels(ByteWindow& in,
                         const LayerInfoPlace& place,
                         uint64_t data_start,
                         const std::vector<LayerRecord>& records,
                         const std::vector<size_t>& gaps,
                         LayerSection* section,
                         std::vector<std::string>* notes) {
    Placement placed;
    for (const LayerRecord& record : records) {
        placed.starts.emplace_back(record.channels.size(), kUnknownOffset);
        placed.lengths.emplace_back();
        for (const RecordChannel& channel : record.channels)
            placed.lengths.back().push_back(channel.length);
    }
    const size_t first_gap = gaps.empty() ? records.size() : gaps.front();
    const Break broken = data_start == kUnknownOffset
                             ? Break{0, 0, false}
                             : ChainForward(in, place, data_start, records, first_gap, &placed, notes);
    if (data_start != kUnknownOffset)
        section->data_end = std::max(section->data_end, data_start);
    section->chained = broken.whole;
    if (!broken.whole && !records.empty()) {
        // After a break the rest are chained from the end; after lost records only those past the last loss.
        size_t from_record = broken.record, from_channel = data_start == kUnknownOffset ? 0 : broken.channel + 1;
        if (!gaps.empty() && gaps.back() >= broken.record)
            from_record = gaps.back(), from_channel = 0;
        const uint64_t floor = data_start == kUnknownOffset ? place.offset : data_start;
        const bool located =
            place.end_trusted && ChainBackwards(in, place, records, from_record, from_channel, floor, &placed.starts);
        notes->push_back("the channel data of the layers from record " + std::to_string(from_record + 1) + " on " +
                         (located ? "was located from the end of the layer info" : "could not be located"));
    }
    AppendLayers(in, place, records, placed, section, notes);
}
