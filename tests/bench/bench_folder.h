#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// Where a benchmark writes: the folder named by its argument `index`, else /dev/shm (so the numbers measure the
// program, not the disk), else $TMPDIR, else /tmp.
inline std::string BenchFolder(int argc, char** argv, int index) {
    if (argc > index)
        return argv[index];
    if (std::filesystem::is_directory("/dev/shm"))
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr ? tmp : "/tmp";
}
