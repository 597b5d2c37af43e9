#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/layer_section.h"

// The layer info proper: a count, the records, then each layer's channel data in record order. It comes as the
// first part of the layer and mask information, and as the content of an "Lr16", "Lr32" or "Layr" block.
struct LayerInfoPlace {
    uint64_t offset = 0;       // the layer count
    uint64_t end = 0;          // where the info ends, as far as it is known
    bool end_trusted = false;  // `end` came from a length that chained
    bool large = false;
    uint16_t depth = 0;       // 0 while the header is unknown
    bool count_known = true;  // false: `offset` is the first record, found by its signature, and the records
                              // are read until they stop
};

constexpr uint64_t kUnknownOffset = UINT64_MAX;

struct RecordChannel {
    int16_t id = 0;
    uint64_t length = 0;  // as the record says, compression word included
};

struct LayerRecord {
    Layer layer;  // without its channels' blocks
    std::vector<RecordChannel> channels;
    std::optional<LayerMask> real_mask;  // the rectangle of channel -3
    bool usable = true;                  // its bounds read as a rectangle: its channels can be described
    uint64_t next = 0;                   // where the next record begins; kUnknownOffset when that is not known
};

// The record at `offset`, read no further than `end`; nullopt when its fixed part is not one.
std::optional<LayerRecord> ReadLayerRecord(ByteWindow& in, uint64_t offset, uint64_t end, bool large);

// The first plausible record start at or after `from`, found by its "8BIM" blend signature, scanning no further
// than `limit`; kUnknownOffset when none.
uint64_t FindLayerRecord(ByteWindow& in, uint64_t from, uint64_t limit, bool large);

// Appends the layers found to `*section` and extends its data end; says what was damaged in `*notes`.
void ReadLayerInfo(ByteWindow& in, const LayerInfoPlace& place, LayerSection* section, std::vector<std::string>* notes);
