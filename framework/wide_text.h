#pragma once

#include <string>
#include <string_view>

// UTF-8 to and from the UTF-16 of the wide Windows functions, for the few places that must hold any name (a folder
// typed or browsed to), which Windows-1252 cannot.
std::wstring WidenUtf8(std::string_view utf8);
std::string NarrowToUtf8(std::wstring_view wide);
