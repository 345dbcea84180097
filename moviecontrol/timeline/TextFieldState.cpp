#include "TextFieldState.h"

#include <algorithm>

#include "unicode/Utf16Text.h"

namespace mc {

TextFormat formatOfDefinition(const swf::EditText& e, std::string_view fontName) {
    TextFormat f;
    if (!fontName.empty()) {
        f.font = std::string(fontName);
    } else if (e.fontClass) {
        f.font = *e.fontClass;
    }
    if (e.fontHeight) {
        f.size = *e.fontHeight / 20.0;
    }
    if (e.color) {
        f.color = (std::uint32_t{e.color->r} << 16) | (std::uint32_t{e.color->g} << 8) | e.color->b;
    }
    f.align = e.align == swf::TextAlign::Right     ? "right"
              : e.align == swf::TextAlign::Center  ? "center"
              : e.align == swf::TextAlign::Justify ? "justify"
                                                   : "left";
    f.leftMargin = e.leftMargin / 20.0;
    f.rightMargin = e.rightMargin / 20.0;
    f.indent = e.indent / 20.0;
    f.leading = e.leading / 20.0;
    return f;
}

void TextFieldState::define(const swf::EditText& definition, std::string_view fontName) {
    field = definition;
    // A definition's border comes with a background.
    background = definition.border;
    antiAliasType = definition.advancedAntiAlias ? "advanced" : "normal";
    gridFitType = definition.gridFit == 0 ? "none" : definition.gridFit == 2 ? "subpixel" : "pixel";
    thickness = definition.thickness;
    sharpness = definition.sharpness;
    newFormat = formatOfDefinition(definition, fontName);
    document.clear();
    if (definition.initialText) {
        // Movies before version 6 store text in the machine's code page, read here as Latin-1.
        assign(unicode::decodeText(*definition.initialText));
    }
    changed();
}

std::string TextFieldState::plainText() const {
    return unicode::fromUtf16(document.text());
}

void TextFieldState::setPlainText(std::string_view utf8) {
    std::u16string text = unicode::toUtf16(utf8);
    // Each line end character is a paragraph end of its own: "\r\n" makes two paragraphs, as
    // text from files with such line ends shows an empty line between its lines.
    std::replace(text.begin(), text.end(), u'\n', u'\r');
    document.clear();
    document.append(text, newFormat);
    changed();
}

std::string TextFieldState::htmlText() const {
    return printHtml(document);
}

void TextFieldState::setHtmlText(std::string_view utf8, const StyleSheet* styles) {
    HtmlOptions options;
    // Version 6 movies have the multiline setting but their markup ignores it: paragraphs
    // and breaks end lines in every field.
    options.multiline = field.multiline || (movieVersion > 0 && movieVersion <= 6);
    options.condenseWhite = condenseWhite;
    options.version7 = movieVersion > 0 && movieVersion <= 7;
    options.styles = styles;
    document = parseHtml(utf8, newFormat, options);
    changed();
}

} // namespace mc
