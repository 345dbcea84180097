#pragma once
// One ABC block (the bytecode a DoABC tag carries) as read: constant pools, method
// signatures and bodies, classes and scripts. Every index in it was checked against its pool
// when read, so the interpreter may index without checking again.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace avm2 {

enum class NsKind : std::uint8_t {
    Namespace = 0x08,
    Package = 0x16,
    PackageInternal = 0x17,
    Protected = 0x18,
    Explicit = 0x19,
    StaticProtected = 0x1A,
    Private = 0x05,
};

struct NamespaceInfo {
    NsKind kind = NsKind::Package;
    std::uint32_t name = 0; // string pool index (0: the empty/any name)
};

enum class MultinameKind : std::uint8_t {
    QName = 0x07,
    QNameA = 0x0D,
    RTQName = 0x0F,
    RTQNameA = 0x10,
    RTQNameL = 0x11,
    RTQNameLA = 0x12,
    Multiname = 0x09,
    MultinameA = 0x0E,
    MultinameL = 0x1B,
    MultinameLA = 0x1C,
    TypeName = 0x1D,
};

struct MultinameInfo {
    MultinameKind kind = MultinameKind::QName;
    std::uint32_t ns = 0;    // QName: namespace pool index
    std::uint32_t name = 0;  // QName, RTQName, Multiname: string pool index (0: any)
    std::uint32_t nsSet = 0; // Multiname, MultinameL: ns set pool index
    // TypeName: the generic (a multiname index) and its parameters.
    std::uint32_t generic = 0;
    std::vector<std::uint32_t> params;

    bool runtimeName() const {
        return kind == MultinameKind::RTQNameL || kind == MultinameKind::RTQNameLA ||
               kind == MultinameKind::MultinameL || kind == MultinameKind::MultinameLA;
    }
    bool runtimeNamespace() const {
        return kind == MultinameKind::RTQName || kind == MultinameKind::RTQNameA ||
               kind == MultinameKind::RTQNameL || kind == MultinameKind::RTQNameLA;
    }
    bool attribute() const {
        return kind == MultinameKind::QNameA || kind == MultinameKind::RTQNameA ||
               kind == MultinameKind::RTQNameLA || kind == MultinameKind::MultinameA ||
               kind == MultinameKind::MultinameLA;
    }
};

namespace method_flag {
inline constexpr std::uint8_t NeedArguments = 0x01;
inline constexpr std::uint8_t NeedActivation = 0x02;
inline constexpr std::uint8_t NeedRest = 0x04;
inline constexpr std::uint8_t HasOptional = 0x08;
inline constexpr std::uint8_t SetDxns = 0x40;
inline constexpr std::uint8_t HasParamNames = 0x80;
} // namespace method_flag

struct DefaultValue {
    std::uint32_t index = 0;
    std::uint8_t kind = 0; // constant kind byte (int, uint, double, utf8, true...)
};

struct ExceptionInfo {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    std::uint32_t target = 0;
    std::uint32_t type = 0;    // multiname index; 0 catches everything
    std::uint32_t varName = 0; // multiname index; 0 for finally
};

enum class TraitKind : std::uint8_t {
    Slot = 0,
    Method = 1,
    Getter = 2,
    Setter = 3,
    Class = 4,
    Function = 5,
    Const = 6
};

struct TraitInfo {
    std::uint32_t name = 0; // a QName multiname index
    TraitKind kind = TraitKind::Slot;
    std::uint8_t attributes = 0; // final 0x1, override 0x2, metadata 0x4
    std::uint32_t slotId = 0;    // slot and const, class, function
    std::uint32_t typeName = 0;  // slot and const: multiname index (0: any)
    std::uint32_t valueIndex = 0;
    std::uint8_t valueKind = 0;
    std::uint32_t dispId = 0; // method, getter, setter
    std::uint32_t method = 0; // method, getter, setter, function
    std::uint32_t classIndex = 0;
    std::vector<std::uint32_t> metadata; // indices into AbcFile::metadata
};

struct MethodBody;

struct MethodInfo {
    std::uint32_t returnType = 0;
    std::vector<std::uint32_t> paramTypes;
    std::uint32_t name = 0;
    std::uint8_t flags = 0;
    std::vector<DefaultValue> optional;
    std::vector<std::uint32_t> paramNames;
    int body = -1; // index into AbcFile::bodies, -1 for native or abstract
};

struct MethodBody {
    std::uint32_t method = 0;
    std::uint32_t maxStack = 0;
    std::uint32_t localCount = 0;
    std::uint32_t initScopeDepth = 0;
    std::uint32_t maxScopeDepth = 0;
    std::vector<std::uint8_t> code;
    std::vector<ExceptionInfo> exceptions;
    std::vector<TraitInfo> traits;
};

namespace instance_flag {
inline constexpr std::uint8_t Sealed = 0x01;
inline constexpr std::uint8_t Final = 0x02;
inline constexpr std::uint8_t Interface = 0x04;
inline constexpr std::uint8_t ProtectedNs = 0x08;
} // namespace instance_flag

struct InstanceInfo {
    std::uint32_t name = 0;
    std::uint32_t superName = 0;
    std::uint8_t flags = 0;
    std::uint32_t protectedNs = 0;
    std::vector<std::uint32_t> interfaces;
    std::uint32_t init = 0;
    std::vector<TraitInfo> traits;
};

struct ClassInfo {
    std::uint32_t init = 0;
    std::vector<TraitInfo> traits;
};

struct ScriptInfo {
    std::uint32_t init = 0;
    std::vector<TraitInfo> traits;
};

struct MetadataInfo {
    std::uint32_t name = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> items; // key, value string indices
};

struct AbcFile {
    std::uint16_t minorVersion = 0;
    std::uint16_t majorVersion = 0;
    // Index 0 of every pool is the implied entry ("0", "", "*"...).
    std::vector<std::int32_t> ints{0};
    std::vector<std::uint32_t> uints{0};
    std::vector<double> doubles{0.0};
    std::vector<std::string> strings{std::string()};
    std::vector<NamespaceInfo> namespaces{NamespaceInfo{}};
    std::vector<std::vector<std::uint32_t>> nsSets{{}};
    std::vector<MultinameInfo> multinames{MultinameInfo{}};
    std::vector<MethodInfo> methods;
    std::vector<MetadataInfo> metadata;
    std::vector<InstanceInfo> instances;
    std::vector<ClassInfo> classes;
    std::vector<ScriptInfo> scripts;
    std::vector<MethodBody> bodies;
};

} // namespace avm2
