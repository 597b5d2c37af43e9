// The help viewer's window, created modeless and driven with the keys a reader uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "companions/help/help_resource.h"
#include "companions/help/help_window.h"
#include "tests/win32/window_test_support.h"

namespace {

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// A key as the program's own message loop would meet it: the dialog manager sees it first.
void PressKey(HWND dialog, HWND focus, WPARAM key) {
    MSG msg{focus, WM_KEYDOWN, key, 1, 0, {0, 0}};
    if (!::IsDialogMessageA(dialog, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    PumpMessages();
}

TEST(HelpWindowTest, ArrowsMoveThroughTheTopicsAndEscapeCloses) {
    ASSERT_EQ(::GetACP(), 1252u) << "the texts are Windows-1252; a Wine prefix in another code page garbles them";
    for (LanguageId language : {LanguageId::English, LanguageId::German, LanguageId::Romanian}) {
        SCOPED_TRACE(std::string(LanguageName(language)));
        const std::vector<HelpTopic> topics = WindowsTopics(language);
        HelpWindow window(::GetModuleHandleA(nullptr), language);
        ASSERT_TRUE(window.CreateModeless(nullptr));
        const HWND dialog = window.Hwnd();
        ::ShowWindow(dialog, SW_SHOW);
        PumpMessages();
        const HWND list = ::GetDlgItem(dialog, IDC_HELP_TOPICS);
        const HWND text = ::GetDlgItem(dialog, IDC_HELP_TEXT);

        EXPECT_EQ(WindowText(dialog), HelpCaption(language));
        ASSERT_GE(topics.size(), 6u);
        EXPECT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(topics.size()));
        EXPECT_EQ(window.SelectedTopic(), 0);
        EXPECT_EQ(::GetFocus(), list);
        EXPECT_EQ(WindowText(text), topics[0].body);

        PressKey(dialog, list, VK_DOWN);
        EXPECT_EQ(window.SelectedTopic(), 1);
        EXPECT_EQ(WindowText(text), topics[1].body);
        PressKey(dialog, list, VK_UP);
        EXPECT_EQ(WindowText(text), topics[0].body);

        // Shrunk far below its minimum, the window keeps both panes whole inside it.
        ::SetWindowPos(dialog, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        RECT client{};
        RECT pane{};
        ::GetClientRect(dialog, &client);
        ::GetWindowRect(text, &pane);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&pane), 2);
        EXPECT_GT(pane.right - pane.left, 200);
        EXPECT_LE(pane.right, client.right);
        EXPECT_LE(pane.bottom, client.bottom);

        PressKey(dialog, list, VK_RETURN);
        ASSERT_TRUE(::IsWindow(dialog)) << "Enter must not close the help";
        PressKey(dialog, list, VK_ESCAPE);
        EXPECT_FALSE(::IsWindow(dialog));
    }
}

}  // namespace
