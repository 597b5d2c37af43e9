#pragma once

#include <windows.h>

// Messages a window sends back to the control a notification came from (see NotificationReflector).
constexpr UINT kMsgReflectCommand = WM_APP + 0x110;   // wParam, lParam: those of the WM_COMMAND
constexpr UINT kMsgReflectCtlColor = WM_APP + 0x111;  // wParam, lParam: those of the WM_CTLCOLORSTATIC

// Hands a window's control notifications back to the controls they came from, so each control carries its own
// behaviour: WM_COMMAND from a control arrives there as kMsgReflectCommand (handled when the control answers
// nonzero), WM_CTLCOLORSTATIC as kMsgReflectCtlColor (the control answers with its brush, or 0 to leave the
// colours to the window). It hooks the window itself, because a dialog procedure cannot hand back a brush
// through DWLP_MSGRESULT: the dialog manager takes it from the procedure's return value only.
class NotificationReflector {
  public:
    NotificationReflector() = default;
    NotificationReflector(const NotificationReflector&) = delete;
    NotificationReflector& operator=(const NotificationReflector&) = delete;
    ~NotificationReflector();

    // False when the window cannot be hooked.
    bool Attach(HWND window);

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void Detach();

    HWND window_ = nullptr;
};
