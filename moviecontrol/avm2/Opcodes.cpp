#include "avm2/Opcodes.h"

namespace avm2::op {

Operands operandsOf(std::uint8_t o) {
    switch (o) {
    case Bkpt: case Nop: case Throw: case DxnsLate: case Label: case PushWith: case PopScope:
    case NextName: case HasNext: case PushNull: case PushUndefined: case NextValue:
    case PushTrue: case PushFalse: case PushNaN: case Pop: case Dup: case Swap:
    case PushScope: case ReturnVoid: case ReturnValue: case Sxi1: case Sxi8: case Sxi16:
    case NewActivation: case GetGlobalScope: case ConvertS: case EscXElem: case EscXAttr:
    case ConvertI: case ConvertU: case ConvertD: case ConvertB: case ConvertO:
    case CheckFilter: case CoerceB: case CoerceA: case CoerceI: case CoerceD: case CoerceS:
    case AsTypeLate: case CoerceU: case CoerceO: case Negate: case Increment:
    case Decrement: case TypeOf: case Not: case BitNot: case Add: case Subtract:
    case Multiply: case Divide: case Modulo: case LShift: case RShift: case URShift:
    case BitAnd: case BitOr: case BitXor: case Equals: case StrictEquals: case LessThan:
    case LessEquals: case GreaterThan: case GreaterEquals: case InstanceOf:
    case IsTypeLate: case In: case IncrementI: case DecrementI: case NegateI: case AddI:
    case SubtractI: case MultiplyI: case Timestamp:
        return Operands::None;
    case PushByte: case GetScopeObject:
        return Operands::U8;
    case GetSuper: case SetSuper: case Dxns: case Kill: case PushShort: case PushString:
    case PushInt: case PushUint: case PushDouble: case PushNamespace: case NewFunction:
    case Call: case Construct: case ConstructSuper: case ApplyType: case NewObject:
    case NewArray: case NewClass: case GetDescendants: case NewCatch: case FindPropStrict:
    case FindProperty: case FindDef: case GetLex: case SetProperty: case GetLocal:
    case SetLocal: case GetProperty: case GetOuterScope: case InitProperty:
    case DeleteProperty: case GetSlot: case SetSlot: case GetGlobalSlot: case SetGlobalSlot:
    case Coerce: case AsType: case IncLocal: case DecLocal: case IsType: case IncLocalI:
    case DecLocalI: case DebugLine: case DebugFile: case BkptLine:
        return Operands::U30;
    case HasNext2: case CallMethod: case CallStatic: case CallSuper: case CallProperty:
    case ConstructProp: case CallPropLex: case CallSuperVoid: case CallPropVoid:
        return Operands::U30U30;
    case IfNlt: case IfNle: case IfNgt: case IfNge: case Jump: case IfTrue: case IfFalse:
    case IfEq: case IfNe: case IfLt: case IfLe: case IfGt: case IfGe: case IfStrictEq:
    case IfStrictNe:
        return Operands::S24;
    case LookupSwitch:
        return Operands::Switch;
    case Debug:
        return Operands::DebugInfo;
    default:
        if ((o >= Li8 && o <= Sf64) || (o >= GetLocal0 && o <= SetLocal3)) {
            return Operands::None;
        }
        return Operands::Illegal;
    }
}

} // namespace avm2::op
