#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The settings file "propPSD.pro": a 420-byte record of raw little-endian fields, then a 4-byte check value.

constexpr size_t kSettingsRecordSize = 420;
constexpr size_t kSettingsFileSize = kSettingsRecordSize + 4;
constexpr char kSettingsFileName[] = "propPSD.pro";

using SettingsBytes = std::array<uint8_t, kSettingsRecordSize>;

struct SettingsField {
    size_t offset;
    size_t size;
};

constexpr SettingsField kSuffixField = {0, 4};
constexpr SettingsField kOutputFolderField = {4, 200};
constexpr SettingsField kReservedFlagField = {204, 4};
constexpr SettingsField kDeleteSourceField = {208, 4};
constexpr SettingsField kTextFormatField = {212, 4};
constexpr SettingsField kLanguageField = {216, 1};
constexpr SettingsField kInstallFolderField = {217, 203};

// Text fields hold Windows-1252 bytes up to a terminating zero; a field without one is read to its full size.
struct SettingsRecord {
    std::string suffix;         // appended to the source's base name to name the output folder
    std::string outputFolder;   // where output folders are made, ending with a separator; empty: current directory
    int32_t reservedFlag = 0;   // carried, not interpreted
    int32_t deleteSource = 0;   // 1: offer to delete the source after a recovery that produced images
    int32_t textFormat = 0;     // carried, not interpreted
    int8_t language = 0;        // LanguageId as stored; may hold anything
    std::string installFolder;  // where the program and its companions live, ending with a separator
};

SettingsRecord DecodeSettings(const SettingsBytes& bytes);

// Writes the record's fields over `bytes`. A text is cut at its field's size; the bytes after its terminating zero
// keep their old values, so decoding and encoding again changes no byte.
void EncodeSettings(const SettingsRecord& record, SettingsBytes* bytes);

// The default record: suffix "REC", reservedFlag 1, textFormat 1, language 1, every other byte zero.
SettingsBytes DefaultRecordBytes();
// The record as a fresh settings file holds it: like the default record, with the output folder's unused bytes
// filled with 'a'. Both decode alike.
SettingsBytes DefaultFileRecordBytes();

// The check value of a settings file, from its first `size` bytes: the last of its first 420 bytes, read as a signed
// byte. nullopt for an empty file.
std::optional<int32_t> ComputeCheckValue(const uint8_t* file_bytes, size_t size);
// The value stored at offset 420; bytes missing because the file is shorter count as zero.
int32_t StoredCheckValue(const uint8_t* file_bytes, size_t size);
// The check value a file holding `record` and nothing else after it must store.
int32_t CheckValueOf(const SettingsBytes& record);
// The whole file: the record, then the check value.
std::array<uint8_t, kSettingsFileSize> SettingsFileBytes(const SettingsBytes& record, int32_t check_value);
