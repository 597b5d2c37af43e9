#include "widgets/bmp_menu.h"

#include <commctrl.h>

#include <array>
#include <string_view>

#include "framework/gdi_scope.h"
#include "widgets/bmp_menu_bar.h"

namespace {

constexpr DWORD kPopupExStyle =
    WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
constexpr DWORD kPopupStyle = WS_POPUP | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER;

bool IsBitmap(HBITMAP bitmap) {
    return bitmap != nullptr && ::GetObjectType(bitmap) == OBJ_BITMAP;
}

ScreenRect DesktopRect() {
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    return {desktop.left, desktop.top, desktop.right, desktop.bottom};
}

}  // namespace

CBmpMenu::CBmpMenu(int stripWidth, INT_PTR stripOnSubmenus, HBITMAP stripBitmap, bool stretchStrip)
    : m_hStripBitmap(IsBitmap(stripBitmap) ? stripBitmap : nullptr),
      m_bStripOnSubmenus(stripOnSubmenus),
      m_bStretchStrip(stretchStrip),
      m_nStripWidth(stripWidth) {}

CBmpMenu::~CBmpMenu() = default;

void CBmpMenu::Attach(HMENU menu) {
    menu_.Reset(menu);
}

HMENU CBmpMenu::Detach() {
    return menu_.Release();
}

CBmpMenu* CBmpMenu::FromWindow(HWND hwnd) {
    std::array<char, sizeof kBmpMenuClass + 1> class_name{};
    if (hwnd == nullptr || ::GetClassNameA(hwnd, class_name.data(), static_cast<int>(class_name.size())) == 0 ||
        std::string_view(class_name.data()) != kBmpMenuClass)
        return nullptr;
    return dynamic_cast<CBmpMenu*>(Window::FromHandle(hwnd));
}

bool CBmpMenu::TrackPopup(int x, int y, HWND parent, const RECT* exclude) {
    if (!IsSubmenu())
        m_pOwner = parent;
    if (m_pOwner == nullptr || !::IsWindow(m_pOwner))
        return false;
    ::SendMessageA(m_pOwner, IsSubmenu() ? WM_INITMENUPOPUP : WM_INITMENU, reinterpret_cast<WPARAM>(Menu()), 0);
    if (!RegisterClassOnce(kBmpMenuClass) || !Create(kPopupExStyle, kBmpMenuClass, kPopupStyle, parent, 0))
        return false;
    parent_window_ = parent;
    if (CBmpMenu* parent_menu = IsSubmenu() ? FromWindow(parent) : nullptr)
        parent_menu->m_pSubMenu = this;
    m_pItemBar = std::make_unique<CBmpMenuBar>(*this, last_move_);
    const bool created = m_pItemBar->Create(Hwnd());
    if (created)
        ShowAndRun(x, y, exclude);
    m_pItemBar.reset();
    if (::IsWindow(Hwnd()))
        DestroyPopup();
    return created;
}

void CBmpMenu::ShowAndRun(int x, int y, const RECT* exclude) {
    const PopupSize size = m_pItemBar->Fill(Menu(), m_nStripWidth);
    Place(x, y, exclude, size);
    m_pItemBar->ShowAt(m_nStripWidth, size.height);
    if (!IsSubmenu())
        ::SetForegroundWindow(m_pOwner);
    ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    ::SetFocus(Hwnd());
    if ((m_nPopupFlags & BMM_FROMKEYBOARD) != 0) {
        m_pItemBar->SetHotItem(0);
        m_nPopupFlags &= ~BMM_FROMKEYBOARD;
    }
    if (::IsWindow(m_pOwner))
        ::SendMessageA(m_pOwner, WM_ENTERMENULOOP, reinterpret_cast<WPARAM>(Menu()), reinterpret_cast<LPARAM>(Hwnd()));
    RunModalLoop();
}

void CBmpMenu::Place(int x, int y, const RECT* exclude, PopupSize size) {
    const ScreenPoint corner =
        exclude == nullptr
            ? PlaceMenu(DesktopRect(), {x, y}, size)
            : PlaceSubmenu(DesktopRect(), {exclude->left, exclude->top, exclude->right, exclude->bottom}, size);
    ::SetWindowPos(Hwnd(), nullptr, corner.x, corner.y, size.width, size.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CBmpMenu::CloseAll() {
    if (CBmpMenu* parent = FromWindow(parent_window_))
        parent->CloseAll();
    if (!::IsWindow(Hwnd()))
        return;
    CloseSubmenus();
    EndModalLoop();
    m_pSubMenu = nullptr;
}

void CBmpMenu::CloseSubmenus() {
    if (m_pSubMenu == nullptr)
        return;
    m_pSubMenu->CloseSubmenus();
    m_pSubMenu->EndModalLoop();
    m_pSubMenu = nullptr;
}

void CBmpMenu::DestroyPopup() {
    ::SendMessageA(m_pOwner, WM_EXITMENULOOP, 0, 0);
    if (FromWindow(parent_window_) != nullptr)
        ::SetFocus(parent_window_);
    ::DestroyWindow(Hwnd());
}

void CBmpMenu::OpenSubmenu(LPARAM point, WPARAM keyboard) {
    const int index = m_pItemBar->HitTest(point);
    const MENUITEMINFOA* item = m_pItemBar->ItemAt(index);
    if (item == nullptr || item->hSubMenu == nullptr)
        return;
    RECT row = m_pItemBar->ItemRect(index);
    ::MapWindowPoints(m_pItemBar->Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&row), 2);
    row.left -= m_nStripWidth;

    const bool same_strip = m_bStripOnSubmenus != 0;
    CBmpMenu submenu(same_strip ? m_nStripWidth : 0, same_strip ? m_bStripOnSubmenus : 0,
                     same_strip ? m_hStripBitmap : nullptr, m_bStretchStrip);
    submenu.m_pOwner = m_pOwner;
    submenu.Attach(item->hSubMenu);
    submenu.m_nPopupFlags = (static_cast<UINT>(keyboard) & BMM_FROMKEYBOARD) | kBmpMenuIsSubmenu;
    submenu.last_move_ = last_move_;
    submenu.TrackPopup(0, 0, Hwnd(), &row);
    submenu.Detach();
    // A loop that ended without CloseSubmenus (its window destroyed from outside) must not leave a dangling child.
    if (m_pSubMenu == &submenu)
        m_pSubMenu = nullptr;
}

void CBmpMenu::OnPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    if (m_hStripBitmap == nullptr)
        return;
    const RECT strip = {0, 0, m_nStripWidth, client.bottom};
    if (m_bStretchStrip) {
        BITMAP info{};
        ::GetObjectA(m_hStripBitmap, sizeof info, &info);
        UniqueMemDc memory(::CreateCompatibleDC(dc));
        SelectGuard select(memory.Get(), m_hStripBitmap);
        ::StretchBlt(dc, 0, 0, strip.right, strip.bottom, memory.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        return;
    }
    UniqueBrush tiles(::CreatePatternBrush(m_hStripBitmap));
    ::FillRect(dc, &strip, tiles.Get());
}

void CBmpMenu::OnActivate(WPARAM state, HWND other) {
    // Another application, or a window of this one that is not part of the menu, takes over: the menu closes.
    if (other == nullptr || (LOWORD(state) == WA_INACTIVE && FromWindow(other) == nullptr))
        CloseAll();
}

LRESULT CBmpMenu::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PaintDc paint(Hwnd());
            OnPaint(paint.Get());
            return 0;
        }
        case WM_PRINTCLIENT:
            OnPaint(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            if (m_pItemBar && header->hwndFrom == m_pItemBar->Hwnd() && header->code == NM_CUSTOMDRAW)
                return m_pItemBar->OnCustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(lp));
            break;
        }
        case WM_ACTIVATE:
            OnActivate(wp, reinterpret_cast<HWND>(lp));
            break;
        case WM_ACTIVATEAPP:
            if (wp == FALSE)
                CloseAll();
            break;
        case WM_COMMAND:
            ::PostMessageA(m_pOwner, WM_COMMAND, wp, lp);
            return 0;
        case BMM_SUBMENUCLOSED:
            if (m_pItemBar)
                ::SendMessageA(m_pItemBar->Hwnd(), BMM_SUBMENUCLOSED, 0, 0);
            return 0;
        case BMM_OPENSUBMENU:
            if (m_pItemBar)
                OpenSubmenu(static_cast<LPARAM>(wp), static_cast<WPARAM>(lp));
            return 0;
        case WM_KEYDOWN:
            if (m_pSubMenu != nullptr)
                return ::SendMessageA(m_pSubMenu->Hwnd(), msg, wp, lp);
            if (m_pItemBar)
                return ::SendMessageA(m_pItemBar->Hwnd(), msg, wp, lp);
            return 0;
        case WM_SYSKEYDOWN:
            CloseAll();
            break;
    }
    return Window::OnMessage(msg, wp, lp);
}
