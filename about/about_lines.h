#pragma once

#include <array>
#include <string>

#include "languages/language.h"

// The six lines the about box scrolls, in every language, in the order they are shown.
enum AboutRow : size_t { AboutTitle, AboutBlank, AboutDescription, AboutNotice, AboutRelease, AboutContact };
constexpr size_t kAboutRowCount = 6;

using AboutLines = std::array<std::string, kAboutRowCount>;
// Indexed by LanguageId; slot 0 stays empty. Windows-1252 text, spaces exactly as the box lays them out.
using AboutLineTable = std::array<AboutLines, kLanguageCount + 1>;

AboutLineTable MakeAboutLineTable();
