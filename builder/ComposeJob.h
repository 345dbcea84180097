#pragma once

#include "ComposePhotos.h"

#include "composer/Composition.h"

#include <QImage>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace builder {

// Work run on its own thread so that the window never waits for it: it reports the share
// done and stops when asked. Whoever owns one keeps it as its last member, so that the work
// has stopped before the results it writes go.
class BackgroundTask {
  public:
    using Work = std::function<void(BackgroundTask&)>;
    explicit BackgroundTask(Work work);
    ~BackgroundTask(); // stopAndWait()
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    void cancel() { cancelled_ = true; }
    // Asks the work to stop and waits until it has.
    void stopAndWait();
    bool cancelled() const { return cancelled_; }
    void setProgress(double share) { progress_ = share; }
    double progress() const { return progress_; }
    bool finished() const { return finished_; }

  private:
    std::atomic<double> progress_{0.0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// Composes the movie and writes it whole at `target`. Cancelled, or failed, nothing is left
// at `target` (an earlier file there stays as it was).
class ComposeJob {
  public:
    enum class Outcome { Running, Written, Failed, Cancelled };

    ComposeJob(composer::Composition composition, std::filesystem::path target);

    void cancel() { task_.cancel(); }
    double progress() const { return task_.progress(); }
    bool finished() const { return task_.finished(); }
    // Read only once finished().
    Outcome outcome() const { return outcome_; }
    const std::string& message() const { return message_; }
    const std::vector<std::string>& notices() const { return notices_; }
    const std::filesystem::path& target() const { return target_; }

  private:
    void run(BackgroundTask& task);

    const composer::Composition composition_;
    const std::filesystem::path target_;
    Outcome outcome_ = Outcome::Running;
    std::string message_;
    std::vector<std::string> notices_;
    BackgroundTask task_;
};

// A few frames of a small composition, played by our own player: the style on the
// person's photos.
class StylePreviewJob {
  public:
    StylePreviewJob(composer::Composition small, int frames);

    void cancel() { task_.cancel(); }
    bool finished() const { return task_.finished(); }
    // Read only once finished(): the frames, or why there are none.
    const std::vector<QImage>& frames() const { return frames_; }
    const std::string& message() const { return message_; }

  private:
    void run(BackgroundTask& task);

    const composer::Composition composition_;
    const int wanted_;
    std::vector<QImage> frames_;
    std::string message_;
    BackgroundTask task_;
};

// Thumbnails of photos, read turned and cropped as they will be shown, one after another.
class ThumbnailJob {
  public:
    struct Thumbnail {
        std::string key;
        QImage image;        // null when the photo cannot be read
        std::string problem; // then: why, naming the file
    };

    ThumbnailJob(std::vector<std::pair<std::string, ComposePhoto>> photos, QSize size);

    // The thumbnails made since the last call.
    std::vector<Thumbnail> takeReady();
    void cancel() { task_.cancel(); }
    bool finished() const { return task_.finished(); }

  private:
    void run(BackgroundTask& task);

    const std::vector<std::pair<std::string, ComposePhoto>> photos_;
    const QSize size_;
    std::mutex mutex_;
    std::vector<Thumbnail> ready_;
    BackgroundTask task_;
};

} // namespace builder
