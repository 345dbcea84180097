#pragma once

#include "composer/Composition.h"

#include <QDialog>
#include <QImage>
#include <QRectF>

namespace builder {

// Shows a photo as it is turned and lets the person drag a frame around the part that
// matters. The frame is kept as shares of the turned photo.
class ComposeCropDialog : public QDialog {
    Q_OBJECT

  public:
    // `turned`: the whole photo, turned as the edit says; `edit`'s crop is shown first.
    ComposeCropDialog(const QImage& turned, const composer::PhotoEdit& edit, QWidget* parent);

    // The part kept: left, top, width and height as shares of the photo.
    QRectF crop() const { return crop_; }
    // What a drag from `from` to `to` (points on the shown picture) keeps.
    void dragFrame(QPointF from, QPointF to);
    void keepWholePhoto();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QRectF pictureRect() const;

    QImage picture_;
    QRectF crop_{0, 0, 1, 1};
    QPointF pressedAt_;
};

} // namespace builder
