#include "HtmlText.h"

#include <QRegularExpression>

namespace mc {

namespace {

struct Style {
    bool bold = false;
    bool italic = false;
    std::optional<double> sizePx;
    std::optional<swf::Rgba> color;
    std::optional<QString> face;
    bool kerning = false;
};

constexpr std::size_t kMaxStyleDepth = 64;

QString attribute(const QString& tag, const QString& name) {
    const QRegularExpression re(name + QStringLiteral("\\s*=\\s*[\"']?([^\"' >]*)"),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString decodeEntities(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

} // namespace

std::vector<StyledParagraph> parseHtmlText(const QString& html) {
    std::vector<StyledParagraph> paragraphs(1);
    std::vector<Style> stack(1);
    auto addText = [&](const QString& text) {
        if (text.isEmpty()) {
            return;
        }
        const Style& s = stack.back();
        paragraphs.back().runs.push_back(StyledRun{decodeEntities(text), s.bold, s.italic, s.sizePx,
                                                   s.color, s.face, s.kerning});
    };
    auto newParagraph = [&] {
        if (!paragraphs.back().runs.empty() || paragraphs.back().align) {
            paragraphs.emplace_back();
        }
    };
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), at);
        if (open < 0) {
            addText(html.mid(at));
            break;
        }
        addText(html.mid(at, open - at));
        const qsizetype close = html.indexOf(QLatin1Char('>'), open);
        if (close < 0) {
            break;
        }
        const QString tag = html.mid(open + 1, close - open - 1).trimmed();
        at = close + 1;
        const bool closing = tag.startsWith(QLatin1Char('/'));
        const QString name = (closing ? tag.mid(1) : tag).section(QLatin1Char(' '), 0, 0).toLower();
        if (name == QLatin1String("br")) {
            paragraphs.emplace_back();
            paragraphs.back().align = paragraphs[paragraphs.size() - 2].align;
            continue;
        }
        if (name == QLatin1String("p")) {
            if (closing) {
                newParagraph();
            } else {
                newParagraph();
                const QString align = attribute(tag, QStringLiteral("align")).toLower();
                if (align == QLatin1String("right")) {
                    paragraphs.back().align = swf::TextAlign::Right;
                } else if (align == QLatin1String("center")) {
                    paragraphs.back().align = swf::TextAlign::Center;
                } else if (align == QLatin1String("justify")) {
                    paragraphs.back().align = swf::TextAlign::Justify;
                } else {
                    paragraphs.back().align = swf::TextAlign::Left;
                }
            }
            continue;
        }
        if (name != QLatin1String("b") && name != QLatin1String("i") &&
            name != QLatin1String("font")) {
            continue;
        }
        if (closing) {
            if (stack.size() > 1) {
                stack.pop_back();
            }
            continue;
        }
        if (stack.size() >= kMaxStyleDepth) {
            continue;
        }
        Style s = stack.back();
        if (name == QLatin1String("b")) {
            s.bold = true;
        } else if (name == QLatin1String("i")) {
            s.italic = true;
        } else {
            const QString face = attribute(tag, QStringLiteral("face"));
            if (!face.isEmpty()) {
                s.face = face;
            }
            bool ok = false;
            const QString kerning = attribute(tag, QStringLiteral("kerning"));
            if (!kerning.isEmpty()) {
                s.kerning = kerning.toInt(&ok) != 0 && ok;
            }
            const double size = attribute(tag, QStringLiteral("size")).toDouble(&ok);
            if (ok && size > 0 && size < 1000) {
                s.sizePx = size;
            }
            QString color = attribute(tag, QStringLiteral("color"));
            if (color.startsWith(QLatin1Char('#')) && color.size() == 7) {
                const unsigned rgb = color.mid(1).toUInt(&ok, 16);
                if (ok) {
                    s.color = swf::Rgba{static_cast<std::uint8_t>(rgb >> 16),
                                        static_cast<std::uint8_t>(rgb >> 8),
                                        static_cast<std::uint8_t>(rgb), 255};
                }
            }
        }
        stack.push_back(s);
    }
    while (paragraphs.size() > 1 && paragraphs.back().runs.empty()) {
        paragraphs.pop_back();
    }
    return paragraphs;
}

} // namespace mc
