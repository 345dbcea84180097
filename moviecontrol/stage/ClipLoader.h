#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DisplayObject.h"
#include "avm1/Object.h"

namespace mc {

class StageScripts;

// Loads movies and pictures beside the first movie into clips and levels (loadMovie,
// loadMovieNum, MovieClipLoader). The file is read and parsed when asked; the clip's content
// changes at the start of the next frame, as players show it, and a MovieClipLoader's
// listeners hear onLoadStart, onLoadProgress, onLoadComplete, then onLoadInit once the new
// content's first frame ran (or onLoadError).
class ClipLoader {
  public:
    // Where a load goes: a clip, or a level when `level` is set.
    struct Target {
        std::weak_ptr<DisplayObject> clip;
        std::optional<int> level;
    };
    // How far a load into a clip got; bytes of the file.
    struct Progress {
        std::size_t loaded = 0;
        std::size_t total = 0;
    };

    explicit ClipLoader(StageScripts& stage) : stage_(stage) {}

    // Starts a load; `loader` (a MovieClipLoader, may be null) hears its events. False when
    // there is nothing to load (an empty address, no target).
    bool load(const Target& target, std::string_view url, avm1::Object* loader);
    // Forgets loads still waiting for the target (an unload came after them).
    void cancel(const Target& target);
    // The start and the end of each frame's script work.
    void beginFrame();
    void endFrame();
    // The bytes of what was loaded into `clip` (its movie's file), when something was.
    std::optional<Progress> progress(const DisplayObject& clip) const;
    void trace(avm1::Tracer& tracer) const;
    // Links what movie `library` imports to the movies beside the first that export it,
    // reading them as loads are read.
    void linkImports(std::uint16_t library);

    // Loads waiting at once: past this a load is refused.
    static constexpr std::size_t kMaxPending = 64;

  private:
    struct Pending {
        Target target;
        avm1::Object* loader = nullptr;
        std::optional<std::uint16_t> library; // unset: the load failed
        std::string error;                    // why, for onLoadError
        std::size_t bytes = 0;
    };
    struct Initialised {
        std::weak_ptr<DisplayObject> clip;
        avm1::Object* loader = nullptr;
    };

    // The movie or picture at `url` in the library, read and linked when new.
    std::optional<std::uint16_t> readMovie(const std::string& url, std::size_t& bytes,
                                           std::string& error);
    // The same without linking its imports; `added` says whether it was read now.
    std::optional<std::uint16_t> readFile(const std::string& url, std::size_t& bytes,
                                          std::string& error, bool& added);
    DisplayObject* resolve(const Target& target);
    // Whether the movie in `library` may play at the target: movies of ActionScript 1/2
    // cannot load ActionScript 3 ones, other than in place of the first movie.
    bool accepts(const Target& target, std::uint16_t library) const;
    void notify(avm1::Object* loader, const char* event, std::vector<avm1::Value> args);

    StageScripts& stage_;
    std::vector<Pending> pending_;
    std::vector<Initialised> initialised_;
};

} // namespace mc
