#include "MessageBoxes.h"

#include "CardGeneration.h"
#include "DialogTitle.h"

#include <QMessageBox>
#include <QPushButton>

namespace builder {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message boxes break lines at LF.
QString shown(std::string_view text) {
    return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

bool askReadOnlyQuestion(QWidget* owner, std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Information, qs(title), qs(text),
                    QMessageBox::Yes | QMessageBox::No, owner);
    qtlocale::widenForTitle(box);
    return box.exec() == QMessageBox::Yes;
}

void showSuccessMessage(QWidget* owner, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, qs(SuccessTitle), shown(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    qtlocale::widenForTitle(box);
    box.exec();
}

void showFailureMessage(QWidget* owner, std::string_view text) {
    QMessageBox box(QMessageBox::Warning, qs(SuccessTitle), shown(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    qtlocale::widenForTitle(box);
    box.exec();
}

bool askKeepTypedBlessing(QWidget* owner, std::string_view noteBlessing) {
    QMessageBox box(QMessageBox::Question, qs(SuccessTitle), qs(KeepBlessingQuestion),
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(shown(noteBlessing));
    QPushButton* keep = box.addButton(qs(KeepTypedBlessing), QMessageBox::AcceptRole);
    box.addButton(qs(TakeMovieBlessing), QMessageBox::DestructiveRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    qtlocale::widenForTitle(box);
    box.exec();
    return box.clickedButton() == keep;
}

bool askOverwriteQuestion(QWidget* owner, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qs(SuccessTitle), shown(text),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    qtlocale::widenForTitle(box);
    return box.exec() == QMessageBox::Yes;
}

} // namespace builder
