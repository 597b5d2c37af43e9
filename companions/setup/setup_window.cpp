#include "companions/setup/setup_window.h"

#include <array>

#include "companions/setup/setup_resource.h"
#include "framework/folder_browser.h"
#include "languages/code_page.h"

namespace {

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
    static constexpr CommandEntry<SetupWindow> kCommands[] = {
        {IDOK, BN_CLICKED, &SetupWindow::OnInstall},
        {IDC_SETUP_BROWSE, BN_CLICKED, &SetupWindow::OnBrowse},
    };
    if (msg == WM_COMMAND && RunCommand(kCommands, *this, LOWORD(wp), HIWORD(wp)))
        return true;
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
    const std::optional<std::string> picked =
        BrowseForFolder(Hwnd(), "Choose the folder to install Tolvane into:", Cp1252ToUtf8(Destination()));
    if (!picked)
        return;
    // A folder of its own inside the one picked, unless the user picked one meant for it.
    std::string folder = Utf8ToCp1252(*picked);
    if (!EqualIgnoringCase(LastName(folder), "Tolvane"))
        folder += "Tolvane\\";
    ::SetDlgItemTextA(Hwnd(), IDC_SETUP_DESTINATION, folder.c_str());
}
