#pragma once

#include <cstdint>
#include <vector>

#include "moviemaker/ActionWriter.h"
#include "moviemaker/Records.h"

namespace moviemaker {

// A DefineButton2 to write: its records (state bits up 1, over 2, down 4, hit 8) and its
// action blocks with their condition bits.
struct ButtonRecord {
    uint8_t states = 0x0F;
    uint16_t characterId = 0;
    uint16_t depth = 1;
    Matrix matrix;
    ColorTransform colorTransform;
};

struct ButtonCondition {
    uint16_t conditions = 0;
    Actions actions;
};

struct Button {
    std::vector<ButtonRecord> records;
    std::vector<ButtonCondition> conditions;
    bool trackAsMenu = false;
};

std::vector<uint8_t> encodeDefineButton2(uint16_t id, const Button& button);

} // namespace moviemaker
