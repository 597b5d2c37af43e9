#include "languages/code_page.h"

#include <array>
#include <cstdint>

namespace {

// Code points of bytes 80 to 9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kInvalid = 0xFFFFFFFF;

unsigned char FoldedByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + ('a' - 'A'));
    // Windows-1252 capitals À..Þ, except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

char32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

// Returns '?' for a code point the code page cannot hold.
char ByteOf(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
        return static_cast<char>(code_point);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == code_point)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at text[*pos] and advances past it; kInvalid for a malformed one (skipping one byte).
char32_t NextCodePoint(std::string_view text, size_t* pos) {
    const auto lead = static_cast<unsigned char>(text[*pos]);
    size_t length = 1;
    char32_t code_point = lead;
    if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        code_point = lead & 0x07u;
    } else if (lead >= 0xE0) {
        length = lead < 0xF0 ? 3 : 0;
        code_point = lead & 0x0Fu;
    } else if (lead >= 0xC2) {
        length = 2;
        code_point = lead & 0x1Fu;
    } else if (lead >= 0x80) {
        length = 0;
    }
    if (length == 0 || *pos + length > text.size()) {
        ++*pos;
        return kInvalid;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[*pos + i]);
        if ((next & 0xC0u) != 0x80u) {
            ++*pos;
            return kInvalid;
        }
        code_point = (code_point << 6) | (next & 0x3Fu);
    }
    // Overlong forms would smuggle in a second spelling of a character (even of NUL).
    constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    if (code_point < kSmallest[length] || code_point > 0x10FFFF) {
        ++*pos;
        return kInvalid;
    }
    *pos += length;
    return code_point;
}

void AppendUtf8(char32_t code_point, std::string* out) {
    if (code_point < 0x80) {
        out->push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t code_point = NextCodePoint(utf8, &pos);
        out.push_back(code_point == kInvalid ? '?' : ByteOf(code_point));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() * 2);
    for (const char byte : cp1252)
        AppendUtf8(CodePointOf(static_cast<unsigned char>(byte)), &out);
    return out;
}

bool FitsCp1252(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t code_point = NextCodePoint(utf8, &pos);
        if (code_point == kInvalid || (ByteOf(code_point) == '?' && code_point != '?'))
            return false;
    }
    return true;
}

std::string FoldCase(std::string_view cp1252) {
    std::string folded(cp1252);
    for (char& c : folded)
        c = static_cast<char>(FoldedByte(static_cast<unsigned char>(c)));
    return folded;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldedByte(static_cast<unsigned char>(a[i])) != FoldedByte(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}
