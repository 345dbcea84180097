// Reads arbitrary text as an edit field's html markup and as a style sheet, prints the
// markup again and edits the result: the html reader and printer, the CSS reader and the
// formatted text model see hostile input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "HtmlText.h"
#include "StyleSheetClass.h"
#include "TextDocument.h"
#include "TextMetrics.h"

namespace {

// A movie without fonts: every text is measured as device text.
class NoFonts final : public mc::CharacterCatalog {
  public:
    mc::CharacterKind kind(std::uint16_t) const override { return mc::CharacterKind::Shape; }
    const swf::Timeline* spriteTimeline(std::uint16_t) const override { return nullptr; }
    const swf::Button* button(std::uint16_t) const override { return nullptr; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    mc::StyleSheet styles;
    if (const auto rules = mc::parseCss(text)) {
        for (const mc::CssRule& rule : *rules) {
            styles.styles[rule.selector].size = static_cast<double>(rule.properties.size());
        }
    }
    mc::HtmlOptions options;
    options.multiline = size % 2 == 0;
    options.condenseWhite = size % 3 == 0;
    options.styles = size % 5 == 0 ? &styles : nullptr;
    options.version7 = size % 7 == 0;
    mc::TextDocument doc = mc::parseHtml(text, mc::TextFormat{}, options);
    const std::string printed = mc::printHtml(doc);
    // Printed markup reads back as the same text.
    options.condenseWhite = false;
    options.styles = nullptr;
    options.multiline = true;
    mc::parseHtml(printed, mc::TextFormat{}, options);
    mc::paragraphsOf(doc);
    mc::PartialFormat bold;
    bold.bold = true;
    bold.align = "right";
    doc.apply(size / 3, size, bold);
    doc.formatOf(size / 4, size / 2);
    doc.replace(size / 5, size / 3, u"x\r", mc::TextFormat{});
    const NoFonts none;
    mc::measureText(none, doc, false, static_cast<double>(size % 400));
    return 0;
}
