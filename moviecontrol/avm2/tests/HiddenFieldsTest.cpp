// What built-in classes keep on their objects out of the scripts' reach.

#include "avm2/HiddenFields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using avm2::Value;

TEST(HiddenFields, StoreReplaceAndAnswerTheFallbackWhenMissing) {
    avm2::Object o;
    EXPECT_TRUE(avm2::hiddenField(&o, "count", Value::number(7)).isNumber());
    EXPECT_EQ(avm2::hiddenField(&o, "count", Value::number(7)).asNumber(), 7);
    EXPECT_TRUE(o.entries.empty()) << "reading must not add a field";

    avm2::setHiddenField(&o, "count", Value::integer(1));
    avm2::setHiddenField(&o, "count", Value::integer(2));
    EXPECT_EQ(o.entries.size(), 1u) << "a second store replaces the first";
    EXPECT_EQ(avm2::hiddenField(&o, "count").asInt(), 2);
    EXPECT_FALSE(avm2::findHiddenField(&o, "other").has_value());
}

TEST(HiddenFields, ValuesOutliveTheFieldsAddedAfterThem) {
    avm2::Object o;
    avm2::setHiddenField(&o, "first", Value::string("kept"));
    const Value first = avm2::hiddenField(&o, "first");
    for (int i = 0; i < 200; ++i) {
        avm2::setHiddenField(&o, "field" + std::to_string(i), Value::integer(i));
    }
    EXPECT_EQ(first.asString(), "kept");
    EXPECT_EQ(avm2::hiddenField(&o, "field199").asInt(), 199);
}

TEST(HiddenFields, ValuesThatAreNotObjectsKeepNothing) {
    const Value notAnObject = Value::number(3);
    avm2::setHiddenField(notAnObject, "x", Value::integer(1));
    EXPECT_TRUE(avm2::hiddenField(notAnObject, "x", Value::null()).isNull());
    EXPECT_TRUE(avm2::hiddenField(static_cast<const avm2::Object*>(nullptr), "x").isUndefined());
}

} // namespace
