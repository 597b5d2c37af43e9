#include "widgets/drop_list_ctrl.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <sys/stat.h>

#include <array>
#include <vector>

#include "framework/platform.h"
#include "framework/unique_handle.h"

OleSession::OleSession(Platform& platform) {
    const HRESULT result = ::OleInitialize(nullptr);
    if (SUCCEEDED(result)) {
        oleInitialized = true;
        return;
    }
    // RPC_E_CHANGED_MODE: someone initialised the thread another way; that serves shortcuts just as well.
    if (result != RPC_E_CHANGED_MODE)
        platform.ShowMessage("OLE initialization failed.\n\nMake sure that the OLE libraries are the correct version.",
                             "", MessageButtons::Ok, MessageIcon::Warning);
}

OleSession::~OleSession() {
    if (oleInitialized)
        ::OleUninitialize();
}

DropListCtrl::DropListCtrl(Platform& platform) : ole_(platform) {}

bool DropListCtrl::SetDropOptions(const DropOptions& new_options) {
    if ((new_options.flags & UseCallback) != 0 && new_options.insertCallback == nullptr)
        return false;
    options = new_options;
    return true;
}

int DropListCtrl::AddPathRow(const std::string& path) {
    if ((options.flags & AllowDuplicates) == 0) {
        LVFINDINFOA find{};
        find.flags = LVFI_STRING;
        find.psz = path.c_str();
        if (::SendMessageA(Hwnd(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)) != -1)
            return -1;
    }
    return InsertRow(path);
}

int DropListCtrl::InsertRow(const std::string& path, std::optional<int> image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image ? LVIF_IMAGE : 0u);
    item.iItem = 0;
    item.iImage = image.value_or(0);
    item.pszText = const_cast<char*>(path.c_str());
    return static_cast<int>(::SendMessageA(Hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

namespace {

PathType TypeOf(const std::string& path) {
    struct _stati64 status {};
    if (::_stati64(path.c_str(), &status) != 0)
        return PathType::Unreadable;
    if ((status.st_mode & _S_IFDIR) != 0)
        return PathType::Directory;
    return (status.st_mode & _S_IFREG) != 0 ? PathType::RegularFile : PathType::Other;
}

}  // namespace

void DropListCtrl::AddDroppedPath(std::string path) {
    std::string target = ResolveShortcut(path);
    if (!target.empty())
        path = std::move(target);
    uint32_t path_kind = 0;
    if (!CheckDroppedPath(options, TypeOf(path), path, &path_kind))
        return;
    if ((options.flags & UseCallback) != 0) {
        if (options.insertCallback != nullptr)
            options.insertCallback(*this, path, path_kind);
        return;
    }
    const int row = AddPathRow(path);
    if (row == -1)
        return;
    // A file that cannot be opened (locked, or a folder) gets no size rather than a wrong one.
    const int64_t size = FileSizeForList(path);
    FillFileColumns(row, path, size >= 0 ? std::optional<uint64_t>(static_cast<uint64_t>(size)) : std::nullopt);
}

void DropListCtrl::FillFileColumns(int row, const std::string& path, std::optional<uint64_t> size) {
    if (size)
        SetCellText(row, 1, SizeColumnText(*size));
    CalendarTime written;
    if (LastWriteTime(path, &written)) {
        SetCellText(row, 2, DateColumnText(written));
        SetCellText(row, 3, TimeColumnText(written));
    }
}

void DropListCtrl::OnDropFiles(HDROP drop) {
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        std::array<char, MAX_PATH + 1> buffer{};
        if (::DragQueryFileA(drop, index, buffer.data(), static_cast<UINT>(buffer.size())) == 0)
            continue;
        AddDroppedPath(buffer.data());
    }
    ::DragFinish(drop);
}

LRESULT DropListCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    }
    return SubclassedControl::OnMessage(msg, wp, lp);
}

int DropListCtrl::RowCount() const {
    return static_cast<int>(::SendMessageA(Hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

std::string DropListCtrl::CellText(int row, int column) const {
    std::array<char, 1024> buffer{};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length =
        ::SendMessageA(Hwnd(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::string(buffer.data(), static_cast<size_t>(length));
}

void DropListCtrl::SetCellText(int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(Hwnd(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int DropListCtrl::SelectedRow() const {
    return static_cast<int>(::SendMessageA(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void DropListCtrl::SelectRow(int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void DropListCtrl::DeleteRow(int row) {
    ::SendMessageA(Hwnd(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void DropListCtrl::DeleteAllRows() {
    ::SendMessageA(Hwnd(), LVM_DELETEALLITEMS, 0, 0);
}

int DropListCtrl::SelectedCount() const {
    return static_cast<int>(::SendMessageA(Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0));
}

std::string ResolveShortcut(const std::string& path) {
    if (path.empty())
        return {};
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())))
        return {};
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
        return {};
    const int wide_length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (wide_length <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(wide_length));
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), wide_length);
    if (FAILED(file->Load(wide.data(), STGM_READ)))
        return {};
    std::array<char, MAX_PATH> target{};
    if (FAILED(link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_UNCPRIORITY)))
        return {};
    return target.data();
}

int64_t FileSizeForList(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size))
        return -1;
    return size.QuadPart;
}

bool LastWriteTime(const std::string& path, CalendarTime* time) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA(path.c_str(), &found));
    SYSTEMTIME fields{};
    if (!find || !::FileTimeToSystemTime(&found.ftLastWriteTime, &fields))
        return false;
    *time = {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
    return true;
}
