#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The one seam through which the portable core reaches the operating system. Implemented for Win32, for the
// console, and by fakes in the tests; always handed down by reference, never reached through a global.

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
enum class MessageIcon { None, Warning, Stop };

// How the platform wants text: the Win32 layer hands Windows-1252 bytes to the ANSI functions, the console
// prints UTF-8. File paths are always in the platform's own encoding.
enum class TextEncoding { Cp1252, Utf8 };

class Platform {
  public:
    virtual ~Platform() = default;

    // A modal message box. An empty caption leaves the caption to the platform, which shows the application's name.
    MessageAnswer ShowMessage(std::string_view text,
                              std::string_view caption,
                              MessageButtons buttons,
                              MessageIcon icon = MessageIcon::None) {
        return Show(text, caption, buttons, icon);
    }

    // The folder that holds the settings file: the Windows directory on Windows.
    virtual std::string SettingsDirectory() = 0;
    virtual std::string CurrentDirectory() = 0;

    // Free bytes on the volume that holds (or will hold) `path`; nullopt when that cannot be told.
    virtual std::optional<uint64_t> FreeBytes(const std::string& path) = 0;

    // Ends the process without asking and without saving anything else.
    [[noreturn]] virtual void EndProcess(int exit_code) = 0;

    virtual TextEncoding Encoding() const = 0;
    virtual char PathSeparator() const = 0;
    // The value of an environment variable; empty when it is not set.
    virtual std::string EnvironmentVariable(const std::string& name) = 0;
    // Starts a program with a command line and does not wait for it; false when it could not be started.
    virtual bool LaunchProgram(const std::string& command_line) = 0;

  protected:
    virtual MessageAnswer Show(std::string_view text,
                               std::string_view caption,
                               MessageButtons buttons,
                               MessageIcon icon) = 0;
};
