#include "DeferredDefinitions.h"

#include "TagHeader.h"
#include "swf/TagCodes.h"

namespace swf {

void noteIssue(std::vector<Diagnostic>& diagnostics, Issue issue, std::uint16_t code,
               std::size_t offset) {
    if (diagnostics.size() < 256) {
        diagnostics.push_back({issue, code, static_cast<std::uint32_t>(offset)});
    }
}

void noteReadIssues(std::vector<Diagnostic>& diagnostics, const ReadContext& ctx,
                    const ByteReader& body, std::uint16_t code, std::size_t tagOffset) {
    if (ctx.invalid) {
        noteIssue(diagnostics, Issue::InvalidRecord, code, tagOffset);
    } else if (body.failed()) {
        noteIssue(diagnostics, Issue::RecordOverrun, code, tagOffset);
    }
    if (ctx.limitHit) {
        noteIssue(diagnostics, Issue::WorkLimitReached, code, tagOffset);
    }
}

bool isDeferredShapeTag(std::uint16_t code) {
    return code == tag::DefineShape || code == tag::DefineShape2 || code == tag::DefineShape3 ||
           code == tag::DefineShape4 || code == tag::DefineMorphShape ||
           code == tag::DefineMorphShape2;
}

namespace {

bool changesTheMovie(std::uint16_t code) {
    switch (code) {
    case tag::VideoFrame:
    case tag::ImportAssets:
    case tag::ImportAssets2:
    case tag::FileAttributes:
    case tag::DefineSound:
    case tag::DefineButtonSound:
    case tag::ExportAssets:
    case tag::SymbolClass:
        return true;
    default:
        return false;
    }
}

} // namespace

bool isSoundControlTag(std::uint16_t code) {
    return code == tag::StartSound || code == tag::StartSound2 || code == tag::SoundStreamHead ||
           code == tag::SoundStreamHead2 || code == tag::SoundStreamBlock;
}

SpriteScan scanSprite(std::span<const std::uint8_t> tags, std::size_t maxTags) {
    SpriteScan scan;
    ByteReader r(tags);
    std::size_t count = 0;
    while (!r.atEnd() && ++count <= maxTags) {
        const auto [code, length] = readTagHeader(r);
        if (r.failed() || code == tag::End) {
            break;
        }
        const auto body = r.bytes(std::min(length, r.remaining()));
        const bool clipEvents = (code == tag::PlaceObject2 || code == tag::PlaceObject3) &&
                                !body.empty() && (body[0] & 0x80) != 0;
        if (changesTheMovie(code) || clipEvents) {
            scan.mayWait = false;
            break;
        }
        scan.scripts = scan.scripts || code == tag::DoAction || code == tag::DoInitAction;
        scan.sound = scan.sound || isSoundControlTag(code);
    }
    return scan;
}

void DeferredDefinitions::add(const Tag& tag) {
    byId_.emplace(tag.id, tags_.size());
    tags_.push_back(tag);
}

std::optional<DeferredDefinitions::Tag> DeferredDefinitions::take(std::uint16_t id) {
    const auto waiting = byId_.find(id);
    if (waiting == byId_.end()) {
        return std::nullopt;
    }
    Tag tag = tags_[waiting->second];
    byId_.erase(waiting);
    return tag;
}

std::optional<DeferredDefinitions::Tag> DeferredDefinitions::takeFirst() {
    while (next_ < tags_.size()) {
        const Tag& tag = tags_[next_++];
        if (byId_.erase(tag.id) != 0) {
            return tag;
        }
    }
    return std::nullopt;
}

} // namespace swf
