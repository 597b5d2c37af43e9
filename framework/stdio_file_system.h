#pragma once

#include "framework/file_system.h"

// Real files through the C runtime's buffered streams, for Windows (MinGW) and POSIX alike.
class StdioFileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<OutputFile> Create(const std::string& path) override;
    bool Exists(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    bool Remove(const std::string& path) override;
    std::optional<uint64_t> SizeOf(const std::string& path) override;
};
