#include "mapdata/ShpRecords.h"

#include "LayerFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace fixtures;

TEST(ShpRecords, SwapLongBytesReversesTheFourBytes)
{
    EXPECT_EQ(SwapLongBytes(0x0A0B0C0D), 0x0D0C0B0A);
    EXPECT_EQ(SwapLongBytes(9994), 0x0A270000);
    EXPECT_EQ(SwapLongBytes(SwapLongBytes(-123456)), -123456);
    EXPECT_EQ(SwapLongBytes(static_cast<std::int32_t>(0x80000001u)), 0x01000080);
}

TEST(ShpRecords, FileHeaderKeepsUnusedBytesAndSetsOwnLength)
{
    QByteArray bytes = header(5, {1.5, -2.5, 30.25, 40.75}, 1234);
    // Bytes the system leaves alone: unused words and the Z/M ranges.
    for (int i = 4; i < 24; ++i)
        bytes[i] = static_cast<char>(i);
    testsupport::putLEDouble(bytes, 68, -9.0);
    testsupport::putLEDouble(bytes, 92, 9.0);

    shp::FileHeader h;
    ASSERT_TRUE(shp::decodeFileHeader(bytes.constData(), bytes.size(), h));
    EXPECT_EQ(h.FileCode, 9994);
    EXPECT_EQ(h.FileLength, 1234);
    EXPECT_EQ(h.Version, 1000);
    EXPECT_EQ(h.ShapeType, 5);
    EXPECT_EQ(h.XMin, 1.5);
    EXPECT_EQ(h.YMin, -2.5);
    EXPECT_EQ(h.XMax, 30.25);
    EXPECT_EQ(h.YMax, 40.75);

    // Written back for a file of 1001 bytes: 500.5 words round to 500.
    const auto out = shp::encodeFileHeader(h, 1001);
    QByteArray expected = bytes;
    testsupport::putBE32(expected, 24, 500);
    EXPECT_EQ(QByteArray(out.data(), 100), expected);
    EXPECT_EQ(shp::wordsForBytes(1003), 502); // 501.5 -> 502 (even)

    EXPECT_FALSE(shp::decodeFileHeader(bytes.constData(), 99, h));
}

TEST(ShpRecords, IndexEntryCountRoundsHalvesToEven)
{
    struct Case { qint64 size; qint64 entries; };
    const Case cases[] = {
        {0, 0}, {99, 0}, {100, 0}, {108, 1}, {111, 1},
        {112, 2},                   // 1.5 -> 2
        {104, 0},                   // 0.5 -> 0
        {120, 2},                   // 2.5 -> 2
        {125, 3},                   // 3.125 -> 3
        {128, 4},                   // 3.5 -> 4
        {100 + 8 * 1000, 1000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(shp::indexEntryCount(c.size), c.entries) << c.size;
}

TEST(ShpRecords, RecordHeadsAtLiteralOffsets)
{
    // Point.
    {
        const QByteArray c = pointContent(11, 6500000.125, -5.5);
        shp::PointRecord r;
        ASSERT_TRUE(shp::decodePoint(c.constData(), c.size(), r));
        EXPECT_EQ(r.ShapeType, 11);
        EXPECT_EQ(r.X, 6500000.125);
        EXPECT_EQ(r.Y, -5.5);
        QByteArray out(20, '\0');
        shp::encodePoint(out.data(), r);
        EXPECT_EQ(out, c);
        EXPECT_FALSE(shp::decodePoint(c.constData(), 19, r));
    }
    // Poly head.
    {
        const QByteArray c = polyContent(3, {1, 2, 3, 4}, {0, 2}, {{1, 2}, {3, 4}, {1, 4}});
        shp::PolyRecordHead h;
        ASSERT_TRUE(shp::decodePolyHead(c.constData(), c.size(), h));
        EXPECT_EQ(h.ShapeType, 3);
        EXPECT_EQ(h.XMin, 1);
        EXPECT_EQ(h.YMax, 4);
        EXPECT_EQ(h.NumParts, 2);
        EXPECT_EQ(h.NumPoints, 3);
        EXPECT_EQ(shp::getPartStart(c.constData() + 48), 2);
        const TShpPoint p = shp::getPolyPoint(c.constData() + 52 + 16);
        EXPECT_EQ(p.X, 3);
        EXPECT_EQ(p.Y, 4);
        QByteArray out(44, '\0');
        shp::encodePolyHead(out.data(), h);
        EXPECT_EQ(out, c.left(44));
        EXPECT_FALSE(shp::decodePolyHead(c.constData(), 43, h));
    }
    // Raster head, with a name filling all 200 bytes (no closing zero).
    {
        const QByteArray name(200, 'a');
        const QByteArray c = rasterContent(10, {10, 20, 110, 220}, name, 0, 640, 480, {{15, 25, 7, -9}});
        shp::RasterRecordHead h;
        ASSERT_TRUE(shp::decodeRasterHead(c.constData(), c.size(), h));
        EXPECT_EQ(h.ShapeType, 10);
        EXPECT_EQ(h.XMax, 110);
        EXPECT_EQ(h.ImageName, QString(200, u'a'));
        EXPECT_EQ(h.ImageFlag, 0);
        EXPECT_EQ(h.ImageWidth, 640);
        EXPECT_EQ(h.ImageHeight, 480);
        EXPECT_EQ(h.NumPoints, 1);
        const TShpPoint p = shp::getWidePoint(c.constData() + 282);
        EXPECT_EQ(p.X, 15);
        EXPECT_EQ(p.W(), 7);
        EXPECT_EQ(p.H(), -9);
        // Written back with a closing zero: at most 199 characters.
        QByteArray out(282, '\0');
        shp::encodeRasterHead(out.data(), h);
        QByteArray expected = c.left(282);
        expected[235] = '\0';
        EXPECT_EQ(out, expected);
        EXPECT_FALSE(shp::decodeRasterHead(c.constData(), 281, h));
    }
}

TEST(ShpRecords, TextHeadFieldsAndFixedCharacterFields)
{
    TextFields f;
    f.kind = 4;
    f.text = "\xcf\xf0\xe8\xe2\xe5\xf2";   // "Привет" in Windows-1251
    f.fontName = "Arial Cyr";
    f.fontStyle = 111;
    f.rotate = -45;
    f.textScale = 500;
    f.symbol = '\xe8';
    f.imageWidth = 3;
    f.imageHeight = 4;
    f.box = {1, 2, 3, 4};
    const QByteArray c = textContent(f, {0}, {{5, 6, 1, 2}});

    TTextRecord r;
    ASSERT_TRUE(shp::decodeTextHead(c.constData(), c.size(), r));
    EXPECT_EQ(r.Kind, 4);
    EXPECT_EQ(r.Text, QStringLiteral("Привет"));
    EXPECT_EQ(r.FontName, QStringLiteral("Arial Cyr"));
    EXPECT_EQ(r.FontSize, 12);
    EXPECT_EQ(r.FontStyle, 111);
    EXPECT_EQ(r.Rotate, -45);
    EXPECT_EQ(r.TextScale, 500);
    EXPECT_EQ(r.Transparent, 1);
    EXPECT_EQ(r.Symbol, QChar(u'и'));
    EXPECT_EQ(r.TextColor, 0x0000FF);
    EXPECT_EQ(r.BgTextColor, 0xFFFFFF);
    EXPECT_EQ(r.TextAlign, 2);
    EXPECT_EQ(r.PenColor, 0x00FF00);
    EXPECT_EQ(r.PenWidth, 25);
    EXPECT_EQ(r.PenStyle, 3);
    EXPECT_EQ(r.BrushColor, 0xFF0000);
    EXPECT_EQ(r.BrushStyle, 1);
    EXPECT_EQ(r.PointStyle, 7);
    EXPECT_EQ(r.ArrowStart, 1);
    EXPECT_EQ(r.ArrowEnd, 2);
    EXPECT_EQ(r.ImageWidth, 3);
    EXPECT_EQ(r.ImageHeight, 4);
    EXPECT_EQ(r.XMin, 1);
    EXPECT_EQ(r.YMax, 4);
    EXPECT_EQ(r.NumParts, 1);
    EXPECT_EQ(r.NumPoints, 1);

    // Written back: the same 432 bytes.
    QByteArray out(432, '\x55');
    shp::encodeTextHead(out.data(), r);
    EXPECT_EQ(out, c.left(432));

    // Texts of the full width: the reader stops at the field's end, the writer
    // keeps a closing zero (at most 199 and 69 characters).
    TextFields full = f;
    full.text = QByteArray(200, 'x');
    full.fontName = QByteArray(70, 'y');
    const QByteArray fc = textContent(full, {}, {});
    TTextRecord fr;
    ASSERT_TRUE(shp::decodeTextHead(fc.constData(), fc.size(), fr));
    EXPECT_EQ(fr.Text.size(), 200);
    EXPECT_EQ(fr.FontName.size(), 70);
    EXPECT_EQ(fr.FontSize, 12); // the font size after the name is not taken into it
    shp::encodeTextHead(out.data(), fr);
    EXPECT_EQ(out.mid(4, 199), QByteArray(199, 'x'));
    EXPECT_EQ(out[203], '\0');
    EXPECT_EQ(out.mid(204, 69), QByteArray(69, 'y'));
    EXPECT_EQ(out[273], '\0');

    EXPECT_FALSE(shp::decodeTextHead(c.constData(), 431, r));
}

TEST(ShpRecords, PointsAreSplitIntoParts)
{
    struct Case {
        const char *name;
        std::vector<std::int32_t> starts;
        int points;
        std::vector<std::vector<int>> expected; // point numbers per part
    };
    const Case cases[] = {
        {"one part", {0}, 3, {{0, 1, 2}}},
        {"two parts", {0, 3}, 5, {{0, 1, 2}, {3, 4}}},
        {"one start beyond the points", {5}, 3, {{}}},
        {"points before the first start are skipped", {2}, 5, {{2, 3, 4}}},
        {"start beyond the points", {0, 9}, 3, {{0, 1, 2}, {}}},
        {"equal starts: the last takes them", {0, 0, 2}, 4, {{}, {0, 1}, {2, 3}}},
        {"out of order: the greatest start not above", {3, 0}, 5, {{3, 4}, {0, 1, 2}}},
        {"negative start", {-4}, 2, {{0, 1}}},
        {"no parts", {}, 3, {}},
    };
    for (const Case &c : cases) {
        std::vector<TShpPoint> pts(static_cast<size_t>(c.points));
        for (int k = 0; k < c.points; ++k)
            pts[static_cast<size_t>(k)].X = k;
        std::vector<TShpParts> parts;
        shp::splitIntoParts(c.starts, std::move(pts), parts);
        ASSERT_EQ(parts.size(), c.expected.size()) << c.name;
        for (size_t j = 0; j < parts.size(); ++j) {
            std::vector<int> got;
            for (const TShpPoint &p : parts[j].Points)
                got.push_back(static_cast<int>(p.X));
            EXPECT_EQ(got, c.expected[j]) << c.name << " part " << j;
        }
    }
}

TEST(ShpRecords, ObjectContentsAreWrittenInThePlainLayout)
{
    TShpObject line;
    line.ShapeType = 13;
    line.XMin = 1;
    line.YMin = 2;
    line.XMax = 7;
    line.YMax = 8;
    line.Parts.resize(2);
    for (int k = 0; k < 3; ++k) {
        TShpPoint p;
        p.X = k;
        p.Y = 10 + k;
        p.Z = 99; // not written
        line.Parts[static_cast<size_t>(k < 2 ? 0 : 1)].Points.push_back(p);
    }
    // Type 23: the code 23, the plain layout (measures are optional).
    line.ShapeType = 23;
    QByteArray c = shp::encodeObjectContent(23, line, TTextRecord{});
    EXPECT_EQ(c, polyContent(23, {1, 2, 7, 8}, {0, 2}, {{0, 10}, {1, 11}, {2, 12}}));
    EXPECT_EQ(c.size(), 44 + 4 * 2 + 16 * 3);
    // Type 13: the code 13 and the Z block after the points: range, values.
    line.ShapeType = 13;
    line.Parts[1].Points[0].Z = -4;
    c = shp::encodeObjectContent(13, line, TTextRecord{});
    QByteArray z = polyContent(13, {1, 2, 7, 8}, {0, 2}, {{0, 10}, {1, 11}, {2, 12}});
    for (double v : {-4.0, 99.0, 99.0, 99.0, -4.0})
        testsupport::putLEDouble(z, z.size(), v);
    EXPECT_EQ(c, z);
    // A shape that carries measures gets the M block after the Z block, or
    // after the points in type 23; the plain types take none.
    line.HasM = true;
    line.Parts[0].Points[1].M = 2.5;
    QByteArray zm = z;
    for (double v : {0.0, 2.5, 0.0, 2.5, 0.0})
        testsupport::putLEDouble(zm, zm.size(), v);
    EXPECT_EQ(shp::encodeObjectContent(13, line, TTextRecord{}), zm);
    line.ShapeType = 23;
    QByteArray m = polyContent(23, {1, 2, 7, 8}, {0, 2}, {{0, 10}, {1, 11}, {2, 12}});
    m += zm.mid(z.size());
    EXPECT_EQ(shp::encodeObjectContent(23, line, TTextRecord{}), m);
    line.ShapeType = 3;
    EXPECT_EQ(shp::encodeObjectContent(3, line, TTextRecord{}),
              polyContent(3, {1, 2, 7, 8}, {0, 2}, {{0, 10}, {1, 11}, {2, 12}}));
    line.HasM = false;

    TShpObject point;
    point.ShapeType = 21;
    EXPECT_EQ(shp::encodeObjectContent(21, point, TTextRecord{}), pointContent(21, 0, 0));
    point.Parts.push_back({{TShpPoint{4, 5, 6}}});
    EXPECT_EQ(shp::encodeObjectContent(21, point, TTextRecord{}), pointContent(21, 4, 5));
    point.ShapeType = 11;
    QByteArray pz = pointContent(11, 4, 5);
    testsupport::putLEDouble(pz, 20, 6);
    EXPECT_EQ(shp::encodeObjectContent(11, point, TTextRecord{}), pz);
    point.HasM = true;
    point.Parts[0].Points[0].M = 8;
    testsupport::putLEDouble(pz, 28, 8);
    EXPECT_EQ(shp::encodeObjectContent(11, point, TTextRecord{}), pz);
    point.ShapeType = 21;
    QByteArray pm = pointContent(21, 4, 5);
    testsupport::putLEDouble(pm, 20, 8);
    EXPECT_EQ(shp::encodeObjectContent(21, point, TTextRecord{}), pm);

    // Text: the style from the template, box, image size and counts from the shape.
    TextFields f;
    f.kind = 3;
    f.text = "abc";
    f.fontName = "Courier";
    f.box = {1, 2, 3, 4};
    f.imageWidth = 11;
    f.imageHeight = 12;
    const QByteArray expected = textContent(f, {0}, {{1, 2, 5, 6}, {3, 4, 0, 0}});
    TTextRecord style;
    shp::decodeTextHead(expected.constData(), expected.size(), style);
    style.XMin = style.YMin = style.XMax = style.YMax = 0;
    style.ImageWidth = style.ImageHeight = 0;
    style.NumParts = style.NumPoints = 77;
    TShpObject text;
    text.ShapeType = 3;
    text.XMin = 1;
    text.YMin = 2;
    text.XMax = 3;
    text.YMax = 4;
    text.ImageWidth = 11;
    text.ImageHeight = 12;
    TShpPoint a{1, 2};
    a.setWH(5, 6);
    text.Parts.push_back({{a, TShpPoint{3, 4}}});
    EXPECT_EQ(shp::encodeObjectContent(8, text, style), expected);

    // Raster: the name from Text, the control points with their pixels.
    TShpObject image;
    image.Text = QStringLiteral("sheet.bmp");
    image.XMin = 10;
    image.YMin = 20;
    image.XMax = 110;
    image.YMax = 220;
    image.ImageWidth = 640;
    image.ImageHeight = 480;
    TShpPoint cp{15, 25};
    cp.setWH(7, -9);
    image.Parts.push_back({{cp}});
    EXPECT_EQ(shp::encodeObjectContent(10, image, TTextRecord{}),
              rasterContent(10, {10, 20, 110, 220}, "sheet.bmp", 0, 640, 480, {{15, 25, 7, -9}}));

    EXPECT_TRUE(shp::encodeObjectContent(31, line, TTextRecord{}).isEmpty());
}

TEST(ShpRecords, HeightsAndMeasuresOfTheirBlocks)
{
    // The blocks after the points, byte by byte: a poly block is a range
    // and a value per point, a point record's is the value alone.
    auto poly = [](std::int32_t type, std::vector<std::vector<double>> blocks) {
        QByteArray c = polyContent(type, {0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}});
        for (const auto &b : blocks)
            for (double v : b)
                testsupport::putLEDouble(c, c.size(), v);
        return c;
    };
    auto point = [](std::int32_t type, std::vector<double> values) {
        QByteArray c = pointContent(type, 4, 5);
        for (double v : values)
            testsupport::putLEDouble(c, c.size(), v);
        return c;
    };
    struct Case {
        const char *name;
        std::int32_t type;
        QByteArray content;
        size_t points;
        std::vector<double> z, m;   // per point; empty: the record has no such block
    };
    const std::vector<Case> cases = {
        {"line Z", 13, poly(13, {{152.5, 153.25, 152.5, 153.25}}), 2, {152.5, 153.25}, {}},
        {"line Z with M", 13, poly(13, {{1, 2, 1, 2}, {7, 8, 7, 8}}), 2, {1, 2}, {7, 8}},
        {"line Z with a cut M block", 13, poly(13, {{1, 2, 1, 2}, {7, 8, 7}}), 2, {1, 2}, {}},
        {"line Z in the plain layout", 13, poly(13, {}), 2, {}, {}},
        {"line M", 23, poly(23, {{7, 8, 7, 8}}), 2, {}, {7, 8}},
        {"line M in the plain layout", 23, poly(23, {}), 2, {}, {}},
        {"plain line with more bytes", 3, poly(3, {{1, 2, 1, 2}}), 2, {}, {}},
        {"point Z", 11, point(11, {3}), 1, {3}, {}},
        {"point Z with M", 11, point(11, {3, 4}), 1, {3}, {4}},
        {"point M", 21, point(21, {4}), 1, {}, {4}},
        {"point Z in the plain layout", 11, point(11, {}), 1, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const bool isPoint = c.type == 11 || c.type == 21;
        const qsizetype pointsEnd = isPoint ? 20 : 44 + 4 + 2 * 16;
        std::vector<TShpPoint> pts(c.points);
        for (TShpPoint &p : pts)
            p.Z = p.M = -1;
        bool hasM = true;
        shp::decodeMeasures(c.type, c.content.constData(), c.content.size(), pointsEnd, pts, hasM);
        EXPECT_EQ(hasM, !c.m.empty());
        for (size_t k = 0; k < pts.size(); ++k) {
            // Values the record lacks are not touched.
            EXPECT_EQ(pts[k].Z, c.z.empty() ? -1 : c.z[k]);
            EXPECT_EQ(pts[k].M, c.m.empty() ? -1 : c.m[k]);
        }
    }
}

TEST(ShpRecords, EachReaderHasItsOwnValidityRule)
{
    using R = shp::HeadRule;
    struct Case { std::int32_t type, parts, points; bool stream, object, recalc, saveFile, saveJournal; };
    const Case cases[] = {
        {5, 1, 3, true, true, true, true, true},
        {5, 500, 10000, true, true, true, true, true},
        {5, 501, 600, false, true, true, true, true},
        {5, 1, 10001, false, true, true, true, true},
        {5, 10000, 20000, false, true, true, false, true},
        {5, 1, 10000000, false, true, true, false, true},
        {100, 1, 2, false, true, true, true, true},
        {-3, 1, 2, false, true, false, false, false},
        {0, 1, 2, false, false, false, false, false},
        {5, 0, 2, false, false, false, false, false},
        {5, 1, 0, false, false, false, false, false},
        {5, -1, 2, false, false, false, false, false},
    };
    for (const Case &c : cases) {
        shp::PolyRecordHead h;
        h.ShapeType = c.type;
        h.NumParts = c.parts;
        h.NumPoints = c.points;
        EXPECT_EQ(shp::polyHeadValid(h, R::Stream), c.stream) << c.type << "/" << c.parts << "/" << c.points;
        EXPECT_EQ(shp::polyHeadValid(h, R::ObjectReader), c.object) << c.type << "/" << c.parts << "/" << c.points;
        EXPECT_EQ(shp::polyHeadValid(h, R::Recalculation), c.recalc) << c.type << "/" << c.parts << "/" << c.points;
        EXPECT_EQ(shp::polyHeadValid(h, R::SaveFromLayerFile), c.saveFile) << c.type << "/" << c.parts;
        EXPECT_EQ(shp::polyHeadValid(h, R::SaveFromJournal), c.saveJournal) << c.type << "/" << c.parts;
    }

    TTextRecord t;
    t.NumParts = 1;
    t.NumPoints = 1;
    EXPECT_FALSE(shp::textHeadValid(t, R::Recalculation)); // Kind 0
    t.Kind = -1;
    EXPECT_FALSE(shp::textHeadValid(t, R::Recalculation));
    EXPECT_TRUE(shp::textHeadValid(t, R::SaveFromLayerFile));
    t.Kind = 4;
    EXPECT_TRUE(shp::textHeadValid(t, R::ObjectReader));
    t.NumPoints = 0;
    EXPECT_TRUE(shp::textHeadValid(t, R::Recalculation));
    EXPECT_FALSE(shp::textHeadValid(t, R::SaveFromLayerFile));

    shp::RasterRecordHead r;
    r.ShapeType = 15; // raster records may carry 15
    r.NumPoints = 1;
    EXPECT_TRUE(shp::rasterHeadValid(r));
    r.NumPoints = 0;
    EXPECT_FALSE(shp::rasterHeadValid(r));
}

TEST(ShpRecords, AppendedRecordsFollowThePreviousOne)
{
    std::int32_t number = 0;
    EXPECT_EQ(shp::appendedRecordPlace(0, {}, number).Offset, 50);
    EXPECT_EQ(number, 1);
    // After a point record at 50 (content 10 words): 50 + 10 + 4.
    EXPECT_EQ(shp::appendedRecordPlace(1, {50, 10}, number).Offset, 64);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(shp::appendedRecordPlace(7, {1000, 216}, number).Offset, 1220);
    EXPECT_EQ(number, 8);
}
