#include "StyledText.h"

#include "StageObject.h"
#include "StageScripts.h"
#include "StyleSheetClass.h"
#include "TextFieldState.h"

namespace mc {

namespace {

void readStyled(StageScripts& stage, StageObject& object, TextFieldState& field,
                const std::string& markup) {
    const StyleSheet styles = styleSheetOf(stage.machine(), object.styleSheet);
    field.setHtmlText(markup, &styles);
    object.styledMarkup = markup;
}

} // namespace

void assignFieldText(StageScripts& stage, StageObject& object, TextFieldState& field,
                     const std::string& value, bool html) {
    // A style sheet applies to markup only, so with one every text is read as markup, even
    // while the html flag stays off.
    if (object.styleSheet != nullptr) {
        readStyled(stage, object, field, value);
        return;
    }
    object.styledMarkup.reset();
    if (html && field.field.html) {
        field.setHtmlText(value);
    } else {
        field.setPlainText(value);
    }
}

std::string fieldHtmlText(const StageObject& object, const TextFieldState& field) {
    if (object.styleSheet != nullptr && object.styledMarkup) {
        return *object.styledMarkup;
    }
    if (field.field.html || object.styleSheet != nullptr) {
        return field.htmlText();
    }
    return field.plainText();
}

void assignStyleSheet(StageScripts& stage, StageObject& object, TextFieldState& field,
                      avm1::Object* sheet) {
    // Only plain objects serve as sheets; a clip or a field is no sheet.
    object.styleSheet = sheet != nullptr && !sheet->isDisplayObject() ? sheet : nullptr;
    if (object.styleSheet == nullptr) {
        object.styledMarkup.reset();
        return;
    }
    // Assigning a sheet, even the one already set, styles the markup again with what the
    // sheet holds now.
    if (object.styledMarkup) {
        readStyled(stage, object, field, *object.styledMarkup);
    }
}

} // namespace mc
