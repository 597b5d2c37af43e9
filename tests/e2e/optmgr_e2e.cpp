// Runs the real Optmgr.exe beside a running Tolvane.exe: a suffix changed and saved in the options dialog is the
// one the next Extract uses, without restarting the recovery program.
// Usage: optmgr_e2e TOLVANE_EXE WORK_FOLDER OPTMGR_EXE
//   WORK_FOLDER holds damaged_photo.psd. The run replaces the settings file in the Windows directory.
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

#include "companions/optmgr/optmgr_resource.h"
#include "recovery/settings_record.h"
#include "resources/tolvane_resource.h"
#include "tests/e2e/window_driver.h"
#include "tests/win32/window_test_support.h"

namespace {

std::string WindowsDirectory() {
    std::array<char, MAX_PATH> windows{};
    ::GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    return windows.data();
}

// WM_GETTEXT, not GetWindowTextA: for a control of another process, that returns only what it was created with.
std::string ControlText(HWND control) {
    std::array<char, 256> text{};
    ::SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void SetSuffixInOptmgr(const std::string& optmgr, const std::string& work, const char* suffix) {
    RunningProgram options(optmgr, "", work);
    HWND dialog = options.WaitForDialog("Tolvane Options", IDC_SUFFIX);
    Check(dialog != nullptr, "the options dialog appears with its English caption");
    if (dialog == nullptr)
        return;
    Check(ControlText(::GetDlgItem(dialog, IDC_SUFFIX)) == "REC", "it shows the stored suffix");
    SaveScreenshot(dialog, "optmgr.ppm", 1500);
    // Browse… opens the system's folder browser over the dialog; cancelling it changes nothing.
    Press(dialog, IDC_BROWSE_FOLDER);
    HWND browser = options.WaitForWindow(
        [&](HWND window) { return window != dialog && ::FindWindowExA(window, nullptr, "SysTreeView32", nullptr); });
    Check(browser != nullptr, "Browse opens the folder browser");
    if (browser != nullptr) {
        SaveScreenshot(browser, "browse.ppm");
        ::PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
        Check(WaitUntil([&] { return !::IsWindow(browser); }), "and Cancel closes it");
    }
    Check(ControlText(::GetDlgItem(dialog, IDC_OUTPUT_FOLDER)).empty(), "leaving the folder as it was");
    ::SendMessageA(::GetDlgItem(dialog, IDC_SUFFIX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(suffix));
    Press(dialog, IDOK);
    Check(options.WaitForExit() == 0, "OK saves and ends Optmgr");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: optmgr_e2e TOLVANE_EXE WORK_FOLDER OPTMGR_EXE\n");
        return 2;
    }
    const std::string work = WindowsPath(argv[2]);
    const std::string settings = WindowsDirectory() + "\\" + kSettingsFileName;
    WriteSettingsFile(WindowsDirectory(), LanguageId::English);

    RunningProgram tolvane(WindowsPath(argv[1]), "\"" + work + "\\damaged_photo.psd\"", work);
    HWND main = tolvane.WaitForDialog("Varnick PSD Recovery", IDC_FILELIST);
    Check(main != nullptr, "Tolvane's main window appears");
    SetSuffixInOptmgr(WindowsPath(argv[3]), work, "OPT");
    const std::string stored = ReadFileBytes(settings);
    Check(stored.size() == kSettingsFileSize && stored.compare(0, 4, std::string("OPT\0", 4)) == 0,
          "the settings file holds the new suffix");

    Press(main, IDC_EXTRACT);
    HWND box = tolvane.WaitForMessageBox();
    const std::string folder = work + "\\damaged_photoOPT";
    Check(box != nullptr && MessageBoxText(box) == "( 3 )image(s) recovered stored in directory " + folder + "!",
          "the next Extract writes into damaged_photoOPT");
    if (box != nullptr)
        Press(box, IDOK);
    Check(FileExists(folder + "\\1.jpg") && !FileExists(work + "\\damaged_photoREC"), "and not into the old folder");
    Press(main, IDC_EXIT);
    Check(tolvane.WaitForExit() == 9, "Tolvane ends with code 9");
    // The prefix is shared: the next run finds the usual settings again.
    WriteSettingsFile(WindowsDirectory(), LanguageId::English);
    return ReportChecks();
}
