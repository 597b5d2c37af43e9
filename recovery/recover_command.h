#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "languages/language.h"
#include "recovery/carve_result.h"
#include "recovery/image_carver.h"
#include "recovery/settings_store.h"

// The Recover and Delete File commands, apart from the window: the caller hands in the path of the file list's
// selected row (nullopt when none is selected) and what the main window knows at that moment.
class RecoverCommand {
  public:
    RecoverCommand(FileSystem& files, Platform& platform, SettingsStore& settings);

    // Works out the output folder from the settings, warns when the disk looks full, carves, reports the result
    // and, when the settings ask for it, offers twice to delete the source.
    CarveResult Recover(const std::optional<std::string>& selected_path, uint64_t last_added_size, LanguageId language);

    // Asks, then deletes the file; true when it was deleted and its row should leave the list.
    bool DeleteFileCommand(const std::optional<std::string>& selected_path, LanguageId language);

  private:
    void OfferToDelete(const std::string& source_path, LanguageId language);
    void ShowNoFileSelected(LanguageId language);
    MessageAnswer Ask(const SixLanguageText& question,
                      const std::string& path,
                      std::string_view caption,
                      LanguageId language);

    FileSystem& files_;
    Platform& platform_;
    SettingsStore& settings_;
    ImageCarver carver_;
};

// Shows "Disk full!" when the drive of `folder` has less room than the file last added (in whole kilobytes) plus
// 10 KB. A free space that cannot be told is no reason for a warning.
void WarnIfDiskFull(Platform& platform, const std::string& folder, uint64_t last_added_size, LanguageId language);

// "( 3 )image(s) recovered stored in directory ...!" or " No image recovered", in `language`.
std::string ResultMessage(const CarveResult& result, LanguageId language, TextEncoding encoding);

// Size of a file in bytes; 0 when it cannot be opened.
uint64_t FileSizeOf(FileSystem& files, const std::string& path);

extern const SixLanguageText MsgNoFileSelected;
extern const SixLanguageText MsgDeleteSourceQuestion;
extern const SixLanguageText MsgDeleteSourceConfirm;
extern const SixLanguageText MsgDeleteFileQuestion;
extern const SixLanguageText MsgImagesRecovered;
extern const SixLanguageText MsgNoImageRecovered;
