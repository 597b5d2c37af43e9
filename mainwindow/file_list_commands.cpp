#include "mainwindow/file_list_commands.h"

#include <commdlg.h>

#include <array>

#include "mainwindow/drop_option_fields.h"
#include "recovery/recover_command.h"
#include "resources/tolvane_resource.h"

namespace {

constexpr char kPsdFilter[] = "Photosop PSD Files\0*.psd\0";
constexpr char kNoFileSelected[] = "No file selected";
constexpr char kInsertedFromCallback[] = "Inserted from callback function";
constexpr int kDocumentImage = 0;
constexpr int kFolderImage = 1;

bool IsChecked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

DropOptionFields ReadFields(HWND dialog) {
    DropOptionFields fields;
    fields.acceptFiles = IsChecked(dialog, IDC_ACCEPT_FILES);
    fields.acceptFolders = IsChecked(dialog, IDC_ACCEPT_FOLDERS);
    fields.allowDuplicates = IsChecked(dialog, IDC_ALLOW_DUPLICATES);
    fields.useCallback = IsChecked(dialog, IDC_USE_CALLBACK);
    fields.filterMode = IsChecked(dialog, IDC_FILTER_EXTENSION) ? 1 : 0;
    std::array<char, MAX_PATH> extension{};
    ::GetDlgItemTextA(dialog, IDC_FILTER_EDIT, extension.data(), static_cast<int>(extension.size()));
    fields.filterExtension = extension.data();
    return fields;
}

}  // namespace

FileListCommands::FileListCommands(DropListCtrl& list, Platform& platform, FileSystem& files)
    : list_(list), platform_(platform), files_(files) {}

std::optional<uint64_t> FileListCommands::AddFileByDialog(HWND owner, const std::string& title) {
    std::array<char, MAX_PATH> name{};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the 76-byte form every Windows version takes
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kPsdFilter;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST;
    // The dialog makes the chosen file's folder the current directory, where Recover puts its output by default.
    if (!::GetOpenFileNameA(&dialog))
        return std::nullopt;
    const std::string path = name.data();
    // Only the folder must exist: a name typed into it may name nothing, and then there is no row to show.
    if (!files_.Exists(path))
        return std::nullopt;
    const uint64_t size = FileSizeOf(files_, path);
    list_.FillFileColumns(list_.InsertRow(path), path, size);
    return size;
}

void FileListCommands::ClearList() {
    list_.DeleteAllRows();
}

void FileListCommands::RemoveFromList() {
    const int row = list_.SelectedRow();
    if (row < 0) {
        platform_.ShowMessage(kNoFileSelected, "", MessageButtons::Ok);
        return;
    }
    list_.DeleteRow(row);
}

void FileListCommands::ApplyDropOptions(HWND dialog) {
    const DropOptionFields fields = ReadFields(dialog);
    for (int id : {IDC_FILTER_ALL, IDC_FILTER_EXTENSION, IDC_FILTER_EDIT})
        ::EnableWindow(::GetDlgItem(dialog, id), fields.acceptFiles);
    ::EnableWindow(::GetDlgItem(dialog, IDC_ALLOW_DUPLICATES), !fields.useCallback);
    list_.SetDropOptions(MergeDropOptions(list_.GetDropOptions(), fields, &FileListCommands::InsertFromCallback));
}

void FileListCommands::InsertFromCallback(DropListCtrl& list, const std::string& path, uint32_t kind) {
    const int row = list.InsertRow(path, kind == FolderPath ? kFolderImage : kDocumentImage);
    list.SetCellText(row, 1, kInsertedFromCallback);
}
