#include "salvage/composite_finder.h"

#include <zlib.h>

#include <algorithm>

#include "salvage/big_endian.h"
#include "salvage/packbits.h"

namespace {

constexpr size_t kInflateChunk = 64 * 1024;
// The scans from the end read through windows this large, each step taking a little under half of one so that the
// next step, just below, is still inside it.
constexpr size_t kScanWindow = 1024 * 1024;
constexpr uint64_t kScanStep = kScanWindow / 2 - 16;
// How much of a ZIP composite is inflated to tell it from a layer channel's stream.
constexpr uint64_t kZipProbe = 4 * 1024 * 1024;

struct Geometry {
    uint64_t entries = 0;    // channels × rows
    uint64_t row_bytes = 0;  // of one decoded row
    uint64_t raw_size = 0;   // entries × row_bytes
    uint64_t entry_size = 2;
    uint64_t table_size = 0;  // entries × entry_size
};

Geometry GeometryOf(const PsdHeader& header) {
    Geometry g;
    g.entries = uint64_t{header.channels} * header.height;
    g.row_bytes = RowBytes(header.width, header.depth);
    g.entry_size = header.IsLarge() ? 4 : 2;
    // At most 56 × 300000 rows of 300000 × 4 bytes: well inside 64 bits.
    g.raw_size = g.entries * g.row_bytes;
    g.table_size = g.entries * g.entry_size;
    return g;
}

bool Entry(ByteWindow& in, uint64_t offset, bool large, uint64_t* value) {
    if (large) {
        uint32_t v = 0;
        const bool read = in.U32(offset, &v);
        *value = v;
        return read;
    }
    uint16_t v = 0;
    const bool read = in.U16(offset, &v);
    *value = v;
    return read;
}

// The sum of the count table's entries; false when the table is not all there.
bool SumTable(ByteWindow& in, uint64_t table, const Geometry& g, uint64_t* sum) {
    *sum = 0;
    for (uint64_t i = 0; i < g.entries; ++i) {
        uint64_t count = 0;
        if (!Entry(in, table + i * g.entry_size, g.entry_size == 4, &count))
            return false;
        *sum += count;
    }
    return true;
}

// The first `present` entries of a count table read as the composite's: every count is one PackBits can give for a
// row (at least a header and a byte, at most the worst case), and most of the first rows whose bytes are there
// decode to whole rows (not all: the rows themselves may be damaged). `*sum` gets the counts' total.
bool CountsPlausible(ByteWindow& in, uint64_t table, const Geometry& g, uint64_t present, uint64_t* sum) {
    constexpr uint64_t kRowsDecoded = 8;
    const uint64_t worst_row = MaxPackBitsRowLength(g.row_bytes);
    std::vector<uint64_t> first_counts;
    *sum = 0;
    for (uint64_t i = 0; i < present; ++i) {
        uint64_t count = 0;
        if (!Entry(in, table + i * g.entry_size, g.entry_size == 4, &count) || count < 2 || count > worst_row)
            return false;
        if (i < kRowsDecoded)
            first_counts.push_back(count);
        *sum += count;
    }
    uint64_t at = table + g.table_size, decoded_rows = 0, whole = 0;
    for (uint64_t count : first_counts) {
        if (at + count > in.Size())
            break;
        const std::optional<uint64_t> decoded = DecodedRowSize(in, at, count);
        whole += decoded && *decoded == g.row_bytes ? 1 : 0;
        ++decoded_rows;
        at += count;
    }
    return 2 * whole > decoded_rows || decoded_rows == 0;
}

// A table found by its sum is the composite's, not a coincidence, when its counts are plausible.
bool TablePlausible(ByteWindow& in, uint64_t table, const Geometry& g) {
    uint64_t sum = 0;
    return table + g.table_size < in.Size() && CountsPlausible(in, table, g, g.entries, &sum);
}

// How a count table whose counts are plausible relates to the bytes after it: it claims more than the file has
// (the composite is cut) or fewer (bytes follow it). Unknown when the counts are not plausible: then the table is
// damaged, or the composite is not there.
enum class TableEnd { Unknown, Cut, Followed };

TableEnd CheckTableEnd(ByteWindow& in, uint64_t table, const Geometry& g) {
    constexpr uint64_t kEntriesNeeded = 8;
    const uint64_t present = std::min(g.entries, (in.Size() - std::min(in.Size(), table)) / g.entry_size);
    uint64_t sum = 0;
    if (present < std::min(g.entries, kEntriesNeeded) || !CountsPlausible(in, table, g, present, &sum))
        return TableEnd::Unknown;
    return present < g.entries || table + g.table_size + sum > in.Size() ? TableEnd::Cut : TableEnd::Followed;
}

uint64_t LoadEntry(const uint8_t* p, bool large) {
    return large ? LoadU32BE(p) : LoadU16BE(p);
}

// The count table whose entries add up exactly to the end of the file, searched from the end. For a table start q
// the sum of its N entries must be size - q - N × entry; the sum at q is the sum at q + entry with one entry in and
// one out, so one pass from the end, keeping a sum per residue of q, reads each byte about twice whatever N is.
std::optional<uint64_t> FindRleFromEnd(ByteSource& source, const Geometry& g, uint64_t floor) {
    const uint64_t size = source.Size();
    const uint64_t worst_row = MaxPackBitsRowLength(g.row_bytes);
    const uint64_t w = g.entry_size;
    uint64_t span = 0;
    if (g.entries == 0 || g.table_size + 2 > size || !MulChecked(g.entries, worst_row, &span))
        return std::nullopt;
    const uint64_t highest = size - g.table_size;
    const uint64_t lowest = std::max({floor + 2, uint64_t{2}, highest > span ? highest - span : 0});
    ByteWindow entering(source, kScanWindow), leaving(source, kScanWindow), check(source);
    auto fits = [&](uint64_t q, uint64_t sum) {
        uint16_t word = 0;
        return sum == size - g.table_size - q && check.U16(q - 2, &word) && word == 1 && TablePlausible(check, q, g);
    };
    uint64_t sums[4] = {};
    for (uint64_t q = highest; q + w > highest && q >= lowest; --q) {
        if (!SumTable(leaving, q, g, &sums[q & (w - 1)]))
            return std::nullopt;
        if (fits(q, sums[q & (w - 1)]))
            return q - 2;
        if (q == 0)
            break;
    }
    for (uint64_t high = highest - w; highest >= lowest + w && high >= lowest;) {
        const uint64_t low = high - lowest >= kScanStep ? high - kScanStep + 1 : lowest;
        const auto length = static_cast<size_t>(high - low + w);
        size_t got_in = 0, got_out = 0;
        const uint8_t* in = entering.Peek(low, length, &got_in);
        const uint8_t* out = leaving.Peek(low + g.table_size, length, &got_out);
        if (got_in < length || got_out < length)
            return std::nullopt;
        for (uint64_t q = high + 1; q-- > low;) {
            uint64_t& sum = sums[q & (w - 1)];
            sum = sum + LoadEntry(in + (q - low), w == 4) - LoadEntry(out + (q - low), w == 4);
            if (sum + q == size - g.table_size && fits(q, sum))
                return q - 2;
        }
        if (low == lowest)
            break;
        high = low - 1;
    }
    return std::nullopt;
}

// The count table of an RLE composite whose start is lost (its compression word and first counts zeroed or
// overwritten, so that its sum no longer adds up), found from its last rows: the last count must take the file's
// last bytes to one whole row, and the counts before it the rows before those. The compression word's place before
// the table, or nullopt when no place has kRowsAgreeing such counts.
std::optional<uint64_t> FindRleByLastRows(ByteWindow& in, const Geometry& g, uint64_t floor) {
    constexpr uint64_t kRowsAgreeing = 8;
    // Rows this long make the tail's measure too costly for what is a last resort.
    constexpr uint64_t kLongestRow = 1024 * 1024;
    const uint64_t size = in.Size();
    const uint64_t worst_row = MaxPackBitsRowLength(g.row_bytes);
    const uint64_t w = g.entry_size;
    if (g.entries < kRowsAgreeing || worst_row > kLongestRow || size < g.table_size + worst_row)
        return std::nullopt;
    // ends[c]: the last c bytes of the file decode to exactly one row. Decoding from each start costs one token
    // on top of decoding from where that token ends, so the whole tail is measured in one pass from the end.
    std::vector<uint8_t> tail(static_cast<size_t>(worst_row));
    if (!in.Read(size - worst_row, tail.data(), tail.size()))
        return std::nullopt;
    std::vector<uint64_t> made(tail.size() + 1, UINT64_MAX);  // bytes decoded from tail[i] to the end
    made[tail.size()] = 0;
    std::vector<bool> ends(tail.size() + 1, false);
    for (size_t i = tail.size(); i-- > 0;) {
        const PackBitsToken token = ReadPackBitsToken(tail[i]);
        if (token.length <= tail.size() - i && made[i + token.length] != UINT64_MAX)
            made[i] = made[i + token.length] + token.made;
        ends[tail.size() - i] = made[i] == g.row_bytes;
    }
    const uint64_t lowest_end =
        std::max(floor + 2 + g.table_size, size > g.entries * worst_row ? size - g.entries * worst_row : 0);
    ByteWindow entries(in.Source(), kScanWindow);
    for (uint64_t end = size - 2 * g.entries; end >= lowest_end && end >= w * kRowsAgreeing; --end) {
        uint64_t last = 0;
        if (!Entry(entries, end - w, w == 4, &last) || last > worst_row || !ends[last])
            continue;
        uint64_t row_end = size - last, agreeing = 1;
        while (agreeing < kRowsAgreeing) {
            uint64_t count = 0;
            if (!Entry(entries, end - (agreeing + 1) * w, w == 4, &count) || count > row_end ||
                DecodedRowSize(in, row_end - count, count) != g.row_bytes)
                break;
            row_end -= count;
            ++agreeing;
        }
        if (agreeing == kRowsAgreeing)
            return end - g.table_size - 2;
    }
    return std::nullopt;
}

bool ZlibHeader(uint8_t cmf, uint8_t flg) {
    const bool deflate = (cmf & 0x0F) == 8 && (cmf >> 4) <= 7;
    const bool no_dictionary = (flg & 0x20) == 0;
    return deflate && no_dictionary && (cmf << 8 | flg) % 31 == 0;
}

// The last compression word 2 or 3 followed by a zlib stream that inflates to exactly the composite's samples.
// Candidates are rare (four bytes must match), so the scan goes through the bytes at the speed of reading them.
std::optional<uint64_t> FindZipFromEnd(ByteSource& source, const Geometry& g, uint64_t floor) {
    const uint64_t size = source.Size();
    // Deflate never grows data by more than this (zlib's compressBound).
    const uint64_t bound = g.raw_size + (g.raw_size >> 12) + (g.raw_size >> 14) + (g.raw_size >> 25) + 13;
    const uint64_t lowest = std::max(floor, size > bound + 2 ? size - bound - 2 : 0);
    ByteWindow in(source, kScanWindow), stream(source);
    for (uint64_t high = size >= 4 ? size - 4 : 0; size >= 4 && high >= lowest;) {
        const uint64_t low = high - lowest >= kScanStep ? high - kScanStep + 1 : lowest;
        size_t got = 0;
        const uint8_t* bytes = in.Peek(low, static_cast<size_t>(high - low + 4), &got);
        if (got < high - low + 4)
            return std::nullopt;
        for (uint64_t p = high + 1; p-- > low;) {
            const uint8_t* b = bytes + (p - low);
            if (b[0] != 0 || (b[1] != 2 && b[1] != 3) || !ZlibHeader(b[2], b[3]))
                continue;
            const std::optional<uint64_t> inflated = InflatedSize(stream, p + 2, g.raw_size);
            if (inflated && *inflated == g.raw_size)
                return p;
        }
        if (low == lowest)
            break;
        high = low - 1;
    }
    return std::nullopt;
}

// True when RLE rows decode one after another from the end of a count table at `table`, and the table's entries
// that survive agree with the rows' lengths: only the composite's own rows do both, so the compression word before
// them was damaged. (Raw samples rarely decode to whole rows in sequence, and never with a table that measures them.)
bool RleRowsFollow(ByteWindow& in, uint64_t table, const Geometry& g) {
    constexpr uint64_t kAgreeing = 8;
    const uint64_t worst_row = MaxPackBitsRowLength(g.row_bytes);
    ByteWindow rows(in.Source(), static_cast<size_t>(std::max<uint64_t>(worst_row, kInflateChunk)));
    uint64_t at = table + g.table_size, agreeing = 0;
    for (uint64_t row = 0; row < g.entries && agreeing < kAgreeing; ++row) {
        size_t got = 0;
        const uint8_t* bytes = rows.Peek(at, static_cast<size_t>(worst_row), &got);
        const PackBitsResult end = FindPackBitsRowEnd(bytes, got, static_cast<size_t>(g.row_bytes));
        uint64_t count = 0;
        if (!end.exact || !Entry(in, table + row * g.entry_size, g.entry_size == 4, &count))
            break;
        agreeing += count == end.consumed ? 1 : 0;
        at += end.consumed;
    }
    return agreeing >= std::min(g.entries, kAgreeing);
}

// How the composite at `at` is stored, where the sections chained to it but its compression word reads as what its
// bytes cannot be (raw rows the file has no room for, or no compression at all); nullopt when the word may be right.
std::optional<Compression> ReadThroughDamagedWord(ByteWindow& in, uint64_t at, uint16_t word, const Geometry& g) {
    const uint64_t data = at + 2;
    const bool raw_fits = data + g.raw_size == in.Size();
    if (word > 3 || (word == static_cast<uint16_t>(Compression::Raw) && !raw_fits)) {
        if (RleRowsFollow(in, data, g))
            return Compression::Rle;
        if (word > 3 && raw_fits)
            return Compression::Raw;
    }
    return std::nullopt;
}

enum class Fit { Whole, Cut, Followed, Kept, Wrong };

// Whether the claimed place holds the composite: Whole when its bytes add up; Cut when its count table reads as the
// composite's but claims more than the file has, Followed when less; Kept when it may (a damaged table) and nothing
// better is found; Wrong when it cannot.
Fit CheckClaimed(ByteWindow& in, uint64_t at, Compression compression, const Geometry& g, bool chained) {
    const uint64_t size = in.Size();
    const uint64_t data = at + 2;
    switch (compression) {
        case Compression::Raw:
            if (data + g.raw_size == size)
                return Fit::Whole;
            return data + g.raw_size > size && chained ? Fit::Cut : Fit::Kept;
        case Compression::Rle: {
            uint64_t sum = 0;
            if (data + g.table_size <= size && SumTable(in, data, g, &sum) && sum == size - data - g.table_size)
                return Fit::Whole;
            switch (CheckTableEnd(in, data, g)) {
                case TableEnd::Cut:
                    return Fit::Cut;
                case TableEnd::Followed:
                    return Fit::Followed;
                case TableEnd::Unknown:
                    return Fit::Kept;
            }
            return Fit::Kept;
        }
        case Compression::Zip:
        case Compression::ZipPredicted: {
            // A layer channel's stream begins just like the composite's but ends long before giving all the samples.
            if (data + 2 <= size && !ZlibHeaderAt(in, data))
                return Fit::Wrong;
            const Inflation probe = Inflate(in, data, std::min(g.raw_size, kZipProbe));
            if (probe.ended && probe.produced < g.raw_size)
                return Fit::Wrong;
            return probe.failed ? Fit::Kept : Fit::Whole;
        }
    }
    return Fit::Wrong;
}

// The composite's start found from the end of the file, and how it is stored; nullopt when nothing fits.
std::optional<std::pair<uint64_t, Compression>> FindFromEnd(ByteWindow& in,
                                                            const CompositeSearch& search,
                                                            const Geometry& g,
                                                            uint64_t raw_floor) {
    // A count table or a zlib stream found from the end proves itself. Raw rows prove nothing: they are looked for
    // only past everything else that was found.
    if (const std::optional<uint64_t> rle = FindRleFromEnd(in.Source(), g, search.floor))
        return std::pair{*rle, Compression::Rle};
    uint16_t word = 0;
    if (const std::optional<uint64_t> zip = FindZipFromEnd(in.Source(), g, search.floor); zip && in.U16(*zip, &word))
        return std::pair{*zip, static_cast<Compression>(word)};
    const uint64_t size = in.Size();
    if (size >= g.raw_size + 2 && size - g.raw_size - 2 >= raw_floor && in.U16(size - g.raw_size - 2, &word) &&
        word == 0)
        return std::pair{size - g.raw_size - 2, Compression::Raw};
    return std::nullopt;
}

}  // namespace

std::optional<ChannelBlock> FindComposite(ByteWindow& in,
                                          const CompositeSearch& search,
                                          std::vector<std::string>* notes) {
    const PsdHeader& h = search.header;
    const Geometry g = GeometryOf(h);
    const uint64_t size = in.Size();
    auto block_at = [&](uint64_t at, Compression compression) {
        ChannelBlock block;
        block.data_offset = at + 2;
        block.data_end = compression == Compression::Raw ? at + 2 + g.raw_size : std::max(size, at + 2);
        block.compression = compression;
        block.channels = h.channels;
        block.rows = h.height;
        block.width = h.width;
        block.depth = h.depth;
        block.large = h.IsLarge();
        block.ends_the_file = true;
        return block;
    };
    std::optional<ChannelBlock> kept;
    uint16_t word = 0;
    if (search.claimed && search.claimed_chained && in.U16(*search.claimed, &word)) {
        if (const std::optional<Compression> stored = ReadThroughDamagedWord(in, *search.claimed, word, g)) {
            notes->push_back("the composite's compression word is damaged (it reads " + std::to_string(word) +
                             "): its rows read as " + CompressionName(*stored));
            return block_at(*search.claimed, *stored);
        }
    }
    bool cut = false;
    auto cut_note = [&] {
        return kept->compression == Compression::Rle && size < kept->data_offset + g.table_size
                   ? "the file is cut inside the composite's count table"
                   : "the file is cut inside the composite";
    };
    if (search.claimed && in.U16(*search.claimed, &word) && word <= 3) {
        const auto compression = static_cast<Compression>(word);
        const Fit fit = CheckClaimed(in, *search.claimed, compression, g, search.claimed_chained);
        if (fit != Fit::Wrong)
            kept = block_at(*search.claimed, compression);
        cut = fit == Fit::Cut;
        if (fit == Fit::Followed)
            notes->push_back(
                "the composite's counts add up to fewer bytes than follow them: bytes were inserted among its "
                "rows or follow them");
        if (cut && compression != Compression::Raw)
            notes->push_back(cut_note());
        // Raw rows cut short prove nothing of themselves, and zeroed bytes chain as empty sections to a raw word:
        // a count table or a zlib stream found from the end goes before them.
        if (fit == Fit::Whole || fit == Fit::Followed || (cut && compression != Compression::Raw))
            return kept;
    }
    if (search.claimed && !kept && size > *search.claimed + 2)
        notes->push_back("no composite begins where the layer section ends");
    // A place the sections chained to is kept before raw rows found from the end, unless it holds raw rows too and
    // those found from the end lie past it (bytes came into the layer section, or its length shrank).
    uint64_t raw_floor = search.raw_floor;
    if (kept && search.claimed_chained)
        raw_floor = kept->compression == Compression::Raw ? std::max(raw_floor, *search.claimed) : UINT64_MAX;
    if (const auto found = FindFromEnd(in, search, g, raw_floor)) {
        if (!search.claimed || found->first != *search.claimed)
            notes->push_back("the composite was found from the end of the file, at " + std::to_string(found->first));
        return block_at(found->first, found->second);
    }
    // A place nothing chained to, whose rows do not add up, holds whatever bytes lie there: they would be passed
    // off as pixels.
    if (kept && search.claimed_chained) {
        notes->push_back(cut ? cut_note()
                             : "the composite's rows do not end at the end of the file: the file is cut or damaged");
        return kept;
    }
    // The last resort, as the layers' own tables end with the same counts where a layer holds the same picture: only
    // past all their data.
    const uint64_t past_layers = search.raw_floor != UINT64_MAX ? search.raw_floor : search.floor;
    if (const std::optional<uint64_t> rle = FindRleByLastRows(in, g, past_layers)) {
        notes->push_back(
            "the composite's start is lost; its last rows were found from the end of the file, their "
            "count table ending at " +
            std::to_string(*rle + 2 + g.table_size));
        return block_at(*rle, Compression::Rle);
    }
    notes->push_back("no composite was found");
    return std::nullopt;
}

std::optional<uint64_t> FindRleCompositeAnywhere(ByteWindow& in, uint64_t from) {
    constexpr uint64_t kRowsAgreeing = 8;
    // Tables walked from places that only look like one end within a few entries in any picture; bytes made to
    // look like many long ones stop the search after a few passes over the file.
    uint64_t budget = 4 * in.Size();
    ByteWindow scan(in.Source(), kScanWindow);
    for (uint64_t low = from; low + 2 < in.Size() && budget != 0; low += kScanStep) {
        size_t got = 0;
        const uint8_t* bytes = scan.Peek(low, kScanWindow, &got);
        for (size_t i = 0; i + 1 < got && i < kScanStep; ++i) {
            if (bytes[i] != 0 || bytes[i + 1] != 1)
                continue;
            const uint64_t table = low + i + 2;
            for (const bool large : {false, true}) {
                const uint64_t entries = MeasureCountTable(in, table, large, &budget);
                uint64_t at = table + entries * (large ? 4 : 2), row_bytes = 0, agreeing = 0;
                for (uint64_t row = 0; row < entries && agreeing < kRowsAgreeing; ++row, ++agreeing) {
                    uint64_t count = 0;
                    Entry(in, table + row * (large ? 4 : 2), large, &count);
                    const std::optional<uint64_t> decoded = DecodedRowSize(in, at, count);
                    if (!decoded || *decoded == 0 || (row_bytes != 0 && *decoded != row_bytes))
                        break;
                    row_bytes = *decoded;
                    at += count;
                }
                if (entries != 0 && agreeing >= std::min(entries, kRowsAgreeing))
                    return table - 2;
            }
        }
    }
    return std::nullopt;
}

uint64_t MeasureCountTable(ByteWindow& in, uint64_t table, bool large, uint64_t* budget) {
    const uint64_t size = in.Size();
    const uint64_t entry = large ? 4 : 2;
    uint64_t sum = 0;
    // Each entry read moves the table's end and adds its count, so the loop ends within size / entry steps.
    for (uint64_t n = 1; table + n * entry <= size; ++n) {
        uint64_t count = 0;
        // No row is stored in fewer than 2 bytes; 4-byte entries read as 2-byte ones give every other count 0.
        if (!Entry(in, table + (n - 1) * entry, large, &count) || count < 2 || (budget && *budget == 0))
            return 0;
        if (budget)
            --*budget;
        sum += count;
        const uint64_t used = table + n * entry + sum;
        if (used == size)
            return n;
        if (used > size)
            return 0;
    }
    return 0;
}

std::optional<uint64_t> PackBitsDecodedSize(const uint8_t* data, size_t size) {
    uint64_t produced = 0;
    for (size_t i = 0; i < size;) {
        const PackBitsToken token = ReadPackBitsToken(data[i]);
        if (token.length > size - i)
            return std::nullopt;
        i += token.length;
        produced += token.made;
    }
    return produced;
}

std::optional<uint64_t> DecodedRowSize(ByteWindow& in, uint64_t offset, uint64_t count) {
    // The widest row: 300000 samples of 4 bytes, PackBits' worst case on top.
    const uint64_t kMaxRowCount = MaxPackBitsRowLength(uint64_t{kMaxPsbSide} * 4);
    size_t got = 0;
    if (count <= kInflateChunk) {
        const uint8_t* row = in.Peek(offset, static_cast<size_t>(count), &got);
        return got == count ? PackBitsDecodedSize(row, got) : std::nullopt;
    }
    if (count > kMaxRowCount)
        return std::nullopt;
    std::vector<uint8_t> row(static_cast<size_t>(count));
    return in.Read(offset, row.data(), row.size()) ? PackBitsDecodedSize(row.data(), row.size()) : std::nullopt;
}

Inflation Inflate(ByteWindow& in, uint64_t offset, uint64_t limit) {
    Inflation result;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        result.failed = true;
        return result;
    }
    std::vector<uint8_t> out(kInflateChunk);
    int status = Z_OK;
    while (status == Z_OK && result.produced < limit) {
        size_t got = 0;
        const uint8_t* bytes = in.Peek(offset, kInflateChunk, &got);
        if (got == 0)
            break;
        stream.next_in = const_cast<uint8_t*>(bytes);
        stream.avail_in = static_cast<uInt>(got);
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            result.produced += out.size() - stream.avail_out;
        } while (status == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0) && result.produced < limit);
        offset += got - stream.avail_in;
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    result.ended = status == Z_STREAM_END;
    result.failed = status != Z_OK && status != Z_STREAM_END;
    return result;
}

std::optional<uint64_t> InflatedSize(ByteWindow& in, uint64_t offset, uint64_t limit) {
    const Inflation inflation = Inflate(in, offset, limit + 1);
    if (!inflation.ended || inflation.produced > limit)
        return std::nullopt;
    return inflation.produced;
}

bool ZlibHeaderAt(ByteWindow& in, uint64_t offset) {
    uint8_t b[2];
    return in.Read(offset, b, 2) && ZlibHeader(b[0], b[1]);
}
