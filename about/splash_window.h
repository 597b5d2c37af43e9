#pragma once

#include <windows.h>

#include "framework/dialog.h"

// The picture the recovery program shows while its main window initialises. It closes itself at the first tick
// of its one-second timer, painted or not; it has no button of its own.
class SplashWindow : public Dialog {
  public:
    explicit SplashWindow(HINSTANCE instance);

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void OnPaint();
    void OnTimer();

    int ticks = 0;
};

// Runs the splash modally over `owner` for its second.
void ShowSplashWindow(HINSTANCE instance, HWND owner);
