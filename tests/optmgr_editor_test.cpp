// The configuration program's editor of the settings file, on an in-memory file system.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "companions/optmgr/options_editor.h"
#include "companions/optmgr/optmgr_texts.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"

namespace {

using FileBytes = std::vector<uint8_t>;
constexpr char kPath[] = "C:\\WINDOWS\\propPSD.pro";

// Every byte of the literal but its terminator, zeros inside it included.
template <size_t N>
void Put(FileBytes& file, size_t offset, const char (&bytes)[N]) {
    std::memcpy(&file[offset], bytes, N - 1);
}

// A file no default would give: Italian, odd carried values, a stray byte after the suffix's zero, the output
// folder's unused bytes filled with 'a', and a last record byte that makes the check value -56.
FileBytes OddFile() {
    const auto defaults = SettingsFileBytes(DefaultFileRecordBytes(), 0);
    FileBytes file(defaults.begin(), defaults.end());
    Put(file, 0, "RE\0X");
    Put(file, 204, "\xF9\xFF\xFF\xFF\x07\0\0\0\x39\x30\0\0\x04");  // reservedFlag -7, deleteSource 7, textFormat
    Put(file, 217, "C:\\Prog\\\0zz");
    Put(file, 419, "\xC8\xC8\xFF\xFF\xFF");
    return file;
}

class OptionsEditorTest : public ::testing::Test {
  protected:
    OpenOutcome OpenWith(const FileBytes& bytes) {
        files_.files[kPath] = bytes;
        return editor_.Open();
    }
    static std::string Text(const SixLanguageText& entry, LanguageId language) {
        return Localize(entry, language, TextEncoding::Cp1252);
    }

    MemoryFileSystem files_;
    FakePlatform platform_;
    OptionsEditor editor_{files_, platform_, kPath};
};

TEST_F(OptionsEditorTest, SavingChangesOnlyTheThreeFieldsAndKeepsTheCheckValueTrue) {
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    EXPECT_EQ(editor_.Language(), LanguageId::Italian);
    const OutputOptions shown = editor_.Shown();
    EXPECT_EQ(shown.outputFolder + "|" + shown.suffix, "|RE");
    EXPECT_FALSE(shown.deleteSource);

    // UTF-8 in, Windows-1252 stored; the backslash is added; deleteSource keeps its 7 while the tick stays off.
    ASSERT_TRUE(editor_.Save({"D:\\Bilder", "\xC3\x84\xC3\x96", false}));
    FileBytes expected = original;
    Put(expected, 0, "\xC4\xD6\0");
    Put(expected, 4, "D:\\Bilder\\\0");
    EXPECT_EQ(files_.files[kPath], expected);

    // The recovery program switched to French meanwhile: that byte stays, and the tick now writes 1.
    files_.files[kPath][216] = 2;
    ASSERT_TRUE(editor_.Save({"", "REC", true}));
    Put(expected, 0, "REC\0");
    Put(expected, 4, "\0");
    Put(expected, 208, "\1\0\0\0\x39\x30\0\0\x02");
    EXPECT_EQ(files_.files[kPath], expected);
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(OptionsEditorTest, RefusedValuesWriteNothingAndSayWhyInTheLanguage) {
    const std::string folder_198(198, 'f');
    const struct {
        std::string folder, suffix;
        const SixLanguageText& message;
    } cases[] = {
        {std::string(200, 'f'), "REC", FolderRefusal(SettingsValueProblem::TooLong)},
        {folder_198 + "g", "REC", FolderRefusal(SettingsValueProblem::TooLong)},  // 200 with its backslash
        {"C:\\Out\tput", "REC", FolderRefusal(SettingsValueProblem::ControlCharacter)},
        {"C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE", "REC", FolderRefusal(SettingsValueProblem::NotInCodePage)},
        {"", "ABCD", SuffixRefusal(SettingsValueProblem::TooLong)},
        {"", "a\\", SuffixRefusal(SettingsValueProblem::PathCharacter)},
        {"", "a/b", SuffixRefusal(SettingsValueProblem::PathCharacter)},
        {"", "c:", SuffixRefusal(SettingsValueProblem::PathCharacter)},
        {"", "..", SuffixRefusal(SettingsValueProblem::DotName)},
        {"", "a\x1B", SuffixRefusal(SettingsValueProblem::ControlCharacter)},
        {"", "\xE2\x82\xBD", SuffixRefusal(SettingsValueProblem::NotInCodePage)},  // the ruble sign
    };
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " / " + c.suffix);
        platform_.messages.clear();
        EXPECT_FALSE(editor_.Save({c.folder, c.suffix, true}));
        EXPECT_EQ(files_.files[kPath], original);
        EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Text(c.message, LanguageId::Italian)});
        EXPECT_EQ(platform_.messages[0].caption, Text(OptCaption, LanguageId::Italian));
    }
    // The longest folder that fits, and the euro sign, which Windows-1252 has.
    EXPECT_TRUE(editor_.Save({folder_198, "\xE2\x82\xAC", false}));
    EXPECT_EQ(files_.files[kPath][0], 0x80);
    EXPECT_EQ(files_.files[kPath][4 + 198], '\\');
}

TEST_F(OptionsEditorTest, MissingOrDamagedFileOffersTheDefaultsAndWritesOnlyOnYes) {
    const auto defaults = SettingsFileBytes(DefaultFileRecordBytes(), CheckValueOf(DefaultFileRecordBytes()));
    FileBytes bad_check = OddFile(), german = OddFile(), shorter = OddFile(), longer = OddFile();
    bad_check[423] = german[423] = 1;
    german[216] = 3;
    shorter.pop_back();
    longer.push_back(0);
    const struct {
        std::optional<FileBytes> file;
        MessageAnswer answer;
        const SixLanguageText& what;
        LanguageId language;  // of the question: the damaged file's own, when it names one
    } cases[] = {
        {std::nullopt, MessageAnswer::No, OptFileMissing, LanguageId::English},
        {std::nullopt, MessageAnswer::Yes, OptFileMissing, LanguageId::English},
        {bad_check, MessageAnswer::No, OptFileDamaged, LanguageId::Italian},
        {german, MessageAnswer::Yes, OptFileDamaged, LanguageId::German},
        {longer, MessageAnswer::No, OptFileDamaged, LanguageId::Italian},
        {shorter, MessageAnswer::Yes, OptFileDamaged, LanguageId::Italian},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.file ? c.file->size() : 0) + (c.answer == MessageAnswer::Yes ? " yes" : " no"));
        files_.files.clear();
        platform_.messages.clear();
        if (c.file)
            files_.files[kPath] = *c.file;
        platform_.answers = {c.answer};
        OptionsEditor editor(files_, platform_, kPath);
        const bool yes = c.answer == MessageAnswer::Yes;
        EXPECT_EQ(editor.Open(), yes ? OpenOutcome::Ready : OpenOutcome::Declined);
        ASSERT_EQ(platform_.messages.size(), 1u);
        EXPECT_EQ(platform_.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(platform_.messages[0].text,
                  Text(c.what, c.language) + "\n\n" + kPath + "\n\n" + Text(OptAskWriteDefaults, c.language));
        const FileBytes expected = yes ? FileBytes(defaults.begin(), defaults.end()) : c.file.value_or(FileBytes{});
        EXPECT_EQ(files_.files.count(kPath) != 0, yes || c.file);
        EXPECT_EQ(files_.files[kPath], expected);
    }
}

TEST_F(OptionsEditorTest, FailuresNameThePathAndTheReasonAndLeaveTheFile) {
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    files_.write_limit = 100;
    EXPECT_FALSE(editor_.Save({"", "NEW", false}));
    EXPECT_EQ(files_.files[kPath], original);
    const std::string reason = std::string("\n\n") + kPath + "\nmemory fault";
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Text(OptCannotSave, LanguageId::Italian) + reason});

    // The defaults cannot be written either: the open fails instead of pretending to be ready.
    files_.files.clear();
    platform_.answers = {MessageAnswer::Yes};
    EXPECT_EQ(OptionsEditor(files_, platform_, kPath).Open(), OpenOutcome::Failed);
    EXPECT_EQ(platform_.messages.size(), 3u);
    EXPECT_EQ(files_.files.count(kPath), 0u);

    // A file that is there but cannot be read is not taken for a missing one and replaced.
    files_.write_limit.reset();
    files_.files[kPath] = original;
    files_.read_error_at[kPath] = 0;
    platform_.messages.clear();
    EXPECT_EQ(OptionsEditor(files_, platform_, kPath).Open(), OpenOutcome::Failed);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Text(OptCannotRead, LanguageId::English) + reason});
    EXPECT_EQ(files_.files[kPath], original);
}

TEST(OptmgrTextsTest, NoTwoControlsShareAMnemonicInAnyLanguage) {
    for (size_t language = 1; language <= kLanguageCount; ++language) {
        std::string keys;
        for (const SixLanguageText* text : {&OptFolderLabel, &OptBrowse, &OptSuffixLabel, &OptDeleteSource}) {
            const std::string_view utf8 = text->utf8[language];
            const size_t amp = utf8.find('&');
            ASSERT_LT(amp + 1, utf8.size()) << utf8;
            EXPECT_EQ(keys.find(static_cast<char>(std::tolower(utf8[amp + 1]))), std::string::npos) << utf8;
            keys += static_cast<char>(std::tolower(utf8[amp + 1]));
        }
    }
}

}  // namespace
