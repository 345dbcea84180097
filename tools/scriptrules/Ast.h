#pragma once

#include <string>
#include <vector>

namespace scriptrules {

// One node of a parsed script: expressions and statements alike. `text` holds a name, a
// string literal or an operator; `kids` the operands in source order.
struct Node {
    enum class Kind {
        Number,
        String,
        Bool,
        Null,
        Undefined,
        Name,
        Member, // kids: object, key (a String node for `a.b`)
        Call,   // kids: callee, arguments...
        New,    // kids: callee, arguments...
        Object, // kids: key (String), value, key, value...
        Array,
        Function, // params in `params`, body statements in kids
        Unary,    // text: - + ! ~ typeof delete
        Binary,   // text: the operator
        Logical,  // text: && ||
        Conditional,
        Assign,     // text: = += -= ...; kids: target, value
        Update,     // text: ++ --; number: 1 for prefix; kids: target
        ExprStmt,   // kids: expression
        Var,        // text: name; kids: initial value if any
        If,         // kids: condition, then, else if any
        While,      // kids: condition, body
        For,        // kids: init (Empty or statement), condition (Empty), update (Empty), body
        ForIn,      // text: the variable (declared with var when number is 1); kids: object, body
        Return,     // kids: value if any
        With,       // kids: object, body
        Throw,      // kids: value
        Try,        // text: the catch variable (empty: no catch); kids: try, catch, finally blocks
        TellTarget, // kids: target, body
        IfFrameLoaded, // kids: frame, body
        Block,
        Empty,
    };
    Kind kind = Kind::Empty;
    std::string text;
    double number = 0;
    std::vector<std::string> params;
    std::vector<Node> kids;
};

} // namespace scriptrules
