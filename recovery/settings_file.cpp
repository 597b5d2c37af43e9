#include "recovery/settings_file.h"

#include <algorithm>

#include "recovery/settings_values.h"

std::optional<std::vector<uint8_t>> ReadSettingsFile(FileSystem& files, const std::string& path) {
    std::unique_ptr<InputFile> file = files.OpenRead(path);
    if (!file)
        return std::nullopt;
    std::vector<uint8_t> bytes(kSettingsFileSize + 1);
    bytes.resize(file->Read(bytes.data(), bytes.size()));
    if (file->Failed())
        return std::nullopt;
    return bytes;
}

std::optional<SettingsBytes> WholeSettingsRecord(const std::vector<uint8_t>& bytes, std::string* problem) {
    if (bytes.size() != kSettingsFileSize) {
        *problem = bytes.size() > kSettingsFileSize ? "is longer than a settings file (424 bytes)"
                                                    : "is " + std::to_string(bytes.size()) + " bytes, not 424";
        return std::nullopt;
    }
    if (ComputeCheckValue(bytes.data(), bytes.size()) != StoredCheckValue(bytes.data(), bytes.size())) {
        *problem = "fails its check value (damaged)";
        return std::nullopt;
    }
    SettingsBytes record{};
    std::copy_n(bytes.begin(), record.size(), record.begin());
    if (!RecordKeepsRules(record)) {
        *problem = "has a suffix that no folder name may hold (damaged)";
        return std::nullopt;
    }
    return record;
}

bool WriteSettingsFile(FileSystem& files,
                       const std::string& path,
                       const std::array<uint8_t, kSettingsFileSize>& bytes,
                       std::string* error) {
    if (files.WriteAtomic(path, bytes.data(), bytes.size()))
        return true;
    *error = files.LastError();
    if (!files.ReplacementRefused())
        return false;
    if (files.OverwriteInPlace(path, bytes.data(), bytes.size()))
        return true;
    *error += ", and it cannot be written in place: " + files.LastError();
    return false;
}
