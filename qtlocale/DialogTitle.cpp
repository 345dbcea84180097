#include "DialogTitle.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QSpacerItem>

namespace qtlocale {
namespace {

// The title bar's icon and its close, maximise and minimise buttons, as window managers
// draw them, with some air.
constexpr int TitleBarButtons = 160;

} // namespace

int titleWidth(const QDialog& dialog) {
    // Title bars use a bold face of the desktop's font at most a little larger than it.
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() * 1.2 : font.pointSizeF());
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + TitleBarButtons;
}

void widenForTitle(QDialog& dialog) {
    QLayout* layout = dialog.layout();
    if (layout == nullptr) {
        dialog.setMinimumWidth(titleWidth(dialog));
        return;
    }
    // A message box fixes its own size from its layout: a spacer as wide as the title is the
    // way to a wider box (a minimum width of the box itself is overridden).
    auto* spacer = new QSpacerItem(titleWidth(dialog), 0, QSizePolicy::Minimum,
                                   QSizePolicy::Minimum); // owned by the layout
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        layout->addItem(spacer);
    }
}

} // namespace qtlocale
