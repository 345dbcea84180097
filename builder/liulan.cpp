#include "liulan.h"

#include "CaptionBar.h"
#include "CompanionPlacement.h"
#include "DockingHost.h"
#include "MovieWidget.h"
#include "VolumeControls.h"

#include <QCloseEvent>
#include <algorithm>

namespace builder {
namespace {

constexpr int VolumeWidth = 110;

} // namespace

liulan::liulan(DockingHost& docking, const QWidget& mainWindow)
    : DockedWindow(docking, QStringLiteral("             Flash浏览窗口"),
                   QSize(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel),
                   Kind::Tool),
      movie_(new mc::MovieWidget(client())), volume_(new VolumeControls(*movie_, captionBar())) {
    // A little larger than the client area, so no edge of the window shows beside the movie.
    movie_->setPlace(cardformat::TwipRect{0, 0, 4695, 3135});
    // No background of its own: the movie's colour fills the stage and the letterbox, as
    // the player shows it.
    move(companionPosition(mainWindow.frameGeometry(), 0));
    docking.attach(*this, false);
    captionBar()->setToolTip(QStringLiteral("双击标题栏：打开可以调整大小的预览"));
    captionBar()->installEventFilter(this);
    placeVolume();
}

// On the title bar's right, before the close box, clear of the caption.
void liulan::placeVolume() {
    const QRect bar = captionBar()->rect();
    const int right = captionBar()->closeBoxRect().left() - 6;
    const int width = std::min(VolumeWidth, right - bar.width() / 2);
    volume_->setGeometry(right - width, 1, width, bar.height() - 2);
}

bool liulan::eventFilter(QObject* watched, QEvent* event) {
    if (watched == captionBar() && event->type() == QEvent::Resize) {
        placeVolume();
    }
    if (watched == captionBar() && event->type() == QEvent::MouseButtonDblClick) {
        emit enlargeRequested();
        return true;
    }
    return DockedWindow::eventFilter(watched, event);
}

void liulan::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

} // namespace builder
