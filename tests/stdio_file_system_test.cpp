// The real file system's guarantees, on real files: names that exist in any form are never written through, what
// cannot be read to an end is refused without blocking, and a replaced file is kept whole when the write fails.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "framework/stdio_file_system.h"
#include "tests/support/temp_dir.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(StdioFileSystemTest, CreatesOnlyNewNamesAndOpensOnlyWhatEnds) {
    TempDir dir;
    StdioFileSystem files;
    std::ofstream(dir / "file") << "kept";
    std::filesystem::create_symlink(dir / "target", dir / "dangling");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const char* name : {"file", "dangling", "folder", "fifo"}) {
        std::unique_ptr<OutputFile> file;
        EXPECT_EQ(files.CreateNew(dir / name, &file), CreateOutcome::Taken) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "target")) << "nothing created through the link";
    EXPECT_EQ(ReadAll(dir / "file"), "kept");

    for (const std::string& path : {dir / "fifo", dir / "folder", std::string("/dev/zero")}) {
        EXPECT_EQ(files.OpenRead(path), nullptr) << path;
        EXPECT_EQ(files.SizeOf(path), std::nullopt) << path;
    }
    EXPECT_NE(files.OpenRead(dir / "file"), nullptr);
}

TEST(StdioFileSystemTest, AReplacementThatCannotBeWrittenWholeKeepsTheOldFile) {
    TempDir dir;
    StdioFileSystem files;
    const std::string path = dir / "propPSD.pro";
    ASSERT_TRUE(files.WriteAtomic(path, "old", 3));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = 100;  // like a disk with 100 bytes left
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string replacement(424, 'n');
    const bool written = files.WriteAtomic(path, replacement.data(), replacement.size());
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(files.LastError(), "File too large");
    EXPECT_FALSE(files.ReplacementRefused()) << "a full disk is no reason to write in place";
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "the temporary file is gone";
}

TEST(StdioFileSystemTest, WritesInPlaceOnlyOverAWholeFileOfItsOwn) {
    TempDir dir;
    StdioFileSystem files;
    for (const char* name : {"record", "target", "twin"})
        std::ofstream(dir / name) << "old!";
    std::filesystem::create_symlink(dir / "target", dir / "link");
    std::filesystem::create_hard_link(dir / "twin", dir / "hard");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const char* name : {"link", "hard", "missing", "fifo", "record"})
        EXPECT_EQ(files.OverwriteInPlace(dir / name, "new!", 4), name == std::string("record")) << name;
    EXPECT_FALSE(files.OverwriteInPlace(dir / "record", "longer", 6)) << "never lengthened";
    EXPECT_EQ(ReadAll(dir / "record") + ReadAll(dir / "target") + ReadAll(dir / "twin"), "new!old!old!");
    EXPECT_FALSE(files.WriteAtomic(dir / "no-folder/record", "new!", 4));
    EXPECT_TRUE(files.ReplacementRefused());
}

}  // namespace
