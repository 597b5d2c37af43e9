#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/document_layout.h"
#include "salvage/layer_section.h"
#include "salvage/psd_header.h"

// What survives of a document whose header is damaged, as the other sections tell it.
struct HeaderEvidence {
    uint8_t stored[kPsdHeaderSize] = {};  // the damaged header as it is: a field that still fits is used
    std::optional<bool> large;            // the layer section's length chained as 8 bytes (true) or 4 (false)
    uint64_t color_mode_size = 0;
    const ImageResources* resources = nullptr;
    const LayerSection* layers = nullptr;
    std::optional<uint64_t> image_data;  // the composite's compression word
};

// The header rebuilt from the composite's size and shape (the count table gives channels × rows, the first decoded
// row the row's bytes; raw or inflated data its whole size) and what the other sections say: the thumbnail's
// aspect, the layers' bounds and channel ids, the alpha channels' names, the colour mode data's length. nullopt
// when they do not suffice; each assumption made goes to `*notes`.
std::optional<PsdHeader> RebuildHeader(ByteWindow& in, const HeaderEvidence& evidence, std::vector<std::string>* notes);
