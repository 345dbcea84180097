// MovieClip.prototype: timeline control, clips made at run time, depths, geometry queries
// and the drawing methods.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "Drawing.h"
#include "DrawingStyles.h"
#include "HitTest.h"
#include "ScriptPixels.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "SurfaceProperties.h"
#include "TextFieldState.h"
#include "avm1/BitmapData.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"
#include "avm1/Interpreter.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// A frame named in text: a decimal literal that is the whole text, with an optional sign
// and exponent ("4", "+4", "-1", "1e1", "Infinity"); no spaces, no hexadecimal.
std::optional<double> decimalNumber(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    double out = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, out);
    if (error != std::errc() || at != end) {
        return std::nullopt;
    }
    return out;
}

// Depths scripts pass: read as 32-bit integers, wrapping, so that what is no number is
// depth 0; only those between the lowest script depth and the highest are places.
std::optional<std::int32_t> depthArg(avm1::Machine& m, const Value& v) {
    const std::int32_t d = avm1::toInt32(m.toNumber(v));
    if (d < kMinScriptDepth || d > kMaxScriptDepth) {
        return std::nullopt;
    }
    return d;
}

class Methods {
  public:
    explicit Methods(StageScripts& stage) : stage_(stage), m_(stage.machine()) {}

    void install(avm1::Object* proto) {
        def(proto, "play", [this](CallArgs& c) {
            if (auto* o = self(c)) {
                stage_.player().clips().setClipPlaying(*o, true);
            }
            return Value();
        });
        def(proto, "stop", [this](CallArgs& c) {
            if (auto* o = self(c)) {
                stage_.player().clips().setClipPlaying(*o, false);
            }
            return Value();
        });
        def(proto, "nextFrame", [this](CallArgs& c) {
            if (auto* o = self(c)) {
                stage_.player().clips().nextClipFrame(*o);
            }
            return Value();
        });
        def(proto, "prevFrame", [this](CallArgs& c) {
            if (auto* o = self(c)) {
                stage_.player().clips().previousClipFrame(*o);
            }
            return Value();
        });
        def(proto, "gotoAndPlay", [this](CallArgs& c) { return go(c, true); });
        def(proto, "gotoAndStop", [this](CallArgs& c) { return go(c, false); });
        def(proto, "attachMovie", [this](CallArgs& c) { return attachMovie(c); });
        def(proto, "duplicateMovieClip", [this](CallArgs& c) { return duplicate(c); });
        // Any number is a depth here, as a 32-bit integer.
        def(proto, "createEmptyMovieClip", [this](CallArgs& c) {
            auto* o = self(c);
            if (o == nullptr || c.count() < 2) {
                return Value();
            }
            const avm1::Str name = m_.toString(c.arg(0)); // the name converts before the depth
            const std::int32_t depth = avm1::toInt32(m_.toNumber(c.arg(1)));
            auto made = stage_.player().edits().createEmptyClip(*o, name.view(), depth);
            if (!made) {
                return Value();
            }
            // The new clip is constructed before the call returns: its construct event's
            // method runs now, with its name and depth set and no frame entered yet.
            stage_.callHandler(*made, "onConstruct");
            return objectValue(*made);
        });
        def(proto, "createTextField", [this](CallArgs& c) { return createTextField(c); });
        def(proto, "removeMovieClip", [this](CallArgs& c) {
            if (auto* o = self(c)) {
                stage_.removeByScript(*o);
            }
            return Value();
        });
        def(proto, "swapDepths", [this](CallArgs& c) {
            auto* o = self(c);
            if (o == nullptr || c.count() < 1) {
                return Value();
            }
            // A level's depth is its number less 16384: a level swaps with levels alone.
            const auto swap = [&](std::int32_t depth) {
                if (o->parent == nullptr) {
                    stage_.player().levels().swapLevel(*o, depth);
                } else {
                    stage_.player().edits().swapDepths(*o, depth);
                }
            };
            if (DisplayObject* other = stage_.displayOf(c.arg(0))) {
                // Only siblings swap; a clip of another parent is refused.
                if (other->parent == o->parent) {
                    swap(other->depth);
                }
            } else if (!c.arg(0).isNumber()) {
                // Anything else names a target, and names none here.
            } else if (const auto depth = depthArg(m_, c.arg(0));
                       depth && *depth < kMaxScriptDepth) {
                // The topmost script depth takes clips made there, never one moved there.
                swap(*depth);
            }
            return Value();
        });
        def(proto, "getDepth", [this](CallArgs& c) {
            auto* o = self(c);
            return o != nullptr ? Value(static_cast<double>(o->depth)) : Value();
        });
        // The depth finders came with Flash Player 7: movies of earlier versions do not see
        // them.
        const std::uint32_t from7 = avm1::attr::DontEnum | avm1::attr::Only7;
        m_.defineMethod(
            proto, "getNextHighestDepth",
            [this](CallArgs& c) {
                auto* o = self(c);
                return o != nullptr ? Value(static_cast<double>(
                                          stage_.player().edits().nextHighestDepth(*o)))
                                    : Value();
            },
            from7);
        m_.defineMethod(
            proto, "getInstanceAtDepth",
            [this](CallArgs& c) {
                auto* o = self(c);
                const auto depth = depthArg(m_, c.arg(0));
                if (o == nullptr || !depth) {
                    return Value();
                }
                auto found = stage_.player().childAtDepth(*o, *depth);
                return found ? objectValue(*found) : Value();
            },
            from7);
        def(proto, "setMask", [this](CallArgs& c) {
            auto* o = self(c);
            // Without an argument there is no answer at all; a path that leads nowhere
            // answers false. Both leave the mask there is.
            if (o == nullptr || c.count() == 0) {
                return Value();
            }
            const auto mask = maskArgument(stage_, c.arg(0));
            if (mask) {
                stage_.player().edits().setMask(*o, *mask);
            }
            return Value(mask.has_value());
        });
        def(proto, "getBounds", [this](CallArgs& c) { return bounds(c, true); });
        // The same box without the widths of lines.
        def(proto, "getRect", [this](CallArgs& c) { return bounds(c, false); });
        def(proto, "localToGlobal", [this](CallArgs& c) { return mapPoint(c, true); });
        def(proto, "globalToLocal", [this](CallArgs& c) { return mapPoint(c, false); });
        def(proto, "hitTest", [this](CallArgs& c) { return hitTest(c); });
        def(proto, "getBytesLoaded", [this](CallArgs& c) { return bytes(c); });
        def(proto, "getBytesTotal", [this](CallArgs& c) { return bytes(c); });
        // Borrowed by an object that is no display object, it answers -1.
        def(proto, "getSWFVersion", [this](CallArgs& c) {
            return Value(self(c) != nullptr ? static_cast<double>(stage_.version()) : -1.0);
        });
        // The send method a loading call's argument names: 1 for "GET", 2 for "POST" (in any
        // case), 0 for anything else.
        // The argument's own toLowerCase answers, so that a number or an object with that
        // method names a method too.
        def(proto, "meth", [this](CallArgs& c) {
            avm1::Object* o =
                c.count() > 0 && !c.arg(0).isNullish() ? m_.toObject(c.arg(0)) : nullptr;
            if (o == nullptr) {
                return Value(0);
            }
            const std::string method = m_.toString(m_.callMethod(o, "toLowerCase", {})).str();
            return Value(method == "get" ? 1 : method == "post" ? 2 : 0);
        });
        def(proto, "loadMovie", [this](CallArgs& c) { return load(c, false); });
        def(proto, "loadVariables", [this](CallArgs& c) { return load(c, true); });
        def(proto, "unloadMovie", [this](CallArgs& c) {
            if (auto* o = self(c); o != nullptr && o->clip) {
                if (const auto target = stage_.loadTarget(c.thisValue, nullptr)) {
                    stage_.unload(*target);
                }
            }
            return Value();
        });
        def(proto, "getURL", [this](CallArgs& c) {
            askMethod(c, 2);
            avm1::UrlRequest r;
            r.url = m_.toString(c.arg(0)).str();
            r.target = c.count() > 1 ? m_.toString(c.arg(1)).str() : std::string();
            stage_.host().getUrl(r);
            return Value();
        });
        def(proto, "startDrag", [this](CallArgs& c) {
            std::optional<avm1::Host::DragBounds> bounds;
            if (c.count() >= 5) {
                bounds = avm1::Host::DragBounds{m_.toNumber(c.arg(1)), m_.toNumber(c.arg(2)),
                                                m_.toNumber(c.arg(3)), m_.toNumber(c.arg(4))};
            }
            if (avm1::Object* self = c.thisObject(); self != nullptr && self->isDisplayObject()) {
                stage_.host().startDrag(self, m_.toBoolean(c.arg(0)), bounds);
            }
            return Value();
        });
        def(proto, "stopDrag", [this](CallArgs&) {
            stage_.host().stopDrag();
            return Value();
        });
        installDrawing(proto);
        installLaterMembers(proto);
        hideFromEarlierMovies(proto);
    }

  private:
    // Members later players brought, present on the prototype for every movie and seen by
    // those of the version that brought them. A clip answers the properties itself; borrowed
    // by anything else they read nothing and take nothing.
    void installLaterMembers(avm1::Object* proto) {
        using namespace avm1::attr;
        const struct {
            std::string_view name;
            std::uint32_t since;
        } properties[] = {{"tabIndex", Only6},       {"_lockroot", 0},
                          {"cacheAsBitmap", Only8},  {"opaqueBackground", Only8},
                          {"scrollRect", Only8},     {"filters", Only8},
                          {"transform", Only8},      {"blendMode", Only8},
                          {"forceSmoothing", Only8}, {"scale9Grid", Only8}};
        for (const auto& p : properties) {
            avm1::defineAccessor(
                m_, proto, p.name, [](CallArgs&) { return Value(); },
                [](CallArgs&) { return Value(); }, DontEnum | DontDelete | p.since);
        }
        // Sound and video a clip plays from a stream: none reaches a card's movie.
        const auto nothing = [](CallArgs&) { return Value(); };
        m_.defineMethod(proto, "attachAudio", nothing, DontEnum | DontDelete | Only6);
        m_.defineMethod(proto, "attachVideo", nothing, DontEnum | DontDelete | Only6);
        m_.defineMethod(proto, "beginMeshFill", nothing, DontEnum | DontDelete | Only8);
        m_.defineMethod(
            proto, "beginBitmapFill", [this](CallArgs& c) { return beginBitmapFill(c); },
            DontEnum | DontDelete | Only8);
    }

    // A fill with a script's bitmap, painted with the pixels the bitmap holds when a frame is
    // drawn (ScriptPixels follows it, and shows nothing once it is disposed of).
    Value beginBitmapFill(CallArgs& c) {
        Drawing* d = drawingOf(c);
        if (d == nullptr) {
            return Value();
        }
        // Anything but a bitmap ends the fill, as a fill of nothing.
        std::shared_ptr<pixels::BitmapPixels> pixels = avm1::bitmapDataPixels(c.arg(0));
        if (!pixels) {
            d->endFill();
            return Value();
        }
        d->beginBitmapFill(std::make_shared<ScriptPixels>(pixels), bitmapFillArgs(m_, c));
        return Value();
    }

    // Methods that came with Flash Player 6 and 8 (the ActionScript reference's availability
    // of each): a movie of an earlier version does not see them, though they are there.
    // createTextField stays: version 5 movies make text fields with it.
    void hideFromEarlierMovies(avm1::Object* proto) {
        constexpr std::string_view From6[] = {
            "createEmptyMovieClip",
            "getDepth",
            "setMask",
            "beginFill",
            "beginGradientFill",
            "lineStyle",
            "moveTo",
            "lineTo",
            "curveTo",
            "endFill",
            "clear",
        };
        for (std::string_view name : From6) {
            if (avm1::Property* p = proto->properties().find(m_.str(name), true)) {
                p->attributes |= avm1::attr::Only6;
            }
        }
        if (avm1::Property* p = proto->properties().find(m_.str("getRect"), true)) {
            p->attributes |= avm1::attr::Only8;
        }
    }

    void def(avm1::Object* proto, std::string_view name, avm1::NativeFn fn) {
        m_.defineMethod(proto, name, std::move(fn), avm1::attr::DontEnum);
    }

    DisplayObject* self(CallArgs& c) { return stage_.displayOf(c.thisValue); }
    DisplayObject* selfClip(CallArgs& c) {
        DisplayObject* o = self(c);
        return o != nullptr && o->clip ? o : nullptr;
    }

    Value objectValue(DisplayObject& o) {
        return Value(static_cast<avm1::Object*>(stage_.objectOf(o)));
    }

    Value go(CallArgs& c, bool play) {
        DisplayObject* o = selfClip(c);
        if (o == nullptr || c.count() < 1) {
            return Value();
        }
        if (const auto target = frameTarget(c, *o)) {
            // Frames before the first are ignored, past the last go to the last; the index
            // wraps as a 32-bit integer (frame -2147483648 is past the last).
            const std::int32_t index = avm1::toInt32(static_cast<double>(target->second) - 1);
            if (index >= 0) {
                stage_.player().clips().gotoClipFrame(*target->first,
                                                      static_cast<std::uint32_t>(index), play);
            }
        }
        return Value();
    }

    // The clip and 1-based frame a goto argument names. A whole number is a frame of this
    // clip, wrapping as a 32-bit integer; anything else is read as text: "path:frame" or
    // "path.frame" names a frame of the clip at that path, and the frame is a decimal
    // number when it reads as one whole ("4", "+4", "1e1"; not " 4" or "0x4"), else a label.
    std::optional<std::pair<DisplayObject*, std::int32_t>> frameTarget(CallArgs& c,
                                                                       DisplayObject& self) {
        const Value& frame = c.arg(0);
        if (frame.isNumber() && std::isfinite(frame.asNumber()) &&
            frame.asNumber() == std::trunc(frame.asNumber())) {
            return std::pair{&self, avm1::toInt32(frame.asNumber())};
        }
        const std::string text = m_.toString(frame).str();
        DisplayObject* clip = &self;
        std::string_view name = text;
        if (const std::size_t cut = text.find_last_of(":."); cut != std::string::npos) {
            const std::string_view path = std::string_view(text).substr(0, cut);
            name = std::string_view(text).substr(cut + 1);
            // The path is read from this clip, then from the script's own timeline.
            auto& activations = m_.state().activations;
            avm1::Object* found = nullptr;
            if (!path.empty()) {
                found =
                    avm1::resolveTargetPath(m_, activations.empty() ? nullptr : activations.back(),
                                            stage_.objectOf(self), path);
                if (found == nullptr) {
                    found = m_.resolveTarget(path);
                }
            }
            clip = found != nullptr ? stage_.displayOf(found) : nullptr;
            if (clip == nullptr || !clip->clip) {
                return std::nullopt;
            }
        }
        if (const auto number = decimalNumber(name)) {
            return std::pair{clip, avm1::toInt32(*number)};
        }
        const std::int64_t label =
            stage_.player().clips().frameOfLabel(*clip->clip, std::string(name));
        if (label < 0) {
            return std::nullopt;
        }
        return std::pair{clip,
                         static_cast<std::int32_t>(std::min<std::int64_t>(label + 1, INT32_MAX))};
    }

    void copyInit(const Value& init) {
        if (avm1::Object* i = init.asObject()) {
            stage_.setInitObject(i);
        }
    }

    Value attachMovie(CallArgs& c) {
        DisplayObject* o = selfClip(c);
        const auto depth = depthArg(m_, c.arg(2));
        if (o == nullptr || c.count() < 3 || !depth) {
            return Value();
        }
        copyInit(c.arg(3));
        auto made = stage_.player().edits().attachMovie(*o, m_.toString(c.arg(0)).view(),
                                                        m_.toString(c.arg(1)).view(), *depth);
        stage_.setInitObject(nullptr);
        return made ? objectValue(*made) : Value();
    }

    Value duplicate(CallArgs& c) {
        // Borrowed by a button, it copies the button.
        DisplayObject* o = self(c);
        if (o != nullptr && !o->clip && o->kind != CharacterKind::Button) {
            o = nullptr;
        }
        if (o == nullptr || c.count() < 2) {
            return Value();
        }
        const avm1::Str name = m_.toString(c.arg(0)); // the name converts before the depth
        const auto depth = depthArg(m_, c.arg(1));
        if (!depth) {
            return Value();
        }
        // A button's copy takes no init object.
        if (o->kind != CharacterKind::Button) {
            copyInit(c.arg(2));
        }
        auto made = stage_.player().edits().duplicateClip(*o, name.view(), *depth);
        // A clip without a timeline of its own is not constructed: its copy takes the init
        // object here.
        if (avm1::Object* init = stage_.pendingInitObject(); made && init != nullptr) {
            stage_.setInitObject(nullptr);
            avm1::Object* copy = stage_.objectOf(*made);
            for (const avm1::Str& key : m_.enumerate(init)) {
                m_.set(copy, key, m_.get(init, key));
            }
        }
        stage_.setInitObject(nullptr);
        return made ? objectValue(*made) : Value();
    }

    // The field's place and size are whole pixels (each read as a 32-bit integer, the
    // fraction dropped); like an empty clip, it takes any depth, a number past the 32-bit
    // range holding at its end.
    Value createTextField(CallArgs& c) {
        DisplayObject* o = selfClip(c);
        if (o == nullptr || c.count() < 6) {
            return Value();
        }
        const double d = m_.toNumber(c.arg(1));
        const std::int32_t depth =
            std::isnan(d) ? 0
                          : static_cast<std::int32_t>(std::clamp(
                                std::trunc(d), double{std::numeric_limits<std::int32_t>::min()},
                                double{std::numeric_limits<std::int32_t>::max()}));
        // Held where the field's twips stay within what its bounds can hold.
        constexpr double kMaxTwips = 1 << 29;
        const auto px = [&](std::size_t i) {
            const double t = static_cast<double>(avm1::toInt32(m_.toNumber(c.arg(i)))) * 20.0;
            return std::clamp(t, -kMaxTwips, kMaxTwips);
        };
        Bounds box;
        box.valid = true;
        box.xMin = px(2);
        box.yMin = px(3);
        box.xMax = box.xMin + std::max(0.0, px(4));
        box.yMax = box.yMin + std::max(0.0, px(5));
        const avm1::Str name = m_.toString(c.arg(0)); // the name converts last
        auto made = stage_.player().edits().createTextField(*o, name.view(), depth, box);
        // From version 8 on the new field is returned; before, nothing is.
        return made && stage_.version() >= 8 ? objectValue(*made) : Value();
    }

    Value bounds(CallArgs& c, bool strokes) {
        DisplayObject* o = self(c);
        if (o == nullptr) {
            return Value();
        }
        TimelinePlayer& player = stage_.player();
        Transform toSpace{};
        bool ownSpace = true;
        if (c.count() > 0) {
            // The space is a clip, or the target path of one.
            DisplayObject* space = stage_.displayOf(c.arg(0));
            if (space == nullptr && c.arg(0).isString()) {
                space = stage_.displayOf(m_.resolveTarget(c.arg(0).asString().view()));
            }
            if (space == nullptr) {
                return Value();
            }
            ownSpace = space == o;
            if (!ownSpace) {
                toSpace = inverse(player.geometry().globalMatrix(*space)) *
                          player.geometry().frameMatrix(*o);
            }
        }
        Bounds b = strokes ? player.geometry().scriptBoundsOf(*o, toSpace)
                           : player.geometry().scriptEdgesOf(*o, toSpace);
        avm1::Object* r = m_.newObject();
        // An empty clip stands at the largest twip coordinate, 2^27 - 1; mapped into another
        // space, players from version 8 on report it rounded through single precision, 2^27.
        const double big = ownSpace || m_.version() < 8 ? 6710886.35 : 6710886.4;
        m_.set(r, "xMin", Value(b.empty() ? big : b.xMin / 20.0));
        m_.set(r, "xMax", Value(b.empty() ? big : b.xMax / 20.0));
        m_.set(r, "yMin", Value(b.empty() ? big : b.yMin / 20.0));
        m_.set(r, "yMax", Value(b.empty() ? big : b.yMax / 20.0));
        return Value(r);
    }

    Value mapPoint(CallArgs& c, bool toGlobal) {
        DisplayObject* o = self(c);
        avm1::Object* point = c.arg(0).asObject();
        if (o == nullptr || point == nullptr) {
            return Value();
        }
        const Value xv = m_.get(point, "x");
        const Value yv = m_.get(point, "y");
        if (!xv.isNumber() || !yv.isNumber()) {
            return Value();
        }
        Transform t = stage_.player().geometry().globalMatrix(*o);
        if (!toGlobal) {
            t = inverse(t);
        }
        const double x = xv.asNumber() * 20.0;
        const double y = yv.asNumber() * 20.0;
        m_.set(point, "x", Value(std::round(t.mapX(x, y)) / 20.0));
        m_.set(point, "y", Value(std::round(t.mapY(x, y)) / 20.0));
        return Value();
    }

    Value hitTest(CallArgs& c) {
        DisplayObject* o = self(c);
        if (o == nullptr) {
            return Value(false);
        }
        TimelinePlayer& player = stage_.player();
        // One clip, or a point with or without the shape flag; any other count is no test.
        if (c.count() == 0 || c.count() > 3) {
            return Value();
        }
        if (c.count() >= 2) {
            const Bounds mine = player.geometry().boundsOf(*o, player.geometry().frameMatrix(*o));
            // The point is in the root's coordinates, which the root's own transform moves.
            const double rx = m_.toNumber(c.arg(0)) * 20.0;
            const double ry = m_.toNumber(c.arg(1)) * 20.0;
            if (!std::isfinite(rx) || !std::isfinite(ry) || mine.empty()) {
                return Value(false);
            }
            const Transform root = player.geometry().globalMatrix(player.rootObject());
            const double x = root.mapX(rx, ry);
            const double y = root.mapY(rx, ry);
            // With the shape flag, what the clip draws must cover the point, not just its box;
            // hidden or not, it is drawn for this question.
            if (c.count() >= 3 && m_.toBoolean(c.arg(2))) {
                HitTester tester(stage_.movie(), player);
                tester.includeHidden = true;
                return Value(tester.hits(*o, x, y));
            }
            return Value(x >= mine.xMin && x <= mine.xMax && y >= mine.yMin && y <= mine.yMax);
        }
        // The other clip, or its path from this one (an empty path names none).
        DisplayObject* other = stage_.displayOf(c.arg(0));
        if (other == nullptr && !c.arg(0).isNullish()) {
            const avm1::Str path = m_.toString(c.arg(0));
            if (!path.empty()) {
                other = stage_.displayOf(
                    avm1::resolveTargetPath(m_, nullptr, c.thisValue.asObject(), path.view()));
            }
        }
        const Bounds ours = player.geometry().scriptBoundsOf(*o, player.geometry().frameMatrix(*o));
        if (other == nullptr || ours.empty()) {
            return Value(false);
        }
        const Bounds theirs =
            player.geometry().scriptBoundsOf(*other, player.geometry().frameMatrix(*other));
        return Value(!theirs.empty() && ours.xMin <= theirs.xMax && theirs.xMin <= ours.xMax &&
                     ours.yMin <= theirs.yMax && theirs.yMin <= ours.yMax);
    }

    Value bytes(CallArgs& c) {
        DisplayObject* o = self(c);
        if (o == nullptr) {
            return Value();
        }
        // A loaded movie counts its file, a sprite the bytes of its own tags, a clip made
        // empty by a script none; the root its file.
        if (const auto loaded = stage_.loader().progress(*o)) {
            return Value(static_cast<double>(loaded->total));
        }
        if (o->parent != nullptr) {
            const bool tags = o->clip && o->clip->timeline != nullptr;
            return Value(tags ? static_cast<double>(o->clip->timeline->byteLength) : 0.0);
        }
        return Value(static_cast<double>(stage_.movie().header.declaredLength));
    }

    // The loading methods ask the clip's meth (which scripts may replace) for the method
    // their argument `index` names, whether it is given or not.
    void askMethod(CallArgs& c, std::size_t index) {
        if (avm1::Object* self = c.thisObject()) {
            if (c.count() > index) {
                const Value& arg = c.arg(index);
                m_.callMethod(self, "meth", std::span<const Value>(&arg, 1));
            } else {
                m_.callMethod(self, "meth", {});
            }
        }
    }

    Value load(CallArgs& c, bool variables) {
        if (self(c) != nullptr) {
            askMethod(c, 1);
        }
        if (DisplayObject* o = selfClip(c)) {
            stage_.loadInto(*o, m_.toString(c.arg(0)).str(), variables);
        }
        return Value();
    }

    Drawing* drawingOf(CallArgs& c) {
        DisplayObject* o = selfClip(c);
        if (o == nullptr) {
            return nullptr;
        }
        if (!o->drawing) {
            o->drawing = std::make_shared<Drawing>();
            o->drawing->setPointBox(true);
        }
        return o->drawing.get();
    }

    double number(CallArgs& c, std::size_t i) {
        const double v = m_.toNumber(c.arg(i));
        return std::isfinite(v) ? v : 0.0;
    }

    void installDrawing(avm1::Object* proto) {
        def(proto, "beginFill", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c)) {
                if (c.count() == 0 || c.arg(0).isUndefined()) {
                    d->endFill();
                } else {
                    swf::FillStyle fill;
                    fill.color = colorArg(m_, c.arg(0), c.arg(1));
                    d->beginFill(fill);
                }
            }
            return Value();
        });
        def(proto, "beginGradientFill", [this](CallArgs& c) {
            Drawing* d = drawingOf(c);
            if (d == nullptr) {
                return Value();
            }
            // No type ends the fill; more arguments than the version knows change nothing.
            if (c.count() == 0 || c.arg(0).isUndefined()) {
                d->endFill();
            } else if (c.count() <= (stage_.version() >= 8 ? 8u : 5u)) {
                if (auto fill = gradientArgs(m_, c)) {
                    d->beginFill(*fill);
                }
            }
            return Value();
        });
        def(proto, "lineStyle", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c)) {
                d->lineStyle(lineStyleArgs(m_, c));
            }
            return Value();
        });
        def(proto, "lineGradientStyle", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c); d != nullptr && c.count() <= 8) {
                if (auto fill = gradientArgs(m_, c)) {
                    d->lineFill(*fill);
                }
            }
            return Value();
        });
        def(proto, "moveTo", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c); d != nullptr && c.count() >= 2) {
                d->moveTo(number(c, 0), number(c, 1));
            }
            return Value();
        });
        def(proto, "lineTo", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c); d != nullptr && c.count() >= 2) {
                d->lineTo(number(c, 0), number(c, 1));
            }
            return Value();
        });
        def(proto, "curveTo", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c); d != nullptr && c.count() >= 4) {
                d->curveTo(number(c, 0), number(c, 1), number(c, 2), number(c, 3));
            }
            return Value();
        });
        def(proto, "endFill", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c)) {
                d->endFill();
            }
            return Value();
        });
        def(proto, "clear", [this](CallArgs& c) {
            if (Drawing* d = drawingOf(c)) {
                d->clear();
            }
            return Value();
        });
    }

    StageScripts& stage_;
    avm1::Machine& m_;
};

} // namespace

void installMovieClip(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    m.define(m.global(), "MovieClip", Value(static_cast<avm1::Object*>(ctor)));
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    // The native methods point into this table, which lives as long as the stage.
    auto methods = std::make_shared<Methods>(stage);
    methods->install(proto);
    m.define(proto, "enabled", Value(true));
    m.define(proto, "useHandCursor", Value(true));
    stage.keepAlive(methods);

    avm1::FunctionObject* button = m.newClass([](CallArgs&) { return Value(); });
    m.define(m.global(), "Button", Value(static_cast<avm1::Object*>(button)));
    if (avm1::Object* buttonProto = m.get(button, "prototype").asObject()) {
        // Unlike a clip's, a button's two show when its properties are enumerated.
        m.define(buttonProto, "enabled", Value(true), 0);
        m.define(buttonProto, "useHandCursor", Value(true), 0);
    }
}

} // namespace mc
