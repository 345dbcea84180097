#include "MovieRenderer.h"

#include "BitmapDataPainter.h"

#include "FocusRectangle.h"
#include "MovieFolder.h"
#include <cmath>

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "PainterBackend.h"
#include "QtConversions.h"
#include "SwfConversions.h"

namespace mc {

namespace {

bool hasActions(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            if (std::holds_alternative<swf::DoAction>(tag) ||
                std::holds_alternative<swf::DoInitAction>(tag)) {
                return true;
            }
            if (const auto* place = std::get_if<swf::PlaceObject>(&tag);
                place != nullptr && !place->clipActions.empty()) {
                return true;
            }
        }
    }
    return false;
}

// Whether the movie carries ActionScript 1/2 anywhere: frames, sprites' frames, clip events.
bool carriesScripts(const swf::Movie& movie) {
    if (movie.actionScript3) {
        return false;
    }
    if (hasActions(movie.root) || movie.unreadSprites.scripts) {
        return true;
    }
    for (const auto& [id, definition] : movie.dictionary) {
        if (const auto* sprite = std::get_if<swf::Sprite>(&definition);
            sprite != nullptr && hasActions(sprite->timeline)) {
            return true;
        }
        if (const auto* button = std::get_if<swf::Button>(&definition);
            button != nullptr && !button->actions.empty()) {
            return true;
        }
    }
    return false;
}

// Opened without blocking and read only when it is a regular file: a named pipe or a device
// in its place would wait for ever or never end. Empty when unreadable.
QByteArray readRegularFile(const std::string& path, qint64 maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return {};
    }
    QFile file;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return file.read(maxBytes);
}

} // namespace

MovieRenderer::MovieRenderer(std::unique_ptr<swf::Movie> movie, StageCallbacks callbacks,
                             const Prepared& prepared)
    : movie_(std::move(movie)), catalog_(*movie_), resources_(*movie_) {
    if (prepared) {
        prepared(*movie_);
    }
    if (carriesScripts(*movie_)) {
        if (!callbacks.libraryBitmap) {
            callbacks.libraryBitmap = [this](std::uint16_t id) { return libraryPixels(id); };
        }
        installBitmapPainting(callbacks);
        scripts_ = std::make_unique<StageScripts>(*movie_, std::move(callbacks));
    }
    player_ = std::make_unique<TimelinePlayer>(catalog_, movie_->root, Rgba{255, 255, 255, 255},
                                               TimelineLimits{}, scripts_.get(), movie_.get());
    input_ = std::make_unique<StageInput>(*movie_, *player_, scripts_.get());
}

std::optional<avm1::BitmapPixels> MovieRenderer::libraryPixels(std::uint16_t id) {
    const QImage& image = resources_.bitmaps.image(id);
    if (image.isNull()) {
        return std::nullopt;
    }
    return pixelsOf(image, true);
}

void MovieRenderer::installBitmapPainting(StageCallbacks& callbacks) {
    if (!callbacks.drawIntoBitmap) {
        callbacks.drawIntoBitmap = [this](avm1::BitmapPixels& target,
                                          const avm1::BitmapDrawing& drawing,
                                          const DisplayObject* object, swf::BlendMode mode) {
            ContentPainter content;
            if (object != nullptr) {
                content = [this, object](QPainter& painter, const Transform& toTarget) {
                    PainterBackend backend(resources_, painter, toTarget, RenderQuality::High);
                    backend.setLibraryResources(
                        [this](std::uint16_t library) { return resourcesOf(library); });
                    scripts_->player().renderContent(backend, *object, Transform{},
                                                     ColorTransform{});
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
}

void MovieRenderer::runTimers() {
    if (scripts_) {
        scripts_->runTimers();
    }
}

std::unique_ptr<MovieRenderer> MovieRenderer::fromBytes(std::span<const std::uint8_t> bytes,
                                                        StageCallbacks callbacks,
                                                        const Prepared& prepared) {
    swf::LoadResult loaded = swf::loadMovie(bytes, {}, swf::LoadMode::DefinitionsOnFirstUse);
    if (!loaded.ok() || !loaded.movie) {
        return nullptr;
    }
    return std::unique_ptr<MovieRenderer>(
        new MovieRenderer(std::move(loaded.movie), std::move(callbacks), prepared));
}

std::unique_ptr<MovieRenderer> MovieRenderer::fromFile(const std::string& path,
                                                       StageCallbacks callbacks,
                                                       const Prepared& prepared) {
    const QByteArray data = readRegularFile(path, kMaxFileBytes);
    if (data.isEmpty()) {
        return nullptr;
    }
    if (callbacks.movieUrl.empty()) {
        // The file's name without its folders: a movie learns nothing of the disk around it.
        callbacks.movieUrl =
            "file:///" +
            QString::fromUtf8(
                QUrl::toPercentEncoding(QFileInfo(QString::fromStdString(path)).fileName(), "()"))
                .toStdString();
    }
    if (!callbacks.readBeside) {
        // Regular files inside the movie's real folder only.
        callbacks.readBeside = [folder = MovieFolder::ofMovie(path)](const std::string& relative) {
            return folder.read(relative, static_cast<std::size_t>(kMaxBesideBytes));
        };
    }
    return fromBytes(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      static_cast<std::size_t>(data.size())),
        std::move(callbacks), prepared);
}

TwipsRect MovieRenderer::stage() const {
    const swf::Rect& r = movie_->header.frameRect;
    return TwipsRect{r.xMin, r.yMin, r.xMax, r.yMax};
}

QSize MovieRenderer::stageSizePixels() const {
    const TwipsRect s = stage();
    const auto w = std::max<std::int64_t>(0, s.width() / 20);
    const auto h = std::max<std::int64_t>(0, s.height() / 20);
    return QSize(static_cast<int>(std::min<std::int64_t>(w, 1 << 15)),
                 static_cast<int>(std::min<std::int64_t>(h, 1 << 15)));
}

namespace {

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

void MovieRenderer::paint(QImage& target, RenderQuality quality, QColor letterbox,
                          std::optional<QColor> background) {
    const TwipsRect s = stage();
    if (s.width() <= 0 || s.height() <= 0) {
        target.fill(letterbox);
        return;
    }
    const StageFit fit = fitShowAll(s, target.width(), target.height());
    const QRectF stageRect(fit.offsetX, fit.offsetY, fit.stageWidthPx, fit.stageHeightPx);
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
        backend.setLibraryResources([this](std::uint16_t library) { return resourcesOf(library); });
        if (background) {
            // An explicit background replaces the movie's: paint it and let the frame's own
            // background fill nothing.
            painter.fillRect(stageRect, *background);
            backend.setStageRect(QRectF());
        }
        // Recorded first, so that the next frame can be told apart from this one.
        player_->render(painted_);
        paintedOnce_ = true;
        resources_.groups.startFrame();
        resources_.rasters.startFrame();
        resources_.bitmaps.startFrame();
        backend.beginFrame(painted_.background());
        painted_.replay(backend);
        backend.endFrame();
    }
    if (const auto focus = input_->focusHighlight()) {
        drawFocusRectangle(painter, fit.toDevice(s), *focus);
    }
}

RenderResources* MovieRenderer::resourcesOf(std::uint16_t library) {
    const swf::Movie* movie = player_->library().movie(library);
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

bool MovieRenderer::frameChanged() const {
    if (!paintedOnce_) {
        return true;
    }
    CommandRecord now;
    player_->render(now);
    return !(now.background() == painted_.background()) ||
           !sameDrawing(now, TwipsOrigin{}, painted_, TwipsOrigin{});
}

QImage MovieRenderer::renderFrame(QSize size, RenderQuality quality) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    paint(image, quality, toQColor(player_->background()));
    return image;
}

} // namespace mc
