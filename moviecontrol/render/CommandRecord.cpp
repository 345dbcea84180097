#include "CommandRecord.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <type_traits>
#include <variant>

#include "Drawing.h"
#include "TextFieldState.h"

namespace mc {

namespace {

std::uint64_t mixed(std::uint64_t hash, std::uint64_t value) {
    // FNV-1a over the value's eight bytes.
    for (int i = 0; i < 8; ++i) {
        hash ^= (value >> (8 * i)) & 0xffu;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// Matrices and boxes come out of the same arithmetic on both sides; what differs by less
// than this is rounding, far below a pixel at any size a screen shows.
constexpr double kLinearTolerance = 1e-9;
constexpr double kTwipsTolerance = 1e-3;

bool near(double a, double b, double tolerance) {
    return std::abs(a - b) <= tolerance * std::max(1.0, std::max(std::abs(a), std::abs(b)));
}

bool sameMatrix(const Transform& a, TwipsOrigin oa, const Transform& b, TwipsOrigin ob) {
    return near(a.a, b.a, kLinearTolerance) && near(a.b, b.b, kLinearTolerance) &&
           near(a.c, b.c, kLinearTolerance) && near(a.d, b.d, kLinearTolerance) &&
           std::abs((a.tx - oa.x) - (b.tx - ob.x)) <= kTwipsTolerance &&
           std::abs((a.ty - oa.y) - (b.ty - ob.y)) <= kTwipsTolerance;
}

bool sameBounds(const Bounds& a, TwipsOrigin oa, const Bounds& b, TwipsOrigin ob) {
    if (a.valid != b.valid) {
        return false;
    }
    const auto close = [](double p, double q) { return std::abs(p - q) <= kTwipsTolerance; };
    return !a.valid ||
           (close(a.xMin - oa.x, b.xMin - ob.x) && close(a.yMin - oa.y, b.yMin - ob.y) &&
            close(a.xMax - oa.x, b.xMax - ob.x) && close(a.yMax - oa.y, b.yMax - ob.y));
}

// Every field of each filter, for comparing two lists.
auto fields(const swf::Rgba& c) {
    return std::tie(c.r, c.g, c.b, c.a);
}
auto fields(const swf::DropShadowFilter& f) {
    return std::tuple_cat(fields(f.color),
                          std::tie(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.inner,
                                   f.knockout, f.compositeSource, f.passes));
}
auto fields(const swf::BlurFilter& f) {
    return std::tie(f.blurX, f.blurY, f.passes);
}
auto fields(const swf::GlowFilter& f) {
    return std::tuple_cat(fields(f.color), std::tie(f.blurX, f.blurY, f.strength, f.inner,
                                                    f.knockout, f.compositeSource, f.passes));
}
auto fields(const swf::BevelFilter& f) {
    return std::tuple_cat(fields(f.shadowColor), fields(f.highlightColor),
                          std::tie(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.inner,
                                   f.knockout, f.compositeSource, f.onTop, f.passes));
}
bool sameStops(const std::vector<swf::GradientFilterStop>& p,
               const std::vector<swf::GradientFilterStop>& q) {
    return std::equal(p.begin(), p.end(), q.begin(), q.end(), [](const auto& a, const auto& b) {
        return a.ratio == b.ratio && fields(a.color) == fields(b.color);
    });
}
bool sameParams(const swf::GradientFilterParams& p, const swf::GradientFilterParams& q) {
    const auto rest = [](const swf::GradientFilterParams& f) {
        return std::tie(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.inner, f.knockout,
                        f.compositeSource, f.onTop, f.passes);
    };
    return sameStops(p.stops, q.stops) && rest(p) == rest(q);
}

bool sameFilter(const swf::Filter& p, const swf::Filter& q) {
    if (p.index() != q.index()) {
        return false;
    }
    return std::visit(
        [&q](const auto& a) {
            using F = std::decay_t<decltype(a)>;
            const F& b = std::get<F>(q);
            if constexpr (std::is_base_of_v<swf::GradientFilterParams, F>) {
                return sameParams(a, b);
            } else if constexpr (std::is_same_v<F, swf::ConvolutionFilter>) {
                return a.columns == b.columns && a.rows == b.rows && a.divisor == b.divisor &&
                       a.bias == b.bias && a.matrix == b.matrix &&
                       fields(a.defaultColor) == fields(b.defaultColor) && a.clamp == b.clamp &&
                       a.preserveAlpha == b.preserveAlpha;
            } else if constexpr (std::is_same_v<F, swf::ColorMatrixFilter>) {
                return a.matrix == b.matrix;
            } else if constexpr (std::is_same_v<F, swf::ShaderFilter>) {
                // Kernels are copies made on assignment, like displacement maps.
                return a.kernel == b.kernel && a.left == b.left && a.right == b.right &&
                       a.top == b.top && a.bottom == b.bottom;
            } else if constexpr (std::is_same_v<F, swf::DisplacementMapFilter>) {
                // Maps are copies made on assignment: the same copy means the same pixels.
                return a.map == b.map && a.mapX == b.mapX && a.mapY == b.mapY &&
                       a.componentX == b.componentX && a.componentY == b.componentY &&
                       a.scaleX == b.scaleX && a.scaleY == b.scaleY && a.mode == b.mode &&
                       fields(a.color) == fields(b.color);
            } else {
                return fields(a) == fields(b);
            }
        },
        p);
}

bool sameFilters(const std::vector<swf::Filter>& p, const std::vector<swf::Filter>& q) {
    return std::equal(p.begin(), p.end(), q.begin(), q.end(), sameFilter);
}

bool sameEntry(const CommandRecord::Entry& a, TwipsOrigin oa, const CommandRecord::Entry& b,
               TwipsOrigin ob) {
    if (a.op != b.op || a.generation != b.generation) {
        return false;
    }
    if (a.op == CommandRecord::Op::Draw) {
        const DrawCharacter& p = a.draw;
        const DrawCharacter& q = b.draw;
        // A script may rewrite attached pixels between frames without telling anyone, so a
        // picture holding them is never taken as unchanged.
        if (p.pixels != nullptr || q.pixels != nullptr) {
            return false;
        }
        return p.kind == q.kind && p.characterId == q.characterId && p.library == q.library &&
               p.ratio == q.ratio && p.smoothing == q.smoothing && p.hardPixels == q.hardPixels &&
               p.colorTransform == q.colorTransform &&
               (p.drawing == nullptr) == (q.drawing == nullptr) &&
               (p.text == nullptr) == (q.text == nullptr) && p.boxColor == q.boxColor &&
               sameBounds(p.box, {}, q.box, {}) && p.slices == q.slices &&
               sameMatrix(p.matrix, oa, q.matrix, ob);
    }
    if (a.op == CommandRecord::Op::BeginGroup) {
        return sameGroupStyle(a.group, oa, b.group, ob);
    }
    return true;
}

} // namespace

// The group's matrix is left out: what it draws is its children's commands, and a group that
// moves with them is the same picture.
bool sameGroupStyle(const GroupStyle& p, TwipsOrigin op, const GroupStyle& q, TwipsOrigin oq) {
    return p.blendMode == q.blendMode && p.cacheAsBitmap == q.cacheAsBitmap &&
           p.colorTransform == q.colorTransform && sameFilters(p.filters, q.filters) &&
           sameBounds(p.bounds, op, q.bounds, oq);
}

void CommandRecord::clear() {
    entries_.clear();
    hash_ = 0xcbf29ce484222325ull;
}

void CommandRecord::add(Entry entry) {
    hash_ = mixed(hash_, static_cast<std::uint64_t>(entry.op));
    if (entry.op == Op::Draw) {
        hash_ = mixed(hash_, (static_cast<std::uint64_t>(entry.draw.kind) << 32) |
                                 (static_cast<std::uint64_t>(entry.draw.characterId) << 16) |
                                 entry.draw.ratio);
    }
    hash_ = mixed(hash_, entry.generation);
    entries_.push_back(std::move(entry));
}

void CommandRecord::beginFrame(Rgba background) {
    clear();
    background_ = background;
}

void CommandRecord::draw(const DrawCharacter& command) {
    Entry e;
    e.op = Op::Draw;
    e.draw = command;
    if (command.drawing != nullptr) {
        e.generation = command.drawing->generation();
    } else if (command.text != nullptr) {
        e.generation = command.text->generation;
    }
    add(std::move(e));
}

void CommandRecord::beginGroup(const GroupStyle& style) {
    Entry e;
    e.op = Op::BeginGroup;
    e.group = style;
    add(std::move(e));
}

void CommandRecord::endGroup() {
    add(Entry{Op::EndGroup, {}, {}, 0});
}

void CommandRecord::beginMask() {
    add(Entry{Op::BeginMask, {}, {}, 0});
}

void CommandRecord::useMask() {
    add(Entry{Op::UseMask, {}, {}, 0});
}

void CommandRecord::endMask() {
    add(Entry{Op::EndMask, {}, {}, 0});
}

bool CommandRecord::hasFilteredGroup() const {
    return std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) {
        return e.op == Op::BeginGroup && !e.group.filters.empty();
    });
}

void CommandRecord::replay(RenderBackend& backend) const {
    for (const Entry& e : entries_) {
        switch (e.op) {
        case Op::Draw:
            backend.draw(e.draw);
            break;
        case Op::BeginGroup:
            backend.beginGroup(e.group);
            break;
        case Op::EndGroup:
            backend.endGroup();
            break;
        case Op::BeginMask:
            backend.beginMask();
            break;
        case Op::UseMask:
            backend.useMask();
            break;
        case Op::EndMask:
            backend.endMask();
            break;
        }
    }
}

bool sameDrawing(const CommandRecord& a, TwipsOrigin originA, const CommandRecord& b,
                 TwipsOrigin originB) {
    if (a.layoutHash() != b.layoutHash() || a.entries().size() != b.entries().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.entries().size(); ++i) {
        if (!sameEntry(a.entries()[i], originA, b.entries()[i], originB)) {
            return false;
        }
    }
    return true;
}

} // namespace mc
