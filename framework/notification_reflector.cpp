#include "framework/notification_reflector.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kReflectorId = 0x52656678;
}  // namespace

NotificationReflector::~NotificationReflector() {
    Detach();
}

bool NotificationReflector::Attach(HWND window) {
    Detach();
    if (!::SetWindowSubclass(window, &NotificationReflector::SubclassProc, kReflectorId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    return true;
}

void NotificationReflector::Detach() {
    if (window_ == nullptr)
        return;
    ::RemoveWindowSubclass(window_, &NotificationReflector::SubclassProc, kReflectorId);
    window_ = nullptr;
}

LRESULT CALLBACK
NotificationReflector::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    const auto control = reinterpret_cast<HWND>(lp);
    switch (msg) {
        case WM_COMMAND:
            // Menus and accelerators carry no control.
            if (control != nullptr && ::SendMessageA(control, kMsgReflectCommand, wp, lp) != 0)
                return 0;
            break;
        case WM_CTLCOLORSTATIC:
            if (const LRESULT brush = ::SendMessageA(control, kMsgReflectCtlColor, wp, lp))
                return brush;
            break;
        case WM_NCDESTROY:
            reinterpret_cast<NotificationReflector*>(self)->Detach();
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}
