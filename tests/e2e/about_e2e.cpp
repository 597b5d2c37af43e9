#include "tests/e2e/about_e2e.h"

#include <array>
#include <cstdio>

#include "resources/tolvane_resource.h"
#include "tests/e2e/window_driver.h"
#include "widgets/home_page.h"

namespace {

constexpr char kCaption[] = "Varnick PSD Recovery";

bool IsSplash(HWND hwnd) {
    return IsDialogWindow(hwnd) && WindowText(hwnd).empty() && ::GetWindow(hwnd, GW_CHILD) == nullptr;
}

// Two looks at the lines, a few of their steps apart.
bool LooksTheSame(HWND lines) {
    const std::vector<uint32_t> before = ScreenPixels(lines);
    ::Sleep(300);
    return ScreenPixels(lines) == before;
}

// Text (near black) in the rows [top, bottom) of the left part of the lines, where the background is light.
bool TextInRows(HWND lines, int top, int bottom) {
    RECT client{};
    ::GetClientRect(lines, &client);
    const std::vector<uint32_t> pixels = ScreenPixels(lines);
    for (int y = top; y < bottom && y < client.bottom; ++y) {
        for (int x = 0; x < client.right * 2 / 5; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y * client.right + x)];
            if ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF) < 150)
                return true;
        }
    }
    return false;
}

// The picture for the README: the whole block of lines near the top of the box, held still under the pointer.
void TakeAboutPicture(HWND about) {
    if (ScreenshotFolder().empty())
        return;
    HWND lines = ::GetDlgItem(about, IDC_ABOUT_LINES);
    // The description, the third line, comes up near the top only once the block has risen into full view.
    WaitUntil([&] { return TextInRows(lines, 0, 40); }, 15000);
    MoveMouseTo(CentreOf(lines));
    ::Sleep(300);
    SaveScreenshot(about, "about.ppm");
    MoveMouseTo({2, 2});
}

// The box's lines move, pause while the pointer is over them and move again when it has gone; OK closes it.
void MovingLinesPauseUnderThePointer(HWND about) {
    HWND lines = ::GetDlgItem(about, IDC_ABOUT_LINES);
    Check(WindowText(::GetDlgItem(about, IDC_ABOUT_SITE)) == kHomePageAddress, "its link shows the home page");
    Check(WaitUntil([&] { return !LooksTheSame(lines); }, 5000), "its lines move");
    MoveMouseTo(CentreOf(lines));
    ::Sleep(200);
    Check(LooksTheSame(lines) && LooksTheSame(lines), "and stop under the pointer");
    MoveMouseTo({2, 2});
    Check(WaitUntil([&] { return !LooksTheSame(lines); }, 5000), "and move again when it leaves");
    TakeAboutPicture(about);
    ClickOn(::GetDlgItem(about, IDOK));
    Check(WaitUntil([&] { return !::IsWindow(about); }), "a click on OK closes it");
}

}  // namespace

void OpenAbout(const RunningProgram& program, HWND main) {
    ClickCentre(ScreenRect(::GetDlgItem(main, IDC_HELP_MENU)));
    HWND popup = nullptr;
    ChooseMenuItem(program.OpenedMenu(&popup), IDM_ABOUT);
    // Out of the way: the box opens where the pointer may stand, and the lines would stop under it.
    MoveMouseTo({2, 2});
}

void SplashThenAboutBox(const std::string& exe, const std::string& work) {
    MoveMouseTo({2, 2});
    RunningProgram program(exe, "", work);
    HWND splash = program.WaitForWindow(&IsSplash);
    const DWORD seen_at = ::GetTickCount();
    Check(splash != nullptr, "the splash appears");
    Check(program.WaitForDialog(kCaption, IDC_FILELIST, 0) == nullptr, "before the main window");
    if (splash != nullptr) {
        ::Sleep(200);
        SaveScreenshot(splash, "splash.ppm");
    }
    Check(WaitUntil([&] { return !::IsWindowVisible(splash); }, 10000), "the splash closes by itself");
    std::printf("     the splash was seen for %lu ms\n", static_cast<unsigned long>(::GetTickCount() - seen_at));
    HWND main = program.WaitForDialog(kCaption, IDC_FILELIST);
    Check(main != nullptr, "then the main window appears");
    if (main == nullptr)
        return;

    OpenAbout(program, main);
    HWND about = program.WaitForDialog("", IDC_ABOUT_LINES);
    Check(about != nullptr, "About opens the about box");
    if (about == nullptr)
        return;
    Check(!::IsWindowEnabled(main), "modal over the main window");
    MovingLinesPauseUnderThePointer(about);
    Check(WaitUntil([&] { return ::IsWindowEnabled(main) != FALSE; }), "the main window takes over again");
    Press(main, IDC_EXIT);
    Check(program.WaitForExit() == 9, "Exit ends with code 9");
}
