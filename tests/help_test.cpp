// The help viewer's portable half: its compiled-in topics, its layout and how it picks its language.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "companions/help/help_language.h"
#include "companions/help/help_layout.h"
#include "companions/help/help_topics.h"
#include "languages/code_page.h"
#include "recovery/settings_record.h"
#include "tests/support/memory_file_system.h"

namespace {

constexpr LanguageId kLanguages[] = {LanguageId::English, LanguageId::French,  LanguageId::German,
                                     LanguageId::Italian, LanguageId::Spanish, LanguageId::Romanian};

TEST(HelpTopicsTest, EveryTopicExistsInEveryLanguageAndSurvivesTheCodePage) {
    std::map<LanguageId, std::vector<std::string_view>> names;
    std::map<LanguageId, std::set<std::string>> titles;
    for (const HelpTopicSource& source : HelpTopicSources()) {
        SCOPED_TRACE(std::string(LanguageName(source.language)) + " " + std::string(source.name));
        names[source.language].push_back(source.name);
        const HelpTopic topic = ParseTopic(source.utf8, source.language);
        EXPECT_FALSE(topic.title.empty());
        EXPECT_TRUE(titles[source.language].insert(topic.title).second) << "title twice: " << topic.title;
        EXPECT_GT(topic.body.size(), 200u);
        std::string expanded;
        std::string unknown;
        EXPECT_TRUE(ExpandMessages(source.utf8, source.language, &expanded, &unknown)) << "unknown {" << unknown;
        // A character the code page lacks would come back as '?'.
        for (const std::string& text : {topic.title, topic.body})
            EXPECT_EQ(Cp1252ToUtf8(Utf8ToCp1252(text)), text);
        // The messages topic quotes every message the program has, so a new message without help fails here.
        if (source.name.substr(0, 3) == "05_") {
            for (std::string_view message : HelpMessageNames())
                EXPECT_NE(source.utf8.find("{" + std::string(message) + "}"), std::string_view::npos) << message;
        }
    }
    ASSERT_GE(names[LanguageId::English].size(), 6u);
    for (LanguageId language : kLanguages) {
        EXPECT_EQ(names[language], names[LanguageId::English]) << LanguageName(language);
        const std::vector<HelpTopic> shown = WindowsTopics(language);
        ASSERT_EQ(shown.size(), names[LanguageId::English].size());
        // An edit control shows a line feed without a carriage return before it as nothing at all.
        for (const HelpTopic& topic : shown)
            EXPECT_EQ(std::count(topic.body.begin(), topic.body.end(), '\n'),
                      std::count(topic.body.begin(), topic.body.end(), '\r'));
    }
    EXPECT_EQ(HelpCaption(LanguageId::English), "Tolvane Help");
    // A language byte from a foreign file must still give the English help, not nothing.
    EXPECT_EQ(WindowsTopics(static_cast<LanguageId>(9)).size(), names[LanguageId::English].size());
}

TEST(HelpTopicsTest, MessagesAreQuotedExactlyAndUnknownNamesAreRefused) {
    struct Case {
        std::string_view source;
        LanguageId language;
        bool ok;
        std::string expected;  // the expanded text, or the unknown name
    };
    const Case cases[] = {
        {"Before {MsgDiskFull} after", LanguageId::German, true, "Before \"Disk ist voll!\" after"},
        {"{MsgWriteError}", LanguageId::German, true,
         "\"St\xC3\xB6rungsschreibensakte.  Beendigen Sie jede m\xC3\xB6gliche Anwendung, die die Datei benutzen "
         "konnte!\""},
        {"{MsgImagesRecovered}", LanguageId::English, true, "\"( N )image(s) recovered stored in directory ...!\""},
        {"{MsgNoImageRecovered}{MsgDiskFull}", LanguageId::Spanish, true,
         "\" Ninguna imagen recuperada!\"\"\xC2\xA1"
         "El disco es lleno!\""},
        {"JSON {\"source\"} and {x} stay", LanguageId::English, true, "JSON {\"source\"} and {x} stay"},
        {"{MsgNoSuchMessage} text", LanguageId::English, false, "MsgNoSuchMessage"},
        {"left open {MsgDiskFull", LanguageId::English, false, "MsgDiskFull"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source));
        std::string expanded;
        std::string unknown;
        ASSERT_EQ(ExpandMessages(c.source, c.language, &expanded, &unknown), c.ok);
        EXPECT_EQ(c.ok ? expanded : unknown, c.expected);
    }
    const HelpTopic topic = ParseTopic("Title\r\n\r\n\nBody {MsgDiskFull}", LanguageId::Italian);
    EXPECT_EQ(topic.title, "Title");
    EXPECT_EQ(topic.body, "Body \"Il disc \xC3\xA8 pieno!\"");
}

TEST(HelpLayoutTest, PanesStayInsideTheClientAndApartAndTitlesShowWholeWhenThereIsRoom) {
    const ClientSize sizes[] = {{0, 0}, {1, 1}, {300, 900}, {500, 300}, {800, 600}, {1920, 1080}, {4000, 300}};
    for (int dpi : {96, 120, 144, 192}) {
        const ClientSize minimum = HelpMinimumClient(dpi);
        for (const ClientSize& size : sizes) {
            for (int widest : {0, 180, 5000}) {
                SCOPED_TRACE(std::to_string(dpi) + " dpi, " + std::to_string(size.width_dev_px) + "x" +
                             std::to_string(size.height_dev_px) + ", title " + std::to_string(widest));
                const int width = std::max(size.width_dev_px, minimum.width_dev_px);
                const int height = std::max(size.height_dev_px, minimum.height_dev_px);
                const HelpLayout layout = LayoutHelp(size, dpi, widest);
                for (const PaneRect& pane : {layout.topics, layout.text}) {
                    EXPECT_GT(pane.x, 0);
                    EXPECT_GT(pane.y, 0);
                    EXPECT_LT(pane.x + pane.width, width);
                    EXPECT_LT(pane.y + pane.height, height);
                }
                EXPECT_GE(layout.topics.width, 150 * dpi / 96);
                EXPECT_GE(layout.text.width, (260 * dpi + 48) / 96);
                EXPECT_GT(layout.text.x, layout.topics.x + layout.topics.width);
                EXPECT_EQ(width - (layout.text.x + layout.text.width), layout.topics.x) << "margins differ";
                // A title of 180 px fits whole from 800 px on; a huge one never takes more than half the window.
                EXPECT_TRUE(widest != 180 || width < 800 * dpi / 96 || layout.topics.width > widest);
                EXPECT_LE(layout.topics.width, std::max(width / 2, 150 * dpi / 96 + 1));
            }
        }
    }
}

TEST(HelpLanguageTest, OnlyAWholeValidFileChoosesTheLanguage) {
    const std::string path = "C:\\Windows\\propPSD.pro";
    auto valid = [](int8_t language) {
        SettingsBytes record = DefaultFileRecordBytes();
        record[kLanguageField.offset] = static_cast<uint8_t>(language);
        const auto file = SettingsFileBytes(record, CheckValueOf(record));
        return std::vector<uint8_t>(file.begin(), file.end());
    };
    auto changed = [&valid](int change) {
        std::vector<uint8_t> file = valid(3);
        if (change == 0)
            file[kSettingsRecordSize] ^= 1;
        else if (change > 0)
            file.push_back(0);
        else
            file.pop_back();
        return file;
    };
    struct Case {
        const char* what;
        std::optional<std::vector<uint8_t>> file;
        LanguageId expected;
    };
    const Case cases[] = {
        {"missing", std::nullopt, LanguageId::English},         {"German", valid(3), LanguageId::German},
        {"out of range", valid(9), LanguageId::English},        {"negative", valid(-2), LanguageId::English},
        {"bad check value", changed(0), LanguageId::English},   {"one byte longer", changed(1), LanguageId::English},
        {"one byte shorter", changed(-1), LanguageId::English},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        if (c.file)
            files.files[path] = *c.file;
        const auto before = files.files;
        EXPECT_EQ(HelpLanguage(files, path), c.expected);
        EXPECT_EQ(files.files, before) << "the help must never repair or replace the file";
    }
    MemoryFileSystem failing;
    failing.files[path] = valid(3);
    failing.read_error_at[path] = 100;
    EXPECT_EQ(HelpLanguage(failing, path), LanguageId::English);
}

}  // namespace
