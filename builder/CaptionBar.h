#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace builder {

// The title bar the builder's windows draw themselves: the caption and a close box. Dragging
// it moves its window; the docking, when attached, filters the drag before this bar sees it.
class CaptionBar : public QWidget {
    Q_OBJECT

  public:
    CaptionBar(const QString& caption, bool toolWindow, QWidget* parent);

    QString caption() const { return caption_; }
    // In the bar's own coordinates.
    QRect closeBoxRect() const;

  signals:
    void closeClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QString caption_;
    bool toolWindow_;
    bool closePressed_ = false;
    bool closeHovered_ = false;
    bool dragging_ = false;
    QPoint dragStartCursor_;
    QPoint dragStartWindow_;
};

} // namespace builder
