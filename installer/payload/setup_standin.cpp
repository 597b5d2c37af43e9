// Stands in for the product's setup program in the installer's payload until the real one is built: it leaves a
// note beside itself that it ran (the installer's tests look for it) and tells the user where the files are.
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::array<char, MAX_PATH> own_path{};
    ::GetModuleFileNameA(nullptr, own_path.data(), static_cast<DWORD>(own_path.size()));
    std::string folder = own_path.data();
    folder.resize(folder.find_last_of('\\') + 1);
    if (FILE* note = std::fopen((folder + "setup-ran.txt").c_str(), "wb")) {
        std::fprintf(note, "started with arguments: [%s]\n", command_line);
        std::fclose(note);
    }
    const std::string text = "Varnick Publisher Recovery was unpacked into\n" + folder +
                             "\n\nThis build carries a stand-in for the setup program; nothing was installed.";
    ::MessageBoxA(nullptr, text.c_str(), "Installer", MB_OK | MB_ICONINFORMATION);
    return 0;
}
