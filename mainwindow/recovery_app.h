#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The recovery program: runs the main dialog modally; the program has no other message loop.
class RecoveryApp {
  public:
    RecoveryApp(HINSTANCE instance, std::vector<std::string> startup_files);
    // The exit code when the dialog closes the ordinary way (Escape); Exit ends the process itself.
    int Run();

  private:
    HINSTANCE instance_;
    std::vector<std::string> startup_files_;
};
