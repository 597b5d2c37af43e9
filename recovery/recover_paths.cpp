#include "recovery/recover_paths.h"

namespace {

// The name of an output folder whose source gives no base name and whose suffix is empty: without it the pictures
// would go into the folder meant to hold the output folders.
constexpr char kNamelessFolder[] = "REC";

// Windows takes '/' as a separator too, so "C:\Work/photo.psd" has the base name "photo".
std::string_view BaseName(std::string_view source_path, char separator) {
    const size_t last_separator = source_path.find_last_of(separator == '\\' ? "\\/" : "/");
    const std::string_view name =
        last_separator == std::string_view::npos ? source_path : source_path.substr(last_separator + 1);
    return name.substr(0, name.find('.'));
}

}  // namespace

std::string OutputFolderFor(const SettingsRecord& settings,
                            std::string_view source_path,
                            std::string_view current_directory,
                            char separator) {
    std::string folder =
        settings.outputFolder.empty() ? std::string(current_directory) + separator : settings.outputFolder;
    const std::string name = std::string(BaseName(source_path, separator)) + settings.suffix;
    folder += name.empty() ? kNamelessFolder : name;
    return ReduceSeparatorRuns(folder, separator);
}

std::string ReduceSeparatorRuns(std::string_view path, char separator) {
    std::string reduced;
    reduced.reserve(path.size());
    // A network path keeps its two leading separators; with one it would name a folder on the current drive.
    const bool network = path.size() > 2 && path[0] == separator && path[1] == separator && path[2] != separator;
    if (network)
        reduced.assign(2, separator);
    for (const char c : path.substr(network ? 2 : 0)) {
        if (c != separator || reduced.empty() || reduced.back() != separator)
            reduced.push_back(c);
    }
    return reduced;
}
