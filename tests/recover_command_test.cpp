#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/stdio_file_system.h"
#include "recovery/recover_command.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kSettingsPath = "C:\\WINDOWS\\propPSD.pro";
const std::string kSource = "C:\\Work\\photo.psd";

// A source holding `jpegs` complete JPEG streams.
Bytes SourceWithImages(int jpegs) {
    Bytes source(3000 * static_cast<size_t>(jpegs) + 100, 0x11);
    for (int n = 0; n < jpegs; ++n) {
        Plant(source, 3000 * static_cast<size_t>(n), kJpegStartBytes);
        Plant(source, 3000 * static_cast<size_t>(n) + 2500, kJpegEndBytes);
    }
    return source;
}

class RecoverCommandTest : public ::testing::Test {
  protected:
    RecoverCommandTest() : store_(files_, platform_, kSettingsPath), command_(files_, platform_, store_) {
        UseSettings([](SettingsRecord&) {});
        files_.files[kSource] = SourceWithImages(2);
    }

    template <class Change>
    void UseSettings(Change change) {
        SettingsBytes bytes = DefaultFileRecordBytes();
        SettingsRecord fields = DecodeSettings(bytes);
        change(fields);
        EncodeSettings(fields, &bytes);
        const auto file = SettingsFileBytes(bytes, CheckValueOf(bytes));
        files_.files[kSettingsPath] = Bytes(file.begin(), file.end());
    }

    CarveResult Recover(LanguageId language = LanguageId::English, uint64_t last_added_size = 0) {
        return command_.Recover(kSource, last_added_size, language);
    }
    std::string Text(const SixLanguageText& entry, LanguageId language = LanguageId::English) {
        return Localize(entry, language, TextEncoding::Cp1252);
    }

    MemoryFileSystem files_;
    FakePlatform platform_;
    SettingsStore store_;
    RecoverCommand command_;
};

TEST_F(RecoverCommandTest, NothingSelectedOnlySaysSo) {
    files_.files.erase(kSettingsPath);
    command_.Recover(std::nullopt, 0, LanguageId::Spanish);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Ning\xFAn archivo seleccion\xF3!");
    EXPECT_EQ(platform_.messages[0].caption, "");  // the application's name
    EXPECT_EQ(files_.opened_for_reading, 0u);
    EXPECT_EQ(files_.files.count(kSettingsPath), 0u);
    EXPECT_TRUE(files_.folders.empty());
}

TEST_F(RecoverCommandTest, ResultMessageNamesCountAndFolder) {
    const CarveResult result = Recover(LanguageId::French);
    EXPECT_EQ(result.imageCount, 2);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text,
              " ( 2 ) image(s) de Doc. de  r\xE9"
              "cup\xE9r\xE9 dans le folder C:\\Work\\photoREC!");
    EXPECT_EQ(platform_.messages[0].caption, "Varnick PSD Recovery");

    files_.files[kSource] = Bytes(100, 0x11);
    platform_.messages.clear();
    Recover();
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{" No image recovered"});
}

TEST_F(RecoverCommandTest, DiskFullWarnsBelowTheLastAddedSizePlusTenKilobytes) {
    struct Case {
        std::optional<uint64_t> free_bytes;
        bool warned;
    };
    const Case cases[] = {{13 * 1024, true}, {14 * 1024, false}, {14 * 1024 - 1, true}, {std::nullopt, false}};
    for (const Case& c : cases) {
        files_.folders.clear();
        for (const char* name : {"1.jpg", "2.jpg"})
            files_.files.erase(std::string("C:\\Work\\photoREC\\") + name);
        platform_.messages.clear();
        platform_.free_bytes = c.free_bytes;
        const CarveResult result = Recover(LanguageId::English, 5000);
        EXPECT_EQ(result.imageCount, 2) << "the carve runs in any case";
        ASSERT_EQ(platform_.messages.size(), c.warned ? 2u : 1u);
        EXPECT_EQ(platform_.messages[0].text == "Disk full!", c.warned);
    }
}

TEST_F(RecoverCommandTest, OutputFolderFollowsTheSettings) {
    struct Case {
        const char* what;
        std::string source;
        std::string opened;  // the source path with its separator runs reduced
        std::string current_directory;
        std::string output_folder;
        std::string suffix;
        std::string expected;
    };
    const Case cases[] = {
        {"defaults", "C:\\Work\\photo.psd", "C:\\Work\\photo.psd", "C:\\Work", "", "REC", "C:\\Work\\photoREC"},
        {"no extension", "C:\\Work\\photo", "C:\\Work\\photo", "C:\\Work", "", "REC", "C:\\Work\\photoREC"},
        {"dot in the folder", "C:\\my.dir\\photo.psd", "C:\\my.dir\\photo.psd", "C:\\Work", "", "REC",
         "C:\\Work\\photoREC"},
        {"two dots in the name", "C:\\Work\\my.photo.psd", "C:\\Work\\my.photo.psd", "C:\\Work", "", "REC",
         "C:\\Work\\myREC"},
        {"output folder and suffix", "C:\\Work\\photo.psd", "C:\\Work\\photo.psd", "C:\\Work", "D:\\Out\\", "XYZ",
         "D:\\Out\\photoXYZ"},
        {"drive root", "C:\\Work\\photo.psd", "C:\\Work\\photo.psd", "C:\\", "", "REC", "C:\\photoREC"},
        {"nothing set", "C:\\Work\\photo.psd", "C:\\Work\\photo.psd", "C:\\Work", "", "", "C:\\Work\\photo"},
        {"output folder, no suffix", "C:\\Work\\photo.psd", "C:\\Work\\photo.psd", "C:\\Work", "D:\\Out\\", "",
         "D:\\Out\\photo"},
        {"doubled separators", "C:\\\\Work\\\\photo.psd", "C:\\Work\\photo.psd", "C:\\Work", "D:\\\\Out\\\\", "REC",
         "D:\\Out\\photoREC"},
        {"no base name, no suffix", "C:\\Work\\.psd", "C:\\Work\\.psd", "C:\\Work", "", "", "C:\\Work\\REC"},
        {"slash before the name", "C:\\Work/photo.psd", "C:\\Work/photo.psd", "C:\\Work", "", "REC",
         "C:\\Work\\photoREC"},
        {"network share", "\\\\server\\share\\photo.psd", "\\\\server\\share\\photo.psd", "\\\\server\\share", "",
         "REC", "\\\\server\\share\\photoREC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseSettings([&c](SettingsRecord& fields) {
            fields.outputFolder = c.output_folder;
            fields.suffix = c.suffix;
        });
        platform_.current_directory = c.current_directory;
        platform_.free_space_queries.clear();
        files_.files[c.opened] = SourceWithImages(1);
        const CarveResult result = command_.Recover(c.source, 0, LanguageId::English);
        EXPECT_EQ(result.imageFolder, c.expected);
        EXPECT_EQ(platform_.free_space_queries, std::vector<std::string>{c.expected});
        files_.files.erase(c.expected + "\\1.jpg");
    }
}

TEST_F(RecoverCommandTest, DeleteOfferAsksTwiceAndDeletesOnlyOnTwoYeses) {
    struct Case {
        std::deque<MessageAnswer> answers;
        size_t questions;
        bool deleted;
    };
    const Case cases[] = {
        {{MessageAnswer::No}, 1, false},
        {{MessageAnswer::Yes, MessageAnswer::No}, 2, false},
        {{MessageAnswer::Yes, MessageAnswer::Yes}, 2, true},
    };
    for (const Case& c : cases) {
        files_ = MemoryFileSystem();
        UseSettings([](SettingsRecord& fields) { fields.deleteSource = 1; });
        files_.files[kSource] = SourceWithImages(2);
        platform_.messages.clear();
        platform_.answers = c.answers;
        Recover(LanguageId::German);
        ASSERT_EQ(platform_.messages.size(), 1 + c.questions);
        EXPECT_EQ(platform_.messages[1].text,
                  "Sind Sie sicher Sie m\xF6"
                  "chten Datei l\xF6schen C:\\Work\\photo.psd ?");
        EXPECT_EQ(platform_.messages[1].caption, "");
        EXPECT_EQ(platform_.messages[1].buttons, MessageButtons::YesNo);
        if (c.questions == 2) {
            EXPECT_EQ(platform_.messages[2].text, "Sind Sie sicher ?");
            EXPECT_EQ(platform_.messages[2].caption, "Varnick Image Recovery");
        }
        EXPECT_EQ(files_.files.count(kSource) == 0, c.deleted);
    }
}

TEST_F(RecoverCommandTest, NoDeleteOfferWithoutImagesAfterAFailureOrAnAbortOrWhenNotAsked) {
    struct Case {
        const char* what;
        int32_t delete_source;
        int images;
        bool second_name_taken;
        std::optional<uint64_t> write_limit = std::nullopt;
        std::optional<uint64_t> read_error_at = std::nullopt;
    };
    const Case cases[] = {
        {"not asked for", 0, 2, false},
        {"any value but 1", 2, 2, false},
        {"no image", 1, 0, false},
        // The last picture may be cut short: the source is all the user has.
        {"a picture not written whole", 1, 2, false, 2000},
        {"the source unreadable inside the second picture", 1, 2, false, std::nullopt, 4000},
        {"aborted after one image", 1, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files_ = MemoryFileSystem();
        UseSettings([&c](SettingsRecord& fields) { fields.deleteSource = c.delete_source; });
        files_.files[kSource] = SourceWithImages(c.images);
        files_.write_limit = c.write_limit;
        if (c.read_error_at)
            files_.read_error_at[kSource] = *c.read_error_at;
        if (c.second_name_taken)
            files_.files["C:\\Work\\photoREC\\2.jpg"] = {};
        platform_.messages.clear();
        platform_.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
        Recover();
        for (const ShownMessage& message : platform_.messages)
            EXPECT_EQ(message.buttons, MessageButtons::Ok) << message.text;
        EXPECT_EQ(files_.files.count(kSource), 1u);
    }
    // The abort message comes first, then the result with the one image written.
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[0].text, Text(MsgImagesFolderExists));
    EXPECT_EQ(platform_.messages[1].text, "( 1 )image(s) recovered stored in directory C:\\Work\\photoREC!");
}

TEST_F(RecoverCommandTest, DeleteFileAsksThenDeletes) {
    const std::string path = "C:\\Work\\old.psd";
    EXPECT_FALSE(command_.DeleteFileCommand(std::nullopt, LanguageId::Romanian));
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{"Nici un fisier selectat!"});

    files_.files[path] = {1, 2, 3};
    platform_.messages.clear();
    platform_.answers = {MessageAnswer::No};
    EXPECT_FALSE(command_.DeleteFileCommand(path, LanguageId::English));
    EXPECT_EQ(files_.files.count(path), 1u);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Are you sure you want to delete  file C:\\Work\\old.psd ?");
    EXPECT_EQ(platform_.messages[0].caption, "");

    files_.undeletable.insert(path);
    platform_.messages.clear();
    platform_.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(command_.DeleteFileCommand(path, LanguageId::German));
    EXPECT_EQ(platform_.messages.back().text, Text(MsgWriteError, LanguageId::German));

    files_.undeletable.clear();
    platform_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(command_.DeleteFileCommand(path, LanguageId::English));
    EXPECT_EQ(files_.files.count(path), 0u);
}

TEST(FileSizeOf, CountsPastFourGigabytesAndGivesZeroForNoFile) {
    TempDir dir;
    const std::string path = dir / "big.psd";
    { std::ofstream(path, std::ios::binary).put('x'); }
    std::filesystem::resize_file(path, (uint64_t{5} << 30) + 3);  // sparse: takes no room on disk
    StdioFileSystem files;
    EXPECT_EQ(FileSizeOf(files, path), (uint64_t{5} << 30) + 3);
    EXPECT_EQ(FileSizeOf(files, dir / "missing.psd"), 0u);
}

}  // namespace
