#include "about/about_box.h"

#include "about/about_background.h"
#include "framework/gdi_scope.h"
#include "recovery/settings_store.h"
#include "resources/tolvane_resource.h"
#include "widgets/home_page.h"

AboutBox::AboutBox(HINSTANCE instance, Win32Platform& platform, FileSystem& files)
    : Dialog(instance, IDD_ABOUT), platform_(platform), files_(files), siteLink(platform), mailLink(platform) {}

bool AboutBox::OnInitDialog() {
    reflector_.Attach(Hwnd());
    lineStatic.Attach(Hwnd(), IDC_ABOUT_LINES);
    siteLink.Attach(Hwnd(), IDC_ABOUT_SITE);
    mailLink.Attach(Hwnd(), IDC_ABOUT_MAIL);
    settingsPath = SettingsStore::PathIn(platform_.SettingsDirectory(), '\\');
    aboutLines = MakeAboutLineTable();
    // A missing or damaged file is reported in English (the box has no language yet) and replaced with defaults.
    aboutLanguage = SettingsStore(files_, platform_, settingsPath).ReadLanguage();
    for (const std::string& line : aboutLines[static_cast<size_t>(aboutLanguage)])
        lineStatic.AddLine(line, "", 0);
    for (HyperlinkStatic* link : {&siteLink, &mailLink}) {
        link->SetUrl(kHomePageAddress);
        link->SetUnderlineMode(UnderlineAlways);
    }
    return true;
}

void AboutBox::OnPaint() {
    PaintDc paint(Hwnd());
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    FillWithAboutPattern(Instance(), paint.Get(), client);
}

bool AboutBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_PAINT) {
        OnPaint();
        return true;
    }
    return Dialog::OnMessage(msg, wp, lp, result);
}
