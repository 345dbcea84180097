// Texture storage and sampling: nearest or bilinear filtering, clamp or repeat per axis, and
// the nearest mip level (or two blended) for the level of detail the coordinates' change per
// pixel and the bias ask for.
#include "stage3d/Texture3D.h"

#include <algorithm>
#include <cmath>

namespace stage3d {

namespace {

int levelCount(int width, int height) {
    int levels = 1;
    while ((width >> levels) > 0 || (height >> levels) > 0) {
        ++levels;
    }
    return levels;
}

float channel(std::uint32_t argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
}

Vec4 rgba(std::uint32_t argb) {
    return {channel(argb, 16), channel(argb, 8), channel(argb, 0), channel(argb, 24)};
}

int wrapped(int i, int size, bool repeat) {
    if (repeat) {
        const int m = i % size;
        return m < 0 ? m + size : m;
    }
    return std::clamp(i, 0, size - 1);
}

float finiteOr0(float f) {
    return std::isfinite(f) ? f : 0.0f;
}

} // namespace

Texture3D::Texture3D(int width, int height, bool cube, bool mipmapped)
    : width_(std::clamp(width, 1, kMaxTextureSide)),
      height_(std::clamp(height, 1, kMaxTextureSide)), cube_(cube),
      levels_(mipmapped ? levelCount(width_, height_) : 1) {
    const int faces = cube_ ? 6 : 1;
    images_.resize(static_cast<std::size_t>(faces * levels_));
    for (int f = 0; f < faces; ++f) {
        for (int l = 0; l < levels_; ++l) {
            images_[static_cast<std::size_t>(f * levels_ + l)].assign(
                static_cast<std::size_t>(levelWidth(l)) * static_cast<std::size_t>(levelHeight(l)),
                0u);
        }
    }
}

int Texture3D::levelWidth(int level) const {
    return std::max(1, width_ >> std::clamp(level, 0, 30));
}

int Texture3D::levelHeight(int level) const {
    return std::max(1, height_ >> std::clamp(level, 0, 30));
}

std::vector<std::uint32_t>* Texture3D::image(int face, int level) {
    if (face < 0 || face >= (cube_ ? 6 : 1) || level < 0 || level >= levels_) {
        return nullptr;
    }
    return &images_[static_cast<std::size_t>(face * levels_ + level)];
}

const std::vector<std::uint32_t>* Texture3D::image(int face, int level) const {
    return const_cast<Texture3D*>(this)->image(face, level);
}

Vec4 Texture3D::sampleLevel(int face, int level, float u, float v,
                            const SamplerFlags& flags) const {
    const std::vector<std::uint32_t>* pixels = image(face, level);
    if (pixels == nullptr) {
        return {};
    }
    const int w = levelWidth(level);
    const int h = levelHeight(level);
    const bool repeatU = flags.wrap == 1 || flags.wrap == 3;
    const bool repeatV = flags.wrap == 1 || flags.wrap == 2;
    const auto texel = [&](int x, int y) {
        const int tx = wrapped(x, w, repeatU);
        const int ty = wrapped(y, h, repeatV);
        return rgba((*pixels)[static_cast<std::size_t>(ty) * static_cast<std::size_t>(w) +
                              static_cast<std::size_t>(tx)]);
    };
    // Coordinates far outside the texture wrap or clamp to the same texels as nearer ones.
    const float x = std::clamp(finiteOr0(u), -65536.0f, 65536.0f) * static_cast<float>(w);
    const float y = std::clamp(finiteOr0(v), -65536.0f, 65536.0f) * static_cast<float>(h);
    if (flags.filter == 0) {
        return texel(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
    }
    const float fx = x - 0.5f;
    const float fy = y - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float ax = fx - static_cast<float>(x0);
    const float ay = fy - static_cast<float>(y0);
    const Vec4 a = texel(x0, y0);
    const Vec4 b = texel(x0 + 1, y0);
    const Vec4 c = texel(x0, y0 + 1);
    const Vec4 d = texel(x0 + 1, y0 + 1);
    Vec4 out{};
    for (std::size_t i = 0; i < 4; ++i) {
        const float top = a[i] + (b[i] - a[i]) * ax;
        const float bottom = c[i] + (d[i] - c[i]) * ax;
        out[i] = top + (bottom - top) * ay;
    }
    return out;
}

Vec4 Texture3D::sample(const SamplerFlags& flags, const Vec4& c, const Derivatives* change) const {
    int face = 0;
    float u = c[0];
    float v = c[1];
    if (cube_) {
        // The face of the largest component of the direction, and where it meets that face.
        const float x = finiteOr0(c[0]);
        const float y = finiteOr0(c[1]);
        const float z = finiteOr0(c[2]);
        const float ax = std::fabs(x);
        const float ay = std::fabs(y);
        const float az = std::fabs(z);
        float major = 1;
        float sc = 0;
        float tc = 0;
        if (ax >= ay && ax >= az) {
            face = x >= 0 ? 0 : 1;
            major = ax;
            sc = x >= 0 ? -z : z;
            tc = -y;
        } else if (ay >= az) {
            face = y >= 0 ? 2 : 3;
            major = ay;
            sc = x;
            tc = y >= 0 ? z : -z;
        } else {
            face = z >= 0 ? 4 : 5;
            major = az;
            sc = z >= 0 ? x : -x;
            tc = -y;
        }
        if (major <= 0) {
            return {};
        }
        u = (sc / major + 1.0f) * 0.5f;
        v = (tc / major + 1.0f) * 0.5f;
    }
    if (flags.mipmap == 0 || levels_ == 1) {
        return sampleLevel(face, 0, u, v, flags);
    }
    float scale = 0;
    if (change != nullptr && !cube_) {
        const auto texels = [this](const Vec4& d) {
            const float du = d[0] * static_cast<float>(width_);
            const float dv = d[1] * static_cast<float>(height_);
            return du * du + dv * dv;
        };
        const float widest = std::max(texels(change->dx), texels(change->dy));
        scale = std::isfinite(widest) && widest > 1 ? 0.5f * std::log2(widest) : 0.0f;
    }
    const float lod = std::clamp(scale + static_cast<float>(flags.lodBias) / 8.0f, 0.0f,
                                 static_cast<float>(levels_ - 1));
    const int low = static_cast<int>(std::floor(lod));
    if (flags.mipmap == 1 || low + 1 >= levels_) {
        return sampleLevel(face, static_cast<int>(std::lround(lod)), u, v, flags);
    }
    const float t = lod - static_cast<float>(low);
    const Vec4 a = sampleLevel(face, low, u, v, flags);
    const Vec4 b = sampleLevel(face, low + 1, u, v, flags);
    Vec4 out{};
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = a[i] + (b[i] - a[i]) * t;
    }
    return out;
}

Vec4 BoundTextures::sample(const SamplerFlags& flags, const Vec4& coordinates,
                           const Derivatives* change) const {
    if (flags.index >= units.size() || !units[flags.index]) {
        return {0, 0, 0, 0};
    }
    constexpr std::uint8_t kIgnoreSampler = 4;
    if ((flags.special & kIgnoreSampler) != 0 && states[flags.index]) {
        SamplerFlags chosen = flags;
        chosen.wrap = states[flags.index]->wrap;
        chosen.filter = states[flags.index]->filter;
        chosen.mipmap = states[flags.index]->mipmap;
        return units[flags.index]->sample(chosen, coordinates, change);
    }
    return units[flags.index]->sample(flags, coordinates, change);
}

} // namespace stage3d
