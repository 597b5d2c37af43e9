#include "widgets/hyperlink_static.h"

#include <commctrl.h>

#include <array>

#include "framework/gdi_scope.h"
#include "framework/notification_reflector.h"
#include "widgets/fit_to_text.h"
#include "widgets/font_with_underline.h"
#include "widgets/home_page.h"
#include "widgets/open_error_text.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr UINT kHoverPollMs = 10;
constexpr int kLinkCursorResource = 106;

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

PixelRect InParent(HWND parent, HWND from, RECT rect) {
    ::MapWindowPoints(from, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::string WindowsDirectory() {
    std::array<char, MAX_PATH> buffer{};
    const UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    return length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

}  // namespace

UniqueCursor LoadLinkCursor(const std::string& windows_directory) {
    const std::string path = windows_directory + "\\winhlp32.exe";
    // As a data file: only its resources are wanted, none of its code runs.
    if (HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        HCURSOR borrowed = ::LoadCursorA(module, MAKEINTRESOURCEA(kLinkCursorResource));
        UniqueCursor copy(borrowed != nullptr ? ::CopyIcon(borrowed) : nullptr);
        ::FreeLibrary(module);
        if (copy)
            return copy;
    }
    return UniqueCursor(::CopyIcon(::LoadCursorA(nullptr, IDC_HAND)));
}

HyperlinkStatic::HyperlinkStatic(Win32Platform& platform, LinkOpener open)
    : platform_(platform), open_(std::move(open)) {}

HyperlinkStatic::~HyperlinkStatic() {
    // The window may outlive this object: it must not keep a font that goes with it.
    if (Hwnd() != nullptr)
        ReleaseWindow();
    if (::IsWindow(toolTip))
        ::DestroyWindow(toolTip);
}

bool HyperlinkStatic::Attach(HWND dialog, int id) {
    if (!SubclassedControl::Attach(dialog, id))
        return false;
    ::SetWindowLongPtrA(Hwnd(), GWL_STYLE, ::GetWindowLongPtrA(Hwnd(), GWL_STYLE) | SS_NOTIFY);
    if (WindowText(Hwnd()).empty())
        ::SetWindowTextA(Hwnd(), url.c_str());
    normalFont = reinterpret_cast<HFONT>(::SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
    // A static never given a font draws in the system font.
    underlineFont =
        FontWithUnderline(normalFont != nullptr ? normalFont : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT)), true);
    FitToText();
    LoadLinkCursor();
    SetUnderlineMode(UnderlineOnHover);
    CreateToolTip();
    return true;
}

void HyperlinkStatic::FitToText() {
    if (!::IsWindow(Hwnd()))
        return;
    HWND parent = ::GetParent(Hwnd());
    RECT window{};
    RECT client{};
    ::GetWindowRect(Hwnd(), &window);
    ::GetClientRect(Hwnd(), &client);
    const std::string text = WindowText(Hwnd());
    SIZE extent{};
    {
        WindowDc dc(Hwnd());
        SelectGuard select(dc.Get(), underlineFont.Get());
        ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(Hwnd(), GWL_STYLE));
    TextLayout layout;
    layout.centerVertically = (style & SS_CENTERIMAGE) != 0;
    if ((style & SS_CENTER) != 0)
        layout.horizontal = TextAlign::Center;
    else if ((style & SS_RIGHT) != 0)
        layout.horizontal = TextAlign::Right;
    const PixelRect fitted = ::FitToText(InParent(parent, nullptr, window), InParent(parent, Hwnd(), client),
                                         {extent.cx, extent.cy}, layout);
    ::SetWindowPos(Hwnd(), nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void HyperlinkStatic::LoadLinkCursor() {
    if (!linkCursor)
        linkCursor = ::LoadLinkCursor(WindowsDirectory());
}

void HyperlinkStatic::CreateToolTip() {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    toolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    url = kHomePageAddress;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    // TTF_SUBCLASS: the tooltip watches the control's mouse messages itself; a modal dialog's loop relays none.
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Hwnd();
    tool.uId = kToolId;
    tool.rect = client;
    tool.lpszText = url.data();
    ::SendMessageA(toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkStatic::SetUrl(const std::string& text) {
    url = text;
    if (Hwnd() == nullptr)
        return;
    FitToText();
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Hwnd();
    tool.uId = kToolId;
    tool.lpszText = const_cast<char*>(kHomePageAddress);
    ::SendMessageA(toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkStatic::SetVisited(bool flag) {
    visited = flag;
    if (Hwnd() != nullptr)
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void HyperlinkStatic::UseFont(HFONT font) {
    ::SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void HyperlinkStatic::SetUnderlineMode(int mode) {
    if (mode == underlineMode)
        return;
    if (Hwnd() != nullptr) {
        UseFont(mode == UnderlineAlways ? underlineFont.Get() : normalFont);
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    underlineMode = mode;
}

HBRUSH HyperlinkStatic::OnCtlColor(HDC dc) const {
    ::SetTextColor(dc, hovering ? hoverColour : visited ? visitedColour : linkColour);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void HyperlinkStatic::OnMouseMove() {
    if (hovering)
        return;
    hovering = true;
    if (underlineMode == UnderlineOnHover)
        UseFont(underlineFont.Get());
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
    ::SetTimer(Hwnd(), hoverTimerId, kHoverPollMs, nullptr);
}

// Polled rather than tracked: the cursor position of the timer message tells whether the mouse has gone.
void HyperlinkStatic::OnTimer() {
    const DWORD position = ::GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::ScreenToClient(Hwnd(), &point);
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (::PtInRect(&client, point))
        return;
    hovering = false;
    ::KillTimer(Hwnd(), hoverTimerId);
    if (underlineMode != UnderlineAlways)
        UseFont(normalFont);
    client.bottom += 10;  // the underline's descent
    ::InvalidateRect(Hwnd(), &client, TRUE);
}

void HyperlinkStatic::OnClicked() {
    hovering = false;  // the timer runs on until it sees the cursor outside
    url = kHomePageAddress;
    const INT_PTR result = open_(url, SW_SHOW);
    visited = result > 32;
    if (visited) {
        SetVisited(true);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
}

void HyperlinkStatic::ShowOpenError(INT_PTR result) {
    // Owned by the window the link is in, which stays modal to everything behind it.
    const HWND previous_owner = platform_.Owner();
    platform_.SetOwner(::GetAncestor(Hwnd(), GA_ROOT));
    platform_.ShowMessage(OpenErrorText(result), "", MessageButtons::Ok, MessageIcon::Warning);
    platform_.SetOwner(previous_owner);
}

void HyperlinkStatic::ReleaseWindow() {
    ::KillTimer(Hwnd(), hoverTimerId);
    if (reinterpret_cast<HFONT>(::SendMessageA(Hwnd(), WM_GETFONT, 0, 0)) == underlineFont.Get())
        ::SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(normalFont), FALSE);
}

LRESULT HyperlinkStatic::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kMsgReflectCtlColor:
            return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wp)));
        case kMsgReflectCommand:
            if (HIWORD(wp) != STN_CLICKED)
                break;
            OnClicked();
            return TRUE;
        case WM_MOUSEMOVE:
            OnMouseMove();
            break;
        case WM_TIMER:
            OnTimer();
            break;
        case WM_SETCURSOR:
            if (!linkCursor)
                return FALSE;  // the current cursor stays
            ::SetCursor(linkCursor.Get());
            return TRUE;
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(Hwnd(), &client);
            ::FillRect(reinterpret_cast<HDC>(wp), &client, ::GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        case WM_DESTROY:
            ::KillTimer(Hwnd(), hoverTimerId);
            break;
    }
    return SubclassedControl::OnMessage(msg, wp, lp);
}
