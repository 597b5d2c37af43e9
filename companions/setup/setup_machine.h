#pragma once

#include <cstddef>
#include <optional>
#include <string>

// What the setup program does to the machine, one small operation each, so that the plan stringing them together
// runs the same against Windows and against the fake of the native tests. Paths are Windows paths in the ANSI code
// page, folders without a trailing backslash unless they are a drive's root.

struct UninstallEntry {
    std::string displayName;
    std::string displayVersion;
    std::string publisher;
    std::string installLocation;
    std::string uninstallString;
};

// Why the last operation that failed failed. Access denied is told apart: the user may then restart the setup
// with administrator rights.
struct MachineError {
    bool access_denied = false;
    std::string reason;  // the system's own words
};

class SetupMachine {
  public:
    virtual ~SetupMachine() = default;

    virtual std::string WindowsDirectory() = 0;
    virtual std::string ProgramFilesDirectory() = 0;
    // The current user's Start menu "Programs" folder.
    virtual std::string StartMenuProgramsDirectory() = 0;
    // A folder of the same user's own, which a user without administrator rights may write: the shortcuts start
    // the programs there, since Tolvane writes its pictures into the current folder unless told otherwise. Empty
    // when there is none.
    virtual std::string UserStartDirectory() = 0;

    // True when anything (file or folder) has that name.
    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsFolder(const std::string& path) = 0;
    // Copies `from` into a new file `to`; fails when `to` exists in any form, a link included.
    virtual bool CopyNew(const std::string& from, const std::string& to) = 0;
    // Makes one folder level; fails when it exists already.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Removes a file; true when it is gone, also when it was gone before.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes a folder only when it is empty; true when it is gone, also when it was gone before.
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    // The whole content of a small file; nullopt when it is missing, unreadable or larger than `limit`.
    virtual std::optional<std::string> ReadSmallFile(const std::string& path, size_t limit) = 0;
    // Creates a new file with these bytes; fails when the name exists.
    virtual bool CreateNewFile(const std::string& path, const std::string& bytes) = 0;
    // Gives a file these bytes through a temporary file beside it and a rename.
    virtual bool ReplaceFile(const std::string& path, const std::string& bytes) = 0;
    // Lets the Users group (every local account) read and write this one file, so that the programs, which run
    // without elevation, can overwrite the record in place. True also where the volume keeps no permissions.
    virtual bool GrantUsersWrite(const std::string& path) = 0;
    // Creates a new shell link `link` to `target`, which starts in `start_in`; fails when `link` exists.
    virtual bool CreateShortcut(const std::string& link,
                                const std::string& target,
                                const std::string& description,
                                const std::string& start_in) = 0;

    virtual bool UninstallEntryExists() = 0;
    // Registers the entry in the system's program list; `*hive` tells where it went ("HKLM" or "HKCU").
    virtual bool WriteUninstallEntry(const UninstallEntry& entry, std::string* hive) = 0;
    virtual bool RemoveUninstallEntry(const std::string& hive) = 0;

    virtual MachineError LastError() const = 0;
};
