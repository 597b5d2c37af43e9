#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace {

class MemoryInput final : public InputFile {
  public:
    MemoryInput(const std::vector<uint8_t>& bytes, std::optional<uint64_t> error_at)
        : bytes_(bytes),
          end_(std::min<uint64_t>(bytes.size(), error_at.value_or(bytes.size()))),
          error_possible_(error_at.has_value() && *error_at < bytes.size()) {}

    size_t Read(void* buffer, size_t size) override {
        const size_t got = static_cast<size_t>(std::min<uint64_t>(size, end_ - std::min(end_, position_)));
        if (got > 0)
            std::memcpy(buffer, bytes_.data() + position_, got);
        position_ += got;
        if (got < size && error_possible_)
            failed_ = true;
        return got;
    }
    bool Failed() const override { return failed_; }

  private:
    const std::vector<uint8_t>& bytes_;
    uint64_t end_;
    bool error_possible_;
    uint64_t position_ = 0;
    bool failed_ = false;
};

class MemoryOutput final : public OutputFile {
  public:
    MemoryOutput(std::vector<uint8_t>* bytes, std::optional<uint64_t> limit) : bytes_(bytes), limit_(limit) {}

    bool Write(const void* data, size_t size) override {
        const auto* begin = static_cast<const uint8_t*>(data);
        if (limit_ && bytes_->size() + size > *limit_) {
            bytes_->insert(bytes_->end(), begin, begin + (*limit_ - std::min<uint64_t>(*limit_, bytes_->size())));
            return false;
        }
        bytes_->insert(bytes_->end(), begin, begin + size);
        return true;
    }
    bool Close() override { return true; }

  private:
    std::vector<uint8_t>* bytes_;
    std::optional<uint64_t> limit_;
};

}  // namespace

std::unique_ptr<InputFile> MemoryFileSystem::OpenRead(const std::string& path) {
    const auto file = files.find(path);
    if (file == files.end())
        return nullptr;
    ++opened_for_reading;
    const auto error = read_error_at.find(path);
    return std::make_unique<MemoryInput>(file->second,
                                         error == read_error_at.end() ? std::nullopt : std::optional(error->second));
}

CreateOutcome MemoryFileSystem::CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) {
    if (Exists(path))
        return CreateOutcome::Taken;
    if (uncreatable.count(path) != 0)
        return CreateOutcome::Failed;
    *file = std::make_unique<MemoryOutput>(&files[path], write_limit);
    return CreateOutcome::Created;
}

bool MemoryFileSystem::WriteAtomic(const std::string& path, const void* data, size_t size) {
    last_write_refused = unreplaceable.count(path) != 0;
    if (last_write_refused || uncreatable.count(path) != 0 || folders.count(path) != 0 ||
        (write_limit && size > *write_limit))
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    files[path].assign(bytes, bytes + size);
    return true;
}

bool MemoryFileSystem::OverwriteInPlace(const std::string& path, const void* data, size_t size) {
    const auto file = files.find(path);
    if (file == files.end() || file->second.size() != size)
        return false;
    ++in_place_writes;
    std::memcpy(file->second.data(), data, size);
    return true;
}

std::optional<uint64_t> MemoryFileSystem::SizeOf(const std::string& path) {
    const auto file = files.find(path);
    if (file == files.end())
        return std::nullopt;
    return file->second.size();
}
