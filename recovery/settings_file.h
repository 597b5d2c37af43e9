#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "recovery/settings_record.h"

// The bytes of a settings file, up to one more than a settings file holds so that a longer file shows; nullopt when
// it cannot be read (the reason is files.LastError()).
std::optional<std::vector<uint8_t>> ReadSettingsFile(FileSystem& files, const std::string& path);

// The record of a file that is a whole settings file: 424 bytes whose check value matches and whose suffix keeps
// its rules. Otherwise nullopt, and `problem` says what is wrong with it.
std::optional<SettingsBytes> WholeSettingsRecord(const std::vector<uint8_t>& bytes, std::string* problem);

// Gives the settings file at `path` these bytes: through a temporary file and a rename, or, where its folder refuses
// those (the Windows directory to a standard user, who may write the file itself once the setup allows it), in one
// write over the existing 424-byte file, whose old bytes are then gone. What a write torn there leaves is read like
// any other file: one that fails its check gets the defaults. False with the reason in `error`.
bool WriteSettingsFile(FileSystem& files,
                       const std::string& path,
                       const std::array<uint8_t, kSettingsFileSize>& bytes,
                       std::string* error);
