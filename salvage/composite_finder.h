#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "salvage/byte_window.h"
#include "salvage/channel_block.h"
#include "salvage/psd_header.h"

// The composite: the document's channels, one after another, from a compression word to the end of the file.

struct CompositeSearch {
    PsdHeader header;
    std::optional<uint64_t> claimed;  // the compression word where the walk from the front put it
    bool claimed_chained = false;     // every part before it was read through and ended exactly there
    uint64_t floor = 0;               // nothing of the composite lies before this (the layer section's start)
    uint64_t raw_floor = 0;           // past every part found before it: raw rows found from the end lie beyond
};

// The composite's block. The claimed place is taken when its bytes add up (an RLE count table whose entries sum
// exactly to the bytes after it, raw rows that end exactly at the end of the file, a zlib header), or when the
// sections before it chained to it exactly (the file is then cut there, or its count table is damaged: the decoder
// rebuilds it); otherwise the composite is looked for from the end of the file, and failing that the claimed place
// is kept. nullopt when there is none; `*notes` says what was done.
std::optional<ChannelBlock> FindComposite(ByteWindow& in,
                                          const CompositeSearch& search,
                                          std::vector<std::string>* notes);

// The first compression word of an RLE composite from `from` on, found by its count table alone (its entries add up
// exactly to the end of the file, its first rows decode to one length): for a document whose header and sections
// are lost, so that nothing gives the picture's shape. nullopt when there is none.
std::optional<uint64_t> FindRleCompositeAnywhere(ByteWindow& in, uint64_t from);

// The number of entries of a count table at `table` (2-byte entries, 4 in a PSB) that add up exactly to the bytes
// between the table's end and the file's end; 0 when no prefix of the entries does, or when more entries than
// `*budget` (which counts down) would be read.
uint64_t MeasureCountTable(ByteWindow& in, uint64_t table, bool large, uint64_t* budget = nullptr);

// The bytes that PackBits-decoding exactly `size` bytes gives; nullopt when a run reaches past them. (The decode
// stage has the full decoder; this only measures, for the header's rebuild and the composite's checks.)
std::optional<uint64_t> PackBitsDecodedSize(const uint8_t* data, size_t size);
// The same for the `count` bytes of a row at `offset`; nullopt also when they are not all there or are more than
// any row can take.
std::optional<uint64_t> DecodedRowSize(ByteWindow& in, uint64_t offset, uint64_t count);

struct Inflation {
    uint64_t produced = 0;  // bytes inflated, stopping at the limit
    bool ended = false;     // the stream ended (and its checksum held)
    bool failed = false;    // the stream is damaged
};
// Inflates the zlib stream at `offset` until it ends, fails, runs out of file or has given `limit` bytes. Memory is
// a fixed buffer whatever the stream claims.
Inflation Inflate(ByteWindow& in, uint64_t offset, uint64_t limit);
// The bytes a zlib stream at `offset` inflates to, when it ends and gives no more than `limit`; nullopt otherwise.
std::optional<uint64_t> InflatedSize(ByteWindow& in, uint64_t offset, uint64_t limit);

// True when the two bytes at `offset` are a zlib stream header (deflate, no preset dictionary).
bool ZlibHeaderAt(ByteWindow& in, uint64_t offset);
