#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "recovery/settings_record.h"

// The rules a value must keep before it goes into a text field of the settings record, shared by every program
// that edits the file. Values are Windows-1252 bytes, as the record stores them.
enum class SettingsValueProblem {
    Fits,
    TooLong,           // does not leave room for the field's terminating zero
    PathCharacter,     // a suffix with / \ or :, which would move the output folder somewhere else
    ControlCharacter,  // bytes 1-31 or 127: invisible, and no file name may hold them
    DotName,           // a suffix . or .., which names a folder that already exists
    NotInCodePage,     // a character Windows-1252 has no byte for: the record could not hold it
};

// The suffix joins the source's base name to form the output folder's name, so it must stay inside that name.
SettingsValueProblem CheckSuffix(std::string_view suffix);
// A record read from a file must keep the suffix rule too, or it counts as damaged: a suffix such as "\.." that
// passes the check value would still put the pictures outside any folder of their own.
bool RecordKeepsRules(const SettingsBytes& record);
// A folder field (kOutputFolderField, kInstallFolderField), with the separator FolderFieldValue adds.
SettingsValueProblem CheckFolder(std::string_view folder, SettingsField field);

// A non-empty folder with a separator at its end, as the record stores it; the empty folder stays empty (it means
// the current folder). Either separator counts: the record may come from Windows or from the command line.
std::string FolderFieldValue(std::string_view folder, char separator);

// A value as a person types it (UTF-8), made into the bytes the record stores, and the first rule it breaks. The
// bytes are only meant to be stored when `problem` is Fits.
struct SettingsText {
    SettingsValueProblem problem;
    std::string bytes;
};
SettingsText SuffixFromUtf8(std::string_view utf8);
// With the separator FolderFieldValue adds, so the length checked is the length stored.
SettingsText FolderFromUtf8(std::string_view utf8, SettingsField field, char separator);
