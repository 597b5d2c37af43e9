#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "recovery/candidate_filter.h"
#include "recovery/image_signatures.h"

// Where an image stream ends inside one copy block of `size` bytes: the offset of its last byte. Markers count only
// when all their bytes lie in the block. A PNG-signed stream's end may lie up to four bytes past the block, in the
// checksum that follows its end chunk.
std::optional<size_t> FindStreamEnd(const CandidateFilter& filter, ImageKind kind, const uint8_t* block, size_t size);
