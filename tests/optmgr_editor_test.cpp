// The configuration program's editor of the settings file, on an in-memory file system.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "companions/optmgr/options_editor.h"
#include "companions/optmgr/optmgr_texts.h"
#include "mainwindow/code_page.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"

namespace {

using FileBytes = std::vector<uint8_t>;
constexpr char kPath[] = "C:\\WINDOWS\\propPSD.pro";

// A record no default would give: Italian, odd carried values, a suffix with a stray byte after its zero and the
// output folder's unused bytes filled with 'a'.
FileBytes OddFile() {
    SettingsBytes record = DefaultFileRecordBytes();
    std::memcpy(&record[0], "RE\0X", 4);
    record[204] = 0xF9;  // reservedFlag -7
    record[205] = record[206] = record[207] = 0xFF;
    record[208] = 7;     // deleteSource: not 1, so no offer
    record[212] = 0x39;  // textFormat 12345
    record[213] = 0x30;
    record[216] = 4;
    std::memcpy(&record[217], "C:\\Prog\\\0zz", 11);
    const auto file = SettingsFileBytes(record, CheckValueOf(record));
    return FileBytes(file.begin(), file.end());
}

void Put(FileBytes& file, size_t offset, const std::string& bytes) {
    std::memcpy(&file[offset], bytes.data(), bytes.size());
}

void SetCheck(FileBytes& file) {
    SettingsBytes record{};
    std::copy_n(file.begin(), record.size(), record.begin());
    const int32_t check = CheckValueOf(record);
    std::memcpy(&file[420], &check, 4);
}

class OptionsEditorTest : public ::testing::Test {
  protected:
    OpenOutcome OpenWith(const FileBytes& bytes) {
        files_.files[kPath] = bytes;
        return editor_.Open();
    }
    std::string Text(const SixLanguageText& entry, LanguageId language) {
        return Localize(entry, language, TextEncoding::Cp1252);
    }

    MemoryFileSystem files_;
    FakePlatform platform_;
    OptionsEditor editor_{files_, platform_, kPath};
};

TEST_F(OptionsEditorTest, SavingChangesOnlyTheThreeFieldsAndTheCheckValue) {
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    EXPECT_EQ(editor_.Language(), LanguageId::Italian);
    const OutputOptions shown = editor_.Shown();
    EXPECT_EQ(shown.outputFolder, "");
    EXPECT_EQ(shown.suffix, "RE");
    EXPECT_FALSE(shown.deleteSource);

    // UTF-8 in, Windows-1252 stored; the backslash is added; deleteSource keeps its 7 while the tick stays off.
    ASSERT_TRUE(editor_.Save({"D:\\Bilder", "\xC3\x84\xC3\x96", false}));
    FileBytes expected = original;
    Put(expected, 0, std::string("\xC4\xD6\0", 3));
    Put(expected, 4, std::string("D:\\Bilder\\\0", 11));
    EXPECT_EQ(files_.files[kPath], expected);
    EXPECT_TRUE(platform_.messages.empty());

    // The recovery program switched to French meanwhile: that byte stays, the tick now writes 1.
    files_.files[kPath][216] = 2;
    SetCheck(files_.files[kPath]);
    ASSERT_TRUE(editor_.Save({"", "REC", true}));
    expected[216] = 2;
    Put(expected, 0, std::string("REC\0", 4));
    expected[4] = 0;
    Put(expected, 208, std::string("\1\0\0\0", 4));
    SetCheck(expected);
    EXPECT_EQ(files_.files[kPath], expected);
    EXPECT_EQ(files_.files[kPath].size(), kSettingsFileSize);
}

TEST_F(OptionsEditorTest, RefusedValuesWriteNothingAndSayWhyInTheLanguage) {
    struct Case {
        std::string folder;
        std::string suffix;
        const SixLanguageText& message;
    };
    const std::string folder_198(198, 'f');
    const Case cases[] = {
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
        {"", "\xE2\x82\xBD", SuffixRefusal(SettingsValueProblem::NotInCodePage)},  // ruble sign
    };
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + " / " + c.suffix);
        platform_.messages.clear();
        EXPECT_FALSE(editor_.Save({c.folder, c.suffix, true}));
        EXPECT_EQ(files_.files[kPath], original);
        EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Text(c.message, LanguageId::Italian)});
        EXPECT_EQ(platform_.messages[0].caption, Text(OptCaption, LanguageId::Italian));
    }
    // The longest folder that fits, and a euro sign, which Windows-1252 has.
    EXPECT_TRUE(editor_.Save({folder_198, "\xE2\x82\xAC", false}));
    EXPECT_EQ(files_.files[kPath][0], 0x80);
    EXPECT_EQ(files_.files[kPath][4 + 198], '\\');
}

TEST_F(OptionsEditorTest, MissingOrDamagedFileOffersTheDefaultsAndWritesOnlyOnYes) {
    const auto defaults_array = SettingsFileBytes(DefaultFileRecordBytes(), CheckValueOf(DefaultFileRecordBytes()));
    const FileBytes defaults(defaults_array.begin(), defaults_array.end());
    FileBytes bad_check = OddFile();
    bad_check[423] = 1;
    FileBytes german_bad_check = bad_check;
    german_bad_check[216] = 3;
    FileBytes longer = OddFile();
    longer.push_back(0);
    FileBytes shorter = OddFile();
    shorter.pop_back();
    struct Case {
        std::optional<FileBytes> file;
        MessageAnswer answer;
        const SixLanguageText& what;
        LanguageId language;  // of the question: the damaged file's own, when it names one
    };
    const Case cases[] = {
        {std::nullopt, MessageAnswer::No, OptFileMissing, LanguageId::English},
        {std::nullopt, MessageAnswer::Yes, OptFileMissing, LanguageId::English},
        {bad_check, MessageAnswer::No, OptFileDamaged, LanguageId::Italian},
        {german_bad_check, MessageAnswer::Yes, OptFileDamaged, LanguageId::German},
        {longer, MessageAnswer::No, OptFileDamaged, LanguageId::Italian},
        {shorter, MessageAnswer::Yes, OptFileDamaged, LanguageId::Italian},
        {FileBytes{}, MessageAnswer::Yes, OptFileDamaged, LanguageId::English},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.file ? c.file->size() : 0) + (c.answer == MessageAnswer::Yes ? " yes" : " no"));
        files_.files.clear();
        platform_.messages.clear();
        if (c.file)
            files_.files[kPath] = *c.file;
        platform_.answers = {c.answer};
        OptionsEditor editor(files_, platform_, kPath);
        const OpenOutcome outcome = editor.Open();
        ASSERT_EQ(platform_.messages.size(), 1u);
        EXPECT_EQ(platform_.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(platform_.messages[0].text,
                  Text(c.what, c.language) + "\n\n" + kPath + "\n\n" + Text(OptAskWriteDefaults, c.language));
        if (c.answer == MessageAnswer::Yes) {
            EXPECT_EQ(outcome, OpenOutcome::Ready);
            EXPECT_EQ(files_.files[kPath], defaults);
            EXPECT_EQ(editor.Language(), LanguageId::English);
        } else {
            EXPECT_EQ(outcome, OpenOutcome::Declined);
            EXPECT_EQ(files_.files.count(kPath) != 0, c.file.has_value());
            if (c.file) {
                EXPECT_EQ(files_.files[kPath], *c.file);
            }
        }
    }
}

TEST_F(OptionsEditorTest, FailuresNameThePathAndTheReasonAndLeaveTheFile) {
    const FileBytes original = OddFile();
    ASSERT_EQ(OpenWith(original), OpenOutcome::Ready);
    files_.write_limit = 100;
    EXPECT_FALSE(editor_.Save({"", "NEW", false}));
    EXPECT_EQ(files_.files[kPath], original);
    EXPECT_EQ(platform_.Texts(),
              std::vector<std::string>{Text(OptCannotSave, LanguageId::Italian) + "\n\n" + kPath + "\nmemory fault"});

    // The defaults cannot be written either: the open fails, it does not pretend to be ready.
    files_.files.clear();
    platform_.messages.clear();
    platform_.answers = {MessageAnswer::Yes};
    EXPECT_EQ(OptionsEditor(files_, platform_, kPath).Open(), OpenOutcome::Failed);
    EXPECT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(files_.files.count(kPath), 0u);

    // A file that exists but cannot be read is not taken for a missing one and replaced.
    files_.write_limit.reset();
    files_.files[kPath] = original;
    files_.read_error_at[kPath] = 0;
    platform_.messages.clear();
    EXPECT_EQ(OptionsEditor(files_, platform_, kPath).Open(), OpenOutcome::Failed);
    EXPECT_EQ(platform_.Texts(),
              std::vector<std::string>{Text(OptCannotRead, LanguageId::English) + "\n\n" + kPath + "\nmemory fault"});
    EXPECT_EQ(files_.files[kPath], original);
}

TEST(OptmgrTextsTest, EveryTextFitsWindows1252AndNoTwoControlsShareAMnemonic) {
    const SixLanguageText* labels[] = {&OptFolderLabel, &OptBrowse, &OptSuffixLabel, &OptDeleteSource};
    const SixLanguageText* others[] = {&OptCaption,
                                       &OptFolderHint,
                                       &OptBrowseTitle,
                                       &OptSuffixHint,
                                       &OptOk,
                                       &OptCancel,
                                       &OptFileMissing,
                                       &OptFileDamaged,
                                       &OptAskWriteDefaults,
                                       &OptCannotRead,
                                       &OptCannotSave,
                                       &FolderRefusal(SettingsValueProblem::TooLong),
                                       &FolderRefusal(SettingsValueProblem::NotInCodePage),
                                       &SuffixRefusal(SettingsValueProblem::TooLong),
                                       &SuffixRefusal(SettingsValueProblem::PathCharacter),
                                       &SuffixRefusal(SettingsValueProblem::DotName),
                                       &SuffixRefusal(SettingsValueProblem::NotInCodePage)};
    for (int number = 1; number <= kLanguageCount; ++number) {
        SCOPED_TRACE(number);
        std::string mnemonics;
        for (const SixLanguageText* text : labels) {
            const std::string_view utf8 = text->utf8[static_cast<size_t>(number)];
            const size_t amp = utf8.find('&');
            ASSERT_NE(amp, std::string_view::npos) << utf8;
            const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(utf8[amp + 1])));
            EXPECT_EQ(mnemonics.find(key), std::string::npos) << utf8;
            mnemonics += key;
        }
        for (const SixLanguageText* text : others) {
            const std::string_view utf8 = text->utf8[static_cast<size_t>(number)];
            EXPECT_FALSE(utf8.empty());
            EXPECT_TRUE(FitsCp1252(utf8)) << utf8;
        }
        for (const SixLanguageText* text : labels)
            EXPECT_TRUE(FitsCp1252(text->utf8[static_cast<size_t>(number)]));
    }
}

}  // namespace
