// Runs the real Tolvane.exe the way a user would and checks what it shows and writes.
// Usage: tolvane_e2e TOLVANE_EXE WORK_FOLDER COMPANION_STANDIN_EXE
//   WORK_FOLDER holds damaged_photo.psd (a copy the run may delete) and reference\ (the command line's pictures of
//   the same file). The run replaces the settings file in the Windows directory.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <string>

#include "recovery/settings_record.h"
#include "resources/tolvane_resource.h"
#include "tests/e2e/about_e2e.h"
#include "tests/e2e/menu_walk.h"
#include "tests/e2e/window_driver.h"
#include "tests/win32/window_test_support.h"

namespace {

constexpr char kCaption[] = "Varnick PSD Recovery";

void CheckEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    Check(actual == expected,
          what + " [\"" + actual + "\"" + (actual == expected ? "" : " != \"" + expected + "\"") + "]");
}

std::string WindowsDirectory() {
    std::array<char, MAX_PATH> windows{};
    ::GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    return windows.data();
}

std::string SettingsPath() {
    return WindowsDirectory() + "\\" + kSettingsFileName;
}

// Answers the next message box with `button` and returns its text.
std::string AnswerMessageBox(const RunningProgram& program, int button, std::string* caption = nullptr) {
    HWND box = program.WaitForMessageBox();
    if (box == nullptr)
        return "<no message box>";
    const std::string text = MessageBoxText(box);
    if (caption != nullptr)
        *caption = WindowText(box);
    Press(box, button);
    WaitUntil([&] { return !::IsWindow(box); });
    return text;
}

void MissingSettingsFileEndsWithCodeTwo(const std::string& exe, const std::string& work) {
    ::DeleteFileA(SettingsPath().c_str());
    RunningProgram program(exe, "", work);
    Check(program.Started(), "Tolvane.exe starts");
    std::string caption;
    CheckEqual(AnswerMessageBox(program, IDOK, &caption), "Missing file. Please reinstall!",
               "missing settings message");
    CheckEqual(caption, kCaption, "its caption");
    Check(program.WaitForExit() == 2, "exit code 2 without a settings file");
}

void RecoverDeleteSwitchAndExit(const std::string& exe, const std::string& work) {
    const std::string source = work + "\\damaged_photo.psd";
    RunningProgram program(exe, "\"" + source + "\"", work);
    HWND main = program.WaitForDialog(kCaption, IDC_FILELIST);
    Check(main != nullptr, "main window appears");
    if (main == nullptr) {
        program.WaitForExit(1);
        return;
    }
    HWND list = ::GetDlgItem(main, IDC_FILELIST);
    Check(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1, "the command-line file is in the list");
    Check(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0, "and selected");
    CheckEqual(program.ListHeaderText(list, 0), "Pathname", "English header");

    Press(main, IDC_EXTRACT);
    const std::string folder = work + "\\damaged_photoREC";
    CheckEqual(AnswerMessageBox(program, IDOK), "( 3 )image(s) recovered stored in directory " + folder + "!",
               "result message");
    for (const char* name : {"1.jpg", "2.jpg", "1.gif"}) {
        const std::string written = ReadFileBytes(folder + "\\" + name);
        Check(!written.empty() && written == ReadFileBytes(work + "\\reference\\" + name),
              std::string(name) + " equals the command line's");
    }
    Check(!FileExists(folder + "\\3.jpg") && !FileExists(folder + "\\2.gif"), "no other pictures");

    Press(main, IDC_DELETE);
    std::string caption;
    CheckEqual(AnswerMessageBox(program, IDYES, &caption), "Are you sure you want to delete  file " + source + " ?",
               "delete question");
    CheckEqual(caption, "Tolvane", "delete question carries the program's name");
    Check(WaitUntil([&] { return !FileExists(source); }), "source deleted");
    Check(WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0; }), "its row is gone");

    ::PostMessageA(main, WM_COMMAND, IDM_GERMAN, 0);
    Check(WaitUntil([] {
              const std::string settings = ReadFileBytes(SettingsPath());
              return settings.size() == kSettingsFileSize && settings[kLanguageField.offset] == 3;
          }),
          "German stored in byte 216 of the settings file");
    const std::array<std::string, 4> german = {"Weg",
                                               "Gr\xF6\xDF"
                                               "e KB",
                                               "Datum", "Zeit"};
    for (int column = 0; column < 4; ++column)
        CheckEqual(program.ListHeaderText(list, column), german[static_cast<size_t>(column)], "German header");

    Press(main, IDC_EXIT);
    Check(program.WaitForExit() == 9, "Exit ends with code 9");
}

void RestartsInGermanAndClosesWithCodeNine(const std::string& exe, const std::string& work) {
    RunningProgram program(exe, "", work);
    HWND main = program.WaitForDialog(kCaption, IDC_FILELIST);
    Check(main != nullptr, "main window appears again");
    if (main != nullptr)
        CheckEqual(program.ListHeaderText(::GetDlgItem(main, IDC_FILELIST), 0), "Weg", "German after a restart");
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    Check(program.WaitForExit() == 9, "closing the window ends with code 9");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tolvane_e2e TOLVANE_EXE WORK_FOLDER COMPANION_STANDIN_EXE\n");
        return 2;
    }
    const std::string exe = WindowsPath(argv[1]);
    const std::string work = WindowsPath(argv[2]);
    MissingSettingsFileEndsWithCodeTwo(exe, work);
    WriteSettingsFile(WindowsDirectory(), LanguageId::English);
    SplashThenAboutBox(exe, work);
    RecoverDeleteSwitchAndExit(exe, work);
    RestartsInGermanAndClosesWithCodeNine(exe, work);
    WalkTheMenusAndFileCommands(exe, work, WindowsPath(argv[3]));
    return ReportChecks();
}
