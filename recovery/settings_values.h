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
};

// The suffix joins the source's base name to form the output folder's name, so it must stay inside that name.
SettingsValueProblem CheckSuffix(std::string_view suffix);
// A folder field (kOutputFolderField, kInstallFolderField), with the separator FolderFieldValue adds.
SettingsValueProblem CheckFolder(std::string_view folder, SettingsField field);

// A non-empty folder with a separator at its end, as the record stores it; the empty folder stays empty (it means
// the current folder). Either separator counts: the record may come from Windows or from the command line.
std::string FolderFieldValue(std::string_view folder, char separator);
