#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "resources/tolvane_resource.h"
#include "tests/win32/window_test_support.h"
#include "widgets/hover_button.h"

namespace {

// An owner-drawn button in a window of its own, as a dialog template would make it.
class HoverButtonTest : public ::testing::Test {
  protected:
    HoverButtonTest() {
        parent_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
        ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_OWNERDRAW, 10, 10, 5, 5, parent_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OPEN)), nullptr, nullptr);
        button.Attach(parent_, IDC_OPEN);
    }
    ~HoverButtonTest() override { ::DestroyWindow(parent_); }

    SIZE ButtonSize() {
        RECT rect{};
        ::GetWindowRect(button.Hwnd(), &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
    int ToolCount() { return static_cast<int>(::SendMessageA(button.ToolTip(), TTM_GETTOOLCOUNT, 0, 0)); }

    HWND parent_ = nullptr;
    CHoverButton button;
};

TEST_F(HoverButtonTest, TakesTheSizeOfOneFrame) {
    EXPECT_TRUE(button.LoadBitmap(IDB_SIDE_PICTURE));  // three frames of 75 x 324
    EXPECT_EQ(ButtonSize().cx, 75);
    EXPECT_EQ(ButtonSize().cy, 324);
    EXPECT_TRUE(button.LoadBitmap(IDB_OPEN));
    BITMAP info{};
    HBITMAP strip = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_OPEN));
    ::GetObjectA(strip, sizeof info, &info);
    ::DeleteObject(strip);
    EXPECT_EQ(ButtonSize().cx, info.bmWidth / 3);
    EXPECT_EQ(ButtonSize().cy, info.bmHeight);
}

TEST_F(HoverButtonTest, FrameFollowsPressAndHover) {
    button.LoadBitmap(IDB_OPEN);
    EXPECT_EQ(button.FrameFor(0), CHoverButton::kNormal);
    ::SendMessageA(button.Hwnd(), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(button.FrameFor(0), CHoverButton::kHover);
    EXPECT_EQ(button.FrameFor(ODS_SELECTED), CHoverButton::kPressed);  // pressed wins over hover
    ::SendMessageA(button.Hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(button.FrameFor(0), CHoverButton::kNormal);
}

TEST_F(HoverButtonTest, ToolTipKeepsOneToolAndCanStaySilent) {
    button.SetToolTipText(nullptr, true);
    EXPECT_EQ(button.ToolTip(), nullptr);

    button.SetToolTipText("first", true);
    button.SetToolTipText("second", false);
    EXPECT_EQ(ToolCount(), 1);
    char text[32] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = button.Hwnd();
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageA(button.ToolTip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "second");
}

}  // namespace
