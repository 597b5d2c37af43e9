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
    // A visible top-level window of the program of that class; nullptr after the timeout.
    HWND WaitForWindowOfClass(const std::string& class_name, DWORD timeout_ms = 20000) const;
    bool HasWindowOfClass(const std::string& class_name) const;
    // The items of a toolbar control of the program (the rows of a bitmap menu): command id, text and screen rect.
    struct ToolbarItem {
        int id;
        std::string text;
        RECT rect;
    };
    std::vector<ToolbarItem> ToolbarItems(HWND toolbar) const;
    // The bitmap menu that opens, and its rows as the program shows them; empty when no menu opened.
    std::vector<ToolbarItem> OpenedMenu(HWND* popup) const;
    // The text of a cell of a list view.
    std::string ListCellText(HWND list, int row, int column) const;
    // The screen rectangle of row `row` of a list view.
    RECT ListRowRect(HWND list, int row) const;

  private:
    UniqueKernelHandle process_;
    DWORD process_id_ = 0;
};

// A visible dialog of any process with this caption and control; nullptr after the timeout.
HWND WaitForAnyDialog(const std::string& caption, int control_id, DWORD timeout_ms = 20000);
// The first visible top-level window of any process for which `match` holds; nullptr after the timeout.
HWND WaitForAnyWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms = 20000);

std::string WindowText(HWND hwnd);
// A window of the dialog class: dialogs and message boxes.
// The window class of the program's bitmap popup menus.
constexpr char kBitmapMenuClass[] = "BitmapMenu";
// Clicks the row of command `id` in a menu's rows, moving onto it first as a user's pointer would.
void ChooseMenuItem(const std::vector<RunningProgram::ToolbarItem>& items, int id);
std::string ClassName(HWND hwnd);
bool IsDialogWindow(HWND hwnd);
std::string MessageBoxText(HWND box);
// Prints one check's outcome and counts the failures.
void Check(bool condition, const std::string& what);
// Prints the number of failed checks; the driver's exit code.
int ReportChecks();
// A path from the command line with its slashes turned into backslashes.
std::string WindowsPath(std::string path);

// Real input, as a user makes it, through SendInput; positions in screen pixels.
void MoveMouse(int x, int y);
void ClickAt(int x, int y, bool right_button = false);
void ClickCentre(const RECT& rect, bool right_button = false);
void PressKey(WORD key);
// Alt held down while `key` is pressed.
void PressAltKey(WORD key);
RECT ScreenRect(HWND hwnd);

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
// The folder TOLVANE_SCREENSHOTS names, with a backslash at its end, where the drivers save the README's pictures
// (tools/take_driver_screenshots.sh); empty when the run is not asked for pictures.
std::string ScreenshotFolder();
// Saves `window` there as `name` when pictures are asked for, `settle_ms` after it shows (a dialog paints its
// controls only after it appears).
void SaveScreenshot(HWND window, const std::string& name, DWORD settle_ms = 0);
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
