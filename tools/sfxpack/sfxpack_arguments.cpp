#include "tools/sfxpack/sfxpack_arguments.h"

#include <utility>

const char kSfxpackUsageText[] =
    "Usage:\n"
    "  sfxpack pack --stub STUB.exe --out OUT.exe FILE...\n"
    "      OUT.exe = the stub, then each FILE stored under its bare file name, then the directory\n"
    "  sfxpack list ARCHIVE\n"
    "      one line per stored file, in directory order: offset, size, name\n"
    "  sfxpack extract ARCHIVE DIR\n"
    "      writes every stored file into the existing folder DIR\n"
    "  sfxpack --help\n"
    "Exit status: 0 done, 1 refused or unreadable archive or an I/O error, 2 wrong command line.\n";

namespace {

SfxpackArguments Error(std::string message) {
    SfxpackArguments parsed;
    parsed.error = std::move(message);
    return parsed;
}

SfxpackArguments ParsePack(const std::vector<std::string>& args) {
    SfxpackArguments parsed;
    parsed.command = SfxpackCommand::Pack;
    bool options_ended = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options_ended && (arg == "--stub" || arg == "--out")) {
            if (i + 1 == args.size())
                return Error(arg + " needs a value");
            (arg == "--stub" ? parsed.stub : parsed.out) = args[++i];
        } else if (!options_ended && arg == "--") {
            options_ended = true;
        } else if (!options_ended && arg.size() > 1 && arg[0] == '-') {
            return Error("unknown option " + arg);
        } else {
            parsed.files.push_back(arg);
        }
    }
    if (parsed.stub.empty() || parsed.out.empty())
        return Error("pack needs --stub and --out");
    if (parsed.files.empty())
        return Error("pack needs at least one FILE");
    return parsed;
}

}  // namespace

SfxpackArguments ParseSfxpackArguments(const std::vector<std::string>& args) {
    if (args.empty())
        return Error("no command");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help")
        return SfxpackArguments{};
    if (command == "pack")
        return ParsePack(args);
    SfxpackArguments parsed;
    if (command == "list" && args.size() == 2) {
        parsed.command = SfxpackCommand::List;
        parsed.archive = args[1];
    } else if (command == "extract" && args.size() == 3) {
        parsed.command = SfxpackCommand::Extract;
        parsed.archive = args[1];
        parsed.folder = args[2];
    } else if (command == "list" || command == "extract") {
        return Error(command == "list" ? "list needs ARCHIVE" : "extract needs ARCHIVE and DIR");
    } else {
        return Error("unknown command " + command);
    }
    return parsed;
}
