#include "framework/console_platform.h"

#include <spawn.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

ConsolePlatform::ConsolePlatform(std::string program_name) : program_name_(std::move(program_name)) {}

MessageAnswer ConsolePlatform::Show(std::string_view text, std::string_view, MessageButtons buttons, MessageIcon) {
    std::fprintf(stderr, "%s: %.*s\n", program_name_.c_str(), static_cast<int>(text.size()), text.data());
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

std::string ConsolePlatform::SettingsDirectory() {
    const char* config_home = std::getenv("XDG_CONFIG_HOME");
    if (config_home != nullptr && config_home[0] == '/')
        return std::string(config_home) + "/tolvane";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/tolvane";
}

std::string ConsolePlatform::CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (buffer.size() >= (size_t{1} << 20))
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::optional<std::string> FolderAbove(const std::string& folder) {
    if (folder.empty() || folder == "." || folder == "/")
        return std::nullopt;
    const size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : folder.substr(0, slash);
}

std::optional<uint64_t> ConsolePlatform::FreeBytes(const std::string& path) {
    // Every step goes up one level, so the walk ends even where no folder on the way answers (an unsearchable
    // working folder, say); the free space is then unknown.
    for (std::optional<std::string> folder = path.empty() ? "." : path; folder; folder = FolderAbove(*folder)) {
        struct statvfs info;
        if (statvfs(folder->c_str(), &info) == 0)
            return uint64_t{info.f_bavail} * info.f_frsize;
    }
    return std::nullopt;
}

void ConsolePlatform::EndProcess(int exit_code) {
    std::fflush(stdout);
    std::exit(exit_code);
}

std::string ConsolePlatform::EnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

bool ConsolePlatform::LaunchProgram(const std::string& command_line) {
    const char* arguments[] = {"sh", "-c", command_line.c_str(), nullptr};
    pid_t child = 0;
    return posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(arguments), environ) == 0;
}
