#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

// One owner for every kind of Win32 handle. T gives the handle type, its invalid value and how to release it.
template <class T>
class Unique {
  public:
    using H = typename T::H;
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(o.Release()) {}
    Unique& operator=(Unique&& o) noexcept {
        Reset(o.Release());
        return *this;
    }
    ~Unique() { Reset(); }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != T::Invalid(); }
    H Release() { return std::exchange(h_, T::Invalid()); }
    void Reset(H h = T::Invalid()) {
        if (*this)
            T::Close(h_);
        h_ = h;
    }

  private:
    H h_ = T::Invalid();
};

template <class G>
struct GdiT {
    using H = G;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DeleteObject(h); }
};
using UniqueBitmap = Unique<GdiT<HBITMAP>>;
using UniqueFont = Unique<GdiT<HFONT>>;
using UniquePen = Unique<GdiT<HPEN>>;
using UniqueBrush = Unique<GdiT<HBRUSH>>;

struct MemDcT {
    using H = HDC;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DeleteDC(h); }
};
using UniqueMemDc = Unique<MemDcT>;

// Only for cursors the program made (CopyIcon, CreateCursor); a cursor loaded from a resource is shared and
// never destroyed.
struct CursorT {
    using H = HCURSOR;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DestroyCursor(h); }
};
using UniqueCursor = Unique<CursorT>;

struct RegKeyT {
    using H = HKEY;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::RegCloseKey(h); }
};
using UniqueRegKey = Unique<RegKeyT>;

struct ImageListT {
    using H = HIMAGELIST;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::ImageList_Destroy(h); }
};
using UniqueImageList = Unique<ImageListT>;

struct MenuT {
    using H = HMENU;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DestroyMenu(h); }
};
using UniqueMenu = Unique<MenuT>;

// Only for top-level windows we create ourselves; controls belong to their dialog.
struct WindowT {
    using H = HWND;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DestroyWindow(h); }
};
using UniqueWindow = Unique<WindowT>;

struct FileT {
    using H = HANDLE;
    static H Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(H h) { ::CloseHandle(h); }
};
using UniqueFile = Unique<FileT>;

struct FindT {
    using H = HANDLE;
    static H Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(H h) { ::FindClose(h); }
};
using UniqueFind = Unique<FindT>;

struct ProcessT {
    using H = HANDLE;
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::CloseHandle(h); }
};
using UniqueKernelHandle = Unique<ProcessT>;

// A COM interface pointer that releases its reference when it goes.
template <class I>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    I* operator->() const { return p_; }
    I* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the out-parameter of CoCreateInstance and QueryInterface; only on an empty pointer.
    void** Out() { return reinterpret_cast<void**>(&p_); }

  private:
    I* p_ = nullptr;
};
