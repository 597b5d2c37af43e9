#include "widgets/hover_button.h"

#include <commctrl.h>

#include "framework/dialog.h"
#include "framework/gdi_scope.h"

namespace {
constexpr UINT_PTR kToolId = 1;
}  // namespace

bool CHoverButton::LoadBitmap(int resource_id) {
    // LR_LOADMAP3DCOLORS: the bitmap's standard greys become the user's button colours.
    m_stripBitmap.Reset(static_cast<HBITMAP>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource_id & 0xFFFF), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    BITMAP info{};
    if (m_stripBitmap)
        ::GetObjectA(m_stripBitmap.Get(), sizeof info, &info);
    m_nFrameWidth = info.bmWidth / 3;
    m_nFrameHeight = info.bmHeight;
    ::SetWindowPos(Hwnd(), HWND_TOP, 0, 0, m_nFrameWidth, m_nFrameHeight, SWP_NOMOVE | SWP_NOOWNERZORDER);
    return true;
}

CHoverButton::Frame CHoverButton::FrameFor(UINT item_state) const {
    if ((item_state & ODS_SELECTED) != 0)
        return kPressed;
    return m_bHover ? kHover : kNormal;
}

void CHoverButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const Frame frame = FrameFor(item.itemState);
    if (frame == kPressed)
        ::Sleep(80);  // lets the press be seen before the command runs
    UniqueMemDc memory(::CreateCompatibleDC(item.hDC));
    SelectGuard select(memory.Get(), m_stripBitmap.Get());
    ::BitBlt(item.hDC, 0, 0, m_nFrameWidth, m_nFrameHeight, memory.Get(), frame * m_nFrameWidth, 0, SRCCOPY);
}

void CHoverButton::OnMouseMove() {
    if (m_bTracking)
        return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = Hwnd();
    track.dwHoverTime = 1;
    m_bTracking = ::TrackMouseEvent(&track) != FALSE;
}

void CHoverButton::OnMouseHover() {
    m_bHover = true;
    Repaint();
}

void CHoverButton::OnMouseLeave() {
    m_bTracking = false;
    m_bHover = false;
    Repaint();
}

void CHoverButton::Repaint() {
    ::Sleep(40);
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CHoverButton::EnsureToolTip() {
    if (m_toolTip)
        return;
    m_toolTip.Reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                      ::GetModuleHandleA(nullptr), nullptr));
    ::SendMessageA(m_toolTip.Get(), TTM_ACTIVATE, FALSE, 0);
}

void CHoverButton::SetToolTipText(const char* text, bool activate) {
    if (text == nullptr)
        return;
    EnsureToolTip();
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    // TTF_SUBCLASS: the tool tip watches the button's mouse messages itself, so no message loop has to relay them.
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Hwnd();
    tool.uId = kToolId;
    tool.lpszText = const_cast<char*>(text);
    HWND tip = m_toolTip.Get();
    if (::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        ::GetClientRect(Hwnd(), &tool.rect);
        ::SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(tip, TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}

LRESULT CHoverButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kMsgReflectDrawItem:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_MOUSEMOVE:
            OnMouseMove();
            break;
        case WM_MOUSEHOVER:
            OnMouseHover();
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_DESTROY:
            // When the whole dialog goes, its owned windows, the tool tip among them, may have gone already.
            if (::IsWindow(m_toolTip.Get()))
                m_toolTip.Reset();
            else
                m_toolTip.Release();
            break;
    }
    return SubclassedControl::OnMessage(msg, wp, lp);
}
