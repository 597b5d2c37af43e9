#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/windows_name.h"

// The installer archive, appended behind the installer's executable image:
//
//   image | file data | directory | entry count (u32) | "!ZUNK_SFX!"
//
// A directory record is offset (u32), size (u32), name (L bytes, no terminator), L (u32); all integers are
// little-endian and offsets count from the first byte of the executable. Because L stands behind the name, the
// directory can only be read backwards from the end of the file.

// Every operation of the reader and the writer returns one of these. The first seven values are the codes the
// installer dialog already knows; the three after them tell the copy errors apart, so the dialog can name the file.
enum class SfxResult : int32_t {
    OpenFailed = 1000,  // the archive cannot be opened to read its directory
    NoTrailer = 1001,   // the last 10 bytes of the file are not the trailer magic
    Ok = 1002,
    BadDirectory = 1003,  // the directory is damaged or unsafe; the whole archive is refused
    NoEntries = 1004,     // the entry count is zero
    CreateFailed = 1005,  // an output file cannot be created
    ReopenFailed = 1006,  // the archive cannot be opened a second time for copying
    ReadFailed = 1007,    // the archive (or a file being packed) gave a read error
    WriteFailed = 1008,   // an output file could not be written or flushed: in practice a full disk
    SourceEnded = 1009,   // the archive ended before an entry's last byte: the file changed under us
    OwnArchive = 1010,    // a stored file would be written over the archive itself; the whole archive is refused
};

// A fixed, never-null text for every code (and "unknown result" for any other value); keep it in step with the enum.
const char* ToString(SfxResult result);

constexpr int32_t kFirstSfxResult = 1000;
constexpr int32_t kLastSfxResult = 1010;

struct SfxEntry {
    std::string name;  // a bare file name in the ANSI code page
    uint32_t size = 0;
    uint32_t offset = 0;  // absolute position of the first byte in the archive file
};

constexpr char kSfxMagic[] = "!ZUNK_SFX!";
constexpr size_t kSfxMagicSize = sizeof kSfxMagic - 1;
constexpr size_t kSfxFieldSize = 4;
constexpr size_t kSfxTrailerSize = kSfxFieldSize + kSfxMagicSize;  // entry count and magic
constexpr size_t kSfxRecordFixedSize = 3 * kSfxFieldSize;          // offset, size and name length
constexpr uint32_t kSfxMaxEntries = 256;
// The installer reads a name into a 1,000-byte buffer and makes a C string of it.
constexpr size_t kSfxNameBufferSize = 1000;
constexpr size_t kSfxMaxNameLength = kSfxNameBufferSize - 1;
// Positions are handled as signed 32-bit values by the installer, so no offset or size may reach 2 GiB.
constexpr uint64_t kSfxPositionLimit = uint64_t{1} << 31;

constexpr size_t kSfxMaxComponentLength = kMaxNameComponentLength;

// Why a stored name must not be written into the extraction folder, or nullptr when it is a bare file name that
// Windows can create as it stands, in the extraction folder and nowhere else (WindowsNameRefusal, within the
// installer's name buffer). The reasons are fixed texts for messages.
const char* SfxNameRefusal(std::string_view name);

// Whether two stored names name the same file on Windows, which ignores the case of letters (Windows-1252 names).
bool SameSfxName(std::string_view a, std::string_view b);

// The directory records of `entries` in order, then the entry count and the magic: the bytes that end an archive.
// Checks nothing, so tests can build refused directories with it too.
std::vector<uint8_t> EncodeSfxDirectory(const std::vector<SfxEntry>& entries);

inline uint32_t LoadU32LE(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

inline void AppendU32LE(std::vector<uint8_t>* bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes->push_back(static_cast<uint8_t>(value >> shift));
}
