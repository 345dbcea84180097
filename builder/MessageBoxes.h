#pragma once

#include <string_view>

class QWidget;

namespace builder {

// The question before a read-only movie is rewritten: Yes goes on.
bool askReadOnlyQuestion(QWidget* owner, std::string_view title, std::string_view text);

// "Card made", with one OK button and no icon.
void showSuccessMessage(QWidget* owner);

} // namespace builder
