#include "salvage/layer_records.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "salvage/big_endian.h"
#include "salvage/layer_channels.h"
#include "salvage/psd_text.h"
#include "salvage/tagged_blocks.h"

namespace {

// Colour channels, transparency, user mask and real user mask.
constexpr uint16_t kMaxLayerChannels = kMaxChannels + 3;
constexpr uint64_t kBoundsAndCount = 18;
// "8BIM", blend key, opacity, clipping, flags, filler.
constexpr uint64_t kBlendPart = 12;
// Photoshop allows 255 characters; anything longer is read this far.
constexpr uint64_t kMaxNameUnits = 1024;
// How far a lost record is looked for: records are small, so a search that finds none in this span is in the
// channel data (or past the records).
constexpr uint64_t kRecordSearch = 16 * 1024 * 1024;
// The most a channel can hold: 300000 rows of 300000 4-byte samples and PackBits' worst case, with their counts.
// (Not the file's size: a cut file holds less than its records say.)
constexpr uint64_t kMostChannelBytes = uint64_t{1} << 40;
// A stored count is an int16.
constexpr uint32_t kMaxLayerRecords = 32768;

constexpr char kBlendKeys[][5] = {"pass", "norm", "diss", "dark", "mul ", "idiv", "lbrn", "dkCl", "lite", "scrn",
                                  "div ", "lddg", "lgCl", "over", "sLit", "hLit", "vLit", "lLit", "pLit", "hMix",
                                  "diff", "smud", "fsub", "fdiv", "hue ", "sat ", "colr", "lum "};

bool IsKnownKey(const uint8_t* key) {
    for (const char* known : kBlendKeys) {
        if (std::memcmp(key, known, 4) == 0)
            return true;
    }
    return false;
}

// Some writers store the keys byte-reversed ("mron" for "norm"); a record of theirs is still a record.
bool IsBlendKey(const uint8_t* key) {
    const uint8_t reversed[4] = {key[3], key[2], key[1], key[0]};
    return IsKnownKey(key) || IsKnownKey(reversed);
}

bool BoundsPlausible(int32_t top, int32_t left, int32_t bottom, int32_t right) {
    return top <= bottom && left <= right && int64_t{bottom} - top <= kMaxPsbSide &&
           int64_t{right} - left <= kMaxPsbSide;
}

// The fixed part of a record at `offset`: false unless "8BIM" lies where the channel count puts it.
bool ReadFixedPart(ByteWindow& in, uint64_t offset, bool large, LayerRecord* record, uint64_t* extra_at) {
    uint8_t head[kBoundsAndCount];
    if (!in.Read(offset, head, sizeof head))
        return false;
    Layer& layer = record->layer;
    layer.top = LoadI32BE(head);
    layer.left = LoadI32BE(head + 4);
    layer.bottom = LoadI32BE(head + 8);
    layer.right = LoadI32BE(head + 12);
    const uint16_t count = LoadU16BE(head + 16);
    if (count > kMaxLayerChannels)
        return false;
    const uint64_t entry = large ? 10 : 6;
    uint64_t at = offset + kBoundsAndCount;
    record->channels.clear();
    for (uint16_t c = 0; c < count; ++c, at += entry) {
        uint16_t id = 0;
        uint64_t length = 0;
        if (!in.U16(at, &id) || !in.Length(at + 2, large, &length))
            return false;
        record->channels.push_back({static_cast<int16_t>(id), length});
    }
    uint8_t blend[kBlendPart];
    if (!in.Read(at, blend, sizeof blend) || std::memcmp(blend, "8BIM", 4) != 0)
        return false;
    std::memcpy(layer.blend.data(), blend + 4, 4);
    if (!IsKnownKey(blend + 4) && IsBlendKey(blend + 4))
        std::reverse(layer.blend.begin(), layer.blend.end());
    layer.opacity = blend[8];
    layer.clipping = blend[9] != 0;
    layer.visible = (blend[10] & 2) == 0;
    record->usable = BoundsPlausible(layer.top, layer.left, layer.bottom, layer.right);
    *extra_at = at + kBlendPart;
    return true;
}

void ReadMask(ByteWindow& in, uint64_t at, uint32_t length, LayerRecord* record) {
    uint8_t bytes[36];
    if (length < 18 || !in.Read(at, bytes, length >= 36 ? 36 : 18))
        return;
    LayerMask mask;
    mask.top = LoadI32BE(bytes);
    mask.left = LoadI32BE(bytes + 4);
    mask.bottom = LoadI32BE(bytes + 8);
    mask.right = LoadI32BE(bytes + 12);
    mask.default_color = bytes[16];
    if (BoundsPlausible(mask.top, mask.left, mask.bottom, mask.right))
        record->layer.mask = mask;
    // With both a user mask and a vector mask, the real user mask's rectangle follows the flags (in this order in
    // the files written, whatever the documents say).
    if (length >= 36) {
        LayerMask real;
        real.default_color = bytes[19];
        real.top = LoadI32BE(bytes + 20);
        real.left = LoadI32BE(bytes + 24);
        real.bottom = LoadI32BE(bytes + 28);
        real.right = LoadI32BE(bytes + 32);
        if (BoundsPlausible(real.top, real.left, real.bottom, real.right))
            record->real_mask = real;
    }
}

void ReadLayerBlock(ByteWindow& in, const TaggedBlock& block, LayerRecord* record) {
    uint32_t value = 0;
    if (KeyIs(block, "luni") && block.size >= 4 && in.U32(block.data, &value)) {
        const uint64_t units = std::min<uint64_t>({value, (block.size - 4) / 2, kMaxNameUnits});
        std::vector<uint8_t> bytes(static_cast<size_t>(units * 2));
        if (in.Read(block.data + 4, bytes.data(), bytes.size()))
            record->layer.name = Utf16BeToUtf8(bytes.data(), static_cast<size_t>(units));
    } else if ((KeyIs(block, "lsct") || KeyIs(block, "lsdk")) && block.size >= 4 && in.U32(block.data, &value)) {
        // 1 and 2: a group's own record, above its layers; 3: the divider that closes it, below them.
        record->layer.group_marker = value >= 1 && value <= 3;
        record->layer.group_opens = value == 1 || value == 2;
    }
}

// The extra data: mask, blending ranges, name, tagged blocks. What does not fit is left out; the record stays.
void ReadExtra(ByteWindow& in, uint64_t at, uint64_t end, bool large, LayerRecord* record) {
    uint32_t mask_length = 0;
    if (!in.U32(at, &mask_length) || mask_length > end - at - 4)
        return;
    ReadMask(in, at + 4, mask_length, record);
    at += 4 + uint64_t{mask_length};
    uint32_t ranges_length = 0;
    if (end - at < 4 || !in.U32(at, &ranges_length) || ranges_length > end - at - 4)
        return;
    at += 4 + uint64_t{ranges_length};
    uint8_t name[256];
    if (at >= end || !in.U8(at, name) || name[0] >= end - at || !in.Read(at + 1, name + 1, name[0]))
        return;
    record->layer.name = MacRomanToUtf8(name + 1, name[0]);
    at += (uint64_t{name[0]} + 4) & ~uint64_t{3};
    if (at < end)
        WalkTaggedBlocks(in, at, end, large, [&](const TaggedBlock& block) { ReadLayerBlock(in, block, record); });
}

}  // namespace

bool LayerRecordPlausibleAt(ByteWindow& in, uint64_t offset, bool large) {
    LayerRecord record;
    uint64_t extra_at = 0;
    if (!ReadFixedPart(in, offset, large, &record, &extra_at) || !record.usable ||
        !IsBlendKey(reinterpret_cast<const uint8_t*>(record.layer.blend.data())))
        return false;
    for (const RecordChannel& channel : record.channels) {
        if (channel.id < kLayerRealUserMask || channel.id >= kMaxChannels || channel.length < 2 ||
            channel.length > kMostChannelBytes)
            return false;
    }
    return true;
}

std::optional<LayerRecord> ReadLayerRecord(ByteWindow& in, uint64_t offset, uint64_t end, bool large) {
    LayerRecord record;
    uint64_t extra_at = 0;
    uint32_t extra_length = 0;
    if (!ReadFixedPart(in, offset, large, &record, &extra_at) || !in.U32(extra_at, &extra_length))
        return std::nullopt;
    const uint64_t extra = extra_at + 4;
    if (extra > end || extra_length > end - extra) {
        record.next = kUnknownOffset;
        return record;
    }
    record.next = extra + extra_length;
    ReadExtra(in, extra, record.next, large, &record);
    return record;
}

uint64_t FindLayerRecord(ByteWindow& in, uint64_t from, uint64_t limit, bool large) {
    constexpr size_t kStep = 32 * 1024;
    const uint64_t entry = large ? 10 : 6;
    const uint64_t stop = std::min(limit, from > UINT64_MAX - kRecordSearch ? UINT64_MAX : from + kRecordSearch);
    // A signature can lie no nearer to the record's start than its bounds and count.
    for (uint64_t at = from + kBoundsAndCount; at < stop; at += kStep) {
        size_t got = 0;
        const uint8_t* bytes = in.Peek(at, kStep + 8, &got);
        for (size_t i = 0; bytes != nullptr && i + 8 <= got && i < kStep; ++i) {
            if (bytes[i] != '8' || std::memcmp(bytes + i, "8BIM", 4) != 0 || !IsBlendKey(bytes + i + 4))
                continue;
            const uint64_t signature = at + i;
            for (uint64_t count = 0; count <= kMaxLayerChannels; ++count) {
                const uint64_t back = kBoundsAndCount + count * entry;
                if (signature - from < back)
                    break;
                uint16_t stored = 0;
                if (in.U16(signature - back + 16, &stored) && stored == count &&
                    LayerRecordPlausibleAt(in, signature - back, large))
                    return signature - back;
            }
            bytes = in.Peek(at, kStep + 8, &got);
        }
    }
    return kUnknownOffset;
}

void ReadLayerInfo(ByteWindow& in,
                   const LayerInfoPlace& place,
                   LayerSection* section,
                   std::vector<std::string>* notes) {
    uint16_t stored = 0;
    if (place.count_known && !in.U16(place.offset, &stored))
        return;
    const auto count = static_cast<int16_t>(stored);
    section->merged_alpha = count < 0;
    // Without a count, records are read until one is neither there nor found further on.
    const uint32_t expected = !place.count_known ? kMaxLayerRecords
                              : count < 0        ? static_cast<uint32_t>(-int32_t{count})
                                                 : static_cast<uint32_t>(count);
    const uint64_t bound = std::min(place.end, in.Size());
    std::vector<LayerRecord> records;
    std::vector<size_t> gaps;  // indices into `records` before which records were lost
    uint64_t at = place.count_known ? place.offset + 2 : place.offset;
    // Every record found or skipped counts towards the stored number; each takes at least 30 bytes of the file.
    while (records.size() + gaps.size() < expected && at != kUnknownOffset) {
        std::optional<LayerRecord> record = ReadLayerRecord(in, at, bound, place.large);
        if (record) {
            const uint64_t fixed_end = at + kBoundsAndCount;
            at = record->next;
            if (at == kUnknownOffset) {
                notes->push_back("layer record " + std::to_string(records.size() + gaps.size() + 1) +
                                 ": its extra data's length does not fit; the next record is looked for");
                at = FindLayerRecord(in, fixed_end, bound, place.large);
                if (at != kUnknownOffset)
                    record->next = at;
            }
            records.push_back(std::move(*record));
            continue;
        }
        const uint64_t found = FindLayerRecord(in, at + 1, bound, place.large);
        if (found == kUnknownOffset)
            break;
        notes->push_back("layer record " + std::to_string(records.size() + gaps.size() + 1) +
                         " is damaged; the next one was found at " + std::to_string(found));
        gaps.push_back(records.size());
        at = found;
    }
    if (place.count_known && records.size() + gaps.size() < expected) {
        notes->push_back(std::to_string(expected - records.size() - gaps.size()) + " of " + std::to_string(expected) +
                         " layer records were not found");
        // The records did not all come: where they end, and the channel data begins, is not known.
        at = kUnknownOffset;
    }
    LocateLayerChannels(in, place, at, records, gaps, section, notes);
}
