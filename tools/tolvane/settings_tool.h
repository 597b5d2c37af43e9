#pragma once

#include <cstdio>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "tools/tolvane/command_line.h"

// `tolvane settings init|show|set`: the settings file seen and edited field by field.
int RunSettings(const SettingsArguments& args, Platform& platform, FileSystem& files, std::FILE* out);
