#include <windows.h>

#include <commctrl.h>

#include "companions/help/help_language.h"
#include "companions/help/help_window.h"
#include "framework/stdio_file_system.h"
#include "framework/win32_platform.h"
#include "recovery/settings_store.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    Win32Platform platform(ModuleBaseName(nullptr));
    StdioFileSystem files;
    const LanguageId language = HelpLanguage(files, SettingsStore::PathIn(platform.SettingsDirectory(), '\\'));
    HelpWindow window(instance, language);
    return window.DoModal(nullptr) == -1 ? 1 : 0;
}
