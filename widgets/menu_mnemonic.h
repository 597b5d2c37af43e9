#pragma once

#include <string>
#include <string_view>
#include <vector>

// The keyboard letters of menu items: the character after the first "&" of an item's text.

// That character, upper-cased in Windows-1252; 0 when the text has none.
char MnemonicOf(std::string_view text);

// Windows-1252 upper case, accented letters included.
char UpperCase1252(char c);

struct MnemonicMatch {
    enum Kind { None, One, Several };
    Kind kind = None;
    int index = -1;  // the item to make hot (One: also to activate)
};

// What a key press does to a menu whose items have `texts` (in item order) while `hot_index` is hot (-1: none):
// one item with that letter is activated; among several, the first after the hot item becomes hot, wrapping round
// to the first of them.
MnemonicMatch MatchMnemonic(const std::vector<std::string>& texts, char key, int hot_index);
