// The file list's hidden drop options and the start of the companion programs, apart from the window.
#include <gtest/gtest.h>

#include "mainwindow/companion_launcher.h"
#include "mainwindow/drop_option_fields.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_system.h"

namespace {

void Callback(DropListCtrl&, const std::string&, uint32_t) {}

TEST(DropOptionFields, EachFieldSetsOrClearsItsBitAndTheCallbackFollows) {
    struct Case {
        const char* what;
        DropOptionFields fields;
        uint32_t flags;
        const char* extension;
        bool callback;
    };
    const Case cases[] = {
        {"the controls as they start", {}, AcceptFiles | AcceptFolders, "", false},
        {"nothing accepted", {false, false, false, false, 0, ".txt"}, 0, "", false},
        {"duplicates and callback",
         {true, false, true, true, 0, ".txt"},
         AcceptFiles | AllowDuplicates | UseCallback,
         "",
         true},
        {"filter by extension takes the text",
         {true, true, false, false, 1, ".psd"},
         AcceptFiles | AcceptFolders | FilterByExtension,
         ".psd",
         false},
    };
    for (const Case& c : cases) {
        DropOptions current;
        current.flags = AcceptFiles | UseCallback | AllowDuplicates | FilterByExtension | 0x08;
        current.insertCallback = &Callback;
        const DropOptions merged = MergeDropOptions(current, c.fields, &Callback);
        EXPECT_EQ(merged.flags, c.flags | 0x08) << c.what;  // a bit no field names is left alone
        EXPECT_EQ(merged.extension, c.extension) << c.what;
        EXPECT_EQ(merged.insertCallback != nullptr, c.callback) << c.what;
    }
    // Back to all files: the extension filtered by before stays, unused.
    DropOptions filtered;
    filtered.flags = FilterByExtension;
    filtered.extension = ".psd";
    EXPECT_EQ(MergeDropOptions(filtered, {}, &Callback).extension, ".psd");
}

TEST(CompanionLauncher, StartsThePresentProgramQuotedOrSaysItIsMissing) {
    const std::string folder_191 = "C:\\" + std::string(187, 'f') + "\\";
    const std::string folder_190 = "C:\\" + std::string(186, 'f') + "\\";
    struct Case {
        const char* what;
        std::string folder;
        std::string_view program;
        bool present;
        std::string launched;  // empty: the missing-file message instead
    };
    const Case cases[] = {
        {"present", "C:\\Tool\\", kHelpProgram, true, "\"C:\\Tool\\Help.exe\" "},
        {"a folder with blanks", "C:\\Program Files\\Varnick\\", kConfigurationProgram, true,
         "\"C:\\Program Files\\Varnick\\Optmgr.exe\" "},
        {"absent", "C:\\Tool\\", kHelpProgram, false, ""},
        {"no installation folder recorded", "", kHelpProgram, false, ""},
        {"a path of 199 characters fits", folder_191, kHelpProgram, true, "\"" + folder_191 + "Help.exe\" "},
        {"a path of 200 characters does not", folder_190, kConfigurationProgram, true, ""},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        if (c.present)
            files.files[c.folder + std::string(c.program)] = {'M', 'Z'};
        FakePlatform platform;
        StartCompanion(files, platform, c.folder, c.program, LanguageId::German);
        if (!c.launched.empty()) {
            EXPECT_EQ(platform.launched, std::vector<std::string>{c.launched}) << c.what;
            EXPECT_TRUE(platform.messages.empty()) << c.what;
            continue;
        }
        EXPECT_TRUE(platform.launched.empty()) << c.what;
        ASSERT_EQ(platform.messages.size(), 1u) << c.what;
        EXPECT_EQ(platform.messages[0].text, "Fehlende file.Bitte installieren wieder!") << c.what;
        EXPECT_EQ(platform.messages[0].caption, "Varnick PSD Recovery") << c.what;
    }
}

}  // namespace
