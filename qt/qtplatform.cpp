#include "qtplatform.h"

#include "characterfile.h"
#include "formwidgets.h"
#include "windowservices.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>

#include <algorithm>

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

// A file dialog for characters over `parent`: the file chosen, or nothing when the player cancels.
std::optional<std::string> Choose(QWidget* parent, QFileDialog::AcceptMode mode,
                                  std::string_view suggested) {
    // The dialog's caption is the system's own ("Open", "Save As").
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(
        QStringLiteral("Runetally characters (*%1)").arg(ToQString(kCharacterExtension)));
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(ToQString(kCharacterExtension.substr(1)));
        dialog.selectFile(ToQString(suggested));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return PathOf(dialog.selectedFiles().front());
}

QMessageBox::StandardButton ToButton(Answer answer) {
    static constexpr QMessageBox::StandardButton kButtons[] = {QMessageBox::Yes, QMessageBox::No,
                                                               QMessageBox::Cancel};
    static_assert(int(Answer::Yes) == 0 && int(Answer::No) == 1 && int(Answer::Cancel) == 2);
    return kButtons[static_cast<int>(answer)];
}

// An application-modal box with no icon, these buttons and the application's title as caption,
// Enter pressing `byDefault`; the button the player chose, `escape` when the box was closed
// another way (Esc, its close box), or none.
QMessageBox::StandardButton Show(std::string_view text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton byDefault,
                                 QMessageBox::StandardButton escape) {
    // The box has no owner, so nothing hands the keyboard back to the window the player was
    // working in when it closes; that window is activated again here, its focus widget intact.
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ToQString(BuildIdentity().title), ToQString(text),
                    buttons);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(byDefault);
    box.setEscapeButton(escape);
    box.exec();
    if (active && active->isVisible()) {
        active->activateWindow();
    }
    return box.clickedButton() != nullptr ? box.standardButton(box.clickedButton()) : escape;
}

} // namespace

void QtPlatform::showMessage(std::string_view text) {
    Show(text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

Answer QtPlatform::ask(std::string_view question, std::span<const Answer> answers,
                       Answer byDefault) {
    QMessageBox::StandardButtons buttons;
    for (Answer answer : answers) {
        buttons |= ToButton(answer);
    }
    const QMessageBox::StandardButton chosen =
        Show(question, buttons, ToButton(byDefault), ToButton(answers.back()));
    const auto found = std::find_if(answers.begin(), answers.end(),
                                    [chosen](Answer answer) { return ToButton(answer) == chosen; });
    return found != answers.end() ? *found : answers.back();
}

std::optional<std::string> QtPlatform::chooseFileToOpen() {
    return Choose(window_, QFileDialog::AcceptOpen, {});
}

std::optional<std::string> QtPlatform::chooseFileToSave(std::string_view suggested) {
    return Choose(window_, QFileDialog::AcceptSave, suggested);
}

std::vector<std::string> QtPlatform::recentFiles() const {
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

void QtPlatform::keepRecentFiles(std::span<const std::string> paths) {
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

void QtPlatform::copyText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

} // namespace runetally
