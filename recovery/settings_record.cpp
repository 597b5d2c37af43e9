#include "recovery/settings_record.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t LoadI32LE(const uint8_t* bytes) {
    const uint32_t value =
        uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
    return static_cast<int32_t>(value);
}

void StoreI32LE(int32_t value, uint8_t* bytes) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

std::string LoadText(const SettingsBytes& bytes, SettingsField field) {
    const auto* begin = reinterpret_cast<const char*>(bytes.data() + field.offset);
    const auto* zero = static_cast<const char*>(std::memchr(begin, 0, field.size));
    return std::string(begin, zero != nullptr ? static_cast<size_t>(zero - begin) : field.size);
}

void StoreText(const std::string& text, SettingsField field, SettingsBytes* bytes) {
    const size_t length = std::min(text.size(), field.size);
    std::memcpy(bytes->data() + field.offset, text.data(), length);
    if (length < field.size)
        (*bytes)[field.offset + length] = 0;
}

int32_t SignExtend(uint8_t byte) {
    return static_cast<int8_t>(byte);
}

}  // namespace

SettingsRecord DecodeSettings(const SettingsBytes& bytes) {
    SettingsRecord record;
    record.suffix = LoadText(bytes, kSuffixField);
    record.outputFolder = LoadText(bytes, kOutputFolderField);
    record.reservedFlag = LoadI32LE(bytes.data() + kReservedFlagField.offset);
    record.deleteSource = LoadI32LE(bytes.data() + kDeleteSourceField.offset);
    record.textFormat = LoadI32LE(bytes.data() + kTextFormatField.offset);
    record.language = static_cast<int8_t>(bytes[kLanguageField.offset]);
    record.installFolder = LoadText(bytes, kInstallFolderField);
    return record;
}

void EncodeSettings(const SettingsRecord& record, SettingsBytes* bytes) {
    StoreText(record.suffix, kSuffixField, bytes);
    StoreText(record.outputFolder, kOutputFolderField, bytes);
    StoreI32LE(record.reservedFlag, bytes->data() + kReservedFlagField.offset);
    StoreI32LE(record.deleteSource, bytes->data() + kDeleteSourceField.offset);
    StoreI32LE(record.textFormat, bytes->data() + kTextFormatField.offset);
    (*bytes)[kLanguageField.offset] = static_cast<uint8_t>(record.language);
    StoreText(record.installFolder, kInstallFolderField, bytes);
}

SettingsBytes DefaultRecordBytes() {
    SettingsRecord record;
    record.suffix = "REC";
    record.reservedFlag = 1;
    record.textFormat = 1;
    record.language = 1;
    SettingsBytes bytes{};
    EncodeSettings(record, &bytes);
    return bytes;
}

SettingsBytes DefaultFileRecordBytes() {
    SettingsBytes bytes = DefaultRecordBytes();
    std::fill_n(bytes.begin() + kOutputFolderField.offset + 1, kOutputFolderField.size - 1, uint8_t{'a'});
    return bytes;
}

std::optional<int32_t> ComputeCheckValue(const uint8_t* file_bytes, size_t size) {
    if (size == 0)
        return std::nullopt;
    return SignExtend(file_bytes[std::min(size, kSettingsRecordSize) - 1]);
}

int32_t StoredCheckValue(const uint8_t* file_bytes, size_t size) {
    std::array<uint8_t, 4> stored{};
    if (size > kSettingsRecordSize)
        std::memcpy(stored.data(), file_bytes + kSettingsRecordSize, std::min<size_t>(size - kSettingsRecordSize, 4));
    return LoadI32LE(stored.data());
}

int32_t CheckValueOf(const SettingsBytes& record) {
    return SignExtend(record.back());
}

std::array<uint8_t, kSettingsFileSize> SettingsFileBytes(const SettingsBytes& record, int32_t check_value) {
    std::array<uint8_t, kSettingsFileSize> file{};
    std::copy(record.begin(), record.end(), file.begin());
    StoreI32LE(check_value, file.data() + kSettingsRecordSize);
    return file;
}
