#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "framework/file_position.h"
#include "framework/native_file.h"
#include "installer/sfx_format.h"

// The archive code's only contact with files: buffered C streams, with 64-bit positions also where long has 32 bits.
// Opening and creating go through the operating system's own calls (framework/native_file.h); every one that fails
// says why in `*error`.

using SfxFile = NativeFile;

// Opens a file to read ("rb"). Others may go on reading and writing it: the installer reads its own running
// executable, which Windows keeps open. A FIFO or a device is refused without blocking.
SfxFile OpenSfxSource(const std::string& path, std::string* error);
// Opens an extracted file to write it anew ("wb"), creating it when missing; nobody else may open it until it is
// closed. An existing name that is not a regular file is refused: nothing is ever written through a symbolic link
// or reparse point, into a FIFO or a device.
SfxFile ReplaceSfxOutput(const std::string& path, std::string* error);
// Creates a new temporary file beside `path`, where an archive is written before it replaces `path`.
SfxFile CreateSfxOutputBeside(const std::string& path, std::string* temporary_path, std::string* error);
// Closes a file made by ReplaceSfxOutput or CreateSfxOutputBeside; false when its last buffered bytes could not be
// written.
[[nodiscard]] bool CloseSfxOutput(SfxFile file);

// Reads exactly `size` bytes at the current position: Ok, ReadFailed or SourceEnded.
[[nodiscard]] SfxResult ReadSfxBytes(std::FILE* file, void* buffer, size_t size);

// Copies `size` bytes from the current position of `from` to `to` in chunks of at most 1,000 bytes: Ok, ReadFailed,
// SourceEnded (`from` ran out first) or WriteFailed.
[[nodiscard]] SfxResult CopySfxBytes(std::FILE* from, std::FILE* to, uint64_t size);
