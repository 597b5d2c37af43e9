#pragma once

#include <cstdio>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "tools/tolvane/command_line.h"

// Exit codes of the tolvane tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNameTaken = 3;

// `tolvane recover`: carves each file, prints its result message and the pictures written to `out`.
int RunRecover(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out);

// `tolvane scan`: the same carve of each file, with nothing written; prints each picture recover would write.
int RunScan(const CarveArguments& args, Platform& platform, FileSystem& files, std::FILE* out);
