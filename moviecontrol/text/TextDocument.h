#pragma once
// The formatted text of an edit field: UTF-16 text (paragraphs end in '\r') with a complete
// format for every character. Scripts, the html reader and printer and the renderer all
// work on this one model.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mc {

// Everything one character is drawn with; the paragraph part is the same for all characters
// of a paragraph.
struct TextFormat {
    std::string font = "Times New Roman";
    double size = 12;
    std::uint32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::string url;
    std::string target;
    double letterSpacing = 0;
    bool kerning = false;
    // paragraph
    std::string align = "left";
    double leftMargin = 0;
    double rightMargin = 0;
    double indent = 0;
    double leading = 0;
    double blockIndent = 0;
    bool bullet = false;
    std::vector<double> tabStops;

    bool operator==(const TextFormat&) const = default;
};

// A format as scripts see it: every attribute may be missing (null), either because it was
// not given or because the characters asked about differ in it.
struct PartialFormat {
    std::optional<std::string> font;
    std::optional<double> size;
    std::optional<std::uint32_t> color;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<std::string> url;
    std::optional<std::string> target;
    std::optional<double> letterSpacing;
    std::optional<bool> kerning;
    std::optional<std::string> align;
    std::optional<double> leftMargin;
    std::optional<double> rightMargin;
    std::optional<double> indent;
    std::optional<double> leading;
    std::optional<double> blockIndent;
    std::optional<bool> bullet;
    std::optional<std::vector<double>> tabStops;

    static PartialFormat of(const TextFormat& f);
    // Forgets every attribute in which `f` differs.
    void intersect(const TextFormat& f);
    void applyTo(TextFormat& f) const;
    bool hasParagraphPart() const;
    bool operator==(const PartialFormat&) const = default;
};

class TextDocument {
  public:
    struct Run {
        std::size_t begin;
        std::size_t end;
        const TextFormat* format;
    };

    const std::u16string& text() const { return text_; }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }

    void clear() {
        text_.clear();
        spans_.clear();
    }
    // Replaces [begin, end) (clamped) with `text` in format `format`.
    void replace(std::size_t begin, std::size_t end, std::u16string_view text,
                 const TextFormat& format);
    void append(std::u16string_view text, const TextFormat& format) {
        replace(size(), size(), text, format);
    }
    // Changes the characters of [begin, end); paragraph attributes change whole paragraphs.
    void apply(std::size_t begin, std::size_t end, const PartialFormat& format);
    // What the characters of [begin, end) share (one character when the range is empty).
    std::optional<PartialFormat> formatOf(std::size_t begin, std::size_t end) const;
    const TextFormat* formatAt(std::size_t index) const;
    std::vector<Run> runs() const;
    // The first character of the paragraph holding `index`, and the end of that paragraph
    // (after its '\r', if any).
    std::size_t paragraphStart(std::size_t index) const;
    std::size_t paragraphEnd(std::size_t index) const;

  private:
    struct Span {
        std::size_t length = 0;
        TextFormat format;
    };
    // Splits so that a span starts at `at`; returns that span's index.
    std::size_t splitAt(std::size_t at);
    void merge();

    std::u16string text_;
    std::vector<Span> spans_;
};

// The document with every character but the paragraph ends shown as `mask` in its own
// format (a surrogate pair as one), as a password field shows its text.
TextDocument maskedDocument(const TextDocument& document, char16_t mask);

// How html markup is read into a document.
struct StyleSheet;
struct HtmlOptions {
    bool multiline = false;
    bool condenseWhite = false;
    const StyleSheet* styles = nullptr;
    // Read as players of version 7 and before read markup: text between tags that is only
    // white space is dropped, and fonts know no kerning attribute.
    bool version7 = false;
};

// Reads html markup (UTF-8) the way players do: unknown tags are dropped, text keeps the
// format of the tags around it, starting from `base`.
TextDocument parseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options);
// The markup players give for a document (their htmlText), UTF-8.
std::string printHtml(const TextDocument& document);

// The whole number a text starts with (after blanks, with a sign); nothing without digits.
std::optional<double> leadingNumber(std::string_view text);

// A colour of html markup ("#RRGGBB", shorter or longer): the last six hex digits before the
// first other character; nothing when there is no digit or no '#'.
std::optional<std::uint32_t> parseHtmlColor(std::string_view text);

} // namespace mc
