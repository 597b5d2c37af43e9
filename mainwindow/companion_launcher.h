#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"

// The programs beside the recovery program in its installation folder, started without arguments.
constexpr std::string_view kHelpProgram = "Help.exe";
constexpr std::string_view kConfigurationProgram = "Optmgr.exe";

// The program paths the installation folder can make: they must fit a buffer of this many characters with its
// terminator.
constexpr size_t kCompanionPathBuffer = 200;

// The command line that starts `program` from `program_folder` (which ends with a backslash): the path in quotes,
// so a folder with blanks starts the right program, then one blank. nullopt when the path does not fit its buffer.
std::optional<std::string> CompanionCommandLine(std::string_view program_folder, std::string_view program);

// Starts the companion program and does not wait for it. A path that does not fit, or a program that is not there,
// shows "Missing file. Please reinstall!" in `language` and starts nothing; a failed start is not reported.
void StartCompanion(FileSystem& files,
                    Platform& platform,
                    std::string_view program_folder,
                    std::string_view program,
                    LanguageId language);
