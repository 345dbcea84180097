#pragma once
// A method body checked before it first runs, as Flash verifies it: every reachable
// instruction decoded, every jump and handler landing on an instruction, the operand stack
// and scope stack within the body's declared maxima, registers within its local count and
// constant indices within their pools. The interpreter then runs the decoded form, with
// jumps as instruction indices, and needs no bounds checks of its own for these.

#include "avm2/AbcFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace avm2 {

struct Instr {
    std::uint8_t op = 0;
    // Property access whose object is surely the method's `this` (register 0, never
    // replaced on the way): Flash binds such a name by the method's class at verify time.
    bool onThis = false;
    std::uint32_t a = 0;      // first operand (index, count, byte)
    std::uint32_t b = 0;      // second operand (argument count, register; pushscope: the
                              // type the verifier knows the scope by, a multiname or 0)
    std::uint32_t target = 0; // branches: the instruction index jumped to; switches: table
};

struct Handler {
    std::uint32_t from = 0; // instruction indices: [from, to) is guarded
    std::uint32_t to = 0;
    std::uint32_t target = 0;
    std::uint32_t type = 0;    // multiname index; 0 catches everything
    std::uint32_t varName = 0; // multiname index
};

struct PreparedCode {
    std::vector<Instr> code;
    // lookupswitch tables: default target first, then the cases (instruction indices).
    std::vector<std::vector<std::uint32_t>> switches;
    std::vector<Handler> handlers;
    // A script or class initialiser: the player interprets these rather than compiling them,
    // and its interpreter reads an array at an integer index without consulting the name's
    // namespaces.
    bool runsOnce = false;
};

// Throws AbcError (a VerifyError, with Flash's number and message) for a body Flash refuses.
// `methodName` names the method in messages ("Tests/test4()").
PreparedCode prepareBody(const AbcFile& abc, const MethodBody& body, const std::string& methodName);

} // namespace avm2
