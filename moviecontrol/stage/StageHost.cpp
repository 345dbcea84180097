#include "StageHost.h"

#include <algorithm>

#include "Dragging.h"
#include "HitTest.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "TextLinks.h"
#include "UrlPolicy.h"
#include "avm1/Str.h"

namespace mc {

using avm1::Value;

std::optional<pixels::BitmapPixels> StageHost::libraryBitmap(std::string_view name) {
    if (!stage_.callbacks().libraryBitmap) {
        return std::nullopt;
    }
    if (const auto exact = stage_.movie().exports.find(std::string(name));
        exact != stage_.movie().exports.end()) {
        return stage_.callbacks().libraryBitmap(exact->second);
    }
    for (const auto& [symbol, id] : stage_.movie().exports) {
        if (avm1::equalsFolded(symbol, name)) {
            return stage_.callbacks().libraryBitmap(id);
        }
    }
    return std::nullopt;
}

avm1::Object* StageHost::level(int n) {
    DisplayObject* level = stage_.level(n);
    return level != nullptr ? stage_.objectOf(*level) : nullptr;
}

avm1::Object* StageHost::root(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    return o != nullptr ? stage_.objectOf(*stage_.rootOf(*o)) : level(0);
}

avm1::Object* StageHost::parent(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    DisplayObject* up = o != nullptr ? stage_.parentOf(*o) : nullptr;
    return up != nullptr ? stage_.objectOf(*up) : nullptr;
}

avm1::Object* StageHost::child(avm1::Object* clip, std::string_view name, bool caseSensitive) {
    DisplayObject* o = stage_.displayOf(clip);
    if (o == nullptr) {
        return nullptr;
    }
    const auto c = stage_.player().childByName(*o, name, caseSensitive);
    return c ? stage_.objectOf(*c) : nullptr;
}

std::string StageHost::dotPath(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    return o != nullptr ? stage_.dotPathOf(*o) : std::string();
}

std::string StageHost::slashPath(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    return o != nullptr ? stage_.slashPathOf(*o) : std::string();
}

bool StageHost::displayProperty(avm1::Object* clip, std::string_view name, Value& out) {
    return clip->isDisplayObject() &&
           static_cast<StageObject*>(clip)->getOwnProperty(stage_.machine(), name, out);
}

bool StageHost::removed(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    return o == nullptr || o->removed;
}

void StageHost::gotoFrame(avm1::Object* clip, std::uint32_t frame, bool play) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.player().clips().gotoClipFrame(*o, frame, play);
    }
}

bool StageHost::gotoLabel(avm1::Object* clip, std::string_view label, bool play) {
    DisplayObject* o = stage_.displayOf(clip);
    return o != nullptr && stage_.player().clips().gotoClipLabel(*o, std::string(label), play);
}

void StageHost::play(avm1::Object* clip) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.player().clips().setClipPlaying(*o, true);
    }
}

void StageHost::stop(avm1::Object* clip) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.player().clips().setClipPlaying(*o, false);
    }
}

void StageHost::nextFrame(avm1::Object* clip) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.player().clips().nextClipFrame(*o);
    }
}

void StageHost::prevFrame(avm1::Object* clip) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.player().clips().previousClipFrame(*o);
    }
}

std::uint32_t StageHost::currentFrame(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    return o != nullptr && o->clip ? o->clip->frame : 0;
}

std::uint32_t StageHost::framesLoaded(avm1::Object* clip) {
    return totalFrames(clip);
}

std::uint32_t StageHost::totalFrames(avm1::Object* clip) {
    DisplayObject* o = stage_.displayOf(clip);
    if (o == nullptr || !o->clip || (o->clip->emptied && o->clip->timeline == nullptr)) {
        return 0;
    }
    return std::max<std::uint32_t>(1, o->clip->frameCount());
}

std::optional<std::uint32_t> StageHost::frameOfLabel(avm1::Object* clip, std::string_view label) {
    DisplayObject* o = stage_.displayOf(clip);
    if (o == nullptr || !o->clip) {
        return std::nullopt;
    }
    const std::int64_t f = stage_.player().clips().frameOfLabel(*o->clip, std::string(label));
    return f < 0 ? std::nullopt : std::optional<std::uint32_t>(static_cast<std::uint32_t>(f));
}

void StageHost::callFrame(avm1::Object* clip, std::uint32_t frame) {
    DisplayObject* o = stage_.displayOf(clip);
    if (o == nullptr || !o->clip || o->clip->timeline == nullptr ||
        frame >= o->clip->frameCount()) {
        return;
    }
    for (const swf::ControlTag& tag : o->clip->timeline->frames[frame].tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            stage_.machine().runBlock(avm1::Code{nullptr, action->actions.bytes}, clip,
                                      stage_.versionOfCode(action->actions.bytes));
        }
    }
}

void StageHost::cloneSprite(avm1::Object* clip, std::string_view name, int depth) {
    // The action counts depths from the bottom of the timeline's range, the method from 0.
    const std::int64_t shifted = std::int64_t{depth} + kTimelineDepthBase;
    if (DisplayObject* o = stage_.displayOf(clip); o != nullptr && shifted >= kMinScriptDepth) {
        stage_.player().edits().duplicateClip(*o, name, static_cast<std::int32_t>(shifted));
    }
}

void StageHost::removeSprite(avm1::Object* clip) {
    if (DisplayObject* o = stage_.displayOf(clip)) {
        stage_.removeByScript(*o);
    }
}

void StageHost::startDrag(avm1::Object* clip, bool lockCenter, std::optional<DragBounds> bounds) {
    if (DisplayObject* o = stage_.displayOf(clip); o != nullptr && stage_.attached()) {
        beginDrag(stage_.input, stage_.player(), *o, lockCenter, bounds);
    }
}

void StageHost::stopDrag() {
    if (stage_.attached()) {
        endDrag(stage_.input, stage_.player(), HitTester(stage_.movie(), stage_.player()),
                [this](const DisplayObject& o) { return stage_.dropTargetPathOf(o); });
    }
}

void StageHost::getUrl(const avm1::UrlRequest& request) {
    const bool toLevel = request.target.rfind("_level", 0) == 0;
    if (!request.loadVariables && (request.loadTarget || toLevel)) {
        // loadMovie, loadMovieNum; an empty address unloads.
        const auto target =
            stage_.loadTarget(Value(stage_.machine().str(request.target)), request.sourceClip);
        if (!target) {
            return;
        }
        if (request.url.empty()) {
            stage_.unload(*target);
        } else {
            stage_.loader().load(*target, request.url, nullptr);
        }
        return;
    }
    if (request.loadTarget || request.loadVariables || toLevel) {
        DisplayObject* target = nullptr;
        if (request.loadVariables && request.sourceClip != nullptr && request.target.empty()) {
            target = stage_.displayOf(request.sourceClip);
        } else if (toLevel) {
            // A hosted movie loads nothing into levels, its own included.
            target = request.target == "_level0" && !stage_.hosted() ? stage_.level(0) : nullptr;
        } else if (request.sourceClip != nullptr) {
            target = stage_.displayOf(request.sourceClip);
        }
        if (target != nullptr) {
            stage_.loadInto(*target, request.url, request.loadVariables);
        }
        return;
    }
    if (isAsFunction(request.url)) {
        // Not a page: the function it names, called from the timeline that asked.
        DisplayObject* scope =
            request.sourceClip != nullptr ? stage_.displayOf(request.sourceClip) : nullptr;
        if (scope == nullptr) {
            scope = stage_.level(0);
        }
        if (scope != nullptr) {
            callAsFunction(stage_, *scope, request.url);
        }
        return;
    }
    const PageOpening::Decision page = stage_.pages().decide(request.url);
    switch (page.verdict) {
    case PageOpening::Verdict::Open:
        if (stage_.callbacks().openUrl) {
            stage_.callbacks().openUrl(page.address);
        }
        break;
    case PageOpening::Verdict::AskFirst:
        if (stage_.callbacks().confirmUrl) {
            stage_.callbacks().confirmUrl(page.address);
        }
        break;
    case PageOpening::Verdict::Refused:
        if (page.firstOfItsKind && stage_.callbacks().logLimit) {
            stage_.callbacks().logLimit(std::string(page.reason) + ": " +
                                        addressForLog(request.url));
        }
        break;
    }
}

void StageHost::fscommand(std::string_view command, std::string_view args) {
    if (!stage_.callbacks().fscommand) {
        return;
    }
    if (avm1::equalsFolded(command, "quit") || avm1::equalsFolded(command, "fullscreen")) {
        stage_.callbacks().fscommand(command, args);
    }
}

void StageHost::trace(std::string_view line) {
    if (stage_.callbacks().trace) {
        stage_.callbacks().trace(line);
    }
}

double StageHost::timerMs() {
    return stage_.callbacks().clockMs ? stage_.callbacks().clockMs() : 0.0;
}

void StageHost::toggleQuality() {
    // High goes low; anything else (low, medium, best) goes high.
    stage_.quality = stage_.quality == "HIGH" ? "LOW" : "HIGH";
}

void StageHost::stopSounds() {
    if (stage_.callbacks().sound != nullptr) {
        stage_.callbacks().sound->stopAll();
    }
}

void StageHost::reportLimit(avm1::LimitKind, std::string_view message) {
    if (stage_.callbacks().logLimit) {
        stage_.callbacks().logLimit(message);
    }
}

void StageHost::traceRoots(avm1::Tracer& tracer) {
    stage_.traceKept(tracer);
}

} // namespace mc
