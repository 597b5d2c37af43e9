#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

// Message boxes show their text in a static control with this id, on Windows and on Wine alike.
constexpr int kMessageBoxTextId = 0xFFFF;

// Drives a running program from outside, as a user with a mouse would: finds its windows, presses buttons, reads
// texts. Every wait gives up after a timeout so a broken program fails the run instead of hanging it.
class RunningProgram {
  public:
    RunningProgram(const std::string& exe, const std::string& arguments, const std::string& folder);
    // A program that stays running at the end of a check is ended, so one failure does not hang the next check.
    ~RunningProgram();
    bool Started() const { return static_cast<bool>(process_); }

    // The first visible top-level dialog of the program whose caption is `caption` and that has control
    // `control_id`; nullptr after the timeout.
    HWND WaitForDialog(const std::string& caption, int control_id, DWORD timeout_ms = 20000) const;
    // A message box: a dialog with the static text control that message boxes use.
    HWND WaitForMessageBox(DWORD timeout_ms = 20000) const;
    // The first visible top-level window of the program for which `match` holds; nullptr after the timeout.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms = 20000) const;
    // The exit code, or -1 when the program still runs after the timeout (it is then killed).
    int WaitForExit(DWORD timeout_ms = 20000);

    // Reads a text out of the program's own memory: column `index` header of a list view.
    std::string ListHeaderText(HWND list, int index) const;

  private:
    UniqueKernelHandle process_;
    DWORD process_id_ = 0;
};

// A visible dialog of any process with this caption and control; nullptr after the timeout.
HWND WaitForAnyDialog(const std::string& caption, int control_id, DWORD timeout_ms = 20000);

std::string WindowText(HWND hwnd);
// A window of the dialog class: dialogs and message boxes.
bool IsDialogWindow(HWND hwnd);
std::string MessageBoxText(HWND box);
// Prints one check's outcome and counts the failures.
void Check(bool condition, const std::string& what);
// Prints the number of failed checks; the driver's exit code.
int ReportChecks();
// A path from the command line with its slashes turned into backslashes.
std::string WindowsPath(std::string path);

// Presses a button the way BM_CLICK does, without waiting for what the press starts.
void Press(HWND dialog, int control_id);

// Real input, as the mouse makes it: the pointer moves to `screen` (screen coordinates).
void MoveMouseTo(POINT screen);
// Moves the pointer to the middle of `window` and clicks the left button there.
void ClickOn(HWND window);
POINT CentreOf(HWND window);

// What the screen shows in the client area of `window`, one 0x00RRGGBB value per pixel, row by row.
std::vector<uint32_t> ScreenPixels(HWND window);
// Saves what the screen shows of `window`, frame included, as a PPM picture; false when it could not.
bool SaveWindowPicture(HWND window, const std::string& path);
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
