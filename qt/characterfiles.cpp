#include "characterfiles.h"

#include "character.h"
#include "characterfile.h"
#include "formwidgets.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

namespace runetally {
namespace {

constexpr char kRecentKey[] = "RecentCharacters";

QSettings UserSettings() {
    return QSettings(QStringLiteral("Runetally"), QStringLiteral("Runetally"));
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
    return dialog.selectedFiles().front().toStdString();
}

} // namespace

std::optional<std::string> ChooseCharacterToOpen(QWidget* parent) {
    return Choose(parent, QFileDialog::AcceptOpen, {});
}

std::optional<std::string> ChooseCharacterToSave(QWidget* parent, std::string_view suggestedName) {
    return Choose(parent, QFileDialog::AcceptSave, suggestedName);
}

std::vector<std::string> RecentCharacters() {
    std::vector<std::string> paths;
    for (const QString& path : UserSettings().value(kRecentKey).toStringList()) {
        paths.push_back(path.toStdString());
    }
    return paths;
}

void KeepRecentCharacters(std::span<const std::string> paths) {
    QStringList list;
    for (const std::string& path : paths) {
        list << ToQString(path);
    }
    UserSettings().setValue(kRecentKey, list);
}

std::optional<std::string> DraggedCharacter(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    const std::string path = data->urls().front().toLocalFile().toStdString();
    return HasCharacterExtension(path) ? std::optional(path) : std::nullopt;
}

std::optional<std::string> CharacterArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(u'-')) {
            // The recent list keeps it: a path relative to where the program started would
            // name another file, or none, in the next run.
            return QFileInfo(arguments[i]).absoluteFilePath().toStdString();
        }
    }
    return std::nullopt;
}

} // namespace runetally
