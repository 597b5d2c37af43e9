#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Two bytes that open a signature or marker. Stopping only where both follow each other, rather than at every
// occurrence of the first, skips the FF and 89 bytes that random data holds every 128 bytes or so.
struct BytePair {
    uint8_t first;
    uint8_t second;
};

// The pairs one search looks for at once.
struct PairSet {
    static constexpr size_t kMaxPairs = 3;
    std::array<BytePair, kMaxPairs> pairs;
    size_t count;
};

// How the filter goes through the bytes: 32 and 64 at a time with AVX2, 16 and 32 at a time with SSE2, or 8 at a
// time in plain C++ for processors without either. All give the same answers.
enum class FilterPath : uint8_t { Portable, Sse2, Avx2 };
const char* ToString(FilterPath path);

// The vector paths a build holds. Every x86-64 processor has SSE2, so an x86-64 build always takes it; the 32-bit
// Windows build and the AVX2 path need single functions built for an instruction set the rest of the program does
// not use, which GCC does with a pragma, and take them only where the processor reports it.
#if defined(__GNUC__) && !defined(__clang__) && (defined(__x86_64__) || defined(__i386__))
#define TOLVANE_HAS_SSE2_PATH 1
#define TOLVANE_HAS_AVX2_PATH 1
#elif defined(__SSE2__)
#define TOLVANE_HAS_SSE2_PATH 1
#endif

class CandidateFilter {
  public:
    explicit CandidateFilter(FilterPath path = Fastest());

    // The fastest path this build can run.
    static FilterPath Fastest();
    static bool Available(FilterPath path);

    // The first offset i with i + 1 < size where data[i], data[i + 1] is one of `pairs`; `size` when there is none.
    size_t FindPair(const uint8_t* data, size_t size, const PairSet& pairs) const { return find_(data, size, pairs); }

    using Finder = size_t (*)(const uint8_t*, size_t, const PairSet&);

  private:
    Finder find_;
};

// The paths behind the filter; the vector ones exist only in the builds named above.
size_t FindPairPortable(const uint8_t* data, size_t size, const PairSet& pairs);
#if defined(TOLVANE_HAS_SSE2_PATH)
size_t FindPairSse2(const uint8_t* data, size_t size, const PairSet& pairs);
#endif
#if defined(TOLVANE_HAS_AVX2_PATH)
size_t FindPairAvx2(const uint8_t* data, size_t size, const PairSet& pairs);
#endif
