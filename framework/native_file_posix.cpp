#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "framework/native_file.h"

namespace {

std::string ErrnoText() {
    return std::strerror(errno);
}

// Takes over `fd` as a C stream; closes it when that fails.
NativeFile Stream(int fd, const char* mode, std::string* error) {
    std::FILE* file = ::fdopen(fd, mode);
    if (file == nullptr) {
        *error = ErrnoText();
        ::close(fd);
    }
    return NativeFile(file);
}

// The descriptor was opened without blocking, so that a FIFO could not hang the open; reads and writes block again.
bool Blocking(int fd, std::string* error) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        *error = ErrnoText();
        return false;
    }
    return true;
}

const char* KindRefusal(mode_t mode, bool block_device_allowed) {
    if (S_ISREG(mode) || (block_device_allowed && S_ISBLK(mode)))
        return nullptr;
    if (S_ISDIR(mode))
        return "is a folder, not a file";
    if (S_ISFIFO(mode))
        return "is a FIFO, not a file";
    if (S_ISSOCK(mode))
        return "is a socket, not a file";
    if (S_ISLNK(mode))
        return "is a symbolic link";
    if (S_ISCHR(mode))
        return "is a character device, not a file";
    if (S_ISBLK(mode))
        return "is a block device, not a file";
    return "is not a regular file";
}

// Why opening `path` failed. ENXIO comes from a FIFO nobody reads (opened to write without blocking), from a socket
// and from a device with nothing behind it (/dev/tty without a terminal): the kind of file tells which.
std::string OpenFailureText(const std::string& path, int error_number) {
    if (error_number == ELOOP)
        return "is a symbolic link";
    struct stat info;
    if (error_number == ENXIO && ::stat(path.c_str(), &info) == 0) {
        if (const char* refusal = KindRefusal(info.st_mode, false))
            return refusal;
    }
    return std::strerror(error_number);
}

// Opens `path` with `flags` and checks what was opened before anything is read or written.
int OpenChecked(const std::string& path, int flags, bool block_device_allowed, std::string* error) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd == -1) {
        *error = OpenFailureText(path, errno);
        return -1;
    }
    struct stat info;
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0)
        *error = ErrnoText();
    else if ((refusal = KindRefusal(info.st_mode, block_device_allowed)) != nullptr)
        *error = refusal;
    else if (Blocking(fd, error))
        return fd;
    ::close(fd);
    return -1;
}

}  // namespace

NativeFile OpenForReading(const std::string& path, std::string* error) {
    const int fd = OpenChecked(path, O_RDONLY, true, error);
    return fd == -1 ? nullptr : Stream(fd, "rb", error);
}

CreateOutcome CreateNewFile(const std::string& path, NativeFile* file, std::string* error) {
    // O_EXCL with O_CREAT fails on any existing name, a dangling symbolic link included.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd == -1) {
        *error = ErrnoText();
        return errno == EEXIST ? CreateOutcome::Taken : CreateOutcome::Failed;
    }
    *file = Stream(fd, "wb", error);
    return *file ? CreateOutcome::Created : CreateOutcome::Failed;
}

NativeFile OpenForReplacing(const std::string& path, std::string* error) {
    // Truncated only once it is known to be a regular file: O_TRUNC would act before the check.
    const int fd = OpenChecked(path, O_WRONLY | O_CREAT | O_NOFOLLOW, false, error);
    if (fd == -1)
        return nullptr;
    if (::ftruncate(fd, 0) != 0) {
        *error = ErrnoText();
        ::close(fd);
        return nullptr;
    }
    return Stream(fd, "wb", error);
}

NativeFile OpenForOverwriting(const std::string& path, uint64_t size, std::string* error) {
    const int fd = OpenChecked(path, O_WRONLY | O_NOFOLLOW, false, error);
    if (fd == -1)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0)
        *error = ErrnoText();
    else if (info.st_nlink != 1)
        *error = "has other names (hard links)";
    else if (static_cast<uint64_t>(info.st_size) != size)
        *error = "is " + std::to_string(info.st_size) + " bytes, not " + std::to_string(size);
    else
        return Stream(fd, "wb", error);  // fdopen empties nothing
    ::close(fd);
    return nullptr;
}

bool FlushToDisk(std::FILE* file, std::string* error) {
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0) {
        *error = ErrnoText();
        return false;
    }
    return true;
}

bool ReplaceByRename(const std::string& from, const std::string& to, std::string* error) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        *error = ErrnoText();
        return false;
    }
    return true;
}

bool IsRealFolder(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}
