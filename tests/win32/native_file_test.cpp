// The Windows side of the file seam, under Wine: names that exist are never written through, what is not a disk file
// is refused, a replacement goes over the old file whole, and a write in place only over a file of the same size.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "framework/native_file.h"
#include "tests/win32/window_test_support.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(NativeFileTest, CreatesOnlyNewNamesAndReplacesWhole) {
    WinTempDir dir;
    std::string error;
    std::ofstream(dir / "old.jpg", std::ios::binary) << "kept";
    ASSERT_TRUE(::CreateDirectoryA((dir / "folder").c_str(), nullptr));
    for (const char* name : {"old.jpg", "folder"}) {
        NativeFile file;
        EXPECT_EQ(CreateNewFile(dir / name, &file, &error), CreateOutcome::Taken) << name;
    }
    EXPECT_EQ(ReadAll(dir / "old.jpg"), "kept");
    EXPECT_EQ(OpenForReading(dir / "folder", &error), nullptr);
    EXPECT_EQ(error, "is a folder, not a file");
    EXPECT_EQ(OpenForReading("NUL", &error), nullptr) << "a device never ends";
    EXPECT_FALSE(IsRealFolder(dir / "old.jpg"));
    EXPECT_TRUE(IsRealFolder(dir / "folder"));

    NativeFile replacement = OpenForReplacing(dir / "old.jpg", &error);
    ASSERT_NE(replacement, nullptr) << error;
    EXPECT_GE(std::fputs("new", replacement.get()), 0);
    replacement.reset();
    EXPECT_EQ(ReadAll(dir / "old.jpg"), "new");

    std::ofstream(dir / "next.tmp", std::ios::binary) << "next";
    EXPECT_TRUE(ReplaceByRename(dir / "next.tmp", dir / "old.jpg", &error)) << error;
    EXPECT_EQ(ReadAll(dir / "old.jpg"), "next");
    NativeFile in_place = OpenForOverwriting(dir / "old.jpg", 4, &error);
    ASSERT_NE(in_place, nullptr) << error;
    EXPECT_GE(std::fputs("last", in_place.get()), 0);
    in_place.reset();
    EXPECT_EQ(OpenForOverwriting(dir / "old.jpg", 5, &error), nullptr) << "never lengthened";
    EXPECT_EQ(ReadAll(dir / "old.jpg"), "last");
    EXPECT_EQ(IdentityOf(dir / "old.jpg"), IdentityOf(dir.Path() + "\\folder\\..\\old.jpg"));
    EXPECT_NE(IdentityOf(dir / "old.jpg"), IdentityOf(dir / "folder"));
}

// A symbolic link is a reparse point: it is a taken name, and never opened to be written.
TEST(NativeFileTest, NeverWritesThroughAReparsePoint) {
    WinTempDir dir;
    std::ofstream(dir / "target.txt", std::ios::binary) << "not yours";
    // Looked up at run time: the program itself targets Windows versions without symbolic links.
    using CreateLink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto create_link = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    // Wine 8.0: CreateSymbolicLinkA reports success and makes nothing.
    const bool called =
        create_link != nullptr && create_link((dir / "link.txt").c_str(), (dir / "target.txt").c_str(), 0);
    const DWORD attributes = ::GetFileAttributesA((dir / "link.txt").c_str());
    const bool made =
        called && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!made)
        GTEST_SKIP() << "this Windows cannot make symbolic links here";
    std::string error;
    NativeFile file;
    EXPECT_EQ(CreateNewFile(dir / "link.txt", &file, &error), CreateOutcome::Taken);
    EXPECT_EQ(OpenForReplacing(dir / "link.txt", &error), nullptr);
    EXPECT_EQ(OpenForOverwriting(dir / "link.txt", 9, &error), nullptr);
    EXPECT_EQ(ReadAll(dir / "target.txt"), "not yours");
}

}  // namespace
