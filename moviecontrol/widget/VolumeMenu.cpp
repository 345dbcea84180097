#include "VolumeMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <memory>

namespace mc {

VolumeMenu::VolumeMenu(QMenu& menu, Commands commands) {
    mute_ = menu.addAction(
        QString::fromUtf8(MuteCaption.data(), static_cast<qsizetype>(MuteCaption.size())));
    mute_->setObjectName(QStringLiteral("Mute"));
    mute_->setCheckable(true);
    // Shown beside the item; the key itself is taken where the movie has the focus.
    mute_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mute_->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(mute_, &QAction::triggered, &menu,
                     [toggle = std::move(commands.toggleMute)] { toggle(); });
    menu.addSeparator();
    // The levels are one choice: the level the movie plays at.
    auto* group = new QActionGroup(&menu);
    const auto choose = std::make_shared<std::function<void(int)>>(std::move(commands.chooseLevel));
    for (std::size_t i = 0; i < Levels.size(); ++i) {
        const int percent = Levels[i];
        QAction* action = menu.addAction(QStringLiteral("%1%").arg(percent));
        action->setObjectName(QStringLiteral("Volume%1").arg(percent));
        action->setCheckable(true);
        action->setActionGroup(group);
        QObject::connect(action, &QAction::triggered, &menu,
                         [choose, percent] { (*choose)(percent); });
        levels_[i] = action;
    }
}

void VolumeMenu::showMarks(bool muted, int level) const {
    mute_->setChecked(muted);
    for (std::size_t i = 0; i < Levels.size(); ++i) {
        levels_[i]->setChecked(Levels[i] == level);
    }
}

QAction* VolumeMenu::level(int percent) const {
    for (std::size_t i = 0; i < Levels.size(); ++i) {
        if (Levels[i] == percent) {
            return levels_[i];
        }
    }
    return nullptr;
}

} // namespace mc
