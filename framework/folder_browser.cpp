#include "framework/folder_browser.h"

#include <shlobj.h>

#include <array>

#include "framework/wide_text.h"

namespace {

int CALLBACK SelectStart(HWND browser, UINT msg, LPARAM, LPARAM data) {
    if (msg != BFFM_INITIALIZED)
        return 0;
    std::wstring folder = *reinterpret_cast<const std::wstring*>(data);
    while (folder.size() > 3 && ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const size_t separator = folder.find_last_of(L'\\');
        folder.resize(separator == std::wstring::npos ? 0 : separator);
    }
    if (!folder.empty())
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    return 0;
}

}  // namespace

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& start_utf8) {
    const std::wstring start = WidenUtf8(start_utf8);
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = &SelectStart;
    browse.lParam = reinterpret_cast<LPARAM>(&start);
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&browse);
    if (chosen == nullptr)
        return std::nullopt;
    std::array<wchar_t, MAX_PATH> path{};
    const bool is_path = ::SHGetPathFromIDListW(chosen, path.data()) != FALSE;
    ::CoTaskMemFree(chosen);
    if (!is_path)
        return std::nullopt;
    std::string folder = NarrowToUtf8(path.data());
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}
