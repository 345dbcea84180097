#include "SdlLibrary.h"

#include <SDL.h>

#include <dlfcn.h>
#include <type_traits>

namespace audio {
namespace {

template <typename Function> bool lookUp(void* library, const char* name, Function& slot) {
    void* symbol = ::dlsym(library, name);
    slot = reinterpret_cast<Function>(symbol);
    return symbol != nullptr;
}

// The lookup's result, the same for the whole run: a library that failed once is not tried
// again for each movie.
struct Loaded {
    std::optional<SdlAudioApi> api;
    std::string failure;
};

} // namespace

std::optional<SdlAudioApi> loadSdlAudio(const char* library, std::string& why) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* said = ::dlerror();
        why = said != nullptr ? said : library;
        return std::nullopt;
    }
    SdlAudioApi api;
    // Checked against SDL's own declarations, so that a changed signature fails the build.
    static_assert(std::is_same_v<decltype(api.initSubSystem), decltype(&SDL_InitSubSystem)>);
    static_assert(std::is_same_v<decltype(api.quitSubSystem), decltype(&SDL_QuitSubSystem)>);
    static_assert(std::is_same_v<decltype(api.getError), decltype(&SDL_GetError)>);
    static_assert(std::is_same_v<decltype(api.openAudioDevice), decltype(&SDL_OpenAudioDevice)>);
    static_assert(std::is_same_v<decltype(api.pauseAudioDevice), decltype(&SDL_PauseAudioDevice)>);
    static_assert(std::is_same_v<decltype(api.closeAudioDevice), decltype(&SDL_CloseAudioDevice)>);
    if (!lookUp(handle, "SDL_InitSubSystem", api.initSubSystem) ||
        !lookUp(handle, "SDL_QuitSubSystem", api.quitSubSystem) ||
        !lookUp(handle, "SDL_GetError", api.getError) ||
        !lookUp(handle, "SDL_OpenAudioDevice", api.openAudioDevice) ||
        !lookUp(handle, "SDL_PauseAudioDevice", api.pauseAudioDevice) ||
        !lookUp(handle, "SDL_CloseAudioDevice", api.closeAudioDevice)) {
        why = std::string(library) + " lacks SDL's audio functions";
        ::dlclose(handle);
        return std::nullopt;
    }
    return api;
}

const SdlAudioApi* sdlAudio(std::string& why) {
    static const Loaded loaded = [] {
        Loaded result;
        result.api = loadSdlAudio(kSdlLibrary, result.failure);
        return result;
    }();
    if (!loaded.api) {
        why = loaded.failure;
        return nullptr;
    }
    return &*loaded.api;
}

} // namespace audio
