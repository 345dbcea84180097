#pragma once

#include "Ast.h"
#include "moviemaker/ActionWriter.h"

#include <cstdint>
#include <functional>

namespace scriptrules {

// Emits the value of `node` (the compiler's own expression emitter).
using EmitValue = std::function<void(moviemaker::Actions&, const Node&)>;

// The actions the ActionScript 2 compiler emits for class code, written in tables as calls:
//   super(args)              the super constructor called as a method of the super object
//   extends(Sub, Super)      Extends (worth undefined)
//   implements(C, I1, I2...) ImplementsOp (worth undefined)
//   cast(C, value)           CastOp
// `super.m(args)` needs nothing of its own: it is a method call on the variable `super`.
// Returns false when `call` is none of these.
bool classForm(moviemaker::Actions& a, const Node& call, uint8_t swfVersion,
               const EmitValue& value);

} // namespace scriptrules
