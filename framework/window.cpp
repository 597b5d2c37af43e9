#include "framework/window.h"

Window::~Window() {
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

bool Window::RegisterClassOnce(const char* class_name) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (::GetClassInfoA(instance, class_name, &existing))
        return true;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = &Window::Proc;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.lpszClassName = class_name;
    return ::RegisterClassA(&window_class) != 0;
}

bool Window::Create(DWORD ex_style, const char* class_name, DWORD style, HWND parent, UINT id) {
    return ::CreateWindowExA(ex_style, class_name, "", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleA(nullptr),
                             this) != nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    if (hwnd == nullptr || ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId() ||
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Window::Proc))
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Window::RunModalLoop() {
    continue_modal_ = true;
    MSG msg;
    while (continue_modal_ && ::IsWindow(hwnd_)) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    continue_modal_ = false;
}

void Window::EndModalLoop() {
    if (!continue_modal_)
        return;
    continue_modal_ = false;
    // Wakes the loop should it be waiting for a message.
    ::PostMessageA(hwnd_, WM_NULL, 0, 0);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        // Nothing may cross back into the system's window manager.
        result = ::DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
