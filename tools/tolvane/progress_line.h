#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/platform.h"

// One line on a terminal's stderr that tells how far the carve of a large source has come: bytes, share, speed and
// pictures found. Without a terminal (or with -q) it shows nothing, so logs and pipes stay clean.
class ProgressLine {
  public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}

    // A new source of `total_bytes`, shown by `name` (its file name).
    void Begin(const std::string& name, uint64_t total_bytes);
    // Drawn for a source over 64 MiB from its first read on, then redrawn four times a second at most.
    void Update(uint64_t bytes_read, size_t pictures);
    // Takes the line away, so that what is printed next starts on a clean line.
    void Clear();

  private:
    using Clock = std::chrono::steady_clock;

    bool enabled_;
    bool shown_ = false;
    std::string name_;
    uint64_t total_bytes_ = 0;
    Clock::time_point started_;
    Clock::time_point drawn_;
};

// The text of the line, for example "disk.img: 1.2 GiB of 6.0 GiB (20%), 850.0 MiB/s, 12 pictures";
// `total_bytes` is more than 0.
std::string ProgressText(const std::string& name,
                         uint64_t bytes_read,
                         uint64_t total_bytes,
                         double seconds,
                         size_t pictures);

// A platform whose messages first clear the progress line, so that a message never lands on the end of it.
class ProgressAwarePlatform final : public Platform {
  public:
    ProgressAwarePlatform(Platform& platform, ProgressLine& progress) : platform_(platform), progress_(progress) {}

    std::string SettingsDirectory() override { return platform_.SettingsDirectory(); }
    std::string CurrentDirectory() override { return platform_.CurrentDirectory(); }
    std::optional<uint64_t> FreeBytes(const std::string& path) override { return platform_.FreeBytes(path); }
    [[noreturn]] void EndProcess(int exit_code) override {
        platform_.EndProcess(exit_code);
        std::abort();  // not reached; the compiler does not carry [[noreturn]] through a virtual call
    }
    TextEncoding Encoding() const override { return platform_.Encoding(); }
    char PathSeparator() const override { return platform_.PathSeparator(); }
    std::string EnvironmentVariable(const std::string& name) override { return platform_.EnvironmentVariable(name); }
    bool LaunchProgram(const std::string& command_line) override { return platform_.LaunchProgram(command_line); }

  protected:
    MessageAnswer Show(std::string_view text,
                       std::string_view caption,
                       MessageButtons buttons,
                       MessageIcon icon) override {
        progress_.Clear();
        return platform_.ShowMessage(text, caption, buttons, icon);
    }

  private:
    Platform& platform_;
    ProgressLine& progress_;
};
