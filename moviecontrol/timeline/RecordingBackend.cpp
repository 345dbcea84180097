#include "RecordingBackend.h"

namespace mc {

void RecordingBackend::beginFrame(Rgba background) {
    entries_.clear();
    background_ = background;
}

void RecordingBackend::draw(const DrawCharacter& command) {
    Entry e;
    e.op = Op::Draw;
    e.draw = command;
    entries_.push_back(std::move(e));
}

void RecordingBackend::beginGroup(const GroupStyle& style) {
    Entry e;
    e.op = Op::BeginGroup;
    e.group = style;
    entries_.push_back(std::move(e));
}

void RecordingBackend::endGroup() {
    entries_.push_back({Op::EndGroup, {}, {}});
}

void RecordingBackend::beginMask() {
    entries_.push_back({Op::BeginMask, {}, {}});
}

void RecordingBackend::useMask() {
    entries_.push_back({Op::UseMask, {}, {}});
}

void RecordingBackend::endMask() {
    entries_.push_back({Op::EndMask, {}, {}});
}

void RecordingBackend::endFrame() {
    ++framesEnded_;
}

std::vector<std::uint16_t> RecordingBackend::drawnIds() const {
    std::vector<std::uint16_t> ids;
    for (const Entry& e : entries_) {
        if (e.op == Op::Draw) {
            ids.push_back(e.draw.characterId);
        }
    }
    return ids;
}

std::string RecordingBackend::outline() const {
    std::string s;
    for (const Entry& e : entries_) {
        switch (e.op) {
        case Op::Draw:
            s += 'D';
            break;
        case Op::BeginGroup:
            s += 'G';
            break;
        case Op::EndGroup:
            s += 'g';
            break;
        case Op::BeginMask:
            s += 'M';
            break;
        case Op::UseMask:
            s += 'U';
            break;
        case Op::EndMask:
            s += 'm';
            break;
        }
    }
    return s;
}

} // namespace mc
