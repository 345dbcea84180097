#pragma once

#include <QListWidget>

#include <filesystem>
#include <vector>

namespace builder {

// The photos as thumbnails in a row that wraps. Dragging one to another place, or dropping
// files on it from outside, is reported; the window decides what becomes of it.
class ComposePhotoView : public QListWidget {
    Q_OBJECT

  public:
    explicit ComposePhotoView(QWidget* parent = nullptr);

  signals:
    void photoMoved(int from, int to);
    void filesDropped(const std::vector<std::filesystem::path>& files);

  protected:
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace builder
