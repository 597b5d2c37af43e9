#include "companions/optmgr/options_dialog.h"

#include <vector>

#include "companions/optmgr/optmgr_resource.h"
#include "companions/optmgr/optmgr_texts.h"
#include "framework/folder_browser.h"
#include "framework/wide_text.h"

namespace {

struct LabelEntry {
    int id;
    const SixLanguageText* text;
};
constexpr LabelEntry kLabels[] = {
    {IDC_FOLDER_LABEL, &OptFolderLabel},
    {IDC_FOLDER_HINT, &OptFolderHint},
    {IDC_BROWSE_FOLDER, &OptBrowse},
    {IDC_SUFFIX_LABEL, &OptSuffixLabel},
    {IDC_SUFFIX_HINT, &OptSuffixHint},
    {IDC_DELETE_SOURCE, &OptDeleteSource},
    {IDOK, &OptOk},
    {IDCANCEL, &OptCancel},
};

// The suffix field holds 3 characters and its terminating zero; the folder 199 with the backslash at its end.
constexpr int kSuffixChars = 3;
constexpr int kFolderChars = 199;

}  // namespace

std::string WindowTextUtf8(HWND hwnd) {
    std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1);
    const int length = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    return NarrowToUtf8(std::wstring_view(text.data(), static_cast<size_t>(length > 0 ? length : 0)));
}

void SetWindowTextUtf8(HWND hwnd, const std::string& utf8) {
    ::SetWindowTextW(hwnd, WidenUtf8(utf8).c_str());
}

OptionsDialog::OptionsDialog(HINSTANCE instance, Win32Platform& platform, OptionsEditor& editor)
    : Dialog(instance, IDD_OPTIONS),
      platform_(platform),
      editor_(editor),
      icon_(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_OPTMGR))) {}

bool OptionsDialog::OnInitDialog() {
    platform_.SetOwner(Hwnd());
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetTexts();
    ::SendMessageA(Item(IDC_SUFFIX), EM_LIMITTEXT, kSuffixChars, 0);
    ::SendMessageA(Item(IDC_OUTPUT_FOLDER), EM_LIMITTEXT, kFolderChars, 0);
    const OutputOptions shown = editor_.Shown();
    SetWindowTextUtf8(Item(IDC_OUTPUT_FOLDER), shown.outputFolder);
    SetWindowTextUtf8(Item(IDC_SUFFIX), shown.suffix);
    ::CheckDlgButton(Hwnd(), IDC_DELETE_SOURCE, shown.deleteSource ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

void OptionsDialog::SetTexts() {
    const LanguageId language = editor_.Language();
    ::SetWindowTextA(Hwnd(), Localize(OptCaption, language, TextEncoding::Cp1252).c_str());
    for (const LabelEntry& label : kLabels)
        ::SetDlgItemTextA(Hwnd(), label.id, Localize(*label.text, language, TextEncoding::Cp1252).c_str());
}

void OptionsDialog::OnBrowse() {
    const std::optional<std::string> folder =
        BrowseForFolder(Hwnd(), Localize(OptBrowseTitle, editor_.Language(), TextEncoding::Cp1252),
                        WindowTextUtf8(Item(IDC_OUTPUT_FOLDER)));
    if (folder)
        SetWindowTextUtf8(Item(IDC_OUTPUT_FOLDER), *folder);
}

void OptionsDialog::OnOk() {
    OutputOptions options;
    options.outputFolder = WindowTextUtf8(Item(IDC_OUTPUT_FOLDER));
    options.suffix = WindowTextUtf8(Item(IDC_SUFFIX));
    options.deleteSource = ::IsDlgButtonChecked(Hwnd(), IDC_DELETE_SOURCE) == BST_CHECKED;
    // A refused value or a failed save keeps the dialog open, so the user can correct it or cancel.
    if (editor_.Save(options))
        Close(IDOK);
}

bool OptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    static constexpr CommandEntry<OptionsDialog> kCommands[] = {
        {IDC_BROWSE_FOLDER, BN_CLICKED, &OptionsDialog::OnBrowse},
        {IDOK, BN_CLICKED, &OptionsDialog::OnOk},
    };
    if (msg == WM_COMMAND && RunCommand(kCommands, *this, LOWORD(wp), HIWORD(wp)))
        return true;
    return Dialog::OnMessage(msg, wp, lp, result);
}
