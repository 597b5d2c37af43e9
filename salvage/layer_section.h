#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/document_layout.h"

// True when the fixed part of a layer record could begin at `offset`: bounds that read as a rectangle, a channel
// table of known ids and lengths the file can hold, then "8BIM" and a known blend key where the channel count puts
// them.
bool LayerRecordPlausibleAt(ByteWindow& in, uint64_t offset, bool large);

// True when the global layer mask info could begin at `offset`: a short length, followed by a tagged block, `end`
// (the section's end) or a compression word (the image data).
bool GlobalMaskInfoAt(ByteWindow& in, uint64_t offset, uint64_t end);

struct LayerSection {
    std::vector<Layer> layers;  // bottom first
    bool merged_alpha = false;  // the layer count was stored negative
    uint16_t depth_hint = 0;    // 16 or 32 when the layers lie in an "Lr16" or "Lr32" block
    uint64_t data_end = 0;      // one past the last byte of the records and channel data located: the composite
                                // lies beyond it
    uint64_t read_end = 0;      // where reading the section ended, its tagged blocks walked; 0 when it did not get
                                // past its layer info
    bool chained = false;       // every record and channel length landed where the next part begins
    int max_color_id = -1;      // the highest colour channel id the records use: the mode's colour channels - 1
};

// Reads the layer and mask information from `offset` (after its own length) towards `end`, its claimed end, which
// is checked like every other length when `end_trusted` is false. `depth` is 0 when the header is damaged: the
// blocks then get their depth once it is rebuilt.
LayerSection ReadLayerSection(ByteWindow& in,
                              uint64_t offset,
                              uint64_t end,
                              bool end_trusted,
                              bool large,
                              uint16_t depth,
                              std::vector<std::string>* notes);
