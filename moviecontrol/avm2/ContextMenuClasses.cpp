// flash.ui's context menu: ContextMenu with its custom items, the built-in and clipboard
// item switches, ContextMenuItem, and the contextMenu an interactive object carries. A card
// shows no menu of its own, so these only keep what a movie sets, as Flash keeps it.
#include "avm2/ContextMenus.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"

#include <vector>

namespace avm2 {

namespace {

constexpr const char* kBuiltInNames[] = {"print", "zoom",   "quality",        "play",
                                         "loop",  "rewind", "forwardAndBack", "save"};
constexpr const char* kClipboardNames[] = {"cut", "copy", "paste", "clear", "selectAll"};

Value construct(Machine& m, const char* qualifiedName, std::vector<Value> values = {}) {
    Args args = std::move(values);
    return m.construct(Value::object(m.findClass(qualifiedName)->classObject), args);
}

// A copy of a switches object: a new one of the same class with the same booleans.
template <std::size_t N>
Value copySwitches(Machine& m, const Value& s, const char* qualifiedName,
                   const char* const (&names)[N]) {
    receiverObject(m, s);
    Value copy = construct(m, qualifiedName);
    for (const char* name : names) {
        m.setProperty(copy, Name::publicName(name), m.getProperty(s, Name::publicName(name)));
    }
    return copy;
}

Value menuInit(Machine& m, const Value& s, Args&) {
    m.setProperty(s, Name::publicName("customItems"), Value::object(m.newArray()));
    m.setProperty(s, Name::publicName("builtInItems"),
                  construct(m, "flash.ui::ContextMenuBuiltInItems"));
    m.setProperty(s, Name::publicName("clipboardItems"),
                  construct(m, "flash.ui::ContextMenuClipboardItems"));
    return Value();
}

Value hideBuiltInItems(Machine& m, const Value& s, Args&) {
    const Value items = m.getProperty(s, Name::publicName("builtInItems"));
    if (items.isObject()) {
        for (const char* name : kBuiltInNames) {
            m.setProperty(items, Name::publicName(name), Value::boolean(false));
        }
    }
    return Value();
}

// The copy has copies of the switches and of each custom item (what is no item is left out).
Value menuClone(Machine& m, const Value& s, Args&) {
    receiverObject(m, s);
    Value copy = construct(m, "flash.ui::ContextMenu");
    for (const char* part : {"builtInItems", "clipboardItems"}) {
        const Value items = m.getProperty(s, Name::publicName(part));
        if (items.isObject()) {
            Args none;
            m.setProperty(copy, Name::publicName(part),
                          m.callProperty(items, Name::publicName("clone"), none));
        }
    }
    m.setProperty(copy, Name::publicName("clipboardMenu"),
                  m.getProperty(s, Name::publicName("clipboardMenu")));
    m.setProperty(copy, Name::publicName("link"), m.getProperty(s, Name::publicName("link")));
    const Value custom = m.getProperty(s, Name::publicName("customItems"));
    std::vector<Value> items;
    if (custom.isObject()) {
        // Copied first: cloning an item runs no script, but the array is the movie's.
        const std::vector<Value> originals = custom.asObject()->elements;
        Class* itemClass = m.findClass("flash.ui::ContextMenuItem");
        for (const Value& item : originals) {
            if (item.isObject() && m.isType(item, itemClass)) {
                Args none;
                items.push_back(m.callProperty(item, Name::publicName("clone"), none));
            }
        }
    }
    m.setProperty(copy, Name::publicName("customItems"),
                  Value::object(m.newArray(std::move(items))));
    return copy;
}

// ContextMenuItem(caption, separatorBefore = false, enabled = true, visible = true)
Value itemInit(Machine& m, const Value& s, Args& a) {
    if (a.empty()) {
        m.throwError("ArgumentError", 1063,
                     "Argument count mismatch on flash.ui::ContextMenuItem(). Expected 1, got 0.");
    }
    m.setProperty(s, Name::publicName("caption"), a[0]);
    m.setProperty(s, Name::publicName("separatorBefore"),
                  a.size() > 1 ? a[1] : Value::boolean(false));
    m.setProperty(s, Name::publicName("enabled"), a.size() > 2 ? a[2] : Value::boolean(true));
    m.setProperty(s, Name::publicName("visible"), a.size() > 3 ? a[3] : Value::boolean(true));
    return Value();
}

Value itemClone(Machine& m, const Value& s, Args&) {
    receiverObject(m, s);
    std::vector<Value> values;
    for (const char* name : {"caption", "separatorBefore", "enabled", "visible"}) {
        values.push_back(m.getProperty(s, Name::publicName(name)));
    }
    return construct(m, "flash.ui::ContextMenuItem", std::move(values));
}

template <std::size_t N>
Class* defineSwitches(Machine& m, const char* name, const char* const (&names)[N], bool initial) {
    Class* cls = m.defineClass("flash.ui", name, m.objectClass);
    cls->sealed = true;
    cls->isFinal = true;
    for (const char* field : names) {
        addPublicSlot(cls, field, m.booleanClass, Value::boolean(initial));
    }
    return cls;
}

// Flash keeps only null or a ContextMenu on an interactive object.
Value objectMenuSet(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const Value menu = m.coerce(arg(a, 0), m.findClass("flash.ui::ContextMenu"));
    setHiddenField(o, "contextMenu", menu.isObject() ? menu : Value::null());
    return Value();
}

Value objectMenuGet(Machine& m, const Value& s, Args&) {
    const Value menu = hiddenField(receiverObject(m, s), "contextMenu");
    return menu.isObject() ? menu : Value::null();
}

} // namespace

void installContextMenus(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    // The menu classes' bases, shared with the desktop runtime's menus.
    Class* nativeMenu = m.findClass("flash.display::NativeMenu");
    if (nativeMenu == nullptr) {
        nativeMenu = m.defineClass("flash.display", "NativeMenu", dispatcher);
    }
    Class* nativeItem = m.findClass("flash.display::NativeMenuItem");
    if (nativeItem == nullptr) {
        nativeItem = m.defineClass("flash.display", "NativeMenuItem", dispatcher);
    }

    Class* builtIn = defineSwitches(m, "ContextMenuBuiltInItems", kBuiltInNames, true);
    m.defineMethod(builtIn, "clone", [](Machine& mm, const Value& s, Args&) {
        return copySwitches(mm, s, "flash.ui::ContextMenuBuiltInItems", kBuiltInNames);
    });
    // Of the clipboard's commands only "select all" is offered until a movie says otherwise.
    Class* clipboard = defineSwitches(m, "ContextMenuClipboardItems", kClipboardNames, false);
    clipboard->instance.slots.back().value = Value::boolean(true);
    m.defineMethod(clipboard, "clone", [](Machine& mm, const Value& s, Args&) {
        return copySwitches(mm, s, "flash.ui::ContextMenuClipboardItems", kClipboardNames);
    });

    Class* menu = m.defineClass("flash.ui", "ContextMenu", nativeMenu, menuInit);
    menu->sealed = true;
    menu->isFinal = true;
    addPublicSlot(menu, "customItems", m.arrayClass, Value::null());
    addPublicSlot(menu, "builtInItems", builtIn, Value::null());
    addPublicSlot(menu, "clipboardItems", clipboard, Value::null());
    addPublicSlot(menu, "clipboardMenu", m.booleanClass, Value::boolean(false));
    addPublicSlot(menu, "link", m.findClass("flash.net::URLRequest"), Value::null());
    m.defineMethod(menu, "hideBuiltInItems", hideBuiltInItems);
    m.defineMethod(menu, "clone", menuClone);
    m.defineGetter(
        menu, "isSupported", [](Machine&, const Value&, Args&) { return Value::boolean(true); },
        true);

    Class* item = m.defineClass("flash.ui", "ContextMenuItem", nativeItem, itemInit);
    item->sealed = true;
    item->isFinal = true;
    addPublicSlot(item, "caption", m.stringClass, Value::null());
    addPublicSlot(item, "separatorBefore", m.booleanClass, Value::boolean(false));
    addPublicSlot(item, "enabled", m.booleanClass, Value::boolean(true));
    addPublicSlot(item, "visible", m.booleanClass, Value::boolean(true));
    m.defineMethod(item, "clone", itemClone);
}

void defineContextMenuProperty(Machine& m, Class* interactive) {
    m.defineGetter(interactive, "contextMenu", objectMenuGet);
    m.defineSetter(interactive, "contextMenu", objectMenuSet);
}

} // namespace avm2
