#include "about/about_lines.h"

#include <string_view>

#include "languages/code_page.h"
#include "widgets/home_page.h"

namespace {

// One language's lines. The runs of spaces centre each line in the box's font; the texts are the product's own.
struct AboutLanguage {
    size_t titleBefore, titleAfter, blank;
    std::string_view description;  // UTF-8, as every text of the source
    size_t noticeIndent;
    std::string_view notice;
    std::string_view release;
    size_t contactIndent;
};

constexpr std::string_view kTitle = "Varnick PSD Recovery";
constexpr size_t kContactGap = 6;  // between the e-mail and the web-site address

constexpr AboutLanguage kLanguages[kLanguageCount] = {
    {52, 50, 50, "    Tolvane is a image recovery utility for Photoshop PSD format files. ", 16,
     "Copyright © 2004 Varnick Software. All rights reserved.", "                Release: 01.02.2004", 2},
    {53, 51, 50, "Tolvane est une utilité de rétablissement d'image pour des fichiers de Photoshop PSD format.  ", 14,
     "Copyright © 2004 Varnick Software. Tous droits réservés.", "              Dégagement:  01.02.2004", 4},
    {54, 52, 50, "Tolvane ist ein Bildwiederaufnahmendienstprogramm für Akten Photoshop PSD. ", 11,
     "Copyright © 2004 Varnick Software. Alle Rechte vorbehalten.", "                Freigabe:  01.02.2004", 4},
    {55, 52, 50, "   Tolvane è un programma di utilità di recupero di immagine per le lime di Photoshop PSD. ", 7,
     "Copyright © 2004 Varnick Software. Tutti i diritti riservati.", "                 Rilascio:  01.02.2004", 1},
    {56, 52, 50, "   Tolvane es una utilidad de la recuperación de la imagen para los archivos de Photoshop PSD. .", 14,
     "Copyright © 2004 Varnick Software. Todos los derechos reservados.", "                 Lanzamiento:  01.02.2004 ",
     2},
    {57, 58, 53, "   Tolvane este un utilitar pentru recuperarea de imagini din fisiere Photoshop PSD  ", 6,
     "Copyright © 2004 Varnick Software. Toate drepturile rezervate.", "   Versiune    01.02.2004   ", 2},
};

std::string Spaces(size_t count) {
    return std::string(count, ' ');
}

AboutLines LinesOf(const AboutLanguage& language) {
    AboutLines lines;
    lines[AboutTitle] = Spaces(language.titleBefore) + std::string(kTitle) + Spaces(language.titleAfter);
    lines[AboutBlank] = Spaces(language.blank);
    lines[AboutDescription] = Utf8ToCp1252(language.description);
    lines[AboutNotice] = Spaces(language.noticeIndent) + Utf8ToCp1252(language.notice);
    lines[AboutRelease] = Utf8ToCp1252(language.release);
    lines[AboutContact] =
        Spaces(language.contactIndent) + "E-mail: " + kMakerEmailAddress + Spaces(kContactGap) + kHomePageAddress;
    return lines;
}

}  // namespace

AboutLineTable MakeAboutLineTable() {
    AboutLineTable table;
    for (size_t i = 0; i < kLanguageCount; ++i)
        table[i + 1] = LinesOf(kLanguages[i]);
    return table;
}
