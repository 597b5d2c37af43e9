// Every text the engine shows, byte for byte in Windows-1252, in all six languages. The expected bytes are written
// with escapes so that they do not depend on the conversion they check.
#include <gtest/gtest.h>

#include "languages/code_page.h"
#include "languages/language.h"
#include "recovery/image_carver.h"
#include "recovery/recover_command.h"

namespace {

struct ExpectedEntry {
    const SixLanguageText* entry;
    std::array<const char*, kLanguageCount> cp1252;
};

const ExpectedEntry kEntries[] = {
    {&MsgMissingFile,
     {{
         "Missing file. Please reinstall!",
         "Ne peut pas trouver file.Svp r\xE9installer!",
         "Fehlende file.Bitte installieren wieder!",
         "Non pu\xF2 trovare file.Prego reinstallare!",
         "\xA1No puede encontrar file.\xA1Por favor para reinstalar!",
         "Fisier lipsa. Va rugam reinstalati!",
     }}},
    {&MsgWriteError,
     {{
         "Error writing file. Quit any application that might use the file!",
         "Erreur pour le dossier .  Stoppez l'application qui pourrait employer le dossier!",
         "St\xF6rungsschreibensakte.  Beendigen Sie jede m\xF6gliche Anwendung, die die Datei benutzen konnte!",
         "Errore per la lima.  Rinunci l'applicazione che potrebbe usare la lima!",
         "Error para el archivo .  \xA1Pare el uso que pudo utilizar el archivo!",
         "Eroare scriere fisier. Inchideti orice fisier care ar putea folosi fisierul!",
     }}},
    {&MsgDiskFull,
     {{
         "Disk full!",
         "Le disque est plein!",
         "Disk ist voll!",
         "Il disc \xE8 pieno!",
         "\xA1"
         "El disco es lleno!",
         "Discul este plin!",
     }}},
    {&MsgImagesFolderExists,
     {{
         "Images directory already exists!! Process aborted for recovery of images.. Set the path for recovered images "
         "directory in settings as described in help!",
         "Le images dossier existe d\xE9j\xE0!!  Le processus s'est interrompu pour le r\xE9tablissement des images.  "
         "Placez le chemin pour le fichier r\xE9"
         "cup\xE9r\xE9 d'images dans les configuration comme d\xE9"
         "crit dans l'aide!",
         "Build Akte besteht bereits!!  Proze\xDF unterbrochen f\xFCr Wiederaufnahme von Bildern..  Stellen Sie den "
         "Weg f\xFCr zur\xFC"
         "ckgewonnenes Bildverzeichnis in den Einstellungen ein, wie in der Hilfe beschrieben!",
         "La immagine. lima gi\xE0 esiste!!  Processo interrotto per il recupero delle immagini..  Regoli il percorso "
         "per l'indice recuperato di immagini nelle regolazioni come descritte nell'aiuto!",
         "\xA1"
         "El imagen archivo existe ya!!  El proceso interrumpi\xF3 para la recuperaci\xF3n de im\xE1genes..  \xA1"
         "Fije la trayectoria para el directorio recuperado de las im\xE1genes en ajustes seg\xFAn lo descrito en "
         "ayuda!",
         "Fisierul imagine exista deja!!  Proces abandonat pentru recuperarea imaginilor! Faceti setarea in Setari "
         "pentru modificarea dosarului destinatie!",
     }}},
    {&MsgNoFileSelected,
     {{
         "No file selected!",
         "Aucun fichier n'a choisi!",
         "Keine Datei w\xE4hlte vor!",
         "Nessuna lima ha selezionato!",
         "Ning\xFAn archivo seleccion\xF3!",
         "Nici un fisier selectat!",
     }}},
    {&MsgDeleteSourceQuestion,
     {{
         "Are you sure you want to delete source file %s ?",
         "\xCAtes vous s\xFBr vous voulez supprimer le dossier %s ?",
         "Sind Sie sicher Sie m\xF6"
         "chten Datei l\xF6schen %s ?",
         "Siete sicuri voi desiderate cancellare la lima %s ?",
         "?Est\xE1 usted seguro usted desea suprimir el archivo %s ?",
         "Sunteti sigur ca vreti sa stergeti fisierul sursa %s ?",
     }}},
    {&MsgDeleteFileQuestion,
     {{
         "Are you sure you want to delete  file %s ?",
         "\xCAtes vous s\xFBr vous voulez supprimer le dossier%s ?",
         "Sind Sie sicher Sie m\xF6"
         "chten Datei l\xF6schen %s ?",
         "Siete sicuri voi desiderate cancellare la lima %s ?",
         "?Est\xE1 usted seguro usted desea suprimir el archivo %s ?",
         "Sunteti sigur ca vreti sa stergeti fisierul sursa %s ?",
     }}},
    {&MsgDeleteSourceConfirm,
     {{
         "Are you sure ?",
         "\xCAtes vous s\xFBr ?",
         "Sind Sie sicher ?",
         "Siete sicuri ?",
         "?Est\xE1 usted seguro ?",
         "Sunteti sigur?",
     }}},
    {&MsgImagesRecovered,
     {{
         "( %d )image(s) recovered stored in directory %s!",
         " ( %d ) image(s) de Doc. de  r\xE9"
         "cup\xE9r\xE9 dans le folder %s!",
         " Das ( %d )- Buildung(s) zur\xFC"
         "ckgewonnen gespeichert im Folder %s!",
         "( %d ) immagine(s)  recuperato memorizzato nell folder %s!",
         " ( %d ) image(s)   recuperado almacenado en directorio %s!",
         " ( %d ) imagini au fost salvate in directorul %s!",
     }}},
    {&MsgNoImageRecovered,
     {{
         " No image recovered",
         " Aucun image r\xE9"
         "cup\xE9r\xE9!",
         " Kein Bild zur\xFC"
         "ckgewonnen!",
         " Nessuno immagine recuperata!",
         " Ninguna imagen recuperada!",
         " Nu s-a recuperat nici o imagine!",
     }}},
};

TEST(LanguageTexts, EveryEntryHasItsExactBytesInEveryLanguage) {
    for (const ExpectedEntry& expected : kEntries) {
        EXPECT_TRUE(expected.entry->utf8[0].empty());
        for (int number = 1; number <= kLanguageCount; ++number) {
            const auto language = static_cast<LanguageId>(number);
            EXPECT_EQ(Localize(*expected.entry, language, TextEncoding::Cp1252), expected.cp1252[number - 1])
                << "language " << number << ": " << expected.entry->utf8[1];
            EXPECT_EQ(Localize(*expected.entry, language, TextEncoding::Utf8),
                      Cp1252ToUtf8(expected.cp1252[number - 1]));
        }
    }
}

TEST(LanguageTexts, NumbersOutsideTheSixLanguagesReadAsEnglish) {
    for (const int number : {0, 7, -1, 127, -128, 255, 1 << 20}) {
        EXPECT_EQ(LanguageFromNumber(number), LanguageId::English) << number;
        const auto unchecked = static_cast<LanguageId>(number);
        EXPECT_EQ(Localize(MsgDiskFull, unchecked, TextEncoding::Cp1252), "Disk full!") << number;
        EXPECT_EQ(LanguageName(unchecked), "English");
    }
    EXPECT_EQ(LanguageFromNumber(6), LanguageId::Romanian);
    EXPECT_EQ(LanguageName(LanguageId::German), "German");
}

}  // namespace
