#pragma once

#include <windows.h>

#include <string>

#include "companions/optmgr/options_editor.h"
#include "framework/dialog.h"
#include "framework/win32_platform.h"

// The configuration program's one window: the output folder with Browse…, the folder suffix, the delete offer,
// OK and Cancel, labelled in the settings file's language. OK saves through the editor and closes only when the
// values were stored; Cancel (Escape, the close box) writes nothing.
class OptionsDialog : public Dialog {
  public:
    OptionsDialog(HINSTANCE instance, Win32Platform& platform, OptionsEditor& editor);

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void SetTexts();
    void OnBrowse();
    void OnOk();

    Win32Platform& platform_;
    OptionsEditor& editor_;
    HICON icon_;  // a shared resource icon: never destroyed
};

// The text of a control as UTF-8. Read as UTF-16, so that a character Windows-1252 lacks arrives as itself and
// can be refused, instead of as the '?' the ANSI call would make of it.
std::string WindowTextUtf8(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& utf8);
