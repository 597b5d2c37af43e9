#include <windows.h>

#include "companions/optmgr/optmgr_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return OptmgrApp(instance).Run();
}
