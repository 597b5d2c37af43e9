// Every path of the candidate filter against the plain definition, on buffers whose lengths and hits fall on and
// around the filter's 8-, 16-, 32- and 64-byte steps. Each buffer is allocated at exactly its size, so a read past its
// end trips the address sanitizer.
#include <gtest/gtest.h>

#include <random>

#include "recovery/image_signatures.h"
#include "tests/support/bytes.h"
#include "tests/support/carve_comparison.h"

namespace {

size_t FirstPairPlainly(const Bytes& bytes, const PairSet& pairs) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        for (size_t k = 0; k < pairs.count; ++k) {
            if (bytes[i] == pairs.pairs[k].first && bytes[i + 1] == pairs.pairs[k].second)
                return i;
        }
    }
    return bytes.size();
}

const std::vector<PairSet> kPairSets = {
    kStartPairs, kJpegEndPair, kResourceMarkPairs, {{{{0x01, 0x02}, {0x02, 0x01}, {0x7F, 0x80}}}, 3}, {{}, 0},
};

// The pairs' own bytes, which make hits, near misses (a first byte followed by another pair's second) and
// overlapping pairs common.
Bytes Charged(std::mt19937& random, const PairSet& pairs, size_t size) {
    std::vector<uint8_t> alphabet = {0x00, 0x11, 0xFF};
    for (size_t k = 0; k < pairs.count; ++k)
        alphabet.insert(alphabet.end(), {pairs.pairs[k].first, pairs.pairs[k].second});
    Bytes bytes(size);
    for (uint8_t& byte : bytes)
        byte = random() % 4 == 0 ? alphabet[random() % alphabet.size()] : static_cast<uint8_t>(random());
    return bytes;
}

TEST(CandidateFilter, EveryPathFindsTheFirstPair) {
    std::mt19937 random(13);
    for (const FilterPath path : FilterPathsToTest()) {
        const CandidateFilter filter(path);
        for (const PairSet& pairs : kPairSets) {
            const BytePair pair = pairs.count > 0 ? pairs.pairs[pairs.count - 1] : BytePair{0, 0};
            for (size_t size = 0; size <= 100; ++size) {
                // One pair alone in filler, at every offset; its first byte in the last place does not count.
                for (size_t at = 0; at < size; ++at) {
                    Bytes bytes(size, 0x11);
                    Plant(bytes, at, {pair.first, pair.second});
                    ASSERT_EQ(filter.FindPair(bytes.data(), size, pairs), FirstPairPlainly(bytes, pairs))
                        << "path " << ToString(path) << ", size " << size << ", pair at " << at;
                }
                for (int n = 0; n < 20; ++n) {
                    const Bytes bytes = Charged(random, pairs, size + (n % 4 == 0 ? random() % 5000 : 0));
                    ASSERT_EQ(filter.FindPair(bytes.data(), bytes.size(), pairs), FirstPairPlainly(bytes, pairs))
                        << "path " << ToString(path) << ", size " << bytes.size() << ", case " << n;
                }
            }
        }
    }
}

// Every x86 processor a build of ours runs on has SSE2; the 32-bit Windows build must find it too, not fall back.
TEST(CandidateFilter, X86BuildsTakeAVectorPath) {
#if defined(__i386__) || defined(__x86_64__)
    EXPECT_NE(CandidateFilter::Fastest(), FilterPath::Portable);
#endif
}

}  // namespace
