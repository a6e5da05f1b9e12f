#include "characterfiles.h"

#include "character.h"
#include "characterfile.h"
#include "formwidgets.h"

#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <filesystem>

namespace runetally {
namespace {

constexpr char kRecentKey[] = "RecentCharacters";

QSettings UserSettings() {
    return QSettings(QStringLiteral("Runetally"), QStringLiteral("Runetally"));
}

// Qt gives a file's name as text; its bytes are what names the file.
std::string PathOf(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

std::optional<std::string> Choose(QWidget* parent, QFileDialog::AcceptMode mode,
                                  std::string_view suggestedName) {
    // The dialog's caption is the system's own ("Open", "Save As").
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(
        QStringLiteral("Runetally characters (*%1)").arg(ToQString(kCharacterExtension)));
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(ToQString(kCharacterExtension.substr(1)));
        dialog.selectFile(ToQString(suggestedName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return PathOf(dialog.selectedFiles().front());
}

} // namespace

std::optional<std::string> ChooseCharacterToOpen(QWidget* parent) {
    return Choose(parent, QFileDialog::AcceptOpen, {});
}

std::optional<std::string> ChooseCharacterToSave(QWidget* parent, std::string_view suggestedName) {
    return Choose(parent, QFileDialog::AcceptSave, suggestedName);
}

std::vector<std::string> RecentCharacters() {
    const QVariant stored = UserSettings().value(kRecentKey);
    // The settings file gives a list of one text back as that text.
    const QVariantList items =
        stored.typeId() == QMetaType::QString ? QVariantList{stored} : stored.toList();
    std::vector<std::string> paths;
    for (const QVariant& item : items) {
        paths.push_back(item.typeId() == QMetaType::QByteArray ? item.toByteArray().toStdString()
                                                               : PathOf(item.toString()));
    }
    return paths;
}

void KeepRecentCharacters(std::span<const std::string> paths) {
    // Paths are kept as texts, readable in the file and by earlier versions; a name that is no
    // UTF-8 would not come back from a text, so a list that holds one keeps such names as bytes.
    QStringList texts;
    QVariantList items;
    bool allText = true;
    for (const std::string& path : paths) {
        const QByteArray bytes = QByteArray::fromStdString(path);
        texts << QFile::decodeName(bytes);
        const bool exact = PathOf(texts.back()) == path;
        allText = allText && exact;
        items << (exact ? QVariant(texts.back()) : QVariant(bytes));
    }
    UserSettings().setValue(kRecentKey, allText ? QVariant(texts) : QVariant(items));
}

std::optional<std::string> DraggedCharacter(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    // toLocalFile() decodes the name as UTF-8, which loses bytes that are none; the encoded
    // path keeps them.
    const QUrl url = data->urls().front();
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const std::string path =
        (url.host().isEmpty() ? "" : "//" + url.host().toStdString()) + bytes.toStdString();
    return HasCharacterExtension(path) ? std::optional(path) : std::nullopt;
}

std::optional<std::string> CharacterArgument(std::span<const std::string> arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].starts_with('-')) {
            // The recent list keeps it: a path relative to where the program started would
            // name another file, or none, in the next run. The name keeps its bytes, which a
            // QString would change where they are no UTF-8.
            std::error_code error;
            const std::filesystem::path whole = std::filesystem::absolute(arguments[i], error);
            return (error ? std::filesystem::path(arguments[i]) : whole)
                .lexically_normal()
                .string();
        }
    }
    return std::nullopt;
}

} // namespace runetally
