#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/dialog.h"
#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"
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
    UniqueBitmap strip(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_OPEN)));
    ::GetObjectA(strip.Get(), sizeof info, &info);
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

// Paints the button into a bitmap of its own size, as the dialog's owner-draw request would, and compares every
// pixel with the frame of the strip.
bool PaintsFrame(const CHoverButton& button, UINT item_state, int frame) {
    UniqueBitmap strip(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_OPEN)));
    BITMAP info{};
    ::GetObjectA(strip.Get(), sizeof info, &info);
    const int width = info.bmWidth / 3;
    WindowDc screen(nullptr);
    UniqueMemDc painted(::CreateCompatibleDC(screen.Get()));
    UniqueMemDc source(::CreateCompatibleDC(screen.Get()));
    UniqueBitmap canvas(::CreateCompatibleBitmap(screen.Get(), width, info.bmHeight));
    SelectGuard select_canvas(painted.Get(), canvas.Get());
    SelectGuard select_strip(source.Get(), strip.Get());
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = button.Hwnd();
    item.hDC = painted.Get();
    item.itemState = item_state;
    ::SendMessageA(button.Hwnd(), kMsgReflectDrawItem, 0, reinterpret_cast<LPARAM>(&item));
    for (int y = 0; y < info.bmHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            if (::GetPixel(painted.Get(), x, y) != ::GetPixel(source.Get(), frame * width + x, y))
                return false;
        }
    }
    return true;
}

TEST_F(HoverButtonTest, PaintsTheFrameOfItsState) {
    button.LoadBitmap(IDB_OPEN);
    EXPECT_TRUE(PaintsFrame(button, 0, CHoverButton::kNormal));
    EXPECT_TRUE(PaintsFrame(button, ODS_SELECTED, CHoverButton::kPressed));
    ::SendMessageA(button.Hwnd(), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(PaintsFrame(button, 0, CHoverButton::kHover));
    EXPECT_FALSE(PaintsFrame(button, 0, CHoverButton::kNormal));
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

TEST_F(HoverButtonTest, ToolTipGoesWithTheButton) {
    button.SetToolTipText("tip", true);
    HWND tip = button.ToolTip();
    ASSERT_TRUE(::IsWindow(tip));
    // The dialog (here the parent) stays; only the button goes, and its tool tip with it.
    ::DestroyWindow(button.Hwnd());
    EXPECT_FALSE(::IsWindow(tip));
}

}  // namespace
