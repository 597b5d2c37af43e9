#include "recovery/settings_values.h"

#include "languages/code_page.h"

namespace {

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

}  // namespace

SettingsValueProblem CheckSuffix(std::string_view suffix) {
    if (suffix.size() >= kSuffixField.size)
        return SettingsValueProblem::TooLong;
    if (HasControlCharacter(suffix))
        return SettingsValueProblem::ControlCharacter;
    if (suffix.find_first_of("/\\:") != std::string_view::npos)
        return SettingsValueProblem::PathCharacter;
    if (suffix == "." || suffix == "..")
        return SettingsValueProblem::DotName;
    return SettingsValueProblem::Fits;
}

bool RecordKeepsRules(const SettingsBytes& record) {
    return CheckSuffix(DecodeSettings(record).suffix) == SettingsValueProblem::Fits;
}

SettingsValueProblem CheckFolder(std::string_view folder, SettingsField field) {
    if (folder.size() >= field.size)
        return SettingsValueProblem::TooLong;
    if (HasControlCharacter(folder))
        return SettingsValueProblem::ControlCharacter;
    return SettingsValueProblem::Fits;
}

std::string FolderFieldValue(std::string_view folder, char separator) {
    std::string value(folder);
    if (!value.empty() && value.back() != separator && value.back() != '\\' && value.back() != '/')
        value += separator;
    return value;
}

SettingsText SuffixFromUtf8(std::string_view utf8) {
    if (!FitsCp1252(utf8))
        return {SettingsValueProblem::NotInCodePage, {}};
    std::string bytes = Utf8ToCp1252(utf8);
    return {CheckSuffix(bytes), std::move(bytes)};
}

SettingsText FolderFromUtf8(std::string_view utf8, SettingsField field, char separator) {
    if (!FitsCp1252(utf8))
        return {SettingsValueProblem::NotInCodePage, {}};
    std::string bytes = FolderFieldValue(Utf8ToCp1252(utf8), separator);
    return {CheckFolder(bytes, field), std::move(bytes)};
}
