#include "salvage/document_locator.h"

#include <algorithm>

#include "salvage/byte_window.h"
#include "salvage/composite_finder.h"
#include "salvage/header_rebuilder.h"
#include "salvage/layer_section.h"
#include "salvage/section_walker.h"

namespace {

constexpr size_t kPaletteSize = 768;

bool HasPixels(const DocumentLayout& layout, uint64_t size) {
    if (layout.composite && layout.composite->data_offset < size)
        return true;
    for (const Layer& layer : layout.layers) {
        for (const LayerChannel& channel : layer.channels) {
            if (channel.block.rows != 0 && channel.block.width != 0 && channel.block.data_offset < size)
                return true;
        }
    }
    return false;
}

// The header's depth and version reach the layers' blocks once it is rebuilt.
void SetLayerDepth(const PsdHeader& header, std::vector<Layer>* layers) {
    for (Layer& layer : *layers) {
        for (LayerChannel& channel : layer.channels) {
            channel.block.depth = header.depth;
            channel.block.large = header.IsLarge();
        }
    }
}

std::optional<PsdHeader> Rebuild(ByteWindow& in,
                                 const uint8_t (&stored)[kPsdHeaderSize],
                                 const SectionMap& map,
                                 LayerSection* layers,
                                 DocumentLayout* layout) {
    HeaderEvidence evidence;
    std::copy(stored, stored + kPsdHeaderSize, evidence.stored);
    if (map.layers)
        evidence.large = map.large;
    evidence.color_mode_size = map.color_mode.size;
    evidence.resources = &layout->resources;
    evidence.layers = layers;
    // An RLE or ZIP composite where the walk led checks itself. Raw rows there prove nothing (zeroed bytes read as
    // one empty section after another and a raw word), while an RLE composite found by its count table alone does:
    // that one goes before them.
    std::vector<std::string> notes;
    auto attempt = [&](std::optional<uint64_t> place) {
        notes.clear();
        evidence.image_data = place;
        return RebuildHeader(in, evidence, &notes);
    };
    uint16_t word = 0;
    const bool claimed_checks_itself = map.image_data && in.U16(*map.image_data, &word) && word >= 1 && word <= 3;
    std::optional<PsdHeader> header;
    if (claimed_checks_itself)
        header = attempt(map.image_data);
    if (!header) {
        const std::optional<uint64_t> found = FindRleCompositeAnywhere(in, kPsdHeaderSize);
        if (found && found != map.image_data)
            header = attempt(found);
        if (!header && !claimed_checks_itself)
            header = attempt(map.image_data);
    }
    layout->notes.insert(layout->notes.end(), notes.begin(), notes.end());
    if (header) {
        layout->header_rebuilt = true;
        SetLayerDepth(*header, &layers->layers);
    }
    return header;
}

void ReadPalette(ByteWindow& in, const SectionMap& map, DocumentLayout* layout) {
    layout->palette.resize(kPaletteSize);
    if (map.color_mode.size < kPaletteSize || !in.Read(map.color_mode.offset, layout->palette.data(), kPaletteSize)) {
        layout->palette.clear();
        layout->notes.push_back("the palette is missing");
    }
}

// Where the composite is expected and what bounds it from below, from what the walk and the layer section found.
CompositeSearch SearchFor(ByteWindow& in, const SectionMap& map, const LayerSection& layers, bool any_layer) {
    CompositeSearch search;
    search.claimed = map.image_data;
    // Only a section with content proves where it ends: an empty one is four zero bytes, found anywhere.
    search.claimed_chained =
        map.image_data &&
        (map.chain_intact || (map.layers_end > *map.layers && layers.read_end != 0 &&
                              layers.read_end <= *map.image_data && *map.image_data - layers.read_end < 4));
    if (!map.image_data && layers.read_end != 0 && layers.chained) {
        // The section's length lied, but its content was read through to its end: the image data follows that.
        for (uint64_t at = layers.read_end; at < layers.read_end + 4 && !search.claimed; ++at) {
            uint16_t word = 0;
            if (in.U16(at, &word) && word <= 3) {
                search.claimed = at;
                search.claimed_chained = true;
            }
        }
    }
    search.floor = map.layers.value_or(map.color_mode.offset);
    // Raw rows prove nothing about themselves: they are looked for from the end only past all the layers' data,
    // or where that was not all accounted for, past where the layer section's length says it ends.
    const bool accounted = layers.chained || (!any_layer && map.layers_end_trusted);
    search.raw_floor = std::max(search.floor, layers.data_end);
    if (!accounted)
        search.raw_floor = map.image_data ? std::max(search.raw_floor, *map.image_data) : UINT64_MAX;
    return search;
}

}  // namespace

LocateOutcome LocateDocument(ByteSource& source, DocumentLayout* layout) {
    *layout = DocumentLayout{};
    ByteWindow in(source);
    uint8_t stored[kPsdHeaderSize] = {};
    if (!in.Read(0, stored, sizeof stored))
        return source.Failed() ? LocateOutcome::ReadFailed : LocateOutcome::NoImage;
    std::string problem;
    std::optional<PsdHeader> header = ParseHeader(stored, &problem);
    if (!header)
        layout->notes.push_back("the header is damaged (" + problem + ")");
    const SectionMap map = WalkSections(in, header, &layout->resources, &layout->notes);
    LayerSection layers;
    if (map.layers)
        layers = ReadLayerSection(in, *map.layers, map.layers_end, map.layers_end_trusted && !map.only_empty, map.large,
                                  header ? header->depth : 0, &layout->notes);
    if (!header && !(header = Rebuild(in, stored, map, &layers, layout)))
        return source.Failed() ? LocateOutcome::ReadFailed : LocateOutcome::NoImage;
    layout->header = *header;
    if (header->mode == ColorMode::Indexed)
        ReadPalette(in, map, layout);
    CompositeSearch search = SearchFor(in, map, layers, !layers.layers.empty());
    search.header = *header;
    layout->composite = FindComposite(in, search, &layout->notes);
    layout->layers = std::move(layers.layers);
    layout->merged_alpha = layers.merged_alpha;
    if (source.Failed())
        return LocateOutcome::ReadFailed;
    return HasPixels(*layout, in.Size()) ? LocateOutcome::Found : LocateOutcome::NoImage;
}
