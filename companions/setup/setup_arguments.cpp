#include "companions/setup/setup_arguments.h"

#include "languages/code_page.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// `word` is `name` followed by a handle's number; the number in `*handle`.
bool ParseHandle(std::string_view word, std::string_view name, uintptr_t* handle) {
    if (word.size() <= name.size() || word.size() > name.size() + 9 ||
        !EqualIgnoringCase(word.substr(0, name.size()), name) ||
        word.find_first_not_of("0123456789", name.size()) != std::string_view::npos)
        return false;
    *handle = static_cast<uintptr_t>(std::stoul(std::string(word.substr(name.size()))));
    return true;
}

}  // namespace

SetupArguments ParseSetupArguments(std::string_view arguments) {
    SetupArguments parsed;
    std::string_view rest = TrimBlanks(arguments);
    while (!rest.empty()) {
        // A launcher that quotes every argument with a blank (Wine's, some scripts) gives "/D=FOLDER".
        if (rest.size() >= 5 && rest.front() == '"' && rest.back() == '"' &&
            EqualIgnoringCase(rest.substr(1, 3), "/D="))
            rest = rest.substr(1, rest.size() - 2);
        if (rest.size() >= 3 && EqualIgnoringCase(rest.substr(0, 3), "/D=")) {
            parsed.destination = std::string(TrimBlanks(rest.substr(3)));
            if (parsed.destination.size() >= 2 && parsed.destination.front() == '"' && parsed.destination.back() == '"')
                parsed.destination = parsed.destination.substr(1, parsed.destination.size() - 2);
            if (parsed.destination.empty()) {
                parsed.valid = false;
                parsed.problem = "/D= needs a folder.";
            }
            return parsed;
        }
        const size_t end = rest.find_first_of(" \t");
        const std::string_view word = rest.substr(0, end);
        if (word == "/S" || word == "/s") {
            parsed.silent = true;
        } else if (EqualIgnoringCase(word, "/uninstall")) {
            parsed.uninstall = true;
        } else if (!ParseHandle(word, "/wait=", &parsed.wait_handle) &&
                   !ParseHandle(word, "/report=", &parsed.report_handle)) {
            parsed.valid = false;
            parsed.problem =
                "Unknown argument: " + std::string(word) + "\nUse: Installer.exe [/uninstall] [/S] [/D=FOLDER]";
            return parsed;
        }
        rest = end == std::string_view::npos ? std::string_view() : TrimBlanks(rest.substr(end));
    }
    return parsed;
}

std::string RestartArguments(const SetupArguments& arguments, const std::string& destination) {
    std::string line;
    if (arguments.uninstall)
        line += "/uninstall ";
    if (arguments.silent)
        line += "/S ";
    return line + "/D=" + destination;
}
