#pragma once

// The vector loop of the candidate filter, written once for every vector width. Each path's file includes it after
// the intrinsics it needs and gives a `Lanes` type: the vector, its width in bytes and the five operations the loop
// uses. Everything here has internal linkage on purpose: a path compiled for a wider instruction set must never
// lend one of its functions to another file's calls.

#include <cstddef>
#include <cstdint>

#include "recovery/candidate_filter.h"

namespace {

// One lane per offset of the Lanes::kWidth starting at `data` whose two bytes form one of the first `Count` pairs,
// all bits set; reads data[0..kWidth].
template <class Lanes, size_t Count>
inline typename Lanes::Vector HitsAt(const uint8_t* data,
                                     const typename Lanes::Vector (&firsts)[PairSet::kMaxPairs],
                                     const typename Lanes::Vector (&seconds)[PairSet::kMaxPairs]) {
    const auto at_first = Lanes::Load(data);
    const auto at_second = Lanes::Load(data + 1);
    auto hits = Lanes::And(Lanes::Equal(at_first, firsts[0]), Lanes::Equal(at_second, seconds[0]));
    for (size_t k = 1; k < Count; ++k)
        hits = Lanes::Or(hits, Lanes::And(Lanes::Equal(at_first, firsts[k]), Lanes::Equal(at_second, seconds[k])));
    return hits;
}

template <class Lanes, size_t Count>
size_t FindPairs(const uint8_t* data, size_t size, const PairSet& pairs) {
    constexpr size_t kWidth = Lanes::kWidth;
    typename Lanes::Vector firsts[PairSet::kMaxPairs];
    typename Lanes::Vector seconds[PairSet::kMaxPairs];
    for (size_t k = 0; k < Count; ++k) {
        firsts[k] = Lanes::Splat(pairs.pairs[k].first);
        seconds[k] = Lanes::Splat(pairs.pairs[k].second);
    }
    size_t i = 0;
    // Two vectors per round with a single test, since hits are rare; the second loads reach one byte further.
    for (; i + 2 * kWidth < size; i += 2 * kWidth) {
        const auto low = HitsAt<Lanes, Count>(data + i, firsts, seconds);
        const auto high = HitsAt<Lanes, Count>(data + i + kWidth, firsts, seconds);
        if (Lanes::Mask(Lanes::Or(low, high)) == 0)
            continue;
        const uint32_t low_mask = Lanes::Mask(low);
        return i + (low_mask != 0 ? static_cast<size_t>(__builtin_ctz(low_mask))
                                  : kWidth + static_cast<size_t>(__builtin_ctz(Lanes::Mask(high))));
    }
    for (; i + kWidth < size; i += kWidth) {
        const uint32_t mask = Lanes::Mask(HitsAt<Lanes, Count>(data + i, firsts, seconds));
        if (mask != 0)
            return i + static_cast<size_t>(__builtin_ctz(mask));
    }
    // Fewer than kWidth + 1 bytes left: the portable path finishes, from the offset reached.
    return i + FindPairPortable(data + i, size - i, pairs);
}

template <class Lanes>
size_t FindPairWith(const uint8_t* data, size_t size, const PairSet& pairs) {
    switch (pairs.count) {
        case 0:
            return size;
        case 1:
            return FindPairs<Lanes, 1>(data, size, pairs);
        case 2:
            return FindPairs<Lanes, 2>(data, size, pairs);
        default:
            return FindPairs<Lanes, 3>(data, size, pairs);
    }
}

}  // namespace
