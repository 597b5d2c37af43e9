#include "companions/optmgr/optmgr_app.h"

#include <commctrl.h>
#include <objbase.h>

#include "companions/optmgr/options_dialog.h"
#include "framework/stdio_file_system.h"
#include "recovery/settings_store.h"

OptmgrApp::OptmgrApp(HINSTANCE instance) : instance_(instance) {}

int OptmgrApp::Run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The folder browser is a shell object and needs COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32Platform platform(ModuleBaseName(nullptr));
    StdioFileSystem files;
    OptionsEditor editor(files, platform, SettingsStore::PathIn(platform.SettingsDirectory(), '\\'));
    int exit_code = 0;
    switch (editor.Open()) {
        case OpenOutcome::Ready:
            OptionsDialog(instance_, platform, editor).DoModal(nullptr);
            break;
        case OpenOutcome::Declined:
            break;
        case OpenOutcome::Failed:
            exit_code = 1;
            break;
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return exit_code;
}
