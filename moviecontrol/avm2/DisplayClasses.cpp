// flash.display: DisplayObject and its family as views of the player's display tree
// (through DisplayHost), the container operations with their errors and events, MovieClip's
// frame scripts and Graphics' drawing API (its timeline control: TimelineClasses.cpp). Without a
// display host the classes exist so that scripts may extend them, and their objects stand alone.
#include "avm2/DisplayClasses.h"
#include "avm2/NativeArgs.h"

#include "avm2/BitmapDataValues.h"
#include "avm2/ContextMenus.h"
#include "avm2/EventState.h"
#include "avm2/GraphicsRecord.h"
#include "avm2/HiddenFields.h"
#include "avm2/LoaderClasses.h"
#include "avm2/Machine.h"
#include "avm2/SoundHost.h"
#include "avm2/SpriteDrag.h"
#include "avm2/StageFocus.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace avm2 {

namespace {

// Descendants visited when an event goes to a whole subtree.
constexpr std::size_t kMaxSubtree = 1u << 20;

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

Value objectOrNull(Object* o) {
    return o != nullptr ? Value::object(o) : Value::null();
}

NodeKind kindForClass(Machine& m, Class* cls) {
    const std::pair<const char*, NodeKind> natives[] = {
        {"flash.display::MovieClip", NodeKind::MovieClip},
        {"flash.display::Sprite", NodeKind::Sprite},
        {"flash.display::Shape", NodeKind::Shape},
        {"flash.display::SimpleButton", NodeKind::Button},
        {"flash.display::Bitmap", NodeKind::Bitmap},
        {"flash.text::TextField", NodeKind::Text},
        {"flash.media::Video", NodeKind::Video},
        // Containers of what they load or lay out.
        {"flash.display::Loader", NodeKind::Sprite},
        {"flash.text.engine::TextLine", NodeKind::Sprite},
    };
    for (const auto& [name, kind] : natives) {
        if (Class* c = m.findClass(name); c != nullptr && cls->isSubclassOf(c)) {
            return kind;
        }
    }
    return NodeKind::Other;
}

// --- Events to subtrees ------------------------------------------------------------------

// The node and its descendants, the node first.
std::vector<NodeId> subtree(DisplayHost& h, NodeId node) {
    std::vector<NodeId> out{node};
    for (std::size_t i = 0; i < out.size() && out.size() < kMaxSubtree; ++i) {
        for (const NodeId child : h.children(out[i])) {
            if (out.size() >= kMaxSubtree) {
                break;
            }
            out.push_back(child);
        }
    }
    return out;
}

void sendToSubtree(Machine& m, DisplayHost& h, NodeId node, const std::string& type) {
    for (NodeId n : subtree(h, node)) {
        if (Object* o = h.scriptObject(n); o != nullptr && hasListener(o, type)) {
            dispatchEvent(m, o, newEvent(m, type));
        }
    }
}

void sendRemovedEvents(Machine& m, DisplayHost& h, Object* child) {
    dispatchEvent(m, child, newEvent(m, "removed", true));
    if (h.onStage(child->displayNode)) {
        sendToSubtree(m, h, child->displayNode, "removedFromStage");
        dropFocusWithin(m, h, child->displayNode);
    }
}

// --- DisplayObject -----------------------------------------------------------------------

Value displayInit(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || !self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    if (o->displayNode == 0) {
        // Only the classes that stand for something a script can make may be made: not
        // the abstract ones, static texts nor morph shapes.
        const NodeKind kind = kindForClass(m, o->cls);
        if (kind == NodeKind::Other) {
            m.throwError("ArgumentError", 2012, o->cls->name + "$ class cannot be instantiated.");
        }
        // An instance of a class a SymbolClass tag gave a symbol is made of that symbol.
        NodeId node = 0;
        for (Class* c = o->cls; c != nullptr && c->unit != nullptr && node == 0; c = c->super) {
            node = h->createSymbolNode(c->ns.uri.empty() ? c->name : c->ns.uri + "." + c->name);
        }
        if (node == 0) {
            node = h->createNode(kind);
        }
        if (node == 0) {
            m.host().limitHit("memory");
            throw ScriptAbort{"display objects"};
        }
        o->displayNode = node;
        h->bindScriptObject(node, o);
        keepSpriteSymbolStill(m, *h, node, o->cls);
    }
    constructChildren(m, o->displayNode);
    return Value();
}

template <NodeProperty P> Value getNumber(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::number(P == NodeProperty::ScaleX || P == NodeProperty::ScaleY ||
                                     P == NodeProperty::Alpha
                                 ? 1.0
                                 : 0.0);
    }
    return Value::number(h->number(nodeOf(self), P));
}

constexpr double kAlphaLimit = 1e6;

template <NodeProperty P> Value setNumber(Machine& m, const Value& self, Args& a) {
    DisplayHost* h = hostOf(m);
    double v = m.toNumber(arg(a, 0));
    // A position given as NaN is 0; a scale or rotation keeps the NaN (the host decides what
    // the matrix makes of it); the other properties stay as they were.
    constexpr bool keepsNaN =
        P == NodeProperty::ScaleX || P == NodeProperty::ScaleY || P == NodeProperty::Rotation;
    if constexpr (P == NodeProperty::X || P == NodeProperty::Y) {
        v = std::isnan(v) ? 0.0 : v;
    }
    // A rotation is brought into [-180, 180] by whole turns, a half turn keeping its sign; an
    // infinite one has no remainder and reads NaN.
    if constexpr (P == NodeProperty::Rotation) {
        v = std::fmod(v, 360.0);
        if (v < -180.0) {
            v += 360.0;
        } else if (v > 180.0) {
            v -= 360.0;
        }
    }
    // A size below zero (or NaN) is not taken: the object keeps its size.
    if constexpr (P == NodeProperty::Width || P == NodeProperty::Height) {
        if (!(v >= 0)) {
            return Value();
        }
    }
    // Alpha is kept in 8.8 fixed point: NaN is 0 and the infinities saturate like any value
    // too large for it.
    if constexpr (P == NodeProperty::Alpha) {
        v = std::isnan(v) ? 0.0 : std::clamp(v, -kAlphaLimit, kAlphaLimit);
    }
    if (h != nullptr && nodeOf(self) != 0 && (keepsNaN || !std::isnan(v))) {
        h->setNumber(nodeOf(self), P, v);
    }
    return Value();
}

Value getVisible(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    return Value::boolean(h == nullptr || nodeOf(self) == 0 ||
                          h->number(nodeOf(self), NodeProperty::Visible) != 0);
}

Value setVisible(Machine& m, const Value& self, Args& a) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setNumber(nodeOf(self), NodeProperty::Visible, Machine::toBoolean(arg(a, 0)) ? 1 : 0);
    }
    return Value();
}

Value getName(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0 || nodeOf(self) == h->stageNode()) {
        return Value::null();
    }
    if (!h->alive(nodeOf(self))) {
        return Value::string(detachedName(self.asObject()));
    }
    return Value::string(h->nameOf(nodeOf(self)));
}

Value setName(Machine& m, const Value& self, Args& a) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        const std::string name = arg(a, 0).isNullish() ? std::string() : m.toString(arg(a, 0));
        if (h->alive(nodeOf(self)) && h->placedByTimeline(nodeOf(self))) {
            m.throwError("flash.errors::IllegalOperationError", 2078,
                         "The name property of a Timeline-placed object cannot be modified.");
        }
        if (h->alive(nodeOf(self))) {
            h->setName(nodeOf(self), name);
        } else {
            keepDetachedName(self.asObject(), name);
        }
    }
    return Value();
}

Value getParent(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::null();
    }
    // The state a button shows hangs below it, yet reads no parent.
    const NodeId parent = h->parentOf(nodeOf(self));
    if (parent != 0 && h->kindOf(parent) == NodeKind::Button) {
        return Value::null();
    }
    return objectOrNull(scriptObjectOf(m, parent));
}

Value getStage(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0 || !h->onStage(nodeOf(self))) {
        return Value::null();
    }
    return objectOrNull(scriptObjectOf(m, h->stageNode()));
}

Value getRoot(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::null();
    }
    if (nodeOf(self) == h->stageNode()) {
        return Value::object(self.asObject());
    }
    return h->onStage(nodeOf(self)) ? objectOrNull(scriptObjectOf(m, h->rootNode()))
                                    : Value::null();
}

Value getMouse(Machine& m, const Value& self, Args&, bool y) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::number(0);
    }
    return Value::number(h->number(nodeOf(self), y ? NodeProperty::MouseY : NodeProperty::MouseX));
}

Value pointConversion(Machine& m, const Value& self, Args& a, bool inverse) {
    const Value point = arg(a, 0);
    if (point.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter point must be non-null.");
    }
    double x = m.toNumber(m.getProperty(point, Name::publicName("x")));
    double y = m.toNumber(m.getProperty(point, Name::publicName("y")));
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->toGlobal(nodeOf(self), x, y, inverse);
    }
    Class* pointClass = m.findClass("flash.geom::Point");
    Object* out = pointClass != nullptr ? m.instantiate(pointClass) : m.newObject();
    m.setProperty(Value::object(out), Name::publicName("x"), Value::number(x));
    m.setProperty(Value::object(out), Name::publicName("y"), Value::number(y));
    return Value::object(out);
}

// getBounds and getRect: the box in the space of the object given (its own space when none).
template <bool Strokes> Value boundsIn(Machine& m, const Value& self, Args& a) {
    DisplayHost* h = hostOf(m);
    DisplayHost::Box box;
    if (h != nullptr && nodeOf(self) != 0) {
        const NodeId space = nodeOf(arg(a, 0));
        box = h->bounds(nodeOf(self), space == 0 ? nodeOf(self) : space, Strokes);
    }
    Class* rectangle = m.findClass("flash.geom::Rectangle");
    Value out = Value::object(rectangle != nullptr ? m.instantiate(rectangle) : m.newObject());
    m.setProperty(out, Name::publicName("x"), Value::number(box.xMin));
    m.setProperty(out, Name::publicName("y"), Value::number(box.yMin));
    // The box's sides lie on whole twips: its size is their difference in twips.
    const auto extent = [](double from, double to) {
        const double twips = std::nearbyint(to * 20.0) - std::nearbyint(from * 20.0);
        return std::isfinite(twips) ? twips / 20.0 : to - from;
    };
    m.setProperty(out, Name::publicName("width"), Value::number(extent(box.xMin, box.xMax)));
    m.setProperty(out, Name::publicName("height"), Value::number(extent(box.yMin, box.yMax)));
    return out;
}

// Whether the two objects' boxes on the stage overlap.
Value hitTestObject(Machine& m, const Value& self, Args& a) {
    const Value other = arg(a, 0);
    if (other.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter obj must be non-null.");
    }
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0 || nodeOf(other) == 0) {
        return Value::boolean(false);
    }
    const DisplayHost::Box p = h->bounds(nodeOf(self), h->stageNode(), true);
    const DisplayHost::Box q = h->bounds(nodeOf(other), h->stageNode(), true);
    const bool pEmpty = !(p.xMax > p.xMin && p.yMax > p.yMin);
    const bool qEmpty = !(q.xMax > q.xMin && q.yMax > q.yMin);
    // Boxes that only touch along an edge count as meeting.
    return Value::boolean(!pEmpty && !qEmpty && p.xMin <= q.xMax && q.xMin <= p.xMax &&
                          p.yMin <= q.yMax && q.yMin <= p.yMax);
}

Value hitTestPoint(Machine& m, const Value& self, Args& a) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::boolean(false);
    }
    return Value::boolean(h->hitTestPoint(nodeOf(self), m.toNumber(arg(a, 0)),
                                          m.toNumber(arg(a, 1)), Machine::toBoolean(arg(a, 2))));
}

// --- DisplayObjectContainer ----------------------------------------------------------------

DisplayHost& requireHost(Machine& m) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr) {
        m.throwError("Error", 2037,
                     "Functions called in incorrect sequence, or earlier call was "
                     "unsuccessful.");
    }
    return *h;
}

Object* childArgument(Machine& m, const Value& v) {
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter child must be non-null.");
    }
    if (!v.isObject() || v.asObject()->displayNode == 0) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(v) +
                         " to flash.display.DisplayObject.");
    }
    return v.asObject();
}

// A child index is declared int: NaN and the infinities are 0 and fractions drop before the
// range is checked.
double childIndex(Machine& m, const Value& v) {
    return static_cast<double>(toInt32(m.toNumber(v)));
}

std::size_t indexArgument(Machine& m, const Value& v, std::size_t limit) {
    const double d = childIndex(m, v);
    if (!(d >= 0) || d > static_cast<double>(limit)) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    return static_cast<std::size_t>(d);
}

std::size_t indexOfChild(Machine& m, DisplayHost& h, NodeId parent, NodeId child) {
    const std::size_t count = h.childCount(parent);
    for (std::size_t i = 0; i < count; ++i) {
        if (h.childAt(parent, i) == child) {
            return i;
        }
    }
    m.throwError("ArgumentError", 2025,
                 "The supplied DisplayObject must be a child of the caller.");
}

Value addChildAtIndex(Machine& m, const Value& self, Object* child, std::size_t index) {
    DisplayHost& h = requireHost(m);
    const NodeId parent = nodeOf(self);
    const NodeId node = child->displayNode;
    if (node == parent) {
        m.throwError("ArgumentError", 2024, "An object cannot be added as a child of itself.");
    }
    for (NodeId up = h.parentOf(parent); up != 0; up = h.parentOf(up)) {
        if (up == node) {
            m.throwError("ArgumentError", 2150,
                         "An object cannot be added as a child to one of it's children "
                         "(or children's children, etc.).");
        }
    }
    const NodeId oldParent = h.parentOf(node);
    bool wasOnStage = h.onStage(node);
    if (oldParent != 0 && oldParent != parent) {
        // Taken from another container: it leaves the stage there and comes back here.
        sendRemovedEvents(m, h, child);
        wasOnStage = false;
    }
    if (oldParent == parent && index > 0 && index >= h.childCount(parent)) {
        index = h.childCount(parent) - 1;
    }
    if (!h.insertChild(parent, node, index)) {
        return Value::object(child);
    }
    // A child moved within its container only changes its place: no events.
    if (oldParent == parent) {
        return Value::object(child);
    }
    dispatchEvent(m, child, newEvent(m, "added", true));
    if (!wasOnStage && h.onStage(node)) {
        sendToSubtree(m, h, node, "addedToStage");
    }
    return Value::object(child);
}

Value addChild(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    return addChildAtIndex(m, self, child, h.childCount(nodeOf(self)));
}

Value addChildAt(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    return addChildAtIndex(m, self, child, indexArgument(m, arg(a, 1), h.childCount(nodeOf(self))));
}

Value removeChildObject(Machine& m, DisplayHost& h, Object* child) {
    sendRemovedEvents(m, h, child);
    h.detach(child->displayNode);
    return Value::object(child);
}

Value removeChild(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    if (h.parentOf(child->displayNode) != nodeOf(self)) {
        m.throwError("ArgumentError", 2025,
                     "The supplied DisplayObject must be a child of the caller.");
    }
    return removeChildObject(m, h, child);
}

Object* childObjectAt(Machine& m, DisplayHost& h, NodeId parent, const Value& index) {
    const std::size_t count = h.childCount(parent);
    const double d = childIndex(m, index);
    if (count == 0 || !(d >= 0) || d >= static_cast<double>(count)) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    // A timeline child whose object is not made yet (its container's constructor has not
    // reached it) reads as null.
    return h.scriptObject(h.childAt(parent, static_cast<std::size_t>(d)));
}

Value removeChildAt(Machine& m, const Value& self, Args& a) {
    DisplayHost& h = requireHost(m);
    Object* child = childObjectAt(m, h, nodeOf(self), arg(a, 0));
    if (child == nullptr) {
        h.detach(h.childAt(nodeOf(self), static_cast<std::size_t>(childIndex(m, arg(a, 0)))));
        return Value::null();
    }
    return removeChildObject(m, h, child);
}

Value removeChildren(Machine& m, const Value& self, Args& a) {
    DisplayHost& h = requireHost(m);
    const NodeId parent = nodeOf(self);
    const std::size_t count = h.childCount(parent);
    constexpr double kToEnd = std::numeric_limits<std::int32_t>::max();
    const double begin = a.empty() ? 0 : childIndex(m, a[0]);
    const double end = a.size() < 2 ? kToEnd : childIndex(m, a[1]);
    const auto size = static_cast<double>(count);
    // The default end (the largest int) means "to the last child" and checks neither index:
    // a start past the children removes none.
    if (end == kToEnd) {
        if (!(begin >= 0) || begin >= size) {
            return Value();
        }
    } else if (!(begin >= 0) || begin >= size || !(end >= 0) || end >= size || begin > end) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    const double last = std::min(end, size - 1);
    const auto first = static_cast<std::size_t>(begin);
    for (auto n = static_cast<std::size_t>(last - begin) + 1; n > 0; --n) {
        if (first >= h.childCount(parent)) {
            break;
        }
        if (Object* child = scriptObjectOf(m, h.childAt(parent, first))) {
            removeChildObject(m, h, child);
        } else {
            h.detach(h.childAt(parent, first));
        }
    }
    return Value();
}

Value getChildAt(Machine& m, const Value& self, Args& a) {
    DisplayHost& h = requireHost(m);
    return objectOrNull(childObjectAt(m, h, nodeOf(self), arg(a, 0)));
}

Value getChildIndex(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    return Value::integer(
        static_cast<std::int32_t>(indexOfChild(m, h, nodeOf(self), child->displayNode)));
}

Value getChildByName(Machine& m, const Value& self, Args& a) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr) {
        return Value::null();
    }
    const std::string name = m.toString(arg(a, 0));
    for (const NodeId child : h->children(nodeOf(self))) {
        if (h->nameOf(child) == name) {
            return objectOrNull(h->scriptObject(child));
        }
    }
    return Value::null();
}

// getObjectsUnderPoint(point): the objects inside the container whose own content lies
// under the stage point, as painted, bottom first; containers count by what they draw
// themselves.
Value objectsUnderPoint(Machine& m, const Value& self, Args& a) {
    const Value point = arg(a, 0);
    if (point.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter point must be non-null.");
    }
    const double x = m.toNumber(m.getProperty(point, Name::publicName("x")));
    const double y = m.toNumber(m.getProperty(point, Name::publicName("y")));
    std::vector<Value> found;
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        for (const NodeId node : h->objectsUnderPoint(nodeOf(self), x, y)) {
            if (Object* o = h->scriptObject(node)) {
                found.push_back(Value::object(o));
            }
        }
    }
    return Value::object(m.newArray(std::move(found)));
}

// Every object a movie holds is its own or shared with it: none is out of its reach.
Value inaccessibleUnderPoint(Machine& m, const Value&, Args& a) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter point must be non-null.");
    }
    return Value::boolean(false);
}

Value setChildIndex(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    const NodeId parent = nodeOf(self);
    indexOfChild(m, h, parent, child->displayNode);
    const std::size_t count = h.childCount(parent);
    const std::size_t index = indexArgument(m, arg(a, 1), count == 0 ? 0 : count - 1);
    h.insertChild(parent, child->displayNode, index);
    return Value();
}

void swapAt(DisplayHost& h, NodeId parent, std::size_t i, std::size_t j) {
    if (i == j) {
        return;
    }
    const std::size_t lo = std::min(i, j);
    const std::size_t hi = std::max(i, j);
    const NodeId low = h.childAt(parent, lo);
    const NodeId high = h.childAt(parent, hi);
    h.insertChild(parent, high, lo);
    h.insertChild(parent, low, hi);
}

Value swapChildren(Machine& m, const Value& self, Args& a) {
    Object* first = childArgument(m, arg(a, 0));
    Object* second = childArgument(m, arg(a, 1));
    DisplayHost& h = requireHost(m);
    const NodeId parent = nodeOf(self);
    swapAt(h, parent, indexOfChild(m, h, parent, first->displayNode),
           indexOfChild(m, h, parent, second->displayNode));
    return Value();
}

Value swapChildrenAt(Machine& m, const Value& self, Args& a) {
    DisplayHost& h = requireHost(m);
    const NodeId parent = nodeOf(self);
    const std::size_t count = h.childCount(parent);
    if (count == 0) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    swapAt(h, parent, indexArgument(m, arg(a, 0), count - 1),
           indexArgument(m, arg(a, 1), count - 1));
    return Value();
}

Value contains(Machine& m, const Value& self, Args& a) {
    Object* child = childArgument(m, arg(a, 0));
    DisplayHost& h = requireHost(m);
    std::size_t steps = 0;
    for (NodeId n = child->displayNode; n != 0 && steps < kMaxSubtree; n = h.parentOf(n), ++steps) {
        if (n == nodeOf(self)) {
            return Value::boolean(true);
        }
    }
    return Value::boolean(false);
}

Value numChildren(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    return Value::integer(h == nullptr ? 0
                                       : static_cast<std::int32_t>(h->childCount(nodeOf(self))));
}

// --- MovieClip -----------------------------------------------------------------------------

Value addFrameScript(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    for (std::size_t i = 0; i + 1 < a.size(); i += 2) {
        const double frame = m.toNumber(a[i]);
        if (!(frame >= 0 && frame < 65536)) {
            continue;
        }
        const std::int32_t key = static_cast<std::int32_t>(frame);
        bool replaced = false;
        for (auto& [k, fn] : o->entries) {
            if (k.isInt() && k.asInt() == key) {
                fn = a[i + 1];
                replaced = true;
            }
        }
        if (!replaced && !a[i + 1].isNullish()) {
            o->entries.emplace_back(Value::integer(key), a[i + 1]);
        }
    }
    return Value();
}

// --- Sprite, Graphics, Stage ---------------------------------------------------------------

Value spriteGraphics(Machine& m, const Value& self, Args&) {
    Value existing = hiddenField(self, "graphics", Value());
    if (existing.isObject()) {
        return existing;
    }
    Class* cls = m.findClass("flash.display::Graphics");
    Object* g = m.instantiate(cls);
    g->displayNode = nodeOf(self);
    setHiddenField(self, "graphics", Value::object(g));
    return Value::object(g);
}

void draw(Machine& m, const Value& self, const GraphicsOp& op) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        recordGraphics(m, self, op);
        h->graphics(nodeOf(self), op);
    }
}

double num(Machine& m, const Args& a, std::size_t i, double fallback = 0) {
    if (i >= a.size() || a[i].isUndefined()) {
        return fallback;
    }
    return m.toNumber(a[i]);
}

std::uint32_t colorArg(Machine& m, const Args& a, std::size_t i) {
    return toUint32(num(m, a, i)) & 0xFFFFFFu;
}

Value gBeginFill(Machine& m, const Value& self, Args& a) {
    GraphicsOp op{GraphicsOp::Kind::BeginFill};
    op.color = colorArg(m, a, 0);
    const double alpha = num(m, a, 1, 1.0);
    op.alpha = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
    draw(m, self, op);
    return Value();
}

std::string word(Machine& m, const Args& a, std::size_t i, const char* fallback) {
    return i < a.size() && !a[i].isNullish() ? m.toString(a[i]) : std::string(fallback);
}

// A gradient stop's number from one of the arrays; not finite counts as 0.
double stopNumber(Machine& m, const Object* list, std::size_t i) {
    const double v = i < list->elements.size() ? m.toNumber(list->elements[i]) : 0.0;
    return std::isfinite(v) ? v : 0.0;
}

// beginGradientFill's and lineGradientStyle's arguments: type, colors, alphas, ratios,
// matrix, spreadMethod, interpolationMethod, focalPointRatio. A stop takes one entry of each
// array; stops past the shortest array, or past the fifteen a shape holds, are left out.
bool gradientArgs(Machine& m, const Args& a, GraphicsGradient& g) {
    const std::string type = word(m, a, 0, "");
    if (type != "linear" && type != "radial") {
        m.throwError("ArgumentError", 2008, "Parameter type must be one of the accepted values.");
    }
    g.radial = type == "radial";
    // The three lists are declared Arrays: anything else is a coercion error.
    const Value colors = m.coerce(arg(a, 1), m.arrayClass);
    const Value alphas = m.coerce(arg(a, 2), m.arrayClass);
    const Value ratios = m.coerce(arg(a, 3), m.arrayClass);
    if (!colors.isObject() || !alphas.isObject() || !ratios.isObject()) {
        return false;
    }
    constexpr std::size_t kMaxStops = 15;
    const std::size_t count =
        std::min({colors.asObject()->elements.size(), alphas.asObject()->elements.size(),
                  ratios.asObject()->elements.size(), kMaxStops});
    for (std::size_t i = 0; i < count; ++i) {
        g.colors.push_back(toUint32(stopNumber(m, colors.asObject(), i)) & 0xFFFFFFu);
        g.alphas.push_back(std::clamp(stopNumber(m, alphas.asObject(), i), 0.0, 1.0));
        g.ratios.push_back(std::clamp(stopNumber(m, ratios.asObject(), i), 0.0, 255.0));
    }
    if (const Value matrix = arg(a, 4); matrix.isObject()) {
        const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
        for (std::size_t i = 0; i < 6; ++i) {
            const double v = m.toNumber(m.getProperty(matrix, Name::publicName(names[i])));
            g.matrix[i] = std::isfinite(v) ? v : 0.0;
        }
    }
    g.spread = word(m, a, 5, "pad");
    g.interpolation = word(m, a, 6, "rgb");
    const double focal = num(m, a, 7, 0.0);
    g.focalPoint = std::isfinite(focal) ? std::clamp(focal, -1.0, 1.0) : 0.0;
    return count > 0;
}

Value gBeginGradientFill(Machine& m, const Value& self, Args& a) {
    GraphicsOp op{GraphicsOp::Kind::GradientFill};
    if (gradientArgs(m, a, op.gradient)) {
        draw(m, self, op);
    } else {
        draw(m, self, GraphicsOp{GraphicsOp::Kind::EndFill});
    }
    return Value();
}

// beginBitmapFill's and lineBitmapStyle's arguments: bitmap, matrix, repeat, smooth.
template <GraphicsOp::Kind K> Value gBitmapFill(Machine& m, const Value& self, Args& a) {
    const Value bitmap = arg(a, 0);
    if (bitmap.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter bitmap must be non-null.");
    }
    GraphicsOp op{K};
    op.bitmap = bitmaps::sharedPixels(m, bitmap);
    if (const Value matrix = arg(a, 1); matrix.isObject()) {
        const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
        for (std::size_t i = 0; i < 6; ++i) {
            const double v = m.toNumber(m.getProperty(matrix, Name::publicName(names[i])));
            op.bitmapMatrix[i] = std::isfinite(v) ? v : 0.0;
        }
    }
    op.repeat = a.size() < 3 || Machine::toBoolean(a[2]);
    op.smooth = a.size() > 3 && Machine::toBoolean(a[3]);
    draw(m, self, op);
    return Value();
}

Value gLineGradientStyle(Machine& m, const Value& self, Args& a) {
    GraphicsOp op{GraphicsOp::Kind::LineGradient};
    if (gradientArgs(m, a, op.gradient)) {
        draw(m, self, op);
    }
    return Value();
}

Value gLineStyle(Machine& m, const Value& self, Args& a) {
    const double width = num(m, a, 0, std::nan(""));
    if (std::isnan(width)) {
        draw(m, self, GraphicsOp{GraphicsOp::Kind::NoLine});
        return Value();
    }
    GraphicsOp op{GraphicsOp::Kind::LineStyle};
    op.a = std::clamp(width, 0.0, 255.0);
    op.color = colorArg(m, a, 1);
    const double alpha = num(m, a, 2, 1.0);
    op.alpha = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
    op.pixelHinting = a.size() > 3 && Machine::toBoolean(a[3]);
    op.scaleMode = word(m, a, 4, "normal");
    op.caps = word(m, a, 5, "round");
    op.joints = word(m, a, 6, "round");
    const double limit = num(m, a, 7, 3.0);
    op.miterLimit = std::isnan(limit) ? 3.0 : std::clamp(limit, 1.0, 255.0);
    draw(m, self, op);
    return Value();
}

template <GraphicsOp::Kind K> Value gPoint(Machine& m, const Value& self, Args& a) {
    GraphicsOp op{K};
    op.a = num(m, a, 0);
    op.b = num(m, a, 1);
    op.c = num(m, a, 2);
    op.d = num(m, a, 3);
    draw(m, self, op);
    return Value();
}

template <GraphicsOp::Kind K> Value gSimple(Machine& m, const Value& self, Args&) {
    draw(m, self, GraphicsOp{K});
    return Value();
}

void moveTo(Machine& m, const Value& self, double x, double y) {
    GraphicsOp op{GraphicsOp::Kind::MoveTo};
    op.a = x;
    op.b = y;
    draw(m, self, op);
}

void lineTo(Machine& m, const Value& self, double x, double y) {
    GraphicsOp op{GraphicsOp::Kind::LineTo};
    op.a = x;
    op.b = y;
    draw(m, self, op);
}

void curveTo(Machine& m, const Value& self, double cx, double cy, double x, double y) {
    GraphicsOp op{GraphicsOp::Kind::CurveTo};
    op.a = cx;
    op.b = cy;
    op.c = x;
    op.d = y;
    draw(m, self, op);
}

Value gDrawRect(Machine& m, const Value& self, Args& a) {
    const double x = num(m, a, 0);
    const double y = num(m, a, 1);
    const double w = num(m, a, 2);
    const double h = num(m, a, 3);
    moveTo(m, self, x, y);
    lineTo(m, self, x + w, y);
    lineTo(m, self, x + w, y + h);
    lineTo(m, self, x, y + h);
    lineTo(m, self, x, y);
    return Value();
}

// An ellipse from eight quadratic curves, each spanning 45 degrees.
void ellipse(Machine& m, const Value& self, double cx, double cy, double rx, double ry) {
    const double k = 1.0 / std::cos(M_PI / 8.0);
    moveTo(m, self, cx + rx, cy);
    for (int i = 1; i <= 8; ++i) {
        const double mid = (i - 0.5) * M_PI / 4.0;
        const double end = i * M_PI / 4.0;
        curveTo(m, self, cx + rx * k * std::cos(mid), cy + ry * k * std::sin(mid),
                cx + rx * std::cos(end), cy + ry * std::sin(end));
    }
}

Value gDrawCircle(Machine& m, const Value& self, Args& a) {
    const double r = num(m, a, 2);
    ellipse(m, self, num(m, a, 0), num(m, a, 1), r, r);
    return Value();
}

Value gDrawEllipse(Machine& m, const Value& self, Args& a) {
    const double w = num(m, a, 2);
    const double h = num(m, a, 3);
    ellipse(m, self, num(m, a, 0) + w / 2, num(m, a, 1) + h / 2, w / 2, h / 2);
    return Value();
}

Value gDrawRoundRect(Machine& m, const Value& self, Args& a) {
    const double x = num(m, a, 0);
    const double y = num(m, a, 1);
    const double w = num(m, a, 2);
    const double h = num(m, a, 3);
    const double rx = std::min(std::fabs(num(m, a, 4)) / 2, std::fabs(w) / 2);
    const double ry = std::min(std::fabs(num(m, a, 5, num(m, a, 4))) / 2, std::fabs(h) / 2);
    moveTo(m, self, x + rx, y);
    lineTo(m, self, x + w - rx, y);
    curveTo(m, self, x + w, y, x + w, y + ry);
    lineTo(m, self, x + w, y + h - ry);
    curveTo(m, self, x + w, y + h, x + w - rx, y + h);
    lineTo(m, self, x + rx, y + h);
    curveTo(m, self, x, y + h, x, y + h - ry);
    lineTo(m, self, x, y + ry);
    curveTo(m, self, x, y, x + rx, y);
    return Value();
}

// --- loaderInfo: the info of the movie an object came from ------------------------------

// The stage answers with its own view of the movie's loading, which names no content type.
// What a Loader's content holds answers with that loader's info; the rest with the movie's.
Value loaderInfoOf(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    Object* root = h != nullptr ? scriptObjectOf(m, h->rootNode()) : nullptr;
    if (root == nullptr) {
        return Value::null();
    }
    const bool ofStage = nodeOf(self) != 0 && nodeOf(self) == h->stageNode();
    NodeId node = ofStage ? 0 : nodeOf(self);
    for (int climb = 0; node != 0 && node != h->rootNode() && climb < 1024; ++climb) {
        const NodeId parent = h->parentOf(node);
        // An object in no movie's tree (made and not yet added, or taken out) has no info.
        if (parent == 0 && node != h->stageNode()) {
            return Value::null();
        }
        Object* above = parent != 0 ? h->scriptObject(parent) : nullptr;
        Value info = above != nullptr ? hiddenField(above, kContentInfo) : Value();
        if (info.isObject()) {
            return info;
        }
        node = parent;
    }
    const Value holder = ofStage ? self : Value::object(root);
    Value existing = hiddenField(holder, "loaderInfo", Value());
    if (existing.isObject()) {
        return existing;
    }
    Object* info = m.instantiate(m.findClass("flash.display::LoaderInfo"));
    if (ofStage) {
        setHiddenField(Value::object(info), kInfoOfStage, Value::boolean(true));
    }
    setHiddenField(holder, "loaderInfo", Value::object(info));
    return Value::object(info);
}

// --- TextField -----------------------------------------------------------------------------

template <bool Html> Value textGet(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    return Value::string(h != nullptr && nodeOf(self) != 0 ? h->text(nodeOf(self), Html)
                                                           : std::string());
}

Value textLength(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::integer(0);
    }
    // Counted in UTF-16 units, as scripts count.
    std::int32_t units = 0;
    for (unsigned char c : h->text(nodeOf(self), false)) {
        if ((c & 0xC0) != 0x80) {
            units += c >= 0xF0 ? 2 : 1;
        }
    }
    return Value::integer(units);
}

constexpr char kWordWrap[] = "wordWrap";
constexpr char kMultiline[] = "multiline";
constexpr char kPassword[] = "displayAsPassword";
constexpr char kBorder[] = "border";
constexpr char kBackground[] = "background";
constexpr char kSelectable[] = "selectable";
constexpr char kEmbedFonts[] = "embedFonts";
constexpr char kType[] = "type";
constexpr char kAutoSize[] = "autoSize";
constexpr char kCondenseWhite[] = "condenseWhite";

template <const char* Key> Value textFlagGet(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    return Value::boolean(h != nullptr && nodeOf(self) != 0 &&
                          h->textSetting(nodeOf(self), Key) == "true");
}

template <const char* Key> Value textFlagSet(Machine& m, const Value& self, Args& a) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setTextSetting(nodeOf(self), Key, Machine::toBoolean(arg(a, 0)) ? "true" : "false");
    }
    return Value();
}

template <const char* Key> Value textWordGet(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    return Value::string(h != nullptr && nodeOf(self) != 0 ? h->textSetting(nodeOf(self), Key)
                                                           : std::string());
}

template <const char* Key> Value textWordSet(Machine& m, const Value& self, Args& a) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setTextSetting(nodeOf(self), Key, m.toString(arg(a, 0)));
    }
    return Value();
}

// Settings that take one of a fixed set of names: null is a missing parameter, any other name
// (case counts) is not one of the accepted values.
template <const char* Key> bool acceptedWord(const std::string& word);
template <> bool acceptedWord<kType>(const std::string& word) {
    return word == "dynamic" || word == "input";
}
template <> bool acceptedWord<kAutoSize>(const std::string& word) {
    return word == "none" || word == "left" || word == "right" || word == "center";
}

template <const char* Key> Value textChoiceSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, std::string("Parameter ") + Key + " must be non-null.");
    }
    const std::string word = m.toString(v);
    if (!acceptedWord<Key>(word)) {
        m.throwError("ArgumentError", 2008,
                     std::string("Parameter ") + Key + " must be one of the accepted values.");
    }
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setTextSetting(nodeOf(self), Key, word);
    }
    return Value();
}

template <bool Width> Value stageSize(Machine& m, const Value&, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr) {
        return Value::integer(0);
    }
    return Value::integer(static_cast<std::int32_t>(Width ? h->stageWidth() : h->stageHeight()));
}

Value stageFrameRate(Machine& m, const Value& self, Args&) {
    Value set = hiddenField(self, "frameRate", Value());
    if (!set.isUndefined()) {
        return set;
    }
    DisplayHost* h = hostOf(m);
    return Value::number(h != nullptr ? h->frameRate() : 24.0);
}

Value stageSetFrameRate(Machine& m, const Value& self, Args& a) {
    const double rate = m.toNumber(arg(a, 0));
    if (!std::isnan(rate)) {
        setHiddenField(self, "frameRate", Value::number(std::clamp(rate, 0.01, 1000.0)));
    }
    return Value();
}

// A property kept with the object, read back as set (with its default before).
template <const char* Key, typename Convert> struct Kept {
    static Value get(Machine& m, const Value& self, Args&) {
        return hiddenField(self, Key, Convert::fallback(m));
    }
    static Value set(Machine& m, const Value& self, Args& a) {
        setHiddenField(self, Key, Convert::convert(m, arg(a, 0)));
        return Value();
    }
};

struct TrueFlag {
    static Value fallback(Machine&) { return Value::boolean(true); }
    static Value convert(Machine&, const Value& v) { return Value::boolean(Machine::toBoolean(v)); }
};
struct FalseFlag {
    static Value fallback(Machine&) { return Value::boolean(false); }
    static Value convert(Machine&, const Value& v) { return Value::boolean(Machine::toBoolean(v)); }
};
struct NullValue {
    static Value fallback(Machine&) { return Value::null(); }
    static Value convert(Machine&, const Value& v) { return v.isUndefined() ? Value::null() : v; }
};
// An object of the class the property declares, or null.
template <const char* ClassName> struct NullOr {
    static Value fallback(Machine&) { return Value::null(); }
    static Value convert(Machine& m, const Value& v) {
        Class* c = m.findClass(ClassName);
        return c != nullptr ? m.coerce(v, c) : Value::null();
    }
};
constexpr char kSpriteClass[] = "flash.display::Sprite";
constexpr char kAccessibilityClass[] = "flash.accessibility::AccessibilityProperties";
struct NormalBlend {
    static Value fallback(Machine&) { return Value::string("normal"); }
    static Value convert(Machine& m, const Value& v) { return Value::string(m.toString(v)); }
};
struct NormalState {
    static Value fallback(Machine&) { return Value::string("normal"); }
    static Value convert(Machine& m, const Value& v) { return Value::string(m.toString(v)); }
};
struct ShowAll {
    static Value fallback(Machine&) { return Value::string("showAll"); }
    static Value convert(Machine& m, const Value& v) { return Value::string(m.toString(v)); }
};
struct NoAlign {
    static Value fallback(Machine&) { return Value::string(""); }
    static Value convert(Machine& m, const Value& v) { return Value::string(m.toString(v)); }
};
struct HighQuality {
    static Value fallback(Machine&) { return Value::string("HIGH"); }
    static Value convert(Machine& m, const Value& v) { return Value::string(m.toString(v)); }
};
struct MinusOne {
    static Value fallback(Machine&) { return Value::integer(-1); }
    static Value convert(Machine& m, const Value& v) {
        return Value::integer(toInt32(m.toNumber(v)));
    }
};

constexpr char kMouseEnabled[] = "mouseEnabled";
constexpr char kMouseChildren[] = "mouseChildren";
constexpr char kTabChildren[] = "tabChildren";
constexpr char kDoubleClick[] = "doubleClickEnabled";
constexpr char kTabEnabled[] = "tabEnabled";
constexpr char kTabIndex[] = "tabIndex";
constexpr char kButtonMode[] = "buttonMode";
constexpr char kHandCursor[] = "useHandCursor";
constexpr char kMask[] = "mask";
constexpr char kBlendMode[] = "blendMode";
// On a mask: the object it masks.
constexpr char kMaskedBy[] = "mask.of";
constexpr char kScaleMode[] = "scaleMode";
constexpr char kAlign[] = "align";
constexpr char kQuality[] = "quality";
constexpr char kShowMenu[] = "showDefaultContextMenu";
constexpr char kFocusRect[] = "stageFocusRect";
constexpr char kOwnFocusRect[] = "focusRect";
constexpr char kDisplayState[] = "displayState";
constexpr char kCacheAsBitmap[] = "cacheAsBitmap";
constexpr char kHitArea[] = "hitArea";
// Read only by screen readers, which a card never serves: kept for scripts to read back.
constexpr char kAccessibilityProperties[] = "accessibilityProperties";
constexpr char kShowSelection[] = "alwaysShowSelection";
constexpr char kWheel[] = "mouseWheelEnabled";
constexpr char kRichClipboard[] = "useRichTextClipboard";
constexpr char kEnabled[] = "enabled";
constexpr char kTrackAsMenu[] = "trackAsMenu";

// The blend mode is kept as set (read back as given) and drawn by the host; a name that is
// no mode is an error.
Value blendModeSet(Machine& m, const Value& self, Args& a) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter blendMode must be non-null.");
    }
    const std::string name = m.toString(arg(a, 0));
    static constexpr const char* kModes[] = {
        "normal",   "layer",  "multiply", "screen", "lighten", "darken",    "difference", "add",
        "subtract", "invert", "alpha",    "erase",  "overlay", "hardlight", "shader"};
    if (std::find_if(std::begin(kModes), std::end(kModes),
                     [&name](const char* mode) { return name == mode; }) == std::end(kModes)) {
        m.throwError("ArgumentError", 2008,
                     "Parameter blendMode must be one of the accepted values.");
    }
    setHiddenField(self, kBlendMode, Value::string(name));
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setBlendMode(nodeOf(self), name);
    }
    return Value();
}

// The mask is kept as set and drawn by the host; null takes it away.
Value maskSet(Machine& m, const Value& self, Args& a) {
    const Value mask = arg(a, 0);
    if (!mask.isNullish() && nodeOf(mask) == 0) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(mask) +
                         " to flash.display.DisplayObject.");
    }
    DisplayHost* h = hostOf(m);
    // A mask masks one object at a time: set on another, it leaves the one it masked.
    if (mask.isObject()) {
        const Value before = hiddenField(mask, kMaskedBy, Value::null());
        if (before.isObject() && self.isObject() && before.asObject() != self.asObject()) {
            const Value itsMask = hiddenField(before, kMask, Value::null());
            if (itsMask.isObject() && itsMask.asObject() == mask.asObject()) {
                setHiddenField(before, kMask, Value::null());
                if (h != nullptr && nodeOf(before) != 0) {
                    h->setMask(nodeOf(before), 0);
                }
            }
        }
        setHiddenField(mask, kMaskedBy, self);
    }
    setHiddenField(self, kMask, mask.isNullish() ? Value::null() : mask);
    if (h != nullptr && nodeOf(self) != 0) {
        h->setMask(nodeOf(self), nodeOf(mask));
    }
    return Value();
}

// scale9Grid is the node's nine-slice grid, read back as a new Rectangle; null, as it
// starts unless the symbol has one, takes it away. An object outside any display keeps a copy.
constexpr char kScale9Grid[] = "scale9Grid";
constexpr const char* kRectangleFields[] = {"x", "y", "width", "height"};

Value newRectangle(Machine& m, const std::array<double, 4>& fields) {
    Class* rectangle = m.findClass("flash.geom::Rectangle");
    Value out = Value::object(rectangle != nullptr ? m.instantiate(rectangle) : m.newObject());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        m.setProperty(out, Name::publicName(kRectangleFields[i]), Value::number(fields[i]));
    }
    return out;
}

std::array<double, 4> rectangleFields(Machine& m, const Value& rect) {
    std::array<double, 4> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = m.toNumber(m.getProperty(rect, Name::publicName(kRectangleFields[i])));
    }
    return fields;
}

// scrollRect reads back as a new Rectangle (a copy), or null without a window.
Value scrollRectGet(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const auto window =
        h != nullptr && nodeOf(self) != 0 ? h->scrollRectOf(nodeOf(self)) : std::nullopt;
    return window ? newRectangle(m, *window) : Value::null();
}

Value scrollRectSet(Machine& m, const Value& self, Args& a) {
    const Value rect = arg(a, 0);
    std::optional<std::array<double, 4>> window;
    // The setter is declared to take a Rectangle: anything else fails its coercion.
    if (Class* rectangle = m.findClass("flash.geom::Rectangle"); rectangle != nullptr) {
        m.coerce(rect, rectangle);
    }
    if (!rect.isNullish()) {
        window = rectangleFields(m, rect);
    }
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setScrollRect(nodeOf(self), window);
    }
    return Value();
}

Value scale9GridGet(Machine& m, const Value& self, Args&) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        const auto grid = h->scalingGridOf(nodeOf(self));
        return grid ? newRectangle(m, *grid) : Value::null();
    }
    const Value kept = hiddenField(self, kScale9Grid, Value::null());
    return kept.isObject() ? newRectangle(m, rectangleFields(m, kept)) : Value::null();
}

Value scale9GridSet(Machine& m, const Value& self, Args& a) {
    const Value rect = arg(a, 0);
    if (Class* rectangle = m.findClass("flash.geom::Rectangle"); rectangle != nullptr) {
        m.coerce(rect, rectangle);
    }
    std::optional<std::array<double, 4>> grid;
    if (!rect.isNullish()) {
        grid = rectangleFields(m, rect);
    }
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setScalingGrid(nodeOf(self), grid);
        return Value();
    }
    setHiddenField(self, kScale9Grid, grid ? newRectangle(m, *grid) : Value::null());
    return Value();
}

Value opaqueBackgroundGet(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const auto color =
        h != nullptr && nodeOf(self) != 0 ? h->opaqueBackgroundOf(nodeOf(self)) : std::nullopt;
    return color ? Value::unsignedInt(*color) : Value::null();
}

Value opaqueBackgroundSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    std::optional<std::uint32_t> color;
    if (!v.isNullish()) {
        color = toUint32(m.toNumber(v)) & 0xFFFFFFu;
    }
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setOpaqueBackground(nodeOf(self), color);
    }
    return Value();
}

template <const char* Key, typename Convert> void keep(Machine& m, Class* c) {
    m.defineGetter(c, Key, Kept<Key, Convert>::get);
    m.defineSetter(c, Key, Kept<Key, Convert>::set);
}

} // namespace

void installDisplayClasses(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* display = m.defineClass("flash.display", "DisplayObject", dispatcher, displayInit);
    m.defineGetter(display, "x", getNumber<NodeProperty::X>);
    m.defineSetter(display, "x", setNumber<NodeProperty::X>);
    m.defineGetter(display, "y", getNumber<NodeProperty::Y>);
    m.defineSetter(display, "y", setNumber<NodeProperty::Y>);
    m.defineGetter(display, "scaleX", getNumber<NodeProperty::ScaleX>);
    m.defineSetter(display, "scaleX", setNumber<NodeProperty::ScaleX>);
    m.defineGetter(display, "scaleY", getNumber<NodeProperty::ScaleY>);
    m.defineSetter(display, "scaleY", setNumber<NodeProperty::ScaleY>);
    m.defineGetter(display, "rotation", getNumber<NodeProperty::Rotation>);
    m.defineSetter(display, "rotation", setNumber<NodeProperty::Rotation>);
    m.defineGetter(display, "alpha", getNumber<NodeProperty::Alpha>);
    m.defineSetter(display, "alpha", setNumber<NodeProperty::Alpha>);
    m.defineGetter(display, "width", getNumber<NodeProperty::Width>);
    m.defineSetter(display, "width", setNumber<NodeProperty::Width>);
    m.defineGetter(display, "height", getNumber<NodeProperty::Height>);
    m.defineSetter(display, "height", setNumber<NodeProperty::Height>);
    m.defineGetter(display, "visible", getVisible);
    m.defineSetter(display, "visible", setVisible);
    m.defineGetter(display, "name", getName);
    m.defineSetter(display, "name", setName);
    m.defineGetter(display, "parent", getParent);
    m.defineGetter(display, "stage", getStage);
    m.defineGetter(display, "root", getRoot);
    m.defineGetter(display, "mouseX",
                   [](Machine& mm, const Value& s, Args& a) { return getMouse(mm, s, a, false); });
    m.defineGetter(display, "mouseY",
                   [](Machine& mm, const Value& s, Args& a) { return getMouse(mm, s, a, true); });
    m.defineMethod(display, "localToGlobal", [](Machine& mm, const Value& s, Args& a) {
        return pointConversion(mm, s, a, false);
    });
    m.defineMethod(display, "globalToLocal", [](Machine& mm, const Value& s, Args& a) {
        return pointConversion(mm, s, a, true);
    });
    m.defineGetter(display, kMask, Kept<kMask, NullValue>::get);
    m.defineSetter(display, kMask, maskSet);
    m.defineGetter(display, "scrollRect", scrollRectGet);
    m.defineSetter(display, "scrollRect", scrollRectSet);
    m.defineGetter(display, kScale9Grid, scale9GridGet);
    m.defineSetter(display, kScale9Grid, scale9GridSet);
    m.defineGetter(display, "opaqueBackground", opaqueBackgroundGet);
    m.defineSetter(display, "opaqueBackground", opaqueBackgroundSet);
    m.defineGetter(display, kBlendMode, Kept<kBlendMode, NormalBlend>::get);
    m.defineSetter(display, kBlendMode, blendModeSet);
    keep<kCacheAsBitmap, FalseFlag>(m, display);
    keep<kAccessibilityProperties, NullOr<kAccessibilityClass>>(m, display);
    m.defineGetter(display, "loaderInfo", loaderInfoOf);
    m.defineMethod(display, "hitTestPoint", hitTestPoint);
    m.defineMethod(display, "hitTestObject", hitTestObject);
    m.defineMethod(display, "getBounds", boundsIn<true>);
    m.defineMethod(display, "getRect", boundsIn<false>);

    Class* interactive = m.defineClass("flash.display", "InteractiveObject", display, displayInit);
    keep<kMouseEnabled, TrueFlag>(m, interactive);
    keep<kDoubleClick, FalseFlag>(m, interactive);
    m.defineGetter(interactive, kTabEnabled, tabEnabledGet);
    m.defineSetter(interactive, kTabEnabled, Kept<kTabEnabled, FalseFlag>::set);
    keep<kTabIndex, MinusOne>(m, interactive);
    // null: the stage's stageFocusRect decides.
    keep<kOwnFocusRect, NullValue>(m, interactive);
    defineContextMenuProperty(m, interactive);

    Class* container =
        m.defineClass("flash.display", "DisplayObjectContainer", interactive, displayInit);
    keep<kMouseChildren, TrueFlag>(m, container);
    // Whether the tab order goes into the container's children: it does unless told.
    keep<kTabChildren, TrueFlag>(m, container);
    m.defineGetter(container, "numChildren", numChildren);
    m.defineMethod(container, "addChild", addChild);
    m.defineMethod(container, "addChildAt", addChildAt);
    m.defineMethod(container, "removeChild", removeChild);
    m.defineMethod(container, "removeChildAt", removeChildAt);
    m.defineMethod(container, "removeChildren", removeChildren);
    m.defineMethod(container, "getChildAt", getChildAt);
    m.defineMethod(container, "getChildIndex", getChildIndex);
    m.defineMethod(container, "getChildByName", getChildByName);
    m.defineMethod(container, "setChildIndex", setChildIndex);
    m.defineMethod(container, "swapChildren", swapChildren);
    m.defineMethod(container, "swapChildrenAt", swapChildrenAt);
    m.defineMethod(container, "contains", contains);
    m.defineMethod(container, "getObjectsUnderPoint", objectsUnderPoint);
    m.defineMethod(container, "areInaccessibleObjectsUnderPoint", inaccessibleUnderPoint);
    // The abstract classes and the shapes only the timeline places.
    display->playerMadeOnly = true;
    interactive->playerMadeOnly = true;
    container->playerMadeOnly = true;

    Class* sprite = m.defineClass("flash.display", "Sprite", container, displayInit);
    m.defineGetter(sprite, "graphics", spriteGraphics);
    keep<kButtonMode, FalseFlag>(m, sprite);
    keep<kHandCursor, TrueFlag>(m, sprite);
    keep<kHitArea, NullOr<kSpriteClass>>(m, sprite);
    defineSpriteSoundTransform(m, sprite);
    m.defineMethod(sprite, "startDrag", spriteStartDrag);
    m.defineMethod(sprite, "stopDrag", spriteStopDrag);
    m.defineGetter(sprite, "dropTarget", spriteDropTarget);

    Class* clip = m.defineClass("flash.display", "MovieClip", sprite, displayInit);
    clip->sealed = false;
    m.defineMethod(clip, "addFrameScript", addFrameScript);
    // A clip used as a button: on until turned off, and no menu tracking.
    keep<kEnabled, TrueFlag>(m, clip);
    keep<kTrackAsMenu, FalseFlag>(m, clip);
    // The timeline's methods and properties: TimelineClasses.cpp.

    Class* shape = m.defineClass("flash.display", "Shape", display, displayInit);
    m.defineGetter(shape, "graphics", spriteGraphics);
    m.defineClass("flash.display", "SimpleButton", interactive, displayInit);
    m.defineClass("flash.display", "Bitmap", display, displayInit);
    m.defineClass("flash.display", "MorphShape", display, displayInit)->playerMadeOnly = true;
    m.defineClass("flash.text", "StaticText", display, displayInit)->playerMadeOnly = true;
    Class* textField = m.defineClass("flash.text", "TextField", interactive, displayInit);
    m.defineGetter(textField, "text", textGet<false>);
    m.defineGetter(textField, "htmlText", textGet<true>);
    m.defineGetter(textField, "length", textLength);
    m.defineGetter(textField, kWordWrap, textFlagGet<kWordWrap>);
    m.defineSetter(textField, kWordWrap, textFlagSet<kWordWrap>);
    m.defineGetter(textField, kMultiline, textFlagGet<kMultiline>);
    m.defineSetter(textField, kMultiline, textFlagSet<kMultiline>);
    m.defineGetter(textField, kPassword, textFlagGet<kPassword>);
    m.defineSetter(textField, kPassword, textFlagSet<kPassword>);
    m.defineGetter(textField, kBorder, textFlagGet<kBorder>);
    m.defineSetter(textField, kBorder, textFlagSet<kBorder>);
    m.defineGetter(textField, kBackground, textFlagGet<kBackground>);
    m.defineSetter(textField, kBackground, textFlagSet<kBackground>);
    m.defineGetter(textField, kSelectable, textFlagGet<kSelectable>);
    m.defineSetter(textField, kSelectable, textFlagSet<kSelectable>);
    m.defineGetter(textField, kEmbedFonts, textFlagGet<kEmbedFonts>);
    m.defineSetter(textField, kEmbedFonts, textFlagSet<kEmbedFonts>);
    m.defineGetter(textField, kType, textWordGet<kType>);
    m.defineSetter(textField, kType, textChoiceSet<kType>);
    m.defineGetter(textField, kAutoSize, textWordGet<kAutoSize>);
    m.defineSetter(textField, kAutoSize, textChoiceSet<kAutoSize>);
    m.defineGetter(textField, kCondenseWhite, textFlagGet<kCondenseWhite>);
    m.defineSetter(textField, kCondenseWhite, textFlagSet<kCondenseWhite>);
    // Selection and clipboard settings of the window's editing the card keeps as set.
    keep<kShowSelection, FalseFlag>(m, textField);
    keep<kWheel, TrueFlag>(m, textField);
    keep<kRichClipboard, FalseFlag>(m, textField);
    // text, htmlText and the settings that read the text model: TextFieldMethods.cpp.
    textField->sealed = true;

    Class* stage = m.defineClass("flash.display", "Stage", container);
    m.defineGetter(stage, "stageWidth", stageSize<true>);
    m.defineGetter(stage, "stageHeight", stageSize<false>);
    m.defineGetter(stage, "frameRate", stageFrameRate);
    m.defineSetter(stage, "frameRate", stageSetFrameRate);
    keep<kScaleMode, ShowAll>(m, stage);
    keep<kAlign, NoAlign>(m, stage);
    keep<kQuality, HighQuality>(m, stage);
    // Settings of the player's window the card keeps as it is: read back as set.
    keep<kShowMenu, TrueFlag>(m, stage);
    keep<kFocusRect, TrueFlag>(m, stage);
    keep<kDisplayState, NormalState>(m, stage);
    m.defineGetter(stage, "focus", stageFocusGet);
    m.defineSetter(stage, "focus", stageFocusSet);

    installLoaderClasses(m, dispatcher, container, display, displayInit);

    Class* graphics = m.defineClass("flash.display", "Graphics", m.objectClass);
    m.defineMethod(graphics, "beginFill", gBeginFill);
    m.defineMethod(graphics, "beginGradientFill", gBeginGradientFill);
    m.defineMethod(graphics, "beginBitmapFill", gBitmapFill<GraphicsOp::Kind::BitmapFill>);
    m.defineMethod(graphics, "lineBitmapStyle", gBitmapFill<GraphicsOp::Kind::LineBitmap>);
    m.defineMethod(graphics, "lineStyle", gLineStyle);
    m.defineMethod(graphics, "lineGradientStyle", gLineGradientStyle);
    m.defineMethod(graphics, "moveTo", gPoint<GraphicsOp::Kind::MoveTo>);
    m.defineMethod(graphics, "lineTo", gPoint<GraphicsOp::Kind::LineTo>);
    m.defineMethod(graphics, "curveTo", gPoint<GraphicsOp::Kind::CurveTo>);
    m.defineMethod(graphics, "endFill", gSimple<GraphicsOp::Kind::EndFill>);
    m.defineMethod(graphics, "clear", gSimple<GraphicsOp::Kind::Clear>);
    m.defineMethod(graphics, "drawRect", gDrawRect);
    m.defineMethod(graphics, "drawCircle", gDrawCircle);
    m.defineMethod(graphics, "drawEllipse", gDrawEllipse);
    m.defineMethod(graphics, "drawRoundRect", gDrawRoundRect);
    for (Class* c : {display, interactive, container, sprite, shape, stage, graphics}) {
        c->sealed = true;
    }
}

} // namespace avm2
