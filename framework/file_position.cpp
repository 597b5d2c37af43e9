#include "framework/file_position.h"

#include <cstdint>

#ifndef _WIN32
#include <sys/types.h>
#endif

bool SeekFile(std::FILE* file, uint64_t position) {
    if (position > static_cast<uint64_t>(INT64_MAX))
        return false;
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

bool FileSizeBySeeking(std::FILE* file, uint64_t* size) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return false;
    const __int64 position = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    const off_t position = ftello(file);
#endif
    if (position < 0)
        return false;
    *size = static_cast<uint64_t>(position);
    return true;
}
