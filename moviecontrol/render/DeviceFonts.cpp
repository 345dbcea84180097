#include "DeviceFonts.h"

namespace mc {

QFont deviceFont(const QString& family, int size, bool bold, bool italic) {
    QFont font;
    const QString name = family.trimmed();
    if (name.isEmpty() || name == u"_serif" || name == u"_\u660e\u671d") {
        font.setFamily(QStringLiteral("Times New Roman"));
        font.setStyleHint(QFont::Serif);
    } else if (name == u"_sans" || name == u"_\u30b4\u30b7\u30c3\u30af") {
        font.setFamily(QStringLiteral("Arial"));
        font.setStyleHint(QFont::SansSerif);
    } else if (name == u"_typewriter" || name == u"_\u7b49\u5e45") {
        font.setFamily(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
    } else {
        font.setFamily(name);
    }
    font.setPixelSize(size < 1 ? 1 : size);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace mc
