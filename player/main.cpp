// The player linked as one program, without the launcher: start-up measurements compare a
// card's start through the launcher with it.
#include "PlayerMain.h"

#include "cardformat/Platform.h"

int main(int argc, char** argv) {
    std::string ownPath;
    try {
        ownPath = cardformat::ownExecutablePath();
    } catch (const std::exception&) {
        // then no card: the program plays what its command line names
    }
    return player::playerMain(argc, argv, ownPath);
}
