// Text objects and fonts of the map control: the default text record, the
// extents of texts and symbols at the current scale, rotated and aligned
// texts, and fonts from loose values.

#include "MapTestSupport.h"

#include "mapdata/ShpRecords.h"
#include "platform/Rounding.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace maptest;

TEST(MapTexts, InitTextRecordWritesTheDefaultRecord)
{
    QByteArray full(shp::TextHeadSize, char(0xAA));
    TTextRecord r;
    ASSERT_TRUE(shp::decodeTextHead(full.constData(), full.size(), r));
    MapControlCore::InitTextRecord(r);
    QByteArray out(shp::TextHeadSize, '\0');
    shp::encodeTextHead(out.data(), r);

    QByteArray want(shp::TextHeadSize, '\0');
    want[274] = 12;                         // FontSize
    want[289] = 1;                          // Transparent
    want[290] = ' ';                        // Symbol
    want[299] = want[300] = want[301] = char(0xFF);   // BgTextColor white
    want[327] = want[328] = want[329] = char(0xFF);   // BrushColor white
    want[331] = 1;                          // BrushStyle
    want[351] = 1;                          // the byte after ArrowEnd
    for (int i = 424; i < 432; ++i)         // NumParts and NumPoints untouched
        want[i] = char(0xAA);
    for (int i = 0; i < shp::TextHeadSize; ++i)
        EXPECT_EQ(static_cast<unsigned char>(out[i]), static_cast<unsigned char>(want[i])) << "offset " << i;
}

TEST(MapTexts, MakeMapFontFromNumbersAndTexts)
{
    const TMapFont f = MapControlCore::MakeMapFont({QStringLiteral("Arial Cyr"), QStringLiteral("12"), 30.5,
                                                    QStringLiteral("2000"), QStringLiteral("   "), 5, 204, 3, 1,
                                                    QStringLiteral("16777215")});
    EXPECT_EQ(f.FontName, QStringLiteral("Arial Cyr"));
    EXPECT_EQ(f.Size, 12);
    EXPECT_EQ(f.Rotate, 30.5);
    EXPECT_EQ(f.Scale, 2000);
    EXPECT_EQ(f.Color, 0);             // a blank colour text
    EXPECT_EQ(f.TextStyle, 5);
    EXPECT_EQ(f.Charset, 204);
    EXPECT_EQ(f.Center, 3);
    EXPECT_EQ(f.BrushStyle, 1);
    EXPECT_EQ(f.BrushColor, 0xFFFFFF);
    EXPECT_EQ(f.TextSymbol, QChar(u' '));
    EXPECT_EQ(f.Position, 0);
    EXPECT_EQ(f.ShiftX, 0);
    EXPECT_EQ(f.ShiftY, 0);
    // Colours given as numbers, texts that are no number.
    EXPECT_EQ(MapControlCore::MakeMapFont({QString(), 10, 0, 0, 255, 0, 0, 0, 0, QStringLiteral("нет")}).Color, 255);
    EXPECT_EQ(MapControlCore::MakeMapFont({QString(), 10, 0, 0, QString(), 0, 0, 0, 0, QStringLiteral("нет")}).BrushColor,
              0);
}

namespace {

TMapFont font(int size, int scale = 0)
{
    TMapFont f;
    f.FontName = QStringLiteral("Arial");
    f.Size = size;
    f.Scale = scale;
    f.BrushStyle = 1;
    return f;
}

struct TextFixture {
    platform::ScopedService<ScreenMetrics> pin{pinnedMetrics()};
    std::unique_ptr<MapControlCore> map = makeControl();   // 1:500 at (1000, 1000)
    RecordingCanvas canvas{pinnedMetrics()};
    TextFixture() { canvas.setMapMode(MM_HIMETRIC); }

    // The text drawn and the point it was drawn at.
    MetaRecord text() const
    {
        const auto t = canvas.callsOf(EMR_EXTTEXTOUTW);
        return t.empty() ? MetaRecord{} : t.front();
    }
    LogFont fontAtText() const
    {
        LogFont f;
        for (const MetaRecord &r : canvas.calls()) {
            if (r.type == EMR_EXTCREATEFONTINDIRECTW)
                f = r.font;
            if (r.type == EMR_EXTTEXTOUTW)
                break;
        }
        return f;
    }
};

const QString kText = QStringLiteral("Участок 12");

} // namespace

TEST(MapTexts, RotatedTextOffsetsAndFont)
{
    struct Case {
        const char *name;
        int position, shiftX, shiftY;
        QPoint expected;   // the drawing point in pixels; the anchor is (100, 100)
    };
    const Case cases[] = {
        {"none", 0, 0, 0, {100, 100}},  {"up", 1, 0, 1, {100, 70}},     {"down", 2, 3, 0, {100, 120}},
        {"left", 3, 1, 0, {70, 100}},   {"right", 4, 0, 0, {120, 100}}, {"up left", 5, 0, 1, {80, 70}},
        {"down left", 6, 0, 0, {80, 120}}, {"up right", 7, 0, 0, {120, 80}}, {"down right", 8, -1, 0, {110, 120}},
        {"unknown", 9, 5, 5, {100, 100}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        TextFixture f;
        TMapFont tf = font(10);
        tf.Position = static_cast<Byte>(k.position);
        tf.ShiftX = k.shiftX;
        tf.ShiftY = k.shiftY;
        tf.Center = 4;   // left, top: no move of its own
        f.map->DrawRotatedText(f.canvas, 2500, -2500, 0, tf, kText);
        EXPECT_EQ(f.text().point, k.expected);
        EXPECT_EQ(f.text().text, kText);
    }
    // The font: -MulDiv(s, 96, 72), escapement -Round(Rotate × 10), styles.
    TextFixture f;
    TMapFont tf = font(10);
    tf.Rotate = 30.25;
    tf.TextStyle = 1 | 2 | 8;
    tf.Color = static_cast<std::int32_t>(rgb(0, 0, 200));
    tf.BrushStyle = 0;
    tf.BrushColor = static_cast<std::int32_t>(rgb(255, 255, 0));
    f.canvas.setTextAlign(TA_RIGHT);
    f.map->DrawRotatedText(f.canvas, 2500, -2500, 0, tf, kText);
    const LogFont lf = f.fontAtText();
    EXPECT_EQ(lf.height, -13);
    EXPECT_EQ(lf.escapement, -302);    // 302.5 to the even neighbour
    EXPECT_EQ(lf.orientation, -302);
    EXPECT_EQ(lf.weight, FW_BOLD);
    EXPECT_TRUE(lf.italic);
    EXPECT_FALSE(lf.underline);
    EXPECT_TRUE(lf.strikeOut);
    EXPECT_EQ(lf.charSet, RUSSIAN_CHARSET);
    EXPECT_EQ(lf.faceName, QStringLiteral("Arial"));
    EXPECT_EQ(f.canvas.textColor(), rgb(0, 0, 200));
    EXPECT_EQ(f.canvas.bkMode(), OPAQUE);
    EXPECT_EQ(f.canvas.bkColor(), rgb(255, 255, 0));
    // The mapping comes back; the alignment stays as the code set it.
    EXPECT_EQ(f.canvas.mapMode(), MM_HIMETRIC);
    EXPECT_EQ(f.canvas.textAlign(), TA_CENTER | TA_TOP);
    EXPECT_FALSE(f.canvas.font() == lf);
}

TEST(MapTexts, RotatedTextAlignmentAndScale)
{
    struct Case {
        int center;
        unsigned align;
    };
    const Case cases[] = {{0, TA_CENTER | TA_TOP}, {1, TA_CENTER | TA_TOP}, {2, TA_LEFT | TA_BASELINE},
                          {3, TA_LEFT | TA_BOTTOM}, {4, TA_LEFT | TA_TOP}, {7, TA_RIGHT | TA_BOTTOM}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.center);
        TextFixture f;
        f.canvas.setTextAlign(TA_RIGHT | TA_BOTTOM);
        TMapFont tf = font(10);
        tf.Center = static_cast<Byte>(k.center);
        f.map->DrawRotatedText(f.canvas, 2500, -2500, 0, tf, kText);
        EXPECT_EQ(f.canvas.textAlign(), k.align);
        // Code 1 lifts the text by half its height, measured with its font.
        RecordingCanvas probe(pinnedMetrics());
        probe.setFont(f.fontAtText());
        const int h = probe.textExtent(kText).cy;
        const int lift = k.center == 1 ? static_cast<int>(platform::roundHalfEven(h / 2.0)) : 0;
        EXPECT_EQ(f.text().point, QPoint(100, 100 - lift));
    }
    struct Size {
        double denominator;
        int height;   // 0: nothing drawn
    };
    // Scale 1000, size 10: at the current 1:500 it is 20 points.
    const Size sizes[] = {{0, -27}, {2000, -7}, {1000, -13}, {30000, 0}};
    for (const Size &k : sizes) {
        SCOPED_TRACE(k.denominator);
        TextFixture f;
        TMapFont tf = font(10, 1000);
        tf.Position = 4;
        f.map->DrawRotatedText(f.canvas, 2500, -2500, k.denominator, tf, kText);
        if (k.height == 0) {
            EXPECT_TRUE(f.canvas.callsOf(EMR_EXTTEXTOUTW).empty());
            continue;
        }
        EXPECT_EQ(f.fontAtText().height, k.height);
    }
    // An empty text draws nothing at all.
    TextFixture f;
    f.map->DrawRotatedText(f.canvas, 2500, -2500, 0, font(10), QString());
    EXPECT_TRUE(f.canvas.calls().empty() || f.canvas.callsOf(EMR_EXTTEXTOUTW).empty());
}

namespace {

struct Extent {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double width() const { return x1 - x0; }
    double height() const { return y1 - y0; }
};

Extent layout(MapControlCore &map, const TTextRecord &r, double x, double y)
{
    Extent e{-1, -1, -1, -1};
    map.LayoutTextObject(r, x, y, e.x0, e.y0, e.x1, e.y1);
    return e;
}

TTextRecord textRecord(int kind, const QString &text, int size, int scale = 0, int rotate = 0)
{
    TTextRecord r;
    MapControlCore::InitTextRecord(r);
    r.Kind = kind;
    r.Text = text;
    r.FontName = QStringLiteral("Arial");
    r.FontSize = size;
    r.TextScale = scale;
    r.Rotate = rotate;
    return r;
}

} // namespace

TEST(MapTexts, TextExtentsAtTheCurrentScale)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    auto map = makeControl();   // 1:500: a pixel is 25 / 200 = 0.125 map units
    const double pixel = 0.125;
    const TTextRecord text = textRecord(okText, kText, 10, 500);
    const Extent at500 = layout(*map, text, 1000, 1000);
    ASSERT_GT(at500.width(), 20 * pixel);
    // The anchor is the middle of the top edge.
    EXPECT_NEAR((at500.x0 + at500.x1) / 2, 1000, pixel);
    EXPECT_NEAR(at500.y1, 1000, pixel);
    EXPECT_GT(at500.width(), 2 * at500.height());

    // At 1:250 the text is twice as many pixels (20 points): it keeps its
    // size on the ground.
    map->SetScale(MapControlCore::DenominatorToScale(250));
    const Extent at250 = layout(*map, text, 1000, 1000);
    EXPECT_NEAR(at250.width() / at500.width(), 1.0, 0.1);
    EXPECT_NEAR(at250.width() / (map->View().Scale / map->View().UnitsPerPixelX), 2 * at500.width() / (200 / 25.0), 3);
    // A fixed size keeps its pixels: half the ground at twice the scale.
    const TTextRecord fixed = textRecord(okText, kText, 10, 0);
    const Extent fixed250 = layout(*map, fixed, 1000, 1000);
    map->SetScale(200);
    const Extent fixed500 = layout(*map, fixed, 1000, 1000);
    EXPECT_NEAR(fixed250.width() / fixed500.width(), 0.5, 0.05);

    // Turned by 90 degrees (clockwise on the screen): h wide and w high, to
    // the left of the anchor.
    const Extent turned = layout(*map, textRecord(okText, kText, 10, 0, 90), 1000, 1000);
    EXPECT_NEAR(turned.width(), fixed500.height(), 2 * pixel);
    EXPECT_NEAR(turned.height(), fixed500.width(), 2 * pixel);
    EXPECT_NEAR(turned.x1, 1000, pixel);
    EXPECT_NEAR((turned.y0 + turned.y1) / 2, 1000, pixel);
}

TEST(MapTexts, SymbolExtentIsCentredOnTheAnchor)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    auto map = makeControl();
    TTextRecord r = textRecord(okSymbol, QString(), 20);
    r.FontName = QStringLiteral("Wingdings");
    r.Symbol = u'l';
    const Extent e = layout(*map, r, 1000, 1000);
    EXPECT_GT(e.width(), 5 * 0.125);
    EXPECT_GT(e.height(), 5 * 0.125);
    EXPECT_NEAR((e.x0 + e.x1) / 2, 1000, 0.125);
    EXPECT_NEAR((e.y0 + e.y1) / 2, 1000, 0.125);
}

TEST(MapTexts, NothingToMeasureGivesTheAnchor)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    auto map = makeControl();
    struct Case {
        const char *name;
        TTextRecord record;
    };
    TTextRecord tinySymbol = textRecord(okSymbol, QString(), 1, 100000);
    tinySymbol.Symbol = u'A';
    const Case cases[] = {
        {"empty text", textRecord(okText, QStringLiteral("   "), 10)},
        {"size rounds to 0", textRecord(okText, kText, 10, 10)},   // 10 × 10 / 500
        {"symbol size 0", textRecord(okSymbol, QString(), 0)},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const Extent e = layout(*map, k.record, 1000.03, 999.96);
        // The anchor, to the pixel it falls on.
        EXPECT_NEAR(e.x0, 1000.03, 0.125);
        EXPECT_NEAR(e.y0, 999.96, 0.125);
        EXPECT_EQ(e.x0, e.x1);
        EXPECT_EQ(e.y0, e.y1);
    }
    // Other kinds, and any kind without a view, keep the extent they had.
    const Extent line = layout(*map, textRecord(okLine, kText, 10), 1000, 1000);
    EXPECT_EQ(line.x0, -1);
    EXPECT_EQ(line.y1, -1);
    map->SetScale(0);
    const Extent noView = layout(*map, textRecord(okText, kText, 10), 1000, 1000);
    EXPECT_EQ(noView.x0, -1);
}

TEST(MapTexts, TextBoxOnACanvasInPicture)
{
    // On a canvas in 0.01 mm the box's top is its largest y.
    TextFixture f;
    const Rect box = f.map->TextBoxExtent(f.canvas, QPoint(100, 100), kText, font(10));
    EXPECT_GT(box.top, box.bottom);
    f.canvas.setMapMode(MM_TEXT);
    const Rect pixels = f.map->TextBoxExtent(f.canvas, QPoint(100, 100), kText, font(10));
    EXPECT_EQ(pixels.top, 100);
    EXPECT_GT(pixels.bottom, 100);
    EXPECT_EQ(pixels.left + pixels.right, 200);
}

// ---- pictures ---------------------------------------------------------------

namespace {

// Where the dark pixels of a text are on a white picture.
QRect darkBox(const QImage &img)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

QImage drawText(const TMapFont &tf, const QString &name, const QString &text = QStringLiteral("Участок"))
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    auto map = makeControl(300, 300);
    QImage img = whiteImage(300, 300);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setMapMode(MM_HIMETRIC);
        map->DrawRotatedText(c, 150 * 25, -150 * 25, 0, tf, text);
    }
    keepArtefact(img, name);
    return img;
}

} // namespace

TEST(MapTextsPicture, AlignedAndRotatedTexts)
{
    TMapFont tf = font(16);
    tf.Center = 0;   // centred, top at the anchor (150, 150)
    QRect b = darkBox(drawText(tf, QStringLiteral("text-centre-top")));
    ASSERT_FALSE(b.isNull());
    EXPECT_GE(b.top(), 150);
    EXPECT_LE(b.top(), 156);
    EXPECT_NEAR(b.center().x(), 150, 3);
    EXPECT_GT(b.width(), 2 * b.height());

    tf.Center = 1;   // centred both ways
    b = darkBox(drawText(tf, QStringLiteral("text-centred")));
    EXPECT_NEAR(b.center().y(), 150, 4);
    EXPECT_NEAR(b.center().x(), 150, 3);

    tf.Center = 2;   // left end on the point, base line through it
    b = darkBox(drawText(tf, QStringLiteral("text-left-baseline")));
    EXPECT_NEAR(b.left(), 151, 2);
    EXPECT_EQ(b.bottom(), 149);

    // 90 degrees clockwise: the text runs down the screen from the anchor with
    // the letters' tops to the right, so it lies left of the anchor.
    tf.Center = 4;
    tf.Rotate = 90;
    b = darkBox(drawText(tf, QStringLiteral("text-rotated-90")));
    EXPECT_GT(b.height(), 2 * b.width());
    EXPECT_GE(b.top(), 148);
    EXPECT_LE(b.right(), 151);
    EXPECT_GE(b.left(), 150 - 30);

    // Offset up and left, with a yellow background.
    TMapFont off = font(16);
    off.Center = 4;
    off.Position = 5;
    off.BrushStyle = 0;
    off.BrushColor = static_cast<std::int32_t>(rgb(255, 255, 0));
    const QImage img = drawText(off, QStringLiteral("text-offset-background"));
    const QRect yellow = colourBox(img, rgb(255, 255, 0));
    // 16 points at 96 dpi is 21 pixels; (0 + 2) × 16 = 32 pixels left and up.
    EXPECT_EQ(yellow.topLeft(), QPoint(150 - 32, 150 - 32));
}

// A symbol of the symbol font shows its symbol: a default point is a dot.
TEST(MapTextsPicture, SymbolFontDot)
{
    TMapFont tf = font(20);
    tf.FontName = QStringLiteral("Wingdings");
    tf.Center = 1;
    const QImage img = drawText(tf, QStringLiteral("symbol-dot"), QStringLiteral("l"));
    const QRect b = darkBox(img);
    ASSERT_FALSE(b.isNull());
    EXPECT_NEAR(b.width(), b.height(), 2);
    EXPECT_EQ(qGray(img.pixel(b.center())), 0);
}
