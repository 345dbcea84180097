#pragma once
// Shape and morph-shape tags found while a movie loads and read when first asked for. A large
// card holds thousands of shapes and its first frame needs a few of them; reading every shape
// record up front was most of the time before the first picture.

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Movie.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace swf {

/// Adds an issue to a movie's list; a hostile file can produce one per tag and a few hundred
/// tell the whole story.
void noteIssue(std::vector<Diagnostic>& diagnostics, Issue issue, std::uint16_t code,
               std::size_t offset);

/// The issues a tag reader left in `ctx` and `body` after reading one tag.
void noteReadIssues(std::vector<Diagnostic>& diagnostics, const ReadContext& ctx,
                    const ByteReader& body, std::uint16_t code, std::size_t tagOffset);

/// Whether tags of this code wait in DeferredShapes rather than being read while loading.
bool isDeferredShapeTag(std::uint16_t code);

/// Reads a DefineShape 1-4 or DefineMorphShape 1-2 body.
Definition readShapeTag(std::uint16_t code, ByteReader& body, ReadContext& ctx);

class DeferredShapes {
  public:
    bool contains(std::uint16_t id) const { return byId_.count(id) != 0; }
    bool empty() const { return tags_.empty(); }

    /// Keeps a tag whose body starts with the character id `id`; the caller has made sure no
    /// other definition holds that id.
    void add(std::uint16_t id, std::uint16_t code, std::size_t tagOffset,
             std::span<const std::uint8_t> body);

    /// The budgets the reads share: what the load left of the movie's record budget.
    void setContext(const ReadContext& ctx) { ctx_ = ctx; }

    /// Reads the waiting shape `id` into `dictionary`; null when none waits under that id.
    const Definition* read(std::uint16_t id, std::map<std::uint16_t, Definition>& dictionary,
                           std::vector<Diagnostic>& diagnostics);

    /// Reads every shape still waiting, in file order (the order the budgets were spent in
    /// before shapes were deferred).
    void readAll(std::map<std::uint16_t, Definition>& dictionary,
                 std::vector<Diagnostic>& diagnostics);

  private:
    struct Tag {
        std::uint16_t id = 0;
        std::uint16_t code = 0;
        std::uint32_t offset = 0; ///< Of the tag header in the decompressed file.
        std::span<const std::uint8_t> body;
    };

    void readTag(const Tag& tag, std::map<std::uint16_t, Definition>& dictionary,
                 std::vector<Diagnostic>& diagnostics);

    ReadContext ctx_;
    std::vector<Tag> tags_; ///< File order; a tag's body is cleared once it is read.
    std::unordered_map<std::uint16_t, std::size_t> byId_;
};

} // namespace swf
