#pragma once

#include <windows.h>

#include <string>

#include "framework/platform.h"

// The platform seam on Windows. Message boxes are owned by the window set with SetOwner (the main dialog once it
// exists); a box without a caption carries the application's name, as the framework's own boxes do. Not final:
// the window tests answer message boxes in code.
class Win32Platform : public Platform {
  public:
    explicit Win32Platform(std::string application_name);

    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }
    const std::string& ApplicationName() const { return application_name_; }

    std::string SettingsDirectory() override;
    std::string CurrentDirectory() override;
    std::optional<uint64_t> FreeBytes(const std::string& path) override;
    [[noreturn]] void EndProcess(int exit_code) override;
    TextEncoding Encoding() const override { return TextEncoding::Cp1252; }
    char PathSeparator() const override { return '\\'; }
    std::string EnvironmentVariable(const std::string& name) override;
    // WinExec, with the new program's window shown normally.
    bool LaunchProgram(const std::string& command_line) override;

  protected:
    MessageAnswer Show(std::string_view text,
                       std::string_view caption,
                       MessageButtons buttons,
                       MessageIcon icon) override;

  private:
    std::string application_name_;
    HWND owner_ = nullptr;
};

// The MessageBoxA style of a box with these buttons and this icon.
UINT MessageBoxStyle(MessageButtons buttons, MessageIcon icon);

// The running program's file name without folder and extension: "Tolvane" for C:\Apps\Tolvane.exe.
std::string ModuleBaseName(HMODULE module);
