#pragma once

#include <optional>
#include <string>

#include "framework/platform.h"

// The platform of the command-line tool on Linux and macOS: messages go to stderr in UTF-8, questions are never
// asked (they are answered No), and the settings live under the user's configuration folder.
class ConsolePlatform final : public Platform {
  public:
    explicit ConsolePlatform(std::string program_name);

    // $XDG_CONFIG_HOME/tolvane, else ~/.config/tolvane.
    std::string SettingsDirectory() override;
    std::string CurrentDirectory() override;
    // Of the nearest folder on the way to `path` that exists, since the output folder is made only later.
    std::optional<uint64_t> FreeBytes(const std::string& path) override;
    [[noreturn]] void EndProcess(int exit_code) override;
    TextEncoding Encoding() const override { return TextEncoding::Utf8; }
    char PathSeparator() const override { return '/'; }
    std::string EnvironmentVariable(const std::string& name) override;
    // Through /bin/sh, so the command line is read the way a terminal would.
    bool LaunchProgram(const std::string& command_line) override;

  protected:
    MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon) override;

  private:
    std::string program_name_;
};

// The next folder up on the way to the root ("a/b" -> "a" -> ".", "/a" -> "/"); nullopt at the top.
std::optional<std::string> FolderAbove(const std::string& folder);
