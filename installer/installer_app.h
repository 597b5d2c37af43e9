#pragma once

#include <windows.h>

// The installer program: runs the installer dialog modally and ends when it closes. A successful Install ends the
// process itself, with exit code 1.
class InstallerApp {
  public:
    explicit InstallerApp(HINSTANCE instance);
    // The exit code after Exit, Escape or the close box: 0, nothing was written.
    int Run();

  private:
    HINSTANCE instance_;
};
