// Regular expressions: the syntax and flags Flash reads, lastIndex as exec and test move
// it, and the String methods that take a pattern (match, replace, search, split). A
// pattern that backtracks without end abandons the script instead of hanging it.

#include "FakeHost.h"
#include "avm2/RegExpEngine.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::RegExpEngine;
using avm2::RegExpFlags;
using avm2::Value;

bool matches(std::u16string_view pattern, std::u16string_view flags, std::u16string_view subject) {
    RegExpEngine engine(pattern, RegExpFlags::parse(flags));
    std::vector<RegExpEngine::Span> spans;
    return engine.exec(subject, 0, spans) == RegExpEngine::Outcome::Matched;
}

TEST(RegExpEngine, FlagsAndSyntax) {
    struct Case {
        std::u16string pattern;
        std::u16string flags;
        std::u16string subject;
        bool found;
    };
    const Case table[] = {
        {u"ABC", u"", u"abc", false},
        {u"ABC", u"i", u"abc", true},
        {u"a.b", u"", u"a\nb", false},
        {u"a.b", u"s", u"a\nb", true},
        {u"^bar", u"", u"foo\nbar", false},
        {u"^bar", u"m", u"foo\nbar", true},
        {u"foo$", u"", u"foo\n", false}, // $ is the very end unless multiline
        {u"a b # note\n c", u"x", u"abc", true},
        {u"\\u0041\\x42", u"", u"AB", true},
        {u"(a)|\\1b", u"", u"b", true}, // a group not set matches empty
        {u"[^]", u"", u"\n", true},
        {u"[]", u"", u"a", false},
        {u"(?P<year>\\d{4})", u"", u"in 2024", true},
        {u"\\uD83D", u"", u"\U0001F600", true}, // code units, not characters
        {u"(", u"", u"(", false},               // does not compile: matches nothing
    };
    for (const Case& c : table) {
        EXPECT_EQ(matches(c.pattern, c.flags, c.subject), c.found)
            << std::string(c.pattern.begin(), c.pattern.end());
    }
    EXPECT_EQ(RegExpFlags::parse(u"xsgmi").letters(), "gimsx");
}

TEST(RegExpEngine, RunawayBacktrackingIsBounded) {
    RegExpEngine engine(u"(a+)+$", {});
    std::vector<RegExpEngine::Span> spans;
    const std::u16string subject = std::u16string(40, u'a') + u"!";
    EXPECT_EQ(engine.exec(subject, 0, spans), RegExpEngine::Outcome::Exceeded);
}

class RegExpScripts : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value regexp(const std::string& source, const std::string& flags) {
        Args args{Value::string(source), Value::string(flags)};
        return vm.construct(Value::object(vm.findClass("RegExp")->classObject), args);
    }
    Value call(const Value& target, const std::string& method, Args args) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    std::string text(const Value& v) { return vm.toString(v); }
    std::string lastIndex(const Value& re) {
        return text(vm.getProperty(re, Name::publicName("lastIndex")));
    }
};

TEST_F(RegExpScripts, ExecMovesLastIndexOnlyWhenGlobal) {
    const Value global = regexp("[0-9]{3}", "g");
    const Value digits = Value::string("0123456789");
    EXPECT_EQ(text(call(global, "exec", {digits})), "012");
    EXPECT_EQ(lastIndex(global), "3");
    EXPECT_EQ(text(call(global, "exec", {digits})), "345");
    vm.setProperty(global, Name::publicName("lastIndex"), Value::integer(8));
    EXPECT_EQ(text(call(global, "test", {digits})), "false");
    EXPECT_EQ(lastIndex(global), "0"); // a failure starts over

    const Value once = regexp("[0-9]", "");
    vm.setProperty(once, Name::publicName("lastIndex"), Value::integer(5));
    EXPECT_EQ(text(call(once, "exec", {digits})), "0");
    EXPECT_EQ(lastIndex(once), "5");

    const Value named =
        call(regexp("(?P<y>\\d{4})-(\\d\\d)", ""), "exec", {Value::string("on 2024-05")});
    EXPECT_EQ(text(named), "2024-05,2024,05");
    EXPECT_EQ(text(vm.getProperty(named, Name::publicName("y"))), "2024");
    EXPECT_EQ(text(vm.getProperty(named, Name::publicName("index"))), "3");
    EXPECT_EQ(text(regexp("a/b", "gi")), "/a/b/gi");
}

// A global match searches from where the last match ended and stops at the first search
// that finds nothing or ends where it started: an empty match there is not kept.
// lastIndex keeps where the last search ended, moved on by one if it was already there.
TEST_F(RegExpScripts, GlobalMatchStopsAtAnEmptyMatchAndMovesLastIndex) {
    struct Case {
        const char* subject;
        const char* source;
        int lastIndexBefore;
        const char* found;
        const char* lastIndexAfter;
    };
    const Case table[] = {
        {"ab1", "^[a-z]", 0, "a", "1"},  // no match next: 0, which it was, so 1
        {"ab1", "^[a-z]", 1, "a", "0"},  // 0 was not where it started
        {"xyz", "q*", 0, "", "1"},       // empty at the start: nothing kept
        {"aXbX", "X*", 5, "", "0"},      //
        {"ab", "x*$", 0, "", "2"},       // one empty match after the start is kept
        {"aab", "a+|b", 3, "aa,b", "0"}, //
        {"aab", "a*", 2, "aa", "3"},     // ends at the empty match at 2, as before: 3
    };
    for (const Case& c : table) {
        const Value re = regexp(c.source, "g");
        vm.setProperty(re, Name::publicName("lastIndex"), Value::integer(c.lastIndexBefore));
        const Value found = call(Value::string(c.subject), "match", {re});
        EXPECT_EQ(text(found), c.found) << c.subject << " " << c.source;
        EXPECT_EQ(lastIndex(re), c.lastIndexAfter) << c.subject << " " << c.source;
    }
    const Value empty = call(Value::string("xyz"), "match", {regexp("q*", "g")});
    EXPECT_EQ(text(vm.getProperty(empty, Name::publicName("length"))), "0");
}

TEST_F(RegExpScripts, StringMethodsWithPatterns) {
    const Value s = Value::string("matchablematmatmat");
    EXPECT_EQ(text(call(s, "match", {regexp("ma*t|a[a-z]*e", "g")})), "mat,able,mat,mat,mat");
    EXPECT_EQ(text(call(s, "match", {Value::string("mat")})), "mat");
    EXPECT_TRUE(call(s, "match", {Value::object(vm.newObject())}).isNull());
    EXPECT_EQ(text(call(Value::string("AAA"), "match", {regexp("A*", "g")})), "AAA");
    EXPECT_EQ(text(call(s, "search", {regexp("mat", "g")})), "0");
    EXPECT_EQ(text(call(s, "search", {Value::string("able")})), "5");

    const Value words = Value::string("John Smith");
    EXPECT_EQ(text(call(words, "replace",
                        {regexp("(\\w+)\\s(\\w+)", ""), Value::string("$2, $1 [$&] $$ $9")})),
              "Smith, John [John Smith] $ $9");
    EXPECT_EQ(text(call(Value::string("a-b-c"), "replace", {regexp("-", "g"), Value::string("+")})),
              "a+b+c");
    // A string pattern's replacement is taken literally.
    EXPECT_EQ(
        text(call(Value::string("a-b-c"), "replace", {Value::string("-"), Value::string("$&$&")})),
        "a$&$&b-c");
    const Value upper = Value::object(vm.newNative([](avm2::Machine& m, const Value&, Args& a) {
        return Value::string("<" + m.toString(a[1]) + "@" + m.toString(a[2]) + ">");
    }));
    EXPECT_EQ(text(call(Value::string("x1y22"), "replace", {regexp("(\\d+)", "g"), upper})),
              "x<1@1>y<22@3>");

    EXPECT_EQ(text(call(Value::string("a1b2c"), "split", {regexp("(\\d)", "")})), "a,1,b,2,c");
    EXPECT_EQ(text(call(Value::string("abc"), "split", {regexp("", "")})), "a,b,c");
    EXPECT_EQ(
        text(call(Value::string("a, b,c"), "split", {regexp(",\\s*", ""), Value::integer(2)})),
        "a,b");
}

TEST_F(RegExpScripts, RunawayPatternAbandonsTheScript) {
    const Value re = regexp("(a+)+$", "");
    EXPECT_THROW(call(re, "test", {Value::string(std::string(40, 'a') + "!")}), avm2::ScriptAbort);
    ASSERT_EQ(host.limits.size(), 1u);
}

} // namespace
