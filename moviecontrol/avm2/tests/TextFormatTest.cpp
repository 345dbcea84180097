// flash.text.TextFormat's property types and checks, a text field's default format merged
// from the formats set, and getTextFormat and setTextFormat over ranges of a field's text.

#include "FakeDisplayHost.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class TextFormat : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(const std::string& cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    std::string get(const Value& v, const std::string& name) {
        return vm.toString(vm.getProperty(v, Name::publicName(name)));
    }
    void set(const Value& v, const std::string& name, const Value& x) {
        vm.setProperty(v, Name::publicName(name), x);
    }
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" + get(t.value, "errorID");
        }
        return "";
    }
};

TEST_F(TextFormat, PropertiesKeepFlashsTypes) {
    struct Case {
        const char* property;
        Value given;
        const char* read;
    };
    const std::vector<Case> table = {
        {"size", Value::number(12.7), "12"},
        {"size", Value::string("20"), "20"},
        {"size", Value::null(), "null"},
        {"color", Value::number(-1), "4294967295"},
        {"bold", Value::integer(2), "true"},
        {"bold", Value(), "null"},
        {"letterSpacing", Value::number(1.5), "1.5"},
        {"font", Value::integer(3), "3"},
        {"align", Value::string("center"), "center"},
        {"display", Value::string("inline"), "inline"},
    };
    for (const Case& c : table) {
        Value f = make("flash.text::TextFormat");
        set(f, c.property, c.given);
        EXPECT_EQ(get(f, c.property), c.read) << c.property;
    }
    Value f = make("flash.text::TextFormat", {Value::string("Arial"), Value::number(10)});
    EXPECT_EQ(get(f, "font") + "/" + get(f, "size") + "/" + get(f, "bold"), "Arial/10/null");
    EXPECT_EQ(get(f, "display"), "block");
    EXPECT_EQ(thrown([&] { set(f, "align", Value::string("middle")); }), "ArgumentError #2008");
    EXPECT_EQ(thrown([&] { set(f, "align", Value::null()); }), "");
}

TEST_F(TextFormat, DefaultFormatsMergeWhatIsSet) {
    Value field = make("flash.text::TextField");
    EXPECT_EQ(get(vm.getProperty(field, Name::publicName("defaultTextFormat")), "font"),
              "Times New Roman");
    set(field, "defaultTextFormat",
        make("flash.text::TextFormat", {Value::null(), Value::number(30)}));
    Value merged = vm.getProperty(field, Name::publicName("defaultTextFormat"));
    EXPECT_EQ(get(merged, "size") + "/" + get(merged, "font"), "30/Times New Roman");
    // What a script reads is a copy.
    set(merged, "size", Value::number(5));
    EXPECT_EQ(get(vm.getProperty(field, Name::publicName("defaultTextFormat")), "size"), "30");
    EXPECT_EQ(thrown([&] { set(field, "defaultTextFormat", Value::null()); }), "TypeError #2007");
}

TEST_F(TextFormat, RangesChangeOnlyTheirCharacters) {
    Value field = make("flash.text::TextField");
    set(field, "text", Value::string("abcd"));
    Value bold = make("flash.text::TextFormat",
                      {Value::null(), Value::number(20), Value::null(), Value::boolean(true)});
    Args args{bold, Value::number(1), Value::number(3)};
    vm.callProperty(field, Name::publicName("setTextFormat"), args);
    auto formatOf = [&](Args range) {
        return vm.callProperty(field, Name::publicName("getTextFormat"), range);
    };
    EXPECT_EQ(get(formatOf({Value::number(1), Value::number(3)}), "bold"), "true");
    EXPECT_EQ(get(formatOf({Value::number(1), Value::number(3)}), "size"), "20");
    // Characters that differ leave the attribute null; those they share keep it.
    EXPECT_EQ(get(formatOf({}), "bold"), "null");
    EXPECT_EQ(get(formatOf({}), "font"), "Times New Roman");
    // A begin without an end is that one character.
    EXPECT_EQ(get(formatOf({Value::number(0)}), "bold"), "false");
    EXPECT_EQ(get(formatOf({Value::number(2)}), "bold"), "true");
    // The format for new text is not touched.
    EXPECT_EQ(get(vm.getProperty(field, Name::publicName("defaultTextFormat")), "bold"), "false");
}

TEST_F(TextFormat, RangesOutsideTheTextThrow) {
    Value field = make("flash.text::TextField");
    auto range = [&](double b, double e) {
        return thrown([&] {
            Args a{Value::number(b), Value::number(e)};
            vm.callProperty(field, Name::publicName("getTextFormat"), a);
        });
    };
    // An empty field answers for the whole (empty) text, with every attribute null.
    EXPECT_EQ(range(-1, -1), "");
    Args whole;
    EXPECT_EQ(get(vm.callProperty(field, Name::publicName("getTextFormat"), whole), "size"),
              "null");
    set(field, "text", Value::string("x"));
    const std::pair<double, double> bad[] = {{0, 0}, {1, 1}, {1, 0}, {-1, 0}, {0, 2}, {-2, 1}};
    for (const auto& [b, e] : bad) {
        EXPECT_EQ(range(b, e), "RangeError #2006") << b << "," << e;
    }
    EXPECT_EQ(range(0, -1), "");
    EXPECT_EQ(range(0, 1), "");
    // The method throws natively: its own frame shows in the trace, no throwError above it.
    try {
        Args a{Value::number(0), Value::number(0)};
        vm.callProperty(field, Name::publicName("getTextFormat"), a);
        ADD_FAILURE() << "no error";
    } catch (const avm2::ScriptThrow& t) {
        Args none;
        const std::string trace =
            vm.toString(vm.callProperty(t.value, Name::publicName("getStackTrace"), none));
        EXPECT_NE(trace.find("at flash.text::TextField/getTextFormat()"), std::string::npos)
            << trace;
        EXPECT_EQ(trace.find("throwError"), std::string::npos) << trace;
    }
    EXPECT_EQ(thrown([&] {
                  Args a{Value::null()};
                  vm.callProperty(field, Name::publicName("setTextFormat"), a);
              }),
              "TypeError #2007");
}

} // namespace
