#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "companions/setup/setup_arguments.h"
#include "companions/setup/setup_plan.h"
#include "companions/setup/win32_setup_machine.h"

// The setup program: installs from its own folder through its window (or silently with /S), or removes an
// installation with /uninstall. Exit codes: 0 done, 1 cancelled by the user, 2 failed or refused.
class SetupApp {
  public:
    SetupApp(HINSTANCE instance, const std::string& arguments);
    int Run();

  private:
    int RunWindow();
    int RunSilentInstall();
    int RunUninstall();
    // Asks, removes and tells: the exit code.
    int RemoveInstallation(const std::string& destination);
    // An uninstall started from the folder it removes hands over to a copy of the setup in %TEMP%, so that the
    // setup's own file can go too, and passes on the copy's answer as its exit code. Nothing when no copy could be
    // started.
    std::optional<int> HandOverToCopy(const std::string& destination);
    // The copy's side: gives the setup that started it the answer, waits for it to end and removes its file.
    void AnswerAndFinish(int exit_code, const std::string& setup_program);
    // The window's Install: true when the window may close.
    bool InstallFromWindow(HWND owner, const std::string& typed);
    SetupOutcome Install(const std::string& destination);
    // Offers to restart elevated when that can help; true when the elevated copy took over.
    bool OfferElevation(HWND owner, const SetupOutcome& outcome, const std::string& destination, bool uninstalling);
    void Tell(HWND owner, const std::string& text, UINT icon) const;

    HINSTANCE instance_;
    SetupArguments arguments_;
    std::string own_path_;
    std::string own_folder_;  // with its trailing backslash
    Win32SetupMachine machine_;
    int exit_code_ = 1;
};
