#include "salvage/layer_section.h"

#include <algorithm>

#include "salvage/layer_records.h"
#include "salvage/tagged_blocks.h"

namespace {

// Every writer we know stores 13 bytes and padding here; a longer one is not the global layer mask info.
constexpr uint32_t kMaxGlobalMaskInfo = 4096;

// Where the global layer mask info lies after layer info that ended at `after` (padded by writers to 2 or to 4).
std::optional<uint64_t> FindGlobalMaskInfo(ByteWindow& in, uint64_t after, uint64_t end) {
    for (uint64_t at : {after, (after + 1) & ~uint64_t{1}, (after + 3) & ~uint64_t{3}}) {
        if (GlobalMaskInfoAt(in, at, end))
            return at;
    }
    return std::nullopt;
}

}  // namespace

bool GlobalMaskInfoAt(ByteWindow& in, uint64_t offset, uint64_t end) {
    uint32_t length = 0;
    uint16_t word = 0;
    if (!in.U32(offset, &length) || length > kMaxGlobalMaskInfo)
        return false;
    const uint64_t next = offset + 4 + length;
    return next == end || in.TagAt(next, "8BIM") || in.TagAt(next, "8B64") || (in.U16(next, &word) && word <= 3);
}

LayerSection ReadLayerSection(ByteWindow& in,
                              uint64_t offset,
                              uint64_t end,
                              bool end_trusted,
                              bool large,
                              uint16_t depth,
                              std::vector<std::string>* notes) {
    LayerSection section;
    const uint64_t bound = end_trusted ? std::min(end, in.Size()) : in.Size();
    const uint64_t info = offset + (large ? 8 : 4);
    uint64_t info_length = 0;
    uint64_t info_end = 0;
    section.data_end = offset;
    // An empty section (a flattened document) holds not even the layer info's length.
    if ((end_trusted && end - offset < info - offset) || !in.Length(offset, large, &info_length))
        return section;
    const bool info_fits = AddChecked(info, info_length, &info_end) && info_end <= bound;
    // An empty info followed by an empty global mask is what zeroed bytes read as: only the section's own trusted
    // end proves it.
    const bool info_trusted =
        info_fits && (info_length > 0 || end_trusted) && FindGlobalMaskInfo(in, info_end, bound) == info_end;
    if (info_length > 0 && !info_trusted)
        notes->push_back("the layer info's length (" + std::to_string(info_length) + ") " +
                         (info_fits ? "does not land on the global layer mask info" : "does not fit"));
    section.data_end = info;
    LayerInfoPlace place{info, info_trusted ? info_end : bound, info_trusted, large, depth, true};
    // Where neither the section nor its info begin as they must, the records are looked for by their signatures.
    uint16_t count = 0;
    if (!info_trusted && (!in.U16(info, &count) || count == 0 || !LayerRecordPlausibleAt(in, info + 2, large))) {
        place.offset = FindLayerRecord(in, offset, bound, large);
        place.count_known = false;
        if (place.offset != kUnknownOffset) {
            notes->push_back("the layer records were found by their signatures, from " + std::to_string(place.offset));
            ReadLayerInfo(in, place, &section, notes);
        }
        return section;
    }
    if (info_length > 0)
        ReadLayerInfo(in, place, &section, notes);
    const uint64_t after = info_trusted ? info_end : section.chained || info_length == 0 ? section.data_end : 0;
    const std::optional<uint64_t> global_mask = after != 0 ? FindGlobalMaskInfo(in, after, bound) : std::nullopt;
    if (!global_mask)
        return section;
    uint32_t global_length = 0;
    in.U32(*global_mask, &global_length);
    const uint64_t walked =
        WalkTaggedBlocks(in, *global_mask + 4 + global_length, bound, large, [&](const TaggedBlock& block) {
            const bool deep = KeyIs(block, "Lr16") || KeyIs(block, "Lr32");
            if (!(deep || KeyIs(block, "Layr")) || !section.layers.empty() || block.size < 2)
                return;
            if (deep)
                section.depth_hint = KeyIs(block, "Lr16") ? 16 : 32;
            const uint64_t block_end = block.data + block.size;
            const bool whole = block_end <= in.Size();
            ReadLayerInfo(in,
                          {block.data, whole ? block_end : in.Size(), whole, large, depth ? depth : section.depth_hint},
                          &section, notes);
        });
    section.read_end = walked;
    return section;
}
