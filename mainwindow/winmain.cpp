#include <windows.h>

#include <cstdlib>

#include "mainwindow/recovery_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Files named on the command line (Explorer's "Open with", a drop onto the program's icon) join the list.
    std::vector<std::string> files;
    for (int i = 1; i < __argc; ++i)
        files.emplace_back(__argv[i]);
    return RecoveryApp(instance, std::move(files)).Run();
}
