// The run-time error texts the player words its errors with, kept in one table sorted by
// number so that a lookup is a binary search.
#include "avm2/ErrorMessages.h"

#include <algorithm>
#include <array>
#include <utility>

namespace avm2 {

namespace {

using Entry = std::pair<std::int32_t, std::string_view>;

constexpr auto kMessages = std::to_array<Entry>({
    {1000, "The system is out of memory."},
    {1001, "The method %1 is not implemented."},
    {1002, "Number.toPrecision has a range of 1 to 21. Number.toFixed and Number.toExponential "
           "have a range of 0 to 20. Specified value is not within expected range."},
    {1003, "The radix argument must be between 2 and 36; got %1."},
    {1004, "Method %1 was invoked on an incompatible object."},
    {1005, "Array index is not a positive integer (%1)."},
    {1006, "%1 is not a function."},
    {1007, "Instantiation attempted on a non-constructor."},
    {1008, "%1 is ambiguous; Found more than one matching binding."},
    {1009, "Cannot access a property or method of a null object reference."},
    {1010, "A term is undefined and has no properties."},
    {1011, "Method %1 contained illegal opcode %2 at offset %3."},
    {1012, "The last instruction exceeded code size."},
    {1013, "Cannot call OP_findproperty when scopeDepth is 0."},
    {1014, "Class %1 could not be found."},
    {1015, "Method %1 cannot set default xml namespace"},
    {1016, "Descendants operator (..) not supported on type %1."},
    {1017, "Scope stack overflow occurred."},
    {1018, "Scope stack underflow occurred."},
    {1019, "Getscopeobject %1 is out of bounds."},
    {1020, "Code cannot fall off the end of a method."},
    {1021, "At least one branch target was not on a valid instruction in the method."},
    {1022, "Type void may only be used as a function return type."},
    {1023, "Stack overflow occurred."},
    {1024, "Stack underflow occurred."},
    {1025, "An invalid register %1 was accessed."},
    {1026, "Slot %1 exceeds slotCount=%2 of %3."},
    {1027, "Method_info %1 exceeds method_count=%2."},
    {1028, "Disp_id %1 exceeds max_disp_id=%2 of %3."},
    {1029, "Disp_id %1 is undefined on %2."},
    {1030, "Stack depth is unbalanced. %1 != %2."},
    {1031, "Scope depth is unbalanced. %1 != %2."},
    {1032, "Cpool index %1 is out of range %2."},
    {1033, "Cpool entry %1 is wrong type."},
    {1034, "Type Coercion failed: cannot convert %1 to %2."},
    {1035, "Illegal super expression found in method %1."},
    {1037, "Cannot assign to a method %1 on %2."},
    {1038, "%1 is already defined."},
    {1039, "Cannot verify method until it is referenced."},
    {1040, "The right-hand side of instanceof must be a class or function."},
    {1041, "The right-hand side of operator must be a class."},
    {1042, "Not an ABC file.  major_version=%1 minor_version=%2."},
    {1043, "Invalid code_length=%1."},
    {1044, "MethodInfo-%1 unsupported flags=%2."},
    {1045, "Unsupported traits kind=%1."},
    {1046, "MethodInfo-%1 referenced before definition."},
    {1047, "No entry point was found."},
    {1049, "Prototype objects must be vanilla Objects."},
    {1050, "Cannot convert %1 to primitive."},
    {1051, "Illegal early binding access to %1."},
    {1052, "Invalid URI passed to %1 function."},
    {1053, "Illegal override of %1 in %2."},
    {1054, "Illegal range or target offsets in exception handler."},
    {1056, "Cannot create property %1 on %2."},
    {1057, "%1 can only contain methods."},
    {1058, "Illegal operand type: %1 must be %2."},
    {1059, "ClassInfo-%1 is referenced before definition."},
    {1060, "ClassInfo %1 exceeds class_count=%2."},
    {1061, "The value %1 cannot be converted to %2 without losing precision."},
    {1063, "Argument count mismatch on %1. Expected %2, got %3."},
    {1064, "Cannot call method %1 as constructor."},
    {1065, "Variable %1 is not defined."},
    {1066, "The form function('function body') is not supported."},
    {1067, "Native method %1 has illegal method body."},
    {1068, "%1 and %2 cannot be reconciled."},
    {1069, "Property %1 not found on %2 and there is no default value."},
    {1070, "Method %1 not found on %2"},
    {1071, "Function %1 has already been bound to %2."},
    {1072, "Disp_id 0 is illegal."},
    {1073, "Non-override method %1 replaced because of duplicate disp_id %2."},
    {1074, "Illegal write to read-only property %1 on %2."},
    {1075, "Math is not a function."},
    {1076, "Math is not a constructor."},
    {1077, "Illegal read of write-only property %1 on %2."},
    {1078, "Illegal opcode/multiname combination: %1<%2>."},
    {1079, "Native methods are not allowed in loaded code."},
    {1080, "Illegal value for namespace."},
    {1081, "Property %1 not found on %2 and there is no default value."},
    {1082, "No default namespace has been set."},
    {1083, "The prefix \"%1\" for element \"%2\" is not bound."},
    {1084, "Element or attribute (\"%1\") does not match QName production: "
           "QName::=(NCName':')?NCName."},
    {1085, "The element type \"%1\" must be terminated by the matching end-tag \"</%2>\"."},
    {1086, "The %1 method only works on lists containing one item."},
    {1087, "Assignment to indexed XML is not allowed."},
    {1088, "The markup in the document following the root element must be well-formed."},
    {1089, "Assignment to lists with more than one item is not supported."},
    {1090, "XML parser failure: element is malformed."},
    {1091, "XML parser failure: Unterminated CDATA section."},
    {1092, "XML parser failure: Unterminated XML declaration."},
    {1093, "XML parser failure: Unterminated DOCTYPE declaration."},
    {1094, "XML parser failure: Unterminated comment."},
    {1095, "XML parser failure: Unterminated attribute."},
    {1096, "XML parser failure: Unterminated element."},
    {1097, "XML parser failure: Unterminated processing instruction."},
    {1098, "Illegal prefix %1 for no namespace."},
    {1100, "Cannot supply flags when constructing one RegExp from another."},
    {1101, "Cannot verify method %1 with unknown scope."},
    {1102, "Illegal default value for type %1."},
    {1103, "Class %1 cannot extend final base class."},
    {1104, "Attribute \"%1\" was already specified for element \"%2\"."},
    {1107, "The ABC data is corrupt, attempt to read out of bounds."},
    {1108, "The OP_newclass opcode was used with the incorrect base class."},
    {1109, "Attempt to directly call unbound function %1 from method %2."},
    {1110, "%1 cannot extend %2."},
    {1111, "%1 cannot implement %2."},
    {1112, "Argument count mismatch on class coercion.  Expected 1, got %1."},
    {1113, "OP_newactivation used in method without NEED_ACTIVATION flag."},
    {1114, "OP_getglobalslot or OP_setglobalslot used with no global scope."},
    {1115, "%1 is not a constructor."},
    {1116, "second argument to Function.prototype.apply must be an array."},
    {1117, "Invalid XML name: %1."},
    {1118, "Illegal cyclical loop between nodes."},
    {1119, "Delete operator is not supported with operand of type %1."},
    {1120, "Cannot delete property %1 on %2."},
    {1121, "Method %1 has a duplicate method body."},
    {1122, "Interface method %1 has illegal method body."},
    {1123, "Filter operator not supported on type %1."},
    {1124, "OP_hasnext2 requires object and index to be distinct registers."},
    {1125, "The index %1 is out of range %2."},
    {1126, "Cannot change the length of a fixed Vector."},
    {1127, "Type application attempted on a non-parameterized type."},
    {1128, "Incorrect number of type parameters for %1. Expected %2, got %3."},
    {1129, "Cyclic structure cannot be converted to JSON string."},
    {1131, "Replacer argument to JSON stringifier must be an array or a two parameter function."},
    {1132, "Invalid JSON parse input."},
    {1500, "Error occurred opening file %1."},
    {1501, "Error occurred writing to file %1."},
    {1502, "A script has executed for longer than the default timeout period of 15 seconds."},
    {1503, "A script failed to exit after 30 seconds and was terminated."},
    {1504, "End of file."},
    {1505, "The string index %1 is out of bounds; must be in range %2 to %3."},
    {1506, "The specified range is invalid."},
    {1507, "Argument %1 cannot be null."},
    {1508, "The value specified for argument %1 is invalid."},
    {1510, "When the callback argument is a method of a class, the optional this argument must "
           "be null."},
    {1511, "Worker is already started."},
    {1512, "Starting a worker that already failed is not supported."},
    // The stray quote is the player's own.
    {1513, "Worker has terminated.\""},
    {1514, "unlock() with no preceding matching lock()."},
    {1515, "Invalid condition timeout value: %1."},
    {1516, "Condition cannot notify if associated mutex is not owned."},
    {1517, "Condition cannot notifyAll if associated mutex is not owned."},
    {1518, "Condition cannot wait if associated mutex is not owned."},
    {1519, "Condition cannot be initialized."},
    {1520, "Mutex cannot be initialized."},
    {1521, "Only the worker's parent may call start."},
    {2004, "One of the parameters is invalid."},
    {2006, "The supplied index is out of bounds."},
    {2007, "Parameter %1 must be non-null."},
    {2008, "Parameter %1 must be one of the accepted values."},
    {2012, "%1 class cannot be instantiated."},
    {2015, "Invalid BitmapData."},
    {2024, "An object cannot be added as a child of itself."},
    {2025, "The supplied DisplayObject must be a child of the caller."},
    {2030, "End of file was encountered."},
    {2037, "Functions called in incorrect sequence, or earlier call was unsuccessful."},
    {2058, "There was an error decompressing the data."},
    {2067, "The ExternalInterface is not available in this container. ExternalInterface "
           "requires Internet Explorer ActiveX, Firefox, Mozilla 1.7.5 and greater, or other "
           "browsers that support NPRuntime."},
    {2085, "Parameter %1 must be non-empty string."},
    {2088, "The Proxy class does not implement getProperty. It must be overridden by a subclass."},
    {2089, "The Proxy class does not implement setProperty. It must be overridden by a subclass."},
    {2090, "The Proxy class does not implement callProperty. It must be overridden by a "
           "subclass."},
    {2091, "The Proxy class does not implement hasProperty. It must be overridden by a subclass."},
    {2092, "The Proxy class does not implement deleteProperty. It must be overridden by a "
           "subclass."},
    {2093, "The Proxy class does not implement getDescendants. It must be overridden by a "
           "subclass."},
    {2094, "Event dispatch recursion overflow."},
    {2105, "The Proxy class does not implement nextNameIndex. It must be overridden by a "
           "subclass."},
    {2106, "The Proxy class does not implement nextName. It must be overridden by a subclass."},
    {2107, "The Proxy class does not implement nextValue. It must be overridden by a subclass."},
    {2150, "An object cannot be added as a child to one of it's children (or children's "
           "children, etc.)."},
    {2173, "Unable to read object in stream.  The class %1 does not implement "
           "flash.utils.IExternalizable but is aliased to an externalizable class."},
    {3735, "This API cannot accept shared ByteArrays."},
});

constexpr bool sortedById() {
    for (std::size_t i = 1; i < kMessages.size(); ++i) {
        if (kMessages[i - 1].first >= kMessages[i].first) {
            return false;
        }
    }
    return true;
}
static_assert(sortedById(), "the lookup searches the table by number");

} // namespace

std::string_view errorTemplate(std::int32_t id) {
    const auto it =
        std::lower_bound(kMessages.begin(), kMessages.end(), id,
                         [](const Entry& e, std::int32_t key) { return e.first < key; });
    return it != kMessages.end() && it->first == id ? it->second : std::string_view();
}

std::string errorMessage(std::int32_t id) {
    std::string out = "Error #" + std::to_string(id);
    const std::string_view text = errorTemplate(id);
    if (!text.empty()) {
        out += ": ";
        out += text;
    }
    return out;
}

} // namespace avm2
