#pragma once

#include <optional>
#include <string>
#include <vector>

#include "languages/language.h"

// The command line of the tolvane tool, parsed. Parsing never prints; the caller reports `error`.

// Of `recover`; of `scan`, which takes neither an output folder nor a settings file; of `salvage`, which takes no
// language.
struct CarveArguments {
    std::optional<std::string> outputDir;
    std::optional<std::string> settingsFile;
    std::optional<LanguageId> language;
    std::optional<std::string> reportFile;
    bool quiet = false;  // no listing, no progress line
    std::vector<std::string> files;
};

struct SettingsArguments {
    std::string action;  // init, show, set
    std::string key;
    std::string value;
    std::optional<std::string> file;
};

enum class ToolCommand { Help, Version, Recover, Scan, Salvage, Settings };

struct ToolArguments {
    ToolCommand command = ToolCommand::Help;
    CarveArguments carve;
    SettingsArguments settings;
    std::string error;  // set when the command line is wrong
};

ToolArguments ParseToolArguments(const std::vector<std::string>& args);

// "en", "fr", "de", "it", "es", "ro" or a number 1..6.
std::optional<LanguageId> ParseLanguage(const std::string& text);

// A decimal 32-bit integer with an optional sign and nothing else.
std::optional<int32_t> ParseInt32(const std::string& text);

extern const char kUsage[];
