#pragma once

#include <cstddef>
#include <string_view>

// What Windows can make of one component of a path (a file's or a folder's name), on every system: the archive
// code checks the names it stores and extracts with it, the setup the folders it installs into.

// A file name component holds at most this many bytes on Windows (and on the usual POSIX file systems).
constexpr size_t kMaxNameComponentLength = 255;

// Why `name` is not a name Windows creates as it stands, in its folder and nowhere else, or nullptr when it is. The
// reasons are fixed texts for messages.
const char* WindowsNameRefusal(std::string_view name);
