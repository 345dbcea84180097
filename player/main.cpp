// The player linked as one program, without the launcher, for start-up measurements:
// `velmora_direct CARD [ARGUMENT]` plays CARD as if it were the running program.
#include "PlayerMain.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: velmora_direct CARD [ARGUMENT]\n", stderr);
        return 2;
    }
    const std::string card = argv[1];
    argv[1] = argv[0]; // the card's own arguments: a program name, then what follows
    return player::playerMain(argc - 1, argv + 1, card);
}
