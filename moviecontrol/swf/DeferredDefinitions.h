#pragma once
// Definition tags found while a movie loads and read when first asked for. A large card holds
// thousands of shapes and sprites and its first frame needs a few of them; reading all their
// records up front was most of the time before the first picture.

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Movie.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace swf {

// Adds an issue to a movie's list; a hostile file can produce one per tag and a few hundred
// tell the whole story.
void noteIssue(std::vector<Diagnostic>& diagnostics, Issue issue, std::uint16_t code,
               std::size_t offset);

// The issues a tag reader left in `ctx` and `body` after reading one tag.
void noteReadIssues(std::vector<Diagnostic>& diagnostics, const ReadContext& ctx,
                    const ByteReader& body, std::uint16_t code, std::size_t tagOffset);

// The sound tags frames keep undecoded, for the sound layer.
bool isSoundControlTag(std::uint16_t code);

// Whether a shape or morph-shape tag of this code may wait until it is asked for.
bool isDeferredShapeTag(std::uint16_t code);

// What a sprite's tag headers tell without reading its records.
struct SpriteScan {
    // False when a tag inside changes the movie as a whole (exports, sounds, imports, video
    // frames) or carries clip events: such a sprite is read while loading, as before.
    bool mayWait = true;
    bool scripts = false; // DoAction or DoInitAction among the tags read.
    bool sound = false;   // Sound control tags among the tags read.
};

// Walks the tags of a sprite's stream (after its id and frame count) as the loader would
// read them, stopping where it would stop.
SpriteScan scanSprite(std::span<const std::uint8_t> tags, std::size_t maxTags);

// The index of tags waiting to be read, by character id.
class DeferredDefinitions {
  public:
    struct Tag {
        std::uint16_t id = 0;
        std::uint16_t code = 0;
        std::uint32_t offset = 0;     // Of the tag header in the decompressed file.
        std::uint32_t bodyOffset = 0; // Of the body.
        std::span<const std::uint8_t> body;
    };

    bool contains(std::uint16_t id) const { return byId_.count(id) != 0; }

    // Keeps a tag whose body starts with the character id `tag.id`; the caller has made sure
    // no other definition holds that id.
    void add(const Tag& tag);

    // Takes the tag waiting under `id` out of the index.
    std::optional<Tag> take(std::uint16_t id);

    // Takes the first waiting tag in file order (the order the budgets were spent in when
    // everything was read at once).
    std::optional<Tag> takeFirst();

  private:
    std::vector<Tag> tags_; // File order.
    std::size_t next_ = 0;  // Tags before this one were all taken.
    std::unordered_map<std::uint16_t, std::size_t> byId_;
};

class MovieReader;

// Reads the tag waiting under `id` into the movie's dictionary; null when none waits.
const Definition* readDeferred(MovieReader& loader, std::uint16_t id);
// Reads every tag still waiting.
void readAllDeferred(MovieReader& loader);

} // namespace swf
