#include "installer/sfx_archive.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "installer/sfx_file.h"

namespace {

constexpr char kRunsPastStart[] = "the directory runs past the start of the file";

bool EndsWithSeparator(const std::string& folder) {
    if (folder.empty())
        return false;
#ifdef _WIN32
    return folder.back() == '\\' || folder.back() == '/';
#else
    return folder.back() == '/';
#endif
}

// Reads the directory from its end towards its start, one field at a time, never before the first byte of the file.
class BackwardReader {
  public:
    BackwardReader(std::FILE* file, uint64_t file_size, uint64_t distance)
        : file_(file), file_size_(file_size), distance_(distance) {}

    // Ok, ReadFailed, or BadDirectory when the field would start before the file does.
    SfxResult Field(void* buffer, size_t size) {
        if (size > file_size_ - distance_)
            return SfxResult::BadDirectory;
        distance_ += size;
        if (!SeekFile(file_, file_size_ - distance_))
            return SfxResult::ReadFailed;
        const SfxResult read = ReadSfxBytes(file_, buffer, size);
        // Only a file that shrinks while it is read ends early here; its directory is as good as missing.
        return read == SfxResult::SourceEnded ? SfxResult::BadDirectory : read;
    }
    SfxResult U32(uint32_t* value) {
        uint8_t bytes[kSfxFieldSize];
        const SfxResult read = Field(bytes, sizeof bytes);
        *value = LoadU32LE(bytes);
        return read;
    }
    // Where the directory's first record starts.
    [[nodiscard]] uint64_t Start() const { return file_size_ - distance_; }

  private:
    std::FILE* file_;
    uint64_t file_size_;
    uint64_t distance_;  // from the end of the file to the last field read; never above file_size_
};

}  // namespace

void SfxArchive::Reset() {
    for (SfxEntry& entry : entries_)
        entry = SfxEntry{};
    count_ = 0;
    refusal_ = nullptr;
    failed_path_.clear();
    reason_.clear();
}

SfxResult SfxArchive::Refuse(const char* reason) {
    refusal_ = reason;
    return SfxResult::BadDirectory;
}

SfxResult SfxArchive::ReadDirectory(const std::string& path) {
    Reset();
    SfxFile archive = OpenSfxSource(path, &reason_);
    if (!archive) {
        failed_path_ = path;
        return SfxResult::OpenFailed;
    }
    const SfxResult result = ReadDirectory(archive.get());
    if (result == SfxResult::ReadFailed)
        failed_path_ = path;
    return result;
}

SfxResult SfxArchive::ReadDirectory(std::FILE* archive) {
    Reset();
    uint64_t file_size = 0;
    if (!FileSizeBySeeking(archive, &file_size))
        return SfxResult::ReadFailed;
    if (file_size < kSfxMagicSize)
        return SfxResult::NoTrailer;
    char magic[kSfxMagicSize];
    BackwardReader trailer(archive, file_size, 0);
    const SfxResult read = trailer.Field(magic, sizeof magic);
    if (read == SfxResult::ReadFailed)
        return read;
    if (read != SfxResult::Ok || std::memcmp(magic, kSfxMagic, kSfxMagicSize) != 0)
        return SfxResult::NoTrailer;
    const SfxResult result = ReadEntries(archive, file_size);
    if (result != SfxResult::Ok) {
        const char* reason = refusal_;
        Reset();
        refusal_ = reason;
    }
    return result;
}

SfxResult SfxArchive::ReadEntries(std::FILE* archive, uint64_t file_size) {
    BackwardReader reader(archive, file_size, kSfxMagicSize);
    uint32_t count = 0;
    SfxResult read = reader.U32(&count);
    if (read != SfxResult::Ok)
        return read == SfxResult::BadDirectory ? Refuse(kRunsPastStart) : read;
    if (count == 0)
        return SfxResult::NoEntries;
    if (count > MaxEntries)
        return Refuse("more than 256 entries");
    char name[kSfxNameBufferSize];
    for (uint32_t i = count; i-- > 0;) {
        uint32_t name_length = 0;
        SfxEntry& entry = entries_[i];
        read = reader.U32(&name_length);
        if (read == SfxResult::Ok && name_length > kSfxMaxNameLength)
            return Refuse("name of 1000 bytes or more");
        if (read == SfxResult::Ok)
            read = reader.Field(name, name_length);
        if (read == SfxResult::Ok)
            read = reader.U32(&entry.size);
        if (read == SfxResult::Ok)
            read = reader.U32(&entry.offset);
        if (read != SfxResult::Ok)
            return read == SfxResult::BadDirectory ? Refuse(kRunsPastStart) : read;
        const std::string_view stored(name, name_length);
        if (const char* reason = SfxNameRefusal(stored))
            return Refuse(reason);
        entry.name.assign(stored);
    }
    count_ = count;
    const SfxResult names = CheckNamesDiffer();
    return names != SfxResult::Ok ? names : CheckExtents(reader.Start());
}

// Windows ignores the case of letters, so two names that differ only there would give one file, the other copy
// silently lost.
SfxResult SfxArchive::CheckNamesDiffer() {
    for (uint32_t i = 1; i < count_; ++i) {
        for (uint32_t j = 0; j < i; ++j) {
            if (SameSfxName(entries_[i].name, entries_[j].name))
                return Refuse("name already stored");
        }
    }
    return SfxResult::Ok;
}

SfxResult SfxArchive::CheckExtents(uint64_t directory_start) {
    for (uint32_t i = 0; i < count_; ++i) {
        const SfxEntry& entry = entries_[i];
        if (entry.offset >= kSfxPositionLimit || entry.size >= kSfxPositionLimit)
            return Refuse("offset or size of 2 GiB or more");
        if (uint64_t{entry.offset} + entry.size > directory_start)
            return Refuse("a stored file runs into the directory");
    }
    return SfxResult::Ok;
}

SfxResult SfxArchive::ExtractAll(const std::string& archive_path,
                                 std::string folder,
                                 ExtractCallback callback,
                                 void* context) {
    skipped_ = 0;
    // An empty folder means the current one; a separator alone would name the root of the drive.
    if (!folder.empty() && !EndsWithSeparator(folder))
        folder += kSfxSeparator;
    SfxResult result = ReadDirectory(archive_path);
    if (result == SfxResult::Ok)
        result = CheckNotOverArchive(archive_path, folder);
    if (result != SfxResult::Ok)
        return result;
    SfxFile source = OpenSfxSource(archive_path, &reason_);
    if (!source) {
        failed_path_ = archive_path;
        return SfxResult::ReopenFailed;
    }
    for (uint32_t index = count_; index-- > 0;) {
        result = ExtractEntry(source.get(), index, folder);
        // The setup program is checked for after extraction, so one file that cannot be created (one still open
        // from an earlier run, say) must not keep the others from being written.
        if (result == SfxResult::CreateFailed)
            ++skipped_;
        else if (result != SfxResult::Ok)
            return result;
        if (callback != nullptr)
            callback(entries_[index], context);
    }
    return SfxResult::Ok;
}

// Opening the entry's file for writing would empty the archive being read: refused before anything is written.
SfxResult SfxArchive::CheckNotOverArchive(const std::string& archive_path, const std::string& folder) {
    const std::optional<FileIdentity> archive = IdentityOf(archive_path);
    for (uint32_t i = 0; archive && i < count_; ++i) {
        const std::string path = folder + entries_[i].name;
        if (IdentityOf(path) == archive) {
            failed_path_ = path;
            return SfxResult::OwnArchive;
        }
    }
    return SfxResult::Ok;
}

SfxResult SfxArchive::ExtractEntry(std::FILE* source, uint32_t index, const std::string& folder) {
    if (index >= count_)
        return Refuse("no such entry");
    const SfxEntry& entry = entries_[index];
    std::string path = folder + entry.name;
    SfxFile output = ReplaceSfxOutput(path, &reason_);
    if (!output) {
        failed_path_ = std::move(path);
        return SfxResult::CreateFailed;
    }
    SfxResult result =
        SeekFile(source, entry.offset) ? CopySfxBytes(source, output.get(), entry.size) : SfxResult::ReadFailed;
    if (!CloseSfxOutput(std::move(output)) && result == SfxResult::Ok)
        result = SfxResult::WriteFailed;
    if (result != SfxResult::Ok) {
        std::remove(path.c_str());
        failed_path_ = std::move(path);
    }
    return result;
}
