// Stands in for the help program and the configuration program in the end-to-end run: it notes beside itself, in
// "<its file name>.ran", the command line it was started with, and ends.
#include <windows.h>

#include <array>
#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::array<char, MAX_PATH> own_path{};
    ::GetModuleFileNameA(nullptr, own_path.data(), static_cast<DWORD>(own_path.size()));
    std::array<char, MAX_PATH + 8> note_path{};
    std::snprintf(note_path.data(), note_path.size(), "%s.ran", own_path.data());
    if (FILE* note = std::fopen(note_path.data(), "wb")) {
        std::fputs(::GetCommandLineA(), note);
        std::fclose(note);
    }
    return 0;
}
