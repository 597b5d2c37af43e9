#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Opening what a link points to. Every result is the platform's launch result: above 32 means success.

// How a control opens its links; the window tests put a fake in, so nothing is started.
using LinkOpener = std::function<INT_PTR(const std::string& target, int show_command)>;

// The shell's "open" verb on a file or address, without an owner window.
INT_PTR ShellOpen(const std::string& target, int show_command);

// `address` in the browser: the shell first; when that fails, the command registered for .htm pages with the
// address in place of its placeholder. When the registry has no such command, or the command with the address
// would not fit the command buffer, the shell's result stands.
INT_PTR OpenUrl(const std::string& address, int show_command);

// The default value of key `path` below HKEY_CLASSES_ROOT, read into a buffer of 260 characters: ERROR_SUCCESS
// and the value in *value, or the registry's error code.
LONG ReadClassesRootValue(const std::string& path, std::string* value);
