#pragma once

#include <memory>
#include <string>

#include "framework/file_system.h"

// Reads through another file system and writes nothing: every name is free and what is written to a picture goes
// nowhere, so a carve through it tells what `recover` would write without a file or folder appearing. `scan` is
// the very same carver.
class DiscardingFileSystem final : public FileSystem {
  public:
    explicit DiscardingFileSystem(FileSystem& reader) : reader_(reader) {}

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override { return reader_.OpenRead(path); }
    CreateOutcome CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) override;
    bool WriteAtomic(const std::string&, const void*, size_t) override { return false; }
    bool ReplacementRefused() const override { return false; }
    bool OverwriteInPlace(const std::string&, const void*, size_t) override { return false; }
    bool Exists(const std::string&) override { return false; }
    bool MakeDirectory(const std::string&) override { return true; }
    bool IsRealFolder(const std::string&) override { return true; }
    bool Remove(const std::string&) override { return false; }
    std::optional<uint64_t> SizeOf(const std::string& path) override { return reader_.SizeOf(path); }
    std::string LastError() const override { return reader_.LastError(); }

  private:
    FileSystem& reader_;
};
