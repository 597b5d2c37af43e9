#include "widgets/drop_options.h"

#include "languages/code_page.h"

std::string_view PathExtension(std::string_view path) {
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\' || c == '/' || c == ' ')
            dot = std::string_view::npos;
        else if (c == '.')
            dot = i;
    }
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot);
}

bool CheckDroppedPath(const DropOptions& options, PathType type, std::string_view path, uint32_t* pathKind) {
    if (type == PathType::Unreadable)
        return false;
    if ((options.flags & AcceptFolders) != 0 && type == PathType::Directory) {
        *pathKind = FolderPath;
        return true;
    }
    if ((options.flags & AcceptFiles) == 0 || type != PathType::RegularFile)
        return false;
    *pathKind = FilePath;
    if ((options.flags & FilterByExtension) == 0)
        return true;
    return EqualIgnoringCase(PathExtension(path), options.extension);
}
