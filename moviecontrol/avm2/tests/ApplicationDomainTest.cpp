// Application domains: blocks loaded into a domain define names for it and its children, a
// name resolves parent first, ApplicationDomain answers for the domain it stands for, and the
// memory instructions read and write the domain's memory, refusing addresses outside it.

#include "AbcBuilder.h"
#include "PlayerClassTest.h"

#include "avm2/ByteArrayData.h"
#include "avm2/DomainObjects.h"

namespace {

using avm2::Machine;
using avm2::Value;
using avm2test::Bytes;

// A block whose script defines the public variable pkg::local holding `value`.
Bytes markerBlock(const std::string& pkg, const std::string& local, const std::string& value) {
    avm2test::AbcBuilder abc;
    const auto ns = abc.package(abc.string(pkg));
    const auto marker = abc.qname(ns, abc.string(local));
    const auto text = abc.string(value);
    const auto init = abc.method();
    abc.scripts.push_back({init, {{marker, 0, 1, 0, 0}}});
    Bytes code{0xD0, 0x30, 0xD0};
    avm2test::name(code, 0x2C, text);   // pushstring
    avm2test::name(code, 0x68, marker); // initproperty
    code.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{init, 2, 1, 0, 1, code, {}});
    return abc.build();
}

class ApplicationDomains : public avm2test::PlayerClassTest {
  protected:
    Value domainClass() { return classNamed("flash.system::ApplicationDomain"); }
    Value current() {
        return vm.getProperty(domainClass(), avm2::Name::publicName("currentDomain"));
    }
    Value newDomain(const Value& parent = Value::null()) {
        return make("flash.system::ApplicationDomain", {parent});
    }
    // Loads `block` into the domain `domainObject` stands for.
    void loadInto(const Value& domainObject, const Bytes& block) {
        const Machine::DomainScope inside(vm, idOf(domainObject));
        vm.loadAbc(block, false);
    }
    static std::uint32_t idOf(const Value& domainObject) {
        return avm2::domainOfObject(domainObject).value_or(Machine::kMovieDomain);
    }
    std::string definition(const Value& domain, const std::string& name) {
        const std::string error = thrown([&] { call(domain, "getDefinition", {str(name)}); });
        return error.empty() ? text(call(domain, "getDefinition", {str(name)})) : error;
    }
    std::string names(const Value& domain) {
        return text(call(domain, "getQualifiedDefinitionNames"));
    }
    static Value str(const std::string& s) { return Value::string(s); }
};

} // namespace

TEST_F(ApplicationDomains, TheDomainsFormATreeUnderTheSystemDomain) {
    const Value main = current();
    // The first movie's domain is a child of the system domain, which stays hidden: the
    // movie's says it has no parent.
    EXPECT_EQ(vm.parentDomain(idOf(main)), Machine::kSystemDomain);
    EXPECT_EQ(get(main, "parentDomain"), "null");
    // Every read is a new view of the same domain.
    EXPECT_FALSE(vm.strictEquals(main, current()));
    EXPECT_EQ(idOf(current()), idOf(main));
    // A domain made without a parent is a child of the system domain, not of the movie's.
    const Value loose = newDomain();
    EXPECT_EQ(vm.parentDomain(idOf(loose)), Machine::kSystemDomain);
    EXPECT_EQ(get(loose, "parentDomain"), "null");
    const Value child = newDomain(main);
    EXPECT_EQ(idOf(vm.getProperty(child, avm2::Name::publicName("parentDomain"))),
              Machine::kMovieDomain);
    const Value grandchild = newDomain(child);
    EXPECT_EQ(idOf(vm.getProperty(grandchild, avm2::Name::publicName("parentDomain"))),
              idOf(child));
    EXPECT_EQ(get(domainClass(), "MIN_DOMAIN_MEMORY_LENGTH"), "1024");
}

TEST_F(ApplicationDomains, ANameResolvesParentFirst) {
    const Value main = current();
    vm.loadAbc(markerBlock("cards", "Marker", "main"), false);
    const Value child = newDomain(main);
    const Value sibling = newDomain();
    loadInto(child, markerBlock("cards", "Marker", "child"));
    loadInto(sibling, markerBlock("cards", "Marker", "sibling"));
    loadInto(child, markerBlock("", "OnlyChild", "mine"));

    // The child cannot replace what its parent defines; a domain beside it keeps its own.
    EXPECT_EQ(definition(main, "cards.Marker"), "main");
    EXPECT_EQ(definition(child, "cards.Marker"), "main");
    EXPECT_EQ(definition(child, "cards::Marker"), "main");
    EXPECT_EQ(definition(sibling, "cards.Marker"), "sibling");
    // A parent does not see its children's definitions.
    EXPECT_EQ(definition(child, "OnlyChild"), "mine");
    EXPECT_EQ(definition(main, "OnlyChild"), "ReferenceError #1065");
    EXPECT_EQ(text(call(main, "hasDefinition", {str("OnlyChild")})), "false");
    EXPECT_EQ(text(call(child, "hasDefinition", {str("OnlyChild")})), "true");
    // The player's own definitions are everyone's.
    EXPECT_EQ(text(call(sibling, "hasDefinition", {str("flash.display.Sprite")})), "true");
    EXPECT_EQ(definition(sibling, "flash.display.Sprite"), "[class Sprite]");

    // Flash's text for a name nobody defines.
    try {
        call(child, "getDefinition", {str("cards.Missing")});
        ADD_FAILURE() << "no error";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(get(t.value, "message"), "Error #1065: Variable cards.Missing is not defined.");
    }

    // Each domain lists the public definitions of its own blocks alone.
    EXPECT_EQ(names(main), "cards::Marker");
    EXPECT_EQ(names(child), "cards::Marker,OnlyChild");
    EXPECT_EQ(names(newDomain()), "");
}

TEST_F(ApplicationDomains, CodeFindsNamesInItsOwnDomain) {
    // getDefinitionByName and plain names in a block's code resolve in the block's domain.
    vm.loadAbc(markerBlock("", "Marker", "main"), false);
    const Value sibling = newDomain();
    loadInto(sibling, markerBlock("", "Marker", "sibling"));
    avm2test::TraceScript script;
    const auto marker = script.abc.qname(script.publicNs, script.abc.string("Marker"));
    Bytes code;
    avm2test::name(code, 0x60, marker); // getlex Marker
    loadInto(sibling, script.build(code));
    vm.loadAbc(script.build(code), false);
    EXPECT_EQ(host.text(), "sibling\nmain\n");
}

TEST_F(ApplicationDomains, MemoryInstructionsUseTheDomainsBytes) {
    const Value main = current();
    // Until a ByteArray is given, the domain has 1024 bytes of its own, and says null.
    EXPECT_EQ(get(main, "domainMemory"), "null");
    avm2test::TraceScript script;
    // Each block traces what its code leaves: stores, then loads of what they wrote.
    auto run = [&](const Bytes& code) {
        host.lines.clear();
        vm.loadAbc(script.build(code), false);
        return host.text();
    };
    // pushshort 0x1234 (4660), pushbyte 8, si16; li16 8
    EXPECT_EQ(run({0x25, 0xB4, 0x24, 0x24, 0x08, 0x3B, 0x24, 0x08, 0x36}), "4660\n");
    // li8 8 is the low byte (0x34), li8 9 the high one (0x12): little-endian.
    EXPECT_EQ(run({0x24, 0x08, 0x35}), "52\n");
    EXPECT_EQ(run({0x24, 0x09, 0x35}), "18\n");
    // si8 keeps the low 8 bits of -1; sxi8 reads them back signed.
    EXPECT_EQ(run({0x24, 0xFF, 0x24, 0x00, 0x3A, 0x24, 0x00, 0x35}), "255\n");
    EXPECT_EQ(run({0x24, 0x00, 0x35, 0x51}), "-1\n");
    // A Number through sf64/lf64 and (rounded to a float) sf32/lf32.
    EXPECT_EQ(run({0x28, 0x24, 0x10, 0x3E, 0x24, 0x10, 0x39}), "NaN\n");
    EXPECT_EQ(run({0x24, 0x03, 0x25, 0xFC, 0x07, 0x3D, 0x25, 0xFC, 0x07, 0x38}), "3\n");

    // Anything touching a byte past the end, or before the start, is Flash's RangeError.
    for (const Bytes& outside :
         {Bytes{0x25, 0xFD, 0x07, 0x37}, Bytes{0x25, 0x80, 0x08, 0x35}, Bytes{0x24, 0xFF, 0x35},
          Bytes{0x24, 0x01, 0x25, 0xFF, 0x07, 0x3B, 0x24, 0x00}}) {
        EXPECT_NE(run(outside).find("RangeError: Error #1506: The specified range is invalid."),
                  std::string::npos);
    }

    // A ByteArray shorter than 1024 bytes is refused; a longer one becomes the memory.
    const Value small = make("flash.utils::ByteArray");
    set(small, "length", Value::integer(1023));
    EXPECT_EQ(thrown([&] { set(main, "domainMemory", small); }), "Error #1504");
    const Value bytes = make("flash.utils::ByteArray");
    set(bytes, "length", Value::integer(2048));
    set(main, "domainMemory", bytes);
    EXPECT_TRUE(
        vm.strictEquals(vm.getProperty(main, avm2::Name::publicName("domainMemory")), bytes));
    // pushbyte 7, pushshort 2000, si8: within the larger memory, written into the array.
    EXPECT_EQ(run({0x24, 0x07, 0x25, 0xD0, 0x0F, 0x3A, 0x25, 0xD0, 0x0F, 0x35}), "7\n");
    EXPECT_EQ(avm2::byteArrayData(bytes)->data[2000], 7);
    // A script shrinking the array shrinks what the instructions reach.
    set(bytes, "length", Value::integer(4));
    EXPECT_NE(run({0x25, 0xD0, 0x0F, 0x35}).find("RangeError"), std::string::npos);
    // Null gives the domain its own bytes back.
    set(main, "domainMemory", Value::null());
    EXPECT_EQ(get(main, "domainMemory"), "null");
    EXPECT_EQ(thrown([&] { set(main, "domainMemory", str("x")); }), "TypeError #1034");
}
