#include "recovery/recover_paths.h"

namespace {

std::string_view BaseName(std::string_view source_path, char separator) {
    const size_t last_separator = source_path.rfind(separator);
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
    folder += BaseName(source_path, separator);
    folder += settings.suffix;
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
