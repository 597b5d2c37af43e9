#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "salvage/byte_source.h"
#include "salvage/channel_block.h"
#include "salvage/zip_inflater.h"

struct ZipSurvey {
    // The inflated bytes that can be trusted, from the stream's start: rows wholly inside them come back.
    uint64_t good_bytes = 0;
    // Per channel of the block, the stream stopped where that channel's first row begins; null for a channel that
    // begins past the good bytes.
    std::vector<std::unique_ptr<ZipInflater>> channel_starts;
};

// A dry inflate of a ZIP block's one stream (the composite's channels follow one another in it). Everything inflated
// before a fault is trusted except the deflate block the fault was found in; when that block is short (it may have
// begun at an end-of-block code the damage made up), the blocks before it back to the last long one are dropped too.
// A stream that ends early keeps all it gave; one whose checksum fails at its end gives nothing, since the damaged
// byte could be anywhere in it.
ZipSurvey SurveyZipBlock(ByteSource& source, const ChannelBlock& block, std::vector<std::string>* notes);
