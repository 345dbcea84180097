#include <gtest/gtest.h>

#include "DeviceFonts.h"

namespace mc {
namespace {

TEST(DeviceFontsTest, GenericNamesBecomeThePlayersFaces) {
    const QFont serif = deviceFont(QStringLiteral("_serif"), 240, false, false);
    EXPECT_EQ(serif.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(serif.styleHint(), QFont::Serif);
    const QFont sans = deviceFont(QStringLiteral("_sans"), 240, false, false);
    EXPECT_EQ(sans.family(), QStringLiteral("Arial"));
    EXPECT_EQ(sans.styleHint(), QFont::SansSerif);
    const QFont mono = deviceFont(QStringLiteral("_typewriter"), 240, false, false);
    EXPECT_EQ(mono.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(mono.styleHint(), QFont::TypeWriter);
    // The Japanese generic names.
    EXPECT_EQ(deviceFont(QString::fromUtf16(u"_\u7b49\u5e45"), 240, false, false).styleHint(),
              QFont::TypeWriter);
    EXPECT_EQ(
        deviceFont(QString::fromUtf16(u"_\u30b4\u30b7\u30c3\u30af"), 240, false, false).styleHint(),
        QFont::SansSerif);
}

TEST(DeviceFontsTest, NamedFacesStayAndNoNameIsTimes) {
    const QFont named = deviceFont(QStringLiteral(" Verdana "), 300, true, true);
    EXPECT_EQ(named.family(), QStringLiteral("Verdana"));
    EXPECT_EQ(named.pixelSize(), 300);
    EXPECT_TRUE(named.bold());
    EXPECT_TRUE(named.italic());
    EXPECT_EQ(deviceFont(QString(), 240, false, false).family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(deviceFont(QStringLiteral("_sans"), 0, false, false).pixelSize(), 1);
}

} // namespace
} // namespace mc
