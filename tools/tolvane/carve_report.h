#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/file_system.h"
#include "recovery/carve_result.h"
#include "recovery/image_carver.h"

// The --report file: JSON Lines, one object per picture as it is closed and one summary object per source, so that
// a script can read what was found while a long carve is still running, and a carve that is cut off leaves a
// readable report of what it did so far.
class CarveReport {
  public:
    // Creates `path` exclusively: a report never replaces a file. nullptr when it cannot be created; `*problem` says
    // why.
    static std::unique_ptr<CarveReport> Create(FileSystem& files, const std::string& path, std::string* problem);

    // `file` is the picture's name as the listing shows it.
    void AddImage(const std::string& source, const std::string& file, const CarvedImage& image);
    void AddSummary(const std::string& source, const CarveResult& result);
    // False when a write or the close failed; `*problem` then names the file and the reason.
    [[nodiscard]] bool Close(std::string* problem);

  private:
    CarveReport(FileSystem& files, std::string path, std::unique_ptr<OutputFile> file);
    void WriteLine(const std::string& line);

    FileSystem& files_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
    std::string failure_;  // the reason of the first failed write
};

// `text` as a JSON string. Bytes that are not UTF-8 become \udc80..\udcff, as Python's "surrogateescape" reads
// them, so a file name that is not UTF-8 still names its file exactly.
std::string JsonString(std::string_view text);

// How a picture ended, in the words of the report and the scan listing: "marker", "source-end" or "failed".
const char* EndName(ImageEnd end);
