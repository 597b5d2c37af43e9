#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/file_system.h"

// A --report file: JSON Lines written as the work goes, so that a script can read what was done while a long run
// is still going, and a run that is cut off leaves a readable report of what it did so far.
class JsonLinesFile {
  public:
    // Creates `path` exclusively: a report never replaces a file. nullptr when it cannot be created; `*problem` says
    // why.
    static std::unique_ptr<JsonLinesFile> Create(FileSystem& files, const std::string& path, std::string* problem);

    // One object, a line of its own. The first failed write is kept for Close.
    void WriteLine(const std::string& object);
    // False when a write or the close failed; `*problem` then names the file and the reason.
    [[nodiscard]] bool Close(std::string* problem);

  private:
    JsonLinesFile(FileSystem& files, std::string path, std::unique_ptr<OutputFile> file);

    FileSystem& files_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
    std::string failure_;  // the reason of the first failed write
};

// `text` as a JSON string. Bytes that are not UTF-8 become \udc80..\udcff, as Python's "surrogateescape" reads
// them, so a file name that is not UTF-8 still names its file exactly.
std::string JsonString(std::string_view text);

inline const char* JsonBoolean(bool value) {
    return value ? "true" : "false";
}
