#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

#include "framework/subclassed_control.h"
#include "framework/unique_handle.h"
#include "widgets/menu_placement.h"

class CBmpMenu;

// One menu item as the item list keeps it: the menu's full record of it, with its text in a buffer of its own.
struct BmpMenuItem {
    MENUITEMINFOA info{};
    std::array<char, 260> text{};
    int index = 0;  // the item's button index
};

// The rows of a bitmap menu: a toolbar control, child of the popup, that supplies hit testing, hot tracking and
// item rectangles, and whose every item the menu draws itself through custom draw. Mouse and keys on it drive the
// menu: hovering opens submenus, clicks and Enter choose, letters pick items by their mnemonic.
class CBmpMenuBar : public SubclassedControl {
  public:
    // `last_move` is the mouse position shared by all item lists of one menu.
    CBmpMenuBar(CBmpMenu& popup, POINT* last_move);
    ~CBmpMenuBar() override;

    // Creates the hidden toolbar in `popup`; false when it cannot be made.
    bool Create(HWND popup);
    // One button per item of `menu`; returns the size the popup needs beside a strip of `strip_width`.
    PopupSize Fill(HMENU menu, int strip_width);
    // Moves the list right of the strip and shows it.
    void ShowAt(int strip_width, int height);

    // The button under a packed client point; -1 for none.
    int HitTest(LPARAM point) const;
    const MENUITEMINFOA* ItemAt(int index) const;
    RECT ItemRect(int index) const;
    void SetHotItem(int index);
    int HotItem() const;

    // The popup hands the toolbar's custom-draw notifications back here.
    LRESULT OnCustomDraw(NMTBCUSTOMDRAW& draw);

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    bool IsGrayed(int index) const;
    bool HasSubmenu(int index) const;
    void Click(int index, WPARAM flags);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    void OnMouseHover();
    void OnLButtonDown(WPARAM flags, LPARAM point);
    void OnActivateItem(WPARAM flags, LPARAM point);
    bool OnKeyDown(WPARAM key);
    void ChooseSelected(bool enter);
    void MatchKey(char key);
    void DrawItem(const NMTBCUSTOMDRAW& draw);

    CBmpMenu& popup_;
    POINT* last_move_;
    std::vector<std::unique_ptr<BmpMenuItem>> items_;  // the buttons' data points here

    int m_nSelectedId = -1;
    int m_nOpenIndex = -1;
    UniqueFont m_menuFont;
    POINT m_ptHover{-1, -1};
    int m_nHoverIndex = -1;
};
