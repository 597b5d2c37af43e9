// Opens the File menu of a running Tolvane.exe with the mouse and rests the pointer on its second row, for the
// README's picture (see tools/take_screenshot.sh). Exits 1 when the window or the menu does not show.
#include <windows.h>

#include <commctrl.h>

#include "resources/tolvane_resource.h"
#include "tests/e2e/window_driver.h"

int main() {
    HWND main = WaitForAnyDialog("Varnick PSD Recovery", IDC_FILELIST);
    if (main == nullptr)
        return 1;
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(main, &process_id);
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_FILE_MENU)));
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = ::FindWindowA("BitmapMenu", nullptr)) != nullptr; }, 5000);
    HWND rows = ::FindWindowExA(popup, nullptr, TOOLBARCLASSNAMEA, nullptr);
    if (rows == nullptr)
        return 1;
    RECT first{};
    ::GetWindowRect(rows, &first);
    const RECT popup_rect = ScreenRect(popup);
    const int row_height = (popup_rect.bottom - popup_rect.top) / 5;
    MoveMouse(first.left + 30, first.top + row_height + row_height / 2);
    return 0;
}
