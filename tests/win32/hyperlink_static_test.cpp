#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"
#include "tests/win32/window_test_support.h"
#include "widgets/home_page.h"
#include "widgets/hyperlink_static.h"
#include "widgets/url_open.h"

namespace {

std::string TextOf(HWND hwnd) {
    std::array<char, 256> text{};
    ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

HFONT FontOf(HWND hwnd) {
    return reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

// The text colour the link asks its parent to draw in.
COLORREF TextColour(const HyperlinkStatic& link) {
    WindowDc screen(nullptr);
    UniqueMemDc dc(::CreateCompatibleDC(screen.Get()));
    const LRESULT brush = ::SendMessageA(::GetParent(link.Hwnd()), WM_CTLCOLORSTATIC,
                                         reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(link.Hwnd()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(::GetBkMode(dc.Get()), TRANSPARENT);
    return ::GetTextColor(dc.Get());
}

POINT HotSpot(HCURSOR cursor) {
    ICONINFO info{};
    ::GetIconInfo(cursor, &info);
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

class HyperlinkStaticTest : public ::testing::Test {
  protected:
    void Attach() { ASSERT_TRUE(link.Attach(host.Window(), ControlHost::kControlId)); }
    void MoveOver() { ::SendMessageA(link.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }
    // The 10 ms poll finds the pointer elsewhere.
    bool PointerLeaves() {
        ::SetCursorPos(900, 700);
        return PumpUntil([&] { return !link.IsHovering(); }, 2000);
    }
    void Click() { ::SendMessageA(link.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)); }

    WinTempDir dir;
    TestPlatform platform{dir.Path()};
    ControlHost host{"Varnick Software", SS_RIGHT, {20, 20, 300, 60}};
    std::string opened;
    int shown = -1;
    INT_PTR open_result = 42;
    HyperlinkStatic link{platform, [this](const std::string& address, int show_command) {
                             opened = address;
                             shown = show_command;
                             return open_result;
                         }};
};

TEST_F(HyperlinkStaticTest, AttachingMakesALinkToTheHomePageWhateverItShows) {
    HFONT normal = FontOf(host.Control());
    Attach();
    EXPECT_NE(::GetWindowLongPtrA(link.Hwnd(), GWL_STYLE) & SS_NOTIFY, 0) << "clicks are reported";
    EXPECT_EQ(FontOf(link.Hwnd()), normal);
    LOGFONTA underlined{};
    ::GetObjectA(link.UnderlineFont(), sizeof underlined, &underlined);
    EXPECT_TRUE(underlined.lfUnderline);
    // Fitted to its underlined text, right-aligned: the right edge stays where it was.
    SIZE text{};
    {
        WindowDc dc(link.Hwnd());
        SelectGuard select(dc.Get(), link.UnderlineFont());
        ::GetTextExtentPoint32A(dc.Get(), "Varnick Software", 16, &text);
    }
    RECT fitted{};
    ::GetWindowRect(link.Hwnd(), &fitted);
    ::MapWindowPoints(nullptr, host.Window(), reinterpret_cast<POINT*>(&fitted), 2);
    EXPECT_TRUE(fitted.left == 300 - text.cx && fitted.top == 20 && fitted.right == 300 &&
                fitted.bottom == 20 + text.cy);
    EXPECT_EQ(link.Url(), kHomePageAddress);
    EXPECT_EQ(ToolTipText(link.ToolTip(), link.Hwnd()), kHomePageAddress);

    link.SetUrl("http://elsewhere.example/");
    EXPECT_EQ(TextOf(link.Hwnd()), "Varnick Software");
    EXPECT_EQ(ToolTipText(link.ToolTip(), link.Hwnd()), kHomePageAddress);
    EXPECT_EQ(::SendMessageA(link.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Hwnd()), 0), TRUE);

    Click();
    EXPECT_EQ(opened, kHomePageAddress);
    EXPECT_EQ(shown, SW_SHOW);
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(TextColour(link), RGB(85, 26, 139));
}

TEST_F(HyperlinkStaticTest, UnderlineAndColourFollowTheModeAndThePointer) {
    Attach();
    HFONT normal = FontOf(link.Hwnd());
    EXPECT_EQ(TextColour(link), RGB(0, 0, 238));
    MoveOver();
    EXPECT_TRUE(link.IsHovering());
    EXPECT_EQ(FontOf(link.Hwnd()), link.UnderlineFont()) << "underlined on hover";
    EXPECT_EQ(TextColour(link), RGB(255, 0, 0));
    EXPECT_TRUE(PointerLeaves());
    EXPECT_EQ(FontOf(link.Hwnd()), normal);
    EXPECT_EQ(TextColour(link), RGB(0, 0, 238));

    link.SetUnderlineMode(UnderlineAlways);
    EXPECT_EQ(FontOf(link.Hwnd()), link.UnderlineFont());
    MoveOver();
    EXPECT_TRUE(PointerLeaves());
    EXPECT_EQ(FontOf(link.Hwnd()), link.UnderlineFont()) << "always: the underline stays";

    link.SetUnderlineMode(UnderlineNever);
    EXPECT_EQ(FontOf(link.Hwnd()), normal);
    MoveOver();
    EXPECT_EQ(FontOf(link.Hwnd()), normal) << "never: hovering only changes the colour";
    EXPECT_EQ(TextColour(link), RGB(255, 0, 0));
}

TEST_F(HyperlinkStaticTest, AFailedOpenExplainsTheResultAndClearsVisited) {
    Attach();
    Click();
    ASSERT_TRUE(link.IsVisited());
    struct Case {
        INT_PTR result;
        const char* text;
    };
    for (const Case& c : {Case{26, "A sharing violation occurred. "}, Case{4, "Unknown Error (4) occurred."}}) {
        platform.messages.clear();
        open_result = c.result;
        Click();
        EXPECT_FALSE(link.IsVisited());
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, std::string("Unable to open hyperlink:\n\n") + c.text);
        EXPECT_EQ(platform.messages[0].caption, "") << "the program's name";
    }
}

TEST(LinkCursor, BorrowedFromWinhlp32OrTheSystemHand) {
    WinTempDir without;
    UniqueCursor fallback = LoadLinkCursor(without.Path());
    ASSERT_TRUE(fallback);
    const POINT system_hand = HotSpot(::LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(HotSpot(fallback.Get()).x, system_hand.x);
    EXPECT_EQ(HotSpot(fallback.Get()).y, system_hand.y);

    // Wine's winhlp32.exe has no cursor 106 either; a stand-in has one, with its hot spot at 9, 1.
    WinTempDir with;
    ASSERT_TRUE(::CopyFileA(TOLVANE_WINHLP32_STANDIN, (with / "winhlp32.exe").c_str(), FALSE));
    UniqueCursor borrowed = LoadLinkCursor(with.Path());
    ASSERT_TRUE(borrowed);
    ASSERT_FALSE(system_hand.x == 9 && system_hand.y == 1);
    EXPECT_EQ(HotSpot(borrowed.Get()).x, 9);
    EXPECT_EQ(HotSpot(borrowed.Get()).y, 1);
}

// The .htm association for one test, the earlier one put back afterwards. Written below the classes root itself:
// Wine 8.0 does not show the user's own classes there.
class HtmAssociation {
  public:
    explicit HtmAssociation(const std::string& command) {
        had_page_class_ = ReadClassesRootValue(".htm", &page_class_) == ERROR_SUCCESS;
        SetValue(".htm", "TolvaneTestPage");
        SetValue("TolvaneTestPage\\shell\\open\\command", command);
    }
    ~HtmAssociation() {
        ::SHDeleteKeyA(HKEY_CLASSES_ROOT, "TolvaneTestPage");
        if (had_page_class_)
            SetValue(".htm", page_class_);
        else
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    }
    HtmAssociation(const HtmAssociation&) = delete;
    HtmAssociation& operator=(const HtmAssociation&) = delete;

  private:
    static void SetValue(const char* key, const std::string& value) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        UniqueRegKey owner(created);
        ::RegSetValueExA(created, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    }

    bool had_page_class_ = false;
    std::string page_class_;
};

TEST(OpenUrl, FallsBackToTheRegisteredBrowserUnlessItsCommandWouldNotFit) {
    // An address no shell opens, and a "browser" that writes what it was given into a file.
    const std::string address = "tolvane-no-such-scheme:page";
    const INT_PTR shell_result = ShellOpen(address, SW_HIDE);
    ASSERT_LE(shell_result, 32);
    WinTempDir dir;
    const std::string written = dir / "browser.txt";
    std::array<char, MAX_PATH> system{};
    ::GetSystemDirectoryA(system.data(), static_cast<UINT>(system.size()));
    const std::string browser = std::string(system.data()) + "\\cmd.exe /c echo>\"" + written + "\"";

    {
        HtmAssociation too_long(browser + std::string(520, ' ') + "\"%1\" -new-window");
        EXPECT_EQ(OpenUrl(address, SW_HIDE), shell_result) << "the shell's result stands";
        ::Sleep(1000);
        EXPECT_FALSE(FileExists(written)) << "a cut-off command never runs";
    }
    HtmAssociation fits(browser + " \"%1\" -new-window");
    EXPECT_GT(OpenUrl(address, SW_HIDE), 32);
    ASSERT_TRUE(PumpUntil([&] { return ReadFileBytes(written).find(address) != std::string::npos; }, 10000));
    // The command's blank and the one added before the address; echo takes the first as its separator.
    EXPECT_EQ(ReadFileBytes(written), " " + address + "\r\n");
}

}  // namespace
