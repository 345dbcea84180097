#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "StageScripts.h"
#include "cardformat/MovieControl.h"

namespace audio {
class MovieAudio;
} // namespace audio

namespace mc {

class MovieView;
class PlaybackMenu;

// The drawing surface for a widget of `wanted` pixels: never larger than `bound` in either
// direction (the screen: no more can be seen at once), the widget's proportions kept.
QSize surfaceWithin(QSize wanted, QSize bound);

// The movie playback surface: plays a movie with the project's own renderer at the movie's
// frame rate, scaled "ShowAll" into the widget. All input arrives as ordinary Qt events on
// this widget, so an event filter installed on it can take them over.
class MovieWidget : public QWidget, public cardformat::MovieControl {
    Q_OBJECT

  public:
    explicit MovieWidget(QWidget* parent = nullptr);
    ~MovieWidget() override;

    void setMovie(const std::string& path) override;
    std::string Movie() const override;
    void Play() override;
    bool Playing() const override;
    void setPlaying(bool playing) override;
    bool Loop() const override;
    void setLoop(bool loop) override;
    void Rewind() override;
    void Back() override;
    void Forward() override;
    void setBackgroundColor(std::uint32_t rgb) override;
    std::uint32_t BackgroundColor() const override;
    void setVisible(bool visible) override;
    bool Visible() const override;
    void setPlace(const cardformat::TwipRect& place) override;
    cardformat::TwipRect Place() const override;
    void setVolume(int volume) override;
    int volume() const override;
    void setMuted(bool muted) override;
    bool muted() const override;

    // The movies set from now on are a card's, extracted from the card file named
    // `cardFileName` (the name alone): their scripts find no files beside them, and _url
    // names the card, never the temporary copy. Empty: plain movies, reading from their
    // own folder.
    void setCardFileName(const std::string& cardFileName);

    // For tests and tools: whether a movie is loaded, and the frame shown (0-based).
    bool hasMovie() const { return movie_ != nullptr; }
    std::uint32_t currentFrame() const;
    std::uint32_t frameCount() const;
    // One tick of the frame clock as if its timer fired `elapsedMs` after the last start.
    void tickAt(std::int64_t elapsedMs);
    // The picture painted for the current frame: at the widget's size, or smaller when the
    // widget is larger than its screen (it is then drawn stretched).
    QImage grabFrame();
    // The movie as loaded, for tests and tools that look into it; null without one.
    MovieView* loadedMovie() const { return movie_.get(); }
    // The movie's sound, while a movie with sound is loaded (for tests and the scripts'
    // Sound objects); null otherwise.
    audio::MovieAudio* audio() const;

    static constexpr int kTwipsPerPixel = 15;
    // Each frame's drawing keeps to this; ordinary movies never come near it.
    static constexpr std::chrono::milliseconds kFrameBudget{200};
    // The drawing surface when the widget knows no screen.
    static constexpr QSize kSurfaceWithoutScreen{4096, 4096};

  signals:
    // fscommand("quit") and fscommand("fullscreen", "true"/"false") from the movie's
    // scripts; the widget's owner decides what they do. Other commands never arrive.
    void scriptCommand(const QString& command, const QString& args);
    // getURL of an http, https or mailto address. Without a receiver the widget opens it in
    // the system's browser; every other scheme is refused before it gets here.
    void urlRequested(const QString& url);
    // The person changed the volume or the mute through the widget itself (its menu, Ctrl+M);
    // the widget has the new level already. Calls of setVolume and setMuted do not say so.
    void levelChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The left button, the pointer, the wheel and the keyboard go to the movie.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  public:
    // A widget position as stage twips of the movie shown (through the ShowAll fit).
    std::optional<QPointF> stagePointOf(QPointF widgetPos) const;

  private:
    void onTimer();
    // After an event reached the movie: the pointer's shape, and the picture.
    void inputDelivered();
    void restartClock();
    void updateTimer();
    void applyVolume();
    StageCallbacks scriptCallbacks();
    void openPage(const QString& url);
    // Shows the person the whole address a movie that read local files asks to open; true
    // when they agree.
    bool confirmOpening(const QString& url);

    std::string cardFileName_;
    bool asking_ = false;

    std::string path_;
    void releaseMovie();

    // The movie played in real time, its sound on the device, painted by its view.
    std::unique_ptr<MovieView> movie_;
    bool loop_ = true;
    bool playing_ = true;
    int volume_ = 100;
    bool muted_ = false;
    std::optional<std::uint32_t> background_;
    // Whether the movie names its stage colour (a SetBackgroundColor tag on its timeline).
    bool movieNamesBackground_ = false;
    QTimer timer_;
    QElapsedTimer elapsed_;
    PlaybackMenu* menu_ = nullptr;
    // The last picture painted, and what it was painted for: it is shown again as long as
    // neither that nor the movie's frame changed.
    struct Shown {
        QSize size;
        std::uint32_t background = 0;
        bool backgroundSet = false;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    Shown shownNow() const;
    QImage frame_;
    std::optional<Shown> shown_;
};

} // namespace mc
