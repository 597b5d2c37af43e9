#include "companions/help/help_window.h"

#include <algorithm>
#include <utility>

#include "companions/help/help_layout.h"
#include "companions/help/help_resource.h"
#include "framework/gdi_scope.h"

HelpWindow::HelpWindow(HINSTANCE instance, LanguageId language)
    : Dialog(instance, IDD_HELP), language_(language), topics_(WindowsTopics(language)) {}

int HelpWindow::SelectedTopic() const {
    if (Hwnd() == nullptr)
        return -1;
    return static_cast<int>(::SendMessageA(Item(IDC_HELP_TOPICS), LB_GETCURSEL, 0, 0));
}

bool HelpWindow::OnInitDialog() {
    ::SetWindowTextA(Hwnd(), HelpCaption(language_).c_str());
    big_icon_ =
        static_cast<HICON>(::LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_HELP), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    small_icon_ =
        static_cast<HICON>(::LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_HELP), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

    const HWND list = Item(IDC_HELP_TOPICS);
    for (const HelpTopic& topic : topics_)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(topic.title.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    ShowSelectedTopic();
    widest_title_dev_px_ = WidestTitle();

    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    OnSize(client.right, client.bottom);
    // The arrows must move through the topics from the start, so the list takes the focus, not the text.
    ::SetFocus(list);
    return false;
}

bool HelpWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
        case WM_SIZE:
            OnSize(LOWORD(lp), HIWORD(lp));
            return true;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
            return true;
        case WM_COMMAND:
            if (LOWORD(wp) == IDC_HELP_TOPICS && HIWORD(wp) == LBN_SELCHANGE) {
                ShowSelectedTopic();
                return true;
            }
            // Enter in the list is no reason to close the help; Escape and the close box still do.
            if (LOWORD(wp) == IDOK)
                return true;
            break;
        case WM_CTLCOLORSTATIC:
            // A read-only edit is drawn like a static control, grey; text to read wants the window colour.
            if (reinterpret_cast<HWND>(lp) == Item(IDC_HELP_TEXT)) {
                ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOW));
                ::SetTextColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOWTEXT));
                *result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
                return true;
            }
            break;
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}

int HelpWindow::Dpi() const {
    WindowDc dc(Hwnd());
    return ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

int HelpWindow::WidestTitle() const {
    const HWND list = Item(IDC_HELP_TOPICS);
    WindowDc dc(list);
    // The list's own font (the dialog's), not the DC's default, which is wider.
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0));
    SelectGuard select(dc.Get(), font);
    int widest = 0;
    for (const HelpTopic& topic : topics_) {
        SIZE size{};
        if (::GetTextExtentPoint32A(dc.Get(), topic.title.c_str(), static_cast<int>(topic.title.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    return widest;
}

void HelpWindow::OnSize(int width_dev_px, int height_dev_px) {
    const HelpLayout layout = LayoutHelp({width_dev_px, height_dev_px}, Dpi(), widest_title_dev_px_);
    for (const auto& [id, pane] : {std::pair{IDC_HELP_TOPICS, layout.topics}, std::pair{IDC_HELP_TEXT, layout.text}})
        ::MoveWindow(Item(id), pane.x, pane.y, pane.width, pane.height, TRUE);
}

void HelpWindow::OnGetMinMaxInfo(MINMAXINFO* info) const {
    const ClientSize minimum = HelpMinimumClient(Dpi());
    RECT window = {0, 0, minimum.width_dev_px, minimum.height_dev_px};
    ::AdjustWindowRectEx(&window, static_cast<DWORD>(::GetWindowLongPtrA(Hwnd(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE)));
    info->ptMinTrackSize.x = window.right - window.left;
    info->ptMinTrackSize.y = window.bottom - window.top;
}

void HelpWindow::ShowSelectedTopic() {
    const int selected = SelectedTopic();
    if (selected < 0 || static_cast<size_t>(selected) >= topics_.size())
        return;
    ::SetDlgItemTextA(Hwnd(), IDC_HELP_TEXT, topics_[static_cast<size_t>(selected)].body.c_str());
}
