#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "companions/setup/setup_machine.h"
#include "framework/stdio_file_system.h"

// Where the setup puts things. The tests give folders of their own and an entry name of their own.
struct SetupLocations {
    std::string windows;
    std::string program_files;
    std::string start_menu;
    std::string entry_key = "Tolvane";  // below ...\CurrentVersion\Uninstall
    std::string user_start{};           // the user's Pictures folder, else Documents; empty when neither is there
};

// The system's own folders for the current user.
SetupLocations SystemLocations();

// The setup's operations on a real Windows machine. COM must be initialised on the calling thread (shortcuts).
class Win32SetupMachine final : public SetupMachine {
  public:
    // `running_program` is the setup's own file: an uninstall running from the folder it removes cannot delete it,
    // so its removal (and its folder's) is left to the next restart.
    Win32SetupMachine(SetupLocations locations, std::string running_program);

    std::string WindowsDirectory() override { return locations_.windows; }
    std::string ProgramFilesDirectory() override { return locations_.program_files; }
    std::string StartMenuProgramsDirectory() override { return locations_.start_menu; }
    std::string UserStartDirectory() override { return locations_.user_start; }
    bool Exists(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
    bool CopyNew(const std::string& from, const std::string& to) override;
    bool MakeFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    std::optional<std::string> ReadSmallFile(const std::string& path, size_t limit) override;
    bool CreateNewFile(const std::string& path, const std::string& bytes) override;
    bool ReplaceFile(const std::string& path, const std::string& bytes) override;
    bool GrantUsersWrite(const std::string& path) override;
    bool CreateShortcut(const std::string& link,
                        const std::string& target,
                        const std::string& description,
                        const std::string& start_in) override;
    bool UninstallEntryExists() override;
    bool WriteUninstallEntry(const UninstallEntry& entry, std::string* hive) override;
    bool RemoveUninstallEntry(const std::string& hive) override;
    MachineError LastError() const override { return error_; }

    // The removal's copy in %TEMP% works while the setup that started it still runs, waiting for its answer: that
    // setup's own file, and the folders it is in, can go only once it has ended. Until RemoveLeftForLater they count
    // as removed.
    void LeaveForLater(const std::string& path) { held_ = path; }
    // Removes what was left for later, the file before its folders (a folder that is not empty stays); the file
    // goes at the next restart when it cannot go now. False when it cannot go at all.
    bool RemoveLeftForLater();

  private:
    bool Fail(DWORD code);
    bool FailWith(DWORD code, const std::string& reason);
    // Deletes a file; when it is in use and `may_wait_for_restart`, Windows deletes it at the next restart.
    bool Delete(const std::string& path, bool may_wait_for_restart);
    bool HoldsOnlyWhatWasRemoved(const std::string& folder);
    bool Contains(const std::set<std::string>& names, const std::string& folder) const;
    std::string EntryKey() const;

    SetupLocations locations_;
    std::string running_program_;
    StdioFileSystem files_;
    std::set<std::string> removed_;  // lower case: what this run deleted, which may linger while others hold it
    std::set<std::string> left_for_restart_;
    std::string held_;             // the file left for later, while its program runs
    std::set<std::string> later_;  // lower case: the file and the folders left for later, once removed
    std::vector<std::string> later_folders_;
    MachineError error_;
};

// The system's text for an error code, without its line break.
std::string SystemMessage(DWORD code);
