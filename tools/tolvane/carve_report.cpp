#include "tools/tolvane/carve_report.h"

namespace {

const char* KindName(ImageKind kind) {
    return kind == ImageKind::Jpeg ? "jpeg" : "png";
}

}  // namespace

const char* EndName(ImageEnd end) {
    switch (end) {
        case ImageEnd::Marker:
            return "marker";
        case ImageEnd::SourceEnd:
            return "source-end";
        case ImageEnd::Failed:
            break;
    }
    return "failed";
}

std::unique_ptr<CarveReport> CarveReport::Create(FileSystem& files, const std::string& path, std::string* problem) {
    std::unique_ptr<JsonLinesFile> file = JsonLinesFile::Create(files, path, problem);
    return file ? std::unique_ptr<CarveReport>(new CarveReport(std::move(file))) : nullptr;
}

void CarveReport::AddImage(const std::string& source, const std::string& file, const CarvedImage& image) {
    file_->WriteLine("{\"source\":" + JsonString(source) + ",\"file\":" + JsonString(file) + ",\"kind\":\"" +
                     KindName(image.kind) + "\",\"offset\":" + std::to_string(image.offset) +
                     ",\"length\":" + std::to_string(image.size) + ",\"end\":\"" + EndName(image.end) + "\"}");
}

void CarveReport::AddSummary(const std::string& source, const CarveResult& result) {
    file_->WriteLine("{\"source\":" + JsonString(source) + ",\"images\":" + std::to_string(result.imageCount) +
                     ",\"aborted\":" + JsonBoolean(result.aborted) + ",\"failed\":" + JsonBoolean(result.failed) +
                     ",\"compound_file\":" + JsonBoolean(result.compoundFile) +
                     ",\"bytes_scanned\":" + std::to_string(result.bytesScanned) + "}");
}
