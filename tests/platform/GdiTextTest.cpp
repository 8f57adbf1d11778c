// Text on the canvas: faces, the symbol font, extents, alignment, escapement
// and the background.

#include "GdiTestSupport.h"

#include "platform/gdi/Fonts.h"
#include "platform/gdi/PainterCanvas.h"

#include <QFontInfo>

#include <gtest/gtest.h>

using namespace platform::gdi;
using namespace gditest;

namespace {

LogFont font(int height, const QString &face = QStringLiteral("Arial"), int escapement = 0)
{
    LogFont f;
    f.height = height;
    f.faceName = face;
    f.escapement = escapement;
    f.orientation = escapement;
    f.charSet = RUSSIAN_CHARSET;
    return f;
}

QImage drawText(const QString &text, const LogFont &f, unsigned align, QPoint at, int bkMode = TRANSPARENT,
                QSize size = QSize(240, 240))
{
    QImage img = whiteImage(size.width(), size.height());
    PainterCanvas c(img, pinnedMetrics());
    c.setFont(f);
    c.setTextAlign(align);
    c.setBkMode(bkMode);
    c.setBkColor(rgb(255, 255, 0));
    c.setTextColor(0);
    c.textOut(at.x(), at.y(), text);
    c.painter().end();
    return img;
}

} // namespace

TEST(Fonts, TextFacesMapToMetricCompatibleFonts)
{
    const struct { const char *face; const char *family; } cases[] = {
        {"Arial Cyr", "Liberation Sans"}, {"Arial", "Liberation Sans"}, {"ARIAL CYR ", "Liberation Sans"},
        {"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"},
        {"Times New Roman Cyr", "Liberation Serif"},
    };
    QImage img = whiteImage(10, 10);
    PainterCanvas c(img, pinnedMetrics());
    for (const auto &cs : cases) {
        EXPECT_EQ(familiesForFace(QString::fromLatin1(cs.face)).value(0), QString::fromLatin1(cs.family)) << cs.face;
        const QFont q = c.deviceFont(font(-20, QString::fromLatin1(cs.face)));
        EXPECT_EQ(QFontInfo(q).family(), QString::fromLatin1(cs.family)) << cs.face;
        EXPECT_EQ(q.pixelSize(), 20);
    }
    EXPECT_TRUE(isSymbolFace(QStringLiteral("Wingdings")));
    EXPECT_TRUE(isSymbolFace(QStringLiteral(" wingdings")));
    EXPECT_FALSE(isSymbolFace(QStringLiteral("Arial")));
}

TEST(Fonts, SymbolFontCodesShowTheirSymbols)
{
    const struct { char code; char32_t symbol; } cases[] = {
        {'l', 0x25CF}, {'n', 0x25A0}, {'o', 0x25A1}, {'u', 0x25C6}, {'q', 0x2751}, {'p', 0x1F790},
        {'v', 0x2756}, {'w', 0x2B25}, {static_cast<char>(0xA1), 0x25CB}, {static_cast<char>(0xAB), 0x2605},
        {static_cast<char>(0xFC), 0x2713}, {' ', 0x20},
    };
    for (const auto &cs : cases) {
        const QString shown = symbolFontText(QString(QChar(static_cast<uchar>(cs.code))));
        EXPECT_EQ(shown, QString::fromUcs4(&cs.symbol, 1)) << cs.code;
    }
    // Codes that come in the private-use range too.
    EXPECT_EQ(symbolFontText(QString(QChar(0xF06C))), QString(QChar(0x25CF)));
    // And as the Windows-1251 characters of files: "ь" is 0xFC, "«" 0xAB.
    EXPECT_EQ(symbolFontText(QString(QChar(0x044C))), QString(QChar(0x2713)));
    EXPECT_EQ(symbolFontText(QStringLiteral("«")), QString(QChar(0x2605)));
    const char32_t clock = 0x1F559;
    EXPECT_EQ(symbolFontText(QStringLiteral("А")), QString::fromUcs4(&clock, 1));
}

TEST(Fonts, DefaultPointSymbolShowsADotNotTheLetter)
{
    // The point symbol "l" of the symbol font, 40 pixels high.
    const QImage dot = drawText(QStringLiteral("l"), font(-40, QStringLiteral("Wingdings")), TA_LEFT | TA_TOP, QPoint(20, 20));
    const QImage letter = drawText(QStringLiteral("l"), font(-40, QStringLiteral("Arial")), TA_LEFT | TA_TOP, QPoint(20, 20));
    keepArtefact(dot, QStringLiteral("symbol-dot"));
    const QRect d = inkBox(dot), l = inkBox(letter);
    ASSERT_FALSE(d.isNull());
    ASSERT_FALSE(l.isNull());
    // A round dot: about as wide as high, filled at its centre.
    EXPECT_NEAR(static_cast<double>(d.width()) / d.height(), 1.0, 0.2);
    EXPECT_EQ(at(dot, d.center().x(), d.center().y()), 0u);
    // The letter is a thin upright stroke.
    EXPECT_LT(static_cast<double>(l.width()) / l.height(), 0.3);
    const int filled = inkCount(dot, d);
    EXPECT_GT(filled, d.width() * d.height() * 0.6);
}

TEST(Text, ExtentsAreLogicalAndFollowTheFontHeight)
{
    QImage img = whiteImage(10, 10);
    PainterCanvas c(img, pinnedMetrics());
    c.setFont(font(-20));
    const Size s20 = c.textExtent(QStringLiteral("Карта 1:500"));
    const TextMetrics m20 = c.textMetrics();
    EXPECT_GT(s20.cx, 60);
    EXPECT_EQ(s20.cy, m20.height);
    EXPECT_EQ(m20.ascent + m20.descent, m20.height);
    // Arial's cell is about 1.15 em.
    EXPECT_NEAR(s20.cy, 23, 1);
    c.setFont(font(-40));
    const Size s40 = c.textExtent(QStringLiteral("Карта 1:500"));
    EXPECT_NEAR(s40.cx, 2 * s20.cx, 5); // hinted advances are whole pixels
    // A positive height is the cell height.
    c.setFont(font(23));
    EXPECT_NEAR(c.textExtent(QStringLiteral("Карта 1:500")).cx, s20.cx, 8);
    EXPECT_EQ(c.textExtent(QString()), (Size{0, 0}));
    // In 0.01 mm (25 units a pixel) the extent is in those units.
    c.setFont(font(-20));
    c.setMapMode(MM_HIMETRIC);
    c.setFont(font(-500)); // 20 pixels
    const Size h = c.textExtent(QStringLiteral("Карта 1:500"));
    EXPECT_NEAR(h.cx, s20.cx * 25, 25);
    EXPECT_NEAR(h.cy, s20.cy * 25, 25);
}

TEST(Text, AlignmentPlacesTheReferencePoint)
{
    const LogFont f = font(-40);
    const QPoint p(120, 120);
    QImage img = whiteImage(10, 10);
    PainterCanvas measure(img, pinnedMetrics());
    measure.setFont(f);
    const TextMetrics m = measure.textMetrics();
    const int w = measure.textExtent(QStringLiteral("HH")).cx;

    const struct { unsigned align; const char *name; std::function<void(const QRect &)> check; } cases[] = {
        {TA_LEFT | TA_TOP, "left-top",
         [&](const QRect &b) {
             EXPECT_NEAR(b.left(), p.x(), 4);
             EXPECT_GT(b.top(), p.y());                 // capitals start below the cell's top
             EXPECT_NEAR(b.bottom(), p.y() + m.ascent, 2); // the base line is an ascent down
         }},
        {TA_LEFT | TA_BASELINE, "left-baseline",
         [&](const QRect &b) {
             EXPECT_NEAR(b.bottom(), p.y() - 1, 2);
             EXPECT_NEAR(b.left(), p.x(), 4);
         }},
        {TA_LEFT | TA_BOTTOM, "left-bottom",
         [&](const QRect &b) { EXPECT_NEAR(b.bottom(), p.y() - m.descent - 1, 2); }},
        {TA_CENTER | TA_TOP, "centre-top",
         [&](const QRect &b) {
             EXPECT_NEAR(b.center().x(), p.x(), 3);
             EXPECT_NEAR(b.bottom(), p.y() + m.ascent, 2);
         }},
        {TA_RIGHT | TA_BASELINE, "right-baseline",
         [&](const QRect &b) {
             EXPECT_NEAR(b.right(), p.x(), 4);
             EXPECT_NEAR(b.width(), w, 8);
         }},
    };
    for (const auto &cs : cases) {
        const QImage out = drawText(QStringLiteral("HH"), f, cs.align, p);
        keepArtefact(out, QStringLiteral("text-") + QLatin1String(cs.name));
        SCOPED_TRACE(cs.name);
        cs.check(inkBox(out));
    }
}

TEST(Text, EscapementTurnsTheTextCounterClockwiseOnTheDevice)
{
    const QPoint p(120, 120);
    const QRect flat = inkBox(drawText(QStringLiteral("ЖЖЖЖ"), font(-30), TA_LEFT | TA_BASELINE, p));
    // 90° counter-clockwise: the text runs up from the point, its top to the left.
    const QImage upImg = drawText(QStringLiteral("ЖЖЖЖ"), font(-30, QStringLiteral("Arial"), 900), TA_LEFT | TA_BASELINE, p);
    keepArtefact(upImg, QStringLiteral("text-escapement-900"));
    const QRect up = inkBox(upImg);
    EXPECT_NEAR(up.height(), flat.width(), 3);
    EXPECT_NEAR(up.width(), flat.height(), 3);
    EXPECT_LE(up.bottom(), p.y() + 1);
    EXPECT_LT(up.right(), p.x() + 2);
    // The drawing code passes −Rotate × 10: positive Rotate turns it clockwise.
    const QImage downImg = drawText(QStringLiteral("ЖЖЖЖ"), font(-30, QStringLiteral("Arial"), -900), TA_LEFT | TA_BASELINE, p);
    keepArtefact(downImg, QStringLiteral("text-escapement-minus-900"));
    const QRect down = inkBox(downImg);
    EXPECT_GE(down.top(), p.y() - 1);
    EXPECT_GT(down.left(), p.x() - 2);
    // 45°: up and to the right.
    const QRect diag = inkBox(drawText(QStringLiteral("ЖЖЖЖ"), font(-30, QStringLiteral("Arial"), 450), TA_LEFT | TA_BASELINE, p));
    EXPECT_LT(diag.top(), p.y() - 40);
    EXPECT_GT(diag.right(), p.x() + 40);
}

TEST(Text, OpaqueBackgroundFillsTheCellAndStylesShow)
{
    const QImage img = drawText(QStringLiteral("Ab"), font(-30), TA_LEFT | TA_TOP, QPoint(10, 10), OPAQUE);
    keepArtefact(img, QStringLiteral("text-opaque"));
    // The cell from the point: yellow where no glyph is.
    EXPECT_EQ(at(img, 10, 10), rgb(255, 255, 0));
    EXPECT_EQ(at(img, 9, 10), rgb(255, 255, 255));
    QImage measure = whiteImage(4, 4);
    PainterCanvas c(measure, pinnedMetrics());
    c.setFont(font(-30));
    const Size s = c.textExtent(QStringLiteral("Ab"));
    EXPECT_EQ(at(img, 10 + s.cx - 1, 10 + s.cy - 1), rgb(255, 255, 0));
    EXPECT_EQ(at(img, 10 + s.cx + 1, 10 + s.cy - 1), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 10, 10 + s.cy + 1), rgb(255, 255, 255));

    LogFont u = font(-30);
    u.underline = true;
    u.weight = FW_BOLD;
    const QImage plain = drawText(QStringLiteral("__"), font(-30), TA_LEFT | TA_TOP, QPoint(10, 10));
    const QImage under = drawText(QStringLiteral("ab"), u, TA_LEFT | TA_TOP, QPoint(10, 10));
    const QImage normal = drawText(QStringLiteral("ab"), font(-30), TA_LEFT | TA_TOP, QPoint(10, 10));
    EXPECT_GT(inkCount(under, QRect(0, 0, 240, 240)), inkCount(normal, QRect(0, 0, 240, 240)));
    EXPECT_GT(inkBox(under).bottom(), inkBox(normal).bottom());
    (void)plain;
}

TEST(Text, NoTextForAFontBelowOnePixel)
{
    QImage img = whiteImage(100, 100);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setMapMode(MM_HIMETRIC);
        c.setFont(font(-10)); // 0.4 pixels
        c.textOut(100, -100, QStringLiteral("ничего"));
    }
    EXPECT_TRUE(inkBox(img).isNull());
}
