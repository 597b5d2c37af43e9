#include "mainwindow/popup_menus.h"

#include <vector>

#include "framework/unique_handle.h"
#include "mainwindow/text_catalogue.h"
#include "resources/tolvane_resource.h"
#include "widgets/bmp_menu.h"

namespace {

struct MenuText {
    UINT command;
    const SixLanguageText* text;
};

// A menu resource, the pictures of its items by position and the texts it takes from the catalogue.
struct PopupMenuLayout {
    int resource;
    std::vector<int> pictures;
    std::vector<MenuText> texts;
};

PopupMenuLayout LayoutOf(PopupMenu menu, LanguageId language) {
    switch (menu) {
        case PopupMenu::File:
            return {IDR_FILE_MENU,
                    {IDB_ITEM_ADD_FILE, IDB_ITEM_DELETE, IDB_ITEM_CLEAR_LIST, IDB_ITEM_RECOVER, IDB_ITEM_EXIT},
                    {{IDM_ADD_FILE, &MenuAddFile},
                     {IDM_DELETE_FILE, &MenuDeleteFile},
                     {IDM_CLEAR_LIST, &MenuClearList},
                     {IDM_RECOVER, &MenuRecover},
                     {IDM_EXIT, &MenuExit}}};
        case PopupMenu::Options: {
            // The languages follow the Options item in LanguageId order; the current one shows the check mark.
            PopupMenuLayout layout = {IDR_OPTIONS_MENU,
                                      {IDB_ITEM_OPTIONS, IDB_FLAG_ENGLISH, IDB_FLAG_FRENCH, IDB_FLAG_GERMAN,
                                       IDB_FLAG_ITALIAN, IDB_FLAG_SPANISH, IDB_FLAG_ROMANIAN},
                                      {{IDM_OPTIONS, &MenuOptions}}};
            layout.pictures[static_cast<size_t>(LanguageFromNumber(static_cast<int>(language)))] =
                IDB_ITEM_CURRENT_LANGUAGE;
            return layout;
        }
        case PopupMenu::Help:
            return {IDR_HELP_MENU, {IDB_ITEM_HELP}, {{IDM_LAUNCH_HELP, &MenuLaunchHelp}, {IDM_ABOUT, &MenuAbout}}};
        case PopupMenu::List:
            break;
    }
    return {IDR_LIST_MENU,
            {IDB_ITEM_RECOVER, IDB_ITEM_DELETE, IDB_ITEM_CLEAR_LIST},
            {{IDM_CTX_RECOVER, &CtxRecover}, {IDM_CTX_DELETE, &CtxDelete}, {IDM_CTX_REMOVE, &CtxRemove}}};
}

UniqueBitmap LoadPicture(HINSTANCE instance, int id) {
    return UniqueBitmap(static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
}

void SetItemText(HMENU menu, UINT command, const std::string& text) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(text.c_str());
    ::SetMenuItemInfoA(menu, command, FALSE, &item);
}

}  // namespace

void ShowPopupMenu(HINSTANCE instance, HWND owner, PopupMenu menu, LanguageId language, const MenuStrip& strip) {
    const PopupMenuLayout layout = LayoutOf(menu, language);
    const bool file_menu = menu == PopupMenu::File;
    UniqueBitmap strip_bitmap;
    if (file_menu && strip.withBitmap)
        strip_bitmap = LoadPicture(instance, IDB_MENU_STRIP);
    std::vector<UniqueBitmap> pictures;
    for (int id : layout.pictures)
        pictures.push_back(LoadPicture(instance, id));

    // Declared after the pictures, so the menu has gone before they are released.
    CBmpMenu popup(file_menu ? strip.width : 0, file_menu && strip.onSubmenus, strip_bitmap.Get(),
                   file_menu && !strip.tiled);
    popup.Attach(::LoadMenuA(instance, MAKEINTRESOURCEA(layout.resource)));
    for (size_t position = 0; position < pictures.size(); ++position) {
        HBITMAP picture = pictures[position].Get();
        ::SetMenuItemBitmaps(popup.Menu(), static_cast<UINT>(position), MF_BYPOSITION, picture, picture);
    }
    for (const MenuText& text : layout.texts)
        SetItemText(popup.Menu(), text.command, Localize(*text.text, language, TextEncoding::Cp1252));

    POINT pointer{};
    ::GetCursorPos(&pointer);
    popup.TrackPopup(pointer.x, pointer.y + 15, owner, nullptr);
}
