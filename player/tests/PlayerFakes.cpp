#include "PlayerFakes.h"

#include "cardformat/CardLayout.h"
#include "cardformat/NoteTrailer.h"
#include "moviemaker/SwfWriter.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace player::testing {

void FakePlayerWorld::messageBox(std::string_view text, MessageIcon icon, std::string_view title) {
    messages.push_back({std::string(text), icon, std::string(title)});
    events.push_back("message");
}

std::string FakePlayerWorld::passwordBox(std::string_view prompt, std::string_view title,
                                         std::string_view defaultText) {
    prompts.push_back(std::string(prompt) + "|" + std::string(title) + "|" +
                      std::string(defaultText));
    events.push_back("input");
    if (endDuringInputBox && player != nullptr) {
        player->endSequence();
    }
    return answer;
}

void FakePlayerWorld::openAddress(std::string_view address) {
    addresses.emplace_back(address);
    events.push_back("open " + std::string(address));
}

void FakePlayerWorld::endProgram() {
    ended = true;
    events.push_back("end");
}

void FakePlayerWorld::showPlaybackWindow() {
    windowShown = true;
    events.push_back("show");
}

void FakePlayerWorld::applyGeometry(const PlaybackGeometry& geometry) {
    lastGeometry = geometry;
}

void FakePlayerWorld::hookFlashWindow() {
    events.push_back("hook");
}

void FakePlayerWorld::unhookFlashWindow() {
    events.push_back("unhook");
}

void FakePlayerWorld::showPopupMenu(const MenuMarks& marks) {
    menusShown.push_back(marks);
    events.push_back("menu");
}

void FakePlayerWorld::enableReturnPlay(std::string_view caption) {
    returnPlayEnabled = true;
    returnPlayCaption = caption;
}

void FakePlayerWorld::hideReturnPlay() {
    events.push_back("hide ReturnPlay");
}

void FakePlayerWorld::playAsCard(std::string_view name) {
    cardFileName = name;
    events.push_back("card " + cardFileName);
}

void FakePlayerWorld::setBlessingText(std::string_view text) {
    blessing = text;
    events.push_back("blessing");
}

void PlayerFolderTest::SetUp() {
    char pattern[] = "/tmp/player-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_EQ(::mkdir(temporaryFolder().c_str(), 0700), 0);
    const char* saved = std::getenv("TMPDIR");
    hadTmpdir_ = saved != nullptr;
    savedTmpdir_ = saved != nullptr ? saved : "";
    ::setenv("TMPDIR", temporaryFolder().c_str(), 1);
    // Qt would otherwise make its runtime folder inside the temporary folder.
    const std::string runtime = dir_ + "/runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

void PlayerFolderTest::TearDown() {
    if (hadTmpdir_) {
        ::setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    const std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

std::vector<std::string> PlayerFolderTest::temporaryFiles() const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(temporaryFolder().c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

Bytes movieBytes(std::int32_t widthPx, std::int32_t heightPx, std::uint16_t frames,
                 std::uint32_t rgb) {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(widthPx, heightPx);
    header.frameRate = 12;
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({static_cast<std::uint8_t>(rgb >> 16),
                              static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)});
    for (std::uint16_t i = 0; i < frames; ++i) {
        movie.showFrame();
    }
    return movie.finish();
}

Bytes movieWithNote(const cardformat::CardNote& note, std::uint16_t frames) {
    Bytes bytes = movieBytes(550, 400, frames, 0x102030);
    const Bytes trailer = cardformat::encodeNoteTrailer(note);
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    return bytes;
}

Bytes cardBytes(const Bytes& attached) {
    Bytes card(cardformat::MovieOffset + attached.size(), 0);
    std::copy(attached.begin(), attached.end(), card.begin() + cardformat::MovieOffset);
    return card;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

} // namespace player::testing
