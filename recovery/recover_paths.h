#pragma once

#include <string>
#include <string_view>

#include "recovery/settings_record.h"

// The file name of `source_path` up to its first dot: "C:\Work\my.photo.psd" gives "my".
std::string BaseName(std::string_view source_path, char separator);

// Where the images of a source go: `outputFolder` + base name + `suffix`, or, when `outputFolder` is empty, the
// current directory + separator + base name + `suffix`. `outputFolder` ends with a separator when set.
std::string OutputFolderPath(const SettingsRecord& settings,
                             std::string_view base_name,
                             std::string_view current_directory,
                             char separator);

// Every run of separators becomes one, so a drive root as current directory gives no doubled separator. Only the
// two separators that open a network path (\\server\share) stay.
std::string ReduceSeparatorRuns(std::string_view path, char separator);
