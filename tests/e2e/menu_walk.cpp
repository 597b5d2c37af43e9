#include "tests/e2e/menu_walk.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "recovery/settings_record.h"
#include "resources/tolvane_resource.h"
#include "tests/e2e/window_driver.h"
#include "tests/win32/window_test_support.h"

namespace {

constexpr char kCaption[] = "Varnick PSD Recovery";

std::string WindowsDirectory() {
    std::array<char, MAX_PATH> windows{};
    ::GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    return windows.data();
}

void CheckItems(const std::vector<RunningProgram::ToolbarItem>& items,
                const std::vector<std::pair<int, std::string>>& expected,
                const std::string& what) {
    bool same = items.size() == expected.size();
    std::string seen;
    for (size_t i = 0; i < items.size(); ++i) {
        seen += std::to_string(items[i].id) + " \"" + items[i].text + "\" ";
        same = same && items[i].id == expected[i].first && items[i].text == expected[i].second;
    }
    Check(same, what + " [" + seen + "]");
}

bool MenuCloses(const RunningProgram& program) {
    return WaitUntil([&] { return !program.HasWindowOfClass(kBitmapMenuClass); }, 5000);
}

void OpensAtThePointerAndClosesWithEscape(const RunningProgram& program, HWND main) {
    const RECT button = ScreenRect(::GetDlgItem(main, IDC_FILE_MENU));
    ClickCentre(button);
    HWND popup = nullptr;
    CheckItems(program.OpenedMenu(&popup),
               {{32799, "Ad File"}, {32803, "Delete File"}, {32801, "Clear List"}, {32815, "Recover"}, {32802, "Exit"}},
               "the File button opens the File menu in English");
    POINT pointer{};
    ::GetCursorPos(&pointer);
    const RECT placed = ScreenRect(popup);
    Check(placed.left == pointer.x && placed.top == pointer.y + 15, "it opens 15 pixels below the pointer");
    PressKey(VK_ESCAPE);
    Check(MenuCloses(program), "Escape closes it");
}

void ChoosingALanguageSwitchesAndStoresIt(const RunningProgram& program, HWND main) {
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_OPTIONS_MENU)));
    HWND popup = nullptr;
    const auto items = program.OpenedMenu(&popup);
    CheckItems(items,
               {{32798, "Options"},
                {32819, "English"},
                {32820, "Francais"},
                {32821, "Deutch"},
                {32822, "Italiano"},
                {32823, "Espagniol"},
                {32824, "Romana"}},
               "the Options menu");
    ChooseMenuItem(items, IDM_GERMAN);
    Check(MenuCloses(program), "choosing Deutch closes the menu");
    Check(WaitUntil([] {
              const std::string settings = ReadFileBytes(WindowsDirectory() + "\\" + kSettingsFileName);
              return settings.size() == kSettingsFileSize && settings[kLanguageField.offset] == 3;
          }),
          "German stored in byte 216 of the settings file");
    Check(program.ListHeaderText(::GetDlgItem(main, IDC_FILELIST), 0) == "Weg", "the window speaks German");
}

void OpensLeftAndUpInTheBottomRightCorner(const RunningProgram& program) {
    const int right = ::GetSystemMetrics(SM_CXSCREEN) - 4;
    const int bottom = ::GetSystemMetrics(SM_CYSCREEN) - 30;
    MoveMouse(right, bottom);
    PressAltKey('F');
    HWND popup = nullptr;
    CheckItems(program.OpenedMenu(&popup),
               {{32799, "Datei Anzeige "},
                {32803, "Datei Entfernen "},
                {32801, "Liste leeren"},
                {32815, "Datenrettung"},
                {32802, "Exit"}},
               "Alt+F opens the File menu in German");
    const RECT placed = ScreenRect(popup);
    Check(popup != nullptr && placed.right == right && placed.bottom == bottom + 15,
          "near the bottom-right corner it opens left of and above its point");
    PressKey(VK_ESCAPE);
    Check(MenuCloses(program), "Escape closes it");
}

void RightClickOnTheSelectedRowOpensTheContextMenu(const RunningProgram& program, HWND main) {
    HWND list = ::GetDlgItem(main, IDC_FILELIST);
    ClickCentre(program.ListRowRect(list, 0), true);
    HWND popup = nullptr;
    const auto items = program.OpenedMenu(&popup);
    CheckItems(items, {{32825, "Datenrettung"}, {32816, " Akte Entfernen"}, {32817, "Liste leeren"}},
               "right click on the selected row opens the context menu in German");
    ChooseMenuItem(items, IDM_CTX_REMOVE);
    Check(WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0; }), "Remove from list: row gone");
    RECT client{};
    ::GetClientRect(list, &client);
    ::MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    ClickAt(client.left + 40, client.top + 60, true);
    ::Sleep(1000);
    Check(!program.HasWindowOfClass(kBitmapMenuClass), "right click with no row selected opens nothing");
}

void OpenAddsTheChosenFile(const RunningProgram& program, HWND main, const std::string& file) {
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_OPEN)));
    HWND dialog = program.WaitForDialog("Datei vorzuw\xE4hlen ", IDOK, 10000);
    Check(dialog != nullptr, "Open shows the open dialog titled in German");
    if (dialog == nullptr)
        return;
    // The file name box: an edit of its own (edt1) or a combo box (cmb13), depending on the dialog's age.
    HWND name = ::GetDlgItem(dialog, 0x480);
    if (name == nullptr)
        name = ::GetDlgItem(dialog, 0x47C);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    Press(dialog, IDOK);
    HWND list = ::GetDlgItem(main, IDC_FILELIST);
    Check(WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }), "the chosen file's row");
    Check(program.ListCellText(list, 0, 1) == "4", "its size in KB [" + program.ListCellText(list, 0, 1) + "]");
}

void CompanionsStartFromTheInstallationFolder(const RunningProgram& program,
                                              HWND main,
                                              const std::string& folder,
                                              const std::string& companion) {
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_HELPBUTTON)));
    HWND box = program.WaitForMessageBox(5000);
    Check(box != nullptr && MessageBoxText(box) == "Fehlende file.Bitte installieren wieder!" &&
              WindowText(box) == kCaption,
          "Help without Help.exe says the file is missing, in German");
    if (box != nullptr) {
        Press(box, IDOK);
        WaitUntil([&] { return !::IsWindow(box); });
    }
    for (const char* name : {"Help.exe", "Optmgr.exe"})
        ::CopyFileA(companion.c_str(), (folder + name).c_str(), FALSE);
    PressKey(VK_F1);
    Check(WaitUntil([&] { return FileExists(folder + "Help.exe.ran"); }), "F1 starts Help.exe");
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_OPTIONS)));
    Check(WaitUntil([&] { return FileExists(folder + "Optmgr.exe.ran"); }),
          "Options starts Optmgr.exe from a folder with a blank");
    Check(ReadFileBytes(folder + "Optmgr.exe.ran") == "\"" + folder + "Optmgr.exe\" ",
          "its command line is the quoted path and one blank [" + ReadFileBytes(folder + "Optmgr.exe.ran") + "]");
}

}  // namespace

void WalkTheMenusAndFileCommands(const std::string& exe, const std::string& work, const std::string& companion) {
    const std::string folder = work + "\\Program Files x\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string source = work + "\\menu_walk.psd";
    WriteFileBytes(source, std::string(5000, 'p'));
    WriteSettingsFile(WindowsDirectory(), LanguageId::English, folder);

    RunningProgram program(exe, "\"" + source + "\"", work);
    HWND main = program.WaitForDialog(kCaption, IDC_FILELIST);
    Check(main != nullptr, "main window appears for the menu walk");
    if (main == nullptr)
        return;
    ::Sleep(500);
    OpensAtThePointerAndClosesWithEscape(program, main);
    ChoosingALanguageSwitchesAndStoresIt(program, main);
    OpensLeftAndUpInTheBottomRightCorner(program);
    RightClickOnTheSelectedRowOpensTheContextMenu(program, main);
    OpenAddsTheChosenFile(program, main, source);
    CompanionsStartFromTheInstallationFolder(program, main, folder, companion);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    Check(program.WaitForExit() == 9, "the menu walk ends with code 9");
    WriteSettingsFile(WindowsDirectory(), LanguageId::English);
}
