// How action blocks meet the player: the stack the blocks of one frame share, and the
// texts of movies before version 6, whose bytes are their characters.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

// Runs the blocks one after another within a single frame.
Lines runInOneFrame(FakeStage& stage, const std::vector<Actions>& blocks,
                    FakeClip* clip = nullptr) {
    stage.vm.beginFrame();
    for (const Actions& block : blocks) {
        auto bytes = block.bytes();
        stage.vm.runBlock(std::span<const std::uint8_t>(bytes), clip ? clip : stage.rootClip);
    }
    return stage.takeLines();
}

TEST(BlockStack, BlocksOfOneFrameShareTheStack) {
    FakeStage stage(6);
    FakeClip* child = stage.addClip(stage.rootClip, "child");
    Actions first, second, third, ofChild;
    // A name and value left for the next block, which sets the variable.
    first.push("_root.a").push("one");
    second.code(op::SetVariable).push("_root.b").push("two");
    ofChild.code(op::SetVariable).push("_root.c").push("three");
    third.push("_root.a").code(op::GetVariable).code(op::Trace);
    third.push("_root.b").code(op::GetVariable).code(op::Trace);
    runInOneFrame(stage, {first, second});
    auto bytes = ofChild.bytes();
    stage.vm.runBlock(std::span<const std::uint8_t>(bytes), child);
    EXPECT_EQ(stage.run(third.bytes()), (Lines{"one", "two"}));

    // What the last block left does not reach the next frame.
    Actions later;
    later.code(op::SetVariable).push("_root.c").code(op::GetVariable).code(op::TypeOf);
    later.code(op::Trace);
    EXPECT_EQ(stage.run(later.bytes()), (Lines{"undefined"}));
}

TEST(BlockStack, FunctionsLeaveTheirLeftoversAndThrowsNothing) {
    FakeStage stage(7);
    Actions define, callIt, after, thrower;
    // A function whose body pushes more than it pops: its leftovers stay on the stack the
    // frame's blocks share.
    Actions body;
    body.push("leftover").push(1.0).push(2.0);
    define.defineFunction("f", {}, body);
    callIt.push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    after.code(op::TypeOf).code(op::Trace);
    EXPECT_EQ(runInOneFrame(stage, {define, callIt, after}), (Lines{"number"}));

    // A block ended by an uncaught throw takes its values with it.
    thrower.push("kept").push("dropped").push("boom").code(op::Throw);
    Actions before;
    before.push("left");
    EXPECT_EQ(runInOneFrame(stage, {before, thrower, after}), (Lines{"string"}));
    Actions show;
    show.code(op::Trace);
    EXPECT_EQ(runInOneFrame(stage, {before, thrower, show}), (Lines{"left"}));
}

class CodePage : public ::testing::TestWithParam<int> {
  protected:
    int version() const { return GetParam(); }
    bool bytes() const { return version() < 6; }
};

// "ö" stored as UTF-8 (two bytes) and "Å" stored as one Latin-1 byte: before version 6
// each byte is a character, from version 6 the UTF-8 text is read as such.
TEST_P(CodePage, BytesAreCharactersBeforeVersion6) {
    FakeStage stage(version());
    const std::string utf8 = "t\xc3\xb6st";
    const std::string latin1 = "t\xc5st";
    Actions a;
    a.push(utf8).push("length").code(op::GetMember).code(op::Trace);
    a.push(utf8).code(op::StringLength).code(op::Trace);
    a.push(utf8).code(op::MBStringLength).code(op::Trace);
    a.push(1.0).push(1.0).push(utf8).push("charCodeAt").code(op::CallMethod).code(op::Trace);
    a.push(std::string("\xc3\xb6")).code(op::CharToAscii).code(op::Trace);
    a.push(std::string("\xc3\xb6")).code(op::MBCharToAscii).code(op::Trace);
    a.push("s").push(1.0).push(utf8).push("indexOf").code(op::CallMethod).code(op::Trace);
    a.push(latin1).push("length").code(op::GetMember).code(op::Trace);
    a.push(1.0).push(1.0).push(latin1).push("charCodeAt").code(op::CallMethod).code(op::Trace);
    // Traces show the text as written, whichever way it was stored.
    a.push(utf8).code(op::Trace);
    a.push(latin1).code(op::Trace);
    Lines expected = bytes() ? Lines{"5", "5", "5", "195", "195", "195", "3", "4", "197"}
                             : Lines{"4", "4", "4", "246", "246", "246", "2", "4", "197"};
    expected.push_back("t\xc3\xb6st");
    expected.push_back("t\xc3\x85st");
    EXPECT_EQ(stage.run(a.bytes()), expected);
}

TEST_P(CodePage, CharactersBeyondTheCodePageTraceWhole) {
    FakeStage stage(version());
    Actions a;
    // chr(998) and a joined text: characters past U+00FF print as themselves.
    a.push(998.0).code(op::MBAsciiToChar).push(std::string("\xc3\xa9")).code(op::StringAdd);
    a.code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"\xcf\xa6\xc3\xa9"}));
}

INSTANTIATE_TEST_SUITE_P(Versions, CodePage, ::testing::Values(5, 6, 7, 8));

} // namespace
} // namespace avm1test
