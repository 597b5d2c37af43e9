#pragma once

#include <string>
#include <string_view>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"
#include "recovery/settings_record.h"

// What the main window takes from the settings file when it starts.
struct StartupSettings {
    LanguageId language = LanguageId::English;
    std::string programFolder;  // the installation folder, separator runs reduced to one
};

// Keeps the recovery program's settings in the settings file. The file is read afresh at every load and carries no
// lock: the configuration program may rewrite it at any time. Any load that cannot use the file takes the fallback
// record: the default record, or the record saved last by this store.
class SettingsStore {
  public:
    SettingsStore(FileSystem& files, Platform& platform, std::string path);

    // `directory` + separator + "propPSD.pro".
    static std::string PathIn(std::string_view directory, char separator);

    bool Exists();
    // The file opens, its stored check value equals the computed one and its suffix keeps the rules.
    bool Verify();

    // Before the main window shows; messages in English. A missing file ends the process with exit code 2.
    StartupSettings LoadAtStartup();
    // The record for one recovery; a missing or damaged file is reported (in `language`), replaced with the
    // defaults, and the fallback record is used.
    SettingsRecord LoadForRecover(LanguageId language);
    // Stores `language` in the file's record, keeping every other byte.
    void SaveLanguage(LanguageId language);
    // Writes the default file record; ends the process with exit code 1 when the file cannot be written.
    void WriteDefaults(LanguageId language);
    // Only the language byte, for the about box; its messages are in English.
    LanguageId ReadLanguage();

  private:
    // Writes `record` and its check value; false (after the message) when the file cannot be written.
    bool SaveRecord(const SettingsBytes& record, LanguageId language);
    bool TakeFileRecord(LanguageId language, SettingsBytes* record);
    bool ReadRecord(SettingsBytes* record);
    void ShowMissingFile(LanguageId language);

    FileSystem& files_;
    Platform& platform_;
    std::string path_;
    SettingsBytes fallback_;
};
