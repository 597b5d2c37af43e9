#include "tools/tolvane/json_lines_file.h"

#include <cstdio>

#include "tools/common/terminal_text.h"

namespace {

void AppendUnicodeEscape(unsigned code, std::string* json) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    *json += escape;
}

}  // namespace

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

std::unique_ptr<JsonLinesFile> JsonLinesFile::Create(FileSystem& files, const std::string& path, std::string* problem) {
    std::unique_ptr<OutputFile> file;
    const CreateOutcome outcome = files.CreateNew(path, &file);
    if (outcome == CreateOutcome::Created)
        return std::unique_ptr<JsonLinesFile>(new JsonLinesFile(files, path, std::move(file)));
    *problem = "report " + TerminalSafe(path) + ": " +
               (outcome == CreateOutcome::Taken ? std::string("exists already; a report never replaces a file")
                                                : TerminalSafe(files.LastError()));
    return nullptr;
}

JsonLinesFile::JsonLinesFile(FileSystem& files, std::string path, std::unique_ptr<OutputFile> file)
    : files_(files), path_(std::move(path)), file_(std::move(file)) {}

void JsonLinesFile::WriteLine(const std::string& object) {
    const std::string text = object + "\n";
    if (failure_.empty() && !file_->Write(text.data(), text.size()))
        failure_ = files_.LastError();
}

bool JsonLinesFile::Close(std::string* problem) {
    if (!file_->Close() && failure_.empty())
        failure_ = files_.LastError();
    if (failure_.empty())
        return true;
    *problem = "report " + TerminalSafe(path_) + ": " + TerminalSafe(failure_);
    return false;
}
