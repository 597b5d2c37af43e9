#include "recovery/candidate_filter.h"

#if defined(TOLVANE_HAS_SSE2_PATH)

#include <emmintrin.h>

// A 32-bit build may run on a processor without SSE2: only the functions below use it there, and only where the
// processor reports it (CandidateFilter::Available).
#if !defined(__SSE2__)
#pragma GCC push_options
#pragma GCC target("sse2")
#define TOLVANE_SSE2_BY_PRAGMA 1
#endif

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

#if defined(TOLVANE_SSE2_BY_PRAGMA)
#pragma GCC pop_options
#endif

#endif
