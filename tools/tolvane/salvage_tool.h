#pragma once

#include <cstdio>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "tools/tolvane/command_line.h"

// `tolvane salvage`: the document's own pictures (composite, layers, masks, extra channels) from each damaged PSD
// or PSB file, as PNG files; prints what it found and how much came back.
int RunSalvage(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out);
