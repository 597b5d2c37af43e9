#include "mainwindow/main_dialog.h"

#include <commctrl.h>

#include <cstdlib>

#include "about/about_box.h"
#include "framework/gdi_scope.h"
#include "mainwindow/banner_painter.h"
#include "mainwindow/companion_launcher.h"
#include "resources/tolvane_resource.h"

namespace {

constexpr COLORREF kListBackground = RGB(166, 204, 224);
constexpr COLORREF kImageListMask = RGB(255, 0, 255);
constexpr char kWindowTitle[] = "Varnick PSD Recovery";
constexpr char kSidePictureTip[] = "Alimentare!";

}  // namespace

const CommandEntry<MainDialog> MainDialog::kCommands[] = {
    {IDC_EXIT, BN_CLICKED, &MainDialog::ExitProgram},
    {IDM_EXIT, kMenuCommand, &MainDialog::ExitProgram},
    {IDC_HELPBUTTON, BN_CLICKED, &MainDialog::OpenHelp},
    {IDM_LAUNCH_HELP, kMenuCommand, &MainDialog::OpenHelp},
    {IDC_FILTER_EDIT, EN_KILLFOCUS, &MainDialog::ApplyDropOptions},
    {IDC_ACCEPT_FILES, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_ACCEPT_FOLDERS, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_ALLOW_DUPLICATES, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_USE_CALLBACK, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_FILTER_ALL, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_FILTER_EXTENSION, BN_CLICKED, &MainDialog::ApplyDropOptions},
    {IDC_CLEAR_LIST, kMenuCommand, &MainDialog::ClearList},
    {IDC_OPEN, BN_CLICKED, &MainDialog::AddFileByDialog},
    {IDM_ADD_FILE, kMenuCommand, &MainDialog::AddFileByDialog},
    {IDC_EXTRACT, BN_CLICKED, &MainDialog::RecoverCommand},
    {IDM_RECOVER, kMenuCommand, &MainDialog::RecoverCommand},
    {IDM_CTX_RECOVER, kMenuCommand, &MainDialog::RecoverCommand},
    {IDC_EMPTY_LIST, BN_CLICKED, &MainDialog::ClearList},
    {IDM_CLEAR_LIST, kMenuCommand, &MainDialog::ClearList},
    {IDC_OPTIONS, BN_CLICKED, &MainDialog::OpenConfiguration},
    {IDM_OPTIONS, kMenuCommand, &MainDialog::OpenConfiguration},
    {IDC_FILE_MENU, BN_CLICKED, &MainDialog::ShowFileMenu},
    {IDC_OPTIONS_MENU, BN_CLICKED, &MainDialog::ShowOptionsMenu},
    {IDC_HELP_MENU, BN_CLICKED, &MainDialog::ShowHelpMenu},
    {IDC_DELETE, BN_CLICKED, &MainDialog::DeleteFileCommand},
    {IDM_DELETE_FILE, kMenuCommand, &MainDialog::DeleteFileCommand},
    {IDM_CTX_DELETE, kMenuCommand, &MainDialog::DeleteFileCommand},
    {IDM_CTX_REMOVE, kMenuCommand, &MainDialog::RemoveFromList},
    {IDM_ABOUT, kMenuCommand, &MainDialog::AboutCommand},
};

const NotifyEntry<MainDialog> MainDialog::kNotifications[] = {
    {IDC_FILELIST, static_cast<UINT>(NM_RCLICK), &MainDialog::ShowListMenu},
};

MainDialog::MainDialog(HINSTANCE instance,
                       Win32Platform& platform,
                       FileSystem& files,
                       std::vector<std::string> startup_files)
    : Dialog(instance, IDD_MAIN),
      platform_(platform),
      files_(files),
      startup_files_(std::move(startup_files)),
      fileList(platform),
      fileCommands(fileList, platform, files),
      appIcon(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP))) {}

const std::pair<CHoverButton MainDialog::*, int> MainDialog::kHoverButtons[] = {
    {&MainDialog::openButton, IDC_OPEN},
    {&MainDialog::extractButton, IDC_EXTRACT},
    {&MainDialog::emptyListButton, IDC_EMPTY_LIST},
    {&MainDialog::deleteButton, IDC_DELETE},
    {&MainDialog::helpButton, IDC_HELPBUTTON},
    {&MainDialog::optionsButton, IDC_OPTIONS},
    {&MainDialog::exitButton, IDC_EXIT},
    {&MainDialog::sidePicture, IDC_SIDE_PICTURE},
};

const CHoverButton& MainDialog::HoverButton(int control_id) const {
    for (const auto& [button, id] : kHoverButtons) {
        if (id == control_id)
            return this->*button;
    }
    return sidePicture;
}

std::string MainDialog::Text(const SixLanguageText& entry) const {
    return Localize(entry, currentLanguage, TextEncoding::Cp1252);
}

bool MainDialog::OnInitDialog() {
    platform_.SetOwner(Hwnd());
    fileList.Attach(Hwnd(), IDC_FILELIST);
    for (const auto& [button, id] : kHoverButtons)
        (this->*button).Attach(Hwnd(), id);
    ::CheckDlgButton(Hwnd(), IDC_ACCEPT_FILES, BST_CHECKED);
    ::CheckDlgButton(Hwnd(), IDC_ACCEPT_FOLDERS, BST_CHECKED);
    ::CheckRadioButton(Hwnd(), IDC_FILTER_ALL, IDC_FILTER_EXTENSION, IDC_FILTER_ALL);
    ::SetDlgItemTextA(Hwnd(), IDC_FILTER_EDIT, ".txt");

    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
    carveResult = CarveResult{};
    currentLanguage = LanguageId::English;
    ShowSplash();

    const std::string settings_path = SettingsStore::PathIn(platform_.SettingsDirectory(), '\\');
    settings_ = std::make_unique<SettingsStore>(files_, platform_, settings_path);
    recover_ = std::make_unique<::RecoverCommand>(files_, platform_, *settings_);
    ::SendMessageA(fileList.Hwnd(), LVM_SETBKCOLOR, 0, kListBackground);
    const StartupSettings startup = settings_->LoadAtStartup();
    currentLanguage = startup.language;
    programFolder = startup.programFolder;

    SetUpFileList();
    ::SetWindowTextA(Hwnd(), kWindowTitle);
    HWND progress = Item(IDC_PROGRESS);
    ::ShowWindow(progress, SW_HIDE);
    ::SendMessageA(progress, PBM_SETSTEP, 1, 0);
    ::SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 10));
    SetUpButtons();
    menuSideWidthText = "20";
    menuStripBitmap = 1;
    menuStripTile = 1;
    menuStripOnSubmenus = 0;
    AddStartupFiles();
    return true;
}

void MainDialog::SetUpFileList() {
    RECT client{};
    ::GetClientRect(fileList.Hwnd(), &client);
    firstColumnWidth = client.right * 6 / 10;
    InsertColumns(firstColumnWidth, 60);
    ::SendMessageA(fileList.Hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    fileImages.Reset(::ImageList_LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_FILE_IMAGES), 16, 16, kImageListMask,
                                            IMAGE_BITMAP, LR_CREATEDIBSECTION));
    ::SendMessageA(fileList.Hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fileImages.Get()));
    DropOptions options;
    options.flags = AcceptFiles;
    fileList.SetDropOptions(options);
}

void MainDialog::SetUpButtons() {
    sidePicture.LoadBitmap(IDB_SIDE_PICTURE);
    sidePicture.SetToolTipText(kSidePictureTip, true);
    for (int i = 0; i < kMenuBarImageCount; ++i) {
        menuBarImages[static_cast<size_t>(i)].Reset(static_cast<HBITMAP>(
            ::LoadImageA(Instance(), MAKEINTRESOURCEA(kFirstMenuBarImage + i), IMAGE_BITMAP, 0, 0, 0)));
    }
    SetMenuBarImages();
    const std::pair<CHoverButton*, int> faces[] = {
        {&openButton, IDB_OPEN},
        {&extractButton, IDB_EXTRACT},
        {&optionsButton, IDB_OPTIONS},
        {&helpButton, IDB_HELP},
        {&exitButton, IDB_EXIT},
        {&deleteButton, IDB_DELETE},
        {&emptyListButton, IDB_EMPTY_LIST},
    };
    for (const auto& [button, bitmap] : faces)
        button->LoadBitmap(bitmap);
    ApplyButtonTips();
}

void MainDialog::AddStartupFiles() {
    for (const std::string& path : startup_files_)
        fileList.AddDroppedPath(path);
    if (startup_files_.size() == 1 && fileList.RowCount() > 0)
        fileList.SelectRow(0);
}

void MainDialog::InsertColumns(int first_width, int size_width) {
    const std::pair<const SixLanguageText*, int> columns[] = {
        {&ColPathname, first_width}, {&ColSize, size_width}, {&ColDate, 80}, {&ColTime, 80}};
    int index = 0;
    for (const auto& [header, width] : columns) {
        std::string text = Text(*header);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = text.data();
        column.iSubItem = index;
        ::SendMessageA(fileList.Hwnd(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

void MainDialog::RebuildColumns() {
    for (int column = 3; column >= 0; --column)
        ::SendMessageA(fileList.Hwnd(), LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0);
    InsertColumns(firstColumnWidth - 20, 80);
}

void MainDialog::ApplyButtonTips() {
    const std::pair<CHoverButton*, const SixLanguageText*> tips[] = {
        {&openButton, &TipOpen},           {&extractButton, &TipExtract}, {&optionsButton, &TipOptions},
        {&helpButton, &TipHelp},           {&exitButton, &TipExit},       {&deleteButton, &TipDelete},
        {&emptyListButton, &TipEmptyList},
    };
    for (const auto& [button, tip] : tips)
        button->SetToolTipText(Text(*tip).c_str(), true);
}

void MainDialog::SetMenuBarImages() {
    const MenuBarImageIds ids = MenuBarImagesFor(currentLanguage);
    const std::pair<int, int> buttons[] = {
        {IDC_FILE_MENU, ids.file}, {IDC_OPTIONS_MENU, ids.options}, {IDC_HELP_MENU, ids.help}};
    for (const auto& [control, bitmap] : buttons) {
        HBITMAP image = menuBarImages[static_cast<size_t>(bitmap - kFirstMenuBarImage)].Get();
        ::SendMessageA(Item(control), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
    }
}

void MainDialog::SetLanguage(LanguageId id) {
    currentLanguage = id;
    ApplyButtonTips();
    SetMenuBarImages();
    RebuildColumns();
    settings_->SaveLanguage(currentLanguage);
}

std::optional<std::string> MainDialog::PathOfRow(int row) const {
    if (row < 0)
        return std::nullopt;
    return fileList.CellText(row, 0);
}

void MainDialog::RecoverCommand() {
    carveResult = recover_->Recover(PathOfRow(fileList.SelectedRow()), lastAddedSize, currentLanguage);
}

void MainDialog::DeleteFileCommand() {
    const int row = fileList.SelectedRow();
    if (recover_->DeleteFileCommand(PathOfRow(row), currentLanguage))
        fileList.DeleteRow(row);
}

void MainDialog::AddFileByDialog() {
    if (const auto size = fileCommands.AddFileByDialog(Hwnd(), Text(OpenDialogTitle)))
        lastAddedSize = *size;
}

void MainDialog::OpenHelp() {
    StartCompanion(files_, platform_, programFolder, kHelpProgram, currentLanguage);
}

void MainDialog::OpenConfiguration() {
    StartCompanion(files_, platform_, programFolder, kConfigurationProgram, currentLanguage);
}

void MainDialog::ShowMenu(PopupMenu menu) {
    MenuStrip strip;
    if (menu == PopupMenu::File) {
        strip.width = static_cast<int>(std::strtol(menuSideWidthText.c_str(), nullptr, 10));
        strip.withBitmap = menuStripBitmap != 0;
        strip.tiled = menuStripTile != 0;
        strip.onSubmenus = menuStripOnSubmenus != 0;
    }
    ShowPopupMenu(Instance(), Hwnd(), menu, currentLanguage, strip);
}

LRESULT MainDialog::ShowListMenu(const NMHDR&) {
    selectedCount = fileList.SelectedCount();
    if (selectedCount != 0)
        ShowMenu(PopupMenu::List);
    return 0;
}

// Modal over the main window, which owns it.
void MainDialog::AboutCommand() {
    AboutBox about(Instance(), platform_, files_);
    about.DoModal(Hwnd());
}

void MainDialog::ExitProgram() {
    platform_.EndProcess(9);
}

void MainDialog::OnPaint() {
    if (::IsIconic(Hwnd())) {
        PaintMinimisedIcon(Hwnd(), appIcon);
        return;
    }
    PaintDc paint(Hwnd());
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    PaintBanner(paint.Get(), client);
}

bool MainDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            if (const auto language = LanguageForCommand(id); language && code == kMenuCommand) {
                SetLanguage(*language);
                return true;
            }
            if (RunCommand(kCommands, *this, id, code))
                return true;
            break;
        }
        case WM_NOTIFY:
            if (RunNotify(kNotifications, *this, *reinterpret_cast<const NMHDR*>(lp), result))
                return true;
            break;
        case WM_HELP:
            // F1, which Windows users press for help before anything else.
            OpenHelp();
            *result = TRUE;
            return true;
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_QUERYDRAGICON:
            *result = reinterpret_cast<LRESULT>(appIcon);
            return true;
        case WM_CLOSE:
            ExitProgram();
            return true;
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}
