#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "framework/native_file.h"
#include "framework/unique_handle.h"

namespace {

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 ? std::string(text, length) : "error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

DWORD Attributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

// Why opening `path` failed with `code`: a folder gives the system's "Access is denied", which misleads.
std::string OpenFailureText(const std::string& path, DWORD code) {
    const DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "is a folder, not a file";
    return SystemErrorText(code);
}

// Hands the file over to a C stream, which closes it from then on.
NativeFile Stream(UniqueFile handle, bool writing, std::string* error) {
    const int fd =
        ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), (writing ? _O_WRONLY : _O_RDONLY) | _O_BINARY);
    if (fd == -1) {
        *error = "cannot make a stream of the file";
        return nullptr;
    }
    handle.Release();
    std::FILE* file = ::_fdopen(fd, writing ? "wb" : "rb");
    if (file == nullptr) {
        *error = "cannot make a stream of the file";
        ::_close(fd);
    }
    return NativeFile(file);
}

// A pipe, the console or a device such as NUL is not a file that can be read to an end.
bool IsDiskFile(HANDLE handle, std::string* error) {
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            return true;
        case FILE_TYPE_PIPE:
            *error = "is a pipe, not a file";
            return false;
        case FILE_TYPE_CHAR:
            *error = "is a character device (a console, NUL or a port), not a file";
            return false;
        default:
            *error = "is a device, not a file";
            return false;
    }
}

}  // namespace

NativeFile OpenForReading(const std::string& path, std::string* error) {
    // Others may go on reading and writing it: the installer reads its own running executable.
    UniqueFile handle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        *error = OpenFailureText(path, ::GetLastError());
        return nullptr;
    }
    if (!IsDiskFile(handle.Get(), error))
        return nullptr;
    return Stream(std::move(handle), false, error);
}

CreateOutcome CreateNewFile(const std::string& path, NativeFile* file, std::string* error) {
    // CREATE_NEW fails on any existing name; FILE_FLAG_OPEN_REPARSE_POINT keeps a link from being followed.
    UniqueFile handle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        const DWORD code = ::GetLastError();
        *error = OpenFailureText(path, code);
        return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ? CreateOutcome::Taken : CreateOutcome::Failed;
    }
    *file = Stream(std::move(handle), true, error);
    return *file ? CreateOutcome::Created : CreateOutcome::Failed;
}

NativeFile OpenForReplacing(const std::string& path, std::string* error) {
    // The name itself is opened, never what a symbolic link or junction points to; it is emptied only once it is
    // known to be a plain file. Nobody else may open it until it is closed.
    UniqueFile handle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        *error = OpenFailureText(path, ::GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.Get(), &info)) {
        *error = SystemErrorText(::GetLastError());
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        *error = "is a symbolic link or junction";
    } else if (IsDiskFile(handle.Get(), error)) {
        if (::SetEndOfFile(handle.Get()))
            return Stream(std::move(handle), true, error);
        *error = SystemErrorText(::GetLastError());
    }
    return nullptr;
}

NativeFile OpenForOverwriting(const std::string& path, uint64_t size, std::string* error) {
    // OPEN_EXISTING neither creates nor empties. Only the right to write the file itself is asked for: the setup
    // grants it on the settings file while the Windows directory stays closed to a standard user. Readers may go on
    // reading; a second writer is kept out until this one closes.
    UniqueFile handle(::CreateFileA(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        *error = OpenFailureText(path, ::GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.Get(), &info)) {
        *error = SystemErrorText(::GetLastError());
        return nullptr;
    }
    const uint64_t file_size = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        *error = "is a symbolic link or junction";
    else if (info.nNumberOfLinks != 1)
        *error = "has other names (hard links)";
    else if (file_size != size)
        *error = "is " + std::to_string(file_size) + " bytes, not " + std::to_string(size);
    else if (IsDiskFile(handle.Get(), error))
        return Stream(std::move(handle), true, error);
    return nullptr;
}

bool FlushToDisk(std::FILE* file, std::string* error) {
    if (std::fflush(file) != 0) {
        *error = "the last bytes could not be written";
        return false;
    }
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file))))) {
        *error = SystemErrorText(::GetLastError());
        return false;
    }
    return true;
}

bool ReplaceByRename(const std::string& from, const std::string& to, std::string* error) {
    if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = SystemErrorText(::GetLastError());
        return false;
    }
    return true;
}

bool IsRealFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // No access asked for: the identity of a file another program holds open is still known.
    UniqueFile handle(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.Get(), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}
