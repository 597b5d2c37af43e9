#include <cstdio>
#include <string>
#include <vector>

#include "framework/console_platform.h"
#include "framework/stdio_file_system.h"
#include "tools/common/terminal_text.h"
#include "tools/tolvane/command_line.h"
#include "tools/tolvane/recover_tool.h"
#include "tools/tolvane/salvage_tool.h"
#include "tools/tolvane/settings_tool.h"

namespace {

int Run(const ToolArguments& parsed) {
    ConsolePlatform platform("tolvane");
    StdioFileSystem files;
    switch (parsed.command) {
        case ToolCommand::Help:
            std::fputs(kUsage, stdout);
            return kExitOk;
        case ToolCommand::Version:
            std::printf("tolvane %s\n", TOLVANE_VERSION);
            return kExitOk;
        case ToolCommand::Recover:
            return RunRecover(parsed.carve, platform, files, stdout);
        case ToolCommand::Scan:
            return RunScan(parsed.carve, platform, files, stdout);
        case ToolCommand::Salvage:
            return RunSalvage(parsed.carve, platform, files, stdout);
        case ToolCommand::Settings:
            return RunSettings(parsed.settings, platform, files, stdout);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ToolArguments parsed = ParseToolArguments(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "tolvane: %s\nTry 'tolvane --help'.\n", TerminalSafe(parsed.error).c_str());
        return kExitUsage;
    }
    return FinishStandardOutput("tolvane", Run(parsed));
}
