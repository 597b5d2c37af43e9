#include "framework/stdio_file_system.h"

#include <sys/stat.h>
#include <cstdio>

#include "framework/file_position.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

UniqueFile OpenFile(const std::string& path, const char* mode) {
    return UniqueFile(std::fopen(path.c_str(), mode));
}

class StdioInputFile final : public InputFile {
  public:
    explicit StdioInputFile(UniqueFile file) : file_(std::move(file)) {}
    size_t Read(void* buffer, size_t size) override { return std::fread(buffer, 1, size, file_.get()); }
    bool Failed() const override { return std::ferror(file_.get()) != 0; }

  private:
    UniqueFile file_;
};

class StdioOutputFile final : public OutputFile {
  public:
    explicit StdioOutputFile(UniqueFile file) : file_(std::move(file)) {}
    bool Write(const void* data, size_t size) override {
        return file_ && std::fwrite(data, 1, size, file_.get()) == size;
    }
    bool Close() override { return file_ && std::fclose(file_.release()) == 0; }

  private:
    UniqueFile file_;
};

}  // namespace

std::unique_ptr<InputFile> StdioFileSystem::OpenRead(const std::string& path) {
    UniqueFile file = OpenFile(path, "rb");
    if (!file)
        return nullptr;
    return std::make_unique<StdioInputFile>(std::move(file));
}

std::unique_ptr<OutputFile> StdioFileSystem::Create(const std::string& path) {
    UniqueFile file = OpenFile(path, "wb");
    if (!file)
        return nullptr;
    return std::make_unique<StdioOutputFile>(std::move(file));
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
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0777) == 0;
#endif
}

bool StdioFileSystem::Remove(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

std::optional<uint64_t> StdioFileSystem::SizeOf(const std::string& path) {
    UniqueFile file = OpenFile(path, "rb");
    uint64_t size = 0;
    if (!file || !FileSizeBySeeking(file.get(), &size))
        return std::nullopt;
    return size;
}
