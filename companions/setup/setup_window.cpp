#include "companions/setup/setup_window.h"

#include <shlobj.h>

#include <array>

#include "companions/setup/setup_resource.h"

namespace {

// The folder browser opens on the folder the edit names, or on the nearest one above it that exists.
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) {
        std::string folder = reinterpret_cast<const char*>(data);
        while (folder.size() > 3 && ::GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
            folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
        ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    return 0;
}

std::string LastName(std::string folder) {
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder.substr(folder.find_last_of('\\') + 1);
}

}  // namespace

SetupWindow::SetupWindow(HINSTANCE instance, std::string destination, InstallAction install)
    : Dialog(instance, IDD_SETUP),
      initial_destination_(std::move(destination)),
      install_(std::move(install)),
      icon_(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP))) {}

std::string SetupWindow::Destination() const {
    std::array<char, 1024> text{};
    ::GetDlgItemTextA(Hwnd(), IDC_SETUP_DESTINATION, text.data(), static_cast<int>(text.size()));
    return text.data();
}

bool SetupWindow::OnInitDialog() {
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ::SetDlgItemTextA(Hwnd(), IDC_SETUP_DESTINATION, initial_destination_.c_str());
    return true;
}

bool SetupWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (LOWORD(wp) == IDOK) {
            OnInstall();
            return true;
        }
        if (LOWORD(wp) == IDC_SETUP_BROWSE) {
            OnBrowse();
            return true;
        }
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}

void SetupWindow::OnInstall() {
    ::EnableWindow(Item(IDOK), FALSE);
    const bool done = install_(Hwnd(), Destination());
    ::EnableWindow(Item(IDOK), TRUE);
    if (done)
        Close(IDOK);
}

void SetupWindow::OnBrowse() {
    const std::string current = Destination();
    std::array<char, MAX_PATH> chosen{};
    BROWSEINFOA info{};
    info.hwndOwner = Hwnd();
    info.pszDisplayName = chosen.data();
    info.lpszTitle = "Choose the folder to install Tolvane into:";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.c_str());
    LPITEMIDLIST picked = ::SHBrowseForFolderA(&info);
    if (picked == nullptr)
        return;
    const bool is_path = ::SHGetPathFromIDListA(picked, chosen.data()) != FALSE;
    ::CoTaskMemFree(picked);
    if (!is_path)
        return;
    // A folder of its own inside the one picked, unless the user picked one meant for it.
    std::string folder = chosen.data();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    if (::lstrcmpiA(LastName(folder).c_str(), "Tolvane") != 0)
        folder += "Tolvane\\";
    ::SetDlgItemTextA(Hwnd(), IDC_SETUP_DESTINATION, folder.c_str());
}
