#include "MovieView.h"

#include "BitmapDataPainter.h"
#include "JpegBitmaps.h"
#include "QtConversions.h"

namespace mc {

PlaybackSetup MovieView::joined(PlaybackSetup setup) {
    const auto prepared = std::move(setup.prepared);
    setup.prepared = [this, prepared](MoviePlayback& playback) {
        painter_ = std::make_unique<MoviePainter>(playback.movie());
        // The first frame's scripts draw while the core is still being made.
        making_ = &playback;
        if (prepared) {
            prepared(playback);
        }
    };
    StageCallbacks& callbacks = setup.callbacks;
    if (!callbacks.libraryBitmap) {
        // A library bitmap's pixels for BitmapData.loadBitmap.
        callbacks.libraryBitmap = [this](std::uint16_t id) -> std::optional<pixels::BitmapPixels> {
            BitmapLibrary& bitmaps = painter_->resources().bitmaps;
            const QImage& image = bitmaps.image(id);
            if (image.isNull()) {
                return std::nullopt;
            }
            return pixelsOf(image, bitmaps.transparent(id));
        };
    }
    if (!callbacks.loadedLibraryBitmap) {
        callbacks.loadedLibraryBitmap =
            [this](std::uint16_t library, std::uint16_t id) -> std::optional<pixels::BitmapPixels> {
            RenderResources* resources =
                making_ != nullptr ? painter_->resourcesOf(making_->player(), library) : nullptr;
            const QImage* image = resources != nullptr ? &resources->bitmaps.image(id) : nullptr;
            if (image == nullptr || image->isNull()) {
                return std::nullopt;
            }
            return pixelsOf(*image, resources->bitmaps.transparent(id));
        };
    }
    if (!callbacks.decodePicture) {
        callbacks.decodePicture =
            [](std::span<const std::uint8_t> file) -> std::optional<pixels::BitmapPixels> {
            const DecodedBitmap decoded = decodeJpegImage(file, {});
            if (!decoded.usable()) {
                return std::nullopt;
            }
            return pixelsOf(decoded.image, true);
        };
    }
    if (!callbacks.drawIntoBitmap) {
        callbacks.drawIntoBitmap = [this](pixels::BitmapPixels& target,
                                          const avm1::BitmapDrawing& drawing,
                                          const TimelinePlayer& player, const DisplayObject* object,
                                          swf::BlendMode mode) {
            ContentPainter content;
            if (drawing.wholeStage) {
                content = [this, &player](QPainter& painter, const Transform& toTarget) {
                    painter_->paintStageContent(painter, toTarget, player);
                };
            } else if (object != nullptr) {
                content = [this, &player, object](QPainter& painter, const Transform& toTarget) {
                    painter_->paintContent(painter, toTarget, player, *object);
                };
            }
            mc::drawIntoBitmap(target, drawing, mode, content);
        };
    }
    if (!callbacks.filterIntoBitmap) {
        callbacks.filterIntoBitmap = mc::filterIntoBitmap;
    }
    if (!callbacks.filteredRect) {
        callbacks.filteredRect = mc::filteredRect;
    }
    return setup;
}

std::unique_ptr<MovieView> MovieView::fromBytes(std::span<const std::uint8_t> bytes,
                                                PlaybackSetup setup) {
    std::unique_ptr<MovieView> view(new MovieView());
    view->playback_ = MoviePlayback::fromBytes(bytes, view->joined(std::move(setup)));
    return made(std::move(view));
}

std::unique_ptr<MovieView> MovieView::fromFile(const std::string& path, PlaybackSetup setup) {
    std::unique_ptr<MovieView> view(new MovieView());
    view->playback_ = MoviePlayback::fromFile(path, view->joined(std::move(setup)));
    return made(std::move(view));
}

std::unique_ptr<MovieView> MovieView::fromBytes(std::span<const std::uint8_t> bytes,
                                                StageCallbacks callbacks) {
    PlaybackSetup setup;
    setup.callbacks = std::move(callbacks);
    return fromBytes(bytes, std::move(setup));
}

std::unique_ptr<MovieView> MovieView::fromFile(const std::string& path, StageCallbacks callbacks) {
    PlaybackSetup setup;
    setup.callbacks = std::move(callbacks);
    return fromFile(path, std::move(setup));
}

std::unique_ptr<MovieView> MovieView::made(std::unique_ptr<MovieView> view) {
    if (!view->playback_ || !view->painter_) {
        return nullptr;
    }
    return view;
}

MovieView::~MovieView() {
    playback_.reset();
    painter_.reset();
}

QSize MovieView::stageSizePixels() const {
    const TwipsRect s = stage();
    const auto w = std::max<std::int64_t>(0, s.width() / 20);
    const auto h = std::max<std::int64_t>(0, s.height() / 20);
    return QSize(static_cast<int>(std::min<std::int64_t>(w, 1 << 15)),
                 static_cast<int>(std::min<std::int64_t>(h, 1 << 15)));
}

void MovieView::paint(QImage& target, RenderQuality quality, QColor letterbox,
                      std::optional<QColor> background) {
    const std::optional<Bounds> focus = playback_->input().focusHighlight();
    painter_->paint(target, playback_->player(), quality, letterbox, background, focus);
}

QImage MovieView::renderFrame(QSize size, RenderQuality quality) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    paint(image, quality, toQColor(playback_->player().background()));
    return image;
}

} // namespace mc
