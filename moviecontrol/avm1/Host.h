#pragma once
// What the machine asks of the stage that owns the display tree. The machine parses paths,
// runs the actions and keeps the language objects; everything that touches the display
// list, the timeline, the network, the clock or the log goes through this interface.
//
// A "clip" below is the script object of a display object: an Object of the stage's own
// class whose isDisplayObject() is true. Clip arguments are never null. Calls happen while a
// script runs, so a host that changes the display list must keep its objects valid until
// the script returns (removed clips may stay as unparented objects).

#include "avm1/Value.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace avm1 {

class Object;
class Tracer;
struct FilterFields;

// BitmapData.draw: a clip's picture or another bitmap painted into a bitmap.
struct BitmapDrawing {
    Object* clip = nullptr;                       // a display object's script object, or
    const pixels::BitmapPixels* bitmap = nullptr; // the pixels of a bitmap, or
    bool wholeStage = false;                      // all the stage shows, not its background
    // a, b, c, d, tx, ty from the source's pixels to the target's.
    std::array<double, 6> matrix{1, 0, 0, 1, 0, 0};
    pixels::ChannelTransform colors;
    Value blendMode; // a mode's name or number as the script gave it
    bool clipped = false;
    pixels::PixelRect clipRect; // when `clipped`: the target's pixels that may change
    bool smoothing = false;
};

// A limit the machine enforced; each kind is reported once per movie.
enum class LimitKind {
    TimeBudget,      // a frame's scripts ran past the time or instruction budget
    RecursionDepth,  // calls nested deeper than the bound (256)
    MemoryBudget,    // objects, string bytes or array lengths past the movie's budget
    MalformedScript, // bytecode that could not be decoded (truncated, bad jump)
};

struct UrlRequest {
    enum class Method : std::uint8_t { None, Get, Post };
    std::string url;
    // The window ("_blank", "_self"...) or, for loadMovie/loadVariables, the target path
    // or "_levelN".
    std::string target;
    Method method = Method::None;
    bool loadTarget = false;    // GetURL2: target names a clip (loadMovie into a clip)
    bool loadVariables = false; // GetURL2: load variables rather than a movie
    // The clip whose variables a GET/POST sends, and where loadVariables lands by default.
    Object* sourceClip = nullptr;
};

class Host {
  public:
    virtual ~Host() = default;

    // --- Display tree -------------------------------------------------------------------
    // The root clip of `_levelN`, or null when no movie is loaded at that level.
    virtual Object* level(int n) = 0;
    // `_root` as seen from `clip`: the root of the level it belongs to.
    virtual Object* root(Object* clip) = 0;
    // `_parent` of `clip`, or null for a level root.
    virtual Object* parent(Object* clip) = 0;
    // The child display object of `clip` with that instance name, or null. Names compare
    // without case when `caseSensitive` is false (movies up to version 6).
    virtual Object* child(Object* clip, std::string_view name, bool caseSensitive) = 0;
    // Dot form of the clip's path ("_level0.a.b") and slash form ("/a/b", "_level1/a").
    virtual std::string dotPath(Object* clip) = 0;
    virtual std::string slashPath(Object* clip) = 0;
    // True once the clip left the display list (its scripts may still be running).
    virtual bool removed(Object* /*clip*/) { return false; }
    // GetProperty: the clip's own property `name` (_x, _name...), never a child clip of that
    // name. False when the host has none; the machine then reads it as a member.
    virtual bool displayProperty(Object* /*clip*/, std::string_view /*name*/, Value& /*out*/) {
        return false;
    }

    // --- Timeline of a clip (frames count from 0) --------------------------------------
    virtual void gotoFrame(Object* clip, std::uint32_t frame, bool play) = 0;
    // False when the clip has no such label (nothing happens then).
    virtual bool gotoLabel(Object* clip, std::string_view label, bool play) = 0;
    virtual void play(Object* clip) = 0;
    virtual void stop(Object* clip) = 0;
    virtual void nextFrame(Object* clip) = 0;
    virtual void prevFrame(Object* clip) = 0;
    // 0-based index of the current frame, the number of frames loaded and in total.
    virtual std::uint32_t currentFrame(Object* clip) = 0;
    virtual std::uint32_t framesLoaded(Object* clip) = 0;
    virtual std::uint32_t totalFrames(Object* clip) = 0;
    // Frame index of a label, if the clip has it.
    virtual std::optional<std::uint32_t> frameOfLabel(Object* clip, std::string_view label) = 0;
    // The Call action: run the frame's actions of `clip` now, nested in the current
    // script (the host calls Machine::runBlock for each block of that frame).
    virtual void callFrame(Object* clip, std::uint32_t frame) = 0;

    // --- Clip management -----------------------------------------------------------------
    // duplicateMovieClip: copy `clip` into its parent as `name` at `depth`.
    virtual void cloneSprite(Object* clip, std::string_view name, int depth) = 0;
    virtual void removeSprite(Object* clip) = 0;
    // startDrag; `bounds` is left, top, right, bottom in the parent's pixels when given.
    struct DragBounds {
        double left, top, right, bottom;
    };
    virtual void startDrag(Object* clip, bool lockCenter, std::optional<DragBounds> bounds) = 0;
    virtual void stopDrag() = 0;

    // --- Outside world ------------------------------------------------------------------
    // getURL, loadMovie, loadVariables (GetURL and GetURL2). "FSCommand:" URLs never come
    // here: they go to fscommand.
    virtual void getUrl(const UrlRequest& request) = 0;
    virtual void fscommand(std::string_view command, std::string_view args) = 0;
    // One trace() line, UTF-8, without the line break.
    virtual void trace(std::string_view line) = 0;
    // getTimer(): milliseconds since the movie started, on the player's clock.
    virtual double timerMs() = 0;
    // Wall clock for Date, milliseconds since 1970-01-01 UTC.
    virtual double wallClockMs();
    // Local time zone offset from UTC in minutes at that instant (Date's local time).
    virtual double localOffsetMinutes(double utcMs);
    // The pixels of the library bitmap exported as `name` (BitmapData.loadBitmap), or none.
    virtual std::optional<pixels::BitmapPixels> libraryBitmap(std::string_view /*name*/) {
        return std::nullopt;
    }
    // BitmapData.draw; a host that cannot paint leaves the bitmap as it is.
    virtual void drawIntoBitmap(pixels::BitmapPixels& /*target*/,
                                const BitmapDrawing& /*drawing*/) {}
    // BitmapData.applyFilter: `filter` applied to a part of `source`, written to `target` at
    // the placement's point. False when the host cannot apply it.
    virtual bool filterIntoBitmap(pixels::BitmapPixels& /*target*/,
                                  const pixels::BitmapPixels& /*source*/, pixels::Placement /*at*/,
                                  const FilterFields& /*filter*/) {
        return false;
    }
    // BitmapData.generateFilterRect: the area `filter` reaches from `rect`; none when the
    // host cannot tell.
    virtual std::optional<pixels::PixelRect> filteredRect(pixels::PixelRect /*rect*/,
                                                          const FilterFields& /*filter*/) {
        return std::nullopt;
    }
    virtual void toggleQuality() {}
    virtual void stopSounds() {}

    // --- Limits and roots ----------------------------------------------------------------
    // A limit stopped a script (the movie plays on). Called once per kind per movie.
    virtual void reportLimit(LimitKind kind, std::string_view message) = 0;
    // Mark every object the stage keeps alive (all clips on the display list, their
    // handlers, pending loads...). Called at the start of each collection.
    virtual void traceRoots(Tracer& tracer) = 0;
};

} // namespace avm1
