#pragma once

#include <string_view>

class QWidget;

namespace builder {

// The question before a read-only movie is rewritten: Yes goes on.
bool askReadOnlyQuestion(QWidget* owner, std::string_view title, std::string_view text);

// "Card made" and where, with one OK button and no icon.
void showSuccessMessage(QWidget* owner, std::string_view text);
// Why no card was made, with one OK button and a warning icon.
void showFailureMessage(QWidget* owner, std::string_view text);
// The loaded movie carries its own blessing while the person wrote another: true keeps what
// they wrote (also when the box is closed), false takes the movie's.
bool askKeepTypedBlessing(QWidget* owner, std::string_view noteBlessing);
// Yes goes on; No (or closing the box) leaves everything as it is.
bool askOverwriteQuestion(QWidget* owner, std::string_view text);

} // namespace builder
