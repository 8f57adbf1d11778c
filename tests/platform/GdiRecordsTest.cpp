// How the graphics layer keeps and hands on records: the compact storage of
// metafiles (every kind keeps its fields, in order, across the blocks the
// storage grows in) and what a canvas keeps between calls.

#include "GdiTestSupport.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordList.h"
#include "platform/gdi/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <limits>

using namespace platform::gdi;
using namespace gditest;

namespace {

MetaRecord of(int type)
{
    MetaRecord r;
    r.type = type;
    return r;
}

// One record of each kind with every field of its kind set to something
// other than the default, extremes included.
std::vector<MetaRecord> everyKind()
{
    std::vector<MetaRecord> v;
    MetaRecord r = of(EMR_CREATEPEN);
    r.pen = Pen{PS_DASHDOT, -7, 0xFFFFFFFFu};
    v.push_back(r);
    r = of(EMR_CREATEBRUSHINDIRECT);
    r.brush = Brush{BS_HATCHED, 0x00ABCDEFu, HS_DIAGCROSS};
    v.push_back(r);
    r = of(EMR_EXTCREATEFONTINDIRECTW);
    r.font.height = -13;
    r.font.escapement = 900;
    r.font.italic = true;
    r.font.charSet = RUSSIAN_CHARSET;
    r.font.faceName = QStringLiteral("Times New Roman Cyr");
    v.push_back(r);
    // Values are 32-bit in files, signed (RestoreDC) or not (colours), and
    // anything in between through the calls.
    const std::int64_t values[] = {0, -1, 0xFFFFFFFFLL, std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::int64_t>::max()};
    const int valueKinds[] = {EMR_SETMAPMODE, EMR_SETBKMODE, EMR_SETPOLYFILLMODE, EMR_SETROP2,
                              EMR_SETSTRETCHBLTMODE, EMR_SETTEXTALIGN, EMR_SETTEXTCOLOR, EMR_SETBKCOLOR,
                              EMR_SAVEDC, EMR_RESTOREDC};
    int k = 0;
    for (int type : valueKinds) {
        r = of(type);
        r.value = values[k++ % 5];
        v.push_back(r);
    }
    const int pointKinds[] = {EMR_SETWINDOWEXTEX, EMR_SETWINDOWORGEX, EMR_SETVIEWPORTEXTEX, EMR_SETVIEWPORTORGEX,
                              EMR_MOVETOEX, EMR_LINETO};
    for (int type : pointKinds) {
        r = of(type);
        r.point = QPoint(std::numeric_limits<int>::min(), std::numeric_limits<int>::max() - type);
        v.push_back(r);
    }
    r = of(EMR_SETWORLDTRANSFORM);
    r.transform = QTransform(0.5, 0.25, -0.25, 2, 10.5, -3);
    v.push_back(r);
    r = of(EMR_MODIFYWORLDTRANSFORM);
    r.transform = QTransform::fromTranslate(-4, 8);
    r.value = 3;
    v.push_back(r);
    r = of(EMR_INTERSECTCLIPRECT);
    r.rect = Rect{-5, 6, -7, 8};
    v.push_back(r);
    r = of(EMR_EXTSELECTCLIPRGN);
    r.value = 1;
    r.region = QRegion(1, 2, 3, 4) + QRegion(20, 20, 5, 5);
    v.push_back(r);
    r = of(EMR_EXTSELECTCLIPRGN);
    r.value = 5;
    r.nullRegion = true;
    v.push_back(r);
    r = of(EMR_POLYGON);
    r.points = {QPoint(0, 0), QPoint(10, -3), QPoint(-7, 40)};
    r.bounds = Rect{-1, -2, 11, 41};
    v.push_back(r);
    r = of(EMR_POLYLINE);
    r.points = {QPoint(5, 5), QPoint(6, 6)};
    r.bounds = Rect{5, 5, 7, 7};
    v.push_back(r);
    // A figure without points takes none of the shared array.
    r = of(EMR_POLYGON);
    v.push_back(r);
    r = of(EMR_POLYPOLYGON);
    r.points = {QPoint(0, 0), QPoint(9, 0), QPoint(9, 9), QPoint(1, 1), QPoint(2, 1), QPoint(2, 2)};
    r.counts = {3, 3};
    r.bounds = Rect{0, 0, 10, 10};
    v.push_back(r);
    r = of(EMR_ELLIPSE);
    r.rect = Rect{1, 2, 30, 40};
    r.bounds = Rect{0, 0, 31, 41};
    v.push_back(r);
    r = of(EMR_RECTANGLE);
    r.rect = Rect{-30, -40, -1, -2};
    r.bounds = Rect{3, 4, 5, 6};
    v.push_back(r);
    r = of(EMR_EXTTEXTOUTW);
    r.point = QPoint(500, -2700);
    r.text = QStringLiteral("Участок 12");
    r.counts = {7, 7, 7, 7, 7, 7, 7, 3, 7, 7};
    r.bounds = Rect{20, 100, 90, 115};
    v.push_back(r);
    r = of(EMR_STRETCHDIBITS);
    r.rect = Rect{0, 0, 16, -16};
    r.image = QImage(4, 3, QImage::Format_RGB32);
    r.image.fill(Qt::red);
    r.source = QRect(1, 2, -3, 1);
    r.rop = SRCINVERT;
    r.bounds = Rect{0, 0, 17, 17};
    v.push_back(r);
    // A pattern operation has no source image.
    r = of(EMR_STRETCHDIBITS);
    r.rect = Rect{0, 0, 5, 5};
    r.rop = PATCOPY;
    v.push_back(r);
    // A kind without a form of its own is kept whole.
    r = of(12345);
    r.value = 77;
    r.point = QPoint(1, 2);
    r.text = QStringLiteral("x");
    r.points = {QPoint(3, 4)};
    v.push_back(r);
    return v;
}

std::vector<MetaRecord> readBack(const RecordList &list)
{
    std::vector<MetaRecord> out;
    for (const RecordView &r : list)
        out.emplace_back(r);
    return out;
}

} // namespace

TEST(RecordList, EveryKindKeepsItsFields)
{
    const std::vector<MetaRecord> all = everyKind();
    RecordList list;
    for (const MetaRecord &r : all)
        list.append(r);
    ASSERT_EQ(list.size(), all.size());
    const std::vector<MetaRecord> back = readBack(list);
    ASSERT_EQ(back.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(back[i], all[i]) << "record " << i << " of kind " << all[i].type;

    // Every kind after every other: nothing of one record shows in the next.
    RecordList pairs;
    std::vector<MetaRecord> sequence;
    for (const MetaRecord &a : all)
        for (const MetaRecord &b : all) {
            pairs.append(a);
            pairs.append(b);
            sequence.push_back(a);
            sequence.push_back(b);
        }
    EXPECT_EQ(readBack(pairs), sequence);
}

TEST(RecordList, ManyRecordsAndLargeFiguresCrossTheBlocks)
{
    // Enough pen moves for several blocks of the stream, figures larger than a
    // block of points between them, and every kind again after a copy.
    const std::vector<MetaRecord> kinds = everyKind();
    std::vector<MetaRecord> all;
    for (int i = 0; i < 60000; ++i) {
        MetaRecord r = of(i % 3 ? EMR_LINETO : EMR_MOVETOEX);
        r.point = QPoint(i, -i);
        all.push_back(r);
        if (i % 20000 == 7) {
            MetaRecord big = of(EMR_POLYGON);
            for (int k = 0; k < 9000 + i; ++k)
                big.points.emplace_back(k, i);
            big.bounds = Rect{0, i, 9000 + i, i + 1};
            all.push_back(big);
            all.insert(all.end(), kinds.begin(), kinds.end());
        }
    }
    RecordList list;
    for (const MetaRecord &r : all)
        list.append(r);
    EXPECT_EQ(readBack(list), all);

    // A copy reads the same and goes on growing by itself.
    RecordList copy = list;
    for (const MetaRecord &r : kinds)
        copy.append(r);
    std::vector<MetaRecord> longer = all;
    longer.insert(longer.end(), kinds.begin(), kinds.end());
    EXPECT_EQ(readBack(copy), longer);
    EXPECT_EQ(readBack(list), all);
    // Appending a list to itself doubles it.
    copy.append(copy);
    std::vector<MetaRecord> twice = longer;
    twice.insert(twice.end(), longer.begin(), longer.end());
    EXPECT_EQ(readBack(copy), twice);

    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
}

TEST(RecordList, RecordedCallsArePlayedAsTheyWereMade)
{
    // A recorded picture played onto a call log gives the calls with their
    // arguments; the image of a block transfer is the one drawn at the time.
    Metafile m(pinnedMetrics());
    m.setSizeInPixels(100, 100);
    QImage bits(2, 2, QImage::Format_RGB32);
    bits.fill(Qt::green);
    {
        MetafileCanvas c(m);
        c.setPen(Pen{PS_DOT, 1, rgb(1, 2, 3)});
        c.setBrush(Brush{BS_HATCHED, rgb(4, 5, 6), HS_CROSS});
        c.polyPolygon({QPoint(1, 1), QPoint(50, 1), QPoint(50, 50), QPoint(60, 60), QPoint(70, 60), QPoint(70, 70)},
                      {3, 3});
        c.moveTo(3, 4);
        c.lineTo(30, 40);
        c.stretchDIBits(10, 10, 20, 20, bits, QRect(0, 0, 2, 2), SRCCOPY);
        bits.fill(Qt::blue);
        c.textOut(5, 90, QStringLiteral("Дом"));
    }
    RecordingCanvas log(pinnedMetrics());
    log.drawMetafile(m, Rect{0, 0, 100, 100});
    const QStringList lines = log.log();
    EXPECT_TRUE(lines.contains(QStringLiteral("Pen style=2 width=1 color=0x030201"))) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Brush style=2 color=0x060504 hatch=4")));
    EXPECT_TRUE(lines.contains(QStringLiteral("PolyPolygon (1,1) (50,1) (50,50) (60,60) (70,60) (70,70)")));
    EXPECT_TRUE(lines.contains(QStringLiteral("MoveTo 3,4")));
    EXPECT_TRUE(lines.contains(QStringLiteral("LineTo 30,40")));
    EXPECT_TRUE(lines.contains(QStringLiteral("TextOut 5,90 \"Дом\"")));
    const auto blits = log.callsOf(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].image.pixel(1, 1), QColor(Qt::green).rgb());
    const auto polys = log.callsOf(EMR_POLYPOLYGON);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].counts, (std::vector<int>{3, 3}));
}

TEST(PainterCanvas, DrawingPastTheCanvasDoesNotLoseItsClip)
{
    // The canvas sets its clip on the painter only when it changes; a caller
    // that draws on the painter directly may have changed it meanwhile.
    QImage img = whiteImage(40, 40);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_NULL, 0, 0});
        c.setBrush(Brush{BS_SOLID, 0, 0});
        c.selectClipRegion(QRegion(0, 0, 10, 10));
        c.rectangle(Rect{0, 0, 41, 41});
        QPainter &p = c.painter();
        p.setClipping(false);
        p.fillRect(QRect(30, 30, 5, 5), Qt::red);
        c.rectangle(Rect{0, 0, 41, 41});
    }
    EXPECT_EQ(inkBox(img.copy(0, 0, 25, 25)), QRect(0, 0, 10, 10));
    EXPECT_EQ(at(img, 32, 32), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 20, 20), rgb(255, 255, 255));
}

namespace {

// A call log that checks, at every call it receives, that the mapping and the
// clip the canvas keeps between changes are those of its state.
class CheckedCanvas : public RecordingCanvas {
public:
    using RecordingCanvas::RecordingCanvas;
    int checks = 0;

protected:
    void perform(const RecordView &r) override
    {
        RecordingCanvas::perform(r);
        ++checks;
        EXPECT_EQ(logicalToDevice(), pageTransform(state())) << describe(r).toStdString();
        std::optional<QRegion> clip = state().clip;
        if (clip && state().metaClip)
            clip = *clip & *state().metaClip;
        else if (!clip)
            clip = state().metaClip;
        EXPECT_EQ(clipRegion(), clip) << describe(r).toStdString();
    }
};

} // namespace

TEST(Canvas, KeptMappingAndClipFollowEveryChangeOfState)
{
    // A picture that changes the mapping and the clip, saves and restores,
    // and leaves a save open.
    Metafile inner(pinnedMetrics());
    inner.setSizeInPixels(200, 100);
    {
        MetafileCanvas c(inner);
        c.setMapMode(MM_ANISOTROPIC);
        c.setWindowExt(1000, 500);
        c.setViewportExt(200, 100);
        c.lineTo(10, 10);
        c.saveDC();
        c.setWindowOrg(-50, 20);
        c.intersectClipRect(Rect{0, 0, 500, 250});
        c.rectangle(Rect{0, 0, 100, 100});
        c.restoreDC(-1);
        c.setViewportOrg(3, 4);
        c.selectClipRegion(QRegion(10, 10, 50, 50));
        c.ellipse(Rect{0, 0, 100, 100});
        c.saveDC();
        c.setWorldTransform(QTransform::fromScale(2, 2));
        c.selectClipNone();
        c.polyline({QPoint(0, 0), QPoint(5, 5)});
    }
    CheckedCanvas c(pinnedMetrics());
    c.setMapMode(MM_HIMETRIC);
    c.lineTo(100, -100);
    c.intersectClipRect(Rect{0, -5000, 5000, 0});
    c.rectangle(Rect{0, -100, 100, 0});
    const int level = c.saveDC();
    c.setMapMode(MM_ISOTROPIC);
    c.setWindowExt(100, 100);
    c.setViewportExt(50, -80);
    c.setWindowOrg(7, 7);
    c.lineTo(1, 1);
    c.selectClipRegion(QRegion(0, 0, 30, 30));
    c.drawMetafile(inner, Rect{10, 10, 60, 40});
    c.lineTo(2, 2);
    MetaRecord modify = of(EMR_MODIFYWORLDTRANSFORM);
    modify.value = 3;
    modify.transform = QTransform::fromTranslate(5, 0);
    c.apply(modify);
    c.lineTo(3, 3);
    c.restoreDC(level);
    c.lineTo(4, 4);
    c.selectClipNone();
    c.drawMetafile(inner, Rect{0, 0, 2000, -1000});
    c.lineTo(5, 5);
    EXPECT_GT(c.checks, 40);
}
