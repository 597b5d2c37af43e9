#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "framework/file_system.h"

// The operating system's own file calls behind the stdio file system and the archive code: the few things C streams
// cannot do safely on their own. One implementation for POSIX, one for Windows. Every call that fails leaves its
// reason (the system's error text) in `*error`.

struct NativeFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using NativeFile = std::unique_ptr<std::FILE, NativeFileCloser>;

// Opens a file to read ("rb") without blocking and without locking others out. Only what can be read to an end is
// accepted: a regular file, or a block device such as a disk; a FIFO, socket, folder or character device is refused
// (a FIFO would hang the open, /dev/zero would never end).
NativeFile OpenForReading(const std::string& path, std::string* error);

// Creates a file that does not exist yet and opens it to write ("wb"). A name that exists in any form, a symbolic
// link or reparse point included, is Taken and nothing is written through it.
CreateOutcome CreateNewFile(const std::string& path, NativeFile* file, std::string* error);

// Opens a regular file to write it anew, creating it when missing. An existing name that is not a regular file (a
// symbolic link, a reparse point, a FIFO, a folder) is refused without writing through it or blocking on it.
NativeFile OpenForReplacing(const std::string& path, std::string* error);

// Opens the existing regular file `path` to write over its first bytes ("wb" without emptying it), when it is
// exactly `size` bytes long and has no other name: never creates, truncates or extends, never follows a symbolic
// link or reparse point, never blocks on a FIFO.
NativeFile OpenForOverwriting(const std::string& path, uint64_t size, std::string* error);

// Forces the file's written bytes to the disk, so a rename that follows never publishes an empty file.
[[nodiscard]] bool FlushToDisk(std::FILE* file, std::string* error);

// Renames `from` over `to`, replacing what `to` names (a symbolic link itself, never its target).
[[nodiscard]] bool ReplaceByRename(const std::string& from, const std::string& to, std::string* error);

// The folder `path` names, as a folder of its own: not a symbolic link or reparse point standing in for one.
bool IsRealFolder(const std::string& path);

// Which file a name leads to, whatever name it is reached by (hard links and symbolic links alike).
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Creates a new temporary file beside `path` (in the same folder, so that a rename can replace `path`) and opens it
// to write; its name goes to `*temporary_path`. Failed when no free name could be created.
CreateOutcome CreateFileBeside(const std::string& path,
                               NativeFile* file,
                               std::string* temporary_path,
                               std::string* error);
