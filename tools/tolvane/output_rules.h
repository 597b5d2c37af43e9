#pragma once

#include <optional>
#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "recovery/settings_record.h"

// The rules recover and salvage share for where a source's pictures go.

// The rules of the settings file named on the command line (`file`), its text fields in UTF-8; the defaults without
// one. The file is only read: unlike the program's own settings file, a damaged one is refused (nullopt, said on
// stderr), never replaced with the defaults, since it may be anything the user typed.
std::optional<SettingsRecord> CommandLineSettings(const std::optional<std::string>& file, FileSystem& files);

// With `output_dir`, that folder itself; without, the settings' output folder (else the current directory), the
// source's base name and the suffix.
std::string FolderFor(const std::optional<std::string>& output_dir,
                      const SettingsRecord& settings,
                      const std::string& source,
                      Platform& platform);
