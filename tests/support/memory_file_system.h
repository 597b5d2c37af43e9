#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/file_system.h"

// Files and folders in memory, with faults to order: reads that fail at an offset, files that cannot be created,
// writes that fail past a size, files that cannot be replaced or removed.
class MemoryFileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    CreateOutcome CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) override;
    bool WriteAtomic(const std::string& path, const void* data, size_t size) override;
    bool ReplacementRefused() const override { return last_write_refused; }
    bool OverwriteInPlace(const std::string& path, const void* data, size_t size) override;
    bool Exists(const std::string& path) override { return files.count(path) != 0 || folders.count(path) != 0; }
    bool MakeDirectory(const std::string& path) override { return !Exists(path) && folders.insert(path).second; }
    bool IsRealFolder(const std::string& path) override { return folders.count(path) != 0; }
    bool Remove(const std::string& path) override { return undeletable.count(path) == 0 && files.erase(path) != 0; }
    std::optional<uint64_t> SizeOf(const std::string& path) override;
    std::string LastError() const override { return "memory fault"; }

    std::map<std::string, std::vector<uint8_t>> files;
    std::set<std::string> folders;
    std::map<std::string, uint64_t> read_error_at;  // path -> offset at which reads fail
    std::set<std::string> uncreatable;
    std::set<std::string> undeletable;
    std::optional<uint64_t> write_limit;  // a write that would take a file past this size fails; WriteAtomic too
    std::set<std::string> unreplaceable;  // their folder takes no temporary file: WriteAtomic is refused
    size_t opened_for_reading = 0;
    size_t in_place_writes = 0;
    bool last_write_refused = false;
};
