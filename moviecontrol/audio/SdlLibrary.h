#pragma once
// SDL's audio entry points, looked up when the first movie with sound asks for the device.
// Linked instead, SDL and the thirty-odd libraries it needs (sound servers, Wayland, X
// extensions) would load with every card before its first frame, sound or not.

#include <SDL_audio.h>

#include <optional>
#include <string>

namespace audio {

// The library the entry points come from, by its shared-object name.
inline constexpr const char* kSdlLibrary = VELMORA_SDL_LIBRARY;

struct SdlAudioApi {
    int (*initSubSystem)(Uint32 flags) = nullptr;
    void (*quitSubSystem)(Uint32 flags) = nullptr;
    const char* (*getError)() = nullptr;
    SDL_AudioDeviceID (*openAudioDevice)(const char* device, int isCapture,
                                         const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
                                         int allowedChanges) = nullptr;
    void (*pauseAudioDevice)(SDL_AudioDeviceID device, int pauseOn) = nullptr;
    void (*closeAudioDevice)(SDL_AudioDeviceID device) = nullptr;
};

// The entry points of `library`, or nothing with the reason in `why`. The library stays loaded
// until the program ends: SDL's own threads may still run its code while the program ends.
std::optional<SdlAudioApi> loadSdlAudio(const char* library, std::string& why);

// The entry points of kSdlLibrary, loaded on the first call and kept until the program ends;
// nullptr when the library or one of them is missing, with the reason in `why`. Callers serialise
// calls.
const SdlAudioApi* sdlAudio(std::string& why);

} // namespace audio
