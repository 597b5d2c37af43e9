#include "about/splash_window.h"

#include "about/about_background.h"
#include "framework/gdi_scope.h"
#include "framework/unique_handle.h"
#include "resources/tolvane_resource.h"

namespace {
constexpr UINT_PTR kCloseTimerId = 101;
constexpr UINT kShowMs = 1000;
constexpr char kSplashText[] = "        PSD Photoshop Image Recovery Utility...";
}  // namespace

SplashWindow::SplashWindow(HINSTANCE instance) : Dialog(instance, IDD_SPLASH) {}

bool SplashWindow::OnInitDialog() {
    ::SetTimer(Hwnd(), kCloseTimerId, kShowMs, nullptr);
    ticks = 0;
    return true;
}

void SplashWindow::OnPaint() {
    PaintDc paint(Hwnd());
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    FillWithAboutPattern(Instance(), paint.Get(), client);
    ::SetBkMode(paint.Get(), TRANSPARENT);
    UniqueFont font(::CreateFontA(20, 9, 0, 20, 100, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    SelectGuard select(paint.Get(), font.Get());
    ::TextOutA(paint.Get(), 0, 160, kSplashText, static_cast<int>(sizeof kSplashText - 1));
}

void SplashWindow::OnTimer() {
    ++ticks;
    if (ticks > 0)
        Close(IDOK);
}

bool SplashWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_TIMER:
            OnTimer();
            break;
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}

void ShowSplashWindow(HINSTANCE instance, HWND owner) {
    SplashWindow(instance).DoModal(owner);
}
