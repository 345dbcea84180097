#include "MoviePainter.h"

#include <QPainter>
#include <cmath>

#include "FocusRectangle.h"
#include "PainterBackend.h"

namespace mc {

namespace {

TwipsRect stageOf(const swf::Movie& movie) {
    const swf::Rect& r = movie.header.frameRect;
    return TwipsRect{r.xMin, r.yMin, r.xMax, r.yMax};
}

// The bars around the stage. When an opaque background will cover the stage, the pixels it
// covers whole are left alone: filling a full-screen picture twice a frame is a measurable
// part of a frame at high rates.
void fillLetterbox(QImage& target, const QRectF& stageRect, QColor letterbox, bool stageOpaque) {
    const QRect all = target.rect();
    const QRect inner = QRect(QPoint(static_cast<int>(std::ceil(stageRect.left())),
                                     static_cast<int>(std::ceil(stageRect.top()))),
                              QPoint(static_cast<int>(std::floor(stageRect.right())) - 1,
                                     static_cast<int>(std::floor(stageRect.bottom())) - 1))
                            .intersected(all);
    if (!stageOpaque || inner.isEmpty()) {
        target.fill(letterbox);
        return;
    }
    QPainter p(&target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect bars[] = {
        QRect(all.left(), all.top(), all.width(), inner.top() - all.top()),
        QRect(all.left(), inner.bottom() + 1, all.width(), all.bottom() - inner.bottom()),
        QRect(all.left(), inner.top(), inner.left() - all.left(), inner.height()),
        QRect(inner.right() + 1, inner.top(), all.right() - inner.right(), inner.height())};
    for (const QRect& bar : bars) {
        if (!bar.isEmpty()) {
            p.fillRect(bar, letterbox);
        }
    }
}

} // namespace

MoviePainter::MoviePainter(const swf::Movie& movie) : movie_(movie), resources_(movie) {}

void MoviePainter::paint(QImage& target, const TimelinePlayer& player, RenderQuality quality,
                         QColor letterbox, std::optional<QColor> background,
                         std::optional<Bounds> focus) {
    const TwipsRect s = stageOf(movie_);
    if (s.width() <= 0 || s.height() <= 0) {
        target.fill(letterbox);
        return;
    }
    const StageFit fit = fitStage(s, target.width(), target.height(), player.stageLayout());
    // Without bars the movie shows, on its background, whatever it draws beyond the stage.
    const QRectF stageRect =
        fit.letterboxed ? QRectF(fit.offsetX, fit.offsetY, fit.stageWidthPx, fit.stageHeightPx)
                        : QRectF(target.rect());
    fillLetterbox(target, stageRect, letterbox, !background || background->alpha() == 255);
    QPainter painter(&target);
    painter.setClipRect(stageRect);
    {
        if (budget_) {
            budget_->startFrame();
        }
        PainterBackend backend(resources_, painter, fit.toDevice(s), quality,
                               budget_ ? &*budget_ : nullptr);
        backend.setStageRect(stageRect);
        backend.setLibraryResources(
            [this, &player](std::uint16_t library) { return resourcesOf(player, library); });
        if (background) {
            // An explicit background replaces the movie's: paint it and let the frame's own
            // background fill nothing.
            painter.fillRect(stageRect, *background);
            backend.setStageRect(QRectF());
        }
        // Recorded first, so that the next frame can be told apart from this one.
        player.render(painted_);
        paintedOnce_ = true;
        resources_.groups.startFrame();
        resources_.rasters.startFrame();
        resources_.bitmaps.startFrame();
        backend.beginFrame(painted_.background());
        painted_.replay(backend);
        backend.endFrame();
    }
    if (focus) {
        drawFocusRectangle(painter, fit.toDevice(s), *focus);
    }
}

void MoviePainter::paintContent(QPainter& painter, const Transform& toTarget,
                                const TimelinePlayer& player, const DisplayObject& object) {
    PainterBackend backend(resources_, painter, toTarget, RenderQuality::High);
    backend.setLibraryResources(
        [this, &player](std::uint16_t library) { return resourcesOf(player, library); });
    player.renderContent(backend, object, Transform{}, ColorTransform{});
}

void MoviePainter::paintStageContent(QPainter& painter, const Transform& toTarget,
                                     const TimelinePlayer& player) {
    PainterBackend backend(resources_, painter, toTarget, RenderQuality::High);
    backend.setLibraryResources(
        [this, &player](std::uint16_t library) { return resourcesOf(player, library); });
    player.renderStageContent(backend, Transform{}, ColorTransform{});
}

RenderResources* MoviePainter::resourcesOf(const TimelinePlayer& player, std::uint16_t library) {
    const swf::Movie* movie = player.library().movie(library);
    if (movie == nullptr) {
        return nullptr;
    }
    if (loadedResources_.size() <= library) {
        loadedResources_.resize(static_cast<std::size_t>(library) + 1);
    }
    auto& slot = loadedResources_[library];
    if (!slot) {
        slot = std::make_unique<RenderResources>(*movie, kLoadedBitmapBudget);
    }
    return slot.get();
}

bool MoviePainter::frameChanged(const TimelinePlayer& player) const {
    if (!paintedOnce_) {
        return true;
    }
    CommandRecord now;
    player.render(now);
    return !(now.background() == painted_.background()) ||
           !sameDrawing(now, TwipsOrigin{}, painted_, TwipsOrigin{});
}

} // namespace mc
