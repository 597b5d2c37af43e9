#include "mainwindow/recovery_app.h"

#include <commctrl.h>

#include "framework/stdio_file_system.h"
#include "framework/win32_platform.h"
#include "mainwindow/main_dialog.h"

RecoveryApp::RecoveryApp(HINSTANCE instance, std::vector<std::string> startup_files)
    : instance_(instance), startup_files_(std::move(startup_files)) {}

int RecoveryApp::Run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    Win32Platform platform(ModuleBaseName(nullptr));
    StdioFileSystem files;
    MainDialog dialog(instance_, platform, files, startup_files_);
    dialog.DoModal(nullptr);
    return 0;
}
