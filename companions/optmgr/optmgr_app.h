#pragma once

#include <windows.h>

// The configuration program: opens the settings file in the Windows directory and runs the options dialog.
class OptmgrApp {
  public:
    explicit OptmgrApp(HINSTANCE instance);
    // 0 after OK, Cancel, or a declined offer to write the defaults; 1 when the file could not be read or written.
    int Run();

  private:
    HINSTANCE instance_;
};
