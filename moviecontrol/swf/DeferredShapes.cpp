#include "DeferredShapes.h"

#include "ShapeReaders.h"
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

Definition readShapeTag(std::uint16_t code, ByteReader& body, ReadContext& ctx) {
    switch (code) {
    case tag::DefineMorphShape:
        return readDefineMorphShape(body, ctx, 1);
    case tag::DefineMorphShape2:
        return readDefineMorphShape(body, ctx, 2);
    case tag::DefineShape2:
        return readDefineShape(body, ctx, 2);
    case tag::DefineShape3:
        return readDefineShape(body, ctx, 3);
    case tag::DefineShape4:
        return readDefineShape(body, ctx, 4);
    default:
        return readDefineShape(body, ctx, 1);
    }
}

void DeferredShapes::add(std::uint16_t id, std::uint16_t code, std::size_t tagOffset,
                         std::span<const std::uint8_t> body) {
    byId_.emplace(id, tags_.size());
    tags_.push_back({id, code, static_cast<std::uint32_t>(tagOffset), body});
}

void DeferredShapes::readTag(const Tag& tag, std::map<std::uint16_t, Definition>& dictionary,
                             std::vector<Diagnostic>& diagnostics) {
    ctx_.invalid = false;
    ctx_.limitHit = false;
    ByteReader body(tag.body);
    dictionary.emplace(tag.id, readShapeTag(tag.code, body, ctx_));
    noteReadIssues(diagnostics, ctx_, body, tag.code, tag.offset);
}

const Definition* DeferredShapes::read(std::uint16_t id,
                                       std::map<std::uint16_t, Definition>& dictionary,
                                       std::vector<Diagnostic>& diagnostics) {
    const auto waiting = byId_.find(id);
    if (waiting == byId_.end()) {
        return nullptr;
    }
    Tag& tag = tags_[waiting->second];
    byId_.erase(waiting);
    readTag(tag, dictionary, diagnostics);
    tag.body = {};
    const auto it = dictionary.find(id);
    return it == dictionary.end() ? nullptr : &it->second;
}

void DeferredShapes::readAll(std::map<std::uint16_t, Definition>& dictionary,
                             std::vector<Diagnostic>& diagnostics) {
    for (Tag& tag : tags_) {
        if (byId_.erase(tag.id) != 0) {
            readTag(tag, dictionary, diagnostics);
        }
    }
    tags_.clear();
}

} // namespace swf
