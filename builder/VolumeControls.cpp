#include "VolumeControls.h"

#include "cardformat/MovieControl.h"

#include <QBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

namespace builder {

VolumeControls::VolumeControls(cardformat::MovieControl& movie, QWidget* parent)
    : QWidget(parent), movie_(movie), mute_(new QToolButton(this)),
      slider_(new QSlider(Qt::Horizontal, this)) {
    mute_->setCheckable(true);
    mute_->setAutoRaise(true);
    mute_->setToolTip(QStringLiteral("静音"));
    slider_->setRange(0, 100);
    slider_->setSingleStep(5);
    slider_->setPageStep(25);
    slider_->setToolTip(QStringLiteral("音量"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(mute_);
    layout->addWidget(slider_, 1);

    connect(mute_, &QToolButton::toggled, this, [this](bool muted) {
        movie_.setMuted(muted);
        refresh();
        emit levelChanged();
    });
    connect(slider_, &QSlider::valueChanged, this, [this](int volume) {
        movie_.setVolume(volume);
        emit levelChanged();
    });
    refresh();
}

void VolumeControls::refresh() {
    const QSignalBlocker muteQuiet(mute_);
    const QSignalBlocker sliderQuiet(slider_);
    mute_->setChecked(movie_.muted());
    mute_->setIcon(style()->standardIcon(movie_.muted() ? QStyle::SP_MediaVolumeMuted
                                                        : QStyle::SP_MediaVolume));
    // Muted, the slider keeps the level the unmute comes back to.
    slider_->setValue(movie_.volume());
}

} // namespace builder
