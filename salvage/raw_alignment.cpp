#include "salvage/raw_alignment.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "salvage/psd_header.h"

namespace {

constexpr uint32_t kNoPair = std::numeric_limits<uint32_t>::max();

// One way of reading the block: row r at `base + r * row_bytes + shift`, where the bytes are there.
struct Reading {
    uint64_t base;
    uint64_t available;  // bytes from `base` on
    uint64_t row_bytes;
    int64_t shift;

    bool Has(uint64_t row) const {
        const auto at = static_cast<int64_t>(row * row_bytes) + shift;
        return at >= 0 && static_cast<uint64_t>(at) + row_bytes <= available;
    }
    uint64_t Offset(uint64_t row) const {
        return base + static_cast<uint64_t>(static_cast<int64_t>(row * row_bytes) + shift);
    }
};

// How unlike two rows are: their samples' first bytes (the low bytes of 16- and 32-bit samples are as good as
// noise in a photograph).
uint32_t Distance(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t sample_bytes) {
    uint64_t sum = 0;
    for (size_t i = 0; i < a.size(); i += sample_bytes)
        sum += static_cast<uint64_t>(std::abs(int{a[i]} - int{b[i]}));
    return static_cast<uint32_t>(std::min<uint64_t>(sum, kNoPair - 1));
}

class Aligner {
  public:
    Aligner(ByteSource& source, const ChannelBlock& block, uint64_t available)
        : source_(source),
          rows_(block.rows),
          total_(uint64_t{block.channels} * block.rows),
          row_bytes_(RowBytes(block.width, block.depth)),
          sample_bytes_(std::max<size_t>(1, block.depth / 8)),
          shift_(static_cast<int64_t>(available) - static_cast<int64_t>(total_ * row_bytes_)),
          // A deletion takes the row it begins in and every row its bytes reached; an insertion only the first.
          extra_(shift_ < 0 ? (static_cast<uint64_t>(-shift_) + row_bytes_ - 1) / row_bytes_ : 0),
          front_{block.data_offset, available, row_bytes_, 0},
          shifted_{block.data_offset, available, row_bytes_, shift_},
          a_(row_bytes_),
          b_(row_bytes_) {}

    RawAlignment Run(std::vector<std::string>* notes);

  private:
    bool SameChannel(uint64_t r, uint64_t s) const { return r / rows_ == s / rows_; }
    bool Read(const Reading& reading, uint64_t row, std::vector<uint8_t>* out) {
        return reading.Has(row) && ReadExactly(source_, reading.Offset(row), out->data(), out->size());
    }
    // The distance from row r of `first` to row r + gap of `second`, for every r: kNoPair where either row is
    // missing or the two lie in different channels.
    std::vector<uint32_t> Distances(const Reading& first, const Reading& second, uint64_t gap);

    ByteSource& source_;
    uint64_t rows_;
    uint64_t total_;
    uint64_t row_bytes_;
    size_t sample_bytes_;
    int64_t shift_;
    uint64_t extra_;
    Reading front_;
    Reading shifted_;
    std::vector<uint8_t> a_, b_;
};

std::vector<uint32_t> Aligner::Distances(const Reading& first, const Reading& second, uint64_t gap) {
    std::vector<uint32_t> distances(total_, kNoPair);
    for (uint64_t r = 0; r + gap < total_; ++r) {
        if (SameChannel(r, r + gap) && Read(first, r, &a_) && Read(second, r + gap, &b_))
            distances[r] = Distance(a_, b_, sample_bytes_);
    }
    return distances;
}

// The middle value of the distances there are; 0 when there are none.
double Median(const std::vector<uint32_t>& distances) {
    std::vector<uint32_t> found;
    for (uint32_t d : distances) {
        if (d != kNoPair)
            found.push_back(d);
    }
    if (found.empty())
        return 0.0;
    std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(found.size() / 2), found.end());
    return found[found.size() / 2];
}

RawAlignment Aligner::Run(std::vector<std::string>* notes) {
    RawAlignment alignment;
    alignment.shifted_from = total_;
    // A row or more missing is a cut, a row or more too many appended bytes: an insertion or deletion that large
    // would leave the picture no smoother on either side of it to show where it is.
    if (static_cast<uint64_t>(std::abs(shift_)) >= row_bytes_) {
        if (shift_ > 0)
            notes->push_back(std::to_string(shift_) + " bytes that are not rows follow the raw rows");
        return alignment;
    }
    const uint64_t gap = extra_ + 2;
    const std::vector<uint32_t> front = Distances(front_, front_, 1);
    const std::vector<uint32_t> shifted = Distances(shifted_, shifted_, 1);
    const std::vector<uint32_t> bridge = Distances(front_, shifted_, gap);
    // What neighbouring rows, and rows `gap` apart, typically differ by: the yardsticks of smoothness.
    const double median = Median(front);
    const double median_gap = Median(Distances(front_, front_, gap));
    auto value = [&](uint32_t d, double missing) { return d == kNoPair ? missing : static_cast<double>(d); };

    // cost[s]: rows before s read in place, rows after s + extra_ read shifted, joined across the lost rows (as
    // far apart as rows `gap` apart typically are, plus what the join adds). The last entry reads every row in place.
    std::vector<double> before(total_ + 1, 0.0);
    for (uint64_t r = 0; r < total_; ++r)
        before[r + 1] = before[r] + (r + 1 < total_ && SameChannel(r, r + 1) ? value(front[r], median) : 0.0);
    std::vector<double> after(total_ + 1, 0.0);
    for (uint64_t r = total_; r-- > 0;)
        after[r] = after[r + 1] + (r + 1 < total_ && SameChannel(r, r + 1) ? value(shifted[r], median) : 0.0);
    std::vector<double> cost(total_ + 1, std::numeric_limits<double>::infinity());
    for (uint64_t s = 0; s + extra_ < total_; ++s) {
        const uint64_t resume = s + extra_ + 1;
        if (resume < total_ && !shifted_.Has(resume))
            continue;
        const bool joined = s > 0 && resume < total_ && SameChannel(s - 1, resume);
        const double join = joined ? value(bridge[s - 1], median_gap) - median_gap : 0.0;
        cost[s] =
            (s > 1 ? before[s - 1] : 0.0) + median * static_cast<double>(gap) + join + after[std::min(resume, total_)];
    }
    cost[total_] = before[total_];

    const double best = *std::min_element(cost.begin(), cost.end());
    // Every place whose picture runs on nearly as smoothly as the best one's could be the one.
    const double tolerance = std::max(median, 1.0);
    uint64_t first = total_, last = 0;
    for (uint64_t s = 0; s <= total_; ++s) {
        if (cost[s] <= best + tolerance) {
            first = std::min(first, s);
            last = std::max(last, s);
        }
    }
    if (first == total_) {
        if (shift_ > 0)
            notes->push_back(std::to_string(shift_) + " bytes that are not rows follow the raw rows");
        return alignment;
    }
    alignment.lost_first = first;
    if (last == total_) {
        // Reading on without a shift does as well as the best shift: everything from the first place it could be
        // is in doubt.
        alignment.lost_end = total_;
        notes->push_back("the raw rows from storage row " + std::to_string(first) +
                         " on cannot be placed: bytes were inserted or deleted somewhere after it");
        return alignment;
    }
    alignment.shift = shift_;
    alignment.shifted_from = last + extra_ + 1;
    alignment.lost_end = alignment.shifted_from;
    notes->push_back(std::to_string(std::abs(shift_)) + " bytes " + (shift_ > 0 ? "inserted" : "deleted") +
                     " among the raw rows " + std::to_string(first) + ".." + std::to_string(alignment.lost_end - 1) +
                     "; the rows after them are read that far off");
    return alignment;
}

}  // namespace

RawAlignment AlignRawRows(ByteSource& source,
                          const ChannelBlock& block,
                          uint64_t available,
                          std::vector<std::string>* notes) {
    return Aligner(source, block, available).Run(notes);
}
