// The bitmap popup menu in process: the real popups and toolbars, driven by messages from a timer while the menu's
// own loop runs, and read back through the owner's notifications and pixel by pixel.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"
#include "resources/tolvane_resource.h"
#include "tests/win32/test_menu_resource.h"
#include "tests/win32/window_test_support.h"
#include "widgets/bmp_menu.h"
#include "widgets/bmp_menu_bar.h"
#include "widgets/menu_item_art.h"

namespace {

constexpr char kOwnerClass[] = "BmpMenuTestOwner";
constexpr int kAlpha = 0, kBravo = 1, kMore = 2, kGrayed = 3, kBingo = 4;

// The window that owns the menus under test: it records what a menu tells it and runs the test's steps, one per
// timer tick, inside the menu's loop.
class BmpMenuTest : public ::testing::Test {
  protected:
    BmpMenuTest() {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = &BmpMenuTest::OwnerProc;
        window_class.hInstance = ::GetModuleHandleA(nullptr);
        window_class.lpszClassName = kOwnerClass;
        ::RegisterClassA(&window_class);
        owner_ = ::CreateWindowExA(0, kOwnerClass, "", WS_POPUP | WS_VISIBLE, 10, 10, 40, 40, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SetWindowLongPtrA(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        menu_.Attach(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_MENU)));
    }
    ~BmpMenuTest() override { ::DestroyWindow(owner_); }

    // Opens the menu at (x, y) and runs `steps` while it is open; a menu still open after them is a failure.
    bool Track(int x, int y, std::vector<std::function<void()>> steps) { return Track(menu_, x, y, std::move(steps)); }
    bool Track(CBmpMenu& menu, int x, int y, std::vector<std::function<void()>> steps) {
        steps_ = std::move(steps);
        next_step_ = 0;
        popups_.clear();
        ::SetTimer(owner_, 1, 80, nullptr);
        const bool shown = menu.TrackPopup(x, y, owner_, nullptr);
        ::KillTimer(owner_, 1);
        PumpMessages();  // the chosen command is posted
        return shown;
    }
    // The innermost popup open now.
    HWND Deepest() const {
        for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) {
            if (::IsWindow(*it))
                return *it;
        }
        return nullptr;
    }
    int OpenPopups() const {
        int open = 0;
        for (HWND popup : popups_)
            open += ::IsWindow(popup) ? 1 : 0;
        return open;
    }
    CBmpMenuBar& Bar(HWND popup = nullptr) { return *CBmpMenu::FromWindow(popup ? popup : Deepest())->ItemBar(); }
    void Key(WORD key) { ::PostMessageA(Deepest(), WM_KEYDOWN, key, 0); }
    // Paints now, so the hot item is the one the menu reports as selected before the next key.
    void Paint() { ::UpdateWindow(Bar().Hwnd()); }
    // A click on an item of the top-level popup.
    void ClickItem(int index) {
        CBmpMenuBar& bar = Bar(popups_.front());
        const RECT rect = bar.ItemRect(index);
        ::PostMessageA(bar.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.left + 4, rect.top + 4));
    }
    int Count(UINT msg) const { return static_cast<int>(std::count(seen_.begin(), seen_.end(), msg)); }

    HWND owner_ = nullptr;
    CBmpMenu menu_{0, 0, nullptr, false};
    std::vector<UINT> seen_;
    std::vector<int> commands_;
    std::vector<HWND> popups_;
    LRESULT menu_char_reply_ = 0;
    bool left_open_ = false;

  private:
    void Tick() {
        if (next_step_ < steps_.size()) {
            steps_[next_step_++]();
        } else if (Deepest() != nullptr) {
            left_open_ = true;
            Key(VK_ESCAPE);
        }
    }
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<BmpMenuTest*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self == nullptr)
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        switch (msg) {
            case WM_INITMENU:
            case WM_INITMENUPOPUP:
            case WM_MENUSELECT:
            case WM_EXITMENULOOP:
                self->seen_.push_back(msg);
                return 0;
            case WM_ENTERMENULOOP:
                self->seen_.push_back(msg);
                self->popups_.push_back(reinterpret_cast<HWND>(lp));
                return 0;
            case WM_MENUCHAR:
                self->seen_.push_back(msg);
                return self->menu_char_reply_;
            case WM_COMMAND:
                self->commands_.push_back(LOWORD(wp));
                return 0;
            case WM_TIMER:
                self->Tick();
                return 0;
        }
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    }

    std::vector<std::function<void()>> steps_;
    size_t next_step_ = 0;
};

TEST_F(BmpMenuTest, KeyboardWalksThroughASubmenu) {
    // M opens the submenu (its one letter), D there chooses Delta.
    EXPECT_TRUE(Track(100, 100, {[&] { Key('M'); }, [&] { EXPECT_EQ(OpenPopups(), 2); }, [&] { Key('D'); }}));
    EXPECT_EQ(commands_, std::vector<int>{IDM_TEST_DELTA});
    EXPECT_EQ(seen_.front(), static_cast<UINT>(WM_INITMENU));
    EXPECT_EQ(Count(WM_INITMENUPOPUP), 1);
    EXPECT_EQ(Count(WM_ENTERMENULOOP), 2);
    EXPECT_EQ(Count(WM_EXITMENULOOP), 2);
    EXPECT_FALSE(left_open_);

    // Left closes only the submenu; Escape in a submenu closes the whole menu, without a command.
    commands_.clear();
    EXPECT_TRUE(Track(100, 100,
                      {[&] { Key('M'); }, [&] { Key(VK_LEFT); }, [&] { EXPECT_EQ(OpenPopups(), 1); }, [&] { Key('M'); },
                       [&] { Key(VK_ESCAPE); }, [&] { EXPECT_EQ(OpenPopups(), 0); }}));
    EXPECT_TRUE(commands_.empty());

    // Right opens a submenu with its first item hot, and does nothing on an item without one; Enter chooses.
    EXPECT_TRUE(Track(100, 100,
                      {[&] { Bar().SetHotItem(kMore); },
                       [&] {
                           Paint();
                           Key(VK_RIGHT);
                       },
                       [&] { EXPECT_EQ(Bar().HotItem(), 0); },
                       [&] {
                           Paint();
                           Key(VK_RETURN);
                       }}));
    EXPECT_EQ(commands_, std::vector<int>{IDM_TEST_CHARLIE});
    commands_.clear();
    EXPECT_TRUE(Track(100, 100,
                      {[&] { Bar().SetHotItem(kBravo); },
                       [&] {
                           Paint();
                           Key(VK_RIGHT);
                       },
                       [&] { EXPECT_EQ(OpenPopups(), 1); }, [&] { Key(VK_RETURN); }}));
    EXPECT_EQ(commands_, std::vector<int>{IDM_TEST_BRAVO});
    EXPECT_FALSE(left_open_);
}

TEST_F(BmpMenuTest, SharedLetterTakesTurnsAndUnknownLettersAskTheOwner) {
    std::vector<int> hot;
    auto press_b = [&] { Key('B'); };
    auto note_hot = [&] { hot.push_back(Bar().HotItem()); };
    menu_char_reply_ = MAKELRESULT(IDM_TEST_ALPHA, MNC_EXECUTE);
    EXPECT_TRUE(Track(100, 100,
                      {press_b, note_hot, press_b, note_hot, press_b, note_hot, [&] { Key('Z'); },
                       [&] { EXPECT_EQ(OpenPopups(), 1); }, [&] { menu_char_reply_ = MAKELRESULT(0, MNC_CLOSE); },
                       [&] { Key('Z'); }}));
    EXPECT_EQ(hot, (std::vector<int>{kBravo, kBingo, kBravo}));
    EXPECT_EQ(Count(WM_MENUCHAR), 2);
    EXPECT_EQ(commands_, std::vector<int>{IDM_TEST_ALPHA});  // executed by the owner's reply; the menu stayed
    EXPECT_FALSE(left_open_);
}

TEST_F(BmpMenuTest, SameItemClickedTwiceOpensOnceAndGrayedItemsTakeNoClick) {
    EXPECT_TRUE(Track(100, 100,
                      {[&] { ClickItem(kMore); }, [&] { ClickItem(kMore); }, [&] { ClickItem(kGrayed); },
                       [&] { EXPECT_EQ(OpenPopups(), 2); }, [&] { Key(VK_ESCAPE); }}));
    EXPECT_EQ(Count(WM_INITMENUPOPUP), 1);
    EXPECT_TRUE(commands_.empty());

    // Resting on an item with a submenu opens it, on one without closes it again.
    auto rest_on = [&](int index) {
        CBmpMenuBar& bar = Bar(popups_.front());
        const RECT rect = bar.ItemRect(index);
        ::SendMessageA(bar.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(rect.left + 6, rect.top + 3));
        ::PostMessageA(bar.Hwnd(), WM_MOUSEHOVER, 0, 0);
    };
    EXPECT_TRUE(Track(100, 100,
                      {[&] { rest_on(kMore); }, [&] { EXPECT_EQ(OpenPopups(), 2); }, [&] { rest_on(kBravo); },
                       [&] { EXPECT_EQ(OpenPopups(), 1); }, [&] { ClickItem(kGrayed); }, [&] { ClickItem(kAlpha); }}));
    EXPECT_EQ(commands_, std::vector<int>{IDM_TEST_ALPHA});
}

TEST_F(BmpMenuTest, AnotherApplicationTakingOverClosesTheMenu) {
    EXPECT_TRUE(
        Track(100, 100,
              {[&] { ::SendMessageA(Deepest(), WM_ACTIVATE, WA_INACTIVE, 0); }, [&] { EXPECT_EQ(OpenPopups(), 0); }}));
    EXPECT_TRUE(commands_.empty());
    EXPECT_FALSE(left_open_);
}

TEST_F(BmpMenuTest, NoOwnerShowsNothing) {
    EXPECT_FALSE(menu_.TrackPopup(100, 100, nullptr, nullptr));
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    EXPECT_FALSE(menu_.TrackPopup(100, 100, gone, nullptr));
    EXPECT_TRUE(seen_.empty());
}

TEST_F(BmpMenuTest, OpensAwayFromTheScreensEdgesAndSubmenusToTheLeft) {
    const int right = ::GetSystemMetrics(SM_CXSCREEN) - 2;
    const int bottom = ::GetSystemMetrics(SM_CYSCREEN) - 2;
    RECT placed{};
    EXPECT_TRUE(Track(right, bottom, {[&] { ::GetWindowRect(Deepest(), &placed); }}));
    EXPECT_EQ(placed.right, right);
    EXPECT_EQ(placed.bottom, bottom);

    // A root that just fits at the right edge: its submenu cannot, and opens left of it, level with its item.
    RECT root{}, submenu{}, item{};
    EXPECT_TRUE(Track(right - placed.right + placed.left - 20, 100,
                      {[&] { Key('M'); },
                       [&] {
                           ::GetWindowRect(popups_[popups_.size() - 2], &root);
                           ::GetWindowRect(Deepest(), &submenu);
                           item = Bar(popups_[popups_.size() - 2]).ItemRect(kMore);
                           ::MapWindowPoints(Bar(popups_[popups_.size() - 2]).Hwnd(), HWND_DESKTOP,
                                             reinterpret_cast<POINT*>(&item), 2);
                       },
                       [&] { Key(VK_ESCAPE); }}));
    EXPECT_EQ(submenu.right, item.left);
    EXPECT_LT(submenu.right, root.left + 8);
    EXPECT_EQ(submenu.top, item.top);
}

// A window's client area, painted into a bitmap of ours, as the platform's print request paints it.
class Rendering {
  public:
    explicit Rendering(HWND hwnd) {
        ::GetClientRect(hwnd, &client_);
        WindowDc screen(nullptr);
        dc_.Reset(::CreateCompatibleDC(screen.Get()));
        bitmap_.Reset(::CreateCompatibleBitmap(screen.Get(), client_.right, client_.bottom));
        SelectGuard select(dc_.Get(), bitmap_.Get());
        ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.Get()), PRF_CLIENT | PRF_ERASEBKGND);
        for (int y = 0; y < client_.bottom; ++y) {
            for (int x = 0; x < client_.right; ++x)
                pixels_.push_back(::GetPixel(dc_.Get(), x, y));
        }
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * client_.right + x)]; }
    std::set<COLORREF> In(const RECT& rect) const {
        std::set<COLORREF> colours;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x)
                colours.insert(At(x, y));
        }
        return colours;
    }

  private:
    RECT client_{};
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    std::vector<COLORREF> pixels_;
};

// A 16 x 16 item picture in the standard colours: light grey, with a black, a dark grey and a white pixel.
UniqueBitmap StandardColourPicture() {
    WindowDc screen(nullptr);
    UniqueBitmap picture(::CreateCompatibleBitmap(screen.Get(), 16, 16));
    UniqueMemDc dc(::CreateCompatibleDC(screen.Get()));
    SelectGuard select(dc.Get(), picture.Get());
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            ::SetPixel(dc.Get(), x, y, RGB(192, 192, 192));
    }
    ::SetPixel(dc.Get(), 3, 3, RGB(0, 0, 0));
    ::SetPixel(dc.Get(), 12, 3, RGB(128, 128, 128));
    ::SetPixel(dc.Get(), 3, 12, RGB(255, 255, 255));
    return picture;
}

// Where pixel (x, y) of a 16 x 16 picture lands in the image square of an item row.
POINT InSquare(const RECT& item, int x, int y) {
    const int side = item.bottom - item.top;
    const int offset = side > 16 ? (side - 16) / 2 : -(16 - side) / 2;
    return {item.left + 1 + offset + x, item.top + offset + y};
}

// Menu colours that differ from each other, as they do in the classic Windows scheme (Wine's default menu is as
// white as its button highlight, which would hide the embossing); the user's colours come back afterwards.
class ClassicMenuColours {
  public:
    ClassicMenuColours() {
        for (size_t i = 0; i < std::size(kElements); ++i)
            saved_[i] = ::GetSysColor(kElements[i]);
        const COLORREF classic[] = {RGB(212, 208, 200), RGB(10, 36, 106), RGB(0, 0, 0), RGB(128, 128, 128),
                                    RGB(255, 255, 255)};
        ::SetSysColors(static_cast<int>(std::size(kElements)), kElements, classic);
    }
    ~ClassicMenuColours() { ::SetSysColors(static_cast<int>(std::size(kElements)), kElements, saved_); }

  private:
    static constexpr INT kElements[] = {COLOR_MENU, COLOR_HIGHLIGHT, COLOR_MENUTEXT, COLOR_GRAYTEXT,
                                        COLOR_BTNHIGHLIGHT};
    COLORREF saved_[std::size(kElements)] = {};
};

TEST_F(BmpMenuTest, ItemsAreDrawnInTheMenuColoursWithPicturesGrayedTextArrowAndStrip) {
    const ClassicMenuColours colours;
    const COLORREF menu = ::GetSysColor(COLOR_MENU), highlight = ::GetSysColor(COLOR_HIGHLIGHT),
                   menu_text = ::GetSysColor(COLOR_MENUTEXT), gray = ::GetSysColor(COLOR_GRAYTEXT),
                   emboss = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_EQ((std::set<COLORREF>{menu, highlight, menu_text, gray, emboss}).size(), 5u);
    UniqueBitmap picture = StandardColourPicture();
    ::SetMenuItemBitmaps(menu_.Menu(), kAlpha, MF_BYPOSITION, picture.Get(), picture.Get());
    UniqueBitmap strip(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MENU_STRIP)));
    CBmpMenu striped(20, 0, strip.Get(), false);
    striped.Attach(menu_.Detach());

    EXPECT_TRUE(Track(
        striped, 100, 100,
        {[&] { Bar().SetHotItem(kAlpha); },
         [&] {
             CBmpMenuBar& bar = Bar();
             const Rendering rows(bar.Hwnd());
             const RECT alpha = bar.ItemRect(kAlpha), bravo = bar.ItemRect(kBravo), grayed = bar.ItemRect(kGrayed),
                        more = bar.ItemRect(kMore);
             EXPECT_EQ(rows.At(alpha.right - 3, alpha.top + 2), highlight) << "hot item's background";
             EXPECT_EQ(rows.At(bravo.right - 3, bravo.top + 2), menu) << "other items' background";
             const POINT grey = InSquare(alpha, 8, 8), black = InSquare(alpha, 3, 3), dark = InSquare(alpha, 12, 3),
                         white = InSquare(alpha, 3, 12);
             EXPECT_EQ(rows.At(grey.x, grey.y), highlight) << "light grey takes the hot background";
             EXPECT_EQ(rows.At(black.x, black.y), ::GetSysColor(COLOR_BTNTEXT));
             EXPECT_EQ(rows.At(dark.x, dark.y), ::GetSysColor(COLOR_BTNSHADOW));
             EXPECT_EQ(rows.At(white.x, white.y), ::GetSysColor(COLOR_BTNHIGHLIGHT));

             const int side = grayed.bottom - grayed.top;
             const std::set<COLORREF> text = rows.In({grayed.left + side + 3, grayed.top, grayed.right, grayed.bottom});
             EXPECT_TRUE(text.count(gray) && text.count(emboss)) << "grayed text is embossed";
             EXPECT_FALSE(text.count(menu_text));

             const ArrowTriangle arrow =
                 SubmenuArrow({more.left, more.top, more.right, more.bottom}, ::GetSystemMetrics(SM_CXMENUCHECK));
             EXPECT_EQ(rows.At(arrow.fill.x, arrow.fill.y), menu_text) << "the arrow is filled";
             EXPECT_EQ(rows.At(arrow.tip.x + 2, arrow.tip.y), menu) << "and only the arrow";

             const Rendering popup(Deepest());
             UniqueMemDc source(::CreateCompatibleDC(nullptr));
             SelectGuard select(source.Get(), strip.Get());
             for (const POINT& at : {POINT{2, 2}, POINT{10, 11}, POINT{17, 20}}) {
                 EXPECT_EQ(popup.At(at.x, at.y), ::GetPixel(source.Get(), at.x, at.y)) << "the strip";
                 EXPECT_EQ(popup.At(at.x, at.y + 64), ::GetPixel(source.Get(), at.x, at.y)) << "is tiled";
             }
             EXPECT_EQ(popup.At(21, 2), emboss) << "the popup's own background";
         },
         [&] { Key(VK_ESCAPE); }}));
    EXPECT_FALSE(left_open_);
}

}  // namespace
