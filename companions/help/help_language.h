#pragma once

#include <string>

#include "framework/file_system.h"
#include "languages/language.h"

// The language the help speaks: the language byte of the settings file at `settings_path`. The help explains what
// to do about a broken installation, so a missing, short, long or damaged file means English, without a message,
// and the file is only ever read.
LanguageId HelpLanguage(FileSystem& files, const std::string& settings_path);
