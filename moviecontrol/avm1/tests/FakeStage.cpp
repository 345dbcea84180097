#include "FakeStage.h"

#include "avm1/Str.h"

namespace avm1test {

using avm1::Machine;
using avm1::Object;
using avm1::Str;
using avm1::Value;

bool FakeClip::getVirtual(Machine& m, const Str& n, Value& out) {
    if (n.view() == "_x") {
        out = Value(x);
        return true;
    }
    if (n.view() == "_name") {
        out = Value(Str(name));
        return true;
    }
    if (n.view() == "_currentframe") {
        out = Value(static_cast<double>(frame + 1));
        return true;
    }
    for (FakeClip* c : children) {
        if (m.caseSensitive() ? c->name == n.view() : avm1::equalsFolded(c->name, n.view())) {
            out = Value(static_cast<Object*>(c));
            return true;
        }
    }
    return false;
}

bool FakeClip::hasVirtual(Machine& m, const Str& n) {
    Value ignored;
    return getVirtual(m, n, ignored);
}

bool FakeClip::setVirtual(Machine& m, const Str& n, const Value& v) {
    if (n.view() == "_x") {
        x = m.toNumber(v);
        return true;
    }
    return false;
}

FakeStage::FakeStage(int version, avm1::Limits limits) : vm(*this, version, limits) {
    rootClip = vm.make<FakeClip>(vm.prototypeOf("Object"), "_level0", nullptr);
}

FakeClip* FakeStage::addClip(FakeClip* parent, const std::string& name) {
    auto* c = vm.make<FakeClip>(vm.prototypeOf("Object"), name, parent);
    parent->children.push_back(c);
    return c;
}

std::vector<std::string> FakeStage::run(const std::vector<std::uint8_t>& bytes, FakeClip* clip) {
    vm.beginFrame();
    vm.runBlock(std::span<const std::uint8_t>(bytes), clip ? clip : rootClip);
    return takeLines();
}

std::vector<std::string> FakeStage::takeLines() {
    std::vector<std::string> out;
    out.swap(lines);
    return out;
}

Object* FakeStage::parent(Object* clip) {
    return asClip(clip)->parent;
}

Object* FakeStage::child(Object* clip, std::string_view name, bool caseSensitive) {
    for (FakeClip* c : asClip(clip)->children) {
        if (caseSensitive ? c->name == name : avm1::equalsFolded(c->name, name)) {
            return c;
        }
    }
    return nullptr;
}

std::string FakeStage::dotPath(Object* clip) {
    FakeClip* c = asClip(clip);
    if (!c->parent) {
        return c->name;
    }
    return dotPath(c->parent) + "." + c->name;
}

std::string FakeStage::slashPath(Object* clip) {
    FakeClip* c = asClip(clip);
    if (!c->parent) {
        return "/";
    }
    std::string parentPath = slashPath(c->parent);
    return (parentPath == "/" ? "" : parentPath) + "/" + c->name;
}

void FakeStage::gotoFrame(Object* clip, std::uint32_t frame, bool play) {
    FakeClip* c = asClip(clip);
    c->frame = std::min(frame, c->totalFrames - 1);
    c->playing = play;
}

bool FakeStage::gotoLabel(Object* clip, std::string_view label, bool play) {
    auto f = frameOfLabel(clip, label);
    if (!f) {
        return false;
    }
    gotoFrame(clip, *f, play);
    return true;
}

void FakeStage::nextFrame(Object* clip) {
    FakeClip* c = asClip(clip);
    if (c->frame + 1 < c->totalFrames) {
        ++c->frame;
    }
    c->playing = false;
}

void FakeStage::prevFrame(Object* clip) {
    FakeClip* c = asClip(clip);
    if (c->frame > 0) {
        --c->frame;
    }
    c->playing = false;
}

std::optional<std::uint32_t> FakeStage::frameOfLabel(Object* clip, std::string_view label) {
    for (auto& [name, frame] : asClip(clip)->labels) {
        if (avm1::equalsFolded(name, label)) {
            return frame;
        }
    }
    return std::nullopt;
}

void FakeStage::callFrame(Object* clip, std::uint32_t frame) {
    auto it = frameScripts.find(frame);
    if (it != frameScripts.end()) {
        vm.runBlock(std::span<const std::uint8_t>(it->second), clip);
    }
}

void FakeStage::cloneSprite(Object* clip, std::string_view name, int) {
    FakeClip* c = asClip(clip);
    if (c->parent) {
        addClip(c->parent, std::string(name));
    }
}

void FakeStage::removeSprite(Object* clip) {
    FakeClip* c = asClip(clip);
    if (!c->parent) {
        return;
    }
    std::erase(c->parent->children, c);
    c->parent = nullptr;
}

} // namespace avm1test
