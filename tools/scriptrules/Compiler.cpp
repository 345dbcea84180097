#include "Compiler.h"

#include "ClassForms.h"
#include "Parser.h"
#include "swf/ActionCodes.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace scriptrules {

namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Kind = Node::Kind;

constexpr size_t kBranchSize = 5; // If and Jump: code, length, 16-bit offset
constexpr uint8_t kScratchRegister = 0;

int16_t offsetOf(long bytes) {
    if (bytes < std::numeric_limits<int16_t>::min() ||
        bytes > std::numeric_limits<int16_t>::max()) {
        throw ScriptError("branch too long");
    }
    return static_cast<int16_t>(bytes);
}

void append(Actions& to, const Actions& part) {
    to.raw(part.body());
}

// An action with a payload, for the ones the writer has no call for.
void withPayload(Actions& a, uint8_t code, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes{code, static_cast<uint8_t>(payload.size() & 0xFF),
                               static_cast<uint8_t>(payload.size() >> 8)};
    for (const uint8_t b : payload) {
        bytes.push_back(b);
    }
    a.raw(bytes);
}

// WaitForFrame skips a count of actions, not bytes.
uint8_t actionCount(const Actions& body) {
    const std::vector<uint8_t> bytes = body.body();
    size_t count = 0;
    for (size_t i = 0; i < bytes.size(); ++count) {
        if (bytes[i] >= 0x80 && i + 2 < bytes.size()) {
            i += 3 + (bytes[i + 1] | (bytes[i + 2] << 8));
        } else {
            ++i;
        }
    }
    if (count > 255) {
        throw ScriptError("ifFrameLoaded holds at most 255 actions");
    }
    return static_cast<uint8_t>(count);
}

// Clip properties by the index GetProperty and SetProperty take.
int propertyIndex(const std::string& name) {
    static const char* const names[] = {
        "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
        "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
        "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
        "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
        "_xmouse",      "_ymouse"};
    for (size_t i = 0; i < std::size(names); ++i) {
        if (name == names[i]) {
            return static_cast<int>(i);
        }
    }
    throw ScriptError("no clip property " + name);
}

class Compiler {
  public:
    explicit Compiler(uint8_t version) : v_(version) {}

    void statements(Actions& a, const std::vector<Node>& list) {
        for (const Node& s : list) {
            statement(a, s);
        }
    }

  private:
    void need(uint8_t version, const char* what) const {
        if (v_ < version) {
            throw ScriptError(std::string(what) + " needs SWF " + std::to_string(version));
        }
    }

    void statement(Actions& a, const Node& s) {
        switch (s.kind) {
        case Kind::Empty:
            return;
        case Kind::Block:
            statements(a, s.kids);
            return;
        case Kind::ExprStmt:
            effect(a, s.kids.at(0));
            return;
        case Kind::Var:
            if (const int r = registerOf(s.text); r > 0) {
                if (!s.kids.empty()) {
                    value(a, s.kids[0]);
                    a.storeRegister(static_cast<uint8_t>(r)).code(op::Pop);
                }
                return;
            }
            if (v_ < 5) {
                if (!s.kids.empty()) {
                    a.push(s.text);
                    value(a, s.kids[0]);
                    a.code(op::SetVariable);
                }
                return;
            }
            a.push(s.text);
            if (s.kids.empty()) {
                a.code(op::DefineLocal2);
            } else {
                value(a, s.kids[0]);
                a.code(op::DefineLocal);
            }
            return;
        case Kind::If: {
            Actions yes;
            statement(yes, s.kids.at(1));
            Actions no;
            if (s.kids.size() > 2) {
                statement(no, s.kids[2]);
            }
            value(a, s.kids[0]);
            a.code(op::Not);
            const bool hasElse = s.kids.size() > 2;
            a.ifTrue(offsetOf(static_cast<long>(yes.size() + (hasElse ? kBranchSize : 0))));
            append(a, yes);
            if (hasElse) {
                a.jump(offsetOf(static_cast<long>(no.size())));
                append(a, no);
            }
            return;
        }
        case Kind::While:
            loop(a, &s.kids.at(0), s.kids.at(1), nullptr);
            return;
        case Kind::For:
            statement(a, s.kids.at(0));
            loop(a, s.kids.at(1).kind == Kind::Empty ? nullptr : &s.kids[1], s.kids.at(3),
                 &s.kids.at(2));
            return;
        case Kind::ForIn:
            forIn(a, s);
            return;
        case Kind::With: {
            need(5, "with");
            Actions body;
            statement(body, s.kids.at(1));
            value(a, s.kids.at(0));
            a.with(body);
            return;
        }
        case Kind::Throw:
            need(7, "throw");
            value(a, s.kids.at(0));
            a.code(op::Throw);
            return;
        case Kind::Try:
            tryStatement(a, s);
            return;
        case Kind::TellTarget: {
            const Node& target = s.kids.at(0);
            if (target.kind == Kind::String) {
                a.setTarget(target.text);
            } else {
                value(a, target);
                a.code(op::SetTarget2);
            }
            statement(a, s.kids.at(1));
            a.setTarget("");
            return;
        }
        case Kind::IfFrameLoaded: {
            Actions body;
            statement(body, s.kids.at(1));
            const uint8_t skip = actionCount(body);
            const Node& frame = s.kids.at(0);
            // A whole number in range takes the first version, frames counted from 0.
            if (frame.kind == Kind::Number && frame.number >= 1 && frame.number <= 65536 &&
                frame.number == std::floor(frame.number)) {
                const auto index = static_cast<uint16_t>(frame.number - 1);
                withPayload(
                    a, op::WaitForFrame,
                    {static_cast<uint8_t>(index & 0xFF), static_cast<uint8_t>(index >> 8), skip});
            } else {
                value(a, frame);
                withPayload(a, op::WaitForFrame2, {skip});
            }
            append(a, body);
            return;
        }
        case Kind::Return:
            need(5, "return");
            if (s.kids.empty()) {
                a.pushUndefined();
            } else {
                value(a, s.kids[0]);
            }
            a.code(op::Return);
            return;
        default:
            throw ScriptError("not a statement");
        }
    }

    // As Flash's compiler writes it: the try block ends with a jump over the catch block, so
    // that finishing the try block goes on to the finally block.
    void tryStatement(Actions& a, const Node& s) {
        need(7, "try");
        Actions handler;
        statement(handler, s.kids.at(1));
        Actions tryBody;
        statement(tryBody, s.kids.at(0));
        if (!s.text.empty()) {
            tryBody.jump(offsetOf(static_cast<long>(handler.size())));
        }
        Actions last;
        statement(last, s.kids.at(2));
        a.tryCatch(tryBody, s.text, handler, last);
    }

    // while (condition) { body; update } with the test at the top.
    void loop(Actions& a, const Node* condition, const Node& body, const Node* update) {
        Actions test;
        if (condition != nullptr) {
            value(test, *condition);
            test.code(op::Not);
        }
        Actions rest;
        statement(rest, body);
        if (update != nullptr) {
            statement(rest, *update);
        }
        if (condition != nullptr) {
            test.ifTrue(offsetOf(static_cast<long>(rest.size() + kBranchSize)));
        }
        const long back = static_cast<long>(test.size() + rest.size() + kBranchSize);
        append(a, test);
        append(a, rest);
        a.jump(offsetOf(-back));
    }

    // for (name in object): the enumeration leaves a null and then the names on the stack;
    // each turn stores the top in the scratch register and stops at the null. SWF 5 can
    // only enumerate a variable given by name.
    void forIn(Actions& a, const Node& s) {
        const Node& object = s.kids.at(0);
        if (v_ >= 6) {
            value(a, object);
            a.code(op::Enumerate2);
        } else {
            need(5, "for-in");
            if (object.kind != Kind::Name) {
                throw ScriptError("for-in over an expression needs SWF 6");
            }
            a.push(object.text);
            a.code(op::Enumerate);
        }
        Actions head;
        head.storeRegister(kScratchRegister);
        head.pushNull();
        head.code(op::Equals2);
        Actions rest;
        rest.push(s.text);
        rest.pushRegister(kScratchRegister);
        rest.code(s.number != 0 ? op::DefineLocal : op::SetVariable);
        statement(rest, s.kids.at(1));
        head.ifTrue(offsetOf(static_cast<long>(rest.size() + kBranchSize)));
        const long back = static_cast<long>(head.size() + rest.size() + kBranchSize);
        append(a, head);
        append(a, rest);
        a.jump(offsetOf(-back));
    }

    // An expression whose value is dropped.
    void effect(Actions& a, const Node& e) {
        switch (e.kind) {
        case Kind::Assign:
            assign(a, e, false);
            return;
        case Kind::Update:
            update(a, e, false);
            return;
        case Kind::Call:
            if (isTrace(e)) {
                traceCall(a, e);
                return;
            }
            if (e.kids.at(0).kind == Kind::Name && timelineCall(a, e.kids[0].text, e, false)) {
                return;
            }
            break;
        case Kind::Function:
            if (!e.text.empty()) {
                function(a, e, e.text);
                return;
            }
            break;
        default:
            break;
        }
        value(a, e);
        a.code(op::Pop);
    }

    static bool isTrace(const Node& call) {
        return call.kids.at(0).kind == Kind::Name && call.kids[0].text == "trace";
    }

    void traceCall(Actions& a, const Node& call) {
        if (call.kids.size() > 1) {
            value(a, call.kids[1]);
        } else {
            a.pushUndefined();
        }
        a.code(op::Trace);
    }

    void number(Actions& a, double n, const std::string& text) {
        if (v_ < 5) {
            a.push(text); // Flash 4 pushes numbers as their source text
            return;
        }
        const bool negZero = n == 0 && std::signbit(n);
        if (std::isfinite(n) && n == std::floor(n) && n >= -2147483648.0 && n <= 2147483647.0 &&
            !negZero) {
            a.pushInt(static_cast<int32_t>(n));
        } else {
            a.push(n);
        }
    }

    void value(Actions& a, const Node& e) {
        switch (e.kind) {
        case Kind::Number:
            number(a, e.number, e.text);
            return;
        case Kind::String:
            a.push(e.text);
            return;
        case Kind::Bool:
            if (v_ < 5) {
                a.push(e.number != 0 ? "1" : "0");
            } else {
                a.pushBool(e.number != 0);
            }
            return;
        case Kind::Null:
            need(5, "null");
            a.pushNull();
            return;
        case Kind::Undefined:
            if (v_ < 5) {
                a.push("");
            } else {
                a.pushUndefined();
            }
            return;
        case Kind::Name:
            if (const int r = registerOf(e.text); r > 0) {
                a.pushRegister(static_cast<uint8_t>(r));
                return;
            }
            a.push(e.text);
            a.code(op::GetVariable);
            return;
        case Kind::Member:
            need(5, "member access");
            value(a, e.kids.at(0));
            value(a, e.kids.at(1));
            a.code(op::GetMember);
            return;
        case Kind::Call:
            call(a, e);
            return;
        case Kind::New:
            construct(a, e);
            return;
        case Kind::Object:
            need(5, "object literals");
            for (size_t i = 0; i + 1 < e.kids.size(); i += 2) {
                value(a, e.kids[i]);
                value(a, e.kids[i + 1]);
            }
            a.pushInt(static_cast<int32_t>(e.kids.size() / 2));
            a.code(op::InitObject);
            return;
        case Kind::Array:
            need(5, "array literals");
            for (auto it = e.kids.rbegin(); it != e.kids.rend(); ++it) {
                value(a, *it);
            }
            a.pushInt(static_cast<int32_t>(e.kids.size()));
            a.code(op::InitArray);
            return;
        case Kind::Function:
            function(a, e, "");
            return;
        case Kind::Unary:
            unary(a, e);
            return;
        case Kind::Binary:
            binary(a, e);
            return;
        case Kind::Logical:
            logical(a, e);
            return;
        case Kind::Conditional: {
            Actions yes;
            value(yes, e.kids.at(1));
            Actions no;
            value(no, e.kids.at(2));
            value(a, e.kids.at(0));
            a.ifTrue(offsetOf(static_cast<long>(no.size() + kBranchSize)));
            append(a, no);
            a.jump(offsetOf(static_cast<long>(yes.size())));
            append(a, yes);
            return;
        }
        case Kind::Assign:
            assign(a, e, true);
            return;
        case Kind::Update:
            update(a, e, true);
            return;
        default:
            throw ScriptError("not an expression");
        }
    }

    void arguments(Actions& a, const Node& e) {
        for (size_t i = e.kids.size(); i > 1; --i) {
            value(a, e.kids[i - 1]);
        }
        a.pushInt(static_cast<int32_t>(e.kids.size() - 1));
    }

    // Functions Flash's compiler turns into actions of their own when called by name with
    // their number of arguments, in every version.
    bool actionCall(Actions& a, const Node& e) {
        static const std::map<std::string, std::pair<uint8_t, size_t>> actions{
            {"int", {op::ToInteger, 1}},
            {"length", {op::StringLength, 1}},
            {"substring", {op::StringExtract, 3}},
            {"chr", {op::AsciiToChar, 1}},
            {"ord", {op::CharToAscii, 1}},
            {"mblength", {op::MBStringLength, 1}},
            {"mbsubstring", {op::MBStringExtract, 3}},
            {"mbchr", {op::MBAsciiToChar, 1}},
            {"mbord", {op::MBCharToAscii, 1}},
            {"eval", {op::GetVariable, 1}},
            {"targetPath", {op::TargetPath, 1}},
        };
        const Node& callee = e.kids.at(0);
        if (callee.kind != Kind::Name) {
            return false;
        }
        if (timelineCall(a, callee.text, e, true)) {
            return true;
        }
        if (callee.text == "set" && e.kids.size() == 3) {
            // set(path, value) stores through SetVariable and is worth the value.
            value(a, e.kids[1]);
            value(a, e.kids[2]);
            if (v_ >= 5) {
                a.storeRegister(kScratchRegister);
            }
            a.code(op::SetVariable);
            if (v_ >= 5) {
                a.pushRegister(kScratchRegister);
            } else {
                a.pushUndefined();
            }
            return true;
        }
        const auto it = actions.find(callee.text);
        if (it == actions.end() || e.kids.size() - 1 != it->second.second) {
            return false;
        }
        if (it->second.first == op::TargetPath) {
            need(5, "targetPath");
        }
        for (size_t i = 1; i < e.kids.size(); ++i) {
            value(a, e.kids[i]);
        }
        a.code(it->second.first);
        return true;
    }

    // The timeline functions, which Flash's compiler turns into actions of their own: each
    // pushes undefined after, as its value.
    bool timelineCall(Actions& a, const std::string& name, const Node& e, bool keep) {
        const size_t args = e.kids.size() - 1;
        static const std::map<std::string, uint8_t> plain{{"play", op::Play},
                                                          {"stop", op::Stop},
                                                          {"nextFrame", op::NextFrame},
                                                          {"prevFrame", op::PreviousFrame},
                                                          {"stopAllSounds", op::StopSounds}};
        if (auto it = plain.find(name); it != plain.end() && args == 0) {
            a.code(it->second);
        } else if ((name == "gotoAndStop" || name == "gotoAndPlay") && args == 1) {
            const bool play = name == "gotoAndPlay";
            const Node& frame = e.kids[1];
            if (frame.kind == Kind::Number && frame.number >= 1 && frame.number <= 65536 &&
                frame.number == std::floor(frame.number)) {
                a.gotoFrame(static_cast<uint16_t>(frame.number - 1));
                if (play) {
                    a.play();
                }
            } else if (frame.kind == Kind::String) {
                a.gotoLabel(frame.text);
                if (play) {
                    a.play();
                }
            } else {
                value(a, frame);
                a.gotoFrame2(play);
            }
        } else if (name == "removeMovieClip" && args == 1) {
            value(a, e.kids[1]);
            a.code(op::RemoveSprite);
        } else if (name == "duplicateMovieClip" && args == 3) {
            // The compiler moves the depth into the range of script-made clips.
            value(a, e.kids[1]);
            value(a, e.kids[2]);
            value(a, e.kids[3]);
            number(a, 16384, "16384");
            a.code(v_ >= 5 ? op::Add2 : op::Add);
            a.code(op::CloneSprite);
        } else if (name == "getProperty" && args == 2 && e.kids[2].kind == Kind::Name) {
            value(a, e.kids[1]);
            number(a, propertyIndex(e.kids[2].text), std::to_string(propertyIndex(e.kids[2].text)));
            a.code(op::GetProperty);
            return valued(a, keep);
        } else if (name == "setProperty" && args == 3 && e.kids[2].kind == Kind::Name) {
            value(a, e.kids[1]);
            number(a, propertyIndex(e.kids[2].text), std::to_string(propertyIndex(e.kids[2].text)));
            value(a, e.kids[3]);
            a.code(op::SetProperty);
        } else if (name == "call" && args == 1) {
            value(a, e.kids[1]);
            withPayload(a, op::Call, {});
        } else if (name == "getTimer" && args == 0) {
            a.code(op::GetTime);
            return valued(a, keep);
        } else if (name == "random" && args == 1) {
            value(a, e.kids[1]);
            a.code(op::RandomNumber);
            return valued(a, keep);
        } else if ((name == "loadMovie" || name == "loadVariables") && (args == 2 || args == 3)) {
            // GetURL2 into a clip named by the target's text: 0x40 loads into a target, 0x80
            // loads variables, the low bits name the method as given in its text.
            value(a, e.kids[1]);
            value(a, e.kids[2]);
            a.getUrl2(static_cast<uint8_t>((name == "loadVariables" ? 0xC0 : 0x40) |
                                           sendMethod(e, args)));
        } else if ((name == "loadMovieNum" || name == "loadVariablesNum") &&
                   (args == 2 || args == 3)) {
            value(a, e.kids[1]);
            levelTarget(a, e.kids[2]);
            a.getUrl2(static_cast<uint8_t>((name == "loadVariablesNum" ? 0x80 : 0) |
                                           sendMethod(e, args)));
        } else if (name == "unloadMovie" && args == 1) {
            a.push("");
            value(a, e.kids[1]);
            a.getUrl2(0x40); // into the target clip
        } else if (name == "unloadMovieNum" && args == 1) {
            a.push("");
            levelTarget(a, e.kids[1]);
            a.getUrl2(0);
        } else {
            return false;
        }
        if (keep) {
            if (v_ >= 5) {
                a.pushUndefined();
            } else {
                a.push("");
            }
        }
        return true;
    }

    // "_levelN" for a level given as a number written out, or built at run time.
    void levelTarget(Actions& a, const Node& level) {
        if (level.kind == Kind::Number) {
            a.push("_level" + level.text);
        } else {
            a.push("_level");
            value(a, level);
            a.code(op::StringAdd);
        }
    }

    // A loading call's method, written as a string: 1 for GET, 2 for POST, else none.
    static uint8_t sendMethod(const Node& e, size_t args) {
        if (args < 3 || e.kids[3].kind != Kind::String) {
            return 0;
        }
        std::string m = e.kids[3].text;
        for (char& ch : m) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        return m == "GET" ? 1 : m == "POST" ? 2 : 0;
    }

    // An action that leaves a value: dropped when the call is a statement.
    static bool valued(Actions& a, bool keep) {
        if (!keep) {
            a.code(op::Pop);
        }
        return true;
    }

    void call(Actions& a, const Node& e) {
        if (isTrace(e)) {
            traceCall(a, e);
            a.pushUndefined();
            return;
        }
        if (actionCall(a, e)) {
            return;
        }
        if (classForm(a, e, v_, [this](Actions& to, const Node& n) { value(to, n); })) {
            return;
        }
        need(5, "calls");
        arguments(a, e);
        const Node& callee = e.kids.at(0);
        if (callee.kind == Kind::Name && (callee.text == "super" || registerOf(callee.text) > 0)) {
            value(a, callee);
            a.pushUndefined();
            a.code(op::CallMethod);
        } else if (callee.kind == Kind::Name) {
            a.push(callee.text);
            a.code(op::CallFunction);
        } else if (callee.kind == Kind::Member) {
            value(a, callee.kids.at(0));
            value(a, callee.kids.at(1));
            a.code(op::CallMethod);
        } else {
            value(a, callee);
            a.pushUndefined();
            a.code(op::CallMethod);
        }
    }

    void construct(Actions& a, const Node& e) {
        need(5, "new");
        arguments(a, e);
        const Node& callee = e.kids.at(0);
        if (callee.kind == Kind::Name) {
            a.push(callee.text);
            a.code(op::NewObject);
        } else if (callee.kind == Kind::Member) {
            value(a, callee.kids.at(0));
            value(a, callee.kids.at(1));
            a.code(op::NewMethod);
        } else {
            value(a, callee);
            a.pushUndefined();
            a.code(op::NewMethod);
        }
    }

    void function(Actions& a, const Node& f, const std::string& name) {
        need(5, "functions");
        if (v_ < 7) {
            Scope plain;
            std::swap(scope_, plain);
            Actions body;
            statements(body, f.kids);
            std::swap(scope_, plain);
            a.defineFunction(name, f.params, body);
            return;
        }
        Scope scope;
        const Usage used = usage(f);
        // Flash's compiler preloads what the body names and suppresses what it does not, in
        // registers from 1 in this order.
        uint16_t flags = 0;
        uint8_t next = 1;
        const std::array<std::pair<const char*, std::pair<uint16_t, uint16_t>>, 6> preloads{{
            {"this", {kPreloadThis, kSuppressThis}},
            {"arguments", {kPreloadArguments, kSuppressArguments}},
            {"super", {kPreloadSuper, kSuppressSuper}},
            {"_root", {kPreloadRoot, 0}},
            {"_parent", {kPreloadParent, 0}},
            {"_global", {kPreloadGlobal, 0}},
        }};
        for (const auto& [word, bits] : preloads) {
            if (used.names.contains(word)) {
                flags |= bits.first;
                scope.registers[word] = next++;
            } else {
                flags |= bits.second;
            }
        }
        // Parameters and locals live in registers unless a nested function, `with` or
        // eval may look for them by name.
        const bool byName = used.nested || used.dynamic;
        std::vector<Actions::Param> params;
        params.reserve(f.params.size());
        for (const std::string& p : f.params) {
            if (byName || scope.registers.contains(p) || next >= 250) {
                params.push_back({0, p});
                continue;
            }
            scope.registers[p] = next;
            params.push_back({next++, p});
        }
        if (!byName) {
            for (const std::string& local : used.locals) {
                if (!scope.registers.contains(local) && !used.byName.contains(local) &&
                    next < 250) {
                    scope.registers[local] = next++;
                }
            }
        }
        scope.scratch = next++;
        std::swap(scope_, scope);
        Actions body;
        statements(body, f.kids);
        std::swap(scope_, scope);
        a.defineFunction2(name, next, flags, params, body);
    }

    struct Usage {
        std::set<std::string> names;  // every name read or written
        std::set<std::string> locals; // declared with var
        std::set<std::string> byName; // for-in variables, catch names, deleted names
        bool nested = false;
        bool dynamic = false; // with or eval
    };

    static Usage usage(const Node& f) {
        Usage u;
        for (const Node& k : f.kids) {
            scan(k, u);
        }
        return u;
    }

    static void scan(const Node& n, Usage& u) {
        switch (n.kind) {
        case Kind::Function:
            u.nested = true;
            return;
        case Kind::Name:
            u.names.insert(n.text);
            if (n.text == "eval") {
                u.dynamic = true;
            }
            break;
        case Kind::Var:
            u.locals.insert(n.text);
            break;
        case Kind::With:
            u.dynamic = true;
            break;
        case Kind::ForIn:
        case Kind::Try:
            u.byName.insert(n.text);
            break;
        case Kind::Unary:
            if (n.text == "delete" && n.kids.at(0).kind == Kind::Name) {
                u.byName.insert(n.kids[0].text);
            }
            break;
        default:
            break;
        }
        for (const Node& k : n.kids) {
            scan(k, u);
        }
    }

    int registerOf(const std::string& name) const {
        const auto it = scope_.registers.find(name);
        return it == scope_.registers.end() ? 0 : it->second;
    }

    void unary(Actions& a, const Node& e) {
        const Node& x = e.kids.at(0);
        if (e.text == "-" && x.kind == Kind::Number) {
            number(a, -x.number, "-" + x.text); // literals fold, as Flash's compiler does
            return;
        }
        if (e.text == "-") {
            number(a, 0, "0");
            value(a, x);
            a.code(op::Subtract);
        } else if (e.text == "+") {
            if (v_ < 5) {
                value(a, x);
                a.push("0");
                a.code(op::Subtract);
            } else {
                value(a, x);
                a.code(op::ToNumber);
            }
        } else if (e.text == "!") {
            value(a, x);
            a.code(op::Not);
        } else if (e.text == "~") {
            need(5, "~");
            value(a, x);
            a.push(4294967295.0);
            a.code(op::BitXor);
        } else if (e.text == "typeof") {
            need(5, "typeof");
            value(a, x);
            a.code(op::TypeOf);
        } else if (e.text == "delete") {
            need(5, "delete");
            if (x.kind == Kind::Member) {
                value(a, x.kids.at(0));
                value(a, x.kids.at(1));
                a.code(op::Delete);
            } else if (x.kind == Kind::Name) {
                a.push(x.text);
                a.code(op::Delete2);
            } else {
                value(a, x);
                a.code(op::Pop);
                a.pushBool(true);
            }
        } else {
            throw ScriptError("unknown unary operator " + e.text);
        }
    }

    // The action sequence after both operands for each operator of version 5 and later.
    void binaryOperator(Actions& a, const std::string& o) {
        static const std::map<std::string, uint8_t> plain{
            {"+", op::Add2},        {"-", op::Subtract},   {"*", op::Multiply},
            {"/", op::Divide},      {"%", op::Modulo},     {"==", op::Equals2},
            {"<", op::Less2},       {"&", op::BitAnd},     {"|", op::BitOr},
            {"^", op::BitXor},      {"<<", op::BitLShift}, {">>", op::BitRShift},
            {">>>", op::BitURShift}};
        if (auto it = plain.find(o); it != plain.end()) {
            a.code(it->second);
        } else if (o == "!=") {
            a.code(op::Equals2).code(op::Not);
        } else if (o == ">=") {
            a.code(op::Less2).code(op::Not);
        } else if (o == "===" || o == "!==") {
            need(6, "strict equality");
            a.code(op::StrictEquals);
            if (o == "!==") {
                a.code(op::Not);
            }
        } else if (o == "instanceof") {
            need(6, "instanceof");
            a.code(op::InstanceOf);
        } else if (o == ">" || o == "<=") {
            if (v_ >= 6) {
                a.code(op::Greater);
            } else {
                a.code(op::StackSwap).code(op::Less2);
            }
            if (o == "<=") {
                a.code(op::Not);
            }
        } else {
            throw ScriptError("unknown operator " + o);
        }
    }

    // Flash 4's string operators, kept by later versions; `gt` has its own action from 6.
    bool stringOperator(Actions& a, const Node& e) {
        const std::string& o = e.text;
        if (o != "add" && o != "eq" && o != "ne" && o != "lt" && o != "gt" && o != "le" &&
            o != "ge") {
            return false;
        }
        const bool greater = o == "gt" || o == "le";
        const bool swapped = greater && v_ < 6;
        value(a, e.kids.at(swapped && v_ < 5 ? 1 : 0));
        value(a, e.kids.at(swapped && v_ < 5 ? 0 : 1));
        if (swapped && v_ >= 5) {
            a.code(op::StackSwap);
        }
        if (o == "add") {
            a.code(op::StringAdd);
        } else if (o == "eq" || o == "ne") {
            a.code(op::StringEquals);
        } else if (greater && !swapped) {
            a.code(op::StringGreater);
        } else {
            a.code(op::StringLess);
        }
        if (o == "ne" || o == "le" || o == "ge") {
            a.code(op::Not);
        }
        return true;
    }

    void binary(Actions& a, const Node& e) {
        const std::string& o = e.text;
        if (stringOperator(a, e)) {
            return;
        }
        if (v_ >= 5) {
            value(a, e.kids.at(0));
            value(a, e.kids.at(1));
            binaryOperator(a, o);
            return;
        }
        // Version 4: the numeric actions; `>` and `<=` test the swapped operands with Less.
        const bool swapped = o == ">" || o == "<=";
        value(a, e.kids.at(swapped ? 1 : 0));
        value(a, e.kids.at(swapped ? 0 : 1));
        static const std::map<std::string, uint8_t> v4{
            {"+", op::Add},     {"-", op::Subtract}, {"*", op::Multiply}, {"/", op::Divide},
            {"==", op::Equals}, {"<", op::Less},     {">", op::Less}};
        if (auto it = v4.find(o); it != v4.end()) {
            a.code(it->second);
        } else if (o == "!=") {
            a.code(op::Equals).code(op::Not);
        } else if (o == ">=" || o == "<=") {
            a.code(op::Less).code(op::Not);
        } else {
            throw ScriptError(o + " needs SWF 5");
        }
    }

    void logical(Actions& a, const Node& e) {
        const bool isAnd = e.text == "&&";
        if (v_ < 5) {
            value(a, e.kids.at(0));
            value(a, e.kids.at(1));
            a.code(isAnd ? op::And : op::Or);
            return;
        }
        Actions right;
        right.code(op::Pop);
        value(right, e.kids.at(1));
        value(a, e.kids.at(0));
        a.code(op::PushDuplicate);
        if (isAnd) {
            a.code(op::Not);
        }
        a.ifTrue(offsetOf(static_cast<long>(right.size())));
        append(a, right);
    }

    // Pushes what a store to `target` needs below the value: the name, or object and key.
    void targetPrefix(Actions& a, const Node& target) {
        if (target.kind == Kind::Name && registerOf(target.text) > 0) {
            return;
        }
        if (target.kind == Kind::Name) {
            a.push(target.text);
        } else if (target.kind == Kind::Member) {
            need(5, "member assignment");
            value(a, target.kids.at(0));
            value(a, target.kids.at(1));
        } else {
            throw ScriptError("cannot assign to this");
        }
    }

    void store(Actions& a, const Node& target, bool keep) {
        if (target.kind == Kind::Name) {
            if (const int r = registerOf(target.text); r > 0) {
                a.storeRegister(static_cast<uint8_t>(r));
                if (!keep) {
                    a.code(op::Pop);
                }
                return;
            }
        }
        if (keep && v_ >= 5) {
            a.storeRegister(kScratchRegister);
        }
        a.code(target.kind == Kind::Name ? op::SetVariable : op::SetMember);
        if (keep) {
            if (v_ >= 5) {
                a.pushRegister(kScratchRegister);
            } else {
                value(a, target);
            }
        }
    }

    // `a op= b` reads the target again (an object expression is evaluated twice).
    void assign(Actions& a, const Node& e, bool keep) {
        const Node& target = e.kids.at(0);
        targetPrefix(a, target);
        if (e.text == "=") {
            value(a, e.kids.at(1));
        } else {
            Node combined;
            combined.kind = Kind::Binary;
            combined.text = e.text.substr(0, e.text.size() - 1);
            combined.kids = {target, e.kids.at(1)};
            value(a, combined);
        }
        store(a, target, keep);
    }

    void update(Actions& a, const Node& e, bool keep) {
        const Node& target = e.kids.at(0);
        const bool up = e.text == "++";
        const bool prefix = e.number != 0;
        if (keep && !prefix) {
            need(5, "postfix value");
            value(a, target);
            a.code(op::ToNumber);
            a.storeRegister(scope_.scratch).code(op::Pop);
            targetPrefix(a, target);
            a.pushRegister(scope_.scratch);
            a.code(up ? op::Increment : op::Decrement);
            store(a, target, false);
            a.pushRegister(scope_.scratch);
            return;
        }
        targetPrefix(a, target);
        value(a, target);
        if (v_ >= 5) {
            a.code(up ? op::Increment : op::Decrement);
        } else {
            a.push("1");
            a.code(up ? op::Add : op::Subtract);
        }
        store(a, target, keep);
    }

    // Names a DefineFunction2 body keeps in registers, and its second scratch register.
    struct Scope {
        std::map<std::string, uint8_t> registers;
        uint8_t scratch = 1;
    };

    static constexpr uint16_t kPreloadThis = 0x01;
    static constexpr uint16_t kSuppressThis = 0x02;
    static constexpr uint16_t kPreloadArguments = 0x04;
    static constexpr uint16_t kSuppressArguments = 0x08;
    static constexpr uint16_t kPreloadSuper = 0x10;
    static constexpr uint16_t kSuppressSuper = 0x20;
    static constexpr uint16_t kPreloadRoot = 0x40;
    static constexpr uint16_t kPreloadParent = 0x80;
    static constexpr uint16_t kPreloadGlobal = 0x100;

    uint8_t v_;
    Scope scope_;
};

} // namespace

Actions compileStatements(const std::vector<Node>& statements, uint8_t swfVersion) {
    Actions a;
    Compiler c(swfVersion);
    c.statements(a, statements);
    return a;
}

Actions compileScript(std::string_view source, uint8_t swfVersion) {
    return compileStatements(parseScript(source), swfVersion);
}

} // namespace scriptrules
