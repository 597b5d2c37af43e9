#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "installer/sfx_format.h"

// Called by ExtractAll after each entry, also after one whose file could not be created. `context` is the value
// given to ExtractAll.
using ExtractCallback = void (*)(const SfxEntry& entry, void* context);

// The separator ExtractAll puts between the folder and a name when the folder does not end with one.
#ifdef _WIN32
constexpr char kSfxSeparator = '\\';
#else
constexpr char kSfxSeparator = '/';
#endif

// Reads the directory at the end of an installer archive and writes the stored files into a folder.
//
// A directory is accepted only when every entry can be written safely: at most 256 entries, each a bare file name
// (not empty, not . or .., no \ / : or zero byte, under 1,000 bytes) whose bytes lie between the start of the file
// and the start of the directory. Anything else refuses the whole archive with BadDirectory before a file is written.
class SfxArchive {
  public:
    static constexpr uint32_t MaxEntries = kSfxMaxEntries;

    SfxArchive() = default;
    virtual ~SfxArchive() = default;

    // Reads the directory of the archive at `path` into the table; the table is emptied first, and stays empty unless
    // the result is Ok. OpenFailed, NoTrailer, NoEntries, BadDirectory or ReadFailed.
    [[nodiscard]] SfxResult ReadDirectory(const std::string& path);
    // The same on a file already open for reading; its position is left anywhere.
    [[nodiscard]] SfxResult ReadDirectory(std::FILE* archive);

    // Reads the directory of `archive_path` afresh and writes every entry into `folder`, the last entry first, calling
    // `callback` (if not null) after each. A separator is added to `folder` when it does not end with one; an empty
    // `folder` is the current one. OwnArchive, before anything is written, when an entry's file in `folder` is the
    // archive itself (under its own name or another link to it).
    //
    // An entry whose file cannot be created is skipped and counted in skipped(); the others are still written and
    // the result stays Ok. So is an entry whose name is taken by something that is not a regular file (a symbolic
    // link, a reparse point, a FIFO), which is never written through. A read or write error, or an archive that ends
    // before an entry's last byte, stops the extraction with ReadFailed, WriteFailed or SourceEnded; failed_path()
    // names the file being written.
    [[nodiscard]] SfxResult ExtractAll(const std::string& archive_path,
                                       std::string folder,
                                       ExtractCallback callback,
                                       void* context);

    // Writes entry `index` of the table as `folder` + its name; `folder` ends with a separator. `source` is the
    // archive, open for reading. An existing file is replaced. When the copy fails the output file is removed, so a
    // short file never stays behind looking complete. Ok, CreateFailed, ReadFailed, WriteFailed or SourceEnded;
    // BadDirectory when `index` is not below count().
    [[nodiscard]] SfxResult ExtractEntry(std::FILE* source, uint32_t index, const std::string& folder);

    // The directory in directory order; entries from count() on are empty.
    const std::array<SfxEntry, MaxEntries>& entries() const { return entries_; }
    uint32_t count() const { return count_; }

    // The file the last failure concerned: the archive for OpenFailed, ReopenFailed and a read error in the
    // directory; the output file for CreateFailed and for failures while copying an entry.
    const std::string& failed_path() const { return failed_path_; }
    // Why the last BadDirectory was given (a fixed text), else nullptr.
    const char* refusal() const { return refusal_; }
    // The system's reason when the file named by failed_path() could not be opened or created; else empty.
    const std::string& reason() const { return reason_; }
    // Entries the last ExtractAll could not create.
    uint32_t skipped() const { return skipped_; }

  private:
    void Reset();
    SfxResult Refuse(const char* reason);
    SfxResult ReadEntries(std::FILE* archive, uint64_t file_size);
    SfxResult CheckExtents(uint64_t directory_start);
    SfxResult CheckNamesDiffer();
    SfxResult CheckNotOverArchive(const std::string& archive_path, const std::string& folder);

    std::array<SfxEntry, MaxEntries> entries_;
    uint32_t count_ = 0;
    std::string failed_path_;
    std::string reason_;
    const char* refusal_ = nullptr;
    uint32_t skipped_ = 0;
};
