#pragma once

#include <memory>
#include <string>

#include "framework/file_system.h"

// Real files through the C runtime's buffered streams, for Windows (MinGW) and POSIX alike; what streams cannot do
// safely on their own goes through framework/native_file.h.
class StdioFileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    CreateOutcome CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) override;
    bool WriteAtomic(const std::string& path, const void* data, size_t size) override;
    bool ReplacementRefused() const override { return replacement_refused_; }
    bool OverwriteInPlace(const std::string& path, const void* data, size_t size) override;
    bool Exists(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    bool IsRealFolder(const std::string& path) override;
    bool Remove(const std::string& path) override;
    std::optional<uint64_t> SizeOf(const std::string& path) override;
    std::string LastError() const override { return *last_error_; }

  private:
    // Shared with the files opened here, which outlive no call but may outlive the file system object.
    std::shared_ptr<std::string> last_error_ = std::make_shared<std::string>();
    bool replacement_refused_ = false;
};
