// The ActionScript 1 timeline controls of TimelinePlayer. Anything that needs a real
// interpreter is skipped; a literal pushed right before GotoFrame2 is followed.
#include <cmath>
#include <optional>
#include <string_view>

#include "PushedValue.h"
#include "TimelinePlayer.h"

namespace mc {

namespace {

constexpr std::uint8_t kPush = 0x96;

// A child clip by a slash path relative to `from` ("a/b"), or from the root ("/a").
DisplayObject* findTarget(DisplayObject& root, DisplayObject& from, std::string_view path) {
    DisplayObject* at = &from;
    if (!path.empty() && path.front() == '/') {
        at = &root;
        path.remove_prefix(1);
    }
    while (!path.empty() && at != nullptr) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        DisplayObject* next = nullptr;
        for (const auto& [depth, o] : at->clip->displayList) {
            if (o->clip && o->name == part) {
                next = o.get();
                break;
            }
        }
        at = next;
    }
    return at;
}

} // namespace

void TimelinePlayer::runActionBlock(DisplayObject& object, const swf::ActionBlock& block) {
    DisplayObject* target = &object;
    std::optional<PushedValue> pushed;
    for (const swf::Action& action : block.actions) {
        if (tickBudgetSpent()) {
            return;
        }
        std::optional<PushedValue> next;
        if (target != nullptr && !target->removed) {
            switch (action.code) {
            case swf::op::Stop:
                target->clip->playing = false;
                break;
            case swf::op::Play:
                target->clip->playing = true;
                break;
            case swf::op::NextFrame:
                gotoFrameOf(*target, target->clip->frame + 1);
                target->clip->playing = false;
                break;
            case swf::op::PreviousFrame:
                if (target->clip->frame > 0) {
                    gotoFrameOf(*target, target->clip->frame - 1);
                }
                target->clip->playing = false;
                break;
            case swf::op::GotoFrame:
                gotoFrameOf(*target, action.frame);
                target->clip->playing = false;
                break;
            case swf::op::GotoLabel: {
                const std::int64_t f = frameOfLabel(*target->clip, action.text);
                if (f >= 0) {
                    gotoFrameOf(*target, static_cast<std::uint32_t>(f));
                    target->clip->playing = false;
                }
                break;
            }
            case swf::op::GotoFrame2:
                if (pushed) {
                    std::int64_t f = -1;
                    if (pushed->isNumber) {
                        if (std::isfinite(pushed->number) && pushed->number >= 1.0 &&
                            pushed->number < 4294967296.0) {
                            f = static_cast<std::int64_t>(pushed->number) - 1;
                        }
                    } else {
                        f = frameOfLabel(*target->clip, pushed->text);
                        if (f < 0 && !pushed->text.empty() &&
                            pushed->text.find_first_not_of("0123456789") == std::string::npos &&
                            pushed->text.size() < 10) {
                            f = std::stoll(pushed->text) - 1;
                        }
                    }
                    if (f >= 0) {
                        gotoFrameOf(*target, static_cast<std::uint32_t>(f + action.sceneBias));
                        target->clip->playing = action.play;
                    }
                }
                break;
            case kPush:
                next = lastPushedLiteral(action.payload);
                break;
            default:
                break;
            }
        }
        if (action.code == swf::op::SetTarget) {
            target = action.text.empty() ? &object : findTarget(*rootObject_, object, action.text);
        }
        pushed = std::move(next);
    }
}

} // namespace mc
