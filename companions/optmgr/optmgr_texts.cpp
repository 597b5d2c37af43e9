#include "companions/optmgr/optmgr_texts.h"

// Every table: English, French, German, Italian, Spanish, Romanian. Romanian is written without the letters
// Windows-1252 lacks (a with breve, s and t with comma), as the recovery program's own texts are.

const SixLanguageText OptCaption = {{
    "",
    "Tolvane Options",
    "Options de Tolvane",
    "Tolvane-Optionen",
    "Opzioni di Tolvane",
    "Opciones de Tolvane",
    "Optiuni Tolvane",
}};
const SixLanguageText OptFolderLabel = {{
    "",
    "&Folder for the recovered pictures:",
    "&Dossier des images récupérées :",
    "&Ordner für die geretteten Bilder:",
    "&Cartella per le immagini recuperate:",
    "&Carpeta para las imágenes recuperadas:",
    "&Dosar pentru imaginile recuperate:",
}};
const SixLanguageText OptFolderHint = {{
    "",
    "Empty: the folders are made in the current folder of the recovery.",
    "Vide : les dossiers sont créés dans le dossier courant de la récupération.",
    "Leer: die Ordner entstehen im aktuellen Ordner der Rettung.",
    "Vuota: le cartelle vengono create nella cartella corrente del recupero.",
    "Vacía: las carpetas se crean en la carpeta actual de la recuperación.",
    "Gol: dosarele se creeaza în dosarul curent al recuperarii.",
}};
const SixLanguageText OptBrowse = {{
    "",
    "&Browse…",
    "&Parcourir…",
    "&Durchsuchen…",
    "&Sfoglia…",
    "&Examinar…",
    "&Rasfoire…",
}};
const SixLanguageText OptBrowseTitle = {{
    "",
    "Choose the folder in which the folders of recovered pictures are made.",
    "Choisissez le dossier où sont créés les dossiers des images récupérées.",
    "Wählen Sie den Ordner, in dem die Ordner der geretteten Bilder entstehen.",
    "Scegliete la cartella in cui vengono create le cartelle delle immagini recuperate.",
    "Elija la carpeta en la que se crean las carpetas de las imágenes recuperadas.",
    "Alegeti dosarul în care se creeaza dosarele imaginilor recuperate.",
}};
const SixLanguageText OptSuffixLabel = {{
    "",
    "&Suffix of the folder name:",
    "&Suffixe du nom de dossier :",
    "&Endung des Ordnernamens:",
    "S&uffisso del nome della cartella:",
    "&Sufijo del nombre de la carpeta:",
    "&Sufixul numelui de dosar:",
}};
const SixLanguageText OptSuffixHint = {{
    "",
    "At most 3 characters: photo.psd gives photoREC.",
    "3 caractères au plus : photo.psd donne photoREC.",
    "Höchstens 3 Zeichen: photo.psd ergibt photoREC.",
    "Al massimo 3 caratteri: photo.psd dà photoREC.",
    "Como máximo 3 caracteres: photo.psd da photoREC.",
    "Cel mult 3 caractere: photo.psd da photoREC.",
}};
const SixLanguageText OptDeleteSource = {{
    "",
    "Offer to &delete the source after a recovery",
    "Proposer de supprimer la source après une &récupération",
    "Nach einer Rettung das &Löschen der Quelle anbieten",
    "Proporre di &eliminare l'originale dopo un recupero",
    "Ofrecer &borrar el original después de una recuperación",
    "Propune s&tergerea sursei dupa o recuperare",
}};
const SixLanguageText OptOk = {{"", "OK", "OK", "OK", "OK", "Aceptar", "OK"}};
const SixLanguageText OptCancel = {{"", "Cancel", "Annuler", "Abbrechen", "Annulla", "Cancelar", "Anulare"}};

const SixLanguageText OptFileMissing = {{
    "",
    "The settings file is missing:",
    "Le fichier des réglages est introuvable :",
    "Die Einstellungsdatei fehlt:",
    "Il file delle impostazioni manca:",
    "Falta el archivo de configuración:",
    "Fisierul de setari lipseste:",
}};
const SixLanguageText OptFileDamaged = {{
    "",
    "The settings file is damaged (it is not 424 bytes long or fails its check):",
    "Le fichier des réglages est endommagé (il ne fait pas 424 octets ou échoue à son contrôle) :",
    "Die Einstellungsdatei ist beschädigt (sie ist nicht 424 Bytes lang oder besteht ihre Prüfung nicht):",
    "Il file delle impostazioni è danneggiato (non è lungo 424 byte o non supera il controllo):",
    "El archivo de configuración está dañado (no mide 424 bytes o no pasa su comprobación):",
    "Fisierul de setari este deteriorat (nu are 424 de octeti sau nu trece verificarea):",
}};
const SixLanguageText OptAskWriteDefaults = {{
    "",
    "Write the default settings to it now? No closes the program and changes nothing.",
    "Y écrire maintenant les réglages par défaut ? Non ferme le programme sans rien changer.",
    "Jetzt die Standardeinstellungen hineinschreiben? Nein beendet das Programm und ändert nichts.",
    "Scrivervi ora le impostazioni predefinite? No chiude il programma senza cambiare nulla.",
    "¿Escribir ahora en él la configuración predeterminada? No cierra el programa sin cambiar nada.",
    "Scrieti acum setarile implicite în el? Nu închide programul fara sa schimbe nimic.",
}};
const SixLanguageText OptCannotRead = {{
    "",
    "The settings file cannot be read; nothing was changed:",
    "Le fichier des réglages ne peut pas être lu ; rien n'a été changé :",
    "Die Einstellungsdatei kann nicht gelesen werden; nichts wurde geändert:",
    "Il file delle impostazioni non può essere letto; non è stato cambiato nulla:",
    "No se puede leer el archivo de configuración; no se ha cambiado nada:",
    "Fisierul de setari nu poate fi citit; nu s-a schimbat nimic:",
}};
const SixLanguageText OptCannotSave = {{
    "",
    "The settings could not be saved; the file stays as it was:",
    "Les réglages n'ont pas pu être enregistrés ; le fichier reste tel quel :",
    "Die Einstellungen konnten nicht gespeichert werden; die Datei bleibt, wie sie war:",
    "Le impostazioni non sono state salvate; il file resta com'era:",
    "No se pudo guardar la configuración; el archivo queda como estaba:",
    "Setarile nu au putut fi salvate; fisierul ramâne cum era:",
}};

namespace {

const SixLanguageText kFolderTooLong = {{
    "",
    "The folder is too long: at most 199 characters, the backslash at its end included.",
    "Le dossier est trop long : 199 caractères au plus, barre oblique inverse finale comprise.",
    "Der Ordner ist zu lang: höchstens 199 Zeichen, der umgekehrte Schrägstrich am Ende eingeschlossen.",
    "La cartella è troppo lunga: al massimo 199 caratteri, compresa la barra rovesciata finale.",
    "La carpeta es demasiado larga: como máximo 199 caracteres, incluida la barra invertida final.",
    "Dosarul este prea lung: cel mult 199 de caractere, inclusiv bara inversa de la sfârsit.",
}};
const SixLanguageText kFolderCharacter = {{
    "",
    "The folder holds a character the settings file cannot store (a control character, or one outside the "
    "Western European character set).",
    "Le dossier contient un caractère que le fichier des réglages ne peut pas stocker (un caractère de contrôle, "
    "ou hors du jeu de caractères d'Europe occidentale).",
    "Der Ordner enthält ein Zeichen, das die Einstellungsdatei nicht speichern kann (ein Steuerzeichen oder eines "
    "außerhalb des westeuropäischen Zeichensatzes).",
    "La cartella contiene un carattere che il file delle impostazioni non può memorizzare (un carattere di "
    "controllo, o uno fuori dall'insieme di caratteri dell'Europa occidentale).",
    "La carpeta contiene un carácter que el archivo de configuración no puede guardar (un carácter de control, o "
    "uno fuera del juego de caracteres de Europa occidental).",
    "Dosarul contine un caracter pe care fisierul de setari nu îl poate pastra (un caracter de control sau unul "
    "din afara setului de caractere vest-european).",
}};
const SixLanguageText kSuffixTooLong = {{
    "",
    "The suffix may have at most 3 characters.",
    "Le suffixe peut avoir 3 caractères au plus.",
    "Die Endung darf höchstens 3 Zeichen haben.",
    "Il suffisso può avere al massimo 3 caratteri.",
    "El sufijo puede tener como máximo 3 caracteres.",
    "Sufixul poate avea cel mult 3 caractere.",
}};
const SixLanguageText kSuffixPathCharacter = {{
    "",
    "The suffix must not hold \\, / or :, which would put the pictures into another folder.",
    "Le suffixe ne doit contenir ni \\, ni /, ni : : les images iraient dans un autre dossier.",
    "Die Endung darf weder \\ noch / noch : enthalten, sonst kämen die Bilder in einen anderen Ordner.",
    "Il suffisso non deve contenere \\, / o :, che metterebbero le immagini in un'altra cartella.",
    "El sufijo no debe contener \\, / ni :, que pondrían las imágenes en otra carpeta.",
    "Sufixul nu trebuie sa contina \\, / sau :, care ar pune imaginile în alt dosar.",
}};
const SixLanguageText kSuffixCharacter = {{
    "",
    "The suffix holds a character the settings file cannot store (a control character, or one outside the "
    "Western European character set).",
    "Le suffixe contient un caractère que le fichier des réglages ne peut pas stocker (un caractère de contrôle, "
    "ou hors du jeu de caractères d'Europe occidentale).",
    "Die Endung enthält ein Zeichen, das die Einstellungsdatei nicht speichern kann (ein Steuerzeichen oder eines "
    "außerhalb des westeuropäischen Zeichensatzes).",
    "Il suffisso contiene un carattere che il file delle impostazioni non può memorizzare (un carattere di "
    "controllo, o uno fuori dall'insieme di caratteri dell'Europa occidentale).",
    "El sufijo contiene un carácter que el archivo de configuración no puede guardar (un carácter de control, o "
    "uno fuera del juego de caracteres de Europa occidental).",
    "Sufixul contine un caracter pe care fisierul de setari nu îl poate pastra (un caracter de control sau unul "
    "din afara setului de caractere vest-european).",
}};
const SixLanguageText kSuffixDotName = {{
    "",
    "The suffix must not be . or .., which name folders that exist already.",
    "Le suffixe ne doit pas être . ou .., qui désignent des dossiers existants.",
    "Die Endung darf nicht . oder .. sein, die schon vorhandene Ordner bezeichnen.",
    "Il suffisso non deve essere . o .., che indicano cartelle già esistenti.",
    "El sufijo no debe ser . ni .., que designan carpetas ya existentes.",
    "Sufixul nu trebuie sa fie . sau .., care denumesc dosare deja existente.",
}};

}  // namespace

const SixLanguageText& FolderRefusal(SettingsValueProblem problem) {
    return problem == SettingsValueProblem::TooLong ? kFolderTooLong : kFolderCharacter;
}

const SixLanguageText& SuffixRefusal(SettingsValueProblem problem) {
    switch (problem) {
        case SettingsValueProblem::TooLong:
            return kSuffixTooLong;
        case SettingsValueProblem::PathCharacter:
            return kSuffixPathCharacter;
        case SettingsValueProblem::DotName:
            return kSuffixDotName;
        case SettingsValueProblem::Fits:
        case SettingsValueProblem::ControlCharacter:
        case SettingsValueProblem::NotInCodePage:
            break;
    }
    return kSuffixCharacter;
}
