#include "MessageBoxes.h"

#include "CardGeneration.h"

#include <QMessageBox>

namespace builder {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

bool askReadOnlyQuestion(QWidget* owner, std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Information, qs(title), qs(text),
                    QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

void showSuccessMessage(QWidget* owner) {
    QMessageBox box(QMessageBox::NoIcon, qs(SuccessTitle), qs(SuccessText), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace builder
