#pragma once

#include <windows.h>

#include "languages/language.h"

// The four popup menus of the main window.
enum class PopupMenu { File, Options, Help, List };

// The File menu's side strip, from the main dialog's settings: its width in pixels, whether it shows bitmap 187,
// whether that bitmap is tiled rather than stretched, and whether submenus get it too. The other menus have none.
struct MenuStrip {
    int width = 0;
    bool withBitmap = false;
    bool tiled = true;
    bool onSubmenus = false;
};

// Opens `menu` 15 pixels below the mouse pointer, in `language`, and returns once it has closed. The item chosen
// reaches `owner` as a command, just as the matching button's would.
void ShowPopupMenu(HINSTANCE instance, HWND owner, PopupMenu menu, LanguageId language, const MenuStrip& strip);
