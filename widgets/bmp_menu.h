#pragma once

#include <windows.h>

#include <memory>

#include "framework/unique_handle.h"
#include "framework/window.h"
#include "widgets/menu_placement.h"

class CBmpMenuBar;

// The bitmap menu's private messages.
constexpr UINT BMM_ACTIVATEITEM = 0x465;   // to an item list, posted by itself: (mouse-key flags, packed point)
constexpr UINT BMM_SUBMENUCLOSED = 0x466;  // to a popup: its open submenu was closed
constexpr UINT BMM_OPENSUBMENU = 0x467;    // to a popup, from its item list: (packed point, BMM_FROMKEYBOARD or 0)
// A popup or a click that comes from the keyboard: the submenu it opens starts with its first item hot.
constexpr UINT BMM_FROMKEYBOARD = 0x100;
constexpr UINT kBmpMenuIsSubmenu = 0x1;

constexpr char kBmpMenuClass[] = "BitmapMenu";

// A menu shown as a skinned popup: a bitmap strip on the left, then one row per item with its picture (the item's
// check-mark bitmaps), its text and, for a submenu, an arrow. It runs a modal loop of its own and tells its owner
// what a system menu would: WM_INITMENU or WM_INITMENUPOPUP, WM_ENTERMENULOOP, WM_MENUSELECT, WM_MENUCHAR, the
// chosen command as a posted WM_COMMAND, and WM_EXITMENULOOP as each popup goes. Submenus open as further popups,
// each with a loop nested inside its parent's. Lives on the caller's stack for one TrackPopup.
class CBmpMenu : public Window {
  public:
    // The strip bitmap stays the caller's; it is kept only if it is a bitmap. Submenus get the same strip when
    // `stripOnSubmenus` is non-zero, and none otherwise.
    CBmpMenu(int stripWidth, INT_PTR stripOnSubmenus, HBITMAP stripBitmap, bool stretchStrip);
    ~CBmpMenu() override;

    // The menu shown; it is destroyed with this object unless Detach takes it back first.
    void Attach(HMENU menu);
    HMENU Detach();
    HMENU Menu() const { return menu_.Get(); }

    // Shows the menu with its corner at the screen point (x, y), or beside `exclude` (screen coordinates) for a
    // submenu, and returns once it has closed. A top-level menu's `parent` is its owner. False at once, with
    // nothing shown, when there is no owner window or the popup cannot be created.
    bool TrackPopup(int x, int y, HWND parent, const RECT* exclude);

    // Ends the whole menu, from its root.
    void CloseAll();
    // Ends the submenus open below this popup.
    void CloseSubmenus();

    HWND Owner() const { return m_pOwner; }
    HWND ParentWindow() const { return parent_window_; }
    CBmpMenuBar* ItemBar() const { return m_pItemBar.get(); }

    // The popup object behind `hwnd` when it is a bitmap menu of this thread; nullptr otherwise.
    static CBmpMenu* FromWindow(HWND hwnd);

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    bool IsSubmenu() const { return (m_nPopupFlags & kBmpMenuIsSubmenu) != 0; }
    // Fills, places and shows the popup, then runs its loop until the menu ends.
    void ShowAndRun(int x, int y, const RECT* exclude);
    void Place(int x, int y, const RECT* exclude, PopupSize size);
    void OnPaint(HDC dc);
    void OnActivate(WPARAM state, HWND other);
    void OpenSubmenu(LPARAM point, WPARAM keyboard);
    // Tells the owner and hands the focus back to the parent popup before the window goes.
    void DestroyPopup();

    UniqueMenu menu_;
    HWND m_pOwner = nullptr;  // for a submenu, the root's owner
    CBmpMenu* m_pSubMenu = nullptr;
    HBITMAP m_hStripBitmap = nullptr;
    INT_PTR m_bStripOnSubmenus = 0;
    bool m_bStretchStrip = false;
    int m_nStripWidth = 0;
    UINT m_nPopupFlags = 0;
    std::unique_ptr<CBmpMenuBar> m_pItemBar;
    HWND parent_window_ = nullptr;
    // The last mouse position any item list of this menu saw, shared by the root with its submenus.
    POINT last_move_own_{0, 0};
    POINT* last_move_ = &last_move_own_;
};
