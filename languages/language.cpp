#include "languages/language.h"

#include "languages/code_page.h"

LanguageId LanguageFromNumber(int number) {
    if (number < 1 || number > kLanguageCount)
        return LanguageId::English;
    return static_cast<LanguageId>(number);
}

std::string_view LanguageName(LanguageId language) {
    constexpr std::array<std::string_view, kLanguageCount + 1> kNames = {
        "", "English", "French", "German", "Italian", "Spanish", "Romanian",
    };
    return kNames[static_cast<size_t>(LanguageFromNumber(static_cast<int>(language)))];
}

std::string Localize(const SixLanguageText& entry, LanguageId language, TextEncoding encoding) {
    // The same guard again: a LanguageId cast from an unchecked number must not index past the table.
    const std::string_view utf8 = entry.utf8[static_cast<size_t>(LanguageFromNumber(static_cast<int>(language)))];
    return encoding == TextEncoding::Cp1252 ? Utf8ToCp1252(utf8) : std::string(utf8);
}

void ShowLocalizedMessage(Platform& platform, const SixLanguageText& entry, LanguageId language) {
    platform.ShowMessage(Localize(entry, language, platform.Encoding()), kMessageCaption, MessageButtons::Ok);
}

const SixLanguageText MsgMissingFile = {{
    "",
    "Missing file. Please reinstall!",
    "Ne peut pas trouver file.Svp réinstaller!",
    "Fehlende file.Bitte installieren wieder!",
    "Non può trovare file.Prego reinstallare!",
    "¡No puede encontrar file.¡Por favor para reinstalar!",
    "Fisier lipsa. Va rugam reinstalati!",
}};

const SixLanguageText MsgWriteError = {{
    "",
    "Error writing file. Quit any application that might use the file!",
    "Erreur pour le dossier .  Stoppez l'application qui pourrait employer le dossier!",
    "Störungsschreibensakte.  Beendigen Sie jede mögliche Anwendung, die die Datei benutzen konnte!",
    "Errore per la lima.  Rinunci l'applicazione che potrebbe usare la lima!",
    "Error para el archivo .  ¡Pare el uso que pudo utilizar el archivo!",
    "Eroare scriere fisier. Inchideti orice fisier care ar putea folosi fisierul!",
}};

const SixLanguageText MsgDiskFull = {{
    "",
    "Disk full!",
    "Le disque est plein!",
    "Disk ist voll!",
    "Il disc è pieno!",
    "¡El disco es lleno!",
    "Discul este plin!",
}};
