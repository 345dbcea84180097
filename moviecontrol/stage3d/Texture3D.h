#pragma once
// The textures of a Stage3D context: square or rectangular 2D textures and cube textures,
// each with its mip levels, stored as unpremultiplied ARGB words, and the sampling the
// sampler flags of a tex instruction ask for.

#include "stage3d/AgalRun.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace stage3d {

// Flash's largest texture side.
constexpr int kMaxTextureSide = 4096;

class Texture3D {
  public:
    Texture3D(int width, int height, bool cube, bool mipmapped);
    int width() const { return width_; }
    int height() const { return height_; }
    bool cube() const { return cube_; }
    int levels() const { return levels_; }
    // The side of a level (0 full size), at least 1.
    int levelWidth(int level) const;
    int levelHeight(int level) const;
    // The pixels of one level of one face (0 for 2D textures); null outside.
    std::vector<std::uint32_t>* image(int face, int level);
    const std::vector<std::uint32_t>* image(int face, int level) const;
    // `change` (optional) is how the coordinates move per pixel; with mipmapping on, the
    // level is where a pixel steps about one texel, moved by the bias.
    Vec4 sample(const SamplerFlags& flags, const Vec4& coordinates,
                const Derivatives* change = nullptr) const;

  private:
    Vec4 sampleLevel(int face, int level, float u, float v, const SamplerFlags& flags) const;
    int width_, height_;
    bool cube_;
    int levels_;
    std::vector<std::vector<std::uint32_t>> images_; // face * levels + level
};

// The textures bound to the sampler registers while a draw runs.
class BoundTextures final : public TextureUnits {
  public:
    static constexpr std::size_t kUnits = 16;
    std::array<std::shared_ptr<const Texture3D>, kUnits> units;
    // What setSamplerStateAt chose (wrap, filter, mipmap as the flags code them): used in
    // place of a tex instruction's own settings when it carries the ignore-sampler flag.
    struct SamplerState {
        std::uint8_t wrap = 0;
        std::uint8_t filter = 0;
        std::uint8_t mipmap = 0;
    };
    std::array<std::optional<SamplerState>, kUnits> states;
    Vec4 sample(const SamplerFlags& flags, const Vec4& coordinates,
                const Derivatives* change = nullptr) const override;
};

} // namespace stage3d
