#include "widgets/bmp_menu_bar.h"

#include <string>

#include "widgets/bmp_menu.h"
#include "widgets/bmp_menu_item_painter.h"
#include "widgets/menu_mnemonic.h"

namespace {

constexpr int kItemBarId = 0xE800;
constexpr DWORD kItemBarStyle = WS_CHILD | TBSTYLE_WRAPABLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_CUSTOMERASE |
                                TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;

POINT Unpack(LPARAM point) {
    return {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
}

LPARAM Pack(int x, int y) {
    return MAKELPARAM(x, y);
}

}  // namespace

CBmpMenuBar::CBmpMenuBar(CBmpMenu& popup, POINT* last_move) : popup_(popup), last_move_(last_move) {}

CBmpMenuBar::~CBmpMenuBar() {
    if (Hwnd() != nullptr)
        ::DestroyWindow(Hwnd());
}

bool CBmpMenuBar::Create(HWND popup) {
    HWND bar = ::CreateWindowExA(WS_EX_TOOLWINDOW, TOOLBARCLASSNAMEA, "", kItemBarStyle, 0, 0, 0, 0, popup,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kItemBarId)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (bar == nullptr || !Attach(popup, kItemBarId))
        return false;
    ::SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    m_menuFont.Reset(::CreateFontIndirectA(&metrics.lfMenuFont));
    ::SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(m_menuFont.Get()), TRUE);
    return true;
}

PopupSize CBmpMenuBar::Fill(HMENU menu, int strip_width) {
    const int check_width = ::GetSystemMetrics(SM_CXMENUCHECK);
    ::SendMessageA(Hwnd(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(Hwnd(), TB_SETBITMAPSIZE, 0, MAKELPARAM(check_width, ::GetSystemMetrics(SM_CYMENUCHECK)));
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        auto item = std::make_unique<BmpMenuItem>();
        item->index = position;
        MENUITEMINFOA& info = item->info;
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
        info.dwTypeData = item->text.data();
        info.cch = static_cast<UINT>(item->text.size());
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info))
            continue;
        const bool has_text = info.dwTypeData != nullptr && (info.fType & (MFT_SEPARATOR | MFT_BITMAP)) == 0;
        if (!has_text)
            info.dwTypeData = nullptr;
        TBBUTTON button{};
        button.iBitmap = 0;
        button.idCommand = static_cast<int>(info.wID);
        // A grayed item is not enabled; it keeps its row of its own.
        button.fsState = (info.fState & MFS_DISABLED) != 0 ? TBSTATE_WRAP : TBSTATE_ENABLED | TBSTATE_WRAP;
        button.fsStyle = (info.fType & MFT_SEPARATOR) != 0 ? BTNS_SEP : BTNS_BUTTON;
        button.dwData = reinterpret_cast<DWORD_PTR>(item.get());
        button.iString = has_text ? reinterpret_cast<INT_PTR>(item->text.data()) : -1;
        ::SendMessageA(Hwnd(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
        items_.push_back(std::move(item));
    }
    if (items_.empty())
        return {strip_width + 6, 6};
    const int width = LOWORD(::SendMessageA(Hwnd(), TB_GETBUTTONSIZE, 0, 0)) + check_width;
    ::SendMessageA(Hwnd(), TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
    const RECT first = ItemRect(0);
    const RECT last = ItemRect(static_cast<int>(items_.size()) - 1);
    return {first.right - first.left + strip_width + 6, last.bottom - first.top + 6};
}

void CBmpMenuBar::ShowAt(int strip_width, int height) {
    const RECT first = ItemRect(0);
    ::SetWindowPos(Hwnd(), nullptr, strip_width, 0, first.right - first.left + 6, height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

int CBmpMenuBar::HitTest(LPARAM point) const {
    POINT client = Unpack(point);
    const auto index = static_cast<int>(::SendMessageA(Hwnd(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    return index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
}

const MENUITEMINFOA* CBmpMenuBar::ItemAt(int index) const {
    TBBUTTON button{};
    if (index < 0 ||
        !::SendMessageA(Hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)))
        return nullptr;
    const auto* item = reinterpret_cast<const BmpMenuItem*>(button.dwData);
    return item != nullptr ? &item->info : nullptr;
}

RECT CBmpMenuBar::ItemRect(int index) const {
    RECT rect{};
    ::SendMessageA(Hwnd(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CBmpMenuBar::SetHotItem(int index) {
    ::SendMessageA(Hwnd(), TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
}

int CBmpMenuBar::HotItem() const {
    return static_cast<int>(::SendMessageA(Hwnd(), TB_GETHOTITEM, 0, 0));
}

bool CBmpMenuBar::IsGrayed(int index) const {
    const MENUITEMINFOA* item = ItemAt(index);
    return item != nullptr && (item->fState & MFS_DISABLED) != 0;
}

bool CBmpMenuBar::HasSubmenu(int index) const {
    const MENUITEMINFOA* item = ItemAt(index);
    return item != nullptr && item->hSubMenu != nullptr;
}

// A click as the mouse would make it, at the item's top-left corner.
void CBmpMenuBar::Click(int index, WPARAM flags) {
    const RECT rect = ItemRect(index);
    const LPARAM point = Pack(rect.left + 1, rect.top + 1);
    ::SendMessageA(Hwnd(), WM_LBUTTONDOWN, flags, point);
    ::SendMessageA(Hwnd(), WM_LBUTTONUP, flags & ~static_cast<WPARAM>(MK_LBUTTON), point);
}

LRESULT CBmpMenuBar::OnMouseMove(WPARAM wp, LPARAM lp) {
    const int index = HitTest(lp);
    if (index >= 0 && IsGrayed(index))
        return 0;
    const POINT point = Unpack(lp);
    // A window appearing under a resting mouse brings a move to the same point; it must not change the hot item.
    if (point.x == last_move_->x && point.y == last_move_->y)
        return 0;
    *last_move_ = point;
    if (index >= 0 && index != m_nHoverIndex) {
        m_nHoverIndex = index;
        m_ptHover = point;
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER;
        track.hwndTrack = Hwnd();
        track.dwHoverTime = 0;
        ::TrackMouseEvent(&track);
    }
    return Default(WM_MOUSEMOVE, wp, lp);
}

void CBmpMenuBar::OnMouseHover() {
    if (m_nHoverIndex < 0 || m_nHoverIndex >= static_cast<int>(items_.size()))
        return;
    if (HasSubmenu(m_nHoverIndex)) {
        const LPARAM point = Pack(m_ptHover.x, m_ptHover.y);
        ::SendMessageA(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendMessageA(Hwnd(), WM_LBUTTONUP, 0, point);
        return;
    }
    popup_.CloseSubmenus();
    m_nOpenIndex = -1;
}

void CBmpMenuBar::OnLButtonDown(WPARAM flags, LPARAM point) {
    const int index = HitTest(point);
    if (index < 0 || IsGrayed(index) || index == m_nOpenIndex)
        return;
    popup_.CloseSubmenus();
    ::PostMessageA(Hwnd(), BMM_ACTIVATEITEM, flags, point);
    m_nOpenIndex = index;
}

void CBmpMenuBar::OnActivateItem(WPARAM flags, LPARAM point) {
    const int index = HitTest(point);
    const MENUITEMINFOA* item = ItemAt(index);
    if (item == nullptr)
        return;
    if (item->hSubMenu != nullptr) {
        ::SendMessageA(popup_.Hwnd(), BMM_OPENSUBMENU, static_cast<WPARAM>(point), flags & BMM_FROMKEYBOARD);
        return;
    }
    ::PostMessageA(popup_.Owner(), WM_COMMAND, MAKEWPARAM(item->wID, 0), 0);
    popup_.CloseAll();
}

// True when the key is handled here and the toolbar's own key handling must not see it.
bool CBmpMenuBar::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_ESCAPE:
            popup_.CloseAll();
            return true;
        case VK_LEFT:
            if (CBmpMenu* parent = CBmpMenu::FromWindow(popup_.ParentWindow())) {
                parent->CloseSubmenus();
                ::SendMessageA(parent->Hwnd(), BMM_SUBMENUCLOSED, 0, 0);
            }
            return true;
        case VK_RIGHT:
        case VK_RETURN:
            ChooseSelected(key == VK_RETURN);
            return true;
        default: {
            // Only keys that stand for a character can be a mnemonic; arrows and function keys cannot.
            const UINT character = ::MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_CHAR);
            if (character != 0 && (character & 0x80000000u) == 0)
                MatchKey(static_cast<char>(character));
            return false;
        }
    }
}

void CBmpMenuBar::ChooseSelected(bool enter) {
    if (m_nSelectedId == -1)
        return;
    const auto index =
        static_cast<int>(::SendMessageA(Hwnd(), TB_COMMANDTOINDEX, static_cast<WPARAM>(m_nSelectedId), 0));
    if (index < 0 || (!HasSubmenu(index) && !enter))
        return;
    m_nOpenIndex = -1;
    Click(index, MK_LBUTTON | BMM_FROMKEYBOARD);
}

void CBmpMenuBar::MatchKey(char key) {
    std::vector<std::string> texts;
    for (const auto& item : items_)
        texts.emplace_back(item->info.dwTypeData != nullptr ? item->text.data() : "");
    const MnemonicMatch match = MatchMnemonic(texts, key, HotItem());
    switch (match.kind) {
        case MnemonicMatch::None: {
            const auto reply = static_cast<DWORD>(::SendMessageA(popup_.Owner(), WM_MENUCHAR,
                                                                 MAKEWPARAM(static_cast<BYTE>(key), MF_POPUP),
                                                                 reinterpret_cast<LPARAM>(popup_.Menu())));
            if (HIWORD(reply) == MNC_CLOSE)
                popup_.CloseAll();
            else if (HIWORD(reply) == MNC_EXECUTE)
                ::SendMessageA(popup_.Owner(), WM_COMMAND, LOWORD(reply), 0);
            break;
        }
        case MnemonicMatch::One:
            SetHotItem(match.index);
            m_nOpenIndex = -1;
            Click(match.index, MK_LBUTTON);
            break;
        case MnemonicMatch::Several:
            SetHotItem(match.index);
            break;
    }
}

LRESULT CBmpMenuBar::OnCustomDraw(NMTBCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            DrawItem(draw);
            return CDRF_SKIPDEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

void CBmpMenuBar::DrawItem(const NMTBCUSTOMDRAW& draw) {
    const auto* item = reinterpret_cast<const BmpMenuItem*>(draw.nmcd.lItemlParam);
    if (item == nullptr)
        return;
    const MENUITEMINFOA info = item->info;
    const bool hot = (draw.nmcd.uItemState & CDIS_HOT) != 0;
    if (hot && static_cast<int>(info.wID) != m_nSelectedId) {
        const WPARAM selected =
            info.hSubMenu != nullptr ? MAKEWPARAM(item->index, MF_POPUP) : MAKEWPARAM(info.wID, LOWORD(info.fState));
        ::SendMessageA(popup_.Owner(), WM_MENUSELECT, selected, reinterpret_cast<LPARAM>(popup_.Menu()));
        m_nSelectedId = static_cast<int>(info.wID);
    }
    PaintMenuItem(draw.nmcd.hdc, draw.nmcd.rc, info, hot, m_menuFont.Get());
}

LRESULT CBmpMenuBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            return OnMouseMove(wp, lp);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second click is a click too, never the toolbar's own
            OnLButtonDown(wp, lp);
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(wp))
                return 0;
            break;
        case WM_CHAR:
            MatchKey(static_cast<char>(wp));
            break;
        case BMM_ACTIVATEITEM:
            OnActivateItem(wp, lp);
            return 0;
        case WM_MOUSEHOVER:
            OnMouseHover();
            break;
        case BMM_SUBMENUCLOSED:
            // Not passed on: the toolbar knows this number as one of its own messages (TB_SETMETRICS).
            m_nOpenIndex = -1;
            return 0;
    }
    return SubclassedControl::OnMessage(msg, wp, lp);
}
