#include "companions/help/help_language.h"

#include <array>

#include "recovery/settings_record.h"

LanguageId HelpLanguage(FileSystem& files, const std::string& settings_path) {
    const std::unique_ptr<InputFile> file = files.OpenRead(settings_path);
    if (!file)
        return LanguageId::English;
    // One byte more than a settings file holds, so a longer file shows itself.
    std::array<uint8_t, kSettingsFileSize + 1> bytes{};
    const size_t got = file->Read(bytes.data(), bytes.size());
    if (file->Failed() || got != kSettingsFileSize)
        return LanguageId::English;
    if (ComputeCheckValue(bytes.data(), got) != StoredCheckValue(bytes.data(), got))
        return LanguageId::English;
    return LanguageFromNumber(static_cast<int8_t>(bytes[kLanguageField.offset]));
}
