#include "framework/subclassed_control.h"

#include <commctrl.h>

namespace {
// One subclass per control object; the id tells our hook apart from others on the same window.
constexpr UINT_PTR kSubclassId = 0x546F6C76;
}  // namespace

SubclassedControl::~SubclassedControl() {
    Detach();
}

bool SubclassedControl::Attach(HWND dialog, int id) {
    Detach();
    HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr ||
        !::SetWindowSubclass(control, &SubclassedControl::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = control;
    return true;
}

void SubclassedControl::Detach() {
    if (hwnd_ == nullptr)
        return;
    ::RemoveWindowSubclass(hwnd_, &SubclassedControl::SubclassProc, kSubclassId);
    hwnd_ = nullptr;
}

LRESULT SubclassedControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return Default(msg, wp, lp);
}

LRESULT SubclassedControl::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<SubclassedControl*>(self);
    if (msg == WM_NCDESTROY) {
        control->Detach();
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        return control->OnMessage(msg, wp, lp);
    } catch (...) {
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
}
