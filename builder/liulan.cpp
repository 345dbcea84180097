#include "liulan.h"

#include "CaptionBar.h"
#include "CompanionPlacement.h"
#include "DockingHost.h"
#include "MovieWidget.h"

#include <QCloseEvent>

namespace builder {

liulan::liulan(DockingHost& docking, const QWidget& mainWindow)
    : DockedWindow(docking, QStringLiteral("             Flash浏览窗口"),
                   QSize(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel),
                   Kind::Tool),
      movie_(new mc::MovieWidget(client())) {
    // A little larger than the client area, so no edge of the window shows beside the movie.
    movie_->setPlace(cardformat::TwipRect{0, 0, 4695, 3135});
    // No background of its own: the movie's colour fills the stage and the letterbox, as
    // the player shows it.
    move(companionPosition(mainWindow.frameGeometry(), 0));
    docking.attach(*this, false);
    captionBar()->setToolTip(QStringLiteral("双击标题栏：打开可以调整大小的预览"));
    captionBar()->installEventFilter(this);
}

bool liulan::eventFilter(QObject* watched, QEvent* event) {
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
