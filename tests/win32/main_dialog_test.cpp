#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

#include "framework/gdi_scope.h"
#include "framework/stdio_file_system.h"
#include "framework/unique_handle.h"
#include "mainwindow/banner_painter.h"
#include "mainwindow/main_dialog.h"
#include "recovery/settings_record.h"
#include "resources/tolvane_resource.h"
#include "tests/win32/window_test_support.h"
#include "widgets/bmp_menu.h"

namespace {

std::vector<std::string> HeaderTexts(HWND list) {
    std::vector<std::string> texts;
    for (int index = 0;; ++index) {
        std::array<char, 64> buffer{};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer.data();
        column.cchTextMax = static_cast<int>(buffer.size());
        if (!::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)))
            return texts;
        texts.emplace_back(buffer.data());
    }
}

std::vector<int> ColumnWidths(HWND list) {
    std::vector<int> widths;
    for (int index = 0; index < 4; ++index)
        widths.push_back(static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0)));
    return widths;
}

std::string ToolTipText(const CHoverButton& button) {
    return ::ToolTipText(button.ToolTip(), button.Hwnd());
}

std::vector<uint8_t> BitmapPixels(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight) * 4);
    WindowDc screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

// The picture a menu-bar button shows is the bitmap resource `id`.
bool ShowsBitmap(HWND button, int id) {
    auto shown = reinterpret_cast<HBITMAP>(::SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
    UniqueBitmap expected(
        static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
    return shown != nullptr && BitmapPixels(shown) == BitmapPixels(expected.Get());
}

class MainDialogTest : public ::testing::Test {
  protected:
    MainDialogTest() { ::GetCurrentDirectoryA(MAX_PATH, original_directory_.data()); }
    // Windows cannot remove a folder that is the current directory; give the test folders back before they go.
    ~MainDialogTest() override {
        dialog.reset();
        ::SetCurrentDirectoryA(original_directory_.data());
    }

    void Open(std::vector<std::string> startup_files = {}) {
        dialog = std::make_unique<MainDialog>(::GetModuleHandleA(nullptr), platform, files, std::move(startup_files));
        dialog->SetSplashStep(nullptr);  // the splash has tests of its own
        ASSERT_TRUE(dialog->CreateModeless(nullptr));
        PumpMessages();
    }
    void Command(int id) {
        ::SendMessageA(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        PumpMessages();
    }
    HWND List() { return dialog->FileList().Hwnd(); }
    std::string Tip(int id) { return ToolTipText(dialog->HoverButton(id)); }
    std::string SettingsPath() { return settings_dir / kSettingsFileName; }

    WinTempDir settings_dir;
    WinTempDir work_dir;
    TestPlatform platform{settings_dir.Path()};
    StdioFileSystem files;
    std::unique_ptr<MainDialog> dialog;
    std::array<char, MAX_PATH> original_directory_{};
};

TEST(WindowsEnvironment, TextsReachTheApiAsWindows1252) {
    // A different ANSI code page would garble every accented label without failing anything else.
    EXPECT_EQ(::GetACP(), 1252u);
}

TEST_F(MainDialogTest, StartsInTheStoredLanguageWithItsLabelsAndPictures) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::Spanish);
    Open();

    EXPECT_EQ(dialog->CurrentLanguage(), LanguageId::Spanish);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(HeaderTexts(List()), (std::vector<std::string>{"Trayectoria", "Tama\xF1o KB", "Fecha", "Tiempo"}));
    RECT client{};
    ::GetClientRect(List(), &client);
    EXPECT_EQ(ColumnWidths(List()), (std::vector<int>{client.right * 6 / 10, 60, 80, 80}));
    EXPECT_EQ(Tip(IDC_EXTRACT), "Recuperaci\xF3n ");
    EXPECT_EQ(Tip(IDC_DELETE), "Quite el archivo seleccionado de disco");
    EXPECT_EQ(ToolTipText(dialog->HoverButton(IDC_SIDE_PICTURE)), "Alimentare!");
    EXPECT_TRUE(ShowsBitmap(dialog->Item(IDC_FILE_MENU), 251));
    EXPECT_TRUE(ShowsBitmap(dialog->Item(IDC_OPTIONS_MENU), 252));
    EXPECT_TRUE(ShowsBitmap(dialog->Item(IDC_HELP_MENU), 253));

    std::array<char, 64> title{};
    ::GetWindowTextA(dialog->Hwnd(), title.data(), static_cast<int>(title.size()));
    EXPECT_STREQ(title.data(), "Varnick PSD Recovery");
    EXPECT_FALSE(::IsWindowVisible(dialog->Item(IDC_PROGRESS)));
    EXPECT_EQ(::SendMessageA(List(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(166, 204, 224)));
}

TEST_F(MainDialogTest, DamagedSettingsFileIsReportedInEnglishAndReplacedWithDefaults) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::German);
    std::string bytes = ReadFileBytes(SettingsPath());
    bytes[kSettingsRecordSize] ^= 0x5A;  // the stored check value no longer matches
    WriteFileBytes(SettingsPath(), bytes);

    Open();

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Missing file. Please reinstall!");
    EXPECT_EQ(platform.messages[0].caption, "Varnick PSD Recovery");
    EXPECT_EQ(dialog->CurrentLanguage(), LanguageId::English);
    EXPECT_EQ(HeaderTexts(List())[0], "Pathname");
    EXPECT_EQ(ReadFileBytes(SettingsPath()).size(), kSettingsFileSize);
}

TEST_F(MainDialogTest, LanguageCommandsRelabelTheWindowAndSaveTheChoice) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    Open();
    const int first_width = ColumnWidths(List())[0];

    Command(IDM_GERMAN);

    EXPECT_EQ(dialog->CurrentLanguage(), LanguageId::German);
    EXPECT_EQ(HeaderTexts(List()), (std::vector<std::string>{"Weg",
                                                             "Gr\xF6\xDF"
                                                             "e KB",
                                                             "Datum", "Zeit"}));
    EXPECT_EQ(ColumnWidths(List()), (std::vector<int>{first_width - 20, 80, 80, 80}));
    EXPECT_EQ(Tip(IDC_OPEN), "Datei Anzeige");
    EXPECT_EQ(Tip(IDC_EMPTY_LIST), "Liste leeren");
    EXPECT_TRUE(ShowsBitmap(dialog->Item(IDC_FILE_MENU), 245));
    std::string saved = ReadFileBytes(SettingsPath());
    ASSERT_EQ(saved.size(), kSettingsFileSize);
    EXPECT_EQ(saved[kLanguageField.offset], 3);

    // The same language again still rebuilds the columns (widths stay) and rewrites the file.
    ::DeleteFileA(SettingsPath().c_str());
    WriteSettingsFile(settings_dir.Path(), LanguageId::French);
    Command(IDM_GERMAN);
    EXPECT_EQ(ColumnWidths(List()), (std::vector<int>{first_width - 20, 80, 80, 80}));
    EXPECT_EQ(ReadFileBytes(SettingsPath())[kLanguageField.offset], 3);

    Command(IDM_FRENCH);
    EXPECT_EQ(HeaderTexts(List())[1], " KB");
    Command(IDM_ROMANIAN);
    EXPECT_EQ(Tip(IDC_EXIT), "Terminare program");
    EXPECT_TRUE(ShowsBitmap(dialog->Item(IDC_HELP_MENU), 256));
}

TEST_F(MainDialogTest, StartupFilesJoinTheListAndALoneOneIsSelected) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    WriteFileBytes(work_dir / "a.psd", std::string(2048, 'a'));
    WriteFileBytes(work_dir / "b.psd", "b");

    Open({work_dir / "a.psd", work_dir / "b.psd", work_dir / "missing.psd"});
    EXPECT_EQ(dialog->FileList().RowCount(), 2);
    EXPECT_EQ(dialog->FileList().CellText(0, 0), work_dir / "b.psd");
    EXPECT_EQ(dialog->FileList().CellText(1, 1), "2");
    EXPECT_EQ(dialog->FileList().SelectedRow(), -1);
    dialog.reset();

    Open({work_dir / "a.psd"});
    EXPECT_EQ(dialog->FileList().SelectedRow(), 0);
}

TEST_F(MainDialogTest, ExtractRecoversTheSelectedFileAndReports) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    ASSERT_TRUE(::CopyFileA(TOLVANE_SAMPLE, (work_dir / "damaged_photo.psd").c_str(), FALSE));
    ::SetCurrentDirectoryA(work_dir.Path().c_str());
    Open({work_dir / "damaged_photo.psd"});

    ::SendMessageA(dialog->Item(IDC_EXTRACT), BM_CLICK, 0, 0);
    PumpMessages();

    const std::string folder = work_dir / "damaged_photoREC";
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "( 3 )image(s) recovered stored in directory " + folder + "!");
    EXPECT_EQ(platform.messages[0].caption, "Varnick PSD Recovery");
    EXPECT_EQ(dialog->LastCarve().imageCount, 3);
    EXPECT_EQ(ReadFileBytes(folder + "\\1.jpg").size(), 2954u);
    EXPECT_EQ(ReadFileBytes(folder + "\\2.jpg").size(), 13672u);
    EXPECT_EQ(ReadFileBytes(folder + "\\1.gif").size(), 4715u);
    EXPECT_EQ(ReadFileBytes(work_dir / "damaged_photo.psd"), ReadFileBytes(TOLVANE_SAMPLE));
}

TEST_F(MainDialogTest, CommandsWithoutASelectionSayNoFileSelected) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::French);
    Open();
    Command(IDC_EXTRACT);
    Command(IDM_CTX_DELETE);
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const RecordedMessage& message : platform.messages) {
        EXPECT_EQ(message.text, "Aucun fichier n'a choisi!");
        EXPECT_EQ(message.caption, "");
    }
}

TEST_F(MainDialogTest, DeleteFileAsksThenRemovesFileAndRow) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    const std::string victim = work_dir / "victim.psd";
    WriteFileBytes(victim, "x");
    Open({victim});

    Command(IDC_DELETE);  // answered No
    EXPECT_TRUE(FileExists(victim));
    EXPECT_EQ(dialog->FileList().RowCount(), 1);

    platform.answers.push_back(MessageAnswer::Yes);
    Command(IDM_DELETE_FILE);
    EXPECT_FALSE(FileExists(victim));
    EXPECT_EQ(dialog->FileList().RowCount(), 0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, "Are you sure you want to delete  file " + victim + " ?");
    EXPECT_EQ(platform.messages[1].caption, "");
}

TEST_F(MainDialogTest, DeleteFileThatCannotGoKeepsTheRow) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    const std::string locked = work_dir / "locked.psd";
    WriteFileBytes(locked, "x");
    Open({locked});
    HANDLE holder = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    platform.answers.push_back(MessageAnswer::Yes);
    Command(IDM_CTX_DELETE);

    ::CloseHandle(holder);
    EXPECT_TRUE(FileExists(locked));
    EXPECT_EQ(dialog->FileList().RowCount(), 1);
    EXPECT_EQ(platform.messages.back().text, "Error writing file. Quit any application that might use the file!");
}

TEST_F(MainDialogTest, CommandsRunOnTheNotificationTheirTableNames) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    WriteFileBytes(work_dir / "a.psd", "a");
    Open({work_dir / "a.psd"});
    // Setting the hidden edit's ".txt" at start-up changed it; the files-only options of the start stay.
    EXPECT_EQ(dialog->FileList().GetDropOptions().flags, AcceptFiles);
    ::SendMessageA(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_FILTER_EDIT, EN_CHANGE), 0);
    EXPECT_EQ(dialog->FileList().GetDropOptions().flags, AcceptFiles);
    // An owner-drawn button's double click is no second click.
    ::SendMessageA(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_EMPTY_LIST, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(dialog->FileList().RowCount(), 1);
    Command(IDC_CLEAR_LIST);
    EXPECT_EQ(dialog->FileList().RowCount(), 0);
}

TEST_F(MainDialogTest, HiddenOptionControlsRewriteTheDropOptions) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    Open();
    auto click = [&](int id, bool checked) {
        ::CheckDlgButton(dialog->Hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
        ::SendMessageA(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    };
    click(IDC_USE_CALLBACK, true);
    DropOptions options = dialog->FileList().GetDropOptions();
    EXPECT_EQ(options.flags, AcceptFiles | AcceptFolders | UseCallback);
    EXPECT_FALSE(::IsWindowEnabled(dialog->Item(IDC_ALLOW_DUPLICATES)));
    const std::string folder = work_dir / "sub";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    dialog->FileList().AddDroppedPath(folder);
    EXPECT_EQ(dialog->FileList().CellText(0, 0), folder);
    EXPECT_EQ(dialog->FileList().CellText(0, 1), "Inserted from callback function");

    click(IDC_USE_CALLBACK, false);
    ::CheckRadioButton(dialog->Hwnd(), IDC_FILTER_ALL, IDC_FILTER_EXTENSION, IDC_FILTER_EXTENSION);
    ::SetDlgItemTextA(dialog->Hwnd(), IDC_FILTER_EDIT, ".psd");
    ::SendMessageA(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_FILTER_EDIT, EN_KILLFOCUS), 0);
    options = dialog->FileList().GetDropOptions();
    EXPECT_EQ(options.flags, AcceptFiles | AcceptFolders | FilterByExtension);
    EXPECT_EQ(options.extension, ".psd");
    EXPECT_EQ(options.insertCallback, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(dialog->Item(IDC_ALLOW_DUPLICATES)));

    click(IDC_ACCEPT_FILES, false);
    for (int id : {IDC_FILTER_ALL, IDC_FILTER_EXTENSION, IDC_FILTER_EDIT})
        EXPECT_FALSE(::IsWindowEnabled(dialog->Item(id))) << id;
    EXPECT_EQ(dialog->FileList().GetDropOptions().flags & AcceptFiles, 0u);
}

TEST_F(MainDialogTest, RemoveFromListTakesOnlyTheSelectedRow) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::German);
    const std::string kept = work_dir / "kept.psd";
    WriteFileBytes(kept, "k");
    Open({kept});
    Command(IDM_CTX_REMOVE);
    EXPECT_EQ(dialog->FileList().RowCount(), 0);
    EXPECT_TRUE(FileExists(kept));
    Command(IDM_CTX_REMOVE);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "No file selected");  // English in every language
    EXPECT_EQ(platform.messages[0].caption, "");
}

TEST_F(MainDialogTest, OpenAddsTheChosenFileTitledInTheLanguage) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::German);
    const std::string chosen = work_dir / "chosen.psd";
    WriteFileBytes(chosen, std::string(5000, 'c'));
    Open();
    std::string title;
    auto answer_with = [&](const std::string& name) {
        return WhileShown([&title, name] {
            HWND box = ThreadWindow("#32770");
            if (box == nullptr)
                return false;
            std::array<char, 64> text{};
            ::GetWindowTextA(box, text.data(), static_cast<int>(text.size()));
            title = text.data();
            HWND edit = ::GetDlgItem(box, 0x480) != nullptr ? ::GetDlgItem(box, 0x480) : ::GetDlgItem(box, 0x47C);
            ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
    };
    {
        const WhileShown answer = answer_with(chosen);
        Command(IDC_OPEN);
    }
    EXPECT_EQ(title, "Datei vorzuw\xE4hlen ");
    ASSERT_EQ(dialog->FileList().RowCount(), 1);
    EXPECT_EQ(dialog->FileList().CellText(0, 0), chosen);
    EXPECT_EQ(dialog->FileList().CellText(0, 1), "4");
    EXPECT_FALSE(dialog->FileList().CellText(0, 2).empty());
    EXPECT_EQ(dialog->LastAddedSize(), 5000u);
    {
        const WhileShown answer = answer_with(work_dir / "typed but absent.psd");
        Command(IDM_ADD_FILE);
    }
    EXPECT_EQ(dialog->FileList().RowCount(), 1);
    EXPECT_EQ(dialog->LastAddedSize(), 5000u);
}

// The rows of the bitmap menu open now, as the menu shows them.
std::vector<std::string> OpenMenuTexts() {
    std::vector<std::string> texts;
    HWND bar = ::FindWindowExA(ThreadWindow("BitmapMenu"), nullptr, TOOLBARCLASSNAMEA, nullptr);
    const auto count = static_cast<int>(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        ::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        std::array<char, 260> text{};
        ::SendMessageA(bar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand),
                       reinterpret_cast<LPARAM>(text.data()));
        texts.push_back(std::to_string(button.idCommand) + " " + text.data());
    }
    return texts;
}

// Looks at the menu that opens, then closes it with Escape.
WhileShown WhenMenuOpens(std::function<void(HWND popup)> look) {
    return WhileShown([look] {
        HWND popup = ThreadWindow("BitmapMenu");
        if (popup == nullptr)
            return false;
        look(popup);
        ::PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    });
}

TEST_F(MainDialogTest, MenusShowTheLanguageAndTheListMenuNeedsASelection) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::Italian);
    WriteFileBytes(work_dir / "a.psd", "a");
    Open({work_dir / "a.psd"});
    std::vector<std::string> texts;
    std::vector<std::vector<uint8_t>> pictures;
    {
        const WhileShown look = WhenMenuOpens([&](HWND popup) {
            texts = OpenMenuTexts();
            HMENU menu = CBmpMenu::FromWindow(popup)->Menu();
            for (UINT position : {1u, 4u}) {
                MENUITEMINFOA item{};
                item.cbSize = sizeof item;
                item.fMask = MIIM_CHECKMARKS;
                ::GetMenuItemInfoA(menu, position, TRUE, &item);
                pictures.push_back(BitmapPixels(item.hbmpUnchecked));
            }
        });
        Command(IDC_OPTIONS_MENU);
    }
    EXPECT_EQ(texts.front(), "32798 Opzioni");
    EXPECT_EQ(texts.at(4), "32822 Italiano");
    ASSERT_EQ(pictures.size(), 2u);
    auto resource_pixels = [](int id) {
        UniqueBitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
        return BitmapPixels(bitmap.Get());
    };
    EXPECT_EQ(pictures[0], resource_pixels(IDB_FLAG_ENGLISH));
    EXPECT_EQ(pictures[1], resource_pixels(IDB_ITEM_CURRENT_LANGUAGE)) << "the check mark at Italiano";

    // With no row selected the list's right click opens nothing (an open menu would hold the test up here).
    Command(IDC_EMPTY_LIST);
    NMHDR right_click{List(), IDC_FILELIST, static_cast<UINT>(NM_RCLICK)};
    EXPECT_EQ(::SendMessageA(dialog->Hwnd(), WM_NOTIFY, IDC_FILELIST, reinterpret_cast<LPARAM>(&right_click)), 0);
}

// Counts what reaches a window as a reflected owner-draw request.
LRESULT CALLBACK CountReflections(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgReflectDrawItem)
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, ::GetWindowLongPtrA(hwnd, GWLP_USERDATA) + 1);
    return ::DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(MainDialogTest, DragIconIsTheIconAndMenuDrawingIsNotReflected) {
    WriteSettingsFile(settings_dir.Path(), LanguageId::English);
    Open();
    EXPECT_EQ(::SendMessageA(dialog->Hwnd(), WM_QUERYDRAGICON, 0, 0),
              reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))));

    WNDCLASSA counting{};
    counting.lpfnWndProc = &CountReflections;
    counting.hInstance = ::GetModuleHandleA(nullptr);
    counting.lpszClassName = "CountReflections";
    ::RegisterClassA(&counting);
    HWND window = ::CreateWindowExA(0, "CountReflections", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.hwndItem = window;  // for a menu item this field holds a menu handle, which may equal any window's
    ::SendMessageA(dialog->Hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    item.CtlType = ODT_BUTTON;
    ::SendMessageA(dialog->Hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(::GetWindowLongPtrA(window, GWLP_USERDATA), 1);
    ::DestroyWindow(window);
}

TEST(MessageBoxes, QuestionsCarryNoIconOfTheirOwn) {
    EXPECT_EQ(MessageBoxStyle(MessageButtons::YesNo, MessageIcon::None), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(MessageBoxStyle(MessageButtons::Ok, MessageIcon::None), static_cast<UINT>(MB_OK));
    EXPECT_EQ(MessageBoxStyle(MessageButtons::Ok, MessageIcon::Warning), static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(MessageBoxStyle(MessageButtons::YesNo, MessageIcon::Stop), static_cast<UINT>(MB_YESNO | MB_ICONSTOP));
}

TEST(Banner, BandsDarkenUpwardsAndWrapTheirGreen) {
    EXPECT_EQ(BandColor(0), RGB(0, 3, 123));
    EXPECT_EQ(BandColor(37), RGB(0, 114, 234));
    EXPECT_EQ(BandColor(85), RGB(0, 2, 122));  // 3 * 86 = 258 wraps at 256
}

}  // namespace
