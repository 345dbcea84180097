#include "ClassForms.h"

#include "Parser.h"
#include "swf/ActionCodes.h"

#include <string>

namespace scriptrules {

namespace op = swf::op;
using Kind = Node::Kind;

namespace {

void pushArguments(moviemaker::Actions& a, const Node& call, size_t first, const EmitValue& value) {
    for (size_t i = call.kids.size(); i > first; --i) {
        value(a, call.kids[i - 1]);
    }
    a.pushInt(static_cast<int32_t>(call.kids.size() - first));
}

void requireArguments(const Node& call, size_t count, const std::string& name) {
    if (call.kids.size() - 1 != count) {
        throw ScriptError(name + " takes " + std::to_string(count) + " arguments");
    }
}

} // namespace

bool classForm(moviemaker::Actions& a, const Node& call, uint8_t swfVersion,
               const EmitValue& value) {
    const Node& callee = call.kids.at(0);
    if (callee.kind != Kind::Name) {
        return false;
    }
    const std::string& name = callee.text;
    if (name != "super" && name != "extends" && name != "implements" && name != "cast") {
        return false;
    }
    if (swfVersion < 6) {
        throw ScriptError(name + " needs SWF 6");
    }
    if (name == "super") {
        pushArguments(a, call, 1, value);
        a.push("super");
        a.code(op::GetVariable);
        a.pushUndefined();
        a.code(op::CallMethod);
    } else if (name == "extends") {
        requireArguments(call, 2, name);
        value(a, call.kids[1]);
        value(a, call.kids[2]);
        a.code(op::Extends);
        a.pushUndefined();
    } else if (name == "implements") {
        if (call.kids.size() < 2) {
            throw ScriptError("implements needs a class");
        }
        pushArguments(a, call, 2, value);
        value(a, call.kids[1]);
        a.code(op::ImplementsOp);
        a.pushUndefined();
    } else {
        requireArguments(call, 2, name);
        value(a, call.kids[1]);
        value(a, call.kids[2]);
        a.code(op::CastOp);
    }
    return true;
}

} // namespace scriptrules
