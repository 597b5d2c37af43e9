#include "recovery/recover_command.h"

#include <initializer_list>

#include "recovery/recover_paths.h"

const SixLanguageText MsgNoFileSelected = {{
    "",
    "No file selected!",
    "Aucun fichier n'a choisi!",
    "Keine Datei wählte vor!",
    "Nessuna lima ha selezionato!",
    "Ningún archivo seleccionó!",
    "Nici un fisier selectat!",
}};

const SixLanguageText MsgDeleteSourceQuestion = {{
    "",
    "Are you sure you want to delete source file %s ?",
    "Êtes vous sûr vous voulez supprimer le dossier %s ?",
    "Sind Sie sicher Sie möchten Datei löschen %s ?",
    "Siete sicuri voi desiderate cancellare la lima %s ?",
    "?Está usted seguro usted desea suprimir el archivo %s ?",
    "Sunteti sigur ca vreti sa stergeti fisierul sursa %s ?",
}};

const SixLanguageText MsgDeleteSourceConfirm = {{
    "",
    "Are you sure ?",
    "Êtes vous sûr ?",
    "Sind Sie sicher ?",
    "Siete sicuri ?",
    "?Está usted seguro ?",
    "Sunteti sigur?",
}};

const SixLanguageText MsgDeleteFileQuestion = {{
    "",
    "Are you sure you want to delete  file %s ?",
    "Êtes vous sûr vous voulez supprimer le dossier%s ?",
    "Sind Sie sicher Sie möchten Datei löschen %s ?",
    "Siete sicuri voi desiderate cancellare la lima %s ?",
    "?Está usted seguro usted desea suprimir el archivo %s ?",
    "Sunteti sigur ca vreti sa stergeti fisierul sursa %s ?",
}};

const SixLanguageText MsgImagesRecovered = {{
    "",
    "( %d )image(s) recovered stored in directory %s!",
    " ( %d ) image(s) de Doc. de  récupéré dans le folder %s!",
    " Das ( %d )- Buildung(s) zurückgewonnen gespeichert im Folder %s!",
    "( %d ) immagine(s)  recuperato memorizzato nell folder %s!",
    " ( %d ) image(s)   recuperado almacenado en directorio %s!",
    " ( %d ) imagini au fost salvate in directorul %s!",
}};

const SixLanguageText MsgNoImageRecovered = {{
    "",
    " No image recovered",
    " Aucun image récupéré!",
    " Kein Bild zurückgewonnen!",
    " Nessuno immagine recuperata!",
    " Ninguna imagen recuperada!",
    " Nu s-a recuperat nici o imagine!",
}};

namespace {

// The second delete question of Recover has a caption of its own.
constexpr std::string_view kConfirmCaption = "Varnick Image Recovery";
// Boxes with this caption get the application's name from the platform.
constexpr std::string_view kApplicationCaption;

// Puts `values` in place of the %d and %s of `pattern`, in order. The values are taken as they are, so a '%' in a
// path is harmless.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    const auto* value = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const bool placeholder = pattern[i] == '%' && i + 1 < pattern.size() &&
                                 (pattern[i + 1] == 'd' || pattern[i + 1] == 's') && value != values.end();
        if (placeholder) {
            text += *value++;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace

RecoverCommand::RecoverCommand(FileSystem& files, Platform& platform, SettingsStore& settings)
    : files_(files), platform_(platform), settings_(settings), carver_(files, platform) {}

CarveResult RecoverCommand::Recover(const std::optional<std::string>& selected_path,
                                    uint64_t last_added_size,
                                    LanguageId language) {
    if (!selected_path) {
        ShowNoFileSelected(language);
        return CarveResult{};
    }
    const SettingsRecord settings = settings_.LoadForRecover(language);
    const char separator = platform_.PathSeparator();
    const std::string source = ReduceSeparatorRuns(*selected_path, separator);
    const std::string folder = OutputFolderFor(settings, *selected_path, platform_.CurrentDirectory(), separator);
    WarnIfDiskFull(platform_, folder, last_added_size, language);

    CarveResult result = carver_.Carve(source, folder, language);
    platform_.ShowMessage(ResultMessage(result, language, platform_.Encoding()), kMessageCaption, MessageButtons::Ok);
    // After a failed carve the last picture may be cut short, and the source is all there is.
    if (settings.deleteSource == 1 && result.imageCount > 0 && !result.aborted && !result.failed)
        OfferToDelete(source, language);
    return result;
}

bool RecoverCommand::DeleteFileCommand(const std::optional<std::string>& selected_path, LanguageId language) {
    if (!selected_path) {
        ShowNoFileSelected(language);
        return false;
    }
    if (Ask(MsgDeleteFileQuestion, *selected_path, kApplicationCaption, language) != MessageAnswer::Yes)
        return false;
    if (!files_.Remove(*selected_path)) {
        ShowLocalizedMessage(platform_, MsgWriteError, language);
        return false;
    }
    return true;
}

// Whether the deletion worked is not reported: the images are safe either way.
void RecoverCommand::OfferToDelete(const std::string& source_path, LanguageId language) {
    if (Ask(MsgDeleteSourceQuestion, source_path, kApplicationCaption, language) != MessageAnswer::Yes)
        return;
    if (Ask(MsgDeleteSourceConfirm, source_path, kConfirmCaption, language) != MessageAnswer::Yes)
        return;
    files_.Remove(source_path);
}

void RecoverCommand::ShowNoFileSelected(LanguageId language) {
    platform_.ShowMessage(Localize(MsgNoFileSelected, language, platform_.Encoding()), kApplicationCaption,
                          MessageButtons::Ok);
}

MessageAnswer RecoverCommand::Ask(const SixLanguageText& question,
                                  const std::string& path,
                                  std::string_view caption,
                                  LanguageId language) {
    const std::string text = FillIn(Localize(question, language, platform_.Encoding()), {path});
    return platform_.ShowMessage(text, caption, MessageButtons::YesNo);
}

void WarnIfDiskFull(Platform& platform, const std::string& folder, uint64_t last_added_size, LanguageId language) {
    constexpr uint64_t kMarginKb = 10;
    const std::optional<uint64_t> free_bytes = platform.FreeBytes(folder);
    if (free_bytes && *free_bytes / 1024 < last_added_size / 1024 + kMarginKb)
        ShowLocalizedMessage(platform, MsgDiskFull, language);
}

std::string ResultMessage(const CarveResult& result, LanguageId language, TextEncoding encoding) {
    if (result.imageCount == 0)
        return Localize(MsgNoImageRecovered, language, encoding);
    return FillIn(Localize(MsgImagesRecovered, language, encoding),
                  {std::to_string(result.imageCount), result.imageFolder});
}

uint64_t FileSizeOf(FileSystem& files, const std::string& path) {
    return files.SizeOf(path).value_or(0);
}
