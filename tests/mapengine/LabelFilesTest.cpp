// The label files: ".Lbl" records read, ".Shl" records found, made and
// changed by the label moves.

#include "EditingFixtures.h"

#include "platform/TextCodec.h"

#include <QFile>

#include <functional>

#include <gtest/gtest.h>

using edittest::Project;
using testsupport::putBE32;
using testsupport::putLE32;
using testsupport::putLEDouble;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

struct Lbl {
    const char *text = "";
    std::int32_t object = 0, layer = 0, index = 0, label = 0;
    std::int32_t size = 0, scale = 0, color = 0;
    double ax = 0, ay = 0, px = 0, py = 0;
    double left = 0, top = 0, right = 0, bottom = 0, rotate = 0;
    const char *font = "";
};

// One 200-byte ".Lbl" record at its literal offsets.
QByteArray lblRecord(const Lbl &l)
{
    QByteArray r(200, '\0');
    const QByteArray text = platform::toCp1251(u8(l.text));
    r.replace(0, text.size(), text);
    putLE32(r, 50, l.object);
    putLE32(r, 54, l.layer);
    putLE32(r, 58, l.index);
    putLE32(r, 62, l.label);
    putLE32(r, 66, l.size);
    putLE32(r, 70, l.scale);
    putLE32(r, 74, l.color);
    putLEDouble(r, 78, l.ax);
    putLEDouble(r, 86, l.ay);
    putLEDouble(r, 94, l.px);
    putLEDouble(r, 102, l.py);
    putLEDouble(r, 110, l.left);
    putLEDouble(r, 118, l.top);
    putLEDouble(r, 126, l.right);
    putLEDouble(r, 134, l.bottom);
    putLEDouble(r, 142, l.rotate);
    const QByteArray font = platform::toCp1251(u8(l.font));
    r.replace(150, font.size(), font);
    return r;
}

// The ".Shl" header: 9994 and 50 words big-endian, version 1000, type 0.
QByteArray shlHeader()
{
    QByteArray h(100, '\0');
    putBE32(h, 0, 9994);
    putBE32(h, 24, 50);
    putLE32(h, 28, 1000);
    return h;
}

struct Shl {
    std::int32_t object = 0;
    const char *key = "";
    double dx = 0, dy = 0;
    std::int32_t size = 0;
    double rotate = 0;
    std::int32_t color = 0;
    int background = 0, moved = 0, sized = 0, turned = 0, coloured = 0;
};

// One 96-byte ".Shl" record: the key upper-cased by the caller, space-padded.
QByteArray shlRecord(const Shl &s)
{
    QByteArray r(96, '\0');
    putLE32(r, 0, s.object);
    QByteArray key = platform::toCp1251(u8(s.key));
    key.append(QByteArray(44 - key.size(), ' '));
    r.replace(4, 44, key);
    putLEDouble(r, 48, s.dx);
    putLEDouble(r, 56, s.dy);
    putLE32(r, 64, s.size);
    putLEDouble(r, 68, s.rotate);
    putLE32(r, 80, s.color);
    r[84] = static_cast<char>(s.background);
    r[89] = static_cast<char>(s.moved);
    r[90] = static_cast<char>(s.sized);
    r[91] = static_cast<char>(s.turned);
    r[93] = static_cast<char>(s.coloured);
    return r;
}

// A layer "parcels" whose one label shows the field "площадь" (size 10,
// turned 15°, clear background), with a ".Lbl" of three labels: objects 7
// and 8 of that label, and one of object 0.
struct LabelProject : Project {
    int l = 0;
    LabelProject()
    {
        l = addLayer(QStringLiteral("parcels"), 5);
        TMapLabel label;
        label.FieldName = u8("площадь");
        label.Font.Size = 10;
        label.Font.Rotate = 15;
        label.Font.Color = 0x112233;
        label.Font.BrushStyle = 1;
        layer(l).Labels.push_back(label);
        map.Project().ActiveLayer = l;
        dir.write(QStringLiteral("parcels.Lbl"),
                  lblRecord({"  12,5 га ", 7, 0, 3, 0, 9, 2000, 0xFF, 1500, -2500, 60, 100, 40, 90, 80, 110, 30,
                             "Arial Cyr"}) +
                      lblRecord({"8,1", 8, 0, 4, 0, 9, 0, 0, 0, 0, 300, 400}) +
                      lblRecord({"?", 0, 0, 5, 0}));
    }
    void move(std::vector<std::int32_t> records)
    {
        map.MoveLabels().Entries.clear();
        for (std::int32_t n : records) {
            TMoveLabel m;
            map.ReadLabelRecord(n, m);
            map.MoveLabels().Entries.push_back({n, m.ObjectNumber, m.LabelIndex, m.PixelX, m.PixelY});
        }
    }
    void drag(double dx, double dy)
    {
        map.Drag().PressMapX = 1000;
        map.Drag().PressMapY = 2000;
        map.Drag().CursorX = 1000 + dx;
        map.Drag().CursorY = 2000 + dy;
    }
};

} // namespace

TEST(ReadLabelRecord, FieldsComeFromTheirOffsets)
{
    LabelProject p;
    TMoveLabel m;
    ASSERT_TRUE(p.map.ReadLabelRecord(0, m));
    EXPECT_EQ(m.LabelText, u8("12,5 га"));
    EXPECT_EQ(m.ObjectNumber, 7);
    EXPECT_EQ(m.LayerIndex, 0);
    EXPECT_EQ(m.ObjectIndex, 3);
    EXPECT_EQ(m.LabelIndex, 0);
    EXPECT_EQ(m.Font.Size, 9);
    EXPECT_EQ(m.Font.Scale, 2000);
    EXPECT_EQ(m.Font.Color, 0xFF);
    EXPECT_EQ(m.AnchorX, 1500);
    EXPECT_EQ(m.AnchorY, -2500);
    EXPECT_EQ(m.PixelX, 60);
    EXPECT_EQ(m.PixelY, 100);
    EXPECT_EQ(m.BoxTopLeft.X, 40);
    EXPECT_EQ(m.BoxTopLeft.Y, 90);
    EXPECT_EQ(m.BoxBottomRight.X, 80);
    EXPECT_EQ(m.BoxBottomRight.Y, 110);
    EXPECT_EQ(m.Font.Rotate, 30);
    EXPECT_EQ(m.Font.FontName, QStringLiteral("Arial Cyr"));

    // A record beyond the file, or no file: an empty label.
    EXPECT_FALSE(p.map.ReadLabelRecord(3, m));
    EXPECT_EQ(m.ObjectNumber, 0);
    EXPECT_TRUE(m.LabelText.isEmpty());
    ASSERT_TRUE(p.map.ReadLabelRecord(1, m));
    QFile::remove(p.path(QStringLiteral("parcels.Lbl")));
    EXPECT_FALSE(p.map.ReadLabelRecord(1, m));
    EXPECT_EQ(m.ObjectNumber, 0);
}

TEST(StoreMovedLabel, MovingALabelTwiceKeepsOneRecordWithBothShifts)
{
    LabelProject p;
    p.move({0});
    p.drag(3.5, -2);
    p.map.StoreMovedLabel(1, 1, 0);
    const Shl first{7, "ПЛОЩАДЬ", 3.5, -2, 10, 15, 0x112233, 1, 1};
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord(first));

    p.drag(1, 4.25);
    p.map.StoreMovedLabel(1, 1, 0);
    Shl summed = first;
    summed.dx = 4.5;
    summed.dy = 2.25;
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord(summed));

    // A label of another object gets its own record; the header stays.
    p.move({1});
    p.drag(-1, 0);
    p.map.StoreMovedLabel(1, 1, 0);
    const Shl other{8, "ПЛОЩАДЬ", -1, 0, 10, 15, 0x112233, 1, 1};
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord(summed) + shlRecord(other));

    // Size and colour, each with its own flag byte.
    p.map.StoreMovedLabel(3, 1, 14);
    p.map.StoreMovedLabel(4, 2, 0x00AA00);
    Shl restyled = other;
    restyled.size = 14;
    restyled.sized = 1;
    restyled.color = 0x00AA00;
    restyled.coloured = 2;
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord(summed) + shlRecord(restyled));

    // An automatically placed label records its shift likewise.
    p.map.AddAutoLabel(0, 0.5, 0.75);
    summed.dx = 5;
    summed.dy = 3;
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord(summed) + shlRecord(restyled));
}

TEST(StoreMovedLabel, KeysAreComparedUpperCasedAfterTrimming)
{
    LabelProject p;
    p.dir.write(QStringLiteral("parcels.Shl"), shlHeader() + shlRecord({7, "ПЛОЩАДЬ", 1, 1, 10, 15, 0, 0, 1}));
    p.move({0});
    p.drag(1, 1);
    p.map.StoreMovedLabel(1, 1, 0);
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader() + shlRecord({7, "ПЛОЩАДЬ", 2, 2, 10, 15, 0, 0, 1}));

    // A field name with a leading space never matches: a record each time.
    p.layer(p.l).Labels[0].FieldName = u8(" площадь");
    p.map.StoreMovedLabel(1, 1, 0);
    p.map.StoreMovedLabel(1, 1, 0);
    const QByteArray shl = p.read(QStringLiteral("parcels.Shl"));
    ASSERT_EQ(shl.size(), 100 + 3 * 96);
    EXPECT_EQ(shl.mid(100 + 96), shlRecord({7, " ПЛОЩАДЬ", 1, 1, 10, 15, 0x112233, 1, 1}).repeated(2));
}

TEST(StoreMovedLabel, RecordsAreCountedByTheFileSizeRounded)
{
    for (const auto &[size, count] : std::vector<std::pair<qint64, qint64>>{
             {0, 0}, {99, 0}, {100, 0}, {147, 0}, {148, 0}, {149, 1}, {196, 1}, {244, 2}, {340, 2}, {436, 4}})
        EXPECT_EQ(lbl::shlRecordCount(size), count) << size;

    // A counted partial record is read as far as it goes, and found.
    LabelProject p;
    const QByteArray partial = shlRecord({7, "ПЛОЩАДЬ", 1, 1}).left(56);
    p.dir.write(QStringLiteral("parcels.Shl"), shlHeader() + shlRecord({9, "ДРУГОЕ"}) + partial);
    p.move({0});
    p.drag(1, 2);
    p.map.StoreMovedLabel(1, 1, 0);
    const QByteArray shl = p.read(QStringLiteral("parcels.Shl"));
    ASSERT_EQ(shl.size(), 100 + 2 * 96);
    EXPECT_EQ(shl.mid(196), shlRecord({7, "ПЛОЩАДЬ", 2, 2, 0, 0, 0, 0, 1}));
}

TEST(StoreMovedLabel, SeveralLabelsTurnAboutTheMiddleOfTheirAnchors)
{
    LabelProject p;
    p.map.SetUnitsPerPixelX(25);
    p.map.SetUnitsPerPixelY(25);
    p.move({0, 1});
    // Pixel anchors (60, 100) and (300, 400): the middle (180, 250), in
    // picture units (4500, -6250). The drag turns a quarter about it.
    p.map.Drag().LabelPressX = 4500 + 1000;
    p.map.Drag().LabelPressY = -6250;
    p.map.Drag().LabelMoveX = 4500;
    p.map.Drag().LabelMoveY = -6250 + 1000;
    p.map.StoreMovedLabel(2, 1, 0);
    const QByteArray shl = p.read(QStringLiteral("parcels.Shl"));
    ASSERT_EQ(shl.size(), 100 + 2 * 96);
    for (int k : {0, 1}) {
        const qsizetype at = 100 + 96 * k;
        // The turn is measured with small substitutes for zero steps.
        EXPECT_NEAR(edittest::leDouble(shl, at + 68), 15 - 90, 0.01);
        EXPECT_EQ(shl[at + 91], 1);
        EXPECT_EQ(shl[at + 89], 0);
    }

    // One label turns about its own anchor (1500, -2500): the same drag
    // turns it by another angle.
    p.move({0});
    const double before = edittest::leDouble(shl, 168);
    p.map.StoreMovedLabel(2, 1, 0);
    const double after = edittest::leDouble(p.read(QStringLiteral("parcels.Shl")), 168);
    EXPECT_GT(std::abs((after - before) - (-90)), 1);
}

TEST(StoreMovedLabel, LabelsThatCannotBeKeyedWriteNothing)
{
    struct Case {
        const char *name;
        std::vector<std::int32_t> records;
        std::function<void(LabelProject &)> spoil;
    };
    const std::vector<Case> cases = {
        {"no .Lbl", {0}, [](LabelProject &p) { QFile::remove(p.path(QStringLiteral("parcels.Lbl"))); }},
        {"object number 0", {2}, [](LabelProject &) {}},
        {"record beyond the file", {5}, [](LabelProject &) {}},
        {"no label definition", {0}, [](LabelProject &p) { p.layer(p.l).Labels.clear(); }},
        {"no current layer", {0}, [](LabelProject &p) { p.map.Project().ActiveLayer = 3; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LabelProject p;
        p.map.MoveLabels().Entries.clear();
        for (std::int32_t n : c.records)
            p.map.MoveLabels().Entries.push_back({n, 0, 0, 0, 0});
        c.spoil(p);
        p.drag(1, 1);
        p.map.StoreMovedLabel(1, 1, 0);
        p.map.AddAutoLabel(c.records.front(), 1, 1);
        EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("parcels.Shl"))));
    }

    // A read-only ".Shl" stays as it is.
    LabelProject p;
    const QString shl = p.dir.write(QStringLiteral("parcels.Shl"), shlHeader());
    QFile::setPermissions(shl, QFile::ReadOwner | QFile::ReadGroup);
    p.move({0});
    p.drag(1, 1);
    p.map.StoreMovedLabel(1, 1, 0);
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shl")), shlHeader());
}
