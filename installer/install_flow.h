#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "installer/sfx_archive.h"

// What the installer dialog shows while the payload is written.
class InstallProgress {
  public:
    virtual ~InstallProgress() = default;
    // After each file: "Extracting " + folder + name, how many files are done and how many there are.
    virtual void EntryExtracted(const std::string& status_text, uint32_t done, uint32_t total) = 0;
};

// Less room than this on the target volume, and nothing is unpacked.
constexpr uint64_t kInstallMinimumFreeKiB = 4520;
// The setup program's path must fit a 100-byte buffer with its terminator.
constexpr size_t kMaxSetupPathLength = 99;

// The command line that starts the setup program: its path in quotes, so a TEMP folder with blanks in its name
// cannot start some other program, then one blank and no arguments. nullopt for a path too long for the installer.
std::optional<std::string> SetupCommandLine(const std::string& setup_path);

// The stop-box text for a copy that failed with `result` while writing `path`; empty for other results.
std::string CopyErrorText(SfxResult result, const std::string& path);

// The Install command: makes the extraction folder under TEMP, checks the free space, unpacks the archive appended
// to the installer's own executable and starts the setup program from there.
class InstallFlow {
  public:
    InstallFlow(Platform& platform, FileSystem& files, std::string own_executable);

    // Returns only when the dialog is to stay open; a message has said why. Once the setup program has been
    // started (or has failed to start) the process ends with exit code 1.
    void Run(InstallProgress* progress);

    // The folder the last Run unpacked into, ending with a separator.
    const std::string& extractionFolder() const { return extraction_folder_; }

  private:
    bool EnoughFreeSpace(const std::string& base_folder);
    bool Extract(InstallProgress* progress);
    void Show(const char* text, MessageIcon icon = MessageIcon::None);
    static void OnEntryExtracted(const SfxEntry& entry, void* context);

    Platform& platform_;
    FileSystem& files_;
    std::string own_executable_;
    SfxArchive archive_;
    std::string extraction_folder_ = "c:\\temp";
    InstallProgress* progress_ = nullptr;
    uint32_t extracted_ = 0;
};
