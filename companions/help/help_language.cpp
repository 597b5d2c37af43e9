#include "companions/help/help_language.h"

#include "recovery/settings_file.h"

LanguageId HelpLanguage(FileSystem& files, const std::string& settings_path) {
    const std::optional<std::vector<uint8_t>> bytes = ReadSettingsFile(files, settings_path);
    std::string problem;
    const std::optional<SettingsBytes> record = bytes ? WholeSettingsRecord(*bytes, &problem) : std::nullopt;
    if (!record)
        return LanguageId::English;
    return LanguageFromNumber(static_cast<int8_t>((*record)[kLanguageField.offset]));
}
