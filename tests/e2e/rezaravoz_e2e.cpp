// Runs the real Rezaravoz.exe the way a user would: Exit, Install, and an installer whose archive was damaged by
// bytes appended to it. Usage: rezaravoz_e2e REZARAVOZ_EXE WORK_FOLDER PAYLOAD_FILE...
//   The payload files are the originals of what the installer carries; WORK_FOLDER is empty and writable.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "companions/setup/setup_resource.h"
#include "resources/rezaravoz_resource.h"
#include "tests/e2e/window_driver.h"
#include "tests/win32/window_test_support.h"

namespace {

constexpr char kTitle[] = "Varnick Tembrik";

std::string BareName(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// A TEMP folder of its own for each run; its name has a blank, as "Documents and Settings" paths do.
std::string MakeTemp(const std::string& work, const std::string& name) {
    const std::string temp = work + "\\" + name + " temp";
    ::CreateDirectoryA(temp.c_str(), nullptr);
    ::SetEnvironmentVariableA("TEMP", temp.c_str());
    return temp;
}

void ExitWritesNothing(const std::string& exe, const std::string& work) {
    const std::string temp = MakeTemp(work, "exit");
    RunningProgram installer(exe, "", work);
    HWND dialog = installer.WaitForDialog(kTitle, IDC_INSTALL);
    Check(dialog != nullptr, "installer dialog appears");
    Press(dialog, IDOK);
    Check(installer.WaitForExit() == 0, "Exit ends the installer normally");
    Check(!FileExists(temp + "\\Zandor"), "Exit writes nothing");
}

void InstallUnpacksAndStartsSetup(const std::string& exe,
                                  const std::string& work,
                                  const std::vector<std::string>& payload) {
    const std::string folder = MakeTemp(work, "install") + "\\Zandor";
    RunningProgram installer(exe, "", work);
    HWND dialog = installer.WaitForDialog(kTitle, IDC_INSTALL);
    Check(dialog != nullptr, "installer dialog appears");
    Press(dialog, IDC_INSTALL);
    HWND setup = WaitForAnyDialog("Tolvane Setup", IDC_SETUP_DESTINATION);
    Check(setup != nullptr, "the setup program started");
    Check(installer.WaitForExit() == 1, "the installer ends with exit code 1 after starting it");
    for (const std::string& original : payload) {
        const std::string unpacked = ReadFileBytes(folder + "\\" + BareName(original));
        Check(!unpacked.empty() && unpacked == ReadFileBytes(original), BareName(original) + " unpacked byte for byte");
    }
    if (setup != nullptr) {
        // Without arguments the setup offers its default folder; with a /D= it would show that one instead.
        char shown[512] = {};
        ::GetDlgItemTextA(setup, IDC_SETUP_DESTINATION, shown, sizeof shown);
        Check(std::string(shown).find(":\\Program Files\\Varnick\\Tolvane\\") == 1, "setup started without arguments");
        Press(setup, IDCANCEL);
        Check(WaitUntil([&] { return !::IsWindow(setup); }), "Cancel closes the setup");
    }
}

void AppendedBytesMeanNoData(const std::string& exe, const std::string& work) {
    const std::string signed_exe = work + "\\Rezaravoz-signed.exe";
    WriteFileBytes(signed_exe, ReadFileBytes(exe) + "appended signature");
    const std::string temp = MakeTemp(work, "signed");
    RunningProgram installer(signed_exe, "", work);
    HWND dialog = installer.WaitForDialog(kTitle, IDC_INSTALL);
    Check(dialog != nullptr, "installer dialog appears");
    Press(dialog, IDC_INSTALL);
    HWND box = installer.WaitForMessageBox();
    Check(box != nullptr && MessageBoxText(box) == "Archive contains no data. Contact Vendor",
          "appended bytes: \"Archive contains no data. Contact Vendor\"");
    Check(box != nullptr && WindowText(box) == "Rezaravoz-signed", "caption is the program's name");
    Press(box, IDOK);
    Check(WaitUntil([&] { return ::IsWindowVisible(::GetDlgItem(dialog, IDC_INSTALL)) != FALSE; }),
          "the dialog stays open");
    Press(dialog, IDOK);
    Check(installer.WaitForExit() == 0, "then Exit ends it normally");
    Check(!FileExists(temp + "\\Zandor\\Installer.exe"), "nothing was unpacked");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: rezaravoz_e2e REZARAVOZ_EXE WORK_FOLDER PAYLOAD_FILE...\n");
        return 2;
    }
    const std::string exe = WindowsPath(argv[1]);
    const std::string work = WindowsPath(argv[2]);
    std::vector<std::string> payload;
    for (int i = 3; i < argc; ++i)
        payload.push_back(WindowsPath(argv[i]));
    ExitWritesNothing(exe, work);
    InstallUnpacksAndStartsSetup(exe, work, payload);
    AppendedBytesMeanNoData(exe, work);
    return ReportChecks();
}
