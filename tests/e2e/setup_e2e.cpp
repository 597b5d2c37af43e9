// The whole installation as a user makes it: Rezaravoz.exe, Install, the setup dialog, Install; the installed
// Tolvane.exe starts, its Help and Options buttons start the companions, a picture is recovered into the program
// folder; the silent uninstall removes what the setup installed and leaves that picture.
// Usage: setup_e2e REZARAVOZ_EXE WORK_FOLDER
//   WORK_FOLDER is empty and writable but for damaged_photo.psd. The run replaces the settings file in the Windows
//   directory and the Start menu's Tolvane folder.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <cstdio>
#include <string>

#include "companions/help/help_resource.h"
#include "companions/optmgr/optmgr_resource.h"
#include "companions/setup/setup_resource.h"
#include "framework/unique_handle.h"
#include "recovery/settings_record.h"
#include "resources/rezaravoz_resource.h"
#include "resources/tolvane_resource.h"
#include "tests/e2e/window_driver.h"
#include "tests/win32/window_test_support.h"

namespace {

constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane";
const char* const kInstalled[] = {"Tolvane.exe", "Help.exe",      "Optmgr.exe",
                                  "readme.txt",  "Installer.exe", "install.log"};
const char* const kShortcuts[] = {"Tolvane.lnk", "Help.lnk", "Options.lnk"};

std::string SettingsPath() {
    std::array<char, MAX_PATH> windows{};
    ::GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    return std::string(windows.data()) + "\\" + kSettingsFileName;
}

std::string StartMenuFolder() {
    std::array<char, MAX_PATH> programs{};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs.data());
    return std::string(programs.data()) + "\\Tolvane";
}

// The folder a shell link starts its program in; empty when the link cannot be read.
std::string StartFolderOf(const std::string& link) {
    ComPtr<IShellLinkA> shell_link;
    ComPtr<IPersistFile> file;
    std::array<wchar_t, MAX_PATH> wide{};
    std::array<char, MAX_PATH> folder{};
    const bool read =
        SUCCEEDED(
            ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell_link.Out())) &&
        SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, file.Out())) &&
        ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), static_cast<int>(wide.size())) > 0 &&
        SUCCEEDED(file->Load(wide.data(), STGM_READ)) &&
        SUCCEEDED(shell_link->GetWorkingDirectory(folder.data(), static_cast<int>(folder.size())));
    return read ? folder.data() : "";
}

// What an earlier, broken run may have left in the shared prefix would make the setup refuse to install.
void StartClean() {
    ::DeleteFileA(SettingsPath().c_str());
    for (const char* link : kShortcuts)
        ::DeleteFileA((StartMenuFolder() + "\\" + link).c_str());
    ::RemoveDirectoryA(StartMenuFolder().c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey);
}

bool Closes(HWND window) {
    return WaitUntil([&] { return !::IsWindow(window); });
}

HWND InstallThroughRezaravoz(const std::string& rezaravoz, const std::string& work) {
    const std::string temp = work + "\\walk temp";
    ::CreateDirectoryA(temp.c_str(), nullptr);
    ::SetEnvironmentVariableA("TEMP", temp.c_str());
    RunningProgram installer(rezaravoz, "", work);
    HWND dialog = installer.WaitForDialog("Varnick Tembrik", IDC_INSTALL);
    Check(dialog != nullptr, "Rezaravoz's dialog appears");
    if (dialog == nullptr)
        return nullptr;
    // Wine's virtual desktop leaves a new window inactive, and a click on an inactive window only activates it.
    ::SetForegroundWindow(dialog);
    ClickOn(::GetDlgItem(dialog, IDC_INSTALL));
    HWND setup = WaitForAnyDialog("Tolvane Setup", IDC_SETUP_DESTINATION);
    Check(setup != nullptr, "its Install starts the setup dialog");
    Check(installer.WaitForExit() == 1, "and Rezaravoz ends with exit code 1");
    return setup;
}

void SetUpThroughTheDialog(HWND setup, const std::string& destination) {
    SaveScreenshot(setup, "setup.ppm", 500);
    ::SetDlgItemTextA(setup, IDC_SETUP_DESTINATION, destination.c_str());
    ClickOn(::GetDlgItem(setup, IDOK));
    HWND done = WaitForAnyDialog("Tolvane Setup", kMessageBoxTextId);
    Check(done != nullptr && MessageBoxText(done).rfind("Tolvane is installed in " + destination, 0) == 0,
          "the setup says it is done");
    if (done != nullptr)
        ClickOn(::GetDlgItem(done, IDOK));
    Check(WaitUntil([&] { return !::IsWindow(setup); }), "and closes");

    for (const char* name : kInstalled)
        Check(FileExists(destination + name), std::string(name) + " installed");
    for (const char* link : kShortcuts)
        Check(FileExists(StartMenuFolder() + "\\" + link), std::string(link) + " in the Start menu");
    // With no output folder set, Tolvane writes where it starts: a standard user may not write the program folder.
    std::array<char, MAX_PATH> pictures{};
    ::SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures.data());
    Check(pictures[0] != '\0' && StartFolderOf(StartMenuFolder() + "\\Tolvane.lnk") == pictures.data(),
          "the Tolvane shortcut starts it in the user's Pictures folder");
    Check(RegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "UninstallString") ==
              "\"" + destination + "Installer.exe\" /uninstall",
          "the program list's entry removes it");
    const std::string settings = ReadFileBytes(SettingsPath());
    Check(settings.size() == kSettingsFileSize &&
              settings.compare(kInstallFolderField.offset, destination.size() + 1, destination + '\0') == 0,
          "the settings file names the installation folder");
}

void UseTheInstalledProgram(const std::string& destination, const std::string& work) {
    RunningProgram tolvane(destination + "Tolvane.exe", "\"" + work + "\\damaged_photo.psd\"", destination);
    HWND main = tolvane.WaitForDialog("Varnick PSD Recovery", IDC_FILELIST);
    Check(main != nullptr, "the installed Tolvane.exe starts without the missing-file message");
    if (main == nullptr)
        return;
    ClickOn(::GetDlgItem(main, IDC_HELPBUTTON));
    HWND help = WaitForAnyDialog("Tolvane Help", IDC_HELP_TOPICS);
    Check(help != nullptr, "its Help button starts Help.exe");
    if (help != nullptr) {
        ::PostMessageA(help, WM_CLOSE, 0, 0);
        Check(Closes(help), "and the help closes");
    }
    ClickOn(::GetDlgItem(main, IDC_OPTIONS));
    HWND options = WaitForAnyDialog("Tolvane Options", IDC_SUFFIX);
    Check(options != nullptr, "its Options button starts Optmgr.exe");
    if (options != nullptr) {
        SaveScreenshot(options, "optmgr.ppm", 1500);
        Press(options, IDC_BROWSE_FOLDER);
        HWND browser = WaitForAnyWindow([&](HWND window) {
            return ::GetWindow(window, GW_OWNER) == options &&
                   ::FindWindowExA(window, nullptr, "SysTreeView32", nullptr);
        });
        Check(browser != nullptr, "its Browse opens the folder browser");
        if (browser != nullptr) {
            ::PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
            Check(Closes(browser), "and Cancel closes it");
        }
        ::SendMessageA(::GetDlgItem(options, IDC_SUFFIX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("OPT"));
        Press(options, IDOK);
        Check(Closes(options), "and OK there saves and closes it");
    }
    Press(main, IDC_EXTRACT);
    HWND result = tolvane.WaitForMessageBox();
    Check(result != nullptr && FileExists(destination + "damaged_photoOPT\\1.jpg"),
          "Extract recovers the pictures into the program folder, with the suffix saved in Optmgr.exe");
    if (result != nullptr)
        Press(result, IDOK);
    Check(WaitUntil([&] { return result == nullptr || !::IsWindow(result); }), "the result box closes");
    Press(main, IDC_EXIT);
    Check(tolvane.WaitForExit() == 9, "Exit ends Tolvane");
}

// What the silent runs wrote into their logs in %TEMP%, which are removed.
std::string TakeSetupLogs() {
    std::array<char, MAX_PATH> temp{};
    ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    std::string text;
    WIN32_FIND_DATAA found{};
    UniqueFind log(::FindFirstFileA((std::string(temp.data()) + "Tolvane-setup-*.log").c_str(), &found));
    for (bool more = static_cast<bool>(log); more; more = ::FindNextFileA(log.Get(), &found)) {
        text += ReadFileBytes(std::string(temp.data()) + found.cFileName);
        ::DeleteFileA((std::string(temp.data()) + found.cFileName).c_str());
    }
    return text;
}

// Without a console a silent failure would go unseen: it also lands in a log of its own in %TEMP%.
void SilentFailureIsLogged(const std::string& destination) {
    TakeSetupLogs();
    RunningProgram setup(destination + "Installer.exe", "/S /D=Tolvane", destination);
    Check(setup.WaitForExit() == 2, "a silent setup into a relative folder fails with exit code 2");
    Check(TakeSetupLogs().find("full path") != std::string::npos, "and says why in a log in %TEMP%");
}

// The removal started in the folder it removes hands over to a copy of itself in %TEMP%: the copy's failure must
// still reach whoever started the removal, and leave it something to run again.
void FailedRemovalSaysSo(const std::string& destination) {
    const std::string help = destination + "Help.exe";
    const bool blocked =
        ::MoveFileA(help.c_str(), (help + ".kept").c_str()) && ::CreateDirectoryA(help.c_str(), nullptr);
    RunningProgram uninstall(destination + "Installer.exe", "/uninstall /S", destination);
    Check(blocked && uninstall.WaitForExit() == 2,
          "a silent removal that fails (Help.exe is a folder) ends with exit code 2");
    Check(FileExists(destination + "Installer.exe") && FileExists(destination + "install.log") &&
              RegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "DisplayName") == "Tolvane",
          "and leaves the setup, its list and the program list's entry to run it again");
    Check(TakeSetupLogs().find(help + "\nThis is a folder, not a file.") != std::string::npos,
          "and says why in a log in %TEMP%");
    ::RemoveDirectoryA(help.c_str());
    ::MoveFileA((help + ".kept").c_str(), help.c_str());
}

void UninstallSilently(const std::string& destination) {
    const std::string picture = ReadFileBytes(destination + "damaged_photoOPT\\1.jpg");
    RunningProgram uninstall(destination + "Installer.exe", "/uninstall /S", destination);
    Check(uninstall.WaitForExit() == 0, "Installer.exe /uninstall /S ends with exit code 0");
    for (const char* name : kInstalled)
        Check(WaitUntil([&] { return !FileExists(destination + name); }), std::string(name) + " removed");
    Check(WaitUntil([] { return !FileExists(StartMenuFolder()); }), "the Start menu folder is gone");
    Check(WaitUntil([] { return RegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "DisplayName") == "<none>"; }),
          "the program list's entry is gone");
    Check(!picture.empty() && ReadFileBytes(destination + "damaged_photoOPT\\1.jpg") == picture,
          "the recovered picture survives, and its folder");
    Check(ReadFileBytes(SettingsPath()).size() == kSettingsFileSize, "the settings file stays");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: setup_e2e REZARAVOZ_EXE WORK_FOLDER\n");
        return 2;
    }
    const std::string rezaravoz = WindowsPath(argv[1]);
    const std::string work = WindowsPath(argv[2]);
    const std::string destination = work + "\\Program Files\\Varnick\\Tolvane\\";
    StartClean();
    ::CoInitialize(nullptr);  // for the shell links
    HWND setup = InstallThroughRezaravoz(rezaravoz, work);
    if (setup != nullptr) {
        SetUpThroughTheDialog(setup, destination);
        UseTheInstalledProgram(destination, work);
        SilentFailureIsLogged(destination);
        FailedRemovalSaysSo(destination);
        UninstallSilently(destination);
    }
    return ReportChecks();
}
