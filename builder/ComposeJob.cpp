#include "ComposeJob.h"

#include "MovieView.h"
#include "composer/ComposeError.h"
#include "composer/MovieComposer.h"
#include "composer/PhotoDecoding.h"

#include <algorithm>
#include <new>
#include <utility>

namespace builder {

namespace {

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

} // namespace

BackgroundTask::BackgroundTask(Work work)
    : thread_([this, work = std::move(work)] {
          work(*this);
          finished_ = true;
      }) {}

BackgroundTask::~BackgroundTask() {
    stopAndWait();
}

void BackgroundTask::stopAndWait() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

ComposeJob::ComposeJob(composer::Composition composition, std::filesystem::path target)
    : composition_(std::move(composition)), target_(std::move(target)),
      task_([this](BackgroundTask& task) { run(task); }) {}

void ComposeJob::run(BackgroundTask& task) {
    try {
        const composer::ComposedMovie movie =
            composer::composeMovie(composition_, [&task](double share) {
                // The last share is the writing.
                task.setProgress(0.95 * share);
                return !task.cancelled();
            });
        if (task.cancelled()) {
            outcome_ = Outcome::Cancelled;
            return;
        }
        composer::writeFileWhole(target_, movie.swf);
        notices_ = movie.notices;
        task.setProgress(1.0);
        outcome_ = Outcome::Written;
    } catch (const composer::ComposeCancelled&) {
        outcome_ = Outcome::Cancelled;
    } catch (const composer::ComposeError& error) {
        message_ = error.what();
        outcome_ = Outcome::Failed;
    } catch (const std::bad_alloc&) {
        message_ =
            "内存不够，影片 " + utf8(target_) + " 没有做成。请少用一些照片，或关掉别的程序再试。";
        outcome_ = Outcome::Failed;
    }
}

StylePreviewJob::StylePreviewJob(composer::Composition small, int frames)
    : composition_(std::move(small)), wanted_(std::max(1, frames)),
      task_([this](BackgroundTask& task) { run(task); }) {}

void StylePreviewJob::run(BackgroundTask& task) {
    try {
        const composer::ComposedMovie movie =
            composer::composeMovie(composition_, [&task](double) { return !task.cancelled(); });
        mc::PlaybackSetup setup;
        setup.pace = mc::Pace::FrameSteps;
        const std::unique_ptr<mc::MovieView> view =
            mc::MovieView::fromBytes(movie.swf, std::move(setup));
        if (!view) {
            message_ = "预览做不出来。";
            return;
        }
        const int total = static_cast<int>(view->player().frameCount());
        const QSize size = view->stageSizePixels();
        // Frames spread over the movie, past the first one (the stage before the photos).
        int shown = 1;
        for (int k = 1; k <= wanted_ && !task.cancelled(); ++k) {
            const int frame = std::max(1, total * k / (wanted_ + 1));
            for (; shown < frame; ++shown) {
                view->playback().stepFrame();
            }
            frames_.push_back(view->renderFrame(size, mc::RenderQuality::High));
        }
    } catch (const composer::ComposeCancelled&) {
        frames_.clear();
    } catch (const composer::ComposeError& error) {
        message_ = error.what();
        frames_.clear();
    } catch (const std::bad_alloc&) {
        message_ = "内存不够，预览做不出来。";
        frames_.clear();
    }
}

ThumbnailJob::ThumbnailJob(std::vector<std::pair<std::string, ComposePhoto>> photos, QSize size)
    : photos_(std::move(photos)), size_(size), task_([this](BackgroundTask& task) { run(task); }) {}

std::vector<ThumbnailJob::Thumbnail> ThumbnailJob::takeReady() {
    const std::lock_guard lock(mutex_);
    return std::exchange(ready_, {});
}

void ThumbnailJob::run(BackgroundTask& task) {
    for (const auto& [key, photo] : photos_) {
        if (task.cancelled()) {
            return;
        }
        Thumbnail made{key, {}, {}};
        try {
            made.image =
                composer::decodePhoto(photo.file, photo.edit, size_, composer::PhotoFit::Fit, 1.0)
                    .scaled(size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } catch (const composer::ComposeError& error) {
            made.problem = error.what();
        } catch (const std::bad_alloc&) {
            made.problem = "内存不够，读不了照片 " + utf8(photo.file) + "。";
        }
        const std::lock_guard lock(mutex_);
        ready_.push_back(std::move(made));
    }
}

} // namespace builder
