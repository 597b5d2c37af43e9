// sfxpack: makes, lists and unpacks installer archives (an executable stub with files and a directory behind it).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/terminal_text.h"
#include "tools/sfxpack/sfxpack_arguments.h"
#include "tools/sfxpack/sfxpack_commands.h"

namespace {

int Run(const SfxpackArguments& parsed) {
    switch (parsed.command) {
        case SfxpackCommand::Help:
            std::fputs(kSfxpackUsageText, stdout);
            return kSfxpackExitOk;
        case SfxpackCommand::Pack:
            return RunPack(parsed, stdout, stderr);
        case SfxpackCommand::List:
            return RunList(parsed, stdout, stderr);
        case SfxpackCommand::Extract:
            return RunExtract(parsed, stdout, stderr);
    }
    return kSfxpackExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const SfxpackArguments parsed = ParseSfxpackArguments(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "sfxpack: %s\n%s", TerminalSafe(parsed.error).c_str(), kSfxpackUsageText);
        return kSfxpackExitUsage;
    }
    return FinishStandardOutput("sfxpack", Run(parsed));
}
