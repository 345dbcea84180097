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
}

void PlaybackMenu::refresh() {
    play_->setChecked(control_.Playing());
    loop_->setChecked(control_.Loop());
}

} // namespace mc
