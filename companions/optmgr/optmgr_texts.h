#pragma once

#include "languages/language.h"
#include "recovery/settings_values.h"

// The configuration program's texts in the six languages of the settings file, looked up with the stored language
// each time they are shown. The English caption is also how scripts and tests find the window.

extern const SixLanguageText OptCaption;
extern const SixLanguageText OptFolderLabel;
extern const SixLanguageText OptFolderHint;
extern const SixLanguageText OptBrowse;
extern const SixLanguageText OptBrowseTitle;
extern const SixLanguageText OptSuffixLabel;
extern const SixLanguageText OptSuffixHint;
extern const SixLanguageText OptDeleteSource;
extern const SixLanguageText OptOk;
extern const SixLanguageText OptCancel;

// Questions and messages; the path and the system's reason follow them on lines of their own.
extern const SixLanguageText OptFileMissing;
extern const SixLanguageText OptFileDamaged;
extern const SixLanguageText OptAskWriteDefaults;
extern const SixLanguageText OptCannotRead;
extern const SixLanguageText OptCannotSave;

// Why a typed value was refused; nothing is written then.
const SixLanguageText& FolderRefusal(SettingsValueProblem problem);
const SixLanguageText& SuffixRefusal(SettingsValueProblem problem);
