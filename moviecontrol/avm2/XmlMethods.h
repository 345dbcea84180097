#pragma once
// What the XML and XMLList classes share: the methods that gather nodes (run per item on a
// list), and reading `this`.

#include "avm2/XmlNodes.h"

namespace avm2 {

// Appends the nodes a method picks from one XML node to `out`.
using Gather = void (*)(Machine& m, Object* x, const Args& a, Object* out);

void gatherChild(Machine& m, Object* x, const Args& a, Object* out);
void gatherChildren(Machine& m, Object* x, const Args& a, Object* out);
void gatherElements(Machine& m, Object* x, const Args& a, Object* out);
void gatherAttributes(Machine& m, Object* x, const Args& a, Object* out);
void gatherAttribute(Machine& m, Object* x, const Args& a, Object* out);
void gatherComments(Machine& m, Object* x, const Args& a, Object* out);
void gatherText(Machine& m, Object* x, const Args& a, Object* out);
void gatherInstructions(Machine& m, Object* x, const Args& a, Object* out);
void gatherDescendantsOf(Machine& m, Object* x, const Args& a, Object* out);
void normalizeNode(Machine& m, Object* x, std::size_t depth);

// `this` as an XML node. A list of one item stands for that item (XMLList's methods that
// work on one node); any other list throws, naming the method.
Object* xmlSelf(Machine& m, const Value& self, const char* method = "");
Value makeNamespace(Machine& m, const XmlNamespace& ns);

// XMLList's constructor, conversion and methods (XmlListClass.cpp).
void installXmlListMethods(Machine& m, Class* list);

} // namespace avm2
