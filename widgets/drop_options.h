#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class DropListCtrl;

// Option bits of DropOptions::flags.
constexpr uint32_t AcceptFiles = 0x01;
constexpr uint32_t AcceptFolders = 0x02;
constexpr uint32_t AllowDuplicates = 0x04;
constexpr uint32_t FilterByExtension = 0x10;
constexpr uint32_t UseCallback = 0x20;

// What a wanted dropped item is; handed to the insertion callback. Does not overlap the option bits.
constexpr uint32_t FolderPath = 0x40;
constexpr uint32_t FilePath = 0x80;

// Called for every wanted item instead of the list's own insertion; adds whatever row it wants.
using InsertCallback = void (*)(DropListCtrl& list, const std::string& path, uint32_t pathKind);

struct DropOptions {
    uint32_t flags = AcceptFiles | AcceptFolders;
    std::string extension;  // with its dot: ".psd"
    InsertCallback insertCallback = nullptr;
};

// What the file system says about a dropped path.
enum class PathType { Unreadable, Directory, RegularFile, Other };

// Whether a dropped path is wanted under `options`; sets *pathKind for a wanted one.
bool CheckDroppedPath(const DropOptions& options, PathType type, std::string_view path, uint32_t* pathKind);

// The extension as the Windows shell finds it: from the last dot of the file name, dot included; empty when the
// name has no dot, or when a blank follows the last dot.
std::string_view PathExtension(std::string_view path);
