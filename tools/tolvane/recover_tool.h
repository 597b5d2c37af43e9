#pragma once

#include <cstdio>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "tools/tolvane/command_line.h"
#include "tools/tolvane/exit_codes.h"

// `tolvane recover`: carves each file, prints its result message and the pictures written to `out`.
int RunRecover(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out);

// `tolvane scan`: the same carve of each file, with nothing written; prints each picture recover would write.
int RunScan(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out);
