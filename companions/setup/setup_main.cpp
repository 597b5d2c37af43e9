#include <windows.h>

#include <objbase.h>

#include "companions/setup/setup_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // Shell links are COM objects; the folder browser wants a single-threaded apartment.
    const HRESULT com = ::CoInitialize(nullptr);
    const int exit_code = SetupApp(instance, arguments != nullptr ? arguments : "").Run();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return exit_code;
}
