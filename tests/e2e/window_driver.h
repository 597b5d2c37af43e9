#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"

// Drives a running program from outside, as a user with a mouse would: finds its windows, presses buttons, reads
// texts. Every wait gives up after a timeout so a broken program fails the run instead of hanging it.
class RunningProgram {
  public:
    RunningProgram(const std::string& exe, const std::string& arguments, const std::string& folder);
    bool Started() const { return static_cast<bool>(process_); }

    // The first visible top-level dialog of the program whose caption is `caption` and that has control
    // `control_id`; nullptr after the timeout.
    HWND WaitForDialog(const std::string& caption, int control_id, DWORD timeout_ms = 20000) const;
    // A message box: a dialog with the static text control that message boxes use.
    HWND WaitForMessageBox(DWORD timeout_ms = 20000) const;
    // The exit code, or -1 when the program still runs after the timeout (it is then killed).
    int WaitForExit(DWORD timeout_ms = 20000);

    // Reads a text out of the program's own memory: column `index` header of a list view.
    std::string ListHeaderText(HWND list, int index) const;

  private:
    UniqueKernelHandle process_;
    DWORD process_id_ = 0;
};

std::string WindowText(HWND hwnd);
std::string MessageBoxText(HWND box);
// Presses a button the way BM_CLICK does, without waiting for what the press starts.
void Press(HWND dialog, int control_id);
// Polls `condition` every 50 ms; false when it never held within the timeout.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeout_ms = 20000) {
    for (DWORD waited = 0; waited <= timeout_ms; waited += 50) {
        if (condition())
            return true;
        ::Sleep(50);
    }
    return false;
}
