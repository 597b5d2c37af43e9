#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/file_system.h"
#include "framework/platform.h"
#include "widgets/drop_list_ctrl.h"

// The commands that change the rows of the main window's file list: adding a file through the open dialog,
// emptying the list, removing the selected row, and the hidden controls that rewrite the list's drop options.
// No file on disk is touched.
class FileListCommands {
  public:
    FileListCommands(DropListCtrl& list, Platform& platform, FileSystem& files);

    // Lets the user choose one PSD file and adds its row at the top (a file added twice gives two rows). Returns
    // the file's size in bytes, or nullopt when nothing was added: the dialog was cancelled, or the name typed
    // into it names no file.
    std::optional<uint64_t> AddFileByDialog(HWND owner, const std::string& title);
    void ClearList();
    // Removes the selected row, or says "No file selected".
    void RemoveFromList();
    // Copies the hidden option controls of `dialog` into the list's drop options, enabling the controls that
    // depend on them.
    void ApplyDropOptions(HWND dialog);

    // The list's insertion callback: a row with the path, the folder or document picture, and a note in column 1.
    static void InsertFromCallback(DropListCtrl& list, const std::string& path, uint32_t kind);

  private:
    DropListCtrl& list_;
    Platform& platform_;
    FileSystem& files_;
};
