#include "framework/stdio_file_system.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "framework/file_position.h"
#include "framework/native_file.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

using ErrorSlot = std::shared_ptr<std::string>;

class StdioInputFile final : public InputFile {
  public:
    StdioInputFile(NativeFile file, ErrorSlot error) : file_(std::move(file)), error_(std::move(error)) {}
    size_t Read(void* buffer, size_t size) override {
        const size_t got = std::fread(buffer, 1, size, file_.get());
        if (got < size && std::ferror(file_.get()) != 0)
            *error_ = std::strerror(errno);
        return got;
    }
    bool Failed() const override { return std::ferror(file_.get()) != 0; }

  private:
    NativeFile file_;
    ErrorSlot error_;
};

class StdioOutputFile final : public OutputFile {
  public:
    StdioOutputFile(NativeFile file, ErrorSlot error) : file_(std::move(file)), error_(std::move(error)) {
        if (file_)
            std::setvbuf(file_.get(), buffer_.get(), _IOFBF, kBufferSize);
    }
    bool Write(const void* data, size_t size) override {
        return Check(file_ && std::fwrite(data, 1, size, file_.get()) == size);
    }
    bool Close() override { return Check(file_ && std::fclose(file_.release()) == 0); }

  private:
    bool Check(bool done) {
        if (!done)
            *error_ = std::strerror(errno);
        return done;
    }

    // A picture of up to 64 KiB reaches the system in one write, however many pieces the carver hands over. The
    // buffer outlives the stream, which is declared after it.
    static constexpr size_t kBufferSize = size_t{1} << 16;
    std::unique_ptr<char[]> buffer_{new char[kBufferSize]};  // left uninitialised: the stream fills it
    NativeFile file_;
    ErrorSlot error_;
};

// One buffered write, so a small record reaches the system in one piece; then the disk, then the close, each checked.
bool WriteToDiskAndClose(NativeFile file, const void* data, size_t size, std::string* error) {
    bool done = std::fwrite(data, 1, size, file.get()) == size;
    if (!done)
        *error = std::strerror(errno);
    done = done && FlushToDisk(file.get(), error);
    if (std::fclose(file.release()) != 0 && done) {
        *error = std::strerror(errno);
        done = false;
    }
    return done;
}

}  // namespace

std::unique_ptr<InputFile> StdioFileSystem::OpenRead(const std::string& path) {
    NativeFile file = OpenForReading(path, last_error_.get());
    if (!file)
        return nullptr;
    return std::make_unique<StdioInputFile>(std::move(file), last_error_);
}

CreateOutcome StdioFileSystem::CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) {
    NativeFile created;
    const CreateOutcome outcome = CreateNewFile(path, &created, last_error_.get());
    if (outcome == CreateOutcome::Created)
        *file = std::make_unique<StdioOutputFile>(std::move(created), last_error_);
    return outcome;
}

bool StdioFileSystem::WriteAtomic(const std::string& path, const void* data, size_t size) {
    replacement_refused_ = false;
    NativeFile file;
    std::string temporary;
    if (CreateFileBeside(path, &file, &temporary, last_error_.get()) != CreateOutcome::Created) {
        replacement_refused_ = true;
        return false;
    }
    if (!WriteToDiskAndClose(std::move(file), data, size, last_error_.get())) {
        std::remove(temporary.c_str());
        return false;
    }
    if (!ReplaceByRename(temporary, path, last_error_.get())) {
        replacement_refused_ = true;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool StdioFileSystem::OverwriteInPlace(const std::string& path, const void* data, size_t size) {
    NativeFile file = OpenForOverwriting(path, size, last_error_.get());
    return file && WriteToDiskAndClose(std::move(file), data, size, last_error_.get());
}

bool StdioFileSystem::Exists(const std::string& path) {
#ifdef _WIN32
    struct _stat64 info;
    return _stat64(path.c_str(), &info) == 0;
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0;
#endif
}

bool StdioFileSystem::MakeDirectory(const std::string& path) {
#ifdef _WIN32
    const bool made = _mkdir(path.c_str()) == 0;
#else
    const bool made = mkdir(path.c_str(), 0777) == 0;
#endif
    if (!made)
        *last_error_ = std::strerror(errno);
    return made;
}

bool StdioFileSystem::IsRealFolder(const std::string& path) {
    return ::IsRealFolder(path);
}

bool StdioFileSystem::Remove(const std::string& path) {
    const bool removed = std::remove(path.c_str()) == 0;
    if (!removed)
        *last_error_ = std::strerror(errno);
    return removed;
}

std::optional<uint64_t> StdioFileSystem::SizeOf(const std::string& path) {
    std::string ignored;
    NativeFile file = OpenForReading(path, &ignored);
    uint64_t size = 0;
    if (!file || !FileSizeBySeeking(file.get(), &size))
        return std::nullopt;
    return size;
}
