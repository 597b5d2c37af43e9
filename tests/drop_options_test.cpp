// Which dropped paths the file list wants, and the shell's idea of a file's extension.
#include <gtest/gtest.h>

#include "languages/code_page.h"
#include "widgets/drop_options.h"
#include "widgets/file_list_entry.h"

namespace {

TEST(DropOptions, ExtensionIsFoundTheShellsWay) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Work\\photo.psd", ".psd"}, {"C:\\Work\\a.psd.bak", ".bak"},
        {"C:\\Work\\noext", ""},         {"C:\\my.dir\\photo", ""},
        {"C:\\Work\\photo.", "."},       {"C:\\Work\\.hidden", ".hidden"},
        {"C:\\Work\\a.b c", ""},         {"", ""},
        {"C:\\Work\\A.PSD", ".PSD"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(PathExtension(path), extension) << path;
}

TEST(DropOptions, ExtensionsCompareWithoutCaseIncludingAccentedLetters) {
    EXPECT_TRUE(EqualIgnoringCase(".PSD", ".psd"));
    EXPECT_TRUE(EqualIgnoringCase(".\xC9T\xC9", ".\xE9t\xE9"));  // .ÉTÉ / .été
    EXPECT_FALSE(EqualIgnoringCase(".\xD7", ".\xF7"));           // × and ÷ are not a case pair
    EXPECT_FALSE(EqualIgnoringCase(".psd", "psd"));
}

TEST(DropOptions, PathsAreWantedByKindExtensionAndOptions) {
    struct Case {
        uint32_t flags;
        const char* extension;
        PathType type;
        const char* path;
        bool wanted;
        uint32_t kind;
    };
    const Case cases[] = {
        {AcceptFiles, "", PathType::RegularFile, "x.psd", true, FilePath},
        {AcceptFiles, "", PathType::Directory, "dir", false, 0},
        {AcceptFiles, "", PathType::Unreadable, "gone.psd", false, 0},
        {AcceptFiles, "", PathType::Other, "CON", false, 0},
        {AcceptFolders, "", PathType::RegularFile, "x.psd", false, 0},
        {AcceptFolders | FilterByExtension, ".psd", PathType::Directory, "any.name", true, FolderPath},
        {AcceptFiles | FilterByExtension, ".psd", PathType::RegularFile, "A.PSD", true, FilePath},
        {AcceptFiles | FilterByExtension, ".psd", PathType::RegularFile, "a.psd.bak", false, FilePath},
        {AcceptFiles | FilterByExtension, ".psd", PathType::RegularFile, "noext", false, FilePath},
        {AcceptFiles | FilterByExtension, "psd", PathType::RegularFile, "a.psd", false, FilePath},
    };
    for (const Case& c : cases) {
        DropOptions options;
        options.flags = c.flags;
        options.extension = c.extension;
        uint32_t kind = 0;
        EXPECT_EQ(CheckDroppedPath(options, c.type, c.path, &kind), c.wanted) << c.path << " flags " << c.flags;
        EXPECT_EQ(kind, c.kind) << c.path;
    }
}

TEST(FileListEntry, ColumnsAreWholeKilobytesAndUnpaddedUtcFields) {
    EXPECT_EQ(SizeColumnText(0), "0");
    EXPECT_EQ(SizeColumnText(1023), "0");
    EXPECT_EQ(SizeColumnText(2048), "2");
    EXPECT_EQ(SizeColumnText(uint64_t{5} << 30), "5242880");  // past what 32 bits hold in bytes
    const CalendarTime when{2004, 3, 5, 9, 7, 3};
    EXPECT_EQ(DateColumnText(when), "5/3/2004");
    EXPECT_EQ(TimeColumnText(when), "9:7:3");
}

}  // namespace
