#include "widgets/url_open.h"

#include <shellapi.h>

#include <array>

#include "framework/unique_handle.h"
#include "widgets/browser_command.h"

INT_PTR ShellOpen(const std::string& target, int show_command) {
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, show_command));
}

LONG ReadClassesRootValue(const std::string& path, std::string* value) {
    HKEY opened = nullptr;
    const LONG open_status = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (open_status != ERROR_SUCCESS)
        return open_status;
    UniqueRegKey key(opened);
    std::array<char, MAX_PATH> buffer{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG status =
        ::RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    // A stored string need not end with its terminator; the buffer's last byte stays zero either way.
    buffer[buffer.size() - 1] = '\0';
    value->assign(buffer.data());
    return ERROR_SUCCESS;
}

INT_PTR OpenUrl(const std::string& address, int show_command) {
    const INT_PTR shell_result = ShellOpen(address, show_command);
    if (shell_result > 32)
        return shell_result;
    std::string page_class;
    std::string command;
    if (ReadClassesRootValue(".htm", &page_class) != ERROR_SUCCESS ||
        ReadClassesRootValue(page_class + "\\shell\\open\\command", &command) != ERROR_SUCCESS)
        return shell_result;
    const std::optional<std::string> command_line = BrowserCommandLine(command, address);
    if (!command_line)
        return shell_result;
    return static_cast<INT_PTR>(::WinExec(command_line->c_str(), static_cast<UINT>(show_command)));
}
