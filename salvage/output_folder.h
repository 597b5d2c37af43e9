#pragma once

#include <string>

#include "framework/file_system.h"

// The folder a document's pictures go to, and its layers/ and channels/ subfolders, each made when its first picture
// is written. A folder that exists already is used; a name that stands for something else (a file, a symbolic link
// to a folder elsewhere) is not written into, since the pictures would not land where the listing says.
class OutputFolder {
  public:
    OutputFolder(FileSystem& files, std::string root, char separator)
        : files_(files), root_(std::move(root)), separator_(separator) {}

    const std::string& Root() const { return root_; }
    // The path of `name` in `subfolder` (empty: the folder itself), the folders made first. Empty when a folder
    // cannot be made or used; `*problem` then names it and says why.
    std::string PathFor(const std::string& subfolder, const std::string& name, std::string* problem);

  private:
    bool Ensure(const std::string& folder, std::string* problem);

    FileSystem& files_;
    std::string root_;
    char separator_;
};
