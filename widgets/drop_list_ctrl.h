#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "framework/subclassed_control.h"
#include "widgets/drop_options.h"
#include "widgets/file_list_entry.h"

class Platform;

// Initialises OLE for the thread for as long as it lives, when nobody else has done so yet.
class OleSession {
  public:
    // Shows the platform's message when initialisation fails; the program carries on without shortcuts.
    explicit OleSession(Platform& platform);
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession();
    bool Initialized() const { return oleInitialized; }

  private:
    bool oleInitialized = false;
};

// A report-view list that takes files and folders dropped from the shell: shortcuts resolve to their targets, the
// drop options decide what is wanted, and each wanted item becomes a row at the top (or goes to the callback).
class DropListCtrl : public SubclassedControl {
  public:
    explicit DropListCtrl(Platform& platform);

    // False, and nothing changes, when a callback is asked for but none is given.
    bool SetDropOptions(const DropOptions& options);
    DropOptions GetDropOptions() const { return options; }

    // Adds a row for `path` at the top; -1 when refused as a duplicate.
    virtual int AddPathRow(const std::string& path);
    // Adds a row for `path` at the top, whatever the list holds; with `image`, that picture of the image list.
    int InsertRow(const std::string& path, std::optional<int> image = std::nullopt);
    // Fills a row's size (from `size` bytes, left empty without), last-write date and time columns.
    void FillFileColumns(int row, const std::string& path, std::optional<uint64_t> size);
    // One dropped item: the whole path a drop takes (shortcut, check, insertion, columns).
    void AddDroppedPath(std::string path);

    int RowCount() const;
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    // The first selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    void DeleteRow(int row);
    void DeleteAllRows();
    int SelectedCount() const;

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void OnDropFiles(HDROP drop);

    OleSession ole_;
    DropOptions options;
};

// The target of a shell shortcut, preferring its network form; empty for anything that is not a shortcut to a
// file-system path.
std::string ResolveShortcut(const std::string& path);

// Size in bytes of the file at `path`, read through a read-only handle; -1 when it cannot be opened.
int64_t FileSizeForList(const std::string& path);

// The last-write time of `path` in UTC; false when its directory entry cannot be read.
bool LastWriteTime(const std::string& path, CalendarTime* time);
