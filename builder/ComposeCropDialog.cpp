#include "ComposeCropDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace builder {

namespace {

constexpr int kPictureBox = 480;
constexpr int kFoot = 64; // the hint and the buttons below the picture

} // namespace

ComposeCropDialog::ComposeCropDialog(const QImage& turned, const composer::PhotoEdit& edit,
                                     QWidget* parent)
    : QDialog(parent), picture_(turned.scaled(kPictureBox, kPictureBox, Qt::KeepAspectRatio,
                                              Qt::SmoothTransformation)),
      crop_(edit.cropLeft, edit.cropTop, edit.cropWidth, edit.cropHeight) {
    setWindowTitle(QStringLiteral("裁剪照片"));
    setFixedSize(std::max(picture_.width(), 360) + 24, picture_.height() + 24 + kFoot);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("用鼠标框出要留下的部分。"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* whole =
        buttons->addButton(QStringLiteral("整张照片"), QDialogButtonBox::ResetRole);
    connect(whole, &QPushButton::clicked, this, &ComposeCropDialog::keepWholePhoto);
    // Enter keeps the frame drawn, whichever button had the focus.
    whole->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QRectF ComposeCropDialog::pictureRect() const {
    return {static_cast<qreal>(width() - picture_.width()) / 2, 12,
            static_cast<qreal>(picture_.width()), static_cast<qreal>(picture_.height())};
}

void ComposeCropDialog::dragFrame(QPointF from, QPointF to) {
    const QRectF place = pictureRect();
    const auto share = [&place](QPointF p) {
        return QPointF(std::clamp((p.x() - place.left()) / place.width(), 0.0, 1.0),
                       std::clamp((p.y() - place.top()) / place.height(), 0.0, 1.0));
    };
    const QRectF chosen = QRectF(share(from), share(to)).normalized();
    // A click without a drag keeps what was chosen.
    if (chosen.width() * place.width() < 8 || chosen.height() * place.height() < 8) {
        return;
    }
    crop_ = chosen;
    update();
}

void ComposeCropDialog::keepWholePhoto() {
    crop_ = QRectF(0, 0, 1, 1);
    update();
}

void ComposeCropDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const QRectF place = pictureRect();
    p.drawImage(place, picture_);
    const QRectF kept(place.left() + crop_.left() * place.width(),
                      place.top() + crop_.top() * place.height(), crop_.width() * place.width(),
                      crop_.height() * place.height());
    // What goes is dimmed; what stays is framed.
    QPainterPath outside;
    outside.addRect(place);
    outside.addRect(kept);
    p.fillPath(outside, QColor(0, 0, 0, 140));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawRect(kept);
}

void ComposeCropDialog::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position();
}

void ComposeCropDialog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        dragFrame(pressedAt_, event->position());
    }
}

} // namespace builder
