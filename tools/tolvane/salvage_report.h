#pragma once

#include <memory>
#include <string>

#include "framework/file_system.h"
#include "salvage/salvage_job.h"
#include "tools/tolvane/json_lines_file.h"

// The --report file of salvage: one object per source, written when that source is done.
class SalvageReport {
  public:
    // Creates `path` exclusively. nullptr when it cannot be created; `*problem` says why.
    static std::unique_ptr<SalvageReport> Create(FileSystem& files, const std::string& path, std::string* problem);

    void Add(const std::string& source, const std::string& folder, const SalvageOutcome& outcome);
    [[nodiscard]] bool Close(std::string* problem) { return file_->Close(problem); }

  private:
    explicit SalvageReport(std::unique_ptr<JsonLinesFile> file) : file_(std::move(file)) {}

    std::unique_ptr<JsonLinesFile> file_;
};
