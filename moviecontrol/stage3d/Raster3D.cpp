// Triangle drawing. Clip space follows Stage3D: x and y from -w to w, depth from 0 to w,
// y up; the viewport maps it onto the whole target. A triangle is front facing when it runs
// clockwise on the screen. Pixels are covered when their centre is inside, with a top-left
// rule on shared edges so that neighbouring triangles neither overlap nor leave gaps.
#include "stage3d/Raster3D.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace stage3d {

namespace {

struct ClipVertex {
    Vec4 position{};
    std::array<Vec4, kMaxVaryings> varyings{};
};

ClipVertex mix(const ClipVertex& a, const ClipVertex& b, float t) {
    ClipVertex v;
    for (std::size_t c = 0; c < 4; ++c) {
        v.position[c] = a.position[c] + (b.position[c] - a.position[c]) * t;
    }
    for (std::size_t r = 0; r < kMaxVaryings; ++r) {
        for (std::size_t c = 0; c < 4; ++c) {
            v.varyings[r][c] = a.varyings[r][c] + (b.varyings[r][c] - a.varyings[r][c]) * t;
        }
    }
    return v;
}

// Keeps the part of the polygon where plane(v) >= 0.
template <typename Plane>
std::vector<ClipVertex> clipAgainst(const std::vector<ClipVertex>& in, Plane plane) {
    std::vector<ClipVertex> out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const ClipVertex& a = in[i];
        const ClipVertex& b = in[(i + 1) % in.size()];
        const float da = plane(a.position);
        const float db = plane(b.position);
        if (da >= 0) {
            out.push_back(a);
        }
        if ((da >= 0) != (db >= 0)) {
            out.push_back(mix(a, b, da / (da - db)));
        }
    }
    return out;
}

constexpr float kMinW = 1e-6f;

std::vector<ClipVertex> clipTriangle(const std::array<ClipVertex, 3>& t) {
    std::vector<ClipVertex> poly(t.begin(), t.end());
    const auto inside = [](const Vec4& p) { return p[3] >= kMinW && p[2] >= 0 && p[2] <= p[3]; };
    if (inside(t[0].position) && inside(t[1].position) && inside(t[2].position)) {
        return poly;
    }
    poly = clipAgainst(poly, [](const Vec4& p) { return p[3] - kMinW; });
    poly = clipAgainst(poly, [](const Vec4& p) { return p[2]; });
    return clipAgainst(poly, [](const Vec4& p) { return p[3] - p[2]; });
}

struct ScreenVertex {
    float x, y, z, invW;
    const ClipVertex* source;
};

float factor(BlendFactor f, const Vec4& src, const Vec4& dst, std::size_t c) {
    switch (f) {
    case BlendFactor::Zero:
        return 0;
    case BlendFactor::One:
        return 1;
    case BlendFactor::SourceColor:
        return src[c];
    case BlendFactor::OneMinusSourceColor:
        return 1 - src[c];
    case BlendFactor::SourceAlpha:
        return src[3];
    case BlendFactor::OneMinusSourceAlpha:
        return 1 - src[3];
    case BlendFactor::DestinationColor:
        return dst[c];
    case BlendFactor::OneMinusDestinationColor:
        return 1 - dst[c];
    case BlendFactor::DestinationAlpha:
        return dst[3];
    case BlendFactor::OneMinusDestinationAlpha:
        return 1 - dst[3];
    }
    return 0;
}

std::uint32_t toByte(float f) {
    if (!(f > 0)) {
        return 0;
    }
    return f >= 1 ? 255u : static_cast<std::uint32_t>(std::lround(f * 255.0f));
}

std::uint32_t packArgb(const Vec4& c) {
    return toByte(c[3]) << 24 | toByte(c[0]) << 16 | toByte(c[1]) << 8 | toByte(c[2]);
}

Vec4 unpackArgb(std::uint32_t argb) {
    const auto ch = [argb](int shift) {
        return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
    };
    return {ch(16), ch(8), ch(0), ch(24)};
}

class TriangleDrawer {
  public:
    TriangleDrawer(RenderTarget& target, const PipelineState& state, const DrawCall& call,
                   std::uint64_t& budget)
        : target_(target), state_(state), call_(call), budget_(budget) {
        // Neighbouring pixels are interpolated only for programs that use how values change.
        for (const Instruction& i : call.fragment->code) {
            if ((i.opcode == OpTex && i.sampler.mipmap != 0) || i.opcode == OpDdx ||
                i.opcode == OpDdy) {
                derivatives_ = true;
            }
        }
        minX_ = 0;
        minY_ = 0;
        maxX_ = target.width;
        maxY_ = target.height;
        if (state.scissor) {
            minX_ = std::max<long long>(minX_, state.scissor->x);
            minY_ = std::max<long long>(minY_, state.scissor->y);
            maxX_ = std::min<long long>(maxX_, static_cast<long long>(state.scissor->x) +
                                                   state.scissor->width);
            maxY_ = std::min<long long>(maxY_, static_cast<long long>(state.scissor->y) +
                                                   state.scissor->height);
        }
    }

    void draw(const std::array<ClipVertex, 3>& triangle) {
        if (minX_ >= maxX_ || minY_ >= maxY_) {
            return;
        }
        const std::vector<ClipVertex> poly = clipTriangle(triangle);
        if (poly.size() < 3) {
            return;
        }
        std::vector<ScreenVertex> screen;
        screen.reserve(poly.size());
        for (const ClipVertex& v : poly) {
            const float invW = 1.0f / v.position[3];
            screen.push_back(
                {(v.position[0] * invW + 1.0f) * 0.5f * static_cast<float>(target_.width),
                 (1.0f - v.position[1] * invW) * 0.5f * static_cast<float>(target_.height),
                 v.position[2] * invW, invW, &v});
        }
        // The facing of the whole triangle decides culling, whatever clipping cut from it.
        const float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) -
                           (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
        if (!(std::fabs(area) > 0)) {
            return;
        }
        const bool front = area > 0;
        if (state_.culling == Face::FrontAndBack || (state_.culling == Face::Front && front) ||
            (state_.culling == Face::Back && !front)) {
            return;
        }
        for (std::size_t i = 1; i + 1 < screen.size(); ++i) {
            fill(screen[0], screen[i], screen[i + 1], front);
        }
    }

  private:
    void fill(const ScreenVertex& a, const ScreenVertex& b0, const ScreenVertex& c0, bool front) {
        // Edge functions are set up for a clockwise (positive area) order.
        ScreenVertex b = b0;
        ScreenVertex c = c0;
        float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (!(std::fabs(area) > 0) || !std::isfinite(area)) {
            return;
        }
        if (area < 0) {
            std::swap(b, c);
            area = -area;
        }
        const float fx0 = std::min({a.x, b.x, c.x});
        const float fx1 = std::max({a.x, b.x, c.x});
        const float fy0 = std::min({a.y, b.y, c.y});
        const float fy1 = std::max({a.y, b.y, c.y});
        if (!std::isfinite(fx0) || !std::isfinite(fx1) || !std::isfinite(fy0) ||
            !std::isfinite(fy1)) {
            return;
        }
        const long long x0 = std::max<long long>(minX_, static_cast<long long>(std::floor(fx0)));
        const long long x1 = std::min<long long>(maxX_, static_cast<long long>(std::ceil(fx1)) + 1);
        const long long y0 = std::max<long long>(minY_, static_cast<long long>(std::floor(fy0)));
        const long long y1 = std::min<long long>(maxY_, static_cast<long long>(std::ceil(fy1)) + 1);
        if (x0 >= x1 || y0 >= y1) {
            return;
        }
        const auto cells = static_cast<std::uint64_t>((x1 - x0) * (y1 - y0));
        if (cells > budget_) {
            budget_ = 0;
            return;
        }
        budget_ -= cells;
        struct Edge {
            float ax, ay, bx, by;
            bool topLeft;
            float at(float px, float py) const {
                return (bx - ax) * (py - ay) - (px - ax) * (by - ay);
            }
        };
        // With y down and clockwise order, an edge is top when it runs right along a
        // horizontal line, left when it runs up.
        const auto edge = [](const ScreenVertex& p, const ScreenVertex& q) {
            const bool top = p.y == q.y && q.x > p.x;
            const bool left = q.y < p.y;
            return Edge{p.x, p.y, q.x, q.y, top || left};
        };
        const std::array<Edge, 3> edges = {edge(b, c), edge(c, a), edge(a, b)};
        // Perspective-correct varyings at any point of the triangle's plane; false where
        // the plane is not seen.
        const auto interpolate = [&](float px, float py, std::array<Vec4, kMaxVaryings>& v) {
            const float pw0 = edges[0].at(px, py) / area * a.invW;
            const float pw1 = edges[1].at(px, py) / area * b.invW;
            const float pw2 = edges[2].at(px, py) / area * c.invW;
            const float sum = pw0 + pw1 + pw2;
            if (!(sum != 0)) {
                return false;
            }
            for (std::size_t r = 0; r < kMaxVaryings; ++r) {
                for (std::size_t k = 0; k < 4; ++k) {
                    v[r][k] = (pw0 * a.source->varyings[r][k] + pw1 * b.source->varyings[r][k] +
                               pw2 * c.source->varyings[r][k]) /
                              sum;
                }
            }
            return true;
        };
        std::array<Vec4, kMaxVaryings> varyings{};
        std::array<Vec4, kMaxVaryings> right{};
        std::array<Vec4, kMaxVaryings> below{};
        for (long long y = y0; y < y1; ++y) {
            const float py = static_cast<float>(y) + 0.5f;
            for (long long x = x0; x < x1; ++x) {
                const float px = static_cast<float>(x) + 0.5f;
                std::array<float, 3> w{};
                bool inside = true;
                for (std::size_t e = 0; e < 3 && inside; ++e) {
                    w[e] = edges[e].at(px, py);
                    inside = w[e] > 0 || (w[e] == 0 && edges[e].topLeft);
                }
                if (!inside || !interpolate(px, py, varyings)) {
                    continue;
                }
                const float z = (w[0] * a.z + w[1] * b.z + w[2] * c.z) / area;
                if (derivatives_) {
                    // The neighbours across and down give how each varying changes per pixel.
                    if (!interpolate(px + 1, py, right) || !interpolate(px, py + 1, below)) {
                        right = varyings;
                        below = varyings;
                    }
                    for (std::size_t r = 0; r < kMaxVaryings; ++r) {
                        for (std::size_t k = 0; k < 4; ++k) {
                            right[r][k] -= varyings[r][k];
                            below[r][k] -= varyings[r][k];
                        }
                    }
                }
                shade(static_cast<int>(x), static_cast<int>(y), z, varyings, front, right, below);
            }
        }
    }

    void shade(int x, int y, float z, const std::array<Vec4, kMaxVaryings>& varyings, bool front,
               const std::array<Vec4, kMaxVaryings>& dx, const std::array<Vec4, kMaxVaryings>& dy) {
        ShaderOutputs out;
        ShaderInputs in;
        in.constants = call_.fragmentConstants;
        in.varyings = varyings;
        if (derivatives_) {
            in.varyingsDx = dx;
            in.varyingsDy = dy;
        }
        in.textures = call_.textures;
        runAgal(*call_.fragment, in, out);
        if (out.killed) {
            return;
        }
        const std::size_t at =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(target_.width) +
            static_cast<std::size_t>(x);
        const float depth = std::clamp(out.depthWritten ? out.depth : z, 0.0f, 1.0f);
        const StencilSide& side = front ? state_.front : state_.back;
        std::uint8_t* stencil = target_.stencil != nullptr && at < target_.stencil->size()
                                    ? &(*target_.stencil)[at]
                                    : nullptr;
        const auto stencilDo = [&](StencilAction action) {
            if (stencil != nullptr) {
                const std::uint8_t next = applyStencil(action, *stencil, state_.stencilReference);
                *stencil = static_cast<std::uint8_t>((*stencil & ~state_.stencilWriteMask) |
                                                     (next & state_.stencilWriteMask));
            }
        };
        if (stencil != nullptr) {
            const auto mask = state_.stencilReadMask;
            if (!compare(side.compare, static_cast<float>(state_.stencilReference & mask),
                         static_cast<float>(*stencil & mask))) {
                stencilDo(side.stencilFail);
                return;
            }
        }
        if (target_.depth != nullptr && at < target_.depth->size()) {
            float& stored = (*target_.depth)[at];
            if (!compare(state_.depthCompare, depth, stored)) {
                stencilDo(side.depthFail);
                return;
            }
            if (state_.depthMask) {
                stored = depth;
            }
        }
        stencilDo(side.bothPass);
        if (target_.color == nullptr || at >= target_.color->size()) {
            return;
        }
        std::uint32_t& pixel = (*target_.color)[at];
        Vec4 src = out.out[0];
        for (float& f : src) {
            f = std::isfinite(f) ? std::clamp(f, 0.0f, 1.0f) : 0.0f;
        }
        const Vec4 dst = unpackArgb(pixel);
        Vec4 result = src;
        if (state_.source != BlendFactor::One || state_.destination != BlendFactor::Zero) {
            for (std::size_t k = 0; k < 4; ++k) {
                result[k] = src[k] * factor(state_.source, src, dst, k) +
                            dst[k] * factor(state_.destination, src, dst, k);
            }
        }
        for (std::size_t k = 0; k < 4; ++k) {
            if (!state_.colorMask[k]) {
                result[k] = dst[k];
            }
        }
        pixel = packArgb(result);
    }

    RenderTarget& target_;
    const PipelineState& state_;
    const DrawCall& call_;
    std::uint64_t& budget_;
    long long minX_, minY_, maxX_, maxY_;
    bool derivatives_ = false;
};

float wordFloat(std::uint32_t w) {
    return std::bit_cast<float>(w);
}

} // namespace

bool compare(Compare mode, float a, float b) {
    switch (mode) {
    case Compare::Never:
        return false;
    case Compare::Less:
        return a < b;
    case Compare::Equal:
        return a == b;
    case Compare::LessEqual:
        return a <= b;
    case Compare::Greater:
        return a > b;
    case Compare::NotEqual:
        return a != b;
    case Compare::GreaterEqual:
        return a >= b;
    case Compare::Always:
        return true;
    }
    return true;
}

std::uint8_t applyStencil(StencilAction action, std::uint8_t value, std::uint8_t reference) {
    switch (action) {
    case StencilAction::DecrementSaturate:
        return value == 0 ? 0 : static_cast<std::uint8_t>(value - 1);
    case StencilAction::DecrementWrap:
        return static_cast<std::uint8_t>(value - 1);
    case StencilAction::IncrementSaturate:
        return value == 255 ? 255 : static_cast<std::uint8_t>(value + 1);
    case StencilAction::IncrementWrap:
        return static_cast<std::uint8_t>(value + 1);
    case StencilAction::Invert:
        return static_cast<std::uint8_t>(~value);
    case StencilAction::Keep:
        return value;
    case StencilAction::Set:
        return reference;
    case StencilAction::Zero:
        return 0;
    }
    return value;
}

Vec4 fetchAttribute(const VertexStream& s, std::size_t vertex) {
    Vec4 v{0, 0, 0, 1};
    if (!s.data || s.data32PerVertex == 0) {
        return v;
    }
    const std::size_t base = vertex * s.data32PerVertex + s.offset;
    const auto wordAt = [&](std::size_t i) -> std::uint32_t {
        return base + i < s.data->size() ? (*s.data)[base + i] : 0u;
    };
    if (s.format == VertexFormat::Bytes4) {
        const std::uint32_t w = wordAt(0);
        for (std::size_t c = 0; c < 4; ++c) {
            v[c] = static_cast<float>((w >> (8 * c)) & 0xFF) / 255.0f;
        }
        return v;
    }
    const std::size_t count = static_cast<std::size_t>(s.format) + 1;
    for (std::size_t c = 0; c < count; ++c) {
        v[c] = wordFloat(wordAt(c));
    }
    return v;
}

void clearTarget(RenderTarget& target, const Vec4& color, float depth, std::uint8_t stencil,
                 std::uint32_t mask) {
    if ((mask & 1) != 0 && target.color != nullptr) {
        Vec4 c = color;
        for (float& f : c) {
            f = std::isfinite(f) ? std::clamp(f, 0.0f, 1.0f) : 0.0f;
        }
        std::fill(target.color->begin(), target.color->end(), packArgb(c));
    }
    if ((mask & 2) != 0 && target.depth != nullptr) {
        std::fill(target.depth->begin(), target.depth->end(),
                  std::isfinite(depth) ? std::clamp(depth, 0.0f, 1.0f) : 1.0f);
    }
    if ((mask & 4) != 0 && target.stencil != nullptr) {
        std::fill(target.stencil->begin(), target.stencil->end(), stencil);
    }
}

void drawTriangles(RenderTarget& target, const PipelineState& state, const DrawCall& call,
                   std::uint64_t& pixelBudget) {
    if (call.vertex == nullptr || call.fragment == nullptr || target.width <= 0 ||
        target.height <= 0) {
        return;
    }
    // Each vertex is shaded once however many triangles share it.
    std::vector<std::optional<ClipVertex>> shaded;
    TriangleDrawer drawer(target, state, call, pixelBudget);
    const auto vertexOf = [&](std::uint16_t index) -> const ClipVertex& {
        if (shaded.size() <= index) {
            shaded.resize(static_cast<std::size_t>(index) + 1);
        }
        if (!shaded[index]) {
            std::array<Vec4, kMaxStreams> attributes{};
            for (std::size_t s = 0; s < kMaxStreams; ++s) {
                attributes[s] = fetchAttribute(call.streams[s], index);
            }
            ShaderInputs in;
            in.constants = call.vertexConstants;
            in.attributes = attributes;
            in.textures = call.textures;
            ShaderOutputs out;
            runAgal(*call.vertex, in, out);
            ClipVertex v;
            v.position = out.out[0];
            v.varyings = out.varyings;
            shaded[index] = v;
        }
        return *shaded[index];
    };
    for (std::size_t t = 0; t < call.triangles && pixelBudget > 0; ++t) {
        const std::size_t at = call.firstIndex + t * 3;
        if (at + 3 > call.indices.size()) {
            break;
        }
        const std::array<ClipVertex, 3> triangle = {vertexOf(call.indices[at]),
                                                    vertexOf(call.indices[at + 1]),
                                                    vertexOf(call.indices[at + 2])};
        drawer.draw(triangle);
    }
}

} // namespace stage3d
