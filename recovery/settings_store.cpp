#include "recovery/settings_store.h"

#include <algorithm>
#include <array>

#include "recovery/recover_paths.h"
#include "recovery/settings_file.h"
#include "recovery/settings_values.h"

namespace {

constexpr int kExitSettingsMissing = 2;
constexpr int kExitSettingsFailed = 1;

// Reads up to `N` bytes of a file; the count read, or nullopt when it does not open.
template <size_t N>
std::optional<size_t> ReadHead(FileSystem& files, const std::string& path, std::array<uint8_t, N>* bytes) {
    std::unique_ptr<InputFile> file = files.OpenRead(path);
    if (!file)
        return std::nullopt;
    return file->Read(bytes->data(), bytes->size());
}

}  // namespace

SettingsStore::SettingsStore(FileSystem& files, Platform& platform, std::string path)
    : files_(files), platform_(platform), path_(std::move(path)), fallback_(DefaultRecordBytes()) {}

std::string SettingsStore::PathIn(std::string_view directory, char separator) {
    return std::string(directory) + separator + kSettingsFileName;
}

bool SettingsStore::Exists() {
    return files_.Exists(path_);
}

bool SettingsStore::Verify() {
    std::array<uint8_t, kSettingsFileSize> head{};
    const std::optional<size_t> size = ReadHead(files_, path_, &head);
    if (!size)
        return false;
    const std::optional<int32_t> computed = ComputeCheckValue(head.data(), *size);
    if (!computed || *computed != StoredCheckValue(head.data(), *size))
        return false;
    SettingsBytes record{};
    std::copy_n(head.begin(), std::min(*size, record.size()), record.begin());
    return RecordKeepsRules(record);
}

StartupSettings SettingsStore::LoadAtStartup() {
    fallback_ = DefaultRecordBytes();
    if (!Exists()) {
        ShowMissingFile(LanguageId::English);
        platform_.EndProcess(kExitSettingsMissing);
    }
    SettingsBytes record = fallback_;
    if (!Verify()) {
        ShowMissingFile(LanguageId::English);
        WriteDefaults(LanguageId::English);
    } else if (!ReadRecord(&record)) {
        record = fallback_;
    }
    const SettingsRecord fields = DecodeSettings(record);
    return StartupSettings{LanguageFromNumber(fields.language),
                           ReduceSeparatorRuns(fields.installFolder, platform_.PathSeparator())};
}

SettingsRecord SettingsStore::LoadForRecover(LanguageId language) {
    SettingsBytes record{};
    if (!TakeFileRecord(language, &record))
        WriteDefaults(language);
    return DecodeSettings(record);
}

void SettingsStore::SaveLanguage(LanguageId language) {
    SettingsBytes record{};
    TakeFileRecord(language, &record);
    record[kLanguageField.offset] = static_cast<uint8_t>(language);
    fallback_ = record;
    SaveRecord(record, language);
}

void SettingsStore::WriteDefaults(LanguageId language) {
    if (!SaveRecord(DefaultFileRecordBytes(), language))
        platform_.EndProcess(kExitSettingsFailed);
}

LanguageId SettingsStore::ReadLanguage() {
    SettingsBytes record = DefaultRecordBytes();
    const bool damaged = !Exists() || !Verify();
    if (damaged) {
        ShowMissingFile(LanguageId::English);
        WriteDefaults(LanguageId::English);
    }
    if (damaged ? !files_.OpenRead(path_) : !ReadRecord(&record))
        platform_.EndProcess(kExitSettingsFailed);
    return LanguageFromNumber(DecodeSettings(record).language);
}

// One write of the whole file. The record used to be written alone first, then again with the check value read
// back from it: the same bytes in the end, a 420-byte file in between, and impossible where only the file itself
// may be written, which can be neither shortened nor lengthened.
bool SettingsStore::SaveRecord(const SettingsBytes& record, LanguageId language) {
    std::string error;
    if (WriteSettingsFile(files_, path_, SettingsFileBytes(record, CheckValueOf(record)), &error))
        return true;
    ShowMissingFile(language);
    return false;
}

// Takes the file's record, or the fallback record when the file is missing, fails its check or does not open;
// each of these shows its own message. False when the fallback record was taken.
bool SettingsStore::TakeFileRecord(LanguageId language, SettingsBytes* record) {
    bool usable = true;
    *record = fallback_;
    if (!Exists()) {
        ShowMissingFile(language);
        usable = false;
    }
    if (!Verify()) {
        ShowMissingFile(language);
        usable = false;
    }
    if (!files_.OpenRead(path_)) {
        ShowMissingFile(language);
        return false;
    }
    if (usable && !ReadRecord(record)) {
        *record = fallback_;
        usable = false;
    }
    return usable;
}

// A file shorter than the record (it can pass the check) reads as zeros past its end.
bool SettingsStore::ReadRecord(SettingsBytes* record) {
    SettingsBytes bytes{};
    if (!ReadHead(files_, path_, &bytes))
        return false;
    *record = bytes;
    return true;
}

void SettingsStore::ShowMissingFile(LanguageId language) {
    ShowLocalizedMessage(platform_, MsgMissingFile, language);
}
