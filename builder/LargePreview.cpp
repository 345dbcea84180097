#include "LargePreview.h"

#include "PreviewSeek.h"
#include "VolumeControls.h"

#include "MovieWidget.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace builder {

namespace {

// How often the slider follows the playing movie.
constexpr int FollowIntervalMs = 100;

} // namespace

LargePreview::LargePreview(QWidget* parent)
    : QWidget(parent, Qt::Window), movie_(new mc::MovieWidget(this)), play_(new QPushButton(this)),
      position_(new QSlider(Qt::Horizontal, this)), frameLabel_(new QLabel(this)),
      volume_(new VolumeControls(*movie_, this)), follow_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("Flash预览"));
    setMinimumSize(320, 260);
    resize(660, 540);

    auto* controls = new QHBoxLayout;
    controls->addWidget(play_);
    controls->addWidget(position_, 1);
    controls->addWidget(frameLabel_);
    volume_->setFixedWidth(120);
    controls->addWidget(volume_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(movie_, 1);
    layout->addLayout(controls);

    connect(play_, &QPushButton::clicked, this, [this] {
        movie_->setPlaying(!movie_->Playing());
        refresh();
    });
    connect(position_, &QSlider::sliderReleased, this, [this] { seek(position_->value()); });
    connect(position_, &QSlider::actionTriggered, this, [this](int action) {
        // Clicks beside the handle and keys move by steps; the drag waits for its release.
        if (action != QAbstractSlider::SliderMove) {
            QTimer::singleShot(0, this, [this] { seek(position_->sliderPosition()); });
        }
    });
    connect(follow_, &QTimer::timeout, this, &LargePreview::refresh);
    follow_->start(FollowIntervalMs);
    refresh();
}

void LargePreview::setMovie(const std::string& path) {
    movie_->setMovie(path);
    refresh();
}

void LargePreview::seek(int frame) {
    if (!movie_->hasMovie() || frame < 0) {
        return;
    }
    movie_->setPlaying(false);
    const SeekPlan plan = seekPlan(movie_->currentFrame(), static_cast<std::uint32_t>(frame));
    if (plan.rewind) {
        movie_->Rewind();
    }
    for (std::uint32_t i = 0; i < plan.forward; ++i) {
        movie_->Forward();
    }
    for (std::uint32_t i = 0; i < plan.back; ++i) {
        movie_->Back();
    }
    refresh();
}

void LargePreview::refresh() {
    const bool loaded = movie_->hasMovie();
    const int frames = loaded ? static_cast<int>(movie_->frameCount()) : 0;
    play_->setEnabled(loaded);
    position_->setEnabled(frames > 1);
    play_->setText(loaded && movie_->Playing() ? QStringLiteral("暂停") : QStringLiteral("播放"));
    position_->setRange(0, frames > 0 ? frames - 1 : 0);
    if (!position_->isSliderDown() && loaded) {
        position_->setValue(static_cast<int>(movie_->currentFrame()));
    }
    frameLabel_->setText(
        loaded ? QStringLiteral("%1 / %2").arg(movie_->currentFrame() + 1).arg(frames) : QString());
}

} // namespace builder
