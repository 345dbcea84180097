#include <gtest/gtest.h>

#include "SavedDataStore.h"

namespace storage {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SavedDataStore, KeepsEachMoviesDataApartUnderItsNames) {
    SavedDataStore store;
    EXPECT_TRUE(store.write("file:///a.swf", "scores", Bytes{1, 2, 3}));
    EXPECT_TRUE(store.write("file:///b.swf", "scores", Bytes{9}));
    EXPECT_EQ(store.read("file:///a.swf", "scores"), (Bytes{1, 2, 3}));
    EXPECT_EQ(store.read("file:///b.swf", "scores"), (Bytes{9}));
    EXPECT_FALSE(store.read("file:///a.swf", "other"));
    EXPECT_TRUE(store.write("file:///a.swf", "scores", Bytes{4}));
    EXPECT_EQ(store.read("file:///a.swf", "scores"), (Bytes{4}));
    store.remove("file:///a.swf", "scores");
    EXPECT_FALSE(store.read("file:///a.swf", "scores"));
    EXPECT_EQ(store.usedBy("file:///a.swf"), 0u);
    EXPECT_EQ(store.usedBy("file:///b.swf"), std::string("scores").size() + 1);
}

TEST(SavedDataStore, AMovieKeepsNoMoreThanItsAllowanceWithNamesCounted) {
    SavedDataStore store;
    const std::size_t most = SavedDataStore::kAllowancePerMovie;
    EXPECT_TRUE(store.write("m", "a", Bytes(most - 1, 0)));
    EXPECT_EQ(store.usedBy("m"), most);
    // Another name does not fit, however small; the first is kept as it was.
    EXPECT_FALSE(store.write("m", "b", Bytes{}));
    EXPECT_FALSE(store.write("m", "a", Bytes(most, 0)));
    EXPECT_EQ(store.read("m", "a")->size(), most - 1);
    // Replacing frees what the old bytes took.
    EXPECT_TRUE(store.write("m", "a", Bytes(10, 0)));
    EXPECT_TRUE(store.write("m", "b", Bytes(most - 20, 0)));
    EXPECT_EQ(store.usedBy("m"), most - 8);
    // Another movie has an allowance of its own.
    EXPECT_TRUE(store.write("n", "a", Bytes(most - 1, 0)));
    EXPECT_FALSE(store.write("n", std::string(most + 1, 'x'), Bytes{}));
}

} // namespace
} // namespace storage
