#include "zhufu.h"

#include "Artwork.h"
#include "BlessingTarget.h"
#include "CompanionPlacement.h"
#include "DockingHost.h"
#include "cardformat/DefaultBlessing.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace builder {

namespace {

QRect twips(int left, int top, int width, int height) {
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
            height / TwipsPerPixel};
}

} // namespace

zhufu::zhufu(DockingHost& docking, const QWidget& mainWindow, BlessingTarget& target)
    : DockedWindow(docking, QStringLiteral("                写下你的祝福"),
                   QSize(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel),
                   Kind::Tool),
      target_(target), text1_(new QPlainTextEdit(client())), label1_(new QLabel(client())),
      text2_(new QLineEdit(client())), command1_(new QPushButton(client())),
      showPassword_(new QToolButton(client())), senderLabel_(new QLabel(client())),
      sender_(new QLineEdit(client())), titleLabel_(new QLabel(client())),
      title_(new QLineEdit(client())) {
    client()->setFont(builderFont(12));
    client()->setAutoFillBackground(true);

    text1_->setGeometry(twips(0, 0, 4695, 2535));
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The default poem is a proposal, not an edit: it is in place before changes are copied.
    text1_->setPlainText(
        QString::fromUtf8(cardformat::defaultBlessingText().data(),
                          static_cast<qsizetype>(cardformat::defaultBlessingText().size()))
            .remove(QLatin1Char('\r')));

    label1_->setGeometry(twips(120, 2640, 900, 180));
    label1_->setText(QStringLiteral("观看密码："));

    // The password box leaves room at its right for the button that shows what was typed.
    text2_->setGeometry(twips(1080, 2600, 2655 - 495, 270));
    showPassword_->setGeometry(twips(1080 + 2655 - 480, 2600, 480, 270));
    showPassword_->setText(QStringLiteral("显示"));
    showPassword_->setToolTip(QStringLiteral("显示输入的密码，以便核对"));
    showPassword_->setCheckable(true);
    connect(showPassword_, &QToolButton::toggled, this, [this](bool shown) {
        text2_->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    text2_->setEchoMode(QLineEdit::Password);
    text2_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    text2_->setToolTip(
        QStringLiteral("如果你加入密码，则对方必须知道密码才能看到祝福（动画谁都能看）。"));

    command1_->setGeometry(twips(3800, 2600, 855, 255));

    // Shown by the player on the blessing window; empty keeps the note's fixed values.
    senderLabel_->setGeometry(twips(120, 2960, 900, 180));
    senderLabel_->setText(QStringLiteral("寄件人："));
    sender_->setGeometry(twips(1080, 2915, 1500, 270));
    sender_->setMaxLength(NoteFieldCharacters);
    sender_->setPlaceholderText(QStringLiteral("你的名字"));
    titleLabel_->setGeometry(twips(2700, 2960, 600, 180));
    titleLabel_->setText(QStringLiteral("标题："));
    title_->setGeometry(twips(3240, 2915, 1415, 270));
    title_->setMaxLength(NoteFieldCharacters);
    title_->setPlaceholderText(QStringLiteral("贺卡的标题"));
    connect(sender_, &QLineEdit::textChanged, this,
            [this](const QString& text) { target_.setAuthor(text.toStdString()); });
    connect(title_, &QLineEdit::textChanged, this,
            [this](const QString& text) { target_.setTitle(text.toStdString()); });
    command1_->setText(QStringLiteral("字体颜色"));

    connect(text1_, &QPlainTextEdit::textChanged, this, &zhufu::copyBlessing);
    connect(text2_, &QLineEdit::textChanged, this,
            [this](const QString& text) { target_.setPassword(text.toStdString()); });
    connect(command1_, &QPushButton::clicked, this, &zhufu::chooseColour);

    move(companionPosition(mainWindow.frameGeometry(), BlessingEditorDropTwips));
    docking.attach(*this, false);
}

void zhufu::copyBlessing() {
    // The editor keeps bare line feeds; the blessing travels with CR LF, as it was written.
    QString text = text1_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    target_.blessingEdited(text.toStdString());
}

void zhufu::showBlessing(const std::string& text) {
    const QSignalBlocker quiet(text1_);
    text1_->setPlainText(QString::fromStdString(text).remove(QLatin1Char('\r')));
}

void zhufu::chooseColour() {
    QColorDialog dialog(dialogColour_, this);
    dialog.setWindowTitle(QStringLiteral("字体颜色"));
    // A cancelled dialog keeps the colour it started from, and that colour is applied.
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid()) {
        dialogColour_ = dialog.selectedColor();
    }
    target_.setBlessingColour(dialogColour_);
}

void zhufu::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

} // namespace builder
