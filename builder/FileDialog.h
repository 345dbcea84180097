#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace builder {

// The builder's two file dialogs. Each returns the chosen path (UTF-8), or empty text when
// the user cancelled; they never fail towards the caller.

// Asks for an existing file; links are taken as chosen, not followed. The default extension
// is always "swf".
std::string ShowOpenDialog(QWidget* owner, std::string_view description, std::string_view pattern,
                           std::string_view title, std::string_view initialFolder,
                           std::string_view initialFileName);

// Asks where to save; an existing file is only taken after the user agreed to replace it.
std::string ShowSaveDialog(QWidget* owner, std::string_view description, std::string_view pattern,
                           std::string_view title, std::string_view defaultExtension,
                           std::string_view initialFileName);

// One filter entry as the dialog shows it: "description (patterns)", or the description
// alone when it names its patterns already.
std::string dialogNameFilter(std::string_view description, std::string_view pattern);

} // namespace builder
