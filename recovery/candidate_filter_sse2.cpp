#include "recovery/candidate_filter.h"

#if defined(__SSE2__)

#include <emmintrin.h>

namespace {

constexpr size_t kVector = sizeof(__m128i);

struct PairVectors {
    __m128i firsts[PairSet::kMaxPairs];
    __m128i seconds[PairSet::kMaxPairs];
};

// One bit per offset of the 16 starting at `data` whose two bytes form one of the first `Count` pairs; reads
// data[0..16].
template <size_t Count>
inline __m128i HitsAt(const uint8_t* data, const PairVectors& vectors) {
    const __m128i at_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
    const __m128i at_second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 1));
    __m128i hits = _mm_setzero_si128();
    for (size_t k = 0; k < Count; ++k)
        hits = _mm_or_si128(hits, _mm_and_si128(_mm_cmpeq_epi8(at_first, vectors.firsts[k]),
                                                _mm_cmpeq_epi8(at_second, vectors.seconds[k])));
    return hits;
}

inline size_t FirstBit(unsigned mask) {
    return static_cast<size_t>(__builtin_ctz(mask));
}

template <size_t Count>
size_t FindPairs(const uint8_t* data, size_t size, const PairSet& pairs) {
    PairVectors vectors;
    for (size_t k = 0; k < Count; ++k) {
        vectors.firsts[k] = _mm_set1_epi8(static_cast<char>(pairs.pairs[k].first));
        vectors.seconds[k] = _mm_set1_epi8(static_cast<char>(pairs.pairs[k].second));
    }
    size_t i = 0;
    // 32 offsets per round with a single test, since hits are rare; the second loads reach one byte further.
    for (; i + 2 * kVector < size; i += 2 * kVector) {
        const __m128i low = HitsAt<Count>(data + i, vectors);
        const __m128i high = HitsAt<Count>(data + i + kVector, vectors);
        if (_mm_movemask_epi8(_mm_or_si128(low, high)) == 0)
            continue;
        const auto low_mask = static_cast<unsigned>(_mm_movemask_epi8(low));
        return i + (low_mask != 0 ? FirstBit(low_mask)
                                  : kVector + FirstBit(static_cast<unsigned>(_mm_movemask_epi8(high))));
    }
    for (; i + kVector < size; i += kVector) {
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(HitsAt<Count>(data + i, vectors)));
        if (mask != 0)
            return i + FirstBit(mask);
    }
    // Fewer than 17 bytes left: the portable path finishes, from the offset reached.
    return i + FindPairPortable(data + i, size - i, pairs);
}

}  // namespace

size_t FindPairSse2(const uint8_t* data, size_t size, const PairSet& pairs) {
    switch (pairs.count) {
        case 0:
            return size;
        case 1:
            return FindPairs<1>(data, size, pairs);
        case 2:
            return FindPairs<2>(data, size, pairs);
        default:
            return FindPairs<3>(data, size, pairs);
    }
}

#endif
