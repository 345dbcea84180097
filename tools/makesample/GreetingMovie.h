#pragma once

#include <QRawFont>

#include <cstdint>
#include <vector>

namespace makesample {

constexpr double kStageWidth = 550;
constexpr double kStageHeight = 400;
constexpr double kFrameRate = 24;
constexpr uint16_t kFrameCount = 120;

// The greeting "新年快乐" over "恭贺新禧": hanging lanterns, twinkling stars, rising hearts and
// falling petals; the greeting grows in, the second line fades in, and the last frame stops.
// The same font gives the same bytes on every run.
std::vector<uint8_t> buildGreetingMovie(const QRawFont& font);

// Every character the movie draws.
const char* greetingCharacters();

} // namespace makesample
