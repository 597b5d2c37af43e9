#include "salvage/rle_row_index.h"

#include <algorithm>
#include <optional>

#include "salvage/big_endian.h"
#include "salvage/block_reader_window.h"
#include "salvage/packbits.h"
#include "salvage/psd_header.h"

namespace {

constexpr size_t kWindowBytes = 256 * 1024;
// How far from where the counts put a row a resynchronisation looks for it: the most bytes inserted or deleted, and
// the most bytes of rows after a damaged one that are tried as the first whole one.
constexpr uint64_t kSearchBytes = 64 * 1024;
// Rows that must take exactly their counts one after another before a place is believed.
constexpr uint32_t kChainRows = 4;
// No-ops a writer may put at a row's end beyond the longest a row can take.
constexpr uint64_t kNoOpSlack = 4;
// Rows after a damaged one tried as the first at a shifted place: bytes inserted or deleted sit at one place, so the
// next rows but one or two are whole.
constexpr uint64_t kShiftedRowsTried = 8;

class RleSurvey {
  public:
    RleSurvey(ByteSource& source,
              const ChannelBlock& block,
              RleRowIndex* index,
              std::vector<LostRows>* lost,
              std::vector<std::string>* notes)
        : block_(block),
          index_(*index),
          lost_(*lost),
          notes_(*notes),
          row_bytes_(RowBytes(block.width, block.depth)),
          min_count_(MinPackBitsRowLength(row_bytes_)),
          max_count_(MaxPackBitsRowLength(row_bytes_) + kNoOpSlack),
          limit_(std::min(block.data_end, source.Size())),
          window_(source, limit_, static_cast<size_t>(std::max<uint64_t>(kWindowBytes, 2 * max_count_))) {}

    void Run();

  private:
    bool ReadTable();
    bool Usable(uint64_t count) const { return count >= min_count_ && count <= max_count_; }
    // `count` bytes at `at` are exactly one row.
    bool Fits(uint64_t at, uint64_t count);
    // The length of the row that begins at `at`, found by decoding it; nullopt when it does not make a row.
    std::optional<uint32_t> RowLengthAt(uint64_t at);
    // Rows from `row` on take exactly their counts one after another from `at`: kChainRows of them, or all there are
    // when they end exactly at the block's end. `rebuilding`: rows whose counts cannot be right may be decoded to
    // their end instead, as long as one row of the chain takes its count.
    bool ChainHolds(uint64_t row, uint64_t at, bool rebuilding = false);
    // Where the rows come back after damage at `row` (at `at`): the first row and its place.
    bool Resync(uint64_t row, uint64_t at, uint64_t* next, uint64_t* next_at, int64_t* shift);
    bool ShiftedChain(uint64_t j, uint64_t at, uint64_t expected, int64_t d, uint64_t* next_at);
    bool ExpectedAt(uint64_t row, uint64_t at, uint64_t target, uint64_t* expected) const;

    void Keep(uint64_t row, uint64_t at, uint64_t length) {
        index_.offsets[row] = at;
        index_.lengths[row] = static_cast<uint32_t>(length);
    }
    void Lose(uint64_t first, uint64_t end);  // rows first..end-1 not lost yet
    std::string Rows(uint64_t first, uint64_t last) const;

    const ChannelBlock& block_;
    RleRowIndex& index_;
    std::vector<LostRows>& lost_;
    std::vector<std::string>& notes_;
    uint64_t row_bytes_;
    uint64_t min_count_;
    uint64_t max_count_;
    uint64_t limit_;  // what can be read: the block's end, or the source's where it is cut
    BlockReaderWindow window_;
    std::vector<uint32_t> counts_;
    uint64_t total_ = 0;
    uint64_t rows_start_ = 0;
    uint64_t lost_end_ = 0;             // every row before it that was lost is listed
    std::optional<int64_t> net_shift_;  // the bytes the rows take beyond what the counts add up to, when all are known
};

bool RleSurvey::ReadTable() {
    const uint64_t entry = block_.large ? 4 : 2;
    const uint64_t entries = uint64_t{block_.channels} * block_.rows;
    total_ = entries;
    // Every row takes at least its count entry: a table the source cannot hold is cut, and no row follows it.
    if (block_.data_offset > limit_ || entries > (limit_ - block_.data_offset) / entry)
        return false;
    rows_start_ = block_.data_offset + entries * entry;
    counts_.assign(entries, 0);
    index_.offsets.assign(entries, 0);
    index_.lengths.assign(entries, 0);
    for (uint64_t i = 0; i < entries;) {
        const uint64_t want = std::min<uint64_t>(kWindowBytes / entry, entries - i) * entry;
        size_t got = 0;
        const uint8_t* bytes = window_.At(block_.data_offset + i * entry, static_cast<size_t>(want), &got);
        if (got < want)
            return false;
        for (size_t k = 0; k < want; k += entry, ++i)
            counts_[i] = block_.large ? LoadU32BE(bytes + k) : LoadU16BE(bytes + k);
    }
    return true;
}

bool RleSurvey::Fits(uint64_t at, uint64_t count) {
    if (at > limit_ || count > limit_ - at)
        return false;
    size_t got = 0;
    const uint8_t* bytes = window_.At(at, static_cast<size_t>(count), &got);
    return got == count && DecodePackBitsRow(bytes, got, nullptr, static_cast<size_t>(row_bytes_)).exact;
}

std::optional<uint32_t> RleSurvey::RowLengthAt(uint64_t at) {
    if (at >= limit_)
        return std::nullopt;
    size_t got = 0;
    const uint8_t* bytes = window_.At(at, static_cast<size_t>(std::min(max_count_, limit_ - at)), &got);
    const PackBitsResult r = FindPackBitsRowEnd(bytes, got, static_cast<size_t>(row_bytes_));
    if (!r.exact)
        return std::nullopt;
    return static_cast<uint32_t>(r.consumed);
}

bool RleSurvey::ChainHolds(uint64_t row, uint64_t at, bool rebuilding) {
    bool counted = false;  // a row took the count it was stored with
    for (uint32_t k = 0; k < kChainRows; ++k) {
        if (row + k == total_)
            return (k > 0 || rebuilding) && at == block_.data_end;
        const uint64_t count = counts_[row + k];
        if (Usable(count) && Fits(at, count)) {
            at += count;
            counted = true;
            continue;
        }
        // Where counts are damaged too, their rows are decoded to find where the next one begins.
        const std::optional<uint32_t> length = rebuilding && !Usable(count) ? RowLengthAt(at) : std::nullopt;
        if (!length)
            return false;
        at += *length;
    }
    return counted;
}

bool RleSurvey::ExpectedAt(uint64_t row, uint64_t at, uint64_t target, uint64_t* expected) const {
    for (uint64_t k = row; k < target; ++k) {
        if (!Usable(counts_[k]))
            return false;
        at += counts_[k];
    }
    *expected = at;
    return true;
}

bool RleSurvey::ShiftedChain(uint64_t j, uint64_t at, uint64_t expected, int64_t d, uint64_t* next_at) {
    const int64_t place = static_cast<int64_t>(expected) + d;
    if (place <= static_cast<int64_t>(at) || static_cast<uint64_t>(place) > limit_ ||
        !ChainHolds(j, static_cast<uint64_t>(place)))
        return false;
    *next_at = static_cast<uint64_t>(place);
    return true;
}

bool RleSurvey::Resync(uint64_t row, uint64_t at, uint64_t* next, uint64_t* next_at, int64_t* shift) {
    // Bytes overwritten leave every row in place: the first row after them that takes its count, and the rest with it.
    for (uint64_t j = row + 1; j <= total_; ++j) {
        uint64_t expected = 0;
        if (!ExpectedAt(row, at, j, &expected) || expected - at > kSearchBytes)
            break;
        if (j == total_ ? expected == block_.data_end : ChainHolds(j, expected)) {
            *next = j, *next_at = expected, *shift = 0;
            return true;
        }
    }
    // Bytes inserted or deleted move every row after them, by what the block's end says when it is known, else by
    // the nearest shift at which the rows take their counts.
    for (uint64_t j = row + 1; j < total_ && j <= row + kShiftedRowsTried; ++j) {
        uint64_t expected = 0;
        if (!ExpectedAt(row, at, j, &expected)) {
            // Damaged counts before it: the row may begin anywhere after the damage.
            for (uint64_t q = at + 1; q < std::min(limit_, at + kSearchBytes); ++q) {
                if (ChainHolds(j, q)) {
                    *next = j, *next_at = q, *shift = 0;
                    return true;
                }
            }
            continue;
        }
        if (net_shift_ && *net_shift_ != 0 && ShiftedChain(j, at, expected, *net_shift_, next_at)) {
            *next = j, *shift = *net_shift_;
            return true;
        }
        for (int64_t d = 1; d <= static_cast<int64_t>(kSearchBytes); ++d) {
            for (const int64_t signed_d : {d, -d}) {
                if (ShiftedChain(j, at, expected, signed_d, next_at)) {
                    *next = j, *shift = signed_d;
                    return true;
                }
            }
        }
    }
    return false;
}

void RleSurvey::Lose(uint64_t first, uint64_t end) {
    for (uint64_t row = std::max(first, lost_end_); row < end; ++row) {
        index_.lengths[row] = 0;
        AddLostRow(&lost_, static_cast<uint32_t>(row / block_.rows), static_cast<uint32_t>(row % block_.rows));
    }
    lost_end_ = std::max(lost_end_, end);
}

std::string RleSurvey::Rows(uint64_t first, uint64_t last) const {
    auto name = [&](uint64_t row) {
        return "channel " + std::to_string(row / block_.rows) + " row " + std::to_string(row % block_.rows);
    };
    if (first == last)
        return name(first);
    if (first / block_.rows == last / block_.rows)
        return "channel " + std::to_string(first / block_.rows) + " rows " + std::to_string(first % block_.rows) +
               " to " + std::to_string(last % block_.rows);
    return name(first) + " to " + name(last);
}

void RleSurvey::Run() {
    if (!ReadTable()) {
        notes_.push_back("the count table lies past the end of the file");
        index_ = RleRowIndex{};
        for (uint32_t c = 0; c < block_.channels && block_.rows > 0; ++c)
            lost_.push_back({c, 0, block_.rows - 1});
        return;
    }
    uint64_t sum = 0;
    bool all_known = true;
    for (uint32_t count : counts_) {
        sum += count;
        all_known = all_known && Usable(count);
    }
    if (all_known && block_.ends_the_file && block_.data_end <= limit_)
        net_shift_ = static_cast<int64_t>(block_.data_end - rows_start_) - static_cast<int64_t>(sum);

    uint64_t p = rows_start_;
    uint64_t i = 0;
    uint64_t pending = total_;  // the first row whose count was rebuilt and not yet borne out by the rows after it
    uint64_t rebuilt = 0;
    while (i < total_ && p < limit_) {
        const uint64_t count = counts_[i];
        if (Usable(count) && Fits(p, count) && (pending == total_ || ChainHolds(i, p))) {
            pending = total_;
            Keep(i, p, count);
            p += count;
            ++i;
            continue;
        }
        const std::optional<uint32_t> length = RowLengthAt(p);
        if (length && (!Usable(count) || ChainHolds(i + 1, p + *length, true))) {
            // The count is damaged, not the row: believed once the rows after it land where their counts say.
            pending = Usable(count) ? pending : std::min(pending, i);
            Keep(i, p, *length);
            p += *length;
            ++rebuilt;
            ++i;
            continue;
        }
        // A row the end of a cut file runs through is not damage.
        const bool cut = limit_ < block_.data_end && p + (Usable(count) ? count : max_count_) > limit_;
        if (cut)
            break;
        // Rows rebuilt just before, and the row before the damage, may hold its first bytes.
        const uint64_t first = std::min(pending, i > 0 ? i - 1 : 0);
        pending = total_;
        uint64_t next = 0, next_at = 0;
        int64_t shift = 0;
        if (!Resync(i, p, &next, &next_at, &shift)) {
            notes_.push_back(Rows(first, total_ - 1) + ": damaged; no row after it could be found again");
            Lose(first, total_);
            return;
        }
        // An overwrite may have changed the first bytes of the row found again as well.
        const uint64_t resume = shift == 0 && next < total_ ? next + 1 : next;
        notes_.push_back(Rows(first, resume - 1) + ": damaged" +
                         (shift > 0   ? "; " + std::to_string(shift) + " bytes inserted"
                          : shift < 0 ? "; " + std::to_string(-shift) + " bytes deleted"
                                      : ""));
        Lose(first, resume);
        i = resume;
        p = resume > next ? next_at + counts_[next] : next_at;
    }
    if (i < total_) {
        // What was read up to the cut stands: a cut changes no byte before it.
        notes_.push_back(Rows(i, total_ - 1) + ": past the end of the file");
        Lose(i, total_);
        return;
    }
    // Rebuilt rows at the very end are borne out only by ending exactly where the block does.
    if (pending < total_ && p != block_.data_end) {
        notes_.push_back(Rows(pending, total_ - 1) +
                         ": their counts are damaged and the rows do not end where the "
                         "block does");
        Lose(pending, total_);
    } else if (rebuilt > 0) {
        notes_.push_back(std::to_string(rebuilt) + " damaged counts rebuilt from the rows themselves");
    }
}

}  // namespace

void SurveyRleBlock(ByteSource& source,
                    const ChannelBlock& block,
                    RleRowIndex* index,
                    std::vector<LostRows>* lost,
                    std::vector<std::string>* notes) {
    RleSurvey(source, block, index, lost, notes).Run();
}
