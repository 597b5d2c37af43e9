#include "recovery/candidate_filter.h"

#if defined(TOLVANE_HAS_AVX2_PATH)

#include <immintrin.h>

// Only the functions below are compiled for AVX2, and they run only where the processor reports it
// (CandidateFilter::Available): the rest of the program keeps to the instruction set every x86-64 CPU has.
#pragma GCC push_options
#pragma GCC target("avx2")

#include "recovery/candidate_filter_lanes.h"

namespace {

struct Avx2Lanes {
    using Vector = __m256i;
    static constexpr size_t kWidth = sizeof(Vector);
    static Vector Load(const uint8_t* data) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data)); }
    static Vector Splat(uint8_t byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static Vector Equal(Vector a, Vector b) { return _mm256_cmpeq_epi8(a, b); }
    static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
    static uint32_t Mask(Vector v) { return static_cast<uint32_t>(_mm256_movemask_epi8(v)); }
};

}  // namespace

size_t FindPairAvx2(const uint8_t* data, size_t size, const PairSet& pairs) {
    return FindPairWith<Avx2Lanes>(data, size, pairs);
}

#pragma GCC pop_options

#endif
