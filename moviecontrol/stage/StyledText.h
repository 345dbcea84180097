#pragma once
// Text assignments to an edit field and its style sheet. With a sheet the field keeps the
// markup it was given: htmlText reads it back, and a sheet assigned later styles it anew.

#include <string>

namespace avm1 {
class Object;
}

namespace mc {

class StageScripts;
class StageObject;
struct TextFieldState;

// text (`html` false) or htmlText (`html` true) set to `value`.
void assignFieldText(StageScripts& stage, StageObject& object, TextFieldState& field,
                     const std::string& value, bool html);
// htmlText as players read it: the markup given while a sheet is set, the formatted text of
// an html field or one with a sheet, else the plain text.
std::string fieldHtmlText(const StageObject& object, const TextFieldState& field);
// styleSheet set to `sheet` (null removes it; the text keeps the formats it had).
void assignStyleSheet(StageScripts& stage, StageObject& object, TextFieldState& field,
                      avm1::Object* sheet);

} // namespace mc
