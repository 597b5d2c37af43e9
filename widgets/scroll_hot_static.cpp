#include "widgets/scroll_hot_static.h"

#include "framework/gdi_scope.h"
#include "framework/notification_reflector.h"
#include "resources/tolvane_resource.h"
#include "widgets/font_with_underline.h"
#include "widgets/offscreen_dc.h"

namespace {
constexpr UINT_PTR kScrollTimerId = 1000;
constexpr UINT kFirstIntervalMs = 30;
// After the first hover the text moves three times as fast.
constexpr UINT kLaterIntervalMs = 10;
}  // namespace

ScrollState& SharedScrollState() {
    static ScrollState state;
    return state;
}

CScrollHotStatic::CScrollHotStatic(ScrollState& state, LinkOpener open)
    : state_(state),
      open_(std::move(open)),
      handCursor(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_POINTER))),
      arrowCursor(::LoadCursorA(nullptr, IDC_ARROW)) {
    ::SetCursor(arrowCursor);
}

CScrollHotStatic::~CScrollHotStatic() {
    // The window may outlive this object (a modeless dialog destroys its controls' objects first).
    if (Hwnd() != nullptr)
        OnDestroy();
}

void CScrollHotStatic::AddLine(std::string_view text, std::string_view link, int indent) {
    lines.push_back(MakeScrollLine(text, link, indent));
}

void CScrollHotStatic::OnPaint() {
    if (state_.firstPaint) {
        // The control sets its cursor itself at every movement; a class cursor would flicker in between.
        ::SetClassLongPtrA(Hwnd(), GCLP_HCURSOR, 0);
        state_.firstPaint = false;
    }
    PaintDc paint(Hwnd());
    OffscreenDC offscreen(paint.Get(), state_);
    const RECT client = offscreen.Rect();
    state_.BeginPaint(client.bottom - client.top);
    if (timerId == -1) {
        if (const UINT_PTR started = ::SetTimer(Hwnd(), kScrollTimerId, kFirstIntervalMs, nullptr))
            timerId = static_cast<INT_PTR>(started);
    }
    MakeFonts(offscreen.Get());
    DrawLines(offscreen.Get(), client);
}

void CScrollHotStatic::MakeFonts(HDC offscreen) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
    if (!linkFont) {
        if (font != nullptr)
            linkFont = FontWithUnderline(font, true);
        // Measured in the context's own default font, not the control's: the line pitch is that font's.
        SIZE extent{};
        ::GetTextExtentPoint32A(offscreen, "A", 1, &extent);
        lineHeight = extent.cy;
    }
    if (!plainFont && font != nullptr)
        plainFont = FontWithUnderline(font, false);
}

COLORREF CScrollHotStatic::ColourOf(const ScrollLine& line) const {
    if (!HasLink(line))
        return plainColour;
    if ((line.lineState & LineHot) != 0)
        return lineHotColour;
    return (line.lineState & LineVisited) != 0 ? lineVisitedColour : lineLinkColour;
}

void CScrollHotStatic::DrawLines(HDC offscreen, RECT rect) {
    SelectGuard keep_font(offscreen, ::GetCurrentObject(offscreen, OBJ_FONT));
    ::SetBkMode(offscreen, TRANSPARENT);
    for (const ScrollLine& line : lines) {
        if (HFONT font = HasLink(line) ? linkFont.Get() : plainFont.Get())
            ::SelectObject(offscreen, font);
        ::SetTextColor(offscreen, ColourOf(line));
        rect.left = line.xOffset;
        // A line that wraps may run into the next one, which still starts one pitch lower.
        ::DrawTextA(offscreen, line.text.data(), -1, &rect, DT_WORDBREAK);
        rect.top += lineHeight;
    }
}

void CScrollHotStatic::RepaintNow() {
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
    ::UpdateWindow(Hwnd());
}

void CScrollHotStatic::OnTimer(WPARAM id) {
    if (timerId != -1 && id == static_cast<WPARAM>(timerId))
        RepaintNow();
}

void CScrollHotStatic::OnMouseMove(int y) {
    if (state_.scrolling) {
        ::KillTimer(Hwnd(), static_cast<UINT_PTR>(timerId));
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = Hwnd();
        ::TrackMouseEvent(&track);
        state_.scrolling = false;
        pausedHere_ = true;
        return;
    }
    const bool hot = MarkHotLine(lines, state_.ContentY(y), lineHeight);
    ::SetCursor(hot ? handCursor : arrowCursor);
    RepaintNow();
}

void CScrollHotStatic::OnMouseLeave() {
    state_.scrolling = true;
    pausedHere_ = false;
    if (timerId != -1)
        ::SetTimer(Hwnd(), static_cast<UINT_PTR>(timerId), kLaterIntervalMs, nullptr);
    ::SetCursor(arrowCursor);
    for (ScrollLine& line : lines)
        line.lineState &= ~LineHot;
}

void CScrollHotStatic::OnClicked() {
    for (ScrollLine& line : lines) {
        if ((line.lineState & LineHot) == 0)
            continue;
        if (open_(line.link.data(), SW_SHOWNORMAL) <= 32) {
            ::MessageBeep(0);
            return;
        }
        line.lineState |= LineVisited;
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
        return;
    }
}

void CScrollHotStatic::OnDestroy() {
    if (timerId != -1)
        ::KillTimer(Hwnd(), static_cast<UINT_PTR>(timerId));
    timerId = -1;
    // A window destroyed under the pointer gets no leave message: without this the next box would stand still
    // until the mouse came and went again.
    if (pausedHere_)
        state_.scrolling = true;
    pausedHere_ = false;
}

LRESULT CScrollHotStatic::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<short>(HIWORD(lp)));
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case kMsgReflectCommand:
            if (HIWORD(wp) != STN_CLICKED)
                break;
            OnClicked();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_ERASEBKGND:
            return TRUE;  // the paint covers every pixel it needs; erasing would flash
        case WM_SETCURSOR:
            return TRUE;  // keeps the cursor the movement chose
    }
    return SubclassedControl::OnMessage(msg, wp, lp);
}
