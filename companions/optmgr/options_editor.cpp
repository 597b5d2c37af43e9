#include "companions/optmgr/options_editor.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "companions/optmgr/optmgr_texts.h"
#include "languages/code_page.h"
#include "recovery/settings_file.h"
#include "recovery/settings_values.h"

namespace {

// The language of a damaged file's messages: its language byte when it has one that names a language.
LanguageId LanguageOfDamaged(const std::vector<uint8_t>& bytes) {
    if (bytes.size() <= kLanguageField.offset)
        return LanguageId::English;
    return LanguageFromNumber(static_cast<int8_t>(bytes[kLanguageField.offset]));
}

std::string ToUtf8(const std::string& cp1252, TextEncoding encoding) {
    return encoding == TextEncoding::Cp1252 ? Cp1252ToUtf8(cp1252) : cp1252;
}

}  // namespace

OptionsEditor::OptionsEditor(FileSystem& files, Platform& platform, std::string path)
    : files_(files), platform_(platform), path_(std::move(path)), record_(DefaultFileRecordBytes()) {}

OpenOutcome OptionsEditor::Open() {
    const bool exists = files_.Exists(path_);
    const std::optional<std::vector<uint8_t>> bytes = exists ? ReadSettingsFile(files_, path_) : std::nullopt;
    if (exists && !bytes) {
        Tell(OptCannotRead, path_ + "\n" + files_.LastError(), MessageIcon::Stop);
        return OpenOutcome::Failed;
    }
    std::string problem;
    if (bytes) {
        if (const std::optional<SettingsBytes> record = WholeSettingsRecord(*bytes, &problem)) {
            record_ = *record;
            return OpenOutcome::Ready;
        }
    }
    const LanguageId language = bytes ? LanguageOfDamaged(*bytes) : LanguageId::English;
    const std::string question = Localize(bytes ? OptFileDamaged : OptFileMissing, language, platform_.Encoding()) +
                                 "\n\n" + path_ + "\n\n" +
                                 Localize(OptAskWriteDefaults, language, platform_.Encoding());
    const std::string caption = Localize(OptCaption, language, platform_.Encoding());
    if (platform_.ShowMessage(question, caption, MessageButtons::YesNo, MessageIcon::Warning) != MessageAnswer::Yes)
        return OpenOutcome::Declined;
    record_ = DefaultFileRecordBytes();
    return WriteRecord(record_, OptCannotSave) ? OpenOutcome::Ready : OpenOutcome::Failed;
}

OutputOptions OptionsEditor::Shown() const {
    const SettingsRecord fields = DecodeSettings(record_);
    return OutputOptions{ToUtf8(fields.outputFolder, platform_.Encoding()), ToUtf8(fields.suffix, platform_.Encoding()),
                         fields.deleteSource == 1};
}

bool OptionsEditor::Save(const OutputOptions& options) {
    const SettingsText folder = FolderFromUtf8(options.outputFolder, kOutputFolderField, platform_.PathSeparator());
    if (folder.problem != SettingsValueProblem::Fits) {
        Tell(FolderRefusal(folder.problem), "", MessageIcon::Warning);
        return false;
    }
    const SettingsText suffix = SuffixFromUtf8(options.suffix);
    if (suffix.problem != SettingsValueProblem::Fits) {
        Tell(SuffixRefusal(suffix.problem), "", MessageIcon::Warning);
        return false;
    }
    // The recovery program may have stored another language while this dialog was open: that change stays. A file
    // that went missing or was damaged meanwhile gets the record this dialog opened with.
    SettingsBytes record = record_;
    std::string ignored;
    if (const std::optional<std::vector<uint8_t>> bytes = ReadSettingsFile(files_, path_)) {
        if (const std::optional<SettingsBytes> current = WholeSettingsRecord(*bytes, &ignored))
            record = *current;
    }
    SettingsRecord fields = DecodeSettings(record);
    fields.outputFolder = folder.bytes;
    fields.suffix = suffix.bytes;
    // Only 1 offers the deletion; any other value the file holds means no and is kept while the tick stays off.
    if ((fields.deleteSource == 1) != options.deleteSource)
        fields.deleteSource = options.deleteSource ? 1 : 0;
    EncodeSettings(fields, &record);
    if (!WriteRecord(record, OptCannotSave))
        return false;
    record_ = record;
    return true;
}

bool OptionsEditor::WriteRecord(const SettingsBytes& record, const SixLanguageText& failure) {
    std::string error;
    if (WriteSettingsFile(files_, path_, SettingsFileBytes(record, CheckValueOf(record)), &error))
        return true;
    Tell(failure, path_ + "\n" + error, MessageIcon::Stop);
    return false;
}

void OptionsEditor::Tell(const SixLanguageText& text, const std::string& detail, MessageIcon icon) {
    std::string message = Localize(text, Language(), platform_.Encoding());
    if (!detail.empty())
        message += "\n\n" + detail;
    platform_.ShowMessage(message, Localize(OptCaption, Language(), platform_.Encoding()), MessageButtons::Ok, icon);
}
