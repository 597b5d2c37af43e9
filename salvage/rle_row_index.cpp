#include "salvage/rle_row_index.h"

#include <algorithm>
#include <optional>

#include "salvage/big_endian.h"
#include "salvage/block_reader_window.h"
#include "salvage/packbits.h"
#include "salvage/psd_header.h"
#include "salvage/rle_resync.h"

namespace {

constexpr size_t kWindowBytes = 256 * 1024;
// How far from where the counts put a row a resynchronisation looks for it: the bytes inserted or deleted.
constexpr uint64_t kShiftWindow = 64 * 1024;
// Rows one search looks for at a time; a longer stretch of damage takes several searches.
constexpr size_t kMaxSearchRows = 4096;
constexpr uint64_t kChainBytes = 256 * 1024;

// Rows that must decode one after another before a place is believed: four, more when rows are tiny, fewer when
// a single row is already a long walk of tokens landing exactly (and a search region must hold them all).
uint32_t ChainRows(uint64_t row_bytes) {
    if (row_bytes >= 256 * 1024)
        return 1;
    if (row_bytes >= 64 * 1024)
        return 2;
    return static_cast<uint32_t>(std::clamp<uint64_t>((256 + row_bytes - 1) / row_bytes, 4, 16));
}

class RleSurvey {
  public:
    RleSurvey(ByteSource& source,
              const ChannelBlock& block,
              RleRowIndex* index,
              std::vector<LostRows>* lost,
              std::vector<std::string>* notes)
        : source_(source),
          block_(block),
          index_(index),
          lost_(lost),
          notes_(notes),
          row_bytes_(RowBytes(block.width, block.depth)),
          min_count_(static_cast<uint32_t>(MinPackBitsRowLength(row_bytes_))),
          max_count_(static_cast<uint32_t>(MaxPackBitsRowLength(row_bytes_))),
          chain_(ChainRows(row_bytes_)),
          // Runs are followed over some 256 KiB, never fewer rows than a place needs.
          chain_cap_(
              std::max<uint32_t>(chain_, static_cast<uint32_t>(std::min<uint64_t>(64, kChainBytes / max_count_)))),
          limit_(source.Size()),
          window_(source, limit_, std::max<size_t>(kWindowBytes, size_t{2} * max_count_)) {}

    void Run();

  private:
    bool ReadTable();
    bool Usable(uint32_t count) const { return count >= min_count_ && count <= max_count_; }
    uint64_t Estimate(uint32_t row) const {
        const uint32_t count = Counts()[row];
        return Usable(count) ? count : (uint64_t{min_count_} + max_count_) / 2;
    }
    // The counts of the rows not yet walked; a walked row's entry becomes its length (0 when lost).
    uint32_t* Counts() const { return index_->lengths.data(); }
    bool Exact(uint64_t at, uint32_t count);
    bool Anchored(uint32_t row, uint64_t at);
    uint32_t Rebuild(uint32_t row, uint64_t at, uint64_t* end);
    bool Resync(uint32_t failed, uint64_t failed_at, uint32_t* row, uint64_t* at);
    uint32_t ExtendBack(uint32_t failed, uint32_t row, uint64_t at);
    void GiveUpKept(uint32_t failed);
    bool EndsFilled(uint32_t failed);
    void Keep(uint32_t row, uint64_t at, uint32_t length);
    void Lose(uint32_t from, uint32_t to);
    std::optional<uint64_t> ExpectedAt(uint32_t failed, uint64_t failed_at, uint32_t row) const;
    void NoteResync(uint32_t failed, uint32_t back, uint64_t at, std::optional<uint64_t> expected);
    std::string Rows(uint32_t first, uint32_t last) const;

    ByteSource& source_;
    const ChannelBlock& block_;
    RleRowIndex* index_;
    std::vector<LostRows>* lost_;
    std::vector<std::string>* notes_;
    uint64_t row_bytes_;
    uint32_t min_count_;
    uint32_t max_count_;
    uint32_t chain_;
    uint32_t chain_cap_;
    uint64_t limit_;
    BlockReaderWindow window_;
    uint32_t total_ = 0;
    uint64_t rows_start_ = 0;
    bool end_independent_ = false;
    std::vector<uint64_t> tail_bytes_;
};

bool RleSurvey::ReadTable() {
    const uint64_t entry = block_.large ? 4 : 2;
    const uint64_t entries = uint64_t{block_.channels} * block_.rows;
    // Every row takes at least its count entry: a table the source cannot hold is cut, and no row follows it.
    if (block_.data_offset > limit_ || entries > (limit_ - block_.data_offset) / entry || entries > UINT32_MAX)
        return false;
    total_ = static_cast<uint32_t>(entries);
    rows_start_ = block_.data_offset + entries * entry;
    index_->offsets.assign(total_, 0);
    index_->lengths.assign(total_, 0);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < total_;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kWindowBytes / entry, total_ - i) * entry);
        size_t got = 0;
        const uint8_t* bytes = window_.At(block_.data_offset + i * entry, want, &got);
        if (got < want)
            return false;
        for (size_t k = 0; k < want; k += entry, ++i) {
            Counts()[i] = block_.large ? LoadU32BE(bytes + k) : LoadU16BE(bytes + k);
            sum += Counts()[i];
        }
    }
    // An end that the counts do not account for was found from the data (a composite ending at the file's end)
    // rather than copied from them, so it says where the rows really end.
    end_independent_ = block_.data_end <= limit_ && sum != block_.data_end - std::min(block_.data_end, rows_start_);
    if (end_independent_)
        notes_->push_back("the count table does not add up to the block's length");
    return true;
}

bool RleSurvey::Exact(uint64_t at, uint32_t count) {
    if (at > limit_ || count > limit_ - at)
        return false;
    size_t got = 0;
    const uint8_t* bytes = window_.At(at, count, &got);
    return got == count && MeasurePackBitsRow(bytes, count, row_bytes_).exact;
}

// Whether the rows from `row` on decode one after another from `at` with their counts: `chain_` of them, or all
// there are when they end exactly where the block does.
bool RleSurvey::Anchored(uint32_t row, uint64_t at) {
    for (uint32_t k = 0; k < chain_; ++k) {
        if (row + k == total_)
            return k > 0 && block_.data_end <= limit_ && at == block_.data_end;
        const uint32_t count = Counts()[row + k];
        if (!Usable(count) || !Exact(at, count))
            return false;
        at += count;
    }
    return true;
}

// Rows from `row` on whose counts are damaged, decoded one after another against the row length alone, until they
// reach rows whose counts hold again (or the block's end, or the end of a cut file). Returns how many were kept:
// none when the run breaks off, since a damaged stretch may then have decoded as rows before the break showed.
uint32_t RleSurvey::Rebuild(uint32_t row, uint64_t at, uint64_t* end) {
    const bool cut = block_.data_end > limit_;
    const uint64_t stop = std::min(limit_, block_.data_end);
    std::vector<uint32_t> found;
    uint64_t p = at;
    for (uint32_t k = row;; ++k) {
        if (k == total_) {
            if (!cut && p != block_.data_end)
                return 0;
            break;
        }
        // Only counts that cannot be right are rebuilt: a plausible count that the row does not match more likely
        // means bytes inserted into or deleted from the row, which would decode to a row of another length too.
        if (Usable(Counts()[k])) {
            if (k > row && Anchored(k, p))
                break;
            return 0;
        }
        if (p >= stop) {
            if (cut && p == limit_)
                break;
            return 0;
        }
        size_t got = 0;
        const uint8_t* bytes = window_.At(p, static_cast<size_t>(std::min<uint64_t>(max_count_, stop - p)), &got);
        const PackBitsResult r = FindPackBitsRowEnd(bytes, got, row_bytes_);
        if (!r.exact) {
            if (cut && r.input_ended && p + got == limit_)
                break;
            return 0;
        }
        found.push_back(static_cast<uint32_t>(r.consumed));
        p += r.consumed;
    }
    if (found.empty())
        return 0;
    uint64_t q = at;
    for (size_t i = 0; i < found.size(); ++i) {
        Keep(row + static_cast<uint32_t>(i), q, found[i]);
        q += found[i];
    }
    notes_->push_back(Rows(row, row + static_cast<uint32_t>(found.size()) - 1) +
                      ": counts rebuilt from the rows themselves");
    *end = p;
    return static_cast<uint32_t>(found.size());
}

// Looks for the first row from `failed` on (the row that did not decode at `failed_at`) that begins a run of rows
// decoding with their counts, moving on window by window to the end of the source.
bool RleSurvey::Resync(uint32_t failed, uint64_t failed_at, uint32_t* row, uint64_t* at) {
    const bool end_known = end_independent_;
    if (end_known && tail_bytes_.empty()) {
        tail_bytes_.assign(size_t{total_} + 1, 0);
        for (uint32_t r = total_; r-- > failed;) {
            const uint32_t count = Counts()[r];
            tail_bytes_[r] =
                Usable(count) && tail_bytes_[r + 1] != UINT64_MAX ? tail_bytes_[r + 1] + count : UINT64_MAX;
        }
    }
    // Rows from `lowest` on are where a place is tested; from `first` on, what it may be taken for.
    uint32_t lowest = failed;
    uint64_t lowest_expected = failed_at;
    uint32_t first = failed;
    uint64_t first_expected = failed_at;
    uint64_t from = failed_at;
    std::vector<uint8_t> region;
    bool ambiguous = false;
    // Once the rows after some place fail to reach the end, there is more damage ahead, and the end decides nothing.
    bool end_decides = end_known;
    const auto tail_decodes = [&](uint32_t start, uint64_t offset) {
        uint64_t p = from + offset;
        for (uint32_t r = start; r < total_ && end_decides; p += Counts()[r++])
            end_decides = Usable(Counts()[r]) && Exact(p, Counts()[r]);
        return end_decides;
    };
    while (first < total_ && from < limit_) {
        while (lowest < first && lowest_expected + kShiftWindow < from)
            lowest_expected += Estimate(lowest++);
        RleResyncRows rows;
        rows.counts = Counts();
        rows.total = total_;
        rows.lowest = lowest;
        rows.first = first;
        rows.min_count = min_count_;
        rows.max_count = max_count_;
        rows.chain = chain_;
        rows.chain_cap = chain_cap_;
        rows.tail_bytes = end_decides ? &tail_bytes_ : nullptr;
        rows.tail_decodes = tail_decodes;
        const uint64_t last_start = std::max(from, first_expected) + 2 * kShiftWindow;
        uint64_t e = lowest_expected;
        for (uint32_t r = lowest; r < total_ && r < first + kMaxSearchRows && e <= last_start + kShiftWindow; ++r) {
            rows.expected.push_back(e > from ? e - from : 0);
            e += Estimate(r);
        }
        const uint64_t region_end = std::min(limit_, last_start + uint64_t{chain_cap_} * max_count_ + 1);
        region.resize(static_cast<size_t>(region_end - from));
        region.resize(source_.ReadAt(from, region.data(), region.size()));
        std::optional<uint64_t> end;
        if (end_known && block_.data_end >= from)
            end = block_.data_end - from;
        const RleResyncResult r =
            FindRleResync(region.data(), region.size(), row_bytes_, kShiftWindow, last_start - from, rows, end);
        ambiguous |= r.ambiguous;
        if (r.found) {
            *row = r.row;
            *at = from + r.offset;
            if (ambiguous)
                notes_->push_back(Rows(failed, r.row) + ": rows of equal length left the place of some rows open");
            return true;
        }
        if (region_end == limit_ && last_start + 1 >= limit_)
            break;
        // The rows whose every possible place was looked at are lost; the search goes on with the others.
        const uint32_t searched = first;
        while (first < total_ && first - searched < kMaxSearchRows && first_expected + kShiftWindow <= last_start)
            first_expected += Estimate(first++);
        if (first == searched)
            first_expected += Estimate(first++);
        from = std::max(from, first_expected > kShiftWindow ? first_expected - kShiftWindow : 0);
    }
    if (ambiguous)
        notes_->push_back("rows of equal length left the place of the rows after some damage open");
    return false;
}

// After a resynchronisation at `row`: rows before it that decode at the same shift are whole too (bytes inserted
// or deleted before them moved them whole). Returns the first of them.
uint32_t RleSurvey::ExtendBack(uint32_t failed, uint32_t row, uint64_t at) {
    uint32_t back = row;
    while (back > failed) {
        const uint32_t count = Counts()[back - 1];
        if (!Usable(count) || at < rows_start_ + count || !Exact(at - count, count))
            break;
        at -= count;
        --back;
        Keep(back, at, count);
    }
    return back;
}

// Row `failed` - 1 was kept, but damage that begins in its last literal leaves it decoding exactly.
void RleSurvey::GiveUpKept(uint32_t failed) {
    if (failed == 0 || index_->lengths[failed - 1] == 0)
        return;
    notes_->push_back(Rows(failed - 1, failed - 1) + ": the damage may begin in its last bytes");
    Lose(failed - 1, failed);
}

// Whether the kept row before `failed` ends in a literal whose last bytes are all alike, as bytes zeroed or erased
// from there on would leave it.
bool RleSurvey::EndsFilled(uint32_t failed) {
    if (failed == 0 || index_->lengths[failed - 1] == 0)
        return false;
    size_t got = 0;
    const uint32_t length = index_->lengths[failed - 1];
    const uint8_t* bytes = window_.At(index_->offsets[failed - 1], length, &got);
    return got == length && PackBitsEndsInFill(bytes, length);
}

void RleSurvey::Keep(uint32_t row, uint64_t at, uint32_t length) {
    index_->offsets[row] = at;
    index_->lengths[row] = length;
}

void RleSurvey::Lose(uint32_t from, uint32_t to) {
    for (uint32_t r = from; r < to; ++r) {
        index_->lengths[r] = 0;
        AddLostRow(lost_, r / block_.rows, r % block_.rows);
    }
}

std::string RleSurvey::Rows(uint32_t first, uint32_t last) const {
    const auto name = [&](uint32_t r) {
        return "channel " + std::to_string(r / block_.rows) + " row " + std::to_string(r % block_.rows);
    };
    if (first == last)
        return name(first);
    if (first / block_.rows == last / block_.rows)
        return name(first) + ".." + std::to_string(last % block_.rows);
    return name(first) + " to " + name(last);
}

std::optional<uint64_t> RleSurvey::ExpectedAt(uint32_t failed, uint64_t failed_at, uint32_t row) const {
    std::optional<uint64_t> expected = failed_at;
    for (uint32_t r = failed; r < row && expected; ++r)
        expected = Usable(Counts()[r]) ? std::optional<uint64_t>(*expected + Counts()[r]) : std::nullopt;
    return expected;
}

void RleSurvey::NoteResync(uint32_t failed, uint32_t back, uint64_t at, std::optional<uint64_t> expected) {
    std::string what = "damaged";
    if (expected && at > *expected)
        what = std::to_string(at - *expected) + " bytes inserted";
    else if (expected && at < *expected)
        what = std::to_string(*expected - at) + " bytes deleted";
    else if (expected)
        what = "bytes overwritten";
    if (back > failed)
        notes_->push_back(Rows(failed, back - 1) + ": " + what + "; rows read on from " + Rows(back, back));
    else
        notes_->push_back(what + " before " + Rows(back, back) + "; rows read on from there");
}

void RleSurvey::Run() {
    if (!ReadTable()) {
        notes_->push_back("the count table is cut short by the end of the file or a failed read");
        index_->offsets.clear();
        index_->lengths.clear();
        for (uint32_t c = 0; c < block_.channels; ++c)
            lost_->push_back({c, 0, block_.rows - 1});
        return;
    }
    uint32_t j = 0;
    uint64_t at = rows_start_;
    while (j < total_ && at < limit_) {
        const uint32_t count = Counts()[j];
        if (Usable(count) && Exact(at, count)) {
            Keep(j, at, count);
            at += count;
            ++j;
            continue;
        }
        if (Usable(count) && count > limit_ - at)
            break;
        // The row's own bytes changed: the rows after it are where its count says.
        if (Usable(count) && Anchored(j + 1, at + count)) {
            if (EndsFilled(j))
                GiveUpKept(j);
            notes_->push_back(Rows(j, j) + ": bytes overwritten");
            Lose(j, j + 1);
            at += count;
            ++j;
            continue;
        }
        uint64_t end = 0;
        const uint32_t rebuilt = Rebuild(j, at, &end);
        if (rebuilt > 0) {
            j += rebuilt;
            at = end;
            continue;
        }
        uint32_t row = 0;
        uint64_t found = 0;
        if (!Resync(j, at, &row, &found)) {
            // Where the damage begins is not known: it may lie in the last literal of the row before.
            GiveUpKept(j);
            notes_->push_back(Rows(j, total_ - 1) + ": damaged; no row after it could be found again");
            Lose(j, total_);
            return;
        }
        // Bytes inserted or deleted may begin in the last literal of the row kept before, which then still decodes.
        const std::optional<uint64_t> expected = ExpectedAt(j, at, row);
        const uint32_t back = ExtendBack(j, row, found);
        if (!expected || *expected != found || EndsFilled(j))
            GiveUpKept(j);
        NoteResync(j, back, found, expected);
        Lose(j, back);
        j = row;
        at = found;
    }
    if (j < total_) {
        notes_->push_back(Rows(j, total_ - 1) + ": past the end of the file");
        Lose(j, total_);
    } else if (end_independent_ && at != block_.data_end) {
        // Bytes inserted or deleted inside the last row's literals leave it decoding; only the end shows them.
        GiveUpKept(total_);
    }
}

}  // namespace

uint64_t MaxPackBitsRowLength(uint64_t row_bytes) {
    return row_bytes + (row_bytes + 127) / 128;
}

uint64_t MinPackBitsRowLength(uint64_t row_bytes) {
    return 2 * ((row_bytes + 127) / 128);
}

void SurveyRleBlock(ByteSource& source,
                    const ChannelBlock& block,
                    RleRowIndex* index,
                    std::vector<LostRows>* lost,
                    std::vector<std::string>* notes) {
    RleSurvey(source, block, index, lost, notes).Run();
}
