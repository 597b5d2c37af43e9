#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "languages/language.h"

// The help texts. Each topic is written once per language as UTF-8: its title on the first line, then its body.
// A body names the recovery program's messages as {MsgName}, so the help quotes each message exactly as the
// program shows it in that language and cannot drift from it.
struct HelpTopic {
    std::string title;
    std::string body;
};

// One topic as it is compiled into the program; `name` is its file name without the extension ("01_start").
struct HelpTopicSource {
    LanguageId language;
    std::string_view name;
    std::string_view utf8;
};

// Every topic source compiled into the program, all languages, in file-name order within each language.
const std::vector<HelpTopicSource>& HelpTopicSources();

// The body with every {MsgName} replaced by that message in `language`, quoted, its %d and %s shown as "N" and
// "...". False, with `name` set to the unknown name, when a placeholder names no message or is left open.
bool ExpandMessages(std::string_view utf8, LanguageId language, std::string* expanded, std::string* name);

// Splits a source into title and body (the body's leading blank lines dropped) and expands its messages. UTF-8.
HelpTopic ParseTopic(std::string_view utf8, LanguageId language);

// The topics of `language` as a Windows edit control shows them: Windows-1252, lines ending in CR LF.
std::vector<HelpTopic> WindowsTopics(LanguageId language);

// The window's caption in `language`, Windows-1252; "Tolvane Help" in English.
std::string HelpCaption(LanguageId language);

// The message names a {MsgName} placeholder may use.
std::vector<std::string_view> HelpMessageNames();
