#pragma once

#include <cstdio>
#include <string>

#include "tools/sfxpack/sfxpack_arguments.h"

// Each returns the exit status and writes its reasons to `err`.
int RunPack(const SfxpackArguments& args, std::FILE* out, std::FILE* err);
int RunList(const SfxpackArguments& args, std::FILE* out, std::FILE* err);
int RunExtract(const SfxpackArguments& args, std::FILE* out, std::FILE* err);

// What a path is stored as: its last component. On Windows a drive colon ends the folder part too.
std::string BareFileName(const std::string& path);
