#pragma once

#include <array>
#include <string>
#include <string_view>

#include "framework/platform.h"

// The user-interface language. Its order is the order of every six-language table, of the language menu items and
// of the language byte in the settings file.
enum class LanguageId : int { English = 1, French, German, Italian, Spanish, Romanian };

constexpr int kLanguageCount = 6;

// A settings file can hold any byte, even with a matching check value; anything but 1..6 reads as English.
LanguageId LanguageFromNumber(int number);

// English name of a language, for the command line ("English" ... "Romanian").
std::string_view LanguageName(LanguageId language);

// A text in six languages, indexed directly by LanguageId; slot 0 stays empty. The texts are written in UTF-8 so
// the source stays readable; they are turned into the platform's encoding when shown.
struct SixLanguageText {
    std::array<std::string_view, kLanguageCount + 1> utf8;
};

// The text for `language`, in `encoding`. Looked up afresh at every showing, never cached.
std::string Localize(const SixLanguageText& entry, LanguageId language, TextEncoding encoding);

// Shows `entry` in a message box with the program's caption and an OK button.
void ShowLocalizedMessage(Platform& platform, const SixLanguageText& entry, LanguageId language);

// Every message box of the recovery program carries this caption unless a command says otherwise.
constexpr std::string_view kMessageCaption = "Varnick PSD Recovery";

extern const SixLanguageText MsgMissingFile;
extern const SixLanguageText MsgWriteError;
extern const SixLanguageText MsgDiskFull;
