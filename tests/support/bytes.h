#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline const Bytes kJpegStartBytes = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
inline const Bytes kPngStartBytes = {0x89, 0x50, 0x4E, 0x47, 0x0D};
inline const Bytes kJpegEndBytes = {0xFF, 0xD9};
inline const Bytes kPngEndBytes = {'I', 'E', 'N', 'D'};
inline const Bytes kCompoundBytes = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Copies `pattern` into `bytes` at `at`, as far as the bytes go.
inline void Plant(Bytes& bytes, size_t at, const Bytes& pattern) {
    for (size_t j = 0; j < pattern.size() && at + j < bytes.size(); ++j)
        bytes[at + j] = pattern[j];
}

inline Bytes Slice(const Bytes& bytes, size_t begin, size_t end) {
    return Bytes(bytes.begin() + static_cast<long>(begin), bytes.begin() + static_cast<long>(end));
}
