#include "companions/setup/win32_setup_machine.h"

#include <aclapi.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "framework/unique_handle.h"
#include "languages/code_page.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// An indexer, a virus scanner or (Wine) winemenubuilder may hold a file we just made for a moment.
constexpr DWORD kRetryStepMs = 50;
constexpr DWORD kRetryForMs = 2000;

bool IsPassing(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_DIR_NOT_EMPTY ||
           code == ERROR_LOCK_VIOLATION;
}

bool IsGone(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Runs `attempt` until it succeeds, or fails for a reason that waiting does not cure; the last error code.
template <class Attempt>
DWORD Retried(Attempt attempt) {
    DWORD code = ERROR_SUCCESS;
    for (DWORD waited = 0;; waited += kRetryStepMs) {
        if (attempt())
            return ERROR_SUCCESS;
        code = ::GetLastError();
        if (!IsPassing(code) || waited >= kRetryForMs)
            return code;
        ::Sleep(kRetryStepMs);
    }
}

std::string SpecialFolder(int csidl, const char* fallback) {
    std::array<char, MAX_PATH> buffer{};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer.data())))
        return buffer.data();
    return fallback;
}

struct LocalMemoryT {
    using H = void*;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::LocalFree(h); }
};
using UniqueLocalMemory = Unique<LocalMemoryT>;

// What a volume without permissions (FAT) answers; there every user may write every file already.
bool KeepsNoPermissions(DWORD code) {
    return code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION || code == ERROR_CALL_NOT_IMPLEMENTED;
}

// The file's own access list with an entry added that lets the Users group read and write it; the entries it
// inherits stay. The group is named by its well-known SID, since its name is translated on other languages' Windows.
DWORD AddUsersWriteEntry(HANDLE file) {
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR raw_descriptor = nullptr;
    DWORD code = ::GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current, nullptr,
                                   &raw_descriptor);
    const UniqueLocalMemory descriptor(raw_descriptor);
    // A file without an access list lets everyone do anything; a list of one entry would take that away.
    if (code != ERROR_SUCCESS || current == nullptr)
        return code;
    std::array<BYTE, SECURITY_MAX_SID_SIZE> users{};
    DWORD users_size = static_cast<DWORD>(users.size());
    if (!::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users.data(), &users_size))
        return ::GetLastError();
    EXPLICIT_ACCESSA entry{};
    entry.grfAccessPermissions = FILE_GENERIC_READ | FILE_GENERIC_WRITE;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = reinterpret_cast<LPSTR>(users.data());
    PACL raw_granted = nullptr;
    code = ::SetEntriesInAclA(1, &entry, current, &raw_granted);
    const UniqueLocalMemory granted(raw_granted);
    if (code == ERROR_SUCCESS)
        code =
            ::SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, raw_granted, nullptr);
    return code;
}

HKEY RootOf(const std::string& hive) {
    return hive == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

LONG SetText(HKEY key, const char* name, const std::string& value) {
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
}

LONG SetNumber(HKEY key, const char* name, DWORD value) {
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

std::string SystemMessage(DWORD code) {
    std::array<char, 512> text{};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                          text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string message(text.data(), length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "Error " + std::to_string(code) + "." : message;
}

SetupLocations SystemLocations() {
    SetupLocations locations;
    std::array<char, MAX_PATH> windows{};
    const UINT length = ::GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    locations.windows = length > 0 && length < windows.size() ? windows.data() : "C:\\WINDOWS";
    locations.program_files = SpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files");
    locations.start_menu = SpecialFolder(CSIDL_PROGRAMS, "C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
    for (int csidl : {CSIDL_MYPICTURES, CSIDL_PERSONAL}) {
        const std::string folder = SpecialFolder(csidl, "");
        const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            locations.user_start = folder;
            break;
        }
    }
    return locations;
}

Win32SetupMachine::Win32SetupMachine(SetupLocations locations, std::string running_program)
    : locations_(std::move(locations)), running_program_(std::move(running_program)) {}

bool Win32SetupMachine::Fail(DWORD code) {
    return FailWith(code, SystemMessage(code));
}

bool Win32SetupMachine::FailWith(DWORD code, const std::string& reason) {
    error_ = {code == ERROR_ACCESS_DENIED, reason};
    return false;
}

bool Win32SetupMachine::Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32SetupMachine::IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool Win32SetupMachine::CopyNew(const std::string& from, const std::string& to) {
    // Failing when the name exists, a link included, the copy never writes over or through anything.
    if (!::CopyFileA(from.c_str(), to.c_str(), TRUE))
        return Fail(::GetLastError());
    return true;
}

bool Win32SetupMachine::MakeFolder(const std::string& path) {
    if (!::CreateDirectoryA(path.c_str(), nullptr))
        return Fail(::GetLastError());
    return true;
}

bool Win32SetupMachine::RemoveFile(const std::string& path) {
    if (IsFolder(path))
        return FailWith(ERROR_DIRECTORY, "This is a folder, not a file.");
    if (!held_.empty() && FoldCase(path) == FoldCase(held_)) {
        later_.insert(FoldCase(path));
        return true;
    }
    // A program cannot delete its own running file.
    return Delete(path, FoldCase(path) == FoldCase(running_program_));
}

bool Win32SetupMachine::Delete(const std::string& path, bool may_wait_for_restart) {
    const DWORD code = Retried([&] { return ::DeleteFileA(path.c_str()) != FALSE; });
    if (code == ERROR_SUCCESS || IsGone(code)) {
        removed_.insert(FoldCase(path));
        return true;
    }
    if (may_wait_for_restart && ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        left_for_restart_.insert(FoldCase(path));
        return true;
    }
    return Fail(code);
}

bool Win32SetupMachine::RemoveLeftForLater() {
    const std::string file = std::exchange(held_, std::string());
    const std::vector<std::string> folders = std::exchange(later_folders_, {});
    if (later_.erase(FoldCase(file)) == 0)
        return true;
    later_.clear();
    if (!Delete(file, true))
        return false;
    for (const std::string& folder : folders)
        RemoveEmptyFolder(folder);
    return true;
}

bool Win32SetupMachine::Contains(const std::set<std::string>& names, const std::string& folder) const {
    const std::string prefix = FoldCase(folder) + "\\";
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return name.rfind(prefix, 0) == 0; });
}

bool Win32SetupMachine::HoldsOnlyWhatWasRemoved(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find)
        return true;
    do {
        const std::string name = found.cFileName;
        const std::string inside = FoldCase(folder + "\\" + name);
        if (name != "." && name != ".." && removed_.count(inside) == 0 && left_for_restart_.count(inside) == 0 &&
            later_.count(inside) == 0)
            return false;
    } while (::FindNextFileA(find.Get(), &found));
    return true;
}

bool Win32SetupMachine::RemoveEmptyFolder(const std::string& path) {
    if (!HoldsOnlyWhatWasRemoved(path))
        return FailWith(ERROR_DIR_NOT_EMPTY, SystemMessage(ERROR_DIR_NOT_EMPTY));
    if (Contains(later_, path)) {
        later_.insert(FoldCase(path));
        later_folders_.push_back(path);
        return true;
    }
    if (Contains(left_for_restart_, path)) {
        if (!::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            return Fail(::GetLastError());
        left_for_restart_.insert(FoldCase(path));
        return true;
    }
    const DWORD code = Retried([&] { return ::RemoveDirectoryA(path.c_str()) != FALSE; });
    if (code != ERROR_SUCCESS && !IsGone(code))
        return Fail(code);
    removed_.insert(FoldCase(path));
    return true;
}

std::optional<std::string> Win32SetupMachine::ReadSmallFile(const std::string& path, size_t limit) {
    std::unique_ptr<InputFile> file = files_.OpenRead(path);
    if (!file) {
        FailWith(::GetLastError(), files_.LastError());
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 4096> block{};
    for (;;) {
        const size_t got = file->Read(block.data(), block.size());
        bytes.append(block.data(), got);
        if (bytes.size() > limit || file->Failed()) {
            FailWith(ERROR_READ_FAULT, file->Failed() ? files_.LastError() : "The file is larger than expected.");
            return std::nullopt;
        }
        if (got < block.size())
            return bytes;
    }
}

bool Win32SetupMachine::CreateNewFile(const std::string& path, const std::string& bytes) {
    std::unique_ptr<OutputFile> file;
    const CreateOutcome outcome = files_.CreateNew(path, &file);
    if (outcome != CreateOutcome::Created) {
        const DWORD code = ::GetLastError();
        return FailWith(outcome == CreateOutcome::Taken ? ERROR_FILE_EXISTS : code, files_.LastError());
    }
    const bool written = file->Write(bytes.data(), bytes.size());
    if (!file->Close() || !written) {
        const std::string reason = files_.LastError();
        ::DeleteFileA(path.c_str());
        return FailWith(ERROR_WRITE_FAULT, reason);
    }
    return true;
}

bool Win32SetupMachine::ReplaceFile(const std::string& path, const std::string& bytes) {
    if (!files_.WriteAtomic(path, bytes.data(), bytes.size()))
        return FailWith(::GetLastError(), files_.LastError());
    return true;
}

bool Win32SetupMachine::GrantUsersWrite(const std::string& path) {
    // Opened without following a link, and checked to be a plain file: the right goes to this file or nowhere.
    UniqueFile file(::CreateFileA(path.c_str(), READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &information))
        return Fail(::GetLastError());
    if ((information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return FailWith(ERROR_INVALID_PARAMETER, "This is a link or a folder, not a plain file.");
    const DWORD code = AddUsersWriteEntry(file.Get());
    return code == ERROR_SUCCESS || KeepsNoPermissions(code) || Fail(code);
}

bool Win32SetupMachine::CreateShortcut(const std::string& link,
                                       const std::string& target,
                                       const std::string& description,
                                       const std::string& start_in) {
    // Saving a shell link replaces whatever has its name, so the name is first taken as a new, empty file.
    UniqueFile placeholder(
        ::CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!placeholder)
        return Fail(::GetLastError());
    placeholder.Reset();
    ComPtr<IShellLinkA> shell_link;
    ComPtr<IPersistFile> persist;
    std::vector<wchar_t> wide(link.size() + 1);
    HRESULT result =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell_link.Out());
    if (SUCCEEDED(result))
        result = shell_link->SetPath(target.c_str());
    if (SUCCEEDED(result))
        result = shell_link->SetWorkingDirectory(start_in.c_str());
    if (SUCCEEDED(result))
        result = shell_link->SetDescription(description.c_str());
    if (SUCCEEDED(result))
        result = shell_link->QueryInterface(IID_IPersistFile, persist.Out());
    if (SUCCEEDED(result) &&
        ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), static_cast<int>(wide.size())) == 0)
        result = HRESULT_FROM_WIN32(::GetLastError());
    if (SUCCEEDED(result))
        result = persist->Save(wide.data(), TRUE);
    if (FAILED(result)) {
        ::DeleteFileA(link.c_str());
        return FailWith(HRESULT_CODE(result) == ERROR_ACCESS_DENIED ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE,
                        SystemMessage(static_cast<DWORD>(result)));
    }
    return true;
}

std::string Win32SetupMachine::EntryKey() const {
    return kUninstallKey + locations_.entry_key;
}

bool Win32SetupMachine::UninstallEntryExists() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(root, EntryKey().c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return true;
        }
    }
    return false;
}

bool Win32SetupMachine::WriteUninstallEntry(const UninstallEntry& entry, std::string* hive) {
    // The machine's list when we may write it, so every user sees the program; else the user's own list, which
    // the system's program list shows too.
    HKEY raw = nullptr;
    *hive = "HKLM";
    LONG code = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, EntryKey().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &raw, nullptr);
    if (code == ERROR_ACCESS_DENIED) {
        *hive = "HKCU";
        code = ::RegCreateKeyExA(HKEY_CURRENT_USER, EntryKey().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                 nullptr, &raw, nullptr);
    }
    if (code != ERROR_SUCCESS)
        return Fail(static_cast<DWORD>(code));
    UniqueRegKey key(raw);
    const std::string icon = entry.installLocation + "\\Tolvane.exe";
    const std::pair<const char*, const std::string*> texts[] = {{"DisplayName", &entry.displayName},
                                                                {"DisplayVersion", &entry.displayVersion},
                                                                {"Publisher", &entry.publisher},
                                                                {"InstallLocation", &entry.installLocation},
                                                                {"UninstallString", &entry.uninstallString},
                                                                {"DisplayIcon", &icon}};
    for (const auto& [name, value] : texts) {
        if (code == ERROR_SUCCESS)
            code = SetText(key.Get(), name, *value);
    }
    if (code == ERROR_SUCCESS)
        code = SetNumber(key.Get(), "NoModify", 1);
    if (code == ERROR_SUCCESS)
        code = SetNumber(key.Get(), "NoRepair", 1);
    if (code != ERROR_SUCCESS) {
        key.Reset();
        ::RegDeleteKeyA(RootOf(*hive), EntryKey().c_str());
        return Fail(static_cast<DWORD>(code));
    }
    return true;
}

bool Win32SetupMachine::RemoveUninstallEntry(const std::string& hive) {
    const LONG code = ::RegDeleteKeyA(RootOf(hive), EntryKey().c_str());
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)
        return Fail(static_cast<DWORD>(code));
    return true;
}
