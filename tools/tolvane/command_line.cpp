#include "tools/tolvane/command_line.h"

#include <array>
#include <climits>
#include <cstdlib>

const char kUsage[] =
    "Usage:\n"
    "  tolvane recover [-o DIR] [--settings FILE] [--language LANG] [--report FILE] [-q] FILE...\n"
    "  tolvane scan [--language LANG] [--report FILE] [-q] FILE...\n"
    "  tolvane salvage [-o DIR] [--settings FILE] [--report FILE] [-q] FILE...\n"
    "  tolvane settings init|show [--file FILE]\n"
    "  tolvane settings set KEY VALUE [--file FILE]\n"
    "  tolvane -h | --help | -V | --version\n"
    "\n"
    "recover   copies every JPEG and PNG-signed picture found in each FILE (a damaged Photoshop\n"
    "          file, a disk image, a block device) into numbered files 1.jpg, 2.jpg ... 1.gif ...\n"
    "          of an output folder. The source is only read, never changed.\n"
    "scan      lists what recover would write (name, offset, length, end) and writes nothing.\n"
    "  -o, --output-dir DIR  DIR itself is the output folder (made at the first picture).\n"
    "                    Without it: the settings' output folder, else the current directory,\n"
    "                    plus the file's base name plus the settings' suffix (default REC).\n"
    "  --settings FILE   take the output rules and language from this settings file;\n"
    "                    without it the default settings apply.\n"
    "  --language LANG   en, fr, de, it, es, ro or 1..6, for the messages.\n"
    "  --report FILE     also write a JSON Lines report to the new file FILE: one object per\n"
    "                    picture, one summary object per source.\n"
    "  -q, --quiet       no listing of the pictures and no progress line.\n"
    "salvage   gives back the document's own pictures from each damaged PSD or PSB FILE:\n"
    "          composite.png (the merged picture at full size), layers/001.png ... (each layer,\n"
    "          its mask as 001-mask.png) and channels/NN.png (extra channels), into the output\n"
    "          folder (-o and --settings as for recover). Every row whose bytes survived comes\n"
    "          back; lost samples are transparent. --report FILE: one JSON object per source\n"
    "          listing the lost rows of each channel.\n"
    "settings  reads and writes a 424-byte settings file (default:\n"
    "          $XDG_CONFIG_HOME/tolvane/propPSD.pro, else ~/.config/tolvane/propPSD.pro).\n"
    "  KEY: suffix (up to 3 characters), output-folder (up to 199), delete-source (number),\n"
    "       language (en..ro or 1..6), install-folder (up to 202). Folders get a trailing '/'.\n"
    "\n"
    "Exit status: 0 every file scanned (salvaged) to its end; 3 a picture's file name was\n"
    "already taken (nothing is overwritten); 1 a file could not be read or written, or holds\n"
    "no image data to salvage; 2 wrong command line or settings value, or the report file\n"
    "exists already.\n";

namespace {

// Takes the value of `--name VALUE`, `--name=VALUE`, `-x VALUE` or `-xVALUE` at args[*i] (`short_name` may be
// empty); false when args[*i] is not that option.
bool TakeOption(const std::vector<std::string>& args,
                size_t* i,
                const std::string& name,
                const std::string& short_name,
                std::optional<std::string>* value,
                std::string* error) {
    const std::string& arg = args[*i];
    if (arg.compare(0, name.size() + 1, name + "=") == 0) {
        *value = arg.substr(name.size() + 1);
        return true;
    }
    if (!short_name.empty() && arg.size() > short_name.size() && arg.compare(0, short_name.size(), short_name) == 0) {
        *value = arg.substr(short_name.size());
        return true;
    }
    if (arg != name && (short_name.empty() || arg != short_name))
        return false;
    if (*i + 1 >= args.size()) {
        *error = "option '" + arg + "' needs a value";
        return true;
    }
    *value = args[++*i];
    return true;
}

// One option of recover, scan or salvage, with a value or without.
bool TakeCarveOption(const std::vector<std::string>& args,
                     size_t* i,
                     std::optional<std::string>* language,
                     ToolArguments* parsed) {
    CarveArguments& carve = parsed->carve;
    const std::string& arg = args[*i];
    if (arg == "-q" || arg == "--quiet") {
        carve.quiet = true;
        return true;
    }
    if (arg == "-h" || arg == "--help") {
        parsed->command = ToolCommand::Help;
        return true;
    }
    // salvage prints no six-language message; scan writes no pictures.
    const bool speaks = parsed->command != ToolCommand::Salvage;
    const bool writes = parsed->command != ToolCommand::Scan;
    return (speaks && TakeOption(args, i, "--language", "", language, &parsed->error)) ||
           TakeOption(args, i, "--report", "", &carve.reportFile, &parsed->error) ||
           (writes && (TakeOption(args, i, "--output-dir", "-o", &carve.outputDir, &parsed->error) ||
                       TakeOption(args, i, "--settings", "", &carve.settingsFile, &parsed->error)));
}

void ParseCarve(const std::vector<std::string>& args, ToolArguments* parsed) {
    CarveArguments& carve = parsed->carve;
    std::optional<std::string> language;
    bool options_ended = false;
    for (size_t i = 1; i < args.size() && parsed->error.empty(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
            carve.files.push_back(arg);
        } else if (arg == "--") {
            options_ended = true;
        } else if (!TakeCarveOption(args, &i, &language, parsed)) {
            parsed->error = "unknown option '" + arg + "' for " + args[0];
        }
    }
    if (!parsed->error.empty() || parsed->command == ToolCommand::Help)
        return;
    if (language) {
        carve.language = ParseLanguage(*language);
        if (!carve.language)
            parsed->error = "unknown language '" + *language + "' (use en, fr, de, it, es, ro or 1..6)";
    }
    if (carve.outputDir && carve.outputDir->empty())
        parsed->error = "the output folder must not be empty";
    if (carve.reportFile && carve.reportFile->empty())
        parsed->error = "the report file must not be empty";
    if (carve.files.empty())
        parsed->error = "no FILE to " + args[0];
}

void ParseSettings(const std::vector<std::string>& args, ToolArguments* parsed) {
    SettingsArguments& settings = parsed->settings;
    std::vector<std::string> words;
    for (size_t i = 1; i < args.size() && parsed->error.empty(); ++i) {
        if (!TakeOption(args, &i, "--file", "", &settings.file, &parsed->error))
            words.push_back(args[i]);
    }
    if (!parsed->error.empty())
        return;
    const size_t wanted = !words.empty() && words[0] == "set" ? 3 : 1;
    if (words.empty() || (words[0] != "init" && words[0] != "show" && words[0] != "set")) {
        parsed->error = "settings needs init, show or set";
    } else if (words.size() != wanted) {
        parsed->error = wanted == 3 ? "settings set needs KEY and VALUE" : "settings " + words[0] + " takes no words";
    } else {
        settings.action = words[0];
        if (wanted == 3) {
            settings.key = words[1];
            settings.value = words[2];
        }
    }
}

}  // namespace

ToolArguments ParseToolArguments(const std::vector<std::string>& args) {
    ToolArguments parsed;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        parsed.command = ToolCommand::Help;
        if (args.size() > 1)
            parsed.error = "--help takes nothing more";
    } else if (args[0] == "--version" || args[0] == "-V") {
        parsed.command = ToolCommand::Version;
    } else if (args[0] == "recover" || args[0] == "scan" || args[0] == "salvage") {
        parsed.command = args[0] == "recover" ? ToolCommand::Recover
                         : args[0] == "scan"  ? ToolCommand::Scan
                                              : ToolCommand::Salvage;
        ParseCarve(args, &parsed);
    } else if (args[0] == "settings") {
        parsed.command = ToolCommand::Settings;
        ParseSettings(args, &parsed);
    } else {
        parsed.error = "unknown command '" + args[0] + "'";
    }
    return parsed;
}

std::optional<LanguageId> ParseLanguage(const std::string& text) {
    constexpr std::array<const char*, kLanguageCount> kCodes = {"en", "fr", "de", "it", "es", "ro"};
    for (size_t i = 0; i < kCodes.size(); ++i) {
        if (text == kCodes[i] || text == std::to_string(i + 1))
            return static_cast<LanguageId>(i + 1);
    }
    return std::nullopt;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
    // strtoll alone would also take leading blanks and line breaks.
    const size_t digits_from = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() == digits_from || text.size() > 11 ||
        text.find_first_not_of("0123456789", digits_from) != std::string::npos)
        return std::nullopt;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}
