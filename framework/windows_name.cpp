#include "framework/windows_name.h"

namespace {

bool SameAsciiIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// On Windows "COM1" or "nul.txt" in any folder opens a device: the file would go to a serial port or nowhere. The
// digit may also be 0 or a superscript one, two or three (Windows-1252 B9, B2, B3). The device names are ASCII, and
// no other Windows-1252 letter folds to an ASCII one.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (SameAsciiIgnoringCase(stem, device))
            return true;
    }
    if (stem.size() != 4 || std::string_view("0123456789\xB9\xB2\xB3").find(stem[3]) == std::string_view::npos)
        return false;
    return SameAsciiIgnoringCase(stem.substr(0, 3), "COM") || SameAsciiIgnoringCase(stem.substr(0, 3), "LPT");
}

// Bytes 1-31 and the characters Windows keeps for wildcards, pipes and redirection: no file can carry them.
bool HasForbiddenCharacter(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("*?|<>\"").find(c) != std::string_view::npos)
            return true;
    }
    return false;
}

}  // namespace

const char* WindowsNameRefusal(std::string_view name) {
    if (name.empty())
        return "empty name";
    if (name == "." || name == "..")
        return "name is . or ..";
    // A separator or a drive colon would let the name leave its folder, and a colon also names an alternate data
    // stream on NTFS; C strings would cut a name at a zero byte.
    if (name.find_first_of(std::string_view("\\/:\0", 4)) != std::string_view::npos)
        return "name holds \\, /, : or a zero byte";
    if (name.size() > kMaxNameComponentLength)
        return "name longer than 255 bytes";
    if (HasForbiddenCharacter(name))
        return "name holds a control character or one of * ? | < > \"";
    // Windows drops a trailing dot or blank, so such a name would land on another file than the one named.
    if (name.back() == '.' || name.back() == ' ')
        return "name ends with a dot or a blank";
    if (IsDeviceName(name))
        return "name of a device (CON, NUL, COM1 ...)";
    return nullptr;
}
