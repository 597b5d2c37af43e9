// The archive directory reader on arbitrary file contents, read through a memory stream so that every byte the
// reader touches lies inside the input. What it accepts must be safe to extract.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "installer/sfx_archive.h"

namespace {

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "accepted directory breaks its promise: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;  // fmemopen needs at least one byte; the empty file is a unit test
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;
    // Kept across inputs, so a refusal that follows an accepted directory must leave the table empty too.
    static SfxArchive archive;
    const SfxResult result = archive.ReadDirectory(file);
    std::fclose(file);
    if (result != SfxResult::Ok) {
        Check(archive.count() == 0, "a refused directory left entries");
        return 0;
    }
    Check(archive.count() >= 1 && archive.count() <= SfxArchive::MaxEntries, "count out of range");
    uint64_t directory = kSfxTrailerSize;
    for (uint32_t i = 0; i < archive.count(); ++i)
        directory += kSfxRecordFixedSize + archive.entries()[i].name.size();
    Check(directory <= size, "directory longer than the file");
    for (uint32_t i = 0; i < archive.count(); ++i) {
        const SfxEntry& entry = archive.entries()[i];
        Check(SfxNameRefusal(entry.name) == nullptr, "unsafe name");
        Check(uint64_t{entry.offset} + entry.size <= size - directory, "stored file runs into the directory");
    }
    return 0;
}
