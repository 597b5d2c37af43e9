#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A source opened for reading ("rb"). Reads run forward only.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes. Fewer come back only at the end of the file or after a read error.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // True once a read has failed (as opposed to meeting the end of the file).
    virtual bool Failed() const = 0;
};

// A file created for writing ("wb"). Closing flushes; a failed flush is a failed write.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    [[nodiscard]] virtual bool Write(const void* data, size_t size) = 0;
    [[nodiscard]] virtual bool Close() = 0;
};

enum class CreateOutcome { Created, Taken, Failed };

// The file operations of the recovery engine. The stdio implementation serves Windows and the console alike;
// tests and the fuzzer use an in-memory one.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // nullptr when the file cannot be opened. Only what can be read to an end opens: a regular file or a block
    // device; a FIFO, folder or character device is refused without blocking.
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    // Creates a file that does not exist yet. Taken when the name exists in any form, a symbolic link included:
    // nothing is ever written through an existing name.
    virtual CreateOutcome CreateNew(const std::string& path, std::unique_ptr<OutputFile>* file) = 0;
    // Gives `path` these bytes through a temporary file beside it, renamed over it once every byte is on the disk:
    // the old file stays whole until the new one is complete.
    [[nodiscard]] virtual bool WriteAtomic(const std::string& path, const void* data, size_t size) = 0;
    // After a WriteAtomic that failed: true when the folder took no temporary file or the rename over `path` was
    // refused (a folder the user may not write, as the Windows directory is to a standard user); false when writing
    // the temporary file failed (a full disk). `path` keeps its old bytes either way.
    virtual bool ReplacementRefused() const = 0;
    // Writes `size` bytes at the start of the existing regular file `path`, which is `size` bytes long already, and
    // forces them to the disk: for a fixed record whose folder refuses a replacement while the file itself may be
    // written. Never creates, truncates or extends a file; refuses a symbolic link, a reparse point and a file with
    // other hard links. A write cut short stays cut short.
    [[nodiscard]] virtual bool OverwriteInPlace(const std::string& path, const void* data, size_t size) = 0;
    // True when anything (file or folder) has that name.
    virtual bool Exists(const std::string& path) = 0;
    // Makes one folder level; false when it cannot be made, also when it already exists.
    virtual bool MakeDirectory(const std::string& path) = 0;
    // True when `path` is a folder itself, not a symbolic link or reparse point standing in for one.
    virtual bool IsRealFolder(const std::string& path) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual std::optional<uint64_t> SizeOf(const std::string& path) = 0;
    // Why the last operation that failed, here or on a file opened here, failed: the system's own words.
    virtual std::string LastError() const = 0;
};
