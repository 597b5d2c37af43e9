#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/dialog.h"

// The setup's one window: the destination folder with Browse..., Install and Cancel. What Install does is the
// caller's: it gets the folder as typed and says whether the window may close (false: the user may try again).
class SetupWindow : public Dialog {
  public:
    using InstallAction = std::function<bool(HWND owner, const std::string& typed)>;
    SetupWindow(HINSTANCE instance, std::string destination, InstallAction install);

    std::string Destination() const;

  protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void OnInstall();
    void OnBrowse();

    std::string initial_destination_;
    InstallAction install_;
    HICON icon_;  // a shared resource icon: never destroyed
};
