// The main window's labels: the accented ones byte for byte in Windows-1252 (escapes, so they do not depend on the
// conversion they check), and the rules every label follows.
#include <gtest/gtest.h>

#include "languages/code_page.h"
#include "mainwindow/text_catalogue.h"

namespace {

struct ExpectedEntry {
    const SixLanguageText* entry;
    std::array<const char*, kLanguageCount> cp1252;
};

const ExpectedEntry kAccentedEntries[] = {
    {&ColSize,
     {{"Size KB", " KB",
       "Gr\xF6\xDF"
       "e KB",
       "Formato KB", "Tama\xF1o KB", "Marime KB"}}},
    {&MenuDeleteFile,
     {{"Delete File", "Enl\xE8vent le fichier", "Datei Entfernen ", "Rimuovono la lima", "Quitar el archivo de disco",
       "Sterge"}}},
    {&MenuRecover, {{"Recover", "Recover", "Datenrettung", "Recover", "Recuperaci\xF3n", "Recupereaza"}}},
    {&CtxDelete,
     {{"Delete", "Enl\xE8vent le fichier", " Akte Entfernen", "Rimuovono la lima", "Quitar el archivo de disco",
       "Sterge de pe disk"}}},
    {&TipExtract,
     {{"Recover the selected file ", "Recuperation de fichier ", "Datenrettung", "Recuperatione", "Recuperaci\xF3n ",
       "Recupereaza fisierul selectat din lista"}}},
    {&TipDelete,
     {{"Remove the selected file from disk", "Enl\xE8vent le fichier ", "Datei Entfernen", "Rimuovono la lima",
       "Quite el archivo seleccionado de disco", "Sterge fisierul selectat de pe disk"}}},
    {&OpenDialogTitle,
     {{"Ad file ", "Ajoutez le fichier ", "Datei vorzuw\xE4hlen ", "Aggiunga il file ", "Agregue el file ",
       "Adauga fisier"}}},
};

const SixLanguageText* const kAllLabels[] = {
    &ColPathname,   &ColSize,     &ColDate,   &ColTime,      &MenuAddFile,     &MenuDeleteFile,
    &MenuClearList, &MenuRecover, &MenuExit,  &MenuOptions,  &MenuLaunchHelp,  &MenuAbout,
    &CtxRecover,    &CtxDelete,   &CtxRemove, &TipOpen,      &TipExtract,      &TipOptions,
    &TipHelp,       &TipExit,     &TipDelete, &TipEmptyList, &OpenDialogTitle,
};

TEST(TextCatalogue, AccentedLabelsHaveTheirExactBytes) {
    for (const ExpectedEntry& expected : kAccentedEntries) {
        for (int language = 1; language <= kLanguageCount; ++language) {
            EXPECT_EQ(Localize(*expected.entry, static_cast<LanguageId>(language), TextEncoding::Cp1252),
                      expected.cp1252[static_cast<size_t>(language - 1)])
                << "language " << language;
        }
    }
}

TEST(TextCatalogue, EveryLabelExistsInEveryLanguageAndFitsWindows1252) {
    for (const SixLanguageText* entry : kAllLabels) {
        EXPECT_TRUE(entry->utf8[0].empty());
        for (int language = 1; language <= kLanguageCount; ++language) {
            const std::string_view text = entry->utf8[static_cast<size_t>(language)];
            EXPECT_FALSE(text.empty()) << entry->utf8[1] << " language " << language;
            EXPECT_TRUE(FitsCp1252(text)) << text;
        }
    }
}

TEST(TextCatalogue, OpenDialogTitlesFitTheirBuffer) {
    size_t longest = 0;
    for (int language = 1; language <= kLanguageCount; ++language) {
        const std::string title = Localize(OpenDialogTitle, static_cast<LanguageId>(language), TextEncoding::Cp1252);
        longest = std::max(longest, title.size());
    }
    EXPECT_EQ(longest, kOpenDialogTitleBytes - 1);
    EXPECT_EQ(Localize(OpenDialogTitle, LanguageId::French, TextEncoding::Cp1252).size(), kOpenDialogTitleBytes - 1);
}

TEST(TextCatalogue, MenuBarPicturesAndLanguageCommands) {
    const MenuBarImageIds english = MenuBarImagesFor(LanguageId::English);
    const MenuBarImageIds romanian = MenuBarImagesFor(LanguageId::Romanian);
    EXPECT_EQ((std::array<int, 3>{english.file, english.options, english.help}), (std::array<int, 3>{239, 240, 241}));
    EXPECT_EQ((std::array<int, 3>{romanian.file, romanian.options, romanian.help}),
              (std::array<int, 3>{254, 255, 256}));
    EXPECT_EQ(MenuBarImagesFor(LanguageId::German).file, 245);
    // A language number a settings file may hold but that names no language gets English pictures.
    EXPECT_EQ(MenuBarImagesFor(static_cast<LanguageId>(9)).file, 239);

    EXPECT_EQ(LanguageForCommand(32818), std::nullopt);
    EXPECT_EQ(LanguageForCommand(32819), LanguageId::English);
    EXPECT_EQ(LanguageForCommand(32821), LanguageId::German);
    EXPECT_EQ(LanguageForCommand(32824), LanguageId::Romanian);
    EXPECT_EQ(LanguageForCommand(32825), std::nullopt);
}

}  // namespace
