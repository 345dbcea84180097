#include "Form2.h"

#include "BlessingArtwork.h"
#include "Captions.h"
#include "EndSignals.h"
#include "Player.h"
#include "cardformat/DefaultBlessing.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>

namespace player {
namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The label shows line ends as the card stored them (CR LF).
QString labelText(std::string_view text) {
    return qtext(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

Form2::Form2(Player& player)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      player_(player) {
    setWindowTitle(qtext(captions::MessageTitle));
    setFixedSize(WidthPx, HeightPx);
    background_ = blessingBackground(size());

    // The label's place on the picture; a blessing longer than it scrolls inside it.
    BlessingScroll_ = new QScrollArea(this);
    BlessingScroll_->setGeometry(16, 56, 401, 201);
    BlessingScroll_->setFrameShape(QFrame::NoFrame);
    // The label is never wider than the area, so only the vertical bar can appear, and only
    // when the text is longer than the area.
    BlessingScroll_->viewport()->setAutoFillBackground(false);
    Label2_ = new QLabel;
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setTextFormat(Qt::PlainText); // a card's text is never markup
    Label2_->setWordWrap(true);
    Label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette text = Label2_->palette();
    text.setColor(QPalette::WindowText, QColor(192, 192, 0));
    Label2_->setPalette(text);
    QFont font = Label2_->font();
    font.setPixelSize(12);
    Label2_->setFont(font);
    Label2_->setText(labelText(cardformat::defaultBlessingText()));
    Label2_->installEventFilter(this); // painted with Form2's own line pitch
    fitBlessing(); // sized before it is placed: the area starts with the bar it needs
    BlessingScroll_->setWidget(Label2_);
    Label2_->setAutoFillBackground(false); // setWidget turned it on: the picture shows through

    senderLine_ = new QLabel(this);
    senderLine_->setObjectName(QStringLiteral("senderLine"));
    senderLine_->setTextFormat(Qt::PlainText);
    senderLine_->setGeometry(16, 262, 401, 20);
    senderLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    senderLine_->setPalette(text);
    senderLine_->setFont(font);
    senderLine_->hide();

    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(420, 0, 11, 11);
    Image1_->setPixmap(QPixmap::fromImage(closeMark()));
    Image1_->installEventFilter(this);

    Timer1_.setInterval(100);
    connect(&Timer1_, &QTimer::timeout, this, &Form2::Timer1_Timer);

    buildMenu();
}

namespace {

// The menu tree in display order: level 1 on the popup, level 2 on the "控制" submenu.
struct MenuRow {
    const char* name;
    std::string_view caption; // "-" for a separator
    int level;
};

constexpr MenuRow MenuRows[] = {
    {"About", captions::About, 1},
    {"step2", "-", 1},
    {"FullScreen", captions::FullScreen, 1},
    {"Ctrl", captions::Ctrl, 1},
    {"Loop1", captions::Loop1, 2},
    {"play", captions::PlayDesign, 2},
    {"Rewind", captions::Rewind, 2},
    {"f", captions::NextFrame, 2},
    {"b", captions::PreviousFrame, 2},
    {"ReturnPlay", captions::ReturnPlayDesign, 2},
    {"Volume", mc::VolumeMenu::Title, 1}, // its items come from the shared volume menu
    {"s6", "-", 1},
    {"zuozhewangzhan", captions::AuthorSite, 1},
    {"Exit", captions::Exit, 1},
};

} // namespace

void Form2::buildMenu() {
    popup_ = new QMenu(qtext(captions::Popup), this);
    popup_->setObjectName(QStringLiteral("popup"));
    QMenu* submenu = nullptr; // where the level-2 rows go: the last submenu opened
    for (const MenuRow& row : MenuRows) {
        QMenu* menu = row.level == 1 ? popup_ : submenu;
        const std::string_view name(row.name);
        QAction* action = nullptr;
        if (row.caption == "-") {
            action = menu->addSeparator();
        } else if (name == "Ctrl" || name == "Volume") {
            submenu = menu->addMenu(qtext(row.caption));
            submenu->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("Menu"));
            (name == "Ctrl" ? Ctrl_ : Volume_) = submenu;
            action = submenu->menuAction();
        } else {
            action = menu->addAction(qtext(row.caption));
            connect(action, &QAction::triggered, this, &Form2::onMenuItem);
        }
        action->setObjectName(QString::fromLatin1(row.name));
    }
    volume_.emplace(*Volume_,
                    mc::VolumeMenu::Commands{[this] { player_.toggleMute(); },
                                             [this](int level) { player_.setVolume(level); }});
    // The player's keys, beside their commands; the menu's own keys stay its letters.
    const auto key = [this](const char* name, const QKeySequence& sequence) {
        QAction* action = item(name);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WidgetShortcut);
    };
    key("FullScreen", QKeySequence(Qt::Key_F11));
    key("play", QKeySequence(Qt::CTRL | Qt::Key_P));
    key("f", QKeySequence(Qt::CTRL | Qt::Key_Right));
    key("b", QKeySequence(Qt::CTRL | Qt::Key_Left));
    key("Exit", QKeySequence(Qt::CTRL | Qt::Key_Q));
    item("FullScreen")->setCheckable(true);
    QAction* loop = item("Loop1");
    loop->setCheckable(true);
    loop->setChecked(true);
    QAction* returnPlay = item("ReturnPlay");
    returnPlay->setVisible(false);
    returnPlay->setEnabled(false);
}

void Form2::onMenuItem() {
    auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) {
        return;
    }
    const QString name = action->objectName();
    if (name == u"About") {
        showBlessingWindow();
    } else if (name == u"FullScreen") {
        player_.toggleFullScreen();
    } else if (name == u"Loop1") {
        // Qt has flipped the mark already; the command wants it as it stood.
        action->setChecked(player_.toggleLoop(!action->isChecked()));
    } else if (name == u"play") {
        player_.togglePlay();
    } else if (name == u"Rewind") {
        player_.rewind();
    } else if (name == u"f") {
        player_.nextFrame();
    } else if (name == u"b") {
        player_.previousFrame();
    } else if (name == u"ReturnPlay") {
        player_.returnPlay();
    } else if (name == u"zuozhewangzhan") {
        player_.openAuthorSite();
    } else if (name == u"Exit") {
        player_.openHomePage();
        Timer1_.start();
    }
}

QAction* Form2::item(const char* name) const {
    return popup_->findChild<QAction*>(QString::fromLatin1(name));
}

void Form2::setMenuMarks(const MenuMarks& marks) {
    item("FullScreen")->setChecked(marks.fullScreenChecked);
    Ctrl_->menuAction()->setVisible(marks.ctrlVisible);
    item("Loop1")->setChecked(marks.loopChecked);
    item("play")->setText(qtext(marks.playCaption));
    volume_->showMarks(marks.muteChecked, marks.volume);
}

void Form2::openPopup(QPoint at) {
    if (presenter_) {
        presenter_(*popup_, at);
    } else {
        popup_->exec(at);
    }
}

void Form2::showBlessingWindow() {
    if (!placed_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
        placed_ = true;
    }
    show();
    raise();
}

void Form2::setBlessingText(std::string_view text) {
    Label2_->setText(labelText(text));
    fitBlessing();
}

void Form2::setSenderLine(std::string_view text) {
    senderLine_->setText(qtext(text));
    senderLine_->setVisible(!text.empty());
}

void Form2::fitBlessing() {
    const QSize room = BlessingScroll_->size();
    int width = room.width();
    int height = layoutBlessing(Label2_->text(), Label2_->font(), width, nullptr);
    if (height > room.height()) {
        // The scroll bar takes its room from the text.
        width -= BlessingScroll_->verticalScrollBar()->sizeHint().width();
        height = layoutBlessing(Label2_->text(), Label2_->font(), width, nullptr);
    }
    Label2_->setGeometry(0, 0, width, height);
}

void Form2::enableReturnPlay(std::string_view caption) {
    QAction* returnPlay = item("ReturnPlay");
    returnPlayEnabled_ = true;
    returnPlay->setEnabled(true);
    returnPlay->setText(qtext(caption));
}

void Form2::hideReturnPlay() {
    item("ReturnPlay")->setVisible(false);
}

void Form2::Timer1_Timer() {
    Timer1_.stop(); // ticks once: the end sequence ends the program
    EndSignals::endingNow();
    player_.endSequence();
}

void Form2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, background_);
}

int Form2::layoutBlessing(const QString& text, const QFont& font, int width, QPainter* painter) {
    int baseline = BlessingBaseline;
    int bottom = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        // Long lines wrap at the label's width, as the original's multi-line label did.
        QTextLayout layout(paragraph, font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, baseline - line.ascent()));
            if (!paragraph.isEmpty()) {
                bottom = baseline + BlessingDescent; // empty lines at the end need no room
            }
            baseline += BlessingLinePitch;
        }
        layout.endLayout();
        if (painter != nullptr) {
            layout.draw(painter, QPointF(0, 0));
        }
    }
    return bottom;
}

void Form2::paintBlessing() {
    QPainter painter(Label2_);
    painter.setPen(Label2_->palette().color(QPalette::WindowText));
    layoutBlessing(Label2_->text(), Label2_->font(), Label2_->width(), &painter);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2_ && event->type() == QEvent::Paint) {
        paintBlessing();
        return true;
    }
    if (watched == Image1_ && (event->type() == QEvent::MouseButtonPress ||
                               event->type() == QEvent::MouseButtonDblClick)) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace player
