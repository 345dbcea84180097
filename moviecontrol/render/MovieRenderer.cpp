#include "MovieRenderer.h"

#include <QFile>
#include <QPainter>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "PainterBackend.h"
#include "QtConversions.h"
#include "SwfConversions.h"

namespace mc {

MovieRenderer::MovieRenderer(std::unique_ptr<swf::Movie> movie)
    : movie_(std::move(movie)), catalog_(*movie_), resources_(*movie_) {
    player_ = std::make_unique<TimelinePlayer>(catalog_, movie_->root, Rgba{255, 255, 255, 255});
}

std::unique_ptr<MovieRenderer> MovieRenderer::fromBytes(std::span<const std::uint8_t> bytes) {
    swf::LoadResult loaded = swf::loadMovie(bytes);
    if (!loaded.ok() || !loaded.movie) {
        return nullptr;
    }
    return std::unique_ptr<MovieRenderer>(new MovieRenderer(std::move(loaded.movie)));
}

std::unique_ptr<MovieRenderer> MovieRenderer::fromFile(const std::string& path) {
    // Opened without blocking and read only when it is a regular file: a named pipe or a
    // device in its place would wait for ever or never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    QFile file;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    const QByteArray data = file.read(kMaxFileBytes);
    if (data.isEmpty()) {
        return nullptr;
    }
    return fromBytes(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      static_cast<std::size_t>(data.size())));
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

void MovieRenderer::paint(QImage& target, RenderQuality quality, QColor letterbox,
                          std::optional<QColor> background) {
    target.fill(letterbox);
    const TwipsRect s = stage();
    if (s.width() <= 0 || s.height() <= 0) {
        return;
    }
    const StageFit fit = fitShowAll(s, target.width(), target.height());
    QPainter painter(&target);
    const QRectF stageRect(fit.offsetX, fit.offsetY, fit.stageWidthPx, fit.stageHeightPx);
    painter.setClipRect(stageRect);
    {
        if (budget_) {
            budget_->startFrame();
        }
        PainterBackend backend(resources_, painter, fit.toDevice(s), quality,
                               budget_ ? &*budget_ : nullptr);
        backend.setStageRect(stageRect);
        if (background) {
            // An explicit background replaces the movie's: paint it and let the frame's own
            // background fill nothing.
            painter.fillRect(stageRect, *background);
            backend.setStageRect(QRectF());
        }
        player_->render(backend);
    }
}

QImage MovieRenderer::renderFrame(QSize size, RenderQuality quality) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    paint(image, quality, toQColor(player_->background()));
    return image;
}

} // namespace mc
