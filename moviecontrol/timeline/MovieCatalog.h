#pragma once

#include "CharacterCatalog.h"
#include "swf/Movie.h"

namespace mc {

// The timeline's view of a loaded movie's dictionary.
class MovieCatalog : public CharacterCatalog {
  public:
    explicit MovieCatalog(const swf::Movie& movie) : movie_(movie) {}

    CharacterKind kind(std::uint16_t id) const override;
    const swf::Timeline* spriteTimeline(std::uint16_t id) const override;
    const swf::Button* button(std::uint16_t id) const override;
    std::optional<swf::Rect> bounds(std::uint16_t id, std::uint16_t ratio) const override;
    std::optional<swf::Rect> edgeBounds(std::uint16_t id, std::uint16_t ratio) const override;
    std::optional<swf::Rect> scalingGrid(std::uint16_t id) const override;
    std::optional<std::uint16_t> exported(std::string_view name) const override;
    const swf::EditText* editText(std::uint16_t id) const override;
    const swf::Font* font(std::uint16_t id) const override;
    const swf::Font* fontNamed(std::string_view name, bool bold, bool italic) const override;

  private:
    const swf::Movie& movie_;
};

} // namespace mc
