// Recorded pictures: recording in 0.01 mm, playing stretched onto any canvas,
// reading the records back, and the enhanced and placeable Windows metafile
// files (fixtures built byte by byte, round trips, damaged files).

#include "GdiTestSupport.h"

#include "platform/gdi/CodecSupport.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordingCanvas.h"
#include "support/TestFiles.h"

#include <QFile>

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace platform::gdi;
using namespace gditest;
using testsupport::putLE16;
using testsupport::putLE32;
using testsupport::TempFolder;

namespace {

// A map-like picture in 0.01 mm, y up: 40 × 30 mm.
Metafile mapPicture()
{
    Metafile m(pinnedMetrics());
    m.setMmSize(4000, 3000);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 25, rgb(0, 0, 255)});
    c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
    c.polygon({QPoint(500, -500), QPoint(1500, -500), QPoint(1500, -1500), QPoint(500, -1500)});
    c.setBrush(Brush{BS_HATCHED, rgb(0, 128, 0), HS_CROSS});
    c.setBkMode(TRANSPARENT);
    c.ellipse(Rect{2000, -500, 3500, -1500});
    c.moveTo(0, -2000);
    c.lineTo(4000, -2000);
    LogFont f;
    f.faceName = QStringLiteral("Arial");
    f.height = -400;
    f.charSet = RUSSIAN_CHARSET;
    c.setFont(f);
    c.setTextColor(rgb(0, 0, 0));
    c.setTextAlign(TA_LEFT | TA_BASELINE);
    c.textOut(500, -2700, QStringLiteral("Участок 12"));
    c.finish();
    return m;
}

QImage render(const Metafile &m, int w, int h, const Rect &dest)
{
    QImage img = whiteImage(w, h);
    PainterCanvas c(img, pinnedMetrics());
    c.drawMetafile(m, dest);
    c.painter().end();
    return img;
}

int differing(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST(Metafile, RecordsInHimetricAndPlaysStretchedIntoARectangle)
{
    const Metafile m = mapPicture();
    EXPECT_EQ(m.mmWidth(), 4000);
    EXPECT_EQ(m.width(), 160);   // 4 pixels a millimetre
    EXPECT_EQ(m.height(), 120);
    // At its own size: the red square 5..15 mm from the top-left corner.
    const QImage one = render(m, 160, 120, Rect{0, 0, 160, 120});
    keepArtefact(one, QStringLiteral("metafile-1x"));
    EXPECT_EQ(at(one, 30, 30), rgb(255, 0, 0));
    EXPECT_EQ(at(one, 10, 10), rgb(255, 255, 255));
    EXPECT_EQ(at(one, 100, 80), rgb(0, 0, 255));
    // Three times larger onto a canvas in 0.01 mm, as the picture export does.
    QImage three = whiteImage(480, 360);
    {
        PainterCanvas c(three, pinnedMetrics());
        c.setMapMode(MM_HIMETRIC);
        c.drawMetafile(m, Rect{0, 0, 3 * 4000, -3 * 3000});
        // Playing leaves the canvas's own state as it was.
        EXPECT_EQ(c.mapMode(), MM_HIMETRIC);
        EXPECT_EQ(c.brush(), Brush());
    }
    keepArtefact(three, QStringLiteral("metafile-3x"));
    EXPECT_EQ(at(three, 90, 90), rgb(255, 0, 0));
    EXPECT_EQ(at(three, 30, 30), rgb(255, 255, 255));
    EXPECT_EQ(at(three, 300, 240), rgb(0, 0, 255));
    // Text grows with the picture.
    EXPECT_GT(inkCount(three, QRect(60, 270, 300, 60)), 4 * inkCount(one, QRect(20, 90, 100, 20)) * 0.7);
}

// A fill without a pen and then its outline, with what a renderer sets
// between them: played from a picture (where the canvas may join the two
// into one figure) the pixels are those of the same calls drawn straight.
TEST(Metafile, AFillAndItsOutlinePlayedAreThePixelsOfTheCallsDrawnStraight)
{
    const std::vector<QPoint> ring{QPoint(5, 5), QPoint(50, 8), QPoint(40, 45), QPoint(8, 30), QPoint(5, 5)};
    const std::vector<QPoint> other{QPoint(5, 5), QPoint(50, 8), QPoint(40, 46), QPoint(8, 30), QPoint(5, 5)};
    struct Case {
        const char *between;
        std::function<void(Canvas &)> set;
        int outlineStyle;
        const std::vector<QPoint> *outline;
    };
    const Case cases[] = {
        {"nothing", [](Canvas &) {}, PS_SOLID, &ring},
        {"a background colour", [](Canvas &c) { c.setBkColor(rgb(0, 0, 255)); }, PS_SOLID, &ring},
        {"a background mode", [](Canvas &c) { c.setBkMode(TRANSPARENT); }, PS_SOLID, &ring},
        {"a background colour, dashed outline", [](Canvas &c) { c.setBkColor(rgb(0, 0, 255)); }, PS_DASH, &ring},
        {"another ring", [](Canvas &c) { c.setBkColor(rgb(0, 0, 255)); }, PS_SOLID, &other},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.between);
        auto draw = [&](Canvas &c) {
            c.setBkMode(OPAQUE);
            c.setBkColor(rgb(255, 255, 0));
            c.setPen(Pen{PS_NULL, 0, 0});
            c.setBrush(Brush{BS_HATCHED, rgb(0, 128, 0), HS_DIAGCROSS});
            c.polygon(ring);
            k.set(c);
            c.setPen(Pen{k.outlineStyle, 1, rgb(255, 0, 0)});
            c.polyline(*k.outline);
        };
        QImage straight = whiteImage(60, 50);
        {
            PainterCanvas c(straight, pinnedMetrics());
            draw(c);
        }
        Metafile m(pinnedMetrics());
        m.setSizeInPixels(60, 50);
        {
            MetafileCanvas c(m);
            draw(c);
        }
        const QImage played = render(m, 60, 50, Rect{0, 0, 60, 50});
        EXPECT_EQ(differing(played, straight), 0);
        // The hatch shows the background it was made with.
        EXPECT_EQ(at(played, 20, 20) == rgb(255, 255, 0) || at(played, 21, 20) == rgb(255, 255, 0), true);
    }
}

// Setting the pen, the brush or the background to what was last written adds
// no record; what a restored state or a played picture changed is written
// again, so the picture plays as the calls draw straight.
TEST(Metafile, StateSetAgainToTheSameIsWrittenOnceAndPlaysAsDrawn)
{
    const Pen red{PS_SOLID, 1, rgb(255, 0, 0)}, blue{PS_SOLID, 1, rgb(0, 0, 255)};
    Metafile inner(pinnedMetrics());
    inner.setSizeInPixels(60, 40);
    {
        MetafileCanvas c(inner);
        c.setPen(red);
        c.polyline({QPoint(0, 30), QPoint(59, 30)});
    }
    struct Case {
        const char *name;
        std::function<void(Canvas &)> draw;
        int pens; // pen records written
    };
    const Case cases[] = {
        {"the same pen three times",
         [&](Canvas &c) {
             for (int y : {5, 10, 15}) {
                 c.setPen(blue);
                 c.polyline({QPoint(0, y), QPoint(59, y)});
             }
         },
         1},
        {"the pen of a restored state",
         [&](Canvas &c) {
             c.setPen(red);
             c.saveDC();
             c.setPen(blue);
             c.restoreDC(-1);
             c.setPen(blue);
             c.polyline({QPoint(0, 10), QPoint(59, 10)});
         },
         3},
        {"the pen after a played picture",
         [&](Canvas &c) {
             c.setPen(blue);
             c.polyline({QPoint(0, 10), QPoint(59, 10)});
             c.drawMetafile(inner, Rect{0, 0, 60, 40});
             c.setPen(blue);
             c.polyline({QPoint(0, 20), QPoint(59, 20)});
         },
         -1},
        {"background and brush set again",
         [&](Canvas &c) {
             for (int x : {5, 30}) {
                 c.setBkMode(OPAQUE);
                 c.setBkColor(rgb(255, 255, 0));
                 c.setPen(Pen{PS_NULL, 0, 0});
                 c.setBrush(Brush{BS_HATCHED, rgb(0, 128, 0), HS_CROSS});
                 c.polygon({QPoint(x, 5), QPoint(x + 20, 5), QPoint(x + 20, 30), QPoint(x, 5)});
             }
         },
         1},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        QImage straight = whiteImage(60, 40);
        {
            PainterCanvas c(straight, pinnedMetrics());
            k.draw(c);
        }
        Metafile m(pinnedMetrics());
        m.setSizeInPixels(60, 40);
        {
            MetafileCanvas c(m);
            k.draw(c);
        }
        EXPECT_EQ(differing(render(m, 60, 40, Rect{0, 0, 60, 40}), straight), 0);
        int pens = 0, same = 0;
        // No background record repeats the one of its kind before it.
        std::map<int, std::int64_t> background;
        for (const RecordView &r : m.records()) {
            pens += r.type == EMR_CREATEPEN;
            if (r.type == EMR_SETBKCOLOR || r.type == EMR_SETBKMODE) {
                const auto it = background.find(r.type);
                same += it != background.end() && it->second == r.value;
                background[r.type] = r.value;
            }
        }
        if (k.pens >= 0) {
            EXPECT_EQ(pens, k.pens);
        }
        EXPECT_EQ(same, 0);
    }
}

TEST(Metafile, RecordsCanBeReadBackAndSearchedForText)
{
    const Metafile m = mapPicture();
    std::vector<MetaRecord> texts;
    for (const RecordView &r : m.records())
        if (r.type == EMR_EXTTEXTOUTW)
            texts.emplace_back(r);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Участок 12"));
    EXPECT_EQ(texts[0].point, QPoint(500, -2700));
    // Its bounds are in device pixels of the reference: from x 20, around y 108.
    EXPECT_NEAR(texts[0].bounds.left, 20, 1);
    EXPECT_LT(texts[0].bounds.top, 108);
    EXPECT_GT(texts[0].bounds.bottom, 108);
    // Playing onto a recording canvas gives the calls in their order.
    RecordingCanvas r(pinnedMetrics());
    r.drawMetafile(m, Rect{0, 0, 160, 120});
    const QStringList log = r.log();
    EXPECT_TRUE(log.contains(QStringLiteral("TextOut 500,-2700 \"Участок 12\""))) << log.join('\n').toStdString();
    EXPECT_EQ(log.first(), QStringLiteral("SaveDC"));
    EXPECT_EQ(log.last(), QStringLiteral("RestoreDC -1"));
}

TEST(Metafile, PictureWithoutASizeTakesTheFrameOfWhatWasDrawn)
{
    Metafile m(pinnedMetrics());
    {
        MetafileCanvas c(m);
        c.setBrush(Brush{BS_SOLID, 0, 0});
        c.setPen(Pen{PS_NULL, 0, 0});
        c.rectangle(Rect{10, 20, 50, 40}); // pixels of the reference device
    }
    EXPECT_EQ(m.frame(), (Rect{250, 500, 1275, 1025}));
    EXPECT_EQ(m.bounds(), (Rect{10, 20, 51, 41}));
    Metafile sized(pinnedMetrics());
    sized.setSizeInPixels(200, 100);
    EXPECT_EQ(sized.mmWidth(), 5000);
    EXPECT_EQ(sized.mmHeight(), 2500);
}

TEST(Metafile, PlayingIntoAMetafileKeepsItClippedAndScaled)
{
    // The clipped window-sized copy: the picture played at (0, 0) into a new
    // picture with a clip rectangle.
    const Metafile src = mapPicture();
    Metafile copy(pinnedMetrics());
    copy.setSizeInPixels(80, 120);
    {
        MetafileCanvas c(copy);
        c.intersectClipRect(Rect{0, 0, 80, 120});
        c.drawMetafile(src, Rect{0, 0, src.width(), src.height()});
        c.selectClipRegion(QRegion());
    }
    const QImage img = render(copy, 80, 120, Rect{0, 0, 80, 120});
    const QImage whole = render(src, 160, 120, Rect{0, 0, 160, 120});
    keepArtefact(img, QStringLiteral("metafile-clipped-copy"));
    EXPECT_LE(differing(img, whole.copy(0, 0, 80, 120)), 60);
    // Played wider, the copy still stops at its clip.
    const QImage wide = render(copy, 240, 120, Rect{0, 0, 160, 120});
    EXPECT_EQ(at(wide, 170, 80), rgb(255, 255, 255));
    EXPECT_EQ(at(wide, 150, 80), rgb(0, 0, 255));
}

TEST(EmfFile, HeaderAndRecordsFollowTheLayout)
{
    const Metafile m = mapPicture();
    const QByteArray b = m.toEmf();
    const testsupport::TempFolder dir;
    ASSERT_GE(b.size(), 108);
    auto u32 = [&](qsizetype o) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[o]) | static_cast<std::uint8_t>(b[o + 1]) << 8
                                          | static_cast<std::uint8_t>(b[o + 2]) << 16
                                          | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[o + 3])) << 24);
    };
    EXPECT_EQ(u32(0), 1u);          // EMR_HEADER
    EXPECT_EQ(u32(4), 108u);
    EXPECT_EQ(b.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(u32(24), 0u);         // frame in 0.01 mm
    EXPECT_EQ(u32(32), 4000u);
    EXPECT_EQ(u32(36), 3000u);
    EXPECT_EQ(u32(48), static_cast<std::uint32_t>(b.size()));
    EXPECT_EQ(u32(72), 1000u);      // reference device
    EXPECT_EQ(u32(80), 250u);
    // Walk the records: sizes add up, the last is EOF, and the count matches.
    qsizetype off = 0;
    std::uint32_t n = 0, last = 0;
    bool sawText = false;
    while (off < b.size()) {
        const std::uint32_t size = u32(off + 4);
        ASSERT_GE(size, 8u);
        ASSERT_EQ(size % 4, 0u);
        last = u32(off);
        if (last == EMR_EXTTEXTOUTW) {
            sawText = true;
            const std::uint32_t chars = u32(off + 44), at = u32(off + 48);
            QString s;
            for (std::uint32_t i = 0; i < chars; ++i)
                s += QChar(static_cast<ushort>(static_cast<std::uint8_t>(b[off + at + 2 * i])
                                               | static_cast<std::uint8_t>(b[off + at + 2 * i + 1]) << 8));
            EXPECT_EQ(s, QStringLiteral("Участок 12"));
        }
        off += size;
        ++n;
    }
    EXPECT_EQ(off, b.size());
    EXPECT_EQ(last, static_cast<std::uint32_t>(EMR_EOF));
    EXPECT_EQ(u32(52), n);
    EXPECT_TRUE(sawText);
}

TEST(EmfFile, RoundTripGivesTheSamePictureAndRecords)
{
    const Metafile m = mapPicture();
    QString error;
    const auto back = Metafile::fromBytes(m.toEmf(), &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(back->frame(), m.frame());
    EXPECT_EQ(back->reference(), m.reference());
    const QImage a = render(m, 320, 240, Rect{0, 0, 320, 240});
    const QImage b = render(*back, 320, 240, Rect{0, 0, 320, 240});
    EXPECT_EQ(differing(a, b), 0);
    int texts = 0;
    for (const RecordView &r : back->records())
        texts += r.type == EMR_EXTTEXTOUTW && r.text() == QStringLiteral("Участок 12");
    EXPECT_EQ(texts, 1);
}

TEST(EmfFile, ReadsAFileWrittenElsewhere)
{
    // Header (108 bytes), a brush, its selection, a rectangle, a stock pen,
    // a polyline in 16-bit points, a text in 8-bit characters, EOF.
    QByteArray b(108, '\0');
    putLE32(b, 0, 1);
    putLE32(b, 4, 108);
    putLE32(b, 24, 0);
    putLE32(b, 28, 0);
    putLE32(b, 32, 2000); // 20 × 10 mm
    putLE32(b, 36, 1000);
    b.replace(40, 4, " EMF");
    putLE32(b, 44, 0x10000);
    putLE16(b, 56, 2);
    putLE32(b, 72, 1000);
    putLE32(b, 76, 800);
    putLE32(b, 80, 250);
    putLE32(b, 84, 200);
    auto record = [&](std::initializer_list<std::int32_t> words) {
        const qsizetype at = b.size();
        b.append(static_cast<qsizetype>(words.size()) * 4, '\0');
        int i = 0;
        for (std::int32_t w : words)
            putLE32(b, at + 4 * i++, w);
    };
    record({EMR_CREATEBRUSHINDIRECT, 24, 1, BS_SOLID, 0x0000FF, 0}); // red
    record({EMR_SELECTOBJECT, 12, 1});
    record({EMR_SELECTOBJECT, 12, static_cast<std::int32_t>(0x80000008)}); // NULL_PEN
    record({EMR_RECTANGLE, 24, 4, 4, 40, 20});
    record({EMR_SELECTOBJECT, 12, static_cast<std::int32_t>(0x80000007)}); // BLACK_PEN
    // EMR_POLYLINE16: bounds, 2 points of 16 bits.
    {
        const qsizetype at = b.size();
        b.append(36, '\0');
        putLE32(b, at, EMR_POLYLINE16);
        putLE32(b, at + 4, 36);
        putLE32(b, at + 24, 2);
        putLE16(b, at + 28, 0);
        putLE16(b, at + 30, 30);
        putLE16(b, at + 32, 80);
        putLE16(b, at + 34, 30);
    }
    // EMR_EXTTEXTOUTA with "Дом" in Windows-1251 at offset 76, no spacing.
    {
        const qsizetype at = b.size();
        b.append(80, '\0');
        putLE32(b, at, EMR_EXTTEXTOUTA);
        putLE32(b, at + 4, 80);
        putLE32(b, at + 24, 1);
        putLE32(b, at + 36, 50);
        putLE32(b, at + 40, 5);
        putLE32(b, at + 44, 3);
        putLE32(b, at + 48, 76);
        b[at + 76] = static_cast<char>(0xC4);
        b[at + 77] = static_cast<char>(0xEE);
        b[at + 78] = static_cast<char>(0xEC);
    }
    record({EMR_EOF, 20, 0, 16, 20});
    putLE32(b, 48, static_cast<std::int32_t>(b.size()));
    putLE32(b, 52, 9);

    QString error;
    const auto m = Metafile::fromBytes(b, &error);
    ASSERT_TRUE(m.has_value()) << error.toStdString();
    EXPECT_EQ(m->mmWidth(), 2000);
    EXPECT_EQ(m->width(), 80);
    const QImage img = render(*m, 80, 40, Rect{0, 0, 80, 40});
    keepArtefact(img, QStringLiteral("emf-fixture"));
    EXPECT_EQ(at(img, 10, 10), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 2, 2), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 60, 30), 0u);
    bool found = false;
    for (const RecordView &r : m->records())
        found |= r.type == EMR_EXTTEXTOUTW && r.text() == QStringLiteral("Дом") && r.point == QPoint(50, 5);
    EXPECT_TRUE(found);
}

namespace {

// The end of the last whole record at or before `at`, walking the records
// of an enhanced metafile by their sizes (offset 4 of each).
qsizetype recordEndNear(const QByteArray &emf, qsizetype at)
{
    auto u32 = [&](qsizetype o) {
        return static_cast<qsizetype>(static_cast<unsigned char>(emf[o]) | static_cast<unsigned char>(emf[o + 1]) << 8 |
                                      static_cast<unsigned char>(emf[o + 2]) << 16 |
                                      static_cast<qsizetype>(static_cast<unsigned char>(emf[o + 3])) << 24);
    };
    qsizetype end = u32(4);
    while (end + 8 <= emf.size() && end + u32(end + 4) <= at)
        end += u32(end + 4);
    return end;
}

} // namespace

TEST(EmfFile, DamagedFilesAreRefusedWithoutReadingPastTheirEnd)
{
    const QByteArray good = mapPicture().toEmf();
    const struct { const char *name; std::function<QByteArray()> make; } cases[] = {
        {"empty", [] { return QByteArray(); }},
        {"not a metafile", [] { return QByteArray("GIF89a........................................................................................"); }},
        {"cut in a record", [&] { QByteArray b = good.left(good.size() - 30); putLE32(b, 48, static_cast<std::int32_t>(good.size())); return b; }},
        {"record size 4", [&] { QByteArray b = good; putLE32(b, 108 + 4, 4); return b; }},
        {"record beyond the end", [&] { QByteArray b = good; putLE32(b, 108 + 4, 0x7FFFFFF0); return b; }},
        {"header size beyond the end", [&] { QByteArray b = good; putLE32(b, 4, 0x100000); return b; }},
        // Cut where a record ends: the header still gives the whole size, or
        // (set right by another program) the end record is missing.
        {"cut in half at a record's end", [&] { return good.left(recordEndNear(good, good.size() / 2)); }},
        {"cut in half, the size set to what is left", [&] {
             QByteArray b = good.left(recordEndNear(good, good.size() / 2));
             putLE32(b, 48, static_cast<std::int32_t>(b.size()));
             return b;
         }},
    };
    ASSERT_TRUE(Metafile::fromBytes(good).has_value());
    for (const auto &cs : cases) {
        QString error;
        const auto m = Metafile::fromBytes(cs.make(), &error);
        EXPECT_FALSE(m.has_value()) << cs.name;
        EXPECT_FALSE(error.isEmpty()) << cs.name;
    }
    // Read from a file, the message names it.
    testsupport::TempFolder dir;
    const QString cut = dir.write(QStringLiteral("cut.emf"), good.left(recordEndNear(good, good.size() / 2)));
    QString fileError;
    EXPECT_FALSE(Metafile::loadFromFile(cut, &fileError).has_value());
    EXPECT_EQ(fileError, QStringLiteral("Файл повреждён: ") + cut);
    // A polygon whose point count runs past its record.
    QByteArray b(108, '\0');
    putLE32(b, 0, 1);
    putLE32(b, 4, 108);
    b.replace(40, 4, " EMF");
    putLE32(b, 32, 100);
    putLE32(b, 36, 100);
    const qsizetype at = b.size();
    b.append(36, '\0');
    putLE32(b, at, EMR_POLYGON16);
    putLE32(b, at + 4, 36);
    putLE32(b, at + 24, 1000000);
    putLE32(b, 48, static_cast<std::int32_t>(b.size()));
    QString error;
    EXPECT_FALSE(Metafile::fromBytes(b, &error).has_value());
    EXPECT_EQ(error, QStringLiteral("Файл повреждён"));
}

TEST(WmfFile, PlaceableHeaderAndRoundTrip)
{
    const Metafile m = mapPicture();
    const QByteArray b = m.toWmf();
    ASSERT_GE(b.size(), 22 + 18);
    auto u16 = [&](qsizetype o) {
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[o]) | static_cast<std::uint8_t>(b[o + 1]) << 8);
    };
    EXPECT_EQ(u16(0) | static_cast<std::uint32_t>(u16(2)) << 16, 0x9AC6CDD7u);
    EXPECT_EQ(static_cast<std::int16_t>(u16(10)), 4000); // bounding box in 0.01 mm
    EXPECT_EQ(static_cast<std::int16_t>(u16(12)), 3000);
    EXPECT_EQ(u16(14), 2540);                             // units per inch
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= u16(2 * i);
    EXPECT_EQ(u16(20), sum);
    EXPECT_EQ(u16(22), 1);                                // memory metafile
    EXPECT_EQ(u16(24), 9);
    EXPECT_EQ(u16(26), 0x0300);
    EXPECT_EQ((u16(28) | static_cast<std::uint32_t>(u16(30)) << 16) * 2, static_cast<std::uint32_t>(b.size() - 22));
    // The last record is EOF (3 words, function 0).
    EXPECT_EQ(u16(b.size() - 6), 3);
    EXPECT_EQ(u16(b.size() - 2), 0);

    QString error;
    const auto back = Metafile::fromBytes(b, &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(back->mmWidth(), 4000);
    EXPECT_EQ(back->mmHeight(), 3000);
    const QImage a = render(m, 320, 240, Rect{0, 0, 320, 240});
    const QImage c = render(*back, 320, 240, Rect{0, 0, 320, 240});
    keepArtefact(c, QStringLiteral("wmf-round-trip"));
    // 16-bit 0.01 mm units: the same picture but for edge pixels.
    EXPECT_LT(differing(a, c), 320 * 240 / 50);
    EXPECT_EQ(at(c, 60, 60), rgb(255, 0, 0));
    bool found = false;
    for (const RecordView &r : back->records())
        found |= r.type == EMR_EXTTEXTOUTW && r.text() == QStringLiteral("Участок 12");
    EXPECT_TRUE(found);
}

TEST(WmfFile, FarVerticesAreClippedNotWrappedAround)
{
    // A map polygon reaching 100 m beyond the picture: in 16-bit records its
    // vertices would wrap and draw across the view.
    Metafile m(pinnedMetrics());
    m.setMmSize(4000, 3000);
    {
        MetafileCanvas c(m);
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 0, 0});
        c.setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
        c.polygon({QPoint(2000, -1000), QPoint(10'000'000, -1000), QPoint(10'000'000, -2000), QPoint(2000, -2000)});
        c.polyline({QPoint(-5'000'000, -2500), QPoint(5'000'000, -2500)});
    }
    const auto back = Metafile::fromBytes(m.toWmf());
    ASSERT_TRUE(back.has_value());
    const QImage img = render(*back, 160, 120, Rect{0, 0, 160, 120});
    keepArtefact(img, QStringLiteral("wmf-far-vertices"));
    EXPECT_EQ(at(img, 120, 60), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 40, 60), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 20, 100), 0u);
    EXPECT_EQ(at(img, 150, 100), 0u);
    EXPECT_EQ(at(img, 20, 20), rgb(255, 255, 255));
}

// A picture clipped to its own frame and drawn past it (the map's layers in
// a report picture): played back from a WMF file, nothing shows outside the
// frame (the clip was dropped as needless, and the map covered the page).
TEST(WmfFile, AClipOfTheWholePictureStillCutsWhatLiesPastIt)
{
    Metafile m(pinnedMetrics());
    m.setSizeInPixels(80, 60);
    const int w = m.mmWidth(), h = m.mmHeight();
    {
        MetafileCanvas c(m);
        c.selectClipRegion(QRegion(0, 0, 80, 60));
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 100, rgb(0, 0, 255)});
        c.moveTo(-w, -h / 2);
        c.lineTo(2 * w, -h / 2);
        c.finish();
    }
    const auto back = Metafile::fromBytes(m.toWmf());
    ASSERT_TRUE(back.has_value());
    // The picture in the middle third of a wider image.
    const QImage img = render(*back, 240, 60, Rect{80, 0, 160, 60});
    keepArtefact(img, QStringLiteral("wmf-whole-clip"));
    EXPECT_EQ(at(img, 120, 30), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 40, 30), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 200, 30), rgb(255, 255, 255));
}

TEST(WmfFile, ReadsAPlaceableFileWrittenElsewhere)
{
    // Placeable header: box (0,0)-(1440,720) at 1440 units an inch (1 × 0.5 inch).
    QByteArray b(22, '\0');
    putLE32(b, 0, static_cast<std::int32_t>(0x9AC6CDD7));
    putLE16(b, 10, 1440);
    putLE16(b, 12, 720);
    putLE16(b, 14, 1440);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[2 * i]) | static_cast<std::uint8_t>(b[2 * i + 1]) << 8);
    putLE16(b, 20, static_cast<std::int16_t>(sum));
    QByteArray r;
    auto rec = [&](std::uint16_t fn, std::initializer_list<int> params) {
        const qsizetype at = r.size();
        r.append(6 + 2 * static_cast<qsizetype>(params.size()), '\0');
        putLE32(r, at, static_cast<std::int32_t>(3 + params.size()));
        putLE16(r, at + 4, static_cast<std::int16_t>(fn));
        int i = 0;
        for (int p : params)
            putLE16(r, at + 6 + 2 * i++, static_cast<std::int16_t>(p));
    };
    rec(0x020B, {0, 0});                  // SetWindowOrg y, x
    rec(0x020C, {720, 1440});             // SetWindowExt y, x
    rec(0x02FC, {BS_SOLID, 0xFF00, 0x00, 0}); // brush: green (colour low word, high word), hatch
    rec(0x02FA, {PS_NULL, 0, 0, 0, 0});   // pen: clear
    rec(0x012D, {0});                     // select brush (slot 0)
    rec(0x012D, {1});                     // select pen (slot 1)
    rec(0x0324, {4, 0, 0, 720, 0, 720, 720, 0, 720}); // polygon: the left half
    rec(0x01F0, {0});                     // delete the brush: slot 0 is free again
    rec(0x02FC, {BS_SOLID, 0x0000, 0xFF, 0}); // blue brush takes slot 0
    rec(0x012D, {0});
    rec(0x041B, {720, 1440, 360, 1080});  // rectangle bottom, right, top, left
    rec(0x0000, {});                      // EOF
    QByteArray h(18, '\0');
    putLE16(h, 0, 1);
    putLE16(h, 2, 9);
    putLE16(h, 4, 0x0300);
    putLE32(h, 6, static_cast<std::int32_t>((18 + r.size()) / 2));
    const QByteArray file = b + h + r;

    QString error;
    const auto m = Metafile::fromBytes(file, &error);
    ASSERT_TRUE(m.has_value()) << error.toStdString();
    EXPECT_EQ(m->mmWidth(), 2540);
    EXPECT_EQ(m->mmHeight(), 1270);
    const QImage img = render(*m, 100, 50, Rect{0, 0, 100, 50});
    keepArtefact(img, QStringLiteral("wmf-fixture"));
    EXPECT_EQ(at(img, 20, 25), rgb(0, 255, 0));
    EXPECT_EQ(at(img, 90, 40), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 90, 10), rgb(255, 255, 255));

    // Damaged: a record longer than the file, and a polygon count beyond its record.
    QByteArray cut = file;
    putLE32(cut, 22 + 18, 0x7FFF);
    EXPECT_FALSE(Metafile::fromBytes(cut).has_value());
    QByteArray bad = file;
    const qsizetype poly = bad.indexOf(QByteArray::fromHex("0c0000002403"));
    ASSERT_GT(poly, 0);
    putLE16(bad, poly + 6, 30000);
    EXPECT_FALSE(Metafile::fromBytes(bad).has_value());
}

TEST(MetafileFiles, SavedByExtensionAndAFailedSaveLeavesNothing)
{
    TempFolder dir;
    const Metafile m = mapPicture();
    QString error;
    ASSERT_TRUE(m.saveToFile(dir.file(QStringLiteral("a.WMF")), &error)) << error.toStdString();
    ASSERT_TRUE(m.saveToFile(dir.file(QStringLiteral("a.emf")), &error));
    EXPECT_TRUE(dir.read(QStringLiteral("a.WMF")).startsWith(QByteArray::fromHex("d7cdc69a")));
    EXPECT_EQ(dir.read(QStringLiteral("a.emf")).mid(40, 4), QByteArray(" EMF"));
    const auto loaded = Metafile::loadFromFile(dir.file(QStringLiteral("A.EMF")));
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->mmWidth(), 4000);
    EXPECT_FALSE(m.saveToFile(dir.file(QStringLiteral("no/such/folder/b.emf")), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Ошибка записи файла ")));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("no/such/folder/b.emf"))));
    EXPECT_FALSE(Metafile::loadFromFile(dir.file(QStringLiteral("missing.emf")), &error).has_value());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Невозможно открыть файл ")));
}

TEST(Metafile, PatternStampedAtPointsOfAPictureInHimetric)
{
    // A symbol cell of 4 × 4 mm (a filled disc and a letter), stamped at two
    // points of a map picture 2 and 3 times its size.
    Metafile cell(pinnedMetrics());
    cell.setMmSize(400, 400);
    {
        MetafileCanvas c(cell);
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_NULL, 0, 0});
        c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        c.ellipse(Rect{0, 0, 400, -400});
        LogFont f;
        f.height = -200;
        c.setFont(f);
        c.setBkMode(TRANSPARENT);
        c.setTextAlign(TA_CENTER | TA_BASELINE);
        c.textOut(200, -300, QStringLiteral("Ж"));
    }
    Metafile map(pinnedMetrics());
    map.setMmSize(4000, 3000);
    {
        MetafileCanvas c(map);
        c.setMapMode(MM_HIMETRIC);
        c.drawMetafile(cell, Rect{1000, -1000, 1800, -1800});
        c.drawMetafile(cell, Rect{2000, -1000, 3200, -2200});
        // The map's own state is back after each stamp.
        EXPECT_EQ(c.mapMode(), MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 0, rgb(0, 0, 255)});
        c.moveTo(0, -2800);
        c.lineTo(4000, -2800);
    }
    const QImage img = render(map, 160, 120, Rect{0, 0, 160, 120});
    keepArtefact(img, QStringLiteral("metafile-stamps"));
    // Discs centred at (56, 56) px, 32 px across, and at (104, 64), 48 px across.
    EXPECT_EQ(at(img, 48, 56), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 38, 56), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 84, 64), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 78, 64), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 80, 112), rgb(0, 0, 255));
    // The letters scale with their stamps: the second is half as large again.
    auto dark = [&](const QRect &r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qRed(img.pixel(x, y)) < 80 && qGreen(img.pixel(x, y)) < 80;
        return n;
    };
    const int small = dark(QRect(40, 40, 32, 32)), large = dark(QRect(80, 40, 48, 48));
    EXPECT_GT(small, 10);
    EXPECT_NEAR(static_cast<double>(large) / small, 2.25, 0.8);
    // Played again from a file, the picture is the same.
    const auto back = Metafile::fromBytes(map.toEmf());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(differing(render(*back, 160, 120, Rect{0, 0, 160, 120}), img), 0);
}

TEST(EmfFile, ReadsPathsAndCurvesAsOtherProgramsWriteThem)
{
    QByteArray b(108, '\0');
    putLE32(b, 0, 1);
    putLE32(b, 4, 108);
    putLE32(b, 32, 2500); // 100 × 100 pixels of the reference
    putLE32(b, 36, 2500);
    b.replace(40, 4, " EMF");
    putLE32(b, 72, 1000);
    putLE32(b, 76, 800);
    putLE32(b, 80, 250);
    putLE32(b, 84, 200);
    auto record = [&](std::initializer_list<std::int32_t> words) {
        const qsizetype at = b.size();
        b.append(static_cast<qsizetype>(words.size()) * 4, '\0');
        int i = 0;
        for (std::int32_t w : words)
            putLE32(b, at + 4 * i++, w);
    };
    record({EMR_CREATEBRUSHINDIRECT, 24, 1, BS_SOLID, 0xFF0000, 0}); // blue
    record({EMR_SELECTOBJECT, 12, 1});
    record({59, 8});                                   // BEGINPATH
    record({EMR_MOVETOEX, 16, 10, 10});
    // POLYLINETO16: 2 points.
    {
        const qsizetype at = b.size();
        b.append(36, '\0');
        putLE32(b, at, 89);
        putLE32(b, at + 4, 36);
        putLE32(b, at + 24, 2);
        putLE16(b, at + 28, 90);
        putLE16(b, at + 30, 10);
        putLE16(b, at + 32, 90);
        putLE16(b, at + 34, 50);
    }
    // POLYBEZIERTO16: one curve back to the start through the lower half.
    {
        const qsizetype at = b.size();
        b.append(40, '\0');
        putLE32(b, at, 88);
        putLE32(b, at + 4, 40);
        putLE32(b, at + 24, 3);
        putLE16(b, at + 28, 90);
        putLE16(b, at + 30, 100);
        putLE16(b, at + 32, 10);
        putLE16(b, at + 34, 100);
        putLE16(b, at + 36, 10);
        putLE16(b, at + 38, 10);
    }
    record({61, 8});                                   // CLOSEFIGURE
    record({60, 8});                                   // ENDPATH
    record({62, 24, 0, 0, 100, 100});                  // FILLPATH
    record({EMR_EOF, 20, 0, 16, 20});
    putLE32(b, 48, static_cast<std::int32_t>(b.size()));
    QString error;
    const auto m = Metafile::fromBytes(b, &error);
    ASSERT_TRUE(m.has_value()) << error.toStdString();
    const QImage img = render(*m, 100, 100, Rect{0, 0, 100, 100});
    keepArtefact(img, QStringLiteral("emf-path"));
    EXPECT_EQ(at(img, 50, 30), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 50, 60), rgb(0, 0, 255)); // inside the curve
    EXPECT_EQ(at(img, 50, 5), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 50, 95), rgb(255, 255, 255));
}

namespace {

// A record of an enhanced metafile: its type, its size (the words after the
// first two, padded with zeros to `size` bytes when that is larger), the words.
QByteArray emfRecord(std::int32_t type, std::initializer_list<std::int32_t> words, qsizetype size = 0)
{
    QByteArray r(std::max<qsizetype>(8 + 4 * static_cast<qsizetype>(words.size()), size), '\0');
    putLE32(r, 0, type);
    putLE32(r, 4, static_cast<std::int32_t>(r.size()));
    qsizetype at = 8;
    for (std::int32_t w : words) {
        putLE32(r, at, w);
        at += 4;
    }
    return r;
}

// A 108-byte header (bounds in pixels at 8, frame in 0.01 mm at 24, the
// reference device's pixels at 72 and millimetres at 80), the records, EOF.
struct EmfHead {
    Rect bounds{0, 0, 99, 99};
    Rect frame{0, 0, 2500, 2500};
    std::int32_t devW = 1000, devH = 800, mmW = 250, mmH = 200;
};
QByteArray emfFile(const EmfHead &h, const QByteArray &records)
{
    QByteArray b(108, '\0');
    putLE32(b, 0, EMR_HEADER);
    putLE32(b, 4, 108);
    const std::int32_t box[] = {h.bounds.left, h.bounds.top, h.bounds.right, h.bounds.bottom,
                                h.frame.left,  h.frame.top,  h.frame.right,  h.frame.bottom};
    for (int i = 0; i < 8; ++i)
        putLE32(b, 8 + 4 * i, box[i]);
    b.replace(40, 4, " EMF");
    putLE32(b, 44, 0x10000);
    putLE32(b, 72, h.devW);
    putLE32(b, 76, h.devH);
    putLE32(b, 80, h.mmW);
    putLE32(b, 84, h.mmH);
    b += records + emfRecord(EMR_EOF, {0, 16, 20});
    putLE32(b, 48, static_cast<std::int32_t>(b.size()));
    return b;
}

// EMR_STRETCHDIBITS of a 2 × 1 picture of 8 bits a pixel, indices 0 and 1,
// whose two-colour table (red, then blue) follows a header stating
// `coloursUsed` entries.
QByteArray stretchDib(std::int32_t xDest, std::int32_t cxDest, std::int32_t xSrc, std::uint32_t coloursUsed)
{
    QByteArray r = emfRecord(EMR_STRETCHDIBITS, {0, 0, 10, 10, xDest, 0, xSrc, 0, 2, 1, 80, 48, 128, 4,
                                                 0, static_cast<std::int32_t>(SRCCOPY), cxDest, 10},
                             132);
    putLE32(r, 80, 40);
    putLE32(r, 84, 2);
    putLE32(r, 88, 1);
    putLE16(r, 92, 1);
    putLE16(r, 94, 8);
    putLE32(r, 112, static_cast<std::int32_t>(coloursUsed));
    r[120 + 2] = char(255); // red (blue, green, red, 0)
    r[124] = char(255);     // blue
    r[129] = 1;             // the bits: 0, 1
    return r;
}

float nanFloat() { return std::numeric_limits<float>::quiet_NaN(); }
std::int32_t floatWord(float f)
{
    std::int32_t w;
    std::memcpy(&w, &f, 4);
    return w;
}

} // namespace

TEST(EmfFile, ValuesAtTheEdgesOfTheirRangeAreHeldNotOverflowed)
{
    static constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    static constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    auto records = [](int type, const Metafile &m) {
        std::vector<RecordView> out;
        for (const RecordView &r : m.records())
            if (r.type == type)
                out.push_back(r);
        return out;
    };
    const struct {
        const char *name;
        QByteArray file;
        std::function<void(const Metafile &)> check;
    } cases[] = {
        {"no frame: the bounds to the int limit on a device of huge millimetres",
         emfFile({Rect{0, 0, kMax, kMax}, Rect{}, 1, 1, 1 << 30, 1 << 30}, {}),
         [](const Metafile &m) {
             EXPECT_EQ(m.frame().right, kMax);
             EXPECT_EQ(m.bounds().right, kMax);
             EXPECT_GT(m.frame().width(), 0);
         }},
        {"a picture reaching past the int range",
         emfFile({}, stretchDib(kMax - 10, 1000, 0, 0)),
         [&](const Metafile &m) {
             const auto r = records(EMR_STRETCHDIBITS, m);
             ASSERT_EQ(r.size(), 1u);
             EXPECT_EQ(r[0].rect.left, kMax - 10);
             EXPECT_EQ(r[0].rect.right, kMax);
         }},
        {"a source window no picture holds leaves the picture out",
         emfFile({}, stretchDib(0, 10, 1 << 30, 0)),
         [&](const Metafile &m) { EXPECT_TRUE(records(EMR_STRETCHDIBITS, m).empty()); }},
        {"a colour table stated longer than any index reaches",
         emfFile({}, stretchDib(0, 10, 0, 0xFFFFFFFFu)),
         [&](const Metafile &m) {
             const auto r = records(EMR_STRETCHDIBITS, m);
             ASSERT_EQ(r.size(), 1u);
             ASSERT_EQ(r[0].image().size(), QSize(2, 1));
             EXPECT_EQ(fromPixel(r[0].image().pixel(0, 0)), rgb(255, 0, 0));
             EXPECT_EQ(fromPixel(r[0].image().pixel(1, 0)), rgb(0, 0, 255));
         }},
        {"a world transform that is no number is passed over",
         emfFile({}, emfRecord(EMR_SETWORLDTRANSFORM, {floatWord(nanFloat()), 0, 0, floatWord(1), 0, 0})
                         + emfRecord(EMR_RECTANGLE, {10, 10, 50, 50})),
         [&](const Metafile &m) {
             EXPECT_TRUE(records(EMR_SETWORLDTRANSFORM, m).empty());
             EXPECT_EQ(records(EMR_RECTANGLE, m).size(), 1u);
         }},
        {"text bounds and a clip rectangle at the int limits",
         emfFile({}, emfRecord(EMR_EXTTEXTOUTW, {0, 0, kMax, kMax, 1, 0, 0, 5, 5, 1, 76, 0, 0, 0, 0, 0, 0, 0x41}, 80)
                         + emfRecord(EMR_EXTSELECTCLIPRGN, {48, 5, 32, 1, 1, 16, 0, 0, 0, 0, kMin, kMin, kMin, kMin})),
         [&](const Metafile &m) {
             const auto r = records(EMR_EXTTEXTOUTW, m);
             ASSERT_EQ(r.size(), 1u);
             EXPECT_EQ(r[0].bounds.right, kMax);
             EXPECT_EQ(r[0].text(), QStringLiteral("A"));
         }},
        {"a clip rectangle beyond the int range once the picture is played larger",
         emfFile({Rect{0, 0, 0, 0}, Rect{0, 0, 25, 25}},
                 emfRecord(EMR_INTERSECTCLIPRECT, {kMin / 2, kMin / 2, kMin / 2 + 1, kMin / 2 + 1})
                     + emfRecord(EMR_CREATEBRUSHINDIRECT, {1, BS_SOLID, 0, 0}) + emfRecord(EMR_SELECTOBJECT, {1})
                     + emfRecord(EMR_RECTANGLE, {0, 0, 1, 1})),
         [](const Metafile &m) {
             // One pixel of the picture a hundred times larger: the clip, far to
             // the left and above, leaves nothing of the rectangle.
             const QImage img = render(m, 100, 100, Rect{0, 0, 100, 100});
             EXPECT_EQ(at(img, 50, 50), rgb(255, 255, 255));
         }},
        {"a pen wider than any device",
         emfFile({}, emfRecord(EMR_CREATEPEN, {1, PS_SOLID, kMax, 0, 0x0000FF}) + emfRecord(EMR_SELECTOBJECT, {1})
                         + emfRecord(EMR_SETROP2, {R2_BLACK}) + emfRecord(EMR_MOVETOEX, {0, 50})
                         + emfRecord(EMR_LINETO, {100, 50})),
         [](const Metafile &m) {
             // The line, drawn pixel by pixel, covers the picture in black.
             const QImage img = render(m, 20, 20, Rect{0, 0, 20, 20});
             EXPECT_EQ(at(img, 0, 0), 0u);
             EXPECT_EQ(at(img, 19, 19), 0u);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const auto m = Metafile::fromBytes(c.file, &error);
        ASSERT_TRUE(m.has_value()) << error.toStdString();
        c.check(*m);
        render(*m, 40, 30, Rect{0, 0, 40, 30});
        // Written again in both forms, the picture reads again.
        EXPECT_TRUE(Metafile::fromBytes(m->toEmf()).has_value());
        EXPECT_TRUE(Metafile::fromBytes(m->toWmf()).has_value());
    }
}

TEST(Dib, SizesAndCountsOfTheHeaderAreHeldToWhatCanBeDecoded)
{
    // 40-byte headers: width at 4, height at 8, bits a pixel at 14.
    auto header = [](std::int32_t w, std::int32_t h, std::int16_t bpp) {
        QByteArray b(40, '\0');
        putLE32(b, 0, 40);
        putLE32(b, 4, w);
        putLE32(b, 8, h);
        putLE16(b, 12, 1);
        putLE16(b, 14, bpp);
        return b;
    };
    const struct {
        const char *name;
        QByteArray header;
        qsizetype bits;
    } cases[] = {
        {"2 × 3 of 24 bits: rows of 8 bytes", header(2, 3, 24), 24},
        {"top-down rows count the same", header(2, -3, 24), 24},
        {"the lowest height has no opposite", header(2, std::numeric_limits<std::int32_t>::min(), 24), 0},
        {"a size no picture of ours has", header(std::numeric_limits<std::int32_t>::max(), 65535, 24), 0},
        {"bits a pixel beyond any format", header(4, 4, 30000), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(codec::dibBitsSize(c.header), c.bits);
        const std::optional<QImage> img = codec::decodeDib(c.header, QByteArray(64, '\0'));
        EXPECT_EQ(img.has_value(), c.bits > 0);
    }
}

TEST(EmfFile, ACurveRunTooShortForACurveDrawsNothingInAPath)
{
    // BEGINPATH, POLYBEZIERTO16 of one point (a curve needs three), ENDPATH,
    // STROKEPATH, and a rectangle after them.
    QByteArray bezierTo = emfRecord(88, {0, 0, 0, 0, 1, 0}, 32);
    putLE16(bezierTo, 28, 40);
    putLE16(bezierTo, 30, 40);
    const QByteArray file = emfFile({}, emfRecord(59, {}) + emfRecord(EMR_MOVETOEX, {10, 10}) + bezierTo
                                            + emfRecord(60, {}) + emfRecord(64, {0, 0, 100, 100})
                                            + emfRecord(EMR_RECTANGLE, {20, 20, 60, 60}));
    QString error;
    const auto m = Metafile::fromBytes(file, &error);
    ASSERT_TRUE(m.has_value()) << error.toStdString();
    int rectangles = 0, lines = 0;
    for (const RecordView &r : m->records()) {
        rectangles += r.type == EMR_RECTANGLE;
        lines += r.type == EMR_POLYLINE;
    }
    EXPECT_EQ(rectangles, 1);
    EXPECT_EQ(lines, 0);
}

TEST(EmfFile, TextOfAFontFarLargerThanThePictureFillsWhatShowsOfIt)
{
    // A full block (U+2588) on the baseline at (x, 150 or y), in black on a
    // transparent background, its font `em` pixels high (LOGFONTW at 12 of
    // the font record: the height negated, then the weight at 28).
    auto block = [](std::int32_t em, std::int32_t x, std::int32_t y) {
        QByteArray font = emfRecord(EMR_EXTCREATEFONTINDIRECTW, {1, -em, 0, 0, 0, 400}, 104);
        QByteArray text = emfRecord(EMR_EXTTEXTOUTW, {0, 0, 100, 100, 1, 0, 0, x, y, 1, 76, 0, 0, 0, 0, 0, 0}, 80);
        putLE16(text, 76, 0x2588);
        return emfFile({}, font + emfRecord(EMR_SELECTOBJECT, {1}) + emfRecord(EMR_SETTEXTALIGN, {TA_BASELINE})
                               + emfRecord(EMR_SETBKMODE, {TRANSPARENT}) + text);
    };
    const struct {
        const char *name;
        QByteArray file;
        bool inked;
    } cases[] = {
        {"a font the size of the picture", block(200, 10, 150), true},
        // A glyph cache would hold the whole glyph, thousands of pixels high.
        {"a font forty times the picture", block(4000, -500, 1000), true},
        {"a font beyond what the painter holds shows nothing", block(1 << 30, -500, 1000), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto m = Metafile::fromBytes(c.file);
        ASSERT_TRUE(m.has_value());
        const QImage img = render(*m, 100, 100, Rect{0, 0, 100, 100});
        const Color ink = c.inked ? rgb(0, 0, 0) : rgb(255, 255, 255);
        for (const QPoint p : {QPoint(20, 20), QPoint(50, 50), QPoint(90, 20), QPoint(20, 90)})
            EXPECT_EQ(at(img, p.x(), p.y()), ink) << p.x() << ',' << p.y();
    }
}
