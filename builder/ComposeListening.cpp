#include "ComposeListening.h"

#include "Mp3Decoder.h"
#include "SdlOutput.h"
#include "composer/ComposeError.h"
#include "composer/MusicPreparation.h"

#include <algorithm>
#include <span>

namespace builder {

namespace {

// Which of the mixer's streams is the song: movies played in this process use their clips'
// serials, which never come near this.
constexpr std::uint64_t kListeningStream = ~std::uint64_t{0} - 7;

// The prepared MP3 bytes, decoded a piece at a time as the device asks.
class Mp3Source : public audio::StreamSource {
  public:
    explicit Mp3Source(std::vector<std::uint8_t> mp3, std::uint32_t rate)
        : mp3_(std::move(mp3)), rate_(rate) {}

    bool pull(std::vector<std::int16_t>& out) override {
        constexpr std::size_t kPiece = 4096;
        while (at_ < mp3_.size()) {
            const std::size_t n = std::min(kPiece, mp3_.size() - at_);
            const std::span<const std::uint8_t> piece(mp3_.data() + at_, n);
            at_ += n;
            if (decoder_.decode(piece, 1 << 16, out) > 0) {
                return true;
            }
        }
        return false;
    }
    std::uint32_t rate() const override { return decoder_.rate() != 0 ? decoder_.rate() : rate_; }
    unsigned channels() const override { return 2; }

  private:
    std::vector<std::uint8_t> mp3_;
    std::size_t at_ = 0;
    std::uint32_t rate_;
    audio::Mp3Decoder decoder_{2};
};

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

} // namespace

struct ComposeListening::Device {
    std::unique_ptr<audio::SdlOutput::Claim> claim = audio::SdlOutput::claim();
};

ComposeListening::ComposeListening(std::filesystem::path song)
    : song_(std::move(song)), device_(std::make_unique<Device>()),
      task_([this](BackgroundTask& task) { prepare(task); }) {}

ComposeListening::~ComposeListening() {
    // The song may be about to start: it has, or never will, once the work is over.
    task_.stopAndWait();
    device_->claim->mixer().stopStream(kListeningStream);
}

void ComposeListening::prepare(BackgroundTask& task) {
    try {
        const composer::SongFacts facts = composer::inspectSong(song_);
        const double seconds = std::min(facts.seconds, kListenSeconds);
        const bool whole = facts.seconds <= kListenSeconds;
        composer::PreparedMusic music = composer::prepareMusic(
            song_, 0.0, seconds, 0.0, whole ? 0.0 : 2.0, facts.mp3Passable && whole);
        if (task.cancelled()) {
            return;
        }
        const std::uint32_t rate =
            music.frames.empty() ? composer::kOutputRate : music.frames.front().sampleRate;
        device_->claim->mixer().startStream(
            kListeningStream, std::make_unique<Mp3Source>(std::move(music.mp3), rate));
        started_ = true;
    } catch (const composer::ComposeError& error) {
        message_ = error.what();
        failed_ = true;
    } catch (const std::bad_alloc&) {
        message_ = "内存不够，无法试听 " + utf8(song_) + "。";
        failed_ = true;
    }
}

ComposeListening::State ComposeListening::state() const {
    if (failed_) {
        return State::Failed;
    }
    if (!started_) {
        return task_.finished() ? State::Ended : State::Preparing;
    }
    return device_->claim->mixer().streamPlaying(kListeningStream) ? State::Playing : State::Ended;
}

} // namespace builder
