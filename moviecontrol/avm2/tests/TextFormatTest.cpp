// flash.text.TextFormat's property types and checks, a text field's default format merged
// from the formats set, and setTextFormat over a field's whole text as the html the text
// model reads.

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

TEST_F(TextFormat, WholeTextFormatsBecomeHtml) {
    Value field = make("flash.text::TextField");
    set(field, "text", Value::string("a<b"));
    Value format = make("flash.text::TextFormat", {Value::string("Arial"), Value::number(20),
                                                   Value::number(0xFF0000), Value::boolean(true)});
    Args args{format};
    vm.callProperty(field, Name::publicName("setTextFormat"), args);
    EXPECT_EQ(get(field, "text"),
              "<FONT FACE=\"Arial\" SIZE=\"20\" COLOR=\"#FF0000\"><B>a&lt;b</B></FONT>");
    Args outOfRange{format, Value::number(0), Value::number(99)};
    EXPECT_EQ(
        thrown([&] { vm.callProperty(field, Name::publicName("setTextFormat"), outOfRange); }),
        "RangeError #2006");
}

} // namespace
