#include "ComposePhotoView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace builder {

namespace {

// What a drag from this list carries.
bool isOwnDrag(const QMimeData* data) {
    return data->hasFormat(QStringLiteral("application/x-qabstractitemmodeldatalist")) &&
           !data->hasUrls();
}

} // namespace

ComposePhotoView::ComposePhotoView(QWidget* parent) : QListWidget(parent) {
    // List mode flowing left to right: a drop lands between photos and changes their order,
    // where icon mode would only move the picture on the canvas.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setIconSize(QSize(96, 72));
    setGridSize(QSize(112, 100));
    setTextElideMode(Qt::ElideMiddle);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

void ComposePhotoView::initViewItemOption(QStyleOptionViewItem* option) const {
    QListWidget::initViewItemOption(option);
    // The name under its thumbnail, as in icon mode, not beside it over the next one.
    option->decorationPosition = QStyleOptionViewItem::Top;
    option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
}

void ComposePhotoView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || isOwnDrag(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

void ComposePhotoView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() || isOwnDrag(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

void ComposePhotoView::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls()) {
        std::vector<std::filesystem::path> files;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                const QByteArray utf8 = url.toLocalFile().toUtf8();
                files.emplace_back(std::u8string(utf8.begin(), utf8.end()));
            }
        }
        event->acceptProposedAction();
        emit filesDropped(files);
        return;
    }
    if (!isOwnDrag(data) || currentRow() < 0) {
        event->ignore();
        return;
    }
    const QModelIndex at = indexAt(event->position().toPoint());
    const int to = at.isValid() ? at.row() : count() - 1;
    // The list is rebuilt from the window's order; Qt must not move the item itself.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (to != currentRow()) {
        emit photoMoved(currentRow(), to);
    }
}

} // namespace builder
