#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/win32/window_test_support.h"
#include "widgets/drop_list_ctrl.h"

namespace {

constexpr int kListId = 1000;

// A bare list view in a window of its own, as a dialog template would make it.
class DropListTest : public ::testing::Test {
  protected:
    DropListTest() {
        parent_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
        ::CreateWindowExA(WS_EX_ACCEPTFILES, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 600, 300, parent_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr, nullptr);
        list.Attach(parent_, kListId);
        for (int column = 0; column < 4; ++column) {
            LVCOLUMNA header{};
            header.mask = LVCF_WIDTH;
            header.cx = 100;
            ::SendMessageA(list.Hwnd(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                           reinterpret_cast<LPARAM>(&header));
        }
    }
    ~DropListTest() override { ::DestroyWindow(parent_); }

    // Delivers a shell drop of `paths`, in that order, as Explorer would.
    void Drop(const std::vector<std::string>& paths) {
        size_t text_size = 1;
        for (const std::string& path : paths)
            text_size += path.size() + 1;
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + text_size);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        char* text = reinterpret_cast<char*>(header + 1);
        for (const std::string& path : paths) {
            std::copy(path.begin(), path.end(), text);
            text += path.size() + 1;
        }
        ::GlobalUnlock(memory);
        ::SendMessageA(list.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (int row = 0; row < list.RowCount(); ++row)
            cells.push_back(list.CellText(row, column));
        return cells;
    }

    void SetFlags(uint32_t flags, const std::string& extension = "") {
        DropOptions options;
        options.flags = flags;
        options.extension = extension;
        ASSERT_TRUE(list.SetDropOptions(options));
    }

    std::string MakeFile(const std::string& name, size_t size) {
        WriteFileBytes(dir / name, std::string(size, 'x'));
        return dir / name;
    }

    WinTempDir dir;
    TestPlatform platform{dir.Path()};
    HWND parent_ = nullptr;
    DropListCtrl list{platform};
};

bool MakeShortcut(const std::string& link_path, const std::string& target) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())) ||
        FAILED(link->SetPath(target.c_str())) || FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
        return false;
    std::wstring wide(link_path.begin(), link_path.end());
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

TEST_F(DropListTest, OneDropLandsAtTheTopLastListedFirstWithSizes) {
    SetFlags(AcceptFiles);
    Drop({MakeFile("old.psd", 10)});
    Drop({MakeFile("a.psd", 1023), MakeFile("b.psd", 2048), MakeFile("c.psd", 0)});

    EXPECT_EQ(Column(0), (std::vector<std::string>{dir / "c.psd", dir / "b.psd", dir / "a.psd", dir / "old.psd"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"0", "2", "0", "0"}));
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST_F(DropListTest, DuplicatesAreRefusedWhateverTheirCaseUnlessAllowed) {
    SetFlags(AcceptFiles);
    const std::string path = MakeFile("Photo.psd", 5);
    Drop({path, MakeFile("other.psd", 5)});
    std::string shouted = path;
    for (char& c : shouted)
        c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    Drop({shouted});
    EXPECT_EQ(Column(0), (std::vector<std::string>{dir / "other.psd", path}));

    SetFlags(AcceptFiles | AllowDuplicates);
    Drop({path});
    EXPECT_EQ(list.RowCount(), 3);
}

TEST_F(DropListTest, OptionsDecideWhichKindsAndExtensionsAreWanted) {
    const std::string folder = dir / "sub.psd";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<std::string> dropped = {folder, MakeFile("A.PSD", 1), MakeFile("a.psd.bak", 1),
                                              MakeFile("noext", 1), dir / "vanished.psd"};

    SetFlags(AcceptFiles);
    Drop(dropped);
    EXPECT_EQ(Column(0), (std::vector<std::string>{dir / "noext", dir / "a.psd.bak", dir / "A.PSD"}));

    ::SendMessageA(list.Hwnd(), LVM_DELETEALLITEMS, 0, 0);
    SetFlags(AcceptFiles | AcceptFolders | FilterByExtension, ".psd");
    Drop(dropped);
    EXPECT_EQ(Column(0), (std::vector<std::string>{dir / "A.PSD", folder}));
    // A folder is wanted, but cannot be opened as a file: no size rather than a wrong one.
    EXPECT_EQ(list.CellText(1, 1), "");

    ::SendMessageA(list.Hwnd(), LVM_DELETEALLITEMS, 0, 0);
    SetFlags(AcceptFiles | FilterByExtension, "psd");
    Drop(dropped);
    EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(DropListTest, ShortcutsBringTheirTargetAndBrokenOnesNothing) {
    SetFlags(AcceptFiles);
    const std::string target = MakeFile("target.psd", 4096);
    ASSERT_TRUE(MakeShortcut(dir / "to target.lnk", target));
    Drop({dir / "to target.lnk"});
    EXPECT_EQ(Column(0), (std::vector<std::string>{target}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"4"}));

    const std::string doomed = MakeFile("doomed.psd", 1);
    ASSERT_TRUE(MakeShortcut(dir / "to doomed.lnk", doomed));
    ::DeleteFileA(doomed.c_str());
    Drop({dir / "to doomed.lnk"});
    EXPECT_EQ(list.RowCount(), 1);
}

TEST_F(DropListTest, DateAndTimeAreTheLastWriteInUtcWithoutPadding) {
    SetFlags(AcceptFiles);
    const std::string path = MakeFile("dated.psd", 1);
    SYSTEMTIME when{};
    when.wYear = 2004;
    when.wMonth = 3;
    when.wDay = 5;
    when.wHour = 9;
    when.wMinute = 7;
    when.wSecond = 3;
    FILETIME stamp{};
    ::SystemTimeToFileTime(&when, &stamp);
    {
        UniqueFile file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &stamp));
    }
    Drop({path});
    EXPECT_EQ(list.CellText(0, 2), "5/3/2004");
    EXPECT_EQ(list.CellText(0, 3), "9:7:3");
}

TEST_F(DropListTest, FilesOfMoreThanTwoGigabytesShowTheirTrueSize) {
    SetFlags(AcceptFiles);
    const std::string path = dir / "huge.psd";
    {
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        LARGE_INTEGER size{};
        size.QuadPart = int64_t{3} << 30;
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.Get()));
    }
    Drop({path});
    EXPECT_EQ(list.CellText(0, 1), "3145728");
}

std::vector<std::pair<std::string, uint32_t>> g_inserted;

void RecordInsertion(DropListCtrl&, const std::string& path, uint32_t kind) {
    g_inserted.emplace_back(path, kind);
}

TEST_F(DropListTest, CallbackTakesWantedItemsInsteadOfTheList) {
    DropOptions refused;
    refused.flags = AcceptFiles | UseCallback;
    EXPECT_FALSE(list.SetDropOptions(refused));
    EXPECT_EQ(list.GetDropOptions().flags, AcceptFiles | AcceptFolders);

    DropOptions options;
    options.flags = AcceptFiles | AcceptFolders | UseCallback;
    options.insertCallback = &RecordInsertion;
    ASSERT_TRUE(list.SetDropOptions(options));
    g_inserted.clear();
    const std::string file = MakeFile("f.psd", 1);
    Drop({dir.Path(), file});
    EXPECT_EQ(g_inserted, (std::vector<std::pair<std::string, uint32_t>>{{dir.Path(), FolderPath}, {file, FilePath}}));
    EXPECT_EQ(list.RowCount(), 0);
}

}  // namespace
