// The archive writer makes only archives the reader accepts, and leaves nothing behind when it refuses.
#include <gtest/gtest.h>

#include "installer/sfx_archive.h"
#include "installer/sfx_writer.h"
#include "tests/installer/sfx_test_files.h"
#include "tests/support/temp_dir.h"

namespace {

class SfxWriterTest : public ::testing::Test {
  protected:
    TempDir dir_;
    const std::string archive_ = dir_ / "packed.exe";
};

TEST_F(SfxWriterTest, StoresFilesBehindTheStubWithAbsoluteOffsets) {
    const std::string stub(0x3500, 'S');
    WriteWhole(dir_ / "stub.exe", stub);
    WriteWhole(dir_ / "one.txt", "first file");
    WriteWhole(dir_ / "two.bin", std::string(2500, '\x02'));
    SfxWriter writer(archive_);
    ASSERT_EQ(writer.BeginWithStubFile(dir_ / "stub.exe"), SfxResult::Ok);
    ASSERT_EQ(writer.AddFile("One.TXT", dir_ / "one.txt"), SfxResult::Ok);
    ASSERT_EQ(writer.AddFile("two.bin", dir_ / "two.bin"), SfxResult::Ok);
    ASSERT_EQ(writer.Finish(), SfxResult::Ok);

    SfxArchive sfx;
    ASSERT_EQ(sfx.ReadDirectory(archive_), SfxResult::Ok);
    ASSERT_EQ(sfx.count(), 2u);
    EXPECT_EQ(sfx.entries()[0].name, "One.TXT");
    EXPECT_EQ(sfx.entries()[0].offset, 0x3500u);
    EXPECT_EQ(sfx.entries()[1].offset, 0x3500u + 10);
    EXPECT_EQ(ReadWhole(archive_).substr(0, stub.size()), stub);
    std::filesystem::create_directory(dir_ / "out");
    ASSERT_EQ(sfx.ExtractAll(archive_, dir_ / "out", nullptr, nullptr), SfxResult::Ok);
    EXPECT_EQ(ReadWhole(dir_ / "out/two.bin"), std::string(2500, '\x02'));
}

TEST_F(SfxWriterTest, AnArchiveWithoutFilesReadsAsNoEntries) {
    SfxWriter writer(archive_);
    ASSERT_EQ(writer.BeginWithStub("MZ"), SfxResult::Ok);
    ASSERT_EQ(writer.Finish(), SfxResult::Ok);
    EXPECT_EQ(ReadWhole(archive_), "MZ" + Trailer(0));
    SfxArchive sfx;
    EXPECT_EQ(sfx.ReadDirectory(archive_), SfxResult::NoEntries);
}

TEST_F(SfxWriterTest, RefusalsAreFinalAndRemoveTheUnfinishedArchive) {
    // A 2 GiB file costs nothing when it is sparse, and is refused before a byte of it is copied.
    std::ofstream(dir_ / "huge.bin").close();
    std::filesystem::resize_file(dir_ / "huge.bin", kSfxPositionLimit);
    struct Case {
        const char* what;
        std::string name;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"dot dot", "..", "name is . or .."},  // the reader's own check; its cases are tested there
        {"same name in other case", "README.txt", "name already stored"},
        {"2 GiB file", "huge.bin", "file of 2 GiB or more; an archive stores each file below 2 GiB"},
    };
    for (const Case& c : cases) {
        SfxWriter writer(archive_);
        ASSERT_EQ(writer.BeginWithStub("MZ"), SfxResult::Ok);
        ASSERT_EQ(writer.AddBytes("readme.txt", "text"), SfxResult::Ok);
        const SfxResult added =
            c.name == "huge.bin" ? writer.AddFile(c.name, dir_ / "huge.bin") : writer.AddBytes(c.name, "x");
        EXPECT_EQ(added, SfxResult::BadDirectory) << c.what;
        EXPECT_EQ(std::string(writer.refusal()).rfind(c.reason, 0), 0u) << c.what << ": " << writer.refusal();
        EXPECT_FALSE(std::filesystem::exists(archive_)) << c.what;
        EXPECT_EQ(writer.AddBytes("later.txt", "y"), SfxResult::BadDirectory) << c.what;
        EXPECT_EQ(writer.Finish(), SfxResult::BadDirectory) << c.what;
        EXPECT_FALSE(std::filesystem::exists(archive_)) << c.what;
    }

    SfxWriter full(archive_);
    ASSERT_EQ(full.BeginWithStub(""), SfxResult::Ok);
    for (uint32_t i = 0; i < kSfxMaxEntries; ++i)
        ASSERT_EQ(full.AddBytes(std::to_string(i), ""), SfxResult::Ok);
    EXPECT_EQ(full.AddBytes("one too many", ""), SfxResult::BadDirectory);
    EXPECT_STREQ(full.refusal(), "more than 256 files; an archive holds at most 256");
}

TEST_F(SfxWriterTest, MissingInputsAndUnfinishedArchivesLeaveNoFile) {
    {
        SfxWriter writer(archive_);
        EXPECT_EQ(writer.BeginWithStubFile(dir_ / "no-stub.exe"), SfxResult::OpenFailed);
        EXPECT_EQ(writer.failed_path(), dir_ / "no-stub.exe");
    }
    {
        SfxWriter writer(archive_);
        ASSERT_EQ(writer.BeginWithStub("MZ"), SfxResult::Ok);
        EXPECT_EQ(writer.AddFile("gone.txt", dir_ / "gone.txt"), SfxResult::OpenFailed);
        EXPECT_EQ(writer.failed_path(), dir_ / "gone.txt");
    }
    {
        SfxWriter writer(archive_);
        ASSERT_EQ(writer.BeginWithStub("MZ"), SfxResult::Ok);
        ASSERT_EQ(writer.AddBytes("a.txt", "a"), SfxResult::Ok);
    }
    EXPECT_FALSE(std::filesystem::exists(archive_));
    SfxWriter nowhere(dir_ / "no/such/folder/out.exe");
    EXPECT_EQ(nowhere.BeginWithStub("MZ"), SfxResult::CreateFailed);
}

}  // namespace
