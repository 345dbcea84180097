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
std::shared_ptr<Clip> findTarget(const std::shared_ptr<Clip>& root,
                                 const std::shared_ptr<Clip>& from, std::string_view path) {
    std::shared_ptr<Clip> at = from;
    if (!path.empty() && path.front() == '/') {
        at = root;
        path.remove_prefix(1);
    }
    while (!path.empty() && at) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        std::shared_ptr<Clip> next;
        for (const auto& [depth, o] : at->displayList) {
            if (o.clip && o.name == part) {
                next = o.clip;
                break;
            }
        }
        at = next;
    }
    return at;
}

} // namespace

void TimelinePlayer::runPendingActions() {
    int budget = limits_.maxActionBlocks;
    for (std::size_t i = 0; i < pending_.size() && budget > 0 && !tickBudgetSpent();
         ++i, --budget) {
        const PendingActions p = pending_[i];
        if (auto clip = p.clip.lock()) {
            runActionBlock(clip, *p.block);
        }
    }
    pending_.clear();
}

void TimelinePlayer::runActionBlock(const std::shared_ptr<Clip>& clip,
                                    const swf::ActionBlock& block) {
    std::shared_ptr<Clip> target = clip;
    std::optional<PushedValue> pushed;
    for (const swf::Action& action : block.actions) {
        if (tickBudgetSpent()) {
            return;
        }
        std::optional<PushedValue> next;
        if (target) {
            switch (action.code) {
            case swf::op::Stop:
                target->playing = false;
                break;
            case swf::op::Play:
                target->playing = true;
                break;
            case swf::op::NextFrame:
                gotoClipFrame(target, target->frame + 1);
                target->playing = false;
                break;
            case swf::op::PreviousFrame:
                if (target->frame > 0) {
                    gotoClipFrame(target, target->frame - 1);
                }
                target->playing = false;
                break;
            case swf::op::GotoFrame:
                gotoClipFrame(target, action.frame);
                target->playing = false;
                break;
            case swf::op::GotoLabel: {
                const std::int64_t f = frameOfLabel(*target, action.text);
                if (f >= 0) {
                    gotoClipFrame(target, static_cast<std::uint32_t>(f));
                    target->playing = false;
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
                        f = frameOfLabel(*target, pushed->text);
                        if (f < 0 && !pushed->text.empty() &&
                            pushed->text.find_first_not_of("0123456789") == std::string::npos &&
                            pushed->text.size() < 10) {
                            f = std::stoll(pushed->text) - 1;
                        }
                    }
                    if (f >= 0) {
                        gotoClipFrame(target, static_cast<std::uint32_t>(f + action.sceneBias));
                        target->playing = action.play;
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
            target = action.text.empty() ? clip : findTarget(root_, clip, action.text);
        }
        pushed = std::move(next);
    }
}

} // namespace mc
