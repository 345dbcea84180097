#include "MovieWidget.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <variant>

#include "AudioLog.h"
#include "MovieAudio.h"
#include "MovieView.h"
#include "PlaybackMenu.h"
#include "UrlPolicy.h"
#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"

namespace mc {

// The card's copy of a movie is cut at the size the renderer reads.
static_assert(cardformat::MaxPlayableMovieBytes ==
              static_cast<std::uint64_t>(MoviePlayback::kMaxFileBytes));

namespace {

QColor colorOf(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool namesBackground(const swf::Timeline& root) {
    return std::any_of(root.frames.begin(), root.frames.end(), [](const swf::Frame& frame) {
        return std::any_of(frame.tags.begin(), frame.tags.end(), [](const swf::ControlTag& tag) {
            return std::holds_alternative<swf::SetBackgroundColor>(tag);
        });
    });
}

int pixelsOf(std::int32_t twips) {
    return static_cast<int>(std::lround(twips / static_cast<double>(MovieWidget::kTwipsPerPixel)));
}

} // namespace

MovieWidget::MovieWidget(QWidget* parent) : QWidget(parent) {
    // What the sound layer cannot fix (no device, a codec it cannot play) goes to the
    // program's log, once.
    static std::once_flag logOnce;
    std::call_once(logOnce, [] {
        audio::setAudioLogSink([](const std::string& text) {
            cardformat::ErrorLog::record("MovieSound", cardformat::Failure{0, text});
        });
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The pointer reaches the movie without a button held; keys and composed text too.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &MovieWidget::onTimer);
}

MovieWidget::~MovieWidget() {
    releaseMovie();
}

void MovieWidget::releaseMovie() {
    movie_.reset();
}

audio::MovieAudio* MovieWidget::audio() const {
    return movie_ ? movie_->playback().deviceAudio() : nullptr;
}

void MovieWidget::setMovie(const std::string& path) {
    path_ = path;
    timer_.stop();
    releaseMovie();
    if (!path.empty()) {
        PlaybackSetup setup;
        setup.pace = Pace::RealTime;
        setup.callbacks = scriptCallbacks();
        movie_ = MovieView::fromFile(path, std::move(setup));
    }
    movieNamesBackground_ = movie_ && namesBackground(movie_->movie().root);
    if (movie_) {
        movie_->setFrameBudget(kFrameBudget);
        applyVolume();
        movie_->player().setLoop(loop_);
        playing_ = true;
        movie_->player().setPlaying(true);
    }
    restartClock();
    updateTimer();
    update();
}

std::string MovieWidget::Movie() const {
    return path_;
}

void MovieWidget::Play() {
    setPlaying(true);
}

bool MovieWidget::Playing() const {
    return movie_ ? movie_->player().playing() : playing_;
}

void MovieWidget::setPlaying(bool playing) {
    playing_ = playing;
    if (movie_) {
        movie_->player().setPlaying(playing);
        movie_->playback().pauseSound(!playing);
    }
    restartClock();
    updateTimer();
}

bool MovieWidget::Loop() const {
    return loop_;
}

void MovieWidget::setLoop(bool loop) {
    loop_ = loop;
    if (movie_) {
        movie_->player().setLoop(loop);
    }
}

void MovieWidget::Rewind() {
    if (movie_) {
        // Every sound stops; a playing movie starts the first frame's sounds afresh.
        movie_->playback().stopSound();
        movie_->player().rewind();
        if (!movie_->player().playing()) {
            movie_->playback().stopSound();
        }
        update();
    }
}

void MovieWidget::Back() {
    if (movie_) {
        movie_->player().stepBack();
        movie_->playback().stopSound();
        playing_ = false;
        updateTimer();
        update();
    }
}

void MovieWidget::Forward() {
    if (movie_) {
        movie_->player().stepForward();
        movie_->playback().stopSound();
        playing_ = false;
        updateTimer();
        update();
    }
}

void MovieWidget::setBackgroundColor(std::uint32_t rgb) {
    background_ = rgb & 0xFFFFFFu;
    update();
}

std::uint32_t MovieWidget::BackgroundColor() const {
    if (background_) {
        return *background_;
    }
    if (movie_) {
        const Rgba c = movie_->player().background();
        return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
    }
    return 0xFFFFFFu;
}

void MovieWidget::setVisible(bool visible) {
    QWidget::setVisible(visible);
}

bool MovieWidget::Visible() const {
    return !isHidden();
}

void MovieWidget::setPlace(const cardformat::TwipRect& place) {
    setGeometry(pixelsOf(place.left), pixelsOf(place.top), std::max(0, pixelsOf(place.width)),
                std::max(0, pixelsOf(place.height)));
}

void MovieWidget::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    applyVolume();
}

int MovieWidget::volume() const {
    return volume_;
}

void MovieWidget::setMuted(bool muted) {
    muted_ = muted;
    applyVolume();
}

bool MovieWidget::muted() const {
    return muted_;
}

// The process has one sound device and one mixer: the surface whose movie plays sets its
// level there whenever either changes.
void MovieWidget::applyVolume() {
    if (audio::MovieAudio* sound = audio()) {
        sound->mixer().setMasterVolume(volume_);
        sound->mixer().setMuted(muted_);
    }
}

cardformat::TwipRect MovieWidget::Place() const {
    const QRect g = geometry();
    return cardformat::TwipRect{g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel,
                                g.width() * kTwipsPerPixel, g.height() * kTwipsPerPixel};
}

std::uint32_t MovieWidget::currentFrame() const {
    return movie_ ? movie_->player().currentFrame() : 0;
}

std::uint32_t MovieWidget::frameCount() const {
    return movie_ ? movie_->player().frameCount() : 0;
}

void MovieWidget::restartClock() {
    elapsed_.restart();
    if (movie_) {
        movie_->playback().restartClock();
    }
}

void MovieWidget::updateTimer() {
    // The clock keeps running while the root is stopped: sprites still animate then.
    if (movie_ && movie_->player().frameCount() > 0) {
        if (!timer_.isActive()) {
            // With sound the timer looks more often, so frames follow the sound closely.
            const int interval = movie_->playback().frameClock().intervalMs();
            timer_.start(audio() != nullptr ? std::min(10, interval) : interval);
        }
    } else {
        timer_.stop();
    }
}

void MovieWidget::onTimer() {
    tickAt(elapsed_.isValid() ? elapsed_.elapsed() : 0);
}

void MovieWidget::setCardFileName(const std::string& cardFileName) {
    cardFileName_ = cardFileName;
}

void MovieWidget::openPage(const QString& url) {
    if (isSignalConnected(QMetaMethod::fromSignal(&MovieWidget::urlRequested))) {
        emit urlRequested(url);
    } else {
        QDesktopServices::openUrl(QUrl(url));
    }
}

bool MovieWidget::confirmOpening(const QString& url) {
    // One question at a time; what a movie asks for meanwhile is not opened.
    if (asking_) {
        return false;
    }
    asking_ = true;
    QMessageBox box(QMessageBox::Question, tr("Open web page"),
                    tr("This movie has read files on this computer. It asks to open this "
                       "address, which could carry what it read:\n\n%1\n\nOpen it?")
                        .arg(url),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    const bool agreed = box.exec() == QMessageBox::Yes;
    asking_ = false;
    return agreed;
}

StageCallbacks MovieWidget::scriptCallbacks() {
    StageCallbacks callbacks;
    // Commands are delivered once the script that sent them finished, so that whoever
    // handles them (closing the player...) never pulls the movie away under a running script.
    callbacks.fscommand = [this](std::string_view command, std::string_view args) {
        const QString c = QString::fromUtf8(command.data(), static_cast<qsizetype>(command.size()));
        const QString a = QString::fromUtf8(args.data(), static_cast<qsizetype>(args.size()));
        QMetaObject::invokeMethod(
            this, [this, c, a] { emit scriptCommand(c, a); }, Qt::QueuedConnection);
    };
    callbacks.openUrl = [this](const std::string& url) {
        const QString u = QString::fromStdString(url);
        QMetaObject::invokeMethod(
            this, [this, u] { openPage(u); }, Qt::QueuedConnection);
    };
    callbacks.confirmUrl = [this](const std::string& url) {
        const QString u = QString::fromStdString(url);
        QMetaObject::invokeMethod(
            this,
            [this, u] {
                if (confirmOpening(u)) {
                    openPage(u);
                }
            },
            Qt::QueuedConnection);
    };
    if (!cardFileName_.empty()) {
        // A card's movie was extracted into the temporary folder: nothing there is its own.
        callbacks.movieUrl = fileUrlOfName(cardFileName_);
        callbacks.readBeside = [](const std::string&) { return std::vector<std::uint8_t>{}; };
    }
    return callbacks;
}

void MovieWidget::tickAt(std::int64_t elapsedMs) {
    if (!movie_) {
        return;
    }
    const int due = movie_->playback().tick(elapsedMs);
    playing_ = movie_->player().playing();
    // A frame that draws what the last one did needs no painting: stopped movies and still
    // scenes cost nothing.
    if (due > 0 && movie_->frameChanged()) {
        update();
    }
}

QSize surfaceWithin(QSize wanted, QSize bound) {
    wanted = wanted.expandedTo(QSize(1, 1));
    bound = bound.expandedTo(QSize(1, 1));
    if (wanted.width() <= bound.width() && wanted.height() <= bound.height()) {
        return wanted;
    }
    return wanted.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

MovieWidget::Shown MovieWidget::shownNow() const {
    // A movie may make its window as large as it likes; what is drawn is bounded by what a
    // screen can show.
    const QScreen* shownOn = screen();
    return Shown{
        surfaceWithin(this->size(), shownOn != nullptr ? shownOn->size() : kSurfaceWithoutScreen),
        BackgroundColor(), background_.has_value()};
}

QImage MovieWidget::grabFrame() {
    const Shown shown = shownNow();
    QImage image(shown.size, QImage::Format_ARGB32_Premultiplied);
    const QColor back = colorOf(BackgroundColor());
    if (movie_) {
        std::optional<QColor> over;
        if (background_) {
            over = back;
        }
        // The space beside the stage shows the movie's own colour. A movie that names none
        // leaves it the black of the window around it: the white Flash gives such a stage
        // belongs to the stage, and stretched over the bars it looks like a fault.
        const QColor beside = movieNamesBackground_ ? back : QColor(Qt::black);
        movie_->paint(image, RenderQuality::High, beside, over);
    } else {
        image.fill(back);
    }
    frame_ = image;
    shown_ = shown;
    return image;
}

void MovieWidget::paintEvent(QPaintEvent*) {
    if (!movie_ || !shown_ || !(*shown_ == shownNow()) || movie_->frameChanged()) {
        grabFrame();
    }
    QPainter painter(this);
    if (frame_.size() == size()) {
        painter.drawImage(QPoint(0, 0), frame_);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), frame_);
    }
}

void MovieWidget::contextMenuEvent(QContextMenuEvent* event) {
    // Made when first asked for: a card's player shows its own menu, and its start does not
    // wait for this one.
    if (menu_ == nullptr) {
        menu_ = new PlaybackMenu(*this, this);
        connect(menu_, &PlaybackMenu::levelChanged, this, &MovieWidget::levelChanged);
    }
    menu_->refresh();
    menu_->popup(event->globalPos());
    event->accept();
}

} // namespace mc
