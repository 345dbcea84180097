#include "SdlOutput.h"

#include <SDL.h>

#include <mutex>
#include <string>

#include "AudioLog.h"
#include "SdlLibrary.h"

namespace audio {

namespace {

struct Device {
    std::mutex mutex;
    int claims = 0;
    SDL_AudioDeviceID id = 0;
    bool subsystem = false;
    const SdlAudioApi* sdl = nullptr; // set while the subsystem is up
    std::unique_ptr<Mixer> mixer;
};

Device& device() {
    static Device d;
    return d;
}

void pull(void* user, Uint8* stream, int len) {
    auto* mixer = static_cast<Mixer*>(user);
    mixer->mix(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(len) / 4);
}

void open(Device& d) {
    d.mixer = std::make_unique<Mixer>(44100);
    std::string why;
    const SdlAudioApi* sdl = sdlAudio(why);
    if (sdl == nullptr) {
        logOnce("no sound library, movies play silent: " + why);
        return;
    }
    if (sdl->initSubSystem(SDL_INIT_AUDIO) != 0) {
        logOnce(std::string("no sound device, movies play silent: ") + sdl->getError());
        return;
    }
    d.sdl = sdl;
    d.subsystem = true;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024; // about 23 ms a pull: short enough for the picture to follow
    want.callback = pull;
    want.userdata = d.mixer.get();
    SDL_AudioSpec have{};
    d.id = sdl->openAudioDevice(nullptr, 0, &want, &have, 0);
    if (d.id == 0) {
        logOnce(std::string("no sound device, movies play silent: ") + sdl->getError());
        sdl->quitSubSystem(SDL_INIT_AUDIO);
        d.subsystem = false;
        d.sdl = nullptr;
        return;
    }
    sdl->pauseAudioDevice(d.id, 0);
}

void close(Device& d) {
    if (d.id != 0) {
        d.sdl->closeAudioDevice(d.id); // waits for the callback to return
        d.id = 0;
    }
    if (d.subsystem) {
        d.sdl->quitSubSystem(SDL_INIT_AUDIO);
        d.subsystem = false;
        d.sdl = nullptr;
    }
    d.mixer.reset();
}

} // namespace

std::unique_ptr<SdlOutput::Claim> SdlOutput::claim() {
    Device& d = device();
    std::lock_guard lock(d.mutex);
    if (d.claims++ == 0) {
        open(d);
    }
    return std::unique_ptr<Claim>(new Claim());
}

SdlOutput::Claim::~Claim() {
    Device& d = device();
    std::lock_guard lock(d.mutex);
    if (--d.claims == 0) {
        close(d);
    }
}

Mixer& SdlOutput::Claim::mixer() {
    return *device().mixer;
}

bool SdlOutput::Claim::audible() const {
    return device().id != 0;
}

bool SdlOutput::deviceOpen() {
    Device& d = device();
    std::lock_guard lock(d.mutex);
    return d.id != 0;
}

} // namespace audio
