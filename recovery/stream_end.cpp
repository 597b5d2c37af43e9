#include "recovery/stream_end.h"

#include <cstring>

namespace {

// Photoshop's resource blocks begin "8BIM" (38 42), and a zero byte followed by '8' counts too: an FF D9 near such
// a mark is taken for data inside the file's resources, not for the end of an embedded JPEG. Marks count from
// offset 2 on, and only where both bytes lie in the block; `size` when there is none.
size_t FirstResourceMark(const CandidateFilter& filter, const uint8_t* block, size_t size) {
    constexpr size_t kFirstMarkOffset = 2;
    if (size <= kFirstMarkOffset)
        return size;
    return kFirstMarkOffset + filter.FindPair(block + kFirstMarkOffset, size - kFirstMarkOffset, kResourceMarkPairs);
}

std::optional<size_t> FindJpegEnd(const CandidateFilter& filter, const uint8_t* block, size_t size) {
    // An end at k is refused once a mark stands at or before k + 2, so only ends wholly before mark - 1 count.
    const size_t mark = FirstResourceMark(filter, block, size);
    const size_t searched = mark < size ? mark - 1 : size;
    const size_t k = filter.FindPair(block, searched, kJpegEndPair);
    if (k >= searched)
        return std::nullopt;
    return k + kJpegEnd.size() - 1;
}

std::optional<size_t> FindPngEnd(const CandidateFilter& filter, const uint8_t* block, size_t size) {
    constexpr size_t kRest = kPngEndChunk.size() - 2;
    for (size_t k = 0; k + kPngEndChunk.size() <= size; ++k) {
        k += filter.FindPair(block + k, size - k, kPngEndChunkPair);
        if (k + kPngEndChunk.size() > size)
            break;
        if (std::memcmp(block + k + 2, kPngEndChunk.data() + 2, kRest) == 0)
            return k + kPngEndChunk.size() + kPngEndChunkTail - 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<size_t> FindStreamEnd(const CandidateFilter& filter, ImageKind kind, const uint8_t* block, size_t size) {
    return kind == ImageKind::Jpeg ? FindJpegEnd(filter, block, size) : FindPngEnd(filter, block, size);
}
