#include "recovery/candidate_filter.h"

#include <cstring>

namespace {

constexpr uint64_t kLowSevenBits = 0x7F7F7F7F7F7F7F7Full;

constexpr uint64_t Broadcast(uint8_t byte) {
    return 0x0101010101010101ull * byte;
}

// 0x80 in every byte of `word` that is zero, 0 in the others. Exact: unlike the usual (x - 0x01..) & ~x trick, no
// borrow runs from one byte into the next, so a hit is never reported beside a real one.
constexpr uint64_t ZeroBytes(uint64_t word) {
    return ~(((word & kLowSevenBits) + kLowSevenBits) | word | kLowSevenBits);
}

bool PairAt(const uint8_t* data, const PairSet& pairs) {
    for (size_t k = 0; k < pairs.count; ++k) {
        if (data[0] == pairs.pairs[k].first && data[1] == pairs.pairs[k].second)
            return true;
    }
    return false;
}

size_t FindPairByteByByte(const uint8_t* data, size_t size, size_t from, const PairSet& pairs) {
    for (size_t i = from; i + 1 < size; ++i) {
        if (PairAt(data + i, pairs))
            return i;
    }
    return size;
}

}  // namespace

size_t FindPairPortable(const uint8_t* data, size_t size, const PairSet& pairs) {
    std::array<uint64_t, PairSet::kMaxPairs> firsts{};
    std::array<uint64_t, PairSet::kMaxPairs> seconds{};
    for (size_t k = 0; k < pairs.count; ++k) {
        firsts[k] = Broadcast(pairs.pairs[k].first);
        seconds[k] = Broadcast(pairs.pairs[k].second);
    }
    // Eight offsets at a time: the word at i holds their first bytes, the word at i + 1 their second bytes. Which
    // offset matched is then told byte by byte, so the order of bytes in a word does not matter.
    size_t i = 0;
    for (; i + sizeof(uint64_t) < size; i += sizeof(uint64_t)) {
        uint64_t at_first = 0;
        uint64_t at_second = 0;
        std::memcpy(&at_first, data + i, sizeof at_first);
        std::memcpy(&at_second, data + i + 1, sizeof at_second);
        uint64_t hits = 0;
        for (size_t k = 0; k < pairs.count; ++k)
            hits |= ZeroBytes(at_first ^ firsts[k]) & ZeroBytes(at_second ^ seconds[k]);
        if (hits != 0)
            return FindPairByteByByte(data, i + sizeof(uint64_t) + 1, i, pairs);
    }
    return FindPairByteByByte(data, size, i, pairs);
}

namespace {

CandidateFilter::Finder FinderFor(FilterPath path) {
    switch (path) {
#if defined(TOLVANE_HAS_AVX2_PATH)
        case FilterPath::Avx2:
            return &FindPairAvx2;
#endif
#if defined(TOLVANE_HAS_SSE2_PATH)
        case FilterPath::Sse2:
            return &FindPairSse2;
#endif
        default:
            return &FindPairPortable;
    }
}

}  // namespace

CandidateFilter::CandidateFilter(FilterPath path) : find_(FinderFor(Available(path) ? path : FilterPath::Portable)) {}

bool CandidateFilter::Available(FilterPath path) {
    switch (path) {
        case FilterPath::Portable:
            return true;
        case FilterPath::Sse2:
#if defined(__SSE2__)
            return true;
#elif defined(TOLVANE_HAS_SSE2_PATH)
            return __builtin_cpu_supports("sse2");
#else
            return false;
#endif
        case FilterPath::Avx2:
#if defined(TOLVANE_HAS_AVX2_PATH)
            return __builtin_cpu_supports("avx2");
#else
            return false;
#endif
    }
    return false;
}

const char* ToString(FilterPath path) {
    switch (path) {
        case FilterPath::Portable:
            return "portable";
        case FilterPath::Sse2:
            return "SSE2";
        case FilterPath::Avx2:
            return "AVX2";
    }
    return "unknown";
}

FilterPath CandidateFilter::Fastest() {
    for (const FilterPath path : {FilterPath::Avx2, FilterPath::Sse2}) {
        if (Available(path))
            return path;
    }
    return FilterPath::Portable;
}
