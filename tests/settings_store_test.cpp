// The settings store on real files in a temporary folder, and in memory where the folder refuses a replacement.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/stdio_file_system.h"
#include "recovery/settings_store.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_dir.h"

namespace {

using FileBytes = std::vector<uint8_t>;

class SettingsStoreTest : public ::testing::Test {
  protected:
    SettingsStoreTest() : path_(dir_ / "propPSD.pro"), store_(files_, platform_, path_) {}

    void WriteFile(const FileBytes& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    FileBytes ReadFile() {
        std::ifstream in(path_, std::ios::binary);
        return FileBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static FileBytes ValidFile(SettingsBytes record) {
        const auto file = SettingsFileBytes(record, CheckValueOf(record));
        return FileBytes(file.begin(), file.end());
    }
    static SettingsBytes Record(const SettingsRecord& fields) {
        SettingsBytes bytes = DefaultFileRecordBytes();
        EncodeSettings(fields, &bytes);
        return bytes;
    }
    static FileBytes DefaultFile() { return ValidFile(DefaultFileRecordBytes()); }
    std::string Missing(LanguageId language) { return Localize(MsgMissingFile, language, TextEncoding::Cp1252); }

    TempDir dir_;
    std::string path_;
    StdioFileSystem files_;
    FakePlatform platform_;
    SettingsStore store_;
};

TEST_F(SettingsStoreTest, StartWithoutFileEndsWithExitCodeTwo) {
    try {
        store_.LoadAtStartup();
        FAIL() << "the process should have ended";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 2);
    }
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Missing(LanguageId::English)});
}

TEST_F(SettingsStoreTest, StartTakesLanguageAndInstallFolder) {
    SettingsRecord fields = DecodeSettings(DefaultFileRecordBytes());
    fields.language = 3;
    fields.installFolder = "C:\\\\Program\\\\Tool\\\\";
    WriteFile(ValidFile(Record(fields)));
    const StartupSettings settings = store_.LoadAtStartup();
    EXPECT_EQ(settings.language, LanguageId::German);
    EXPECT_EQ(settings.programFolder, "C:\\Program\\Tool\\");
    EXPECT_TRUE(platform_.messages.empty());

    fields.language = 9;  // not a language, yet the check value holds
    WriteFile(ValidFile(Record(fields)));
    EXPECT_EQ(store_.LoadAtStartup().language, LanguageId::English);
}

TEST_F(SettingsStoreTest, StartWithDamagedFileRewritesTheDefaults) {
    SettingsRecord fields = DecodeSettings(DefaultFileRecordBytes());
    fields.language = 2;
    fields.installFolder = "C:\\Tool\\";
    FileBytes damaged = ValidFile(Record(fields));
    damaged[423] = 0x01;
    WriteFile(damaged);
    const StartupSettings settings = store_.LoadAtStartup();
    EXPECT_EQ(settings.language, LanguageId::English);
    EXPECT_EQ(settings.programFolder, "");
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Missing(LanguageId::English)});
    EXPECT_EQ(ReadFile(), DefaultFile());
}

TEST_F(SettingsStoreTest, CheckAcceptsShortFilesEndingInZero) {
    struct Case {
        FileBytes file;
        bool valid;
    };
    FileBytes ends_in_c8 = DefaultFile();
    ends_in_c8[419] = 0xC8;
    const Case cases[] = {
        {FileBytes(420, 0), true},
        {FileBytes(420, 5), false},
        {FileBytes(1, 0), true},
        {ValidFile(Record(SettingsRecord{"\\..", "", 1, 0, 1, 1, ""})), false},  // passes its check, leaves its folder
        {FileBytes(), false},
        {ends_in_c8, false},
        {ValidFile([] {
             SettingsBytes record = DefaultFileRecordBytes();
             record.back() = 0xC8;
             return record;
         }()),
         true},
    };
    for (const Case& c : cases) {
        WriteFile(c.file);
        EXPECT_EQ(store_.Verify(), c.valid) << c.file.size() << " bytes";
    }
    std::remove(path_.c_str());
    EXPECT_FALSE(store_.Verify());
}

TEST_F(SettingsStoreTest, RecoverWithoutFileWarnsThreeTimesAndRecreatesIt) {
    const SettingsRecord record = store_.LoadForRecover(LanguageId::French);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>(3, Missing(LanguageId::French)));
    EXPECT_EQ(ReadFile(), DefaultFile());
    EXPECT_EQ(record.suffix, "REC");
    EXPECT_EQ(record.outputFolder, "");
}

TEST_F(SettingsStoreTest, RecoverWithDamagedFileWarnsOnceAndUsesTheFallback) {
    FileBytes damaged(424, 0x41);
    WriteFile(damaged);
    const SettingsRecord record = store_.LoadForRecover(LanguageId::German);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Missing(LanguageId::German)});
    EXPECT_EQ(record.suffix, "REC");
    EXPECT_EQ(ReadFile(), DefaultFile());
}

TEST_F(SettingsStoreTest, RecoverReadsTheFileAfreshEachTime) {
    SettingsRecord fields = DecodeSettings(DefaultFileRecordBytes());
    fields.suffix = "XYZ";
    fields.outputFolder = "D:\\Out\\";
    fields.deleteSource = 1;
    WriteFile(ValidFile(Record(fields)));
    EXPECT_EQ(store_.LoadForRecover(LanguageId::English).outputFolder, "D:\\Out\\");
    fields.outputFolder = "E:\\";
    WriteFile(ValidFile(Record(fields)));
    const SettingsRecord record = store_.LoadForRecover(LanguageId::English);
    EXPECT_EQ(record.outputFolder, "E:\\");
    EXPECT_EQ(record.suffix, "XYZ");
    EXPECT_EQ(record.deleteSource, 1);
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(SettingsStoreTest, SaveLanguageChangesOnlyTheLanguageByteAndTheCheckValue) {
    SettingsRecord fields = DecodeSettings(DefaultFileRecordBytes());
    fields.installFolder = "C:\\Tool\\";
    SettingsBytes record = Record(fields);
    record.back() = 0x9C;  // a check value other than zero
    const FileBytes before = ValidFile(record);
    WriteFile(before);
    store_.SaveLanguage(LanguageId::Italian);
    const FileBytes after = ReadFile();
    ASSERT_EQ(after.size(), 424u);
    for (size_t i = 0; i < 420; ++i)
        EXPECT_EQ(after[i], i == 216 ? 4 : before[i]) << "byte " << i;
    EXPECT_TRUE(store_.Verify());
    EXPECT_TRUE(platform_.messages.empty());

    // The saved record is the fallback from now on.
    std::remove(path_.c_str());
    const SettingsRecord fallback = store_.LoadForRecover(LanguageId::Italian);
    EXPECT_EQ(fallback.language, 4);
    EXPECT_EQ(fallback.installFolder, "C:\\Tool\\");
    EXPECT_EQ(platform_.messages.size(), 3u);
}

TEST_F(SettingsStoreTest, SaveLanguageWithoutFileCreatesItFromTheFallback) {
    store_.SaveLanguage(LanguageId::Romanian);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>(3, Missing(LanguageId::Romanian)));
    SettingsBytes expected = DefaultRecordBytes();
    expected[216] = 6;
    EXPECT_EQ(ReadFile(), ValidFile(expected));
}

TEST_F(SettingsStoreTest, UnwritableFileEndsTheProcessWithExitCodeOne) {
    SettingsStore store(files_, platform_, dir_ / "no-such-folder/propPSD.pro");
    try {
        store.WriteDefaults(LanguageId::Spanish);
        FAIL() << "the process should have ended";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Missing(LanguageId::Spanish)});

    platform_.messages.clear();
    store.SaveLanguage(LanguageId::Spanish);  // a language change only reports it
    EXPECT_EQ(platform_.messages.size(), 4u);
}

TEST_F(SettingsStoreTest, AboutBoxLanguage) {
    SettingsRecord fields = DecodeSettings(DefaultFileRecordBytes());
    fields.language = 5;
    WriteFile(ValidFile(Record(fields)));
    EXPECT_EQ(store_.ReadLanguage(), LanguageId::Spanish);
    EXPECT_TRUE(platform_.messages.empty());

    std::remove(path_.c_str());
    EXPECT_EQ(store_.ReadLanguage(), LanguageId::English);
    EXPECT_EQ(platform_.Texts(), std::vector<std::string>{Missing(LanguageId::English)});
    EXPECT_EQ(ReadFile(), DefaultFile());
}

// A folder that refuses a replacement (the Windows directory to a standard user) is no full disk, and vice versa.
TEST(SettingsStoreInPlaceTest, OnlyAFolderThatRefusesAReplacementGetsTheRecordInPlace) {
    const std::string path = "C:\\WINDOWS\\propPSD.pro";
    const auto defaults = SettingsFileBytes(DefaultFileRecordBytes(), 0);
    for (const bool refused : {true, false}) {
        MemoryFileSystem files;
        FakePlatform platform;
        files.files[path].assign(defaults.begin(), defaults.end());
        if (refused)
            files.unreplaceable.insert(path);
        else
            files.write_limit = 100;
        SettingsStore(files, platform, path).SaveLanguage(LanguageId::Italian);
        EXPECT_EQ(files.files[path][216], refused ? 4 : 1);
        EXPECT_EQ(files.in_place_writes, refused ? 1u : 0u);
        EXPECT_EQ(platform.messages.size(), refused ? 0u : 1u);
    }
}

}  // namespace
