#pragma once

// Scripted picture movies for the drawing API's finer arguments, BitmapData's pixel
// operations, text field boxes and masks set by script.

#include "moviemaker/ActionWriter.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace picturerules {

// Writes one movie per call: `name` and the actions drawn into the clip `c` at depth 10.
using ScriptCaseWriter = std::function<void(const std::string& name,
                                            const std::function<void(moviemaker::Actions&)>& body)>;

void drawingApiTables(const ScriptCaseWriter& scriptCase);
void bitmapDataTables(const ScriptCaseWriter& scriptCase);
void clipTables(const ScriptCaseWriter& scriptCase);
// Movies that load the pictures loadedPictures() names into clips; drawn after some frames.
void loadedPictureTables(const ScriptCaseWriter& scriptCase);

// The files those movies load, each a name and its bytes, to lay beside them.
std::vector<std::pair<std::string, std::vector<uint8_t>>> loadedPictures();

} // namespace picturerules
