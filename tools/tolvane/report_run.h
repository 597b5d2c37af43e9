#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/file_system.h"
#include "tools/tolvane/exit_codes.h"

// A run of a command over its sources with its --report file: the report is created first (a report that cannot be
// created is a wrong command line, exit 2), `one(source, report)` runs for every source (`report` null without
// one), and the report is closed last; a failed close fails the run. Returns the worst status.
template <class Report, class One>
int RunEachSource(FileSystem& files,
                  const std::optional<std::string>& report_path,
                  const std::vector<std::string>& sources,
                  One&& one) {
    std::unique_ptr<Report> report;
    std::string problem;
    if (report_path && !(report = Report::Create(files, *report_path, &problem))) {
        std::fprintf(stderr, "tolvane: %s\n", problem.c_str());
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& source : sources)
        status = WorseExit(status, one(source, report.get()));
    if (report && !report->Close(&problem)) {
        std::fprintf(stderr, "tolvane: %s\n", problem.c_str());
        status = kExitFailed;
    }
    return status;
}
