#include "installer/installer_app.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "framework/stdio_file_system.h"
#include "framework/win32_platform.h"
#include "installer/installer_dialog.h"

namespace {

// The installer reads its payload from the end of its own file.
std::string OwnExecutable() {
    std::array<char, MAX_PATH> path{};
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::string(path.data(), length < path.size() ? length : 0);
}

}  // namespace

InstallerApp::InstallerApp(HINSTANCE instance) : instance_(instance) {}

int InstallerApp::Run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    Win32Platform platform(ModuleBaseName(nullptr));
    StdioFileSystem files;
    InstallerDialog dialog(instance_, platform, files, OwnExecutable());
    dialog.DoModal(nullptr);
    return 0;
}
