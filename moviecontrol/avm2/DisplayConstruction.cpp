// The display objects the timeline makes, as the player's runner drives them: their script
// objects made and bound as Flash makes them (children constructed in their container's
// constructor, the container's instance slot set once the child's constructor returned),
// the added events of each, frame scripts, and what a timeline removal leaves behind.
#include "avm2/DisplayClasses.h"

#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"

namespace avm2 {

namespace {

// Where a removed display object keeps its name, beside its other kept settings.
constexpr char kDetachedName[] = "detachedName";
// Set while the constructor of a timeline object runs.
constexpr char kConstructing[] = "constructing";

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

Class* classForNode(Machine& m, DisplayHost& h, NodeId node) {
    const std::string symbol = h.symbolClass(node);
    if (!symbol.empty()) {
        // The class as the node's own movie names it: a loaded movie's class of the same
        // name as its loader's is not the loader's.
        Class* c = m.symbolClassIn(h.symbolDomain(node), symbol);
        if (c == nullptr) {
            // A class no script defines by that name, made all the same: by its full name.
            const std::size_t dot = symbol.rfind('.');
            c = m.findClass(dot == std::string::npos
                                ? symbol
                                : symbol.substr(0, dot) + "::" + symbol.substr(dot + 1));
        }
        if (c != nullptr && c->isSubclassOf(m.findClass("flash.display::DisplayObject"))) {
            return c;
        }
    }
    const char* name = "flash.display::DisplayObject";
    switch (h.kindOf(node)) {
    case NodeKind::MovieClip:
        name = "flash.display::MovieClip";
        break;
    case NodeKind::Sprite:
        name = "flash.display::Sprite";
        break;
    case NodeKind::Shape:
        name = "flash.display::Shape";
        break;
    case NodeKind::Button:
        name = "flash.display::SimpleButton";
        break;
    case NodeKind::Bitmap:
        name = "flash.display::Bitmap";
        break;
    case NodeKind::Text:
        name = "flash.text::TextField";
        break;
    case NodeKind::StaticText:
        name = "flash.text::StaticText";
        break;
    case NodeKind::MorphShape:
        name = "flash.display::MorphShape";
        break;
    case NodeKind::Video:
        name = "flash.media::Video";
        break;
    case NodeKind::Other:
        break;
    }
    Class* c = m.findClass(name);
    return c != nullptr ? c : m.findClass("flash.display::DisplayObject");
}

// A class that declares the child's name gets its variable set; a dynamic one (a plain
// MovieClip) gets a property of that name.
void setInstanceSlot(Machine& m, DisplayHost& h, Object* o) {
    const NodeId node = o->displayNode;
    const NodeId parent = h.parentOf(node);
    Object* parentObject = parent != 0 ? h.scriptObject(parent) : nullptr;
    const std::string name = h.nameOf(node);
    if (parentObject != nullptr && !name.empty() && h.scriptObject(node) == o &&
        ((parentObject->traits != nullptr &&
          parentObject->traits->find(Name::publicName(name)) != nullptr) ||
         parentObject->dynamic)) {
        try {
            m.setProperty(Value::object(parentObject), Name::publicName(name), Value::object(o));
        } catch (const ScriptThrow& t) {
            m.printUncaught(t.value);
        }
    }
}

} // namespace

Object* scriptObjectOf(Machine& m, NodeId node) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || node == 0) {
        return nullptr;
    }
    if (Object* existing = h->scriptObject(node)) {
        return existing;
    }
    Class* cls =
        node == h->stageNode() ? m.findClass("flash.display::Stage") : classForNode(m, *h, node);
    if (cls == nullptr) {
        return nullptr;
    }
    Object* o = m.instantiate(cls);
    o->displayNode = node;
    h->bindScriptObject(node, o);
    if (node == h->stageNode()) {
        return o;
    }
    keepSpriteSymbolStill(m, *h, node, cls);
    // A button is in its parent's slot and has its states before its constructor runs;
    // one whose up state holds a MovieClip plays a frame of the movie first (movies from
    // version 10).
    const bool button = h->kindOf(node) == NodeKind::Button;
    if (button) {
        setInstanceSlot(m, *h, o);
        try {
            if (buildTimelineButton(m, o) && h->movieVersion() > 9 && h->scriptObject(node) == o) {
                h->nestedButtonFrame();
            }
        } catch (const ScriptThrow& t) {
            m.printUncaught(t.value);
        }
    }
    Args none;
    setHiddenField(o, kConstructing, Value::boolean(true));
    try {
        m.constructSuper(cls, Value::object(o), none);
    } catch (const ScriptThrow& t) {
        m.printUncaught(t.value);
    }
    setHiddenField(o, kConstructing, Value::boolean(false));
    // Any other child is in the parent's instance-name slot once its constructor has
    // returned: a constructor reads its own name in the parent as null, a later sibling's
    // finds it set.
    if (!button) {
        setInstanceSlot(m, *h, o);
    }
    return o;
}

void keepSpriteSymbolStill(Machine& m, DisplayHost& h, NodeId node, const Class* cls) {
    if (node != h.rootNode() && h.kindOf(node) == NodeKind::MovieClip &&
        !cls->isSubclassOf(m.findClass("flash.display::MovieClip"))) {
        h.setPlaying(node, false);
    }
}

void constructChildren(Machine& m, NodeId node) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || node == 0) {
        return;
    }
    // A constructor may change the list: after each, go on by what is there now.
    std::vector<NodeId> children = h->children(node);
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (h->scriptObject(children[i]) != nullptr) {
            continue;
        }
        if (Object* o = scriptObjectOf(m, children[i])) {
            sendAddedEvents(m, o);
        }
        children = h->children(node);
    }
}

void sendAddedEvents(Machine& m, Object* object) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || object == nullptr) {
        return;
    }
    try {
        dispatchEvent(m, object, newEvent(m, "added", true));
        // The object alone: its timeline children heard theirs as they were made, and what
        // its constructor added heard it then, the object being on the stage already.
        if (h->onStage(object->displayNode) && hasListener(object, "addedToStage")) {
            dispatchEvent(m, object, newEvent(m, "addedToStage"));
        }
    } catch (const ScriptThrow& t) {
        m.printUncaught(t.value);
    }
}

void keepDetachedName(Object* object, const std::string& name) {
    setHiddenField(object, kDetachedName, Value::string(name));
}

std::string detachedName(const Object* object) {
    const Value name = hiddenField(object, kDetachedName);
    return name.isString() ? name.asString() : std::string();
}

void clearInstanceSlot(Machine& m, Object* container, const std::string& name) {
    if (container == nullptr || name.empty()) {
        return;
    }
    const Name slot = Name::publicName(name);
    if (!container->dynamic &&
        (container->traits == nullptr || container->traits->find(slot) == nullptr)) {
        return;
    }
    try {
        const Value held = m.getProperty(Value::object(container), slot);
        if (!held.isNullish()) {
            m.setProperty(Value::object(container), slot, Value::null());
        }
    } catch (const ScriptThrow&) {
        // Flash drops what the slot's accessors throw here.
    }
}

bool underConstruction(const Object* object) {
    const Value v = object != nullptr ? hiddenField(object, kConstructing) : Value();
    return v.isBoolean() && v.asBoolean();
}

bool hasFrameScript(const Object* object, std::uint32_t frame) {
    if (object == nullptr) {
        return false;
    }
    for (const auto& [key, fn] : object->entries) {
        if (key.isInt() && static_cast<std::uint32_t>(key.asInt()) == frame) {
            return fn.isObject() && fn.asObject()->kind == Object::Kind::Function;
        }
    }
    return false;
}

void runFrameScriptOf(Machine& m, Object* object, std::uint32_t frame) {
    if (object == nullptr) {
        return;
    }
    for (const auto& [key, fn] : object->entries) {
        if (key.isInt() && static_cast<std::uint32_t>(key.asInt()) == frame) {
            const Value f = fn;
            // Anything but a function registered for a frame is passed over, as Flash does.
            if (!f.isObject() || f.asObject()->kind != Object::Kind::Function) {
                return;
            }
            try {
                Args none;
                m.call(f, Value::object(object), none);
            } catch (const ScriptThrow& t) {
                m.printUncaught(t.value);
            }
            return;
        }
    }
}

} // namespace avm2
