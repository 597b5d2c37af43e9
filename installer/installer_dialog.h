#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "framework/win32_platform.h"
#include "installer/install_flow.h"

// The installer's one window: the product's name, a line about it, Install and Exit. Install runs the whole
// flow at once; while files are written a progress bar and a status line show how far it has come.
class InstallerDialog : public Dialog, private InstallProgress {
  public:
    InstallerDialog(HINSTANCE instance, Win32Platform& platform, FileSystem& files, std::string own_executable);

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void OnInstall();
    bool OnSysCommand(WPARAM command);
    void ShowProgress(bool show);
    void EntryExtracted(const std::string& status_text, uint32_t done, uint32_t total) override;

    Win32Platform& platform_;
    InstallFlow flow_;
    HICON appIcon;  // a shared resource icon: never destroyed
};

// The about box of the system menu.
class InstallerAboutDialog : public Dialog {
  public:
    explicit InstallerAboutDialog(HINSTANCE instance);
};
