#include "recovery/candidate_filter.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include "recovery/candidate_filter_lanes.h"

namespace {

struct Sse2Lanes {
    using Vector = __m128i;
    static constexpr size_t kWidth = sizeof(Vector);
    static Vector Load(const uint8_t* data) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data)); }
    static Vector Splat(uint8_t byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vector Equal(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
    static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
    static uint32_t Mask(Vector v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }
};

}  // namespace

size_t FindPairSse2(const uint8_t* data, size_t size, const PairSet& pairs) {
    return FindPairWith<Sse2Lanes>(data, size, pairs);
}

#endif
