#pragma once

#include <string>
#include <string_view>

// The only place where text changes between UTF-8 (source code, console) and Windows-1252 (the ANSI functions,
// the settings file).

// Characters that Windows-1252 cannot hold, and malformed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// The five bytes that Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value,
// as Windows itself does, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view cp1252);

// True when every character of `utf8` has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);

// Windows-1252 text with its capitals made small (A..Z and À..Þ but ×), the way Windows compares file names.
std::string FoldCase(std::string_view cp1252);
// Windows-1252 comparison without regard to case.
bool EqualIgnoringCase(std::string_view a, std::string_view b);
