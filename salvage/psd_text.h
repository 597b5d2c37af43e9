#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Names in a document come in two encodings: Pascal strings in Mac Roman (layer names, alpha channel names of old
// files) and UTF-16BE (the "luni" layer names, the Unicode alpha names). The layout keeps UTF-8.

std::string MacRomanToUtf8(const uint8_t* bytes, size_t size);
// `units` 16-bit code units; a lone surrogate becomes U+FFFD, a NUL ends the name (some writers terminate them).
std::string Utf16BeToUtf8(const uint8_t* bytes, size_t units);
