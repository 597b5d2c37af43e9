#include "tools/common/terminal_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void AppendEscaped(unsigned char byte, std::string* out) {
    static const char kHex[] = "0123456789ABCDEF";
    *out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

std::string TerminalSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F || byte == '\\')
                AppendEscaped(byte, &safe);
            else
                safe += text[i];
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(text.substr(i));
        // U+0080..U+009F, the C1 controls, are C2 80..C2 9F; terminals may act on them like escape sequences.
        const bool c1_control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length == 0 || c1_control) {
            AppendEscaped(byte, &safe);
            ++i;
        } else {
            safe.append(text, i, length);
            i += length;
        }
    }
    return safe;
}

int FinishStandardOutput(const char* program, int status) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return status;
    std::fprintf(stderr, "%s: cannot write the standard output: %s\n", program, std::strerror(errno));
    return 1;
}
