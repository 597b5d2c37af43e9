#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "installer/sfx_file.h"
#include "installer/sfx_format.h"

// Writes an installer archive: the executable image (the stub), then the stored files in the order they are added,
// then the directory, the count and the trailer. Offsets are taken as the bytes are written, so the stub's length
// need not be known in advance.
//
// It makes only archives the reader accepts: bare names, at most 256 of them, offsets and sizes below 2 GiB; and it
// refuses a name already stored (ignoring case, as Windows does), since the copy extracted last would silently
// replace the other. The archive is written to a temporary file beside `out_path` and renamed over it only once it
// is complete, so a failed or refused archive leaves an existing file of that name as it was. The first failure is
// final: the temporary file is removed and every later call returns the same result; so is an archive not finished
// when the writer goes away.
class SfxWriter {
  public:
    explicit SfxWriter(std::string out_path);
    ~SfxWriter();
    SfxWriter(const SfxWriter&) = delete;
    SfxWriter& operator=(const SfxWriter&) = delete;

    // Creates the archive file, starting with the stub's bytes: CreateFailed, OpenFailed (stub), ReadFailed,
    // SourceEnded or WriteFailed.
    [[nodiscard]] SfxResult BeginWithStubFile(const std::string& stub_path);
    [[nodiscard]] SfxResult BeginWithStub(std::string_view image);

    // Stores the file at `path` under `name`: BadDirectory for a refused name, count, offset or size; OpenFailed,
    // ReadFailed or SourceEnded for the file; WriteFailed.
    [[nodiscard]] SfxResult AddFile(const std::string& name, const std::string& path);
    [[nodiscard]] SfxResult AddBytes(const std::string& name, std::string_view bytes);

    // Writes the directory, the count and the trailer and closes the archive. No entries make an archive that the
    // reader answers with NoEntries.
    [[nodiscard]] SfxResult Finish();

    const std::vector<SfxEntry>& entries() const { return entries_; }
    // The file the failure concerned: the archive, the stub or the file being stored.
    const std::string& failed_path() const { return failed_path_; }
    // The system's reason when a file could not be opened, created or renamed; else empty.
    const std::string& reason() const { return reason_; }
    // Why BadDirectory was given (a fixed text), else nullptr.
    const char* refusal() const { return refusal_; }

  private:
    SfxResult Begin();
    SfxResult CheckEntry(const std::string& name, uint64_t size);
    SfxResult Fail(SfxResult result, const std::string& path);
    SfxResult Refuse(const char* reason, const std::string& name);
    void RemoveUnfinished();

    std::string out_path_;
    std::string temporary_path_;
    SfxFile out_;
    uint64_t position_ = 0;
    std::vector<SfxEntry> entries_;
    SfxResult failure_ = SfxResult::Ok;
    std::string failed_path_;
    std::string reason_;
    const char* refusal_ = nullptr;
    bool created_ = false;  // the temporary file exists and is not finished
    bool finished_ = false;
};
