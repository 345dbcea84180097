// The XMLList class: construction and conversion, and the methods that work across its
// items (the ones that work on a single item come from XML).
#include "avm2/StringPositions.h"
#include "avm2/XmlMethods.h"
#include "avm2/XmlOperators.h"

#include <algorithm>

namespace avm2 {

namespace {

Object* listSelf(Machine& m, const Value& self) {
    if (!isXmlList(self)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(self) + " to XMLList.");
    }
    return self.asObject();
}

Value listInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    const Value from = toXmlListValue(m, arg(a, 0));
    o->kind = Object::Kind::XmlList;
    o->nativeData = std::make_shared<XmlListOrigin>();
    o->elements = from.asObject()->elements;
    return Value();
}

Value listCall(Machine& m, const Value&, Args& a) {
    Value v = arg(a, 0);
    if (isXmlList(v)) {
        return v;
    }
    return m.construct(Value::object(xmlState(m).listClass->classObject), a);
}

template <Gather G> Value listGatherMethod(Machine& m, const Value& self, Args& a) {
    Object* list = listSelf(m, self);
    Object* out = newXmlList(m, list);
    for (std::size_t i = 0; i < list->elements.size(); ++i) {
        G(m, list->elements[i].asObject(), a, out);
    }
    return Value::object(out);
}

Value listLength(Machine& m, const Value& self, Args&) {
    return Value::integer(static_cast<std::int32_t>(listSelf(m, self)->elements.size()));
}

Value listToStringMethod(Machine& m, const Value& self, Args&) {
    return Value::string(listToString(m, listSelf(m, self)));
}

Value listToXmlStringMethod(Machine& m, const Value& self, Args&) {
    return Value::string(listToXmlString(m, listSelf(m, self)));
}

Value listValueOf(Machine& m, const Value& self, Args&) {
    return Value::object(listSelf(m, self));
}

Value listCopy(Machine& m, const Value& self, Args&) {
    Object* list = listSelf(m, self);
    Object* out = newXmlList(m);
    listOrigin(out) = listOrigin(list);
    for (const Value& v : list->elements) {
        out->elements.push_back(Value::object(deepCopy(m, v.asObject())));
    }
    return Value::object(out);
}

Value listContains(Machine& m, const Value& self, Args& a) {
    // A copy: comparing may run the value's valueOf, which may change the list.
    const std::vector<Value> items = listSelf(m, self)->elements;
    const Value v = arg(a, 0);
    return Value::boolean(std::any_of(items.begin(), items.end(),
                                      [&](const Value& i) { return m.looseEquals(i, v); }));
}

Value listHasSimple(Machine& m, const Value& self, Args&) {
    const auto& items = listSelf(m, self)->elements;
    if (items.size() == 1) {
        return Value::boolean(hasSimpleContent(items.front().asObject()));
    }
    return Value::boolean(std::none_of(items.begin(), items.end(), [](const Value& v) {
        return xmlNode(v.asObject()).kind == XmlKind::Element;
    }));
}

Value listHasComplex(Machine& m, const Value& self, Args&) {
    const auto& items = listSelf(m, self)->elements;
    if (items.size() == 1) {
        Object* x = items.front().asObject();
        return Value::boolean(xmlNode(x).kind == XmlKind::Element && !hasSimpleContent(x));
    }
    return Value::boolean(std::any_of(items.begin(), items.end(), [](const Value& v) {
        return xmlNode(v.asObject()).kind == XmlKind::Element;
    }));
}

// Normalizes the elements, and joins the list's own neighbouring text items: the ones
// joined into another, or left empty, leave the list and their parents.
Value listNormalize(Machine& m, const Value& self, Args&) {
    Object* list = listSelf(m, self);
    auto& items = list->elements;
    std::size_t i = 0;
    while (i < items.size()) {
        Object* x = items[i].asObject();
        XmlNode& n = xmlNode(x);
        if (n.kind == XmlKind::Element) {
            normalizeNode(m, x, 0);
        } else if (n.kind == XmlKind::Text) {
            while (i + 1 < items.size() && xmlNode(items[i + 1].asObject()).kind == XmlKind::Text) {
                Object* next = items[i + 1].asObject();
                n.text += xmlNode(next).text;
                removeFromParent(next);
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i + 1));
            }
            if (n.text.empty()) {
                removeFromParent(x);
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
        }
        ++i;
    }
    return self;
}

// The parent all items share; undefined when they have none or different ones.
Value listParent(Machine& m, const Value& self, Args&) {
    const auto& items = listSelf(m, self)->elements;
    if (items.empty()) {
        return Value();
    }
    Object* parent = xmlNode(items.front().asObject()).parent;
    for (const Value& v : items) {
        if (xmlNode(v.asObject()).parent != parent) {
            return Value();
        }
    }
    return parent != nullptr ? Value::object(parent) : Value();
}

Value listHasOwnProperty(Machine& m, const Value& self, Args& a) {
    Name n = Name::publicName(m.toString(arg(a, 0)));
    return Value::boolean(xmlHasOwnProperty(m, Value::object(listSelf(m, self)), n));
}

Value listPropertyIsEnumerable(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(arg(a, 0));
    const auto size = static_cast<double>(listSelf(m, self)->elements.size());
    return Value::boolean(d >= 0 && d < size &&
                          d == static_cast<double>(static_cast<long long>(d)));
}

} // namespace

void installXmlListMethods(Machine& m, Class* list) {
    list->init = MethodRef{nullptr, 0, listInit};
    list->call = listCall;
    const std::pair<const char*, NativeFn> methods[] = {
        {"length", listLength},
        {"toString", listToStringMethod},
        {"toXMLString", listToXmlStringMethod},
        {"valueOf", listValueOf},
        {"copy", listCopy},
        {"contains", listContains},
        {"hasSimpleContent", listHasSimple},
        {"hasComplexContent", listHasComplex},
        {"normalize", listNormalize},
        {"parent", listParent},
        {"hasOwnProperty", listHasOwnProperty},
        {"propertyIsEnumerable", listPropertyIsEnumerable},
        {"toJSON", [](Machine&, const Value&, Args&) { return Value::string("XMLList"); }},
        {"child", listGatherMethod<gatherChild>},
        {"children", listGatherMethod<gatherChildren>},
        {"elements", listGatherMethod<gatherElements>},
        {"attributes", listGatherMethod<gatherAttributes>},
        {"attribute", listGatherMethod<gatherAttribute>},
        {"comments", listGatherMethod<gatherComments>},
        {"text", listGatherMethod<gatherText>},
        {"processingInstructions", listGatherMethod<gatherInstructions>},
        {"descendants", listGatherMethod<gatherDescendantsOf>},
    };
    for (const auto& [name, fn] : methods) {
        m.defineMethod(list, name, fn);
    }
}

} // namespace avm2
