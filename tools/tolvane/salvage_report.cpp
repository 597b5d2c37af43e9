#include "tools/tolvane/salvage_report.h"

namespace {

std::string PathOrNull(const std::string& path) {
    return path.empty() ? "null" : JsonString(path);
}

std::string LostRows(const std::vector<ReportedLoss>& lost) {
    std::string json = "[";
    for (const ReportedLoss& span : lost) {
        json += (json.size() > 1 ? ",[" : "[") + std::to_string(span.channel) + "," + std::to_string(span.first) + "," +
                std::to_string(span.last) + "]";
    }
    return json + "]";
}

std::string Layers(const SalvageOutcome& outcome) {
    std::string json = "[";
    for (const LayerOutcome& written : outcome.layers) {
        const Layer& layer = outcome.layout.layers[written.layer];
        json += (json.size() > 1 ? "," : "");
        json += "{\"file\":" + PathOrNull(written.file) + ",\"mask\":" + PathOrNull(written.mask_file) +
                ",\"name\":" + JsonString(layer.name) + ",\"top\":" + std::to_string(layer.top) +
                ",\"left\":" + std::to_string(layer.left) + ",\"bottom\":" + std::to_string(layer.bottom) +
                ",\"right\":" + std::to_string(layer.right) +
                ",\"blend\":" + JsonString(std::string(layer.blend.begin(), layer.blend.end())) +
                ",\"opacity\":" + std::to_string(layer.opacity) + ",\"visible\":" + JsonBoolean(layer.visible) +
                ",\"lost\":" + LostRows(written.lost) + "}";
    }
    return json + "]";
}

std::string Notes(const std::vector<std::string>& notes) {
    std::string json = "[";
    for (const std::string& note : notes)
        json += (json.size() > 1 ? "," : "") + JsonString(note);
    return json + "]";
}

std::string SalvageReportLine(const std::string& source, const std::string& folder, const SalvageOutcome& outcome) {
    const DocumentLayout& layout = outcome.layout;
    const bool located = outcome.status != SalvageStatus::NoImage && outcome.status != SalvageStatus::ReadFailed;
    const PsdHeader& header = layout.header;
    std::string json = "{\"source\":" + JsonString(source) + ",\"folder\":" + JsonString(folder) +
                       ",\"composite\":" + PathOrNull(outcome.composite_file);
    if (located) {
        json += ",\"width\":" + std::to_string(header.width) + ",\"height\":" + std::to_string(header.height) +
                ",\"channels\":" + std::to_string(header.channels) + ",\"depth\":" + std::to_string(header.depth) +
                ",\"mode\":" + JsonString(ModeName(header.mode)) + ",\"version\":" + std::to_string(header.version) +
                ",\"compression\":" +
                (layout.composite ? JsonString(CompressionName(layout.composite->compression)) : "null") +
                ",\"header\":" + (layout.header_rebuilt ? "\"rebuilt\"" : "\"read\"");
    } else {
        for (const char* field : {"width", "height", "channels", "depth", "mode", "version", "compression", "header"})
            json += ",\"" + std::string(field) + "\":null";
    }
    json += ",\"lost\":" + LostRows(outcome.composite_lost) + ",\"layers\":" + Layers(outcome) +
            ",\"notes\":" + Notes(outcome.notes);
    if (outcome.status != SalvageStatus::Done)
        json += ",\"error\":" + JsonString(outcome.problem);
    return json + "}";
}

}  // namespace

std::unique_ptr<SalvageReport> SalvageReport::Create(FileSystem& files, const std::string& path, std::string* problem) {
    std::unique_ptr<JsonLinesFile> file = JsonLinesFile::Create(files, path, problem);
    return file ? std::unique_ptr<SalvageReport>(new SalvageReport(std::move(file))) : nullptr;
}

void SalvageReport::Add(const std::string& source, const std::string& folder, const SalvageOutcome& outcome) {
    file_->WriteLine(SalvageReportLine(source, folder, outcome));
}
