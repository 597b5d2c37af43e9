#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "installer/sfx_format.h"

// Whole files as strings of bytes, and archives laid out by hand.

inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<long>(bytes.size()));
}

inline std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

struct StoredFile {
    std::string name;
    std::string bytes;
};

// The image, then the files back to back; `entries` gets their directory records.
inline std::string LayOut(const std::string& image,
                          const std::vector<StoredFile>& files,
                          std::vector<SfxEntry>* entries) {
    std::string body = image;
    for (const StoredFile& file : files) {
        entries->push_back({file.name, static_cast<uint32_t>(file.bytes.size()), static_cast<uint32_t>(body.size())});
        body += file.bytes;
    }
    return body;
}

inline std::string WithDirectory(const std::string& body, const std::vector<SfxEntry>& entries) {
    const std::vector<uint8_t> directory = EncodeSfxDirectory(entries);
    return body + std::string(directory.begin(), directory.end());
}

inline std::string U32Bytes(uint32_t value) {
    std::vector<uint8_t> bytes;
    AppendU32LE(&bytes, value);
    return std::string(bytes.begin(), bytes.end());
}

inline std::string Trailer(uint32_t count) {
    return U32Bytes(count) + std::string(kSfxMagic, kSfxMagicSize);
}

// Failure messages show the code and its text rather than four raw bytes.
inline void PrintTo(SfxResult result, std::ostream* os) {
    *os << static_cast<int32_t>(result) << " (" << ToString(result) << ")";
}
