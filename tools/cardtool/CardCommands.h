#pragma once

#include <string>
#include <vector>

namespace cardtool {

// Each command gets the words after its name and returns the exit status: 0 success, 1 the
// operation's failure value. Usage errors are thrown as UsageError.
int headerCommand(const std::vector<std::string>& words);
int noteCommand(const std::vector<std::string>& words);
int writeNoteCommand(const std::vector<std::string>& words);
int makeCommand(const std::vector<std::string>& words);
int extractCommand(const std::vector<std::string>& words);
int infoCommand(const std::vector<std::string>& words);
// Prints an error log in the terminal's encoding.
int logCommand(const std::vector<std::string>& words);

} // namespace cardtool
