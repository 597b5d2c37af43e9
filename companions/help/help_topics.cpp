#include "companions/help/help_topics.h"

#include "languages/code_page.h"
#include "recovery/image_carver.h"
#include "recovery/recover_command.h"

namespace {

struct MessageName {
    std::string_view name;
    const SixLanguageText* text;
};

// Every six-language message the recovery program can show; the help's messages topic quotes them all.
const MessageName kMessages[] = {
    {"MsgMissingFile", &MsgMissingFile},
    {"MsgWriteError", &MsgWriteError},
    {"MsgDiskFull", &MsgDiskFull},
    {"MsgNoFileSelected", &MsgNoFileSelected},
    {"MsgDeleteSourceQuestion", &MsgDeleteSourceQuestion},
    {"MsgDeleteSourceConfirm", &MsgDeleteSourceConfirm},
    {"MsgDeleteFileQuestion", &MsgDeleteFileQuestion},
    {"MsgImagesRecovered", &MsgImagesRecovered},
    {"MsgNoImageRecovered", &MsgNoImageRecovered},
    {"MsgImagesFolderExists", &MsgImagesFolderExists},
};

const SixLanguageText kCaption = {{
    "",
    "Tolvane Help",
    "Aide de Tolvane",
    "Tolvane-Hilfe",
    "Guida di Tolvane",
    "Ayuda de Tolvane",
    "Ajutor Tolvane",
}};

const SixLanguageText* FindMessage(std::string_view name) {
    for (const MessageName& message : kMessages) {
        if (message.name == name)
            return message.text;
    }
    return nullptr;
}

// The program fills %d with a count and %s with a path; the help cannot know either.
std::string ShowPlaceholders(std::string_view text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 'd' || text[i + 1] == 's')) {
            shown += text[i + 1] == 'd' ? "N" : "...";
            ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

std::string WindowsLines(std::string_view text) {
    std::string lines;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    return lines;
}

}  // namespace

bool ExpandMessages(std::string_view utf8, LanguageId language, std::string* expanded, std::string* name) {
    expanded->clear();
    size_t at = 0;
    while (at < utf8.size()) {
        // Only "{Msg" opens a placeholder, so a brace elsewhere in a text stays a brace.
        const size_t open = utf8.find("{Msg", at);
        if (open == std::string_view::npos) {
            expanded->append(utf8.substr(at));
            break;
        }
        expanded->append(utf8.substr(at, open - at));
        const size_t close = utf8.find('}', open);
        *name = std::string(utf8.substr(open + 1, close == std::string_view::npos ? 20 : close - open - 1));
        const SixLanguageText* message = close == std::string_view::npos ? nullptr : FindMessage(*name);
        if (message == nullptr)
            return false;
        *expanded += '"' + ShowPlaceholders(Localize(*message, language, TextEncoding::Utf8)) + '"';
        at = close + 1;
    }
    name->clear();
    return true;
}

HelpTopic ParseTopic(std::string_view utf8, LanguageId language) {
    HelpTopic topic;
    const size_t end_of_title = utf8.find('\n');
    topic.title = std::string(utf8.substr(0, end_of_title));
    if (!topic.title.empty() && topic.title.back() == '\r')
        topic.title.pop_back();
    std::string_view body = end_of_title == std::string_view::npos ? std::string_view() : utf8.substr(end_of_title);
    while (!body.empty() && (body.front() == '\n' || body.front() == '\r'))
        body.remove_prefix(1);
    std::string unknown;
    // A name the table does not know stays as written, so the text still reads; the tests refuse it.
    if (!ExpandMessages(body, language, &topic.body, &unknown))
        topic.body = std::string(body);
    return topic;
}

std::vector<HelpTopic> WindowsTopics(LanguageId language) {
    const LanguageId shown = LanguageFromNumber(static_cast<int>(language));
    std::vector<HelpTopic> topics;
    for (const HelpTopicSource& source : HelpTopicSources()) {
        if (source.language != shown)
            continue;
        HelpTopic topic = ParseTopic(source.utf8, shown);
        topics.push_back({Utf8ToCp1252(topic.title), Utf8ToCp1252(WindowsLines(topic.body))});
    }
    return topics;
}

std::string HelpCaption(LanguageId language) {
    return Localize(kCaption, language, TextEncoding::Cp1252);
}

std::vector<std::string_view> HelpMessageNames() {
    std::vector<std::string_view> names;
    for (const MessageName& message : kMessages)
        names.push_back(message.name);
    return names;
}
