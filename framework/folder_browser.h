#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The shell's folder browser, for folders on disk only: a path, not a shell place such as the Control Panel. It
// opens on `start_utf8`, or on the nearest folder above it that exists, so Browse… starts where the user already
// is. Paths are UTF-8, so a folder of any name comes back whole; `title` is Windows-1252. Returns the folder chosen,
// with a backslash at its end; nullopt when the user cancels.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& start_utf8);
