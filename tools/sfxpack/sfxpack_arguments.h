#pragma once

#include <string>
#include <vector>

// The sfxpack command line, parsed. Parsing never prints; the caller reports `error`.
enum class SfxpackCommand { Help, Pack, List, Extract };

struct SfxpackArguments {
    SfxpackCommand command = SfxpackCommand::Help;
    std::string stub;     // pack
    std::string out;      // pack
    std::string archive;  // list, extract
    std::string folder;   // extract
    std::vector<std::string> files;
    std::string error;  // set when the command line is wrong
};

SfxpackArguments ParseSfxpackArguments(const std::vector<std::string>& args);

extern const char kSfxpackUsageText[];

constexpr int kSfxpackExitOk = 0;
constexpr int kSfxpackExitFailed = 1;  // refused or unreadable archive, or an I/O error
constexpr int kSfxpackExitUsage = 2;
