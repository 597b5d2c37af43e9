#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The one seam through which the portable core reaches the operating system. Implemented for Win32, for the
// console, and by fakes in the tests; always handed down by reference, never reached through a global.

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// How the platform wants text: the Win32 layer hands Windows-1252 bytes to the ANSI functions, the console
// prints UTF-8. File paths are always in the platform's own encoding.
enum class TextEncoding { Cp1252, Utf8 };

class Platform {
  public:
    virtual ~Platform() = default;

    // A modal message box. An empty caption leaves the caption to the platform, which shows the application's name.
    virtual MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageButtons buttons) = 0;

    // The folder that holds the settings file: the Windows directory on Windows.
    virtual std::string SettingsDirectory() = 0;
    virtual std::string CurrentDirectory() = 0;

    // Free bytes on the volume that holds (or will hold) `path`; nullopt when that cannot be told.
    virtual std::optional<uint64_t> FreeBytes(const std::string& path) = 0;

    // Ends the process without asking and without saving anything else.
    [[noreturn]] virtual void EndProcess(int exit_code) = 0;

    virtual TextEncoding Encoding() const = 0;
    virtual char PathSeparator() const = 0;
};
