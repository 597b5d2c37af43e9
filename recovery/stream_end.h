#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "recovery/image_signatures.h"

// Where an image stream ends inside one copy block of `size` bytes: the offset of its last byte. Markers count only
// when all their bytes lie in the block. A PNG-signed stream's end may lie up to four bytes past the block, in the
// checksum that follows its end chunk.
std::optional<size_t> FindStreamEnd(ImageKind kind, const uint8_t* block, size_t size);

// First offset at or after `from` where `pattern` starts entirely inside [0, size); `size` when there is none.
size_t FindPattern(const uint8_t* data, size_t size, size_t from, const uint8_t* pattern, size_t pattern_size);
