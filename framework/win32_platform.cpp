#include "framework/win32_platform.h"

#include <array>

Win32Platform::Win32Platform(std::string application_name) : application_name_(std::move(application_name)) {}

UINT MessageBoxStyle(MessageButtons buttons, MessageIcon icon) {
    // A question carries no icon of its own: only the icon its caller asks for.
    UINT style = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    if (icon == MessageIcon::Warning)
        style |= MB_ICONWARNING;
    else if (icon == MessageIcon::Stop)
        style |= MB_ICONSTOP;
    return style;
}

MessageAnswer Win32Platform::Show(std::string_view text,
                                  std::string_view caption,
                                  MessageButtons buttons,
                                  MessageIcon icon) {
    const std::string text_z(text);
    const std::string caption_z(caption.empty() ? std::string_view(application_name_) : caption);
    const int answer = ::MessageBoxA(owner_, text_z.c_str(), caption_z.c_str(), MessageBoxStyle(buttons, icon));
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

std::string Win32Platform::SettingsDirectory() {
    std::array<char, MAX_PATH> buffer{};
    const UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return "C:\\WINDOWS";
    return std::string(buffer.data(), length);
}

std::string Win32Platform::CurrentDirectory() {
    std::array<char, MAX_PATH> buffer{};
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size())
        return ".";
    return std::string(buffer.data(), length);
}

namespace {

std::optional<uint64_t> FreeBytesOfFolder(const std::string& folder) {
    ULARGE_INTEGER free_to_caller{}, total{}, total_free{};
    if (!::GetDiskFreeSpaceExA(folder.c_str(), &free_to_caller, &total, &total_free))
        return std::nullopt;
    return total_free.QuadPart;
}

bool StartsWithDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::optional<uint64_t> Win32Platform::FreeBytes(const std::string& path) {
    // The folder asked about usually does not exist yet; its drive does.
    if (StartsWithDrive(path)) {
        if (const auto free = FreeBytesOfFolder(path.substr(0, 2) + "\\"))
            return free;
    }
    // A network path, a relative one, or a drive that will not say: ask the nearest folder on the way that exists.
    std::string folder = path;
    for (;;) {
        if (const auto free = FreeBytesOfFolder(folder))
            return free;
        const size_t separator = folder.find_last_of("\\/");
        if (separator == std::string::npos || separator < 2)
            return std::nullopt;
        folder.resize(separator);
    }
}

void Win32Platform::EndProcess(int exit_code) {
    ::ExitProcess(static_cast<UINT>(exit_code));
}

std::string Win32Platform::EnvironmentVariable(const std::string& name) {
    std::array<char, MAX_PATH> buffer{};
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    // Longer than the buffer: the value cannot be one of the folders it is wanted for.
    if (length == 0 || length >= buffer.size())
        return {};
    return std::string(buffer.data(), length);
}

bool Win32Platform::LaunchProgram(const std::string& command_line) {
    return ::WinExec(command_line.c_str(), SW_SHOWNORMAL) >= 32;
}

std::string ModuleBaseName(HMODULE module) {
    std::array<char, MAX_PATH> buffer{};
    const DWORD length = ::GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::string name(buffer.data(), length);
    const size_t separator = name.find_last_of("\\/");
    if (separator != std::string::npos)
        name.erase(0, separator + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}
