#include "recovery/stream_end.h"

#include <cstring>

namespace {

// Photoshop's resource blocks begin "8BIM" (38 42), and a zero byte followed by '8' counts too: an FF D9 near such
// a mark is taken for data inside the file's resources, not for the end of an embedded JPEG. Marks count from
// offset 2 on, and only where both bytes lie in the block; `size` when there is none.
size_t FirstResourceMark(const uint8_t* block, size_t size) {
    constexpr size_t kFirstMarkOffset = 2;
    for (size_t q = kFirstMarkOffset; q < size; ++q) {
        const auto* hit = static_cast<const uint8_t*>(std::memchr(block + q, 0x38, size - q));
        if (hit == nullptr)
            break;
        q = static_cast<size_t>(hit - block);
        if (q > kFirstMarkOffset && block[q - 1] == 0x00)
            return q - 1;
        if (q + 1 < size && block[q + 1] == 0x42)
            return q;
    }
    return size;
}

std::optional<size_t> FindJpegEnd(const uint8_t* block, size_t size) {
    // An end at k is refused once a mark stands at or before k + 2, so only ends wholly before mark - 1 count.
    const size_t mark = FirstResourceMark(block, size);
    const size_t searched = mark < size ? mark - 1 : size;
    const size_t k = FindPattern(block, searched, 0, kJpegEnd.data(), kJpegEnd.size());
    if (k >= searched)
        return std::nullopt;
    return k + kJpegEnd.size() - 1;
}

std::optional<size_t> FindPngEnd(const uint8_t* block, size_t size) {
    const size_t k = FindPattern(block, size, 0, kPngEndChunk.data(), kPngEndChunk.size());
    if (k >= size)
        return std::nullopt;
    return k + kPngEndChunk.size() + kPngEndChunkTail - 1;
}

}  // namespace

size_t FindPattern(const uint8_t* data, size_t size, size_t from, const uint8_t* pattern, size_t pattern_size) {
    for (size_t at = from; at + pattern_size <= size; ++at) {
        const auto* hit = static_cast<const uint8_t*>(std::memchr(data + at, pattern[0], size - pattern_size + 1 - at));
        if (hit == nullptr)
            break;
        at = static_cast<size_t>(hit - data);
        if (std::memcmp(hit, pattern, pattern_size) == 0)
            return at;
    }
    return size;
}

std::optional<size_t> FindStreamEnd(ImageKind kind, const uint8_t* block, size_t size) {
    return kind == ImageKind::Jpeg ? FindJpegEnd(block, size) : FindPngEnd(block, size);
}
