#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "recovery/settings_record.h"

// The bytes of a settings file, up to one more than a settings file holds so that a longer file shows; nullopt when
// it cannot be read (the reason is files.LastError()).
std::optional<std::vector<uint8_t>> ReadSettingsFile(FileSystem& files, const std::string& path);

// The record of a file that is a whole settings file: 424 bytes whose check value matches. Otherwise nullopt, and
// `problem` says what is wrong with it.
std::optional<SettingsBytes> WholeSettingsRecord(const std::vector<uint8_t>& bytes, std::string* problem);
