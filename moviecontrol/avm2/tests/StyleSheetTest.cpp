// flash.text.StyleSheet: styles by lower-case selector, CSS text read into them, the
// transform of a style into a TextFormat; and a text field reading its markup with a sheet.

#include "FakeDisplayHost.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class StyleSheets : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};
    Value sheet;

    void SetUp() override {
        vm.beginFrame();
        sheet = make("flash.text::StyleSheet");
    }
    Value make(const std::string& cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value call(const Value& on, const std::string& method, Args args) {
        return vm.callProperty(on, Name::publicName(method), args);
    }
    Value read(const Value& v, const std::string& name) {
        return vm.getProperty(v, Name::publicName(name));
    }
    std::string get(const Value& v, const std::string& name) { return vm.toString(read(v, name)); }
    void set(const Value& v, const std::string& name, const Value& x) {
        vm.setProperty(v, Name::publicName(name), x);
    }
    Value style(std::initializer_list<std::pair<const char*, const char*>> props) {
        avm2::Object* o = vm.newObject();
        for (const auto& [k, v] : props) {
            o->setProp(k, Value::string(v));
        }
        return Value::object(o);
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

TEST_F(StyleSheets, TransformReadsEachPropertyByItsOwnRule) {
    struct Case {
        const char* css;
        const char* value;
        const char* property;
        const char* read;
    };
    const std::vector<Case> table = {
        {"color", "#123", "color", "291"},
        {"color", "#1234567", "color", "0"},
        {"color", "red", "color", "0"},
        {"color", "#ff0000  ", "color", "16711680"},
        {"color", "#ff0000 0", "color", "0"},
        {"color", "", "color", "null"},
        {"fontSize", "50.5 px", "size", "50"},
        {"fontSize", "0", "size", "null"},
        {"fontSize", "-5", "size", "null"},
        {"fontSize", "0x10", "size", "16"},
        {"leading", "-50", "leading", "-50"},
        {"leading", "x50", "leading", "-2147483648"},
        {"letterSpacing", "2.5em", "letterSpacing", "2.5"},
        {"letterSpacing", "x", "letterSpacing", "NaN"},
        {"fontFamily", "mono, sans-serif, serif", "font", "_typewriter,_sans,_serif"},
        {"fontFamily", "a b ,  , c", "font", "a b ,c"},
        {"fontWeight", "bold", "bold", "true"},
        {"fontWeight", "italic", "bold", "null"},
        {"fontStyle", "normal", "italic", "false"},
        {"textDecoration", "none", "underline", "false"},
        {"kerning", "50", "kerning", "true"},
        {"kerning", "lots", "kerning", "false"},
        {"display", "inline", "display", "inline"},
        {"display", "invalid", "display", "null"},
        {"display", "", "display", "block"},
        {"textAlign", "justify", "align", "justify"},
    };
    for (const Case& c : table) {
        const Value f = call(sheet, "transform", {style({{c.css, c.value}})});
        EXPECT_EQ(get(f, c.property), c.read) << c.css << ": '" << c.value << "'";
    }
    // Kerning is always set, the rest stays null.
    const Value empty = call(sheet, "transform", {style({})});
    EXPECT_EQ(get(empty, "kerning") + "/" + get(empty, "size"), "false/null");
    EXPECT_TRUE(call(sheet, "transform", {Value::null()}).isNull());
    EXPECT_EQ(thrown([&] {
                  call(sheet, "transform", {style({{"textAlign", "middle"}})});
              }),
              "ArgumentError #2008");
    EXPECT_EQ(thrown([&] { call(sheet, "transform", {Value::integer(5)}); }),
              "ReferenceError #1069");
}

TEST_F(StyleSheets, StylesAreCopiesKeptByLowerCaseSelector) {
    Value red = style({{"color", "#FF0000"}});
    call(sheet, "setStyle", {Value::string(".Red"), red});
    set(red, "color", Value::string("#00FF00"));
    EXPECT_EQ(get(call(sheet, "getStyle", {Value::string(".RED")}), "color"), "#FF0000");
    EXPECT_EQ(get(sheet, "styleNames"), ".red");
    // What getStyle gives is a copy too.
    set(call(sheet, "getStyle", {Value::string(".red")}), "color", Value::string("#0000FF"));
    EXPECT_EQ(get(call(sheet, "getStyle", {Value::string(".red")}), "color"), "#FF0000");
    EXPECT_TRUE(call(sheet, "getStyle", {Value::string("p")}).isNull());
    // A null style removes the selector.
    call(sheet, "setStyle", {Value::string(".red"), Value::null()});
    EXPECT_EQ(get(sheet, "styleNames"), "");
}

TEST_F(StyleSheets, CssTextSetsStylesAndMalformedTextNothing) {
    call(sheet, "parseCSS", {Value::string("p, .A { font-size: 12px; color:\n #00ff00 ;}")});
    EXPECT_EQ(get(sheet, "styleNames"), "p,.a");
    EXPECT_EQ(get(call(sheet, "getStyle", {Value::string("p")}), "fontSize"), "12px");
    EXPECT_EQ(get(call(sheet, "getStyle", {Value::string(".a")}), "color"), "#00ff00 ");
    call(sheet, "parseCSS", {Value::string("broken { a b: c }")});
    EXPECT_EQ(get(sheet, "styleNames"), "p,.a");
    call(sheet, "clear", {});
    EXPECT_EQ(get(sheet, "styleNames"), "");
}

TEST_F(StyleSheets, FieldsKeepTheirMarkupAndAreStyledWhenAssigned) {
    const Value field = make("flash.text::TextField");
    call(sheet, "setStyle", {Value::string(".red"), style({{"color", "#FF0000"}})});
    const auto color = [&] {
        return get(call(field, "getTextFormat", {Value::integer(0)}), "color");
    };
    set(field, "styleSheet", sheet);
    EXPECT_EQ(get(field, "styleSheet"), "[object StyleSheet]");
    const char* markup = "<span class=\"RED\">a</span>";
    set(field, "htmlText", Value::string(markup));
    EXPECT_EQ(get(field, "htmlText"), markup);
    EXPECT_EQ(get(field, "text"), "a");
    EXPECT_EQ(color(), std::to_string(0xFF0000));
    // A changed sheet styles the field only when assigned again.
    call(sheet, "setStyle", {Value::string(".red"), style({{"color", "#00FF00"}})});
    EXPECT_EQ(color(), std::to_string(0xFF0000));
    set(field, "styleSheet", sheet);
    EXPECT_EQ(color(), std::to_string(0x00FF00));
    // Methods that change ranges refuse styled fields.
    EXPECT_EQ(
        thrown([&] {
            call(field, "replaceText", {Value::integer(0), Value::integer(1), Value::string("b")});
        }),
        "Error #2009");
    // Without the sheet the field shows its formatted text.
    set(field, "styleSheet", Value::null());
    EXPECT_NE(get(field, "htmlText"), markup);
    EXPECT_EQ(color(), std::to_string(0x00FF00));
}

TEST_F(StyleSheets, TextRunsAndFieldColours) {
    const Value field = make("flash.text::TextField");
    set(field, "htmlText", Value::string("a<b>bc</b>d"));
    const Value runs = call(field, "getTextRuns", {});
    EXPECT_EQ(get(runs, "length"), "3");
    const Value middle = read(runs, "1");
    EXPECT_EQ(get(middle, "beginIndex") + "-" + get(middle, "endIndex"), "1-3");
    EXPECT_EQ(get(read(middle, "textFormat"), "bold"), "true");

    EXPECT_EQ(get(field, "borderColor"), "0");
    set(field, "borderColor", Value::number(-1));
    EXPECT_EQ(get(field, "borderColor"), std::to_string(0xFFFFFF));
    set(field, "backgroundColor", Value::number(0x123456));
    EXPECT_EQ(get(field, "backgroundColor"), std::to_string(0x123456));
}

} // namespace
