#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/gdi_scope.h"
#include "resources/tolvane_resource.h"
#include "tests/win32/window_test_support.h"
#include "widgets/scroll_hot_static.h"

namespace {

constexpr uint32_t kMarker = 0xFF00FF;  // painted before each paint: what stays of it was not copied
constexpr int kHeight = 100;
constexpr int kWidth = 160;

struct OpenedLink {
    std::string target;
    int show = -1;
};

// A scrolling static 100 pixels high with a state of its own and a fake shell that records what it opens.
class ScrollHotStaticTest : public ::testing::Test {
  protected:
    ScrollHotStaticTest() {
        control.Attach(host.Window(), ControlHost::kControlId);
        // The first line is empty: the window's own text ("Static") would show there if it were drawn.
        control.AddLine("", "", 0);
        for (int i = 1; i < 6; ++i)
            control.AddLine("W|M/" + std::to_string(i) + "\\MW", i == 2 ? "link.htm" : "", 9 * i);
    }

    // Marks the control's pixels, paints it once and returns what it shows then.
    Picture PaintOnce() {
        {
            WindowDc dc(host.Control());
            RECT client{0, 0, kWidth, kHeight};
            UniqueBrush marker(::CreateSolidBrush(RGB(255, 0, 255)));
            ::FillRect(dc.Get(), &client, marker.Get());
        }
        ::InvalidateRect(host.Control(), nullptr, FALSE);
        ::UpdateWindow(host.Control());
        return ClientPicture(host.Control());
    }

    ControlHost host{"Static", SS_NOTIFY, {0, 0, kWidth, kHeight}};
    ScrollState state;
    OpenedLink opened;
    INT_PTR open_result = 42;
    CScrollHotStatic control{state, [this](const std::string& target, int show) {
                                 opened = {target, show};
                                 return open_result;
                             }};
};

// Rows [first, first + count) of `shown` are rows from `source_top` on of the whole image; every other row
// still holds the marker.
::testing::AssertionResult ShowsRows(const Picture& shown, const Picture& image, int first, int count, int source_top) {
    for (int y = 0; y < shown.height; ++y) {
        const bool copied = y >= first && y < first + count;
        for (int x = 0; x < shown.width; ++x) {
            const uint32_t expected = copied ? image.At(x, y - first + source_top) : kMarker;
            if (shown.At(x, y) != expected)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex
                                                     << shown.At(x, y) << " instead of " << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ScrollHotStaticTest, CopiesTheImageRowByRowAsItRisesAndLeaves) {
    // The whole image first: the block held with its top at the control's top.
    state.entering = true;
    state.scrolling = false;
    const Picture image = PaintOnce();
    ASSERT_EQ(image.height, kHeight);
    ASSERT_GT(control.LineHeight(), 0);
    const uint32_t face = ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    const uint32_t background = (face & 0xFF) << 16 | (face & 0xFF00) | face >> 16;
    for (int y = 0; y < control.LineHeight(); ++y) {
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(image.At(x, y), background) << "the window text is never drawn: " << x << "," << y;
    }

    state = ScrollState{};
    for (int paint = 1; paint <= 2 * kHeight + 1; ++paint) {
        const Picture shown = PaintOnce();
        if (paint <= kHeight + 1) {  // entering: the top of the block at 101 - paint
            const int top = kHeight + 1 - paint;
            ASSERT_TRUE(ShowsRows(shown, image, top, kHeight - top, 0)) << "paint " << paint;
        } else {  // leaving: paint - 101 rows gone past the top
            const int gone = paint - kHeight - 1;
            ASSERT_TRUE(ShowsRows(shown, image, 0, kHeight - gone, gone)) << "paint " << paint;
        }
    }
}

TEST_F(ScrollHotStaticTest, TwoControlsStepOneState) {
    ControlHost second_host{"", SS_NOTIFY, {0, 0, kWidth, kHeight}};
    CScrollHotStatic second(state);
    second.Attach(second_host.Window(), ControlHost::kControlId);

    PaintOnce();
    EXPECT_TRUE(state.entering);
    EXPECT_EQ(state.entryTop, kHeight - 1);
    ::InvalidateRect(second.Hwnd(), nullptr, FALSE);
    ::UpdateWindow(second.Hwnd());
    EXPECT_EQ(state.entryTop, kHeight - 2);
    const Picture shown = PaintOnce();
    EXPECT_EQ(state.entryTop, kHeight - 3);
    EXPECT_EQ(shown.At(0, kHeight - 3), kMarker);
    EXPECT_NE(shown.At(0, kHeight - 2), kMarker);
}

TEST_F(ScrollHotStaticTest, PointerPausesAndLinkLinesTurnHot) {
    PaintOnce();
    const int pitch = control.LineHeight();
    ::SendMessageA(control.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(state.scrolling) << "the first movement stops the lines";
    state.entering = true;  // hold the block with its top at the control's top
    state.entryTop = 0;

    HCURSOR hand = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_POINTER));
    ::SendMessageA(control.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 3 * pitch + 1));  // a plain line
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
    ::SendMessageA(control.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 2 * pitch + 1));  // the link line
    EXPECT_EQ(control.Lines()[2].lineState, LineHot);
    EXPECT_EQ(::GetCursor(), hand);
    EXPECT_EQ(::SendMessageA(control.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control.Hwnd()), 0), TRUE);

    open_result = 2;  // the file was not found
    ::SendMessageA(control.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 2 * pitch + 1));
    ::SendMessageA(control.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 2 * pitch + 1));
    EXPECT_EQ(opened.target, "link.htm");
    EXPECT_EQ(opened.show, SW_SHOWNORMAL);
    EXPECT_EQ(control.Lines()[2].lineState & LineVisited, 0u) << "a link that did not open stays unvisited";
    open_result = 42;
    ::SendMessageA(control.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 2 * pitch + 1));
    EXPECT_EQ(control.Lines()[2].lineState, LineHot | LineVisited);

    ::SendMessageA(control.Hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(state.scrolling);
    EXPECT_EQ(control.Lines()[2].lineState, LineVisited);
    // No hot line: a click opens nothing.
    opened = {};
    ::SendMessageA(control.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3 * pitch + 1));
    EXPECT_EQ(opened.target, "");
}

TEST_F(ScrollHotStaticTest, TimerMovesTheLinesUntilThePointerComes) {
    PaintOnce();
    const int before = state.entryTop;
    EXPECT_TRUE(PumpUntil([&] { return state.entryTop < before - 2; }, 3000)) << "the 30 ms timer repaints";
    ::SendMessageA(control.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PumpMessages();
    const int paused = state.entryTop;
    ::Sleep(100);
    PumpMessages();
    EXPECT_EQ(state.entryTop, paused) << "no timer while paused";
    ::SendMessageA(control.Hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return state.entryTop < paused - 2; }, 3000)) << "leaving restarts the timer";
}

TEST_F(ScrollHotStaticTest, AControlDestroyedUnderThePointerLetsTheNextOneMove) {
    PaintOnce();
    ::SendMessageA(control.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_FALSE(state.scrolling);
    ::DestroyWindow(host.Control());  // no leave message comes to a window that is gone
    EXPECT_TRUE(state.scrolling);
}

}  // namespace
