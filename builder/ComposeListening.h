#pragma once

#include "ComposeJob.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

namespace audio {
class Mixer;
}

namespace builder {

// The chosen song played for the person to listen to, through the sound device the movies
// use: its start, as it will open the movie. Getting it ready runs off the window's thread;
// the object going stops the sound.
class ComposeListening {
  public:
    enum class State { Preparing, Playing, Ended, Failed };
    // How much of the song is played at most.
    static constexpr double kListenSeconds = 90.0;

    explicit ComposeListening(std::filesystem::path song);
    ~ComposeListening();
    ComposeListening(const ComposeListening&) = delete;
    ComposeListening& operator=(const ComposeListening&) = delete;

    State state() const;
    // Why the song cannot be played, naming the file; read once state() is Failed.
    const std::string& message() const { return message_; }

  private:
    void prepare(BackgroundTask& task);

    struct Device;
    const std::filesystem::path song_;
    std::unique_ptr<Device> device_;
    std::string message_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> started_{false};
    BackgroundTask task_;
};

} // namespace builder
