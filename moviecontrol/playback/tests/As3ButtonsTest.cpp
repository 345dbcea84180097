// An ActionScript 3 movie's buttons as the person sees them: the state each shows as the
// pointer moves and presses, and the names their parts take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/Button.h"
#include "moviemaker/Records.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

// A movie that runs ActionScript 3: its attributes say so and it carries a block to run.
moviemaker::SwfWriter as3Movie() {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameRate = 20.0;
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes); // FileAttributes
    avm2test::TraceScript script;
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0};                     // not lazy, no name
    const std::vector<std::uint8_t> block = script.build({0x2C, 0x01}); // trace("")
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    return movie;
}

std::uint16_t box(moviemaker::SwfWriter& movie, std::uint8_t red, std::int32_t size) {
    moviemaker::Shape shape;
    shape.fill1(shape.addFill(moviemaker::FillStyle::solid({red, 0, 0})))
        .rectangle(0, 0, size, size);
    return movie.defineShape(shape);
}

std::unique_ptr<MoviePlayback> play(moviemaker::SwfWriter& movie) {
    for (int f = 0; f < 3; ++f) {
        movie.showFrame();
    }
    PlaybackSetup setup;
    setup.pace = Pace::FrameSteps;
    setup.callbacks.trace = [](std::string_view) {};
    auto playback = MoviePlayback::fromBytes(movie.finish(), std::move(setup));
    if (playback) {
        playback->stepFrame();
    }
    return playback;
}

const DisplayObject* childAt(const DisplayObject& parent, std::size_t index) {
    if (!parent.clip || index >= parent.clip->displayList.size()) {
        return nullptr;
    }
    auto it = parent.clip->displayList.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(index));
    return it->second.get();
}

// The characters the button at the root's lowest depth shows: the state's object, or the
// objects of the Sprite holding a state of several records.
std::vector<std::uint16_t> shown(MoviePlayback& playback) {
    std::vector<std::uint16_t> out;
    const DisplayObject* button = childAt(playback.player().rootObject(), 0);
    const DisplayObject* state = button != nullptr ? childAt(*button, 0) : nullptr;
    if (state == nullptr) {
        return out;
    }
    if (state->characterId != 0) {
        out.push_back(state->characterId);
    }
    for (std::size_t i = 0; const DisplayObject* part = childAt(*state, i); ++i) {
        out.push_back(part->characterId);
    }
    return out;
}

enum class Act { Move, Down, Up };
struct Step {
    Act act;
    double x;
    double y;
    int state; // 0 up, 1 over, 2 down
    const char* why;
};

TEST(As3ButtonsTest, TheStateShownFollowsThePointerAsAPushButtonTracksIt) {
    moviemaker::SwfWriter movie = as3Movie();
    const std::uint16_t faces[] = {box(movie, 10, 2000), box(movie, 20, 2000),
                                   box(movie, 30, 2000)};
    const std::uint16_t hit = box(movie, 40, 1000); // the hit area is the top-left quarter
    moviemaker::Button button;
    button.records = {{1, faces[0], 1, {}, {}},
                      {2, faces[1], 1, {}, {}},
                      {4, faces[2], 1, {}, {}},
                      {8, hit, 1, {}, {}}};
    movie.place(movie.defineButton2(button), 1);
    auto playback = play(movie);
    ASSERT_TRUE(playback);
    ASSERT_EQ(shown(*playback), std::vector<std::uint16_t>{faces[0]});

    const Step steps[] = {
        {Act::Move, 1500, 1500, 0, "the face is drawn here, but the hit area is not"},
        {Act::Move, 500, 500, 1, "over the hit area"},
        {Act::Down, 500, 500, 2, "pressed"},
        {Act::Move, 5000, 5000, 1, "dragged out, held: over until it comes back"},
        {Act::Move, 500, 500, 2, "dragged back over"},
        {Act::Up, 500, 500, 1, "released over it"},
        {Act::Move, 5000, 5000, 0, "rolled out"},
        {Act::Down, 5000, 5000, 0, "pressed elsewhere"},
        {Act::Move, 500, 500, 0, "a push button ignores a press that began elsewhere"},
        {Act::Up, 500, 500, 1, "released: the pointer is over it"},
        {Act::Down, 500, 500, 2, "pressed again"},
        {Act::Move, 5000, 5000, 1, "dragged out"},
        {Act::Up, 5000, 5000, 0, "released outside"},
    };
    for (const Step& s : steps) {
        switch (s.act) {
        case Act::Move:
            playback->input().mouseMove(s.x, s.y);
            break;
        case Act::Down:
            playback->input().mouseDown(s.x, s.y);
            break;
        case Act::Up:
            playback->input().mouseUp(s.x, s.y);
            break;
        }
        EXPECT_EQ(shown(*playback), std::vector<std::uint16_t>{faces[s.state]}) << s.why;
    }
}

// Every object gets the next "instanceN" as it is made: the button, then its parts state by
// state, then the Sprites holding states of several records. The timeline builds no parts
// of its own, which would take numbers nobody sees.
TEST(As3ButtonsTest, ButtonPartsAreNamedFromTheOneCountInTheOrderTheyAreMade) {
    moviemaker::SwfWriter movie = as3Movie();
    const std::uint16_t a = box(movie, 10, 1000);
    const std::uint16_t b = box(movie, 20, 1000);
    const std::uint16_t c = box(movie, 30, 1000);
    moviemaker::Button button;
    button.records = {{1, a, 1, {}, {}}, {1, b, 2, {}, {}}, {2, c, 1, {}, {}}, {8, a, 1, {}, {}}};
    movie.place(movie.defineButton2(button), 1);
    auto playback = play(movie);
    ASSERT_TRUE(playback);
    const DisplayObject* placed = childAt(playback->player().rootObject(), 0);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->name, "instance1");
    const DisplayObject* up = childAt(*placed, 0);
    ASSERT_NE(up, nullptr);
    ASSERT_EQ(up->clip ? up->clip->displayList.size() : 0u, 2u);
    // Up: a (2) and b (3); over: c (4); hit: a (5); then the up state's Sprite (6).
    EXPECT_EQ(up->name, "instance6");
    EXPECT_EQ(childAt(*up, 0)->name, "instance2");
    EXPECT_EQ(childAt(*up, 1)->name, "instance3");
    EXPECT_EQ(shown(*playback), (std::vector<std::uint16_t>{a, b}));
}

// A text field above a button: text that was static and takes no selection is drawing to
// the pointer, which reaches the button below; any other field takes the pointer itself.
TEST(As3ButtonsTest, OnlyUnselectableStaticTextLetsThePointerThrough) {
    struct Case {
        bool selectable;
        bool wasStatic;
        int state;
    };
    const Case cases[] = {{false, true, 1}, {true, true, 0}, {false, false, 0}};
    for (const Case& c : cases) {
        moviemaker::SwfWriter movie = as3Movie();
        const std::uint16_t up = box(movie, 10, 1000);
        const std::uint16_t over = box(movie, 20, 1000);
        moviemaker::Button button;
        button.records = {{1, up, 1, {}, {}}, {2, over, 1, {}, {}}, {8, up, 1, {}, {}}};
        movie.place(movie.defineButton2(button), 1);
        // DefineEditText: read-only, no text, a box over the whole button.
        const std::uint16_t field = movie.nextId();
        moviemaker::BitWriter tag;
        tag.u16(field);
        moviemaker::writeRect(tag, moviemaker::Rect{0, 2000, 0, 2000});
        tag.align();
        tag.u8(0x08);
        tag.u8(static_cast<std::uint8_t>((c.selectable ? 0 : 0x10) | (c.wasStatic ? 0x04 : 0)));
        tag.string("");
        movie.rawTag(37, tag.data());
        movie.place(field, 2);
        auto playback = play(movie);
        ASSERT_TRUE(playback);
        const std::uint16_t faces[] = {up, over};
        ASSERT_EQ(shown(*playback), std::vector<std::uint16_t>{up});
        playback->input().mouseMove(500, 500);
        EXPECT_EQ(shown(*playback), std::vector<std::uint16_t>{faces[c.state]})
            << "selectable " << c.selectable << ", static " << c.wasStatic;
    }
}

} // namespace
} // namespace mc
