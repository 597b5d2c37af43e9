#pragma once

#include <optional>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/document_layout.h"

// Where the sections lie, as found by walking them from the front. Each section's length is checked against what
// must follow it; a length that does not land there is set aside and the section's end taken from its content (the
// resource blocks' own walk) where that chains instead.
struct SectionMap {
    ByteRange color_mode;                // the colour mode data (after its length)
    bool large = false;                  // section and channel lengths are 8 bytes (PSB)
    std::optional<uint64_t> layers;      // the layer and mask information (after its length)
    uint64_t layers_end = 0;             // where its length says it ends; may lie beyond the end of the file
    bool layers_end_trusted = false;     // that end is followed by a compression word
    std::optional<uint64_t> image_data;  // the composite's compression word, when the walk reaches it
    // Every length from the header on held, at least one of them not empty: the header read whole, the resources'
    // blocks ending where their length says, the layer section followed by a compression word. The image data then
    // lies where the walk put it, even when it is raw and cut short, which its own bytes could never prove.
    bool chain_intact = false;
    // The walk reached the image data through empty sections alone, as it does through zeroed bytes: the layer
    // section may lie elsewhere.
    bool only_empty = false;
};

// `header` is nullopt when it is damaged: the width of the layer section's length is then found by which one
// chains. Keeps the resources found on the way in `*resources`; says what was set aside in `*notes`.
SectionMap WalkSections(ByteWindow& in,
                        const std::optional<PsdHeader>& header,
                        ImageResources* resources,
                        std::vector<std::string>* notes);
