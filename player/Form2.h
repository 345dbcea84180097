#pragma once

#include "PlayerForms.h"
#include "VolumeMenu.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string_view>

class QAction;
class QLabel;
class QMenu;
class QPainter;
class QScrollArea;

namespace player {

class Player;

// The menu form: holder of the hidden popup menu and, shown, the small always-on-top
// blessing window with its picture, the blessing label and the close mark.
class Form2 : public QWidget {
    Q_OBJECT

  public:
    static constexpr int WidthPx = 433;  // 6495 twips
    static constexpr int HeightPx = 324; // 4860 twips
    // Label2's lines stand at a fixed pitch: this platform's CJK fonts leave far more room
    // between lines than the original's, and the label's 201 pixels must hold the fifteen
    // lines of the default poem.
    static constexpr int BlessingLinePitch = 13;
    static constexpr int BlessingBaseline = 11; // of the first line, from the label's top
    static constexpr int BlessingDescent = 4;   // room below the last line's baseline

    explicit Form2(Player& player);

    QMenu* popup() const { return popup_; }
    QMenu* ctrl() const { return Ctrl_; }
    QMenu* volume() const { return Volume_; }
    // A menu item by its control name ("About", "Loop1", "play", "Mute", "Volume50",
    // "Exit", ...).
    QAction* item(const char* name) const;
    QLabel* Label2() const { return Label2_; }
    // The card's title and its sender under the blessing; hidden while empty.
    QLabel* senderLine() const { return senderLine_; }
    void setSenderLine(std::string_view text);
    // Holds Label2 at its place; scrolls a blessing that does not fit.
    QScrollArea* blessingScroll() const { return BlessingScroll_; }
    QLabel* Image1() const { return Image1_; }
    QTimer& Timer1() { return Timer1_; }

    void setMenuMarks(const MenuMarks& marks);
    // Opens the popup menu and returns when it closed; the chosen command has run by then.
    void openPopup(QPoint at);
    // Tests look at the open menu and choose from it instead of a person.
    using MenuPresenter = std::function<void(QMenu& menu, QPoint at)>;
    void setMenuPresenter(MenuPresenter presenter) { presenter_ = std::move(presenter); }

    void showBlessingWindow();
    void setBlessingText(std::string_view text);
    void enableReturnPlay(std::string_view caption);
    // Qt reports a hidden item as disabled; this is the item's own enabled state.
    bool returnPlayEnabled() const { return returnPlayEnabled_; }
    void hideReturnPlay();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenu();
    void paintBlessing();
    // Sizes the label to the whole blessing: the scroll bar appears only when it is needed.
    void fitBlessing();
    // Lays the text out at the fixed line pitch, draws it when a painter is given, and
    // returns the height it takes.
    static int layoutBlessing(const QString& text, const QFont& font, int width, QPainter* painter);
    void onMenuItem();
    void Timer1_Timer();

    Player& player_;
    QMenu* popup_ = nullptr;
    QMenu* Ctrl_ = nullptr;
    QMenu* Volume_ = nullptr;
    std::optional<mc::VolumeMenu> volume_;
    QScrollArea* BlessingScroll_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* senderLine_ = nullptr;
    QLabel* Image1_ = nullptr;
    QTimer Timer1_;
    QImage background_;
    MenuPresenter presenter_;
    bool placed_ = false;
    bool returnPlayEnabled_ = false;
};

} // namespace player
