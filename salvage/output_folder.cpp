#include "salvage/output_folder.h"

bool OutputFolder::Ensure(const std::string& folder, std::string* problem) {
    if (files_.MakeDirectory(folder) || files_.IsRealFolder(folder))
        return true;
    *problem = folder + ": " +
               (files_.Exists(folder) ? std::string("is a symbolic link or a file, not a folder") : files_.LastError());
    return false;
}

std::string OutputFolder::PathFor(const std::string& subfolder, const std::string& name, std::string* problem) {
    if (!Ensure(root_, problem))
        return {};
    std::string folder = root_;
    if (!subfolder.empty()) {
        folder += separator_ + subfolder;
        if (!Ensure(folder, problem))
            return {};
    }
    return folder + separator_ + name;
}
