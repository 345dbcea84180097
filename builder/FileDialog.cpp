#include "FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace builder {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string chosenPath(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.first().toStdString();
}

} // namespace

std::string dialogNameFilter(std::string_view description, std::string_view pattern) {
    std::string patterns(pattern);
    for (char& c : patterns) {
        if (c == ';') {
            c = ' ';
        }
    }
    const std::string named = "(" + patterns + ")";
    if (description.ends_with(named)) {
        return std::string(description);
    }
    return std::string(description) + " " + named;
}

std::string ShowOpenDialog(QWidget* owner, std::string_view description, std::string_view pattern,
                           std::string_view title, std::string_view initialFolder,
                           std::string_view initialFileName) {
    QFileDialog dialog(owner, qs(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    dialog.setNameFilter(qs(dialogNameFilter(description, pattern)));
    dialog.setDefaultSuffix(QStringLiteral("swf"));
    if (!initialFolder.empty()) {
        dialog.setDirectory(qs(initialFolder));
    }
    if (!initialFileName.empty()) {
        dialog.selectFile(qs(initialFileName));
    }
    return chosenPath(dialog);
}

std::string ShowSaveDialog(QWidget* owner, std::string_view description, std::string_view pattern,
                           std::string_view title, std::string_view defaultExtension,
                           std::string_view initialFileName) {
    QFileDialog dialog(owner, qs(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(qs(dialogNameFilter(description, pattern)));
    dialog.setDefaultSuffix(qs(defaultExtension));
    if (!initialFileName.empty()) {
        dialog.selectFile(qs(initialFileName));
    }
    return chosenPath(dialog);
}

} // namespace builder
