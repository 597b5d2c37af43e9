#include "salvage/rle_resync.h"

#include <algorithm>
#include <unordered_map>

#include "salvage/packbits.h"

namespace {

constexpr uint32_t kNoParent = UINT32_MAX;
bool Usable(const RleResyncRows& rows, uint32_t count) {
    return count >= rows.min_count && count <= rows.max_count;
}

// How many rows from `row` on decode one after another from `at` with their counts, up to chain_cap. Rows that run
// to the last row and end exactly at the block's end count `chain` more: the end vouches for them as much.
uint32_t Rank(const std::vector<uint32_t>& lengths,
              const RleResyncRows& rows,
              uint32_t row,
              uint64_t at,
              std::optional<uint64_t> end) {
    for (uint32_t n = 0; n < rows.chain_cap; ++n) {
        if (row + n == rows.total)
            return n > 0 && end && at == *end ? n + rows.chain : n;
        const uint32_t count = rows.counts[row + n];
        if (at >= lengths.size() || !Usable(rows, count) || lengths[at] != count)
            return n;
        at += count;
    }
    return rows.chain_cap;
}

}  // namespace

std::vector<uint32_t> RleRowLengths(const uint8_t* region, size_t size, uint64_t row_bytes) {
    // Node `size` stands for the region's end, where a row may finish exactly.
    const size_t nodes = size + 1;
    std::vector<uint32_t> parent(nodes, kNoParent);
    std::vector<uint32_t> below(nodes, 0);  // bytes made from the node to its root
    for (size_t i = size; i-- > 0;) {
        size_t length = 0;
        size_t made = 0;
        PackBitsToken(region[i], &length, &made);
        below[i] = static_cast<uint32_t>(made);
        if (length <= size - i) {
            parent[i] = static_cast<uint32_t>(i + length);
            below[i] += below[i + length];
        }
    }
    // Children as one array, each node's run of them at first_child[node]..first_child[node + 1].
    std::vector<uint32_t> first_child(nodes + 1, 0);
    for (size_t i = 0; i < nodes; ++i)
        if (parent[i] != kNoParent)
            ++first_child[parent[i] + 1];
    for (size_t i = 0; i < nodes; ++i)
        first_child[i + 1] += first_child[i];
    std::vector<uint32_t> children(first_child[nodes]);
    std::vector<uint32_t> roots;
    {
        std::vector<uint32_t> fill(first_child.begin(), first_child.end() - 1);
        for (size_t i = 0; i < nodes; ++i) {
            if (parent[i] == kNoParent)
                roots.push_back(static_cast<uint32_t>(i));  // the end node, and tokens that run past the region
            else
                children[fill[parent[i]]++] = static_cast<uint32_t>(i);
        }
    }
    parent.clear();
    parent.shrink_to_fit();

    // Depth first from every root, without recursion: the path from the root holds each node's ancestors, their
    // `below` rising towards the node, so the row's end is found by bisection.
    std::vector<uint32_t> lengths(nodes, 0);
    std::vector<uint32_t> path;
    std::vector<uint32_t> path_below;
    std::vector<uint32_t> cursor;
    for (const uint32_t root : roots) {
        path.assign(1, root);
        path_below.assign(1, below[root]);
        cursor.assign(1, first_child[root]);
        while (!path.empty()) {
            const uint32_t node = path.back();
            if (cursor.back() == first_child[node + 1]) {
                path.pop_back();
                path_below.pop_back();
                cursor.pop_back();
                continue;
            }
            const uint32_t child = children[cursor.back()++];
            if (below[child] >= row_bytes) {
                const uint64_t target = below[child] - row_bytes;
                const auto it = std::upper_bound(path_below.begin(), path_below.end(), target);
                if (it != path_below.begin() && *(it - 1) == target)
                    lengths[child] = path[static_cast<size_t>(it - 1 - path_below.begin())] - child;
            }
            path.push_back(child);
            path_below.push_back(below[child]);
            cursor.push_back(first_child[child]);
        }
    }
    lengths.pop_back();
    return lengths;
}

RleResyncResult FindRleResync(const uint8_t* region,
                              size_t size,
                              uint64_t row_bytes,
                              uint64_t window,
                              uint64_t last_start,
                              const RleResyncRows& rows,
                              std::optional<uint64_t> end) {
    RleResyncResult result;
    if (size == 0)
        return result;
    const std::vector<uint32_t> lengths = RleRowLengths(region, size, row_bytes);
    // The rows looked for, by count, in order of their expected start.
    std::unordered_map<uint32_t, std::vector<uint32_t>> by_count;
    for (uint32_t i = 0; i < rows.expected.size(); ++i) {
        const uint32_t count = rows.counts[rows.lowest + i];
        if (Usable(rows, count))
            by_count[count].push_back(i);
    }
    uint32_t best_rank = 0;
    std::vector<uint32_t> fits;  // rows that fit the place looked at
    for (uint64_t at = 0; at <= std::min<uint64_t>(last_start, size - 1); ++at) {
        const auto found = by_count.find(lengths[at]);
        if (lengths[at] == 0 || found == by_count.end() || !PackBitsStartsLikeARow(region + at, size - at))
            continue;
        const std::vector<uint32_t>& candidates = found->second;
        const uint64_t low = at > window ? at - window : 0;
        auto it = std::lower_bound(candidates.begin(), candidates.end(), low,
                                   [&](uint32_t i, uint64_t value) { return rows.expected[i] < value; });
        fits.clear();
        uint32_t rank = 0;
        for (; it != candidates.end() && rows.expected[*it] <= at + window; ++it) {
            const uint32_t row = rows.lowest + *it;
            const uint32_t r = Rank(lengths, rows, row, at, end);
            if (r < rows.chain || r <= best_rank)
                continue;
            if (r > rank) {
                fits.clear();
                rank = r;
            }
            if (r == rank)
                fits.push_back(row);
        }
        if (fits.empty())
            continue;
        if (fits.size() > 1) {
            // Rows of equal counts fit the same bytes: only the block's end, if it picks one, says which they are.
            const auto reaches_end = [&](uint32_t row) {
                const uint64_t tail = rows.tail_bytes != nullptr ? (*rows.tail_bytes)[row] : UINT64_MAX;
                return end && row >= rows.first && tail != UINT64_MAX && at + tail == *end;
            };
            const auto picked = std::find_if(fits.begin(), fits.end(), reaches_end);
            if (picked == fits.end() || std::count_if(fits.begin(), fits.end(), reaches_end) != 1 ||
                !rows.tail_decodes || !rows.tail_decodes(*picked, at)) {
                result.ambiguous = true;
                continue;
            }
            fits.assign(1, *picked);
        }
        // The longest run wins; among equal ones the earliest, that is the first after the damage.
        best_rank = rank;
        result.found = fits[0] + rank > rows.first;
        result.row = std::max(fits[0], rows.first);
        result.offset = at;
        for (uint32_t row = fits[0]; row < result.row; ++row)
            result.offset += rows.counts[row];
    }
    return result;
}
