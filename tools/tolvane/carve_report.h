#pragma once

#include <memory>
#include <string>

#include "framework/file_system.h"
#include "recovery/carve_result.h"
#include "recovery/image_carver.h"
#include "tools/tolvane/json_lines_file.h"

// The --report file of recover and scan: one object per picture as it is closed and one summary object per source.
class CarveReport {
  public:
    // Creates `path` exclusively. nullptr when it cannot be created; `*problem` says why.
    static std::unique_ptr<CarveReport> Create(FileSystem& files, const std::string& path, std::string* problem);

    // `file` is the picture's name as the listing shows it.
    void AddImage(const std::string& source, const std::string& file, const CarvedImage& image);
    void AddSummary(const std::string& source, const CarveResult& result);
    // False when a write or the close failed; `*problem` then names the file and the reason.
    [[nodiscard]] bool Close(std::string* problem) { return file_->Close(problem); }

  private:
    explicit CarveReport(std::unique_ptr<JsonLinesFile> file) : file_(std::move(file)) {}

    std::unique_ptr<JsonLinesFile> file_;
};

// How a picture ended, in the words of the report and the scan listing: "marker", "source-end" or "failed".
const char* EndName(ImageEnd end);
