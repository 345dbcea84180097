// describeType by table: null and undefined as Flash names them, and what a class's
// description holds for its instances and for the class object itself.

#include "AbcBuilder.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Namespace;
using avm2::Value;

class DescribeType : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    // The XML text describeType gives (flash.utils' or avmplus'), or the error it throws.
    std::string describe(const char* package, const Value& v) {
        const Name name = Name::qualified(Namespace::publicNs(package), "describeType");
        try {
            const Value fn = vm.getProperty(vm.findDefinition(name), name);
            Args args{v, Value::unsignedInt(0x05FF)};
            const Value xml = vm.call(fn, Value::null(), args);
            Args none;
            return vm.toString(vm.callProperty(xml, Name::publicName("toXMLString"), none));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    Value point() {
        Args none;
        return vm.construct(Value::object(vm.findClass("flash.geom::Point")->classObject), none);
    }
};

struct Case {
    const char* what;
    const char* package;
    Value value;
    std::vector<std::string> holds; // pieces of the text, in order
};

TEST_F(DescribeType, DescriptionsNameTheTypeThenItsBasesThenItsMembers) {
    const Value pointClass = Value::object(vm.findClass("flash.geom::Point")->classObject);
    const std::vector<Case> table = {
        {"null",
         "flash.utils",
         Value::null(),
         {R"(<type name="null" isDynamic="false" isFinal="true" isStatic="false"/>)"}},
        {"undefined through avmplus",
         "avmplus",
         Value(),
         {R"(<type name="void" isDynamic="false" isFinal="true" isStatic="false"/>)"}},
        {"undefined through flash.utils",
         "flash.utils",
         Value(),
         {"TypeError: Error #1010: A term is undefined and has no properties."}},
        {"an instance",
         "flash.utils",
         point(),
         {R"(<type name="flash.geom::Point" base="Object" isDynamic="false")",
          R"(<extendsClass type="Object"/>)", R"(<variable name="x" type="Number"/>)",
          R"(<variable name="y" type="Number"/>)"}},
        {"a class",
         "flash.utils",
         pointClass,
         {R"(<type name="flash.geom::Point" base="Class" isDynamic="true" isFinal="true")",
          R"(<extendsClass type="Class"/>)", R"(<extendsClass type="Object"/>)",
          R"(<accessor name="prototype" access="readonly" type="*" declaredBy="Class"/>)",
          R"(<factory type="flash.geom::Point">)", R"(<variable name="x" type="Number"/>)"}},
        {"a class's prototype sorts among its accessors, after its variables",
         "flash.utils",
         Value::object(vm.findClass("flash.events::Event")->classObject),
         {R"(<constant name=")",
          R"(<accessor name="prototype" access="readonly" type="*" declaredBy="Class"/>)",
          R"(<factory type="flash.events::Event">)"}},
        {"a plain object",
         "flash.utils",
         Value::object(vm.newObject()),
         {R"(<type name="Object" isDynamic="true" isFinal="false" isStatic="false">)",
          R"(<method name="hasOwnProperty" declaredBy="Object" returnType="Boolean")",
          R"(<parameter index="1" type="*" optional="true"/>)"}},
        // Native classes: their declared constructor parameters and accessor types.
        {"an int",
         "flash.utils",
         Value::integer(3),
         {R"(<type name="int" base="Object" isDynamic="false" isFinal="true")", "<constructor>",
          R"(<parameter index="1" type="*" optional="true"/>)", "</constructor>"}},
        {"a Number",
         "flash.utils",
         Value::number(0.5),
         {R"(<type name="Number" base="Object" isDynamic="false" isFinal="true")"}},
        {"a String",
         "flash.utils",
         Value::string("s"),
         {R"(<type name="String" base="Object" isDynamic="false" isFinal="true")",
          R"(<accessor name="length" access="readonly" type="int" declaredBy="String"/>)"}},
        {"a Boolean",
         "flash.utils",
         Value::boolean(true),
         {R"(<type name="Boolean" base="Object" isDynamic="false" isFinal="true")"}},
        {"an Array",
         "flash.utils",
         Value::object(vm.newArray({})),
         {R"(<type name="Array" base="Object" isDynamic="true" isFinal="false")",
          R"(<accessor name="length" access="readwrite" type="uint" declaredBy="Array"/>)"}},
        {"an error class takes Error's constructor",
         "flash.utils",
         Value::object(vm.findClass("TypeError")->classObject),
         {R"(<factory type="TypeError">)", R"(<parameter index="2" type="*" optional="true"/>)",
          R"(<accessor name="errorID" access="readonly" type="int" declaredBy="Error"/>)"}},
        {"a display object's accessors, under the classes declaring them",
         "flash.utils",
         Value::object(vm.findClass("flash.display::MovieClip")->classObject),
         {R"(<accessor name="currentFrame" access="readonly" type="int" )"
          R"(declaredBy="flash.display::MovieClip"/>)",
          R"(<accessor name="parent" access="readonly" )"
          R"(type="flash.display::DisplayObjectContainer" declaredBy="flash.display::DisplayObject"/>)",
          R"(<accessor name="x" access="readwrite" type="Number" )"
          R"(declaredBy="flash.display::DisplayObject"/>)"}},
        {"an event's accessors",
         "flash.utils",
         Value::object(vm.findClass("flash.events::Event")->classObject),
         {R"(<accessor name="eventPhase" access="readonly" type="uint" )"
          R"(declaredBy="flash.events::Event"/>)"}},
        {"a point's constructor",
         "flash.utils",
         point(),
         {R"(<parameter index="1" type="Number" optional="true"/>)",
          R"(<parameter index="2" type="Number" optional="true"/>)",
          R"(<accessor name="length" access="readonly" type="Number")"}},
    };
    for (const Case& c : table) {
        const std::string text = describe(c.package, c.value);
        std::size_t at = 0;
        for (const std::string& piece : c.holds) {
            const std::size_t found = text.find(piece, at);
            EXPECT_NE(found, std::string::npos) << c.what << ": " << piece << "\n" << text;
            at = found == std::string::npos ? at : found + piece.size();
        }
    }
}

struct NativeMethodCase {
    const char* cls;
    const char* method; // the method's element, up to its parameters
    std::vector<std::string> parameters;
};

// A native method shows its declared return type and parameters, a parameter with a default
// as optional, under the class that declares it, in every class that inherits it.
TEST_F(DescribeType, NativeMethodsShowTheirDeclaredSignatures) {
    const std::string child = "flash.display::DisplayObject";
    const std::vector<NativeMethodCase> table = {
        {"flash.display::MovieClip",
         R"(<method name="addChildAt" declaredBy="flash.display::DisplayObjectContainer" )"
         R"(returnType="flash.display::DisplayObject">)",
         {R"(<parameter index="1" type=")" + child + R"(" optional="false"/>)",
          R"(<parameter index="2" type="int" optional="false"/>)"}},
        {"flash.display::MovieClip",
         R"(<method name="gotoAndStop" declaredBy="flash.display::MovieClip" )"
         R"(returnType="void">)",
         {R"(<parameter index="1" type="Object" optional="false"/>)",
          R"(<parameter index="2" type="String" optional="true"/>)"}},
        {"flash.display::Sprite",
         R"(<method name="addEventListener" declaredBy="flash.events::EventDispatcher" )"
         R"(returnType="void">)",
         {R"(<parameter index="1" type="String" optional="false"/>)",
          R"(<parameter index="2" type="Function" optional="false"/>)",
          R"(<parameter index="3" type="Boolean" optional="true"/>)",
          R"(<parameter index="4" type="int" optional="true"/>)",
          R"(<parameter index="5" type="Boolean" optional="true"/>)"}},
        {"flash.display::Sprite",
         R"(<method name="hitTestPoint" declaredBy="flash.display::DisplayObject" )"
         R"(returnType="Boolean">)",
         {R"(<parameter index="1" type="Number" optional="false"/>)",
          R"(<parameter index="2" type="Number" optional="false"/>)",
          R"(<parameter index="3" type="Boolean" optional="true"/>)"}},
        {"flash.events::Event",
         R"(<method name="stopPropagation" declaredBy="flash.events::Event" )"
         R"(returnType="void"/>)",
         {}},
        {"flash.events::Event",
         R"(<method name="clone" declaredBy="flash.events::Event" )"
         R"(returnType="flash.events::Event"/>)",
         {}},
        {"flash.events::MouseEvent",
         R"(<method name="clone" declaredBy="flash.events::MouseEvent" )"
         R"(returnType="flash.events::Event"/>)",
         {}},
    };
    for (const NativeMethodCase& c : table) {
        avm2::Class* cls = vm.findClass(c.cls);
        ASSERT_NE(cls, nullptr) << c.cls;
        const std::string text = describe("flash.utils", Value::object(cls->classObject));
        const std::size_t start = text.find(c.method);
        ASSERT_NE(start, std::string::npos) << c.cls << ": " << c.method << "\n" << text;
        // A method without parameters closes its own element ("/>" in `method`).
        const std::size_t end =
            c.parameters.empty() ? start + std::strlen(c.method) : text.find("</method>", start);
        const std::string element = text.substr(start, end - start);
        std::size_t at = 0;
        for (const std::string& piece : c.parameters) {
            const std::size_t found = element.find(piece, at);
            EXPECT_NE(found, std::string::npos) << c.method << ": " << piece << "\n" << element;
            at = found == std::string::npos ? at : found + piece.size();
        }
        const auto count = [&element](const std::string& what) {
            std::size_t n = 0;
            for (std::size_t at = element.find(what); at != std::string::npos;
                 at = element.find(what, at + 1)) {
                ++n;
            }
            return n;
        };
        EXPECT_EQ(count("<parameter "), c.parameters.size()) << c.method << "\n" << element;
    }
}

// A member in a namespace with a URI shows, with the URI, unless a base class binds a name in
// that namespace too: Proxy shows its flash_proxy hooks, a subclass of it does not.
TEST_F(DescribeType, MembersInANamespaceABaseUsesAreHidden) {
    const std::string proxyUri = R"(uri="http://www.adobe.com/2006/actionscript/flash/proxy")";
    avm2::Class* proxy = vm.findClass("flash.utils::Proxy");
    avm2::Class* sub = vm.defineClass("cards", "Pile", proxy);
    Args none;
    const struct {
        avm2::Class* cls;
        bool shown;
    } table[] = {{proxy, true}, {sub, false}};
    for (const auto& c : table) {
        const std::string text =
            describe("flash.utils", vm.construct(Value::object(c.cls->classObject), none));
        EXPECT_EQ(text.find(R"(<method name="getProperty")") != std::string::npos, c.shown) << text;
        EXPECT_EQ(text.find(proxyUri) != std::string::npos, c.shown) << text;
    }
}

// [Card(kind="front")] class Shape implements IShape { [Inject] var size } and interface
// IShape, each in a script of its own, and an entry script that describes a Shape before
// anything has reached IShape: the description names the interface all the same, as Flash
// links a class's interfaces when it makes it, and shows the metadata the compiler kept.
TEST(DescribeTypeCompiled, InterfacesNoCodeHasReachedAndMetadataAreListed) {
    using avm2test::u30;
    avm2test::TraceScript s;
    avm2test::AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t shapeIface = abc.qname(s.publicNs, abc.string("IShape"));
    const std::uint32_t shape = abc.qname(s.publicNs, abc.string("Shape"));
    const std::uint32_t describe =
        abc.qname(abc.package(abc.string("flash.utils")), abc.string("describeType"));
    std::vector<std::uint32_t> methods;
    for (int i = 0; i < 7; ++i) {
        methods.push_back(abc.method());
    }
    abc.classes.push_back({shapeIface, 0, methods[0], methods[1], {}, {}});
    abc.classes.push_back({shape, object, methods[2], methods[3], {}, {}});
    const std::uint32_t size = abc.qname(s.publicNs, abc.string("size"));
    abc.classes.back().instanceTraits = {{size, 0, 1, 0}};
    abc.metadataInfos = {{abc.string("Card"), {{abc.string("kind"), abc.string("front")}}},
                         {abc.string("Inject"), {}}};
    abc.traitMetadata = {{shape, 0}, {size, 1}};
    abc.interfaceClasses = {0};
    abc.implementing = {{1, {shapeIface}}};
    const auto op = [](std::uint8_t code, std::uint32_t index) {
        avm2test::Bytes out{code};
        u30(out, index);
        return out;
    };
    const auto join = [](std::initializer_list<avm2test::Bytes> parts) {
        avm2test::Bytes out;
        for (const avm2test::Bytes& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    // getlocal0, pushscope, getlocal0, pushnull, newclass 0, initproperty IShape, returnvoid
    const avm2test::Bytes ifaceScript =
        join({{0xD0, 0x30, 0xD0, 0x20}, op(0x58, 0), op(0x68, shapeIface), {0x47}});
    // getlocal0, pushscope, getlocal0, getlex Object, newclass 1, initproperty Shape,
    // returnvoid
    const avm2test::Bytes shapeScript =
        join({{0xD0, 0x30, 0xD0}, op(0x60, object), op(0x58, 1), op(0x68, shape), {0x47}});
    // trace(describeType(new Shape()))
    const avm2test::Bytes entry = join({{0xD0, 0x30},
                                        op(0x5D, s.traceName),
                                        op(0x5D, describe),
                                        op(0x5D, shape),
                                        op(0x4A, shape),
                                        {0},
                                        op(0x46, describe),
                                        {1},
                                        op(0x4F, s.traceName),
                                        {1, 0x47}});
    abc.scripts = {
        {methods[4], {{shapeIface, 4, 1, 0}}}, {methods[5], {{shape, 4, 1, 1}}}, {methods[6], {}}};
    const avm2test::Bytes ctor{0xD0, 0x49, 0, 0x47}; // getlocal0, constructsuper 0, returnvoid
    const avm2test::Bytes empty{0x47};
    const std::pair<std::uint32_t, avm2test::Bytes> bodies[] = {
        {methods[0], empty}, {methods[1], empty},       {methods[2], ctor},
        {methods[3], empty}, {methods[4], ifaceScript}, {methods[5], shapeScript},
        {methods[6], entry}};
    for (const auto& [method, code] : bodies) {
        avm2test::BodySpec b;
        b.method = method;
        b.code = code;
        abc.bodies.push_back(b);
    }
    const std::string text = avm2test::runAbc(abc.build());
    std::size_t at = 0;
    for (const char* piece :
         {R"(<implementsInterface type="IShape"/>)", R"(<variable name="size" type="*">)",
          R"(<metadata name="Inject"/>)", "</variable>", R"(<metadata name="Card">)",
          R"(<arg key="kind" value="front"/>)"}) {
        const std::size_t found = text.find(piece, at);
        EXPECT_NE(found, std::string::npos) << piece << "\n" << text;
        at = found == std::string::npos ? at : found;
    }
}

} // namespace
