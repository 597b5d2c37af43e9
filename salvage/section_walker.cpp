#include "salvage/section_walker.h"

#include <algorithm>

#include "salvage/image_resources.h"
#include "salvage/layer_section.h"

namespace {

constexpr uint64_t kColorModeLengthAt = kPsdHeaderSize;
constexpr uint64_t kPaletteSize = 768;
// How far past the header a lost colour mode section is looked for (Duotone data is a few hundred bytes).
constexpr uint64_t kColorModeSearch = 64 * 1024;
constexpr uint64_t kFirstResourceSearched = 8;

struct LayerStart {
    int score = 0;  // 0 nothing fits; 1 the content begins as a layer section does; 2 an empty section, followed by
                    // a compression word; 3 content whose end lands on one
    bool large = false;
};

uint32_t ColorModeLengthAt(ByteWindow& in) {
    uint32_t length = 0;
    in.U32(kColorModeLengthAt, &length);
    return length;
}

bool CompressionWordAt(ByteWindow& in, uint64_t offset) {
    uint16_t word = 0;
    return in.U16(offset, &word) && word <= 3;
}

// The layer info (or, when it is empty, the global layer mask info) begins as it must: a layer count and a first
// record that reads as one, or a short global mask followed by a tagged block or the image data. The section's own
// length is not used: it is what is being checked.
bool LayerContentPlausible(ByteWindow& in, uint64_t content, bool large) {
    const uint64_t width = large ? 8 : 4;
    uint64_t info = 0;
    if (!in.Length(content, large, &info))
        return false;
    if (info == 0)
        return GlobalMaskInfoAt(in, content + width, UINT64_MAX);
    uint16_t count = 0;
    return in.U16(content + width, &count) && count != 0 && LayerRecordPlausibleAt(in, content + width + 2, large);
}

LayerStart ScoreLayerStart(ByteWindow& in, uint64_t at, bool large) {
    LayerStart start{0, large};
    uint64_t length = 0;
    const uint64_t content = at + (large ? 8 : 4);
    if (!in.Length(at, large, &length))
        return start;
    // An empty section lands on the image data too, but says less: in a PSB whose header is lost, the first half of a
    // short 8-byte length reads as an empty 4-byte one.
    if (length == 0) {
        start.score = CompressionWordAt(in, content) ? 2 : 0;
        return start;
    }
    if (!LayerContentPlausible(in, content, large))
        return start;
    start.score = 1;
    uint64_t end = 0;
    if (AddChecked(content, length, &end) && CompressionWordAt(in, end))
        start.score = 3;
    return start;
}

LayerStart BestLayerStart(ByteWindow& in, uint64_t at, const std::optional<PsdHeader>& header) {
    if (header)
        return ScoreLayerStart(in, at, header->IsLarge());
    const LayerStart small = ScoreLayerStart(in, at, false);
    const LayerStart large = ScoreLayerStart(in, at, true);
    // An empty 8-byte length read as 4 bytes leaves 4 zero bytes, which read as a raw compression word: when both
    // widths land on an empty section, a word that is not raw after the 8 bytes tells the PSB.
    uint16_t word = 0;
    if (small.score == 2 && large.score == 2 && in.U16(at + 8, &word) && word != 0)
        return large;
    return large.score > small.score ? large : small;
}

bool ResourcesBeginAt(ByteWindow& in, uint64_t at, const std::optional<PsdHeader>& header) {
    uint32_t length = 0;
    if (!in.U32(at, &length))
        return false;
    return length == 0 ? BestLayerStart(in, at + 4, header).score > 0 : IsResourceSignatureAt(in, at + 4);
}

// Where the image resources' length lies: after the colour mode data as its length says, or, when that does not
// chain, after the length the mode implies, or before the first resource signature.
std::optional<uint64_t> FindResources(ByteWindow& in,
                                      const std::optional<PsdHeader>& header,
                                      ByteRange* color_mode,
                                      std::vector<std::string>* notes) {
    uint32_t claimed = 0;
    if (!in.U32(kColorModeLengthAt, &claimed))
        return std::nullopt;
    const uint64_t data = kColorModeLengthAt + 4;
    const uint64_t expected = header && header->mode == ColorMode::Indexed ? kPaletteSize : 0;
    for (uint64_t length : {uint64_t{claimed}, expected, kPaletteSize - expected}) {
        // A length that is only a guess must lead to resources that end where their own length says: a layer
        // record's blend signature reads as a resource's just as well.
        ImageResources ignored;
        uint32_t resources_length = 0;
        const bool guessed = length != claimed;
        if (guessed &&
            !(in.U32(data + length, &resources_length) && resources_length != 0 &&
              ReadImageResources(in, data + length + 4, data + length + 4 + resources_length, &ignored).landed))
            continue;
        if (ResourcesBeginAt(in, data + length, header)) {
            if (length != claimed)
                notes->push_back("the colour mode data's length (" + std::to_string(claimed) +
                                 ") does not fit; taken as " + std::to_string(length));
            *color_mode = {data, length};
            return data + length;
        }
    }
    // Bytes lost from the header itself move everything before the colour mode data's length: the search starts
    // right after the signature.
    for (uint64_t at = kFirstResourceSearched; at < data + kColorModeSearch && at + 4 <= in.Size(); ++at) {
        if (in.TagAt(at, "8BIM") && ResourcesBeginAt(in, at - 4, header)) {
            notes->push_back("the colour mode data's length (" + std::to_string(claimed) +
                             ") does not fit; the image resources were found at " + std::to_string(at - 4));
            *color_mode = {std::min(data, at - 4), at - 4 > data ? at - 4 - data : 0};
            return at - 4;
        }
    }
    notes->push_back("the colour mode data's length (" + std::to_string(claimed) + ") does not fit");
    *color_mode = {data, 0};
    return std::nullopt;
}

}  // namespace

SectionMap WalkSections(ByteWindow& in,
                        const std::optional<PsdHeader>& header,
                        ImageResources* resources,
                        std::vector<std::string>* notes) {
    SectionMap map;
    map.large = header && header->IsLarge();
    const std::optional<uint64_t> resources_at = FindResources(in, header, &map.color_mode, notes);
    if (!resources_at)
        return map;
    uint32_t length = 0;
    in.U32(*resources_at, &length);
    const uint64_t claimed_end = *resources_at + 4 + length;
    const ResourceWalk walk = ReadImageResources(in, *resources_at + 4, claimed_end, resources);
    const LayerStart at_claimed = BestLayerStart(in, claimed_end, header);
    const LayerStart at_walk = walk.end == claimed_end ? at_claimed : BestLayerStart(in, walk.end, header);
    uint64_t layers_at = claimed_end;
    LayerStart start = at_claimed;
    if (at_walk.score > at_claimed.score) {
        layers_at = walk.end;
        start = at_walk;
        notes->push_back("the image resources' length (" + std::to_string(length) +
                         ") does not fit; their blocks end at " + std::to_string(walk.end));
    } else if (at_claimed.score == 0) {
        // The layer records may still be found by their signatures after the resources.
        notes->push_back("no layer and mask information begins where the image resources end");
        map.layers = walk.end;
        map.layers_end = in.Size();
        return map;
    }
    map.large = start.large;
    uint64_t layers_length = 0;
    in.Length(layers_at, map.large, &layers_length);
    map.layers = layers_at + (map.large ? 8 : 4);
    if (!AddChecked(*map.layers, layers_length, &map.layers_end))
        map.layers_end = UINT64_MAX;
    map.layers_end_trusted = start.score >= 2;
    if (map.layers_end_trusted) {
        map.image_data = map.layers_end;
        // Zeroed bytes read as one empty section after another: only a section with content proves the chain.
        map.only_empty = map.color_mode.size == 0 && length == 0 && layers_length == 0;
        map.chain_intact = header && !map.only_empty && *resources_at == kColorModeLengthAt + 4 + map.color_mode.size &&
                           map.color_mode.size == ColorModeLengthAt(in) && layers_at == claimed_end &&
                           (walk.landed || walk.end == claimed_end);
    } else {
        notes->push_back(
            "the layer and mask information's length (" + std::to_string(layers_length) + ") " +
            (map.layers_end > in.Size() ? "runs past the end of the file" : "does not land on the image data"));
    }
    return map;
}
