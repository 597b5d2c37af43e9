#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "framework/file_position.h"
#include "installer/sfx_format.h"

// The archive code's only contact with files: buffered C streams, with 64-bit positions also where long has 32 bits.

struct SfxFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using SfxFile = std::unique_ptr<std::FILE, SfxFileCloser>;

// Opens a file to read ("rb"). Others may go on reading and writing it: the installer reads its own running
// executable, which Windows keeps open.
SfxFile OpenSfxSource(const std::string& path);
// Creates or truncates a file to write ("wb"), which nobody else may open until it is closed.
SfxFile CreateSfxOutput(const std::string& path);
// Closes a file made by CreateSfxOutput; false when its last buffered bytes could not be written.
[[nodiscard]] bool CloseSfxOutput(SfxFile file);

// Reads exactly `size` bytes at the current position: Ok, ReadFailed or SourceEnded.
[[nodiscard]] SfxResult ReadSfxBytes(std::FILE* file, void* buffer, size_t size);

// Copies `size` bytes from the current position of `from` to `to` in chunks of at most 1,000 bytes: Ok, ReadFailed,
// SourceEnded (`from` ran out first) or WriteFailed.
[[nodiscard]] SfxResult CopySfxBytes(std::FILE* from, std::FILE* to, uint64_t size);
