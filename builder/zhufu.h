#pragma once

#include "DockedWindow.h"

#include <QColor>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace builder {

class BlessingTarget;

// The blessing editor: the blessing text, the viewing password and the blessing's colour,
// each change copied at once into the main window.
class zhufu : public DockedWindow {
    Q_OBJECT

  public:
    zhufu(DockingHost& docking, const QWidget& mainWindow, BlessingTarget& target);

    QPlainTextEdit* Text1() const { return text1_; }
    QLineEdit* Text2() const { return text2_; }
    QPushButton* Command1() const { return command1_; }
    // Shows the password as typed while it is down, so that it can be checked.
    QToolButton* showPassword() const { return showPassword_; }
    QLineEdit* senderName() const { return sender_; }
    QLineEdit* cardTitle() const { return title_; }
    // The colour the colour dialog starts from: black until one was chosen.
    QColor dialogColour() const { return dialogColour_; }
    // Shows a blessing the builder put in place; no change reaches the main window.
    void showBlessing(const std::string& text);

    static constexpr int ClientWidthTwips = 4665;
    // The sender's name and the title are short texts of one line.
    static constexpr int NoteFieldCharacters = 100;
    // The fixed editor's 2880, and a row for the sender's name and the card's title.
    static constexpr int ClientHeightTwips = 2880 + 330;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void copyBlessing();
    void chooseColour();

    BlessingTarget& target_;
    QPlainTextEdit* text1_;
    QLabel* label1_;
    QLineEdit* text2_;
    QPushButton* command1_;
    QToolButton* showPassword_;
    QLabel* senderLabel_;
    QLineEdit* sender_;
    QLabel* titleLabel_;
    QLineEdit* title_;
    QColor dialogColour_ = Qt::black;
};

} // namespace builder
