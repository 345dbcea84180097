#include "PlaybackMenu.h"

#include "cardformat/MovieControl.h"

namespace mc {

PlaybackMenu::PlaybackMenu(cardformat::MovieControl& control, QWidget* parent)
    : QMenu(parent), control_(control) {
    play_ = addAction(tr("Play"));
    play_->setCheckable(true);
    loop_ = addAction(tr("Loop"));
    loop_->setCheckable(true);
    addSeparator();
    rewind_ = addAction(tr("Rewind"));
    forward_ = addAction(tr("Forward"));
    back_ = addAction(tr("Back"));
    connect(play_, &QAction::triggered, this, [this](bool on) { control_.setPlaying(on); });
    connect(loop_, &QAction::triggered, this, [this](bool on) { control_.setLoop(on); });
    connect(rewind_, &QAction::triggered, this, [this] { control_.Rewind(); });
    connect(forward_, &QAction::triggered, this, [this] { control_.Forward(); });
    connect(back_, &QAction::triggered, this, [this] { control_.Back(); });
    addSeparator();
    volumeMenu_ = addMenu(QString::fromUtf8(VolumeMenu::Title.data(),
                                            static_cast<qsizetype>(VolumeMenu::Title.size())));
    volumeMenu_->setObjectName(QStringLiteral("VolumeMenu"));
    // Choosing a level also ends a mute, as in the player: the choice is to be heard.
    volume_.emplace(*volumeMenu_, VolumeMenu::Commands{[this] {
                                                           control_.setMuted(!control_.muted());
                                                           emit levelChanged();
                                                       },
                                                       [this](int level) {
                                                           control_.setVolume(level);
                                                           control_.setMuted(false);
                                                           emit levelChanged();
                                                       }});
}

void PlaybackMenu::refresh() {
    play_->setChecked(control_.Playing());
    loop_->setChecked(control_.Loop());
    volume_->showMarks(control_.muted(), control_.volume());
}

} // namespace mc
