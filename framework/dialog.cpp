#include "framework/dialog.h"

#include "framework/gdi_scope.h"

Dialog::Dialog(HINSTANCE instance, int template_id) : instance_(instance), template_id_(template_id) {}

Dialog::~Dialog() {
    if (hwnd_ != nullptr && !modal_)
        ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::DoModal(HWND parent) {
    modal_ = true;
    return ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(template_id_), parent, &Dialog::Proc,
                             reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND parent) {
    modal_ = false;
    return ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(template_id_), parent, &Dialog::Proc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Close(INT_PTR code) {
    if (modal_)
        ::EndDialog(hwnd_, code);
    else
        ::DestroyWindow(hwnd_);
}

bool Dialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    // OK and Cancel (Enter, Escape, the close box) end the dialog unless the dialog handles them itself.
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        Close(LOWORD(wp));
        return true;
    }
    if (msg == WM_DRAWITEM) {
        // Owner-drawn controls paint themselves. For a menu item the record's window field holds a menu handle.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item->CtlType == ODT_MENU)
            return false;
        *result = ::SendMessageA(item->hwndItem, kMsgReflectDrawItem, 0, lp);
        return *result != 0;
    }
    return false;
}

namespace {

// The messages whose result a dialog procedure returns itself; for these the dialog manager ignores DWLP_MSGRESULT.
bool ResultIsReturnedDirectly(UINT msg) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG)
        return OnInitDialog() ? TRUE : FALSE;
    LRESULT result = 0;
    if (!OnMessage(msg, wp, lp, &result))
        return FALSE;
    if (ResultIsReturnedDirectly(msg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lp);
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return FALSE;
    INT_PTR handled = FALSE;
    try {
        handled = self->Dispatch(msg, wp, lp);
    } catch (...) {
        // Nothing may cross back into the system's dialog manager.
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

void PaintMinimisedIcon(HWND dialog, HICON icon) {
    PaintDc paint(dialog);
    ::SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.Get(), x, y, icon);
}
