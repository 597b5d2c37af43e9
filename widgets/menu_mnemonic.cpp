#include "widgets/menu_mnemonic.h"

char UpperCase1252(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
        return static_cast<char>(byte - 0x20);
    // š œ ž -> Š Œ Ž, and ÿ -> Ÿ, which Windows-1252 keeps apart from the Latin-1 block.
    if (byte == 0x9A || byte == 0x9C || byte == 0x9E)
        return static_cast<char>(byte - 0x10);
    if (byte == 0xFF)
        return static_cast<char>(0x9F);
    return c;
}

char MnemonicOf(std::string_view text) {
    const size_t ampersand = text.find('&');
    if (ampersand == std::string_view::npos || ampersand + 1 >= text.size())
        return 0;
    return UpperCase1252(text[ampersand + 1]);
}

MnemonicMatch MatchMnemonic(const std::vector<std::string>& texts, char key, int hot_index) {
    const char wanted = UpperCase1252(key);
    std::vector<int> matches;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (wanted != 0 && MnemonicOf(texts[i]) == wanted)
            matches.push_back(static_cast<int>(i));
    }
    if (matches.empty())
        return {};
    if (matches.size() == 1)
        return {MnemonicMatch::One, matches.front()};
    for (int index : matches) {
        if (index > hot_index)
            return {MnemonicMatch::Several, index};
    }
    return {MnemonicMatch::Several, matches.front()};
}
