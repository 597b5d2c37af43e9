#include "tools/tolvane/carve_report.h"

#include <cstdio>

#include "tools/common/terminal_text.h"

namespace {

void AppendUnicodeEscape(unsigned code, std::string* json) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    *json += escape;
}

const char* KindName(ImageKind kind) {
    return kind == ImageKind::Jpeg ? "jpeg" : "png";
}

const char* Boolean(bool value) {
    return value ? "true" : "false";
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

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const size_t length = byte >= 0x80 ? Utf8SequenceLength(text.substr(i)) : 1;
        if (length > 1) {
            json.append(text, i, length);
        } else if (byte >= 0x80) {
            AppendUnicodeEscape(0xDC00 + byte, &json);
        } else if (byte == '"' || byte == '\\') {
            json += {'\\', static_cast<char>(byte)};
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendUnicodeEscape(byte, &json);
        } else {
            json += static_cast<char>(byte);
        }
        i += length > 1 ? length : 1;
    }
    return json + "\"";
}

std::unique_ptr<CarveReport> CarveReport::Create(FileSystem& files, const std::string& path, std::string* problem) {
    std::unique_ptr<OutputFile> file;
    const CreateOutcome outcome = files.CreateNew(path, &file);
    if (outcome == CreateOutcome::Created)
        return std::unique_ptr<CarveReport>(new CarveReport(files, path, std::move(file)));
    *problem = "report " + TerminalSafe(path) + ": " +
               (outcome == CreateOutcome::Taken ? std::string("exists already; a report never replaces a file")
                                                : TerminalSafe(files.LastError()));
    return nullptr;
}

CarveReport::CarveReport(FileSystem& files, std::string path, std::unique_ptr<OutputFile> file)
    : files_(files), path_(std::move(path)), file_(std::move(file)) {}

void CarveReport::AddImage(const std::string& source, const std::string& file, const CarvedImage& image) {
    WriteLine("{\"source\":" + JsonString(source) + ",\"file\":" + JsonString(file) + ",\"kind\":\"" +
              KindName(image.kind) + "\",\"offset\":" + std::to_string(image.offset) +
              ",\"length\":" + std::to_string(image.size) + ",\"end\":\"" + EndName(image.end) + "\"}");
}

void CarveReport::AddSummary(const std::string& source, const CarveResult& result) {
    WriteLine("{\"source\":" + JsonString(source) + ",\"images\":" + std::to_string(result.imageCount) +
              ",\"aborted\":" + Boolean(result.aborted) + ",\"failed\":" + Boolean(result.failed) +
              ",\"compound_file\":" + Boolean(result.compoundFile) +
              ",\"bytes_scanned\":" + std::to_string(result.bytesScanned) + "}");
}

void CarveReport::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    if (failure_.empty() && !file_->Write(text.data(), text.size()))
        failure_ = files_.LastError();
}

bool CarveReport::Close(std::string* problem) {
    if (!file_->Close() && failure_.empty())
        failure_ = files_.LastError();
    if (failure_.empty())
        return true;
    *problem = "report " + TerminalSafe(path_) + ": " + TerminalSafe(failure_);
    return false;
}
