#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "salvage/channel_block_reader.h"
#include "tests/support/psd_builder.h"

namespace {

// Rows of runs of random length, so that rows differ and so do their PackBits lengths (max_run 1: noise, which
// deflate cannot shrink).
std::vector<uint8_t> VariedRows(size_t size, unsigned seed, unsigned max_run) {
    std::vector<uint8_t> rows;
    uint32_t state = seed * 2654435761u + 1;
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    while (rows.size() < size)
        rows.insert(rows.end(), 1 + next() % max_run, static_cast<uint8_t>(next()));
    rows.resize(size);
    return rows;
}

// A zlib stream of `data` flushed fully every `segment` bytes, so that deflate blocks end at known rows; `flushes`
// gets where each flush ends in the stream.
std::vector<uint8_t> DeflateInSegments(const std::vector<uint8_t>& data, size_t segment, std::vector<size_t>* flushes) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(compressBound(static_cast<uLong>(data.size())) + 64 * (data.size() / segment + 1));
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    for (size_t at = 0; at < data.size(); at += segment) {
        z.next_in = const_cast<uint8_t*>(data.data() + at);
        z.avail_in = static_cast<uInt>(std::min(segment, data.size() - at));
        deflate(&z, at + segment < data.size() ? Z_FULL_FLUSH : Z_FINISH);
        flushes->push_back(z.total_out);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

enum class Edit { Overwrite, Insert, Delete, Cut };
enum class Base { Row, Table, Flush };  // a stored row's first byte, a count entry, the end of a ZIP flush

struct Damage {
    Edit edit;
    Base base;
    size_t index;  // which row, entry or flush
    long delta;    // bytes from there
    size_t length = 0;
    uint8_t value = 0x5a;
};

struct Case {
    const char* name;
    Compression compression;
    uint16_t depth;
    uint32_t width, rows;
    std::vector<Damage> damages;  // applied in order: later ones first in the file
    std::vector<LostRows> lost;
    unsigned max_run = 6;
    bool large = false;
    bool claimed_end = false;  // the block's end stays where it was, as a layer record would tell it
    bool loose = false;        // rows as other writers store them (1-byte literals, a no-op at each row's end)
    bool smooth = false;       // rows of a picture, which change slowly, instead of noise
};

TEST(ChannelBlockReader, GivesBackEveryRowThatSurvivedAndNamesTheRest) {
    constexpr uint32_t kChannels = 3;
    const std::vector<LostRows> none;
    const std::vector<LostRows> every = {{0, 0, 11}, {1, 0, 11}, {2, 0, 11}};
    // clang-format off
    const Case cases[] = {
        {"rle intact", Compression::Rle, 8, 40, 12, {}, none},
        {"rle overwritten", Compression::Rle, 8, 40, 12, {{Edit::Overwrite, Base::Row, 5, 0, 6}}, {{0, 4, 6}}},
        {"rle overwritten across rows", Compression::Rle, 8, 40, 12, {{Edit::Overwrite, Base::Row, 14, -4, 9}},
         {{1, 0, 3}}},
        // The row before any damage goes too, and after an overwrite the row found again: their literals may hold
        // the damage's first or last bytes undetectably.
        {"rle inserted", Compression::Rle, 8, 40, 12, {{Edit::Insert, Base::Row, 15, 7, 17}}, {{1, 2, 3}}},
        {"rle deleted", Compression::Rle, 8, 40, 12, {{Edit::Delete, Base::Row, 20, 2, 5}}, {{1, 7, 8}}},
        {"rle deleted across rows", Compression::Rle, 8, 40, 12, {{Edit::Delete, Base::Row, 20, 9, 60}},
         {{1, 7, 10}}},
        {"rle inserted and overwritten", Compression::Rle, 8, 40, 12,
         {{Edit::Overwrite, Base::Row, 28, 0, 4, 0}, {Edit::Insert, Base::Row, 3, 5, 100}}, {{0, 2, 3}, {2, 3, 5}}},
        {"rle zeroed count table", Compression::Rle, 8, 40, 12, {{Edit::Overwrite, Base::Table, 0, 0, 72, 0}}, none},
        {"rle overwritten count entries", Compression::Rle, 8, 40, 12,
         {{Edit::Overwrite, Base::Table, 30, 0, 2, 0x01}, {Edit::Overwrite, Base::Table, 4, 1, 5, 0x33}}, none},
        {"rle zeroed table and rows", Compression::Rle, 8, 40, 12,
         {{Edit::Overwrite, Base::Row, 33, 3, 30, 0}, {Edit::Overwrite, Base::Table, 0, 0, 72, 0}}, every},
        {"rle cut in a row", Compression::Rle, 16, 20, 12, {{Edit::Cut, Base::Row, 17, 9}}, {{1, 5, 11}, {2, 0, 11}}},
        {"rle cut in the table", Compression::Rle, 8, 40, 12, {{Edit::Cut, Base::Table, 20, 1}}, every},
        // Rows of one length: nothing but the block's end can place rows after an insertion.
        {"rle equal rows, end claimed", Compression::Rle, 8, 40, 12, {{Edit::Insert, Base::Row, 15, 7, 17}},
         {{1, 3, 11}, {2, 0, 11}}, 1, false, true},
        {"rle equal rows, end found", Compression::Rle, 8, 40, 12, {{Edit::Insert, Base::Row, 15, 7, 17}},
         {{1, 3, 4}}, 1},
        {"psb rle", Compression::Rle, 32, 9, 12, {{Edit::Insert, Base::Row, 26, 4, 3}}, {{2, 1, 2}}, 6, true},
        {"psb rle zeroed counts", Compression::Rle, 8, 40, 12, {{Edit::Overwrite, Base::Table, 9, 0, 12, 0}}, none,
         6, true},
        {"bitmap rle", Compression::Rle, 1, 70, 12, {{Edit::Overwrite, Base::Row, 2, 0, 3, 0x7f}}, {{0, 1, 3}}},
        {"raw cut", Compression::Raw, 8, 10, 12, {{Edit::Cut, Base::Row, 26, 3}}, {{2, 2, 11}}},
        {"rle of another writer", Compression::Rle, 8, 40, 12, {{Edit::Insert, Base::Row, 15, 7, 17}}, {{1, 2, 3}},
         6, false, false, true},
        // Raw rows say nothing of themselves: the picture's smoothness places the rows after bytes inserted or
        // deleted, and the rows that could have held them go.
        {"raw inserted", Compression::Raw, 8, 40, 12, {{Edit::Insert, Base::Row, 15, 7, 5}}, {{1, 3, 3}}, 6, false,
         false, false, true},
        {"raw deleted", Compression::Raw, 16, 40, 12, {{Edit::Delete, Base::Row, 20, 6, 4}}, {{1, 7, 10}}, 6, false,
         false, false, true},
        {"zip intact", Compression::Zip, 8, 1024, 32, {}, none, 1},
        {"zip cut", Compression::Zip, 8, 1024, 32, {{Edit::Cut, Base::Flush, 2, 3}}, {{1, 16, 31}, {2, 0, 31}}, 1},
        {"zip damaged", Compression::Zip, 8, 1024, 32, {{Edit::Overwrite, Base::Flush, 3, -4, 4}},
         {{1, 16, 31}, {2, 0, 31}}, 1},
        {"zip checksum wrong", Compression::Zip, 8, 1024, 32, {{Edit::Overwrite, Base::Flush, 5, -2, 1}},
         {{0, 0, 31}, {1, 0, 31}, {2, 0, 31}}, 1},
        {"zip predicted 8", Compression::ZipPredicted, 8, 33, 12, {}, none},
        {"zip predicted 16", Compression::ZipPredicted, 16, 33, 12, {}, none},
        {"zip predicted 32", Compression::ZipPredicted, 32, 33, 12, {}, none},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t row_bytes = RowBytes(c.width, c.depth);
        DocumentPlan plan;
        plan.header = {static_cast<uint16_t>(c.large ? 2 : 1),           kChannels, c.rows, c.width, c.depth,
                       c.depth == 1 ? ColorMode::Bitmap : ColorMode::Rgb};
        plan.composite_compression = c.compression;
        plan.loose_packbits = c.loose;
        for (unsigned k = 0; k < kChannels; ++k)
            plan.composite.push_back(c.smooth ? SmoothRows(c.width, c.rows, c.depth, k)
                                              : VariedRows(row_bytes * c.rows, k + 7 * c.depth, c.max_run));
        BuiltPsd built = BuildPsd(plan);
        std::vector<uint8_t>& bytes = built.bytes;
        std::vector<size_t> flushes;
        if (c.compression == Compression::Zip) {
            std::vector<uint8_t> all;
            for (const auto& channel : plan.composite)
                all.insert(all.end(), channel.begin(), channel.end());
            bytes.resize(built.composite_rows_offset);
            const std::vector<uint8_t> stream = DeflateInSegments(all, 16 * row_bytes, &flushes);
            bytes.insert(bytes.end(), stream.begin(), stream.end());
        }
        const uint64_t original_end = bytes.size();
        for (const Damage& d : c.damages) {
            const size_t base = d.base == Base::Row     ? built.composite_row_offsets[d.index]
                                : d.base == Base::Table ? built.image_data_offset + 2 + d.index * (c.large ? 4 : 2)
                                                        : built.composite_rows_offset + flushes[d.index];
            const auto at = bytes.begin() + static_cast<long>(base) + d.delta;
            if (d.edit == Edit::Overwrite)
                std::fill_n(at, d.length, d.value);
            else if (d.edit == Edit::Insert)
                bytes.insert(at, d.length, d.value);
            else if (d.edit == Edit::Delete)
                bytes.erase(at, at + static_cast<long>(d.length));
            else
                bytes.erase(at, bytes.end());
        }
        ChannelBlock block;
        block.data_offset = built.image_data_offset + 2;
        const bool cut = !c.damages.empty() && c.damages.back().edit == Edit::Cut;
        block.data_end = cut || c.claimed_end ? original_end : bytes.size();
        block.compression = c.compression;
        block.channels = kChannels;
        block.rows = c.rows;
        block.width = c.width;
        block.depth = c.depth;
        block.large = c.large;
        block.ends_the_file = c.smooth;
        MemoryByteSource source(bytes.data(), bytes.size());
        const auto reader = ChannelBlockReader::Open(source, block);
        EXPECT_EQ(reader->Lost(), c.lost);
        // Row y of every channel in turn, as the assembler asks; what comes back must be the original bytes.
        std::vector<uint8_t> row(row_bytes);
        for (uint32_t y = 0; y < c.rows; ++y) {
            for (uint32_t k = 0; k < kChannels; ++k) {
                const bool whole = reader->ReadRow(k, y, row.data());
                EXPECT_EQ(whole, !IsLost(c.lost, k, y)) << "channel " << k << " row " << y;
                if (whole) {
                    EXPECT_TRUE(std::equal(row.begin(), row.end(), plan.composite[k].begin() + y * row_bytes))
                        << "channel " << k << " row " << y;
                }
            }
        }
    }
}

// A header that claims the largest document in a file of a few bytes reads nothing and allocates little.
TEST(ChannelBlockReader, HugeClaimsInATinyFileLoseEverythingCheaply) {
    const std::vector<uint8_t> bytes(1024, 0x81);
    MemoryByteSource source(bytes.data(), bytes.size());
    for (Compression compression : {Compression::Raw, Compression::Rle, Compression::Zip}) {
        ChannelBlock block{2, uint64_t{1} << 40, compression, 56, 300000, 300000, 32, true};
        const auto reader = ChannelBlockReader::Open(source, block);
        ASSERT_EQ(reader->Lost().size(), 56u);
        EXPECT_EQ(reader->Lost()[55], (LostRows{55, 0, 299999}));
    }
}

}  // namespace
