#pragma once

#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"
#include "recovery/settings_record.h"

// The output settings as the dialog shows them and the user types them: UTF-8 text, the folder as stored (with
// its trailing backslash), the delete offer as a tick.
struct OutputOptions {
    std::string outputFolder;
    std::string suffix;
    bool deleteSource = false;
};

enum class OpenOutcome {
    Ready,     // the record is there to edit
    Declined,  // the file was missing or damaged and the user did not want the defaults: nothing was written
    Failed,    // the file could not be read, or the defaults could not be written; the user was told why
};

// Edits the output fields of the settings file for the configuration program. Every other byte of the record
// stays as it was; the file is replaced whole, through a temporary file, or not at all, or written over in place
// where the folder allows no replacement (see WriteSettingsFile). Messages go through the platform in the record's
// language.
class OptionsEditor {
  public:
    OptionsEditor(FileSystem& files, Platform& platform, std::string path);

    // Reads the file. A missing or damaged one is reported, and replaced with the default file record only when
    // the user answers Yes.
    OpenOutcome Open();

    LanguageId Language() const { return LanguageFromNumber(record_[kLanguageField.offset]); }
    OutputOptions Shown() const;

    // Checks the values and saves them; false after a message when a value was refused or the file could not be
    // written, and the file is then as it was.
    bool Save(const OutputOptions& options);

  private:
    bool WriteRecord(const SettingsBytes& record, const SixLanguageText& failure);
    void Tell(const SixLanguageText& text, const std::string& detail, MessageIcon icon);

    FileSystem& files_;
    Platform& platform_;
    std::string path_;
    SettingsBytes record_;
};
