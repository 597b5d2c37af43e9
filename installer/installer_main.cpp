#include <windows.h>

#include "installer/installer_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return InstallerApp(instance).Run();
}
