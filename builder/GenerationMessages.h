#pragma once

#include "cardformat/CardLayout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace builder {

// The most a blessing may take in the note, in stored (GB18030) bytes: every reader refuses
// a longer text.
inline constexpr std::uint64_t BlessingByteLimit = 32767;

// What the builder tells the person when a card was not made: what went wrong and what to do,
// in the program's language. Texts use CR LF between lines, as message boxes take them.
std::string failureText(cardformat::CardOutcome outcome, const std::string& moviePath,
                        const std::string& cardPath);
std::string noMovieChosenText();
std::string noCardPathText();
std::string blessingTooLongText(std::uint64_t storedBytes);
// The blessing, the sender's name and the title together pass what a note carries.
std::string noteTextsTooLongText(std::uint64_t storedBytes);
// The question before an existing file is replaced by the card.
std::string overwriteQuestion(const std::string& cardPath);
// "制作成功！" and, on the next line, where the card is.
std::string successText(const std::string& cardPath);

} // namespace builder
