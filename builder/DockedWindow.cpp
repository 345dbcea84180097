#include "DockedWindow.h"

#include "CaptionBar.h"
#include "DockingHost.h"

#include <QPainter>

namespace builder {

DockedWindow::DockedWindow(DockingHost& docking, const QString& caption, QSize clientSize,
                           Kind kind)
    : QWidget(nullptr, kind == Kind::Main ? Qt::Window | Qt::FramelessWindowHint
                                          : Qt::Tool | Qt::FramelessWindowHint),
      docking_(docking), handle_(docking.registerWindow(this)) {
    const int captionHeight = kind == Kind::Main ? MainCaptionHeight : ToolCaptionHeight;
    setWindowTitle(caption);
    setFixedSize(clientSize.width() + 2 * BorderWidth,
                 clientSize.height() + captionHeight + 2 * BorderWidth);
    captionBar_ = new CaptionBar(caption, kind == Kind::Tool, this);
    captionBar_->setGeometry(BorderWidth, BorderWidth, clientSize.width(), captionHeight);
    client_ = new QWidget(this);
    client_->setGeometry(BorderWidth, BorderWidth + captionHeight, clientSize.width(),
                         clientSize.height());
    connect(captionBar_, &CaptionBar::closeClicked, this, &QWidget::close);
}

DockedWindow::~DockedWindow() {
    docking_.forgetWindow(handle_);
}

void DockedWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(10, 30, 56));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace builder
