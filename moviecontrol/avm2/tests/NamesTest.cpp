// How names find traits: namespace sets, private namespaces that only their declaration
// matches, protected names, and built-ins answering in the AS3 namespace.

#include "avm2/Runtime.h"

#include <gtest/gtest.h>

namespace {

using avm2::Binding;
using avm2::Name;
using avm2::Namespace;

Namespace privateNs(std::uint64_t id) {
    return Namespace{Namespace::Group::Private, "", id};
}

TEST(Names, ASetMatchesAnyOfItsNamespaces) {
    Name n;
    n.local = "x";
    n.namespaces = {Namespace::publicNs("flash.display"), Namespace::publicNs("")};
    EXPECT_TRUE(n.matches(Namespace::publicNs("")));
    EXPECT_TRUE(n.matches(Namespace::publicNs("flash.display")));
    EXPECT_FALSE(n.matches(Namespace::publicNs("flash.text")));
    // Package-internal "" is not public "".
    EXPECT_FALSE(n.matches(Namespace{Namespace::Group::Internal, "", 0}));
}

TEST(Names, PrivateNamespacesMatchOnlyTheirOwnDeclaration) {
    avm2::Traits traits;
    Binding mine;
    mine.ns = privateNs(1);
    mine.slot = 1;
    traits.add("secret", mine);
    Binding theirs;
    theirs.ns = privateNs(2);
    theirs.slot = 2;
    traits.add("secret", theirs);
    const Binding* found = traits.find(Name::qualified(privateNs(2), "secret"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->slot, 2u);
    EXPECT_EQ(traits.find(Name::qualified(privateNs(3), "secret")), nullptr);
    EXPECT_EQ(traits.find(Name::publicName("secret")), nullptr);
}

TEST(Names, AnOverrideReplacesTheBindingOfTheSameName) {
    avm2::Traits traits;
    Binding base;
    base.ns = Namespace::publicNs();
    base.slot = 1;
    traits.add("f", base);
    Binding over = base;
    over.slot = 9;
    traits.add("f", over);
    ASSERT_EQ(traits.byName["f"].size(), 1u);
    EXPECT_EQ(traits.find(Name::publicName("f"))->slot, 9u);
}

TEST(Names, PublicBuiltInsAnswerInTheAs3Namespace) {
    avm2::Traits traits;
    Binding push;
    push.ns = Namespace::publicNs();
    traits.add("push", push);
    EXPECT_NE(traits.find(Name::qualified(Namespace::publicNs(avm2::kAs3Uri), "push")), nullptr);
    EXPECT_EQ(traits.find(Name::qualified(Namespace::publicNs("flash.utils"), "push")), nullptr);
}

} // namespace
