#pragma once

#include <string>
#include <string_view>

#include "recovery/settings_record.h"

// Where the images of a source go: `outputFolder` + base name + `suffix`, or, when `outputFolder` is empty, the
// current directory + separator + base name + `suffix`; separator runs reduced. `outputFolder` ends with a
// separator when set. The base name is the source's file name up to its first dot: "C:\Work\my.photo.psd" gives
// "my". A name that comes out empty (".psd" with an empty suffix) is "REC", so the pictures still get a folder of
// their own.
std::string OutputFolderFor(const SettingsRecord& settings,
                            std::string_view source_path,
                            std::string_view current_directory,
                            char separator);

// Every run of separators becomes one, so a drive root as current directory gives no doubled separator. Only the
// two separators that open a network path (\\server\share) stay.
std::string ReduceSeparatorRuns(std::string_view path, char separator);
