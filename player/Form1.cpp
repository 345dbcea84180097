#include "Form1.h"

#include "Captions.h"
#include "EndSignals.h"

#include "MovieWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QPainter>

namespace player {
namespace {

QColor colourOf(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

std::int32_t twipsOf(double twips) {
    return pixelsOf(twips) * TwipsPerPixel;
}

} // namespace

Form1::Form1(PlayerPlatform& platform, WebAddresses addresses)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      ShockwaveFlash1_(new mc::MovieWidget(this)), player_(platform, *this, std::move(addresses)),
      hook_(player_) {
    hook_.setEndCommand([this] { form2().item("Exit")->trigger(); });
    setWindowTitle(QString::fromUtf8(captions::WindowTitle.data(),
                                     static_cast<qsizetype>(captions::WindowTitle.size())));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    ShockwaveFlash1_->setObjectName(QStringLiteral("ShockwaveFlash1"));
    // The keyboard's context-menu request goes to the focused widget: the movie.
    ShockwaveFlash1_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(ShockwaveFlash1_);
    player_.prepareWindow();
}

Form1::~Form1() {
    hook_.UnhookFlashWindow();
}

Form2& Form1::form2() {
    if (!form2_) {
        form2_ = std::make_unique<Form2>(player_);
        if (pending_.returnPlayCaption) {
            form2_->enableReturnPlay(*pending_.returnPlayCaption);
        }
        if (pending_.blessing) {
            form2_->setBlessingText(*pending_.blessing);
        }
        if (pending_.senderLine) {
            form2_->setSenderLine(*pending_.senderLine);
        }
        pending_ = {};
    }
    return *form2_;
}

cardformat::MovieControl& Form1::flash() {
    return *ShockwaveFlash1_;
}

void Form1::playAsCard(std::string_view cardFileName) {
    ShockwaveFlash1_->setCardFileName(std::string(cardFileName));
}

void Form1::showPlaybackWindow() {
    show();
}

void Form1::applyGeometry(const PlaybackGeometry& geometry) {
    const TwipPlace& window = geometry.window();
    setGeometry(pixelPosition(window.left), pixelPosition(window.top), pixelsOf(window.width),
                pixelsOf(window.height));
    if (windowState() != Qt::WindowNoState) {
        setWindowState(Qt::WindowNoState);
    }

    const TwipPlace& control = geometry.control();
    ShockwaveFlash1_->setPlace(
        {ControlInset, ControlInset, twipsOf(control.width), twipsOf(control.height)});
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        const FrameShape& frame = geometry.frames()[i];
        frames_[i] = QRect(pixelPosition(frame.place.left), pixelPosition(frame.place.top),
                           pixelsOf(frame.place.width), pixelsOf(frame.place.height));
        framesVisible_[i] = frame.visible;
    }
    update();
}

void Form1::hookFlashWindow() {
    hook_.FindFlashWindow(this);
}

void Form1::unhookFlashWindow() {
    hook_.UnhookFlashWindow();
}

void Form1::showPopupMenu(const MenuMarks& marks) {
    Form2& menuForm = form2();
    menuForm.setMenuMarks(marks);
    menuForm.openPopup(QCursor::pos());
}

// These two reach Form2 once it is loaded; loading it at start-up would lay out its Chinese
// texts, and the card's first frame would wait for the font database.
void Form1::enableReturnPlay(std::string_view caption) {
    if (form2_) {
        form2_->enableReturnPlay(caption);
    } else {
        pending_.returnPlayCaption = std::string(caption);
    }
}

void Form1::hideReturnPlay() {
    form2().hideReturnPlay();
}

void Form1::setBlessingText(std::string_view text) {
    if (form2_) {
        form2_->setBlessingText(text);
    } else {
        pending_.blessing = std::string(text);
    }
}

void Form1::setSenderLine(std::string_view text) {
    if (form2_) {
        form2_->setSenderLine(text);
    } else {
        pending_.senderLine = std::string(text);
    }
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (!framesVisible_[i] || frames_[i].width() < 1 || frames_[i].height() < 1) {
            continue;
        }
        painter.setPen(colourOf(FrameColours[i]));
        painter.setBrush(Qt::NoBrush);
        // A one-pixel outline that covers exactly the shape's width and height.
        painter.drawRect(frames_[i].adjusted(0, 0, -1, -1));
    }
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    player_.windowResized(width(), height());
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    player_.windowMoved(geometry().x(), geometry().y());
}

void Form1::closeEvent(QCloseEvent* event) {
    // However the window is closed, the program ends as "结束(&X)" ends it.
    event->ignore();
    EndSignals::endingNow();
    player_.endSequence();
}

} // namespace player
