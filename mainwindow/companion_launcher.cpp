#include "mainwindow/companion_launcher.h"

namespace {

std::string ProgramPath(std::string_view program_folder, std::string_view program) {
    std::string path(program_folder);
    path += program;
    return path;
}

}  // namespace

std::optional<std::string> CompanionCommandLine(std::string_view program_folder, std::string_view program) {
    const std::string path = ProgramPath(program_folder, program);
    if (path.size() >= kCompanionPathBuffer)
        return std::nullopt;
    return "\"" + path + "\" ";
}

void StartCompanion(FileSystem& files,
                    Platform& platform,
                    std::string_view program_folder,
                    std::string_view program,
                    LanguageId language) {
    const std::optional<std::string> command_line = CompanionCommandLine(program_folder, program);
    if (!command_line || !files.OpenRead(ProgramPath(program_folder, program))) {
        ShowLocalizedMessage(platform, MsgMissingFile, language);
        return;
    }
    platform.LaunchProgram(*command_line);
}
