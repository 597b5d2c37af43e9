#include "widgets/browser_command.h"

std::optional<std::string> BrowserCommandLine(std::string_view registered, std::string_view address) {
    // Registry texts are in the ANSI code page, Windows-1252 here: a single-byte code page, so a plain search is
    // the multi-byte aware one.
    size_t cut = registered.find("\"%1\"");
    if (cut == std::string_view::npos)
        cut = registered.find("%1");
    std::string line(registered.substr(0, cut));
    line += ' ';
    line += address;
    if (line.size() + 1 > kBrowserCommandBufferSize)
        return std::nullopt;
    return line;
}
