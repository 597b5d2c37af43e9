#include "mainwindow/text_catalogue.h"

// Every table: English, French, German, Italian, Spanish, Romanian. Blanks and spellings are the product's own.

const SixLanguageText ColPathname = {{"", "Pathname", "Chemin", "Weg", "Percorso", "Trayectoria", "Cale"}};
const SixLanguageText ColSize = {{"", "Size KB", " KB", "Größe KB", "Formato KB", "Tamaño KB", "Marime KB"}};
const SixLanguageText ColDate = {{"", "Date", "Date", "Datum", "Data", "Fecha", "Data"}};
const SixLanguageText ColTime = {{"", "Time", "Temps", "Zeit", "Tempo", "Tiempo", "Timp"}};

const SixLanguageText MenuAddFile = {{
    "",
    "Ad File",
    "Annonce un fichier",
    "Datei Anzeige ",
    "Annuncio una lima",
    "Anuncio un archivo",
    "Adauga Fisier",
}};
const SixLanguageText MenuDeleteFile = {{
    "",
    "Delete File",
    "Enlèvent le fichier",
    "Datei Entfernen ",
    "Rimuovono la lima",
    "Quitar el archivo de disco",
    "Sterge",
}};
const SixLanguageText MenuClearList = {{
    "",
    "Clear List",
    "Vider la liste",
    "Liste leeren",
    "Svuotare la lista",
    "Vaciar la lista",
    "List vida",
}};
const SixLanguageText MenuRecover = {{
    "",
    "Recover",
    "Recover",
    "Datenrettung",
    "Recover",
    "Recuperación",
    "Recupereaza",
}};
const SixLanguageText MenuExit = {{"", "Exit", "Sortie", "Exit", "Esci", "Salir", "Terminare"}};
const SixLanguageText MenuOptions = {{
    "",
    "Options",
    "Configuration",
    "Einstellungen",
    "Opzioni",
    "Opciones",
    "Optiuni",
}};
const SixLanguageText MenuLaunchHelp = {{"", "Help", "Aide", "Hilfe", "Aiuto", "Ayuda", "Ajutor"}};
const SixLanguageText MenuAbout = {{"", "About", "About", "About", "About", "About", "Despre noi"}};

const SixLanguageText CtxRecover = {{
    "",
    "Recover",
    "Recover",
    "Datenrettung",
    "Recuperatione",
    "Recuperation",
    "Recupereaza",
}};
const SixLanguageText CtxDelete = {{
    "",
    "Delete",
    "Enlèvent le fichier",
    " Akte Entfernen",
    "Rimuovono la lima",
    "Quitar el archivo de disco",
    "Sterge de pe disk",
}};
const SixLanguageText CtxRemove = {{
    "",
    "Remove from list",
    "Vider la liste",
    "Liste leeren",
    "Svuotare la lista",
    "Vaciar la lista",
    "Sterge din lista",
}};

const SixLanguageText TipOpen = {{
    "",
    "Ad a file in the list",
    "Annonce un fichier ",
    "Datei Anzeige",
    "Annuncio una lima",
    "Anuncio un archivo",
    "Adauga un fisier in lista",
}};
const SixLanguageText TipExtract = {{
    "",
    "Recover the selected file ",
    "Recuperation de fichier ",
    "Datenrettung",
    "Recuperatione",
    "Recuperación ",
    "Recupereaza fisierul selectat din lista",
}};
const SixLanguageText TipOptions = {{
    "",
    "Set configuration for recovery process",
    "Configuration",
    "Einstellungen",
    "Configuratione",
    "Opciones",
    "Seteaza optiunile pentru procesul de recuperare",
}};
const SixLanguageText TipHelp = {{"", "Help", "Aide", "Hilfe", "Aiuto", "Ayuda", "Ajutor"}};
const SixLanguageText TipExit = {{"", "Exit", "Sortie", "Exit", "Esci", "Salir", "Terminare program"}};
const SixLanguageText TipDelete = {{
    "",
    "Remove the selected file from disk",
    "Enlèvent le fichier ",
    "Datei Entfernen",
    "Rimuovono la lima",
    "Quite el archivo seleccionado de disco",
    "Sterge fisierul selectat de pe disk",
}};
const SixLanguageText TipEmptyList = {{
    "",
    "Empty list",
    "Vider la liste",
    "Liste leeren",
    "Svuotare la lista",
    "Vaciar la lista",
    "Lista goala",
}};

const SixLanguageText OpenDialogTitle = {{
    "",
    "Ad file ",
    "Ajoutez le fichier ",
    "Datei vorzuwählen ",
    "Aggiunga il file ",
    "Agregue el file ",
    "Adauga fisier",
}};

MenuBarImageIds MenuBarImagesFor(LanguageId language) {
    const int first = kFirstMenuBarImage + 3 * (static_cast<int>(LanguageFromNumber(static_cast<int>(language))) - 1);
    return {first, first + 1, first + 2};
}

std::optional<LanguageId> LanguageForCommand(int command) {
    const int number = command - kFirstLanguageCommand + 1;
    if (number < 1 || number > kLanguageCount)
        return std::nullopt;
    return static_cast<LanguageId>(number);
}
