#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/layer_records.h"

// Locates each record's channel data, which follows the records in record order, and appends the records' layers to
// `*section`. From `data_start` (kUnknownOffset when the records' end is not known) the channels are chained by
// their lengths, each checked against the compression word that must follow it (and against the length its own
// RLE count table or raw rows give, when the stored one does not land); what lies after a break or after lost
// records is chained backwards from the info's end when that end is trusted.
void LocateLayerChannels(ByteWindow& in,
                         const LayerInfoPlace& place,
                         uint64_t data_start,
                         const std::vector<LayerRecord>& records,
                         const std::vector<size_t>& gaps,
                         LayerSection* section,
                         std::vector<std::string>* notes);
