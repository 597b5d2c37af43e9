#include "installer/installer_dialog.h"

#include <commctrl.h>

#include <array>

#include "resources/rezaravoz_resource.h"

namespace {

constexpr char kWindowTitle[] = "Varnick Tembrik";

// Where the progress bar and the status line go while files are written; the template keeps them hidden and tiny.
constexpr RECT kProgressDlu = {7, 40, 268, 50};
constexpr RECT kStatusDlu = {7, 63, 268, 75};

void PlaceInDialogUnits(HWND dialog, HWND control, RECT dlu) {
    ::MapDialogRect(dialog, &dlu);
    ::SetWindowPos(control, HWND_TOP, dlu.left, dlu.top, dlu.right - dlu.left, dlu.bottom - dlu.top, 0);
}

}  // namespace

InstallerAboutDialog::InstallerAboutDialog(HINSTANCE instance) : Dialog(instance, IDD_INSTALLER_ABOUT) {}

InstallerDialog::InstallerDialog(HINSTANCE instance,
                                 Win32Platform& platform,
                                 FileSystem& files,
                                 std::string own_executable)
    : Dialog(instance, IDD_INSTALLER),
      platform_(platform),
      flow_(platform, files, std::move(own_executable)),
      appIcon(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_INSTALLER))) {}

bool InstallerDialog::OnInitDialog() {
    platform_.SetOwner(Hwnd());
    if (HMENU system_menu = ::GetSystemMenu(Hwnd(), FALSE)) {
        std::array<char, 128> about{};
        if (::LoadStringA(Instance(), IDS_ABOUT_ITEM, about.data(), static_cast<int>(about.size())) > 0) {
            ::AppendMenuA(system_menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(system_menu, MF_STRING, IDM_INSTALLER_ABOUT, about.data());
        }
    }
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
    ::SetWindowTextA(Hwnd(), kWindowTitle);
    PlaceInDialogUnits(Hwnd(), Item(IDC_INSTALL_PROGRESS), kProgressDlu);
    PlaceInDialogUnits(Hwnd(), Item(IDC_STATUS), kStatusDlu);
    ::SendMessageA(Item(IDC_STATUS), EM_SETREADONLY, TRUE, 0);
    return true;
}

void InstallerDialog::ShowProgress(bool show) {
    for (int id : {IDC_INSTALL_PROGRESS, IDC_STATUS}) {
        ::EnableWindow(Item(id), show);
        ::ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE);
    }
    // The progress bar takes the Install button's place; Exit would end the dialog in the middle of a copy.
    ::ShowWindow(Item(IDC_INSTALL), show ? SW_HIDE : SW_SHOW);
    ::ShowWindow(Item(IDOK), show ? SW_HIDE : SW_SHOW);
    ::SendMessageA(Item(IDC_INSTALL_PROGRESS), PBM_SETPOS, 0, 0);
    ::SetWindowTextA(Item(IDC_STATUS), "");
    ::UpdateWindow(Hwnd());
}

void InstallerDialog::EntryExtracted(const std::string& status_text, uint32_t done, uint32_t total) {
    HWND progress = Item(IDC_INSTALL_PROGRESS);
    ::SendMessageA(progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    ::SendMessageA(progress, PBM_SETPOS, done, 0);
    ::SetWindowTextA(Item(IDC_STATUS), status_text.c_str());
    ::UpdateWindow(progress);
    ::UpdateWindow(Item(IDC_STATUS));
    // Looking at the queue tells the system the program is alive, so the window is not greyed out as hung.
    MSG ignored;
    ::PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE);
}

void InstallerDialog::OnInstall() {
    ShowProgress(true);
    flow_.Run(this);
    ShowProgress(false);
}

bool InstallerDialog::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_INSTALLER_ABOUT)
        return false;
    InstallerAboutDialog(Instance()).DoModal(Hwnd());
    return true;
}

bool InstallerDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDC_INSTALL && HIWORD(wp) == BN_CLICKED) {
                OnInstall();
                return true;
            }
            break;
        case WM_SYSCOMMAND:
            return OnSysCommand(wp);
        case WM_PAINT:
            if (!::IsIconic(Hwnd()))
                return false;
            PaintMinimisedIcon(Hwnd(), appIcon);
            return true;
        case WM_QUERYDRAGICON:
            *result = reinterpret_cast<LRESULT>(appIcon);
            return true;
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}
