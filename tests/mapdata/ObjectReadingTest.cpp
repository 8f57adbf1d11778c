#include "mapdata/MapDataCore.h"

#include "LayerFixtures.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// A core over a temporary work folder with one layer "roads" whose files are
// written in lower case, as other programs write them.
struct ReadingFixture {
    testsupport::TempFolder dir;
    MapDataCore core;

    ReadingFixture() { core.SetWorkDir(dir.path()); }

    TMapLayer &addLayer(const Layer &files, const QString &name = QStringLiteral("roads"))
    {
        dir.write(name + QStringLiteral(".shp"), files.shp);
        dir.write(name + QStringLiteral(".shx"), files.shx);
        TMapLayer l;
        l.FileName = name + QStringLiteral(".shp");
        for (size_t i = 0; i < files.offsets.size(); ++i) {
            TMapObject o;
            o.ShpOffset = files.offsets[i];
            o.ShpLength = files.lengths[i] * 2;
            l.Objects.push_back(o);
        }
        core.Project().Layers.push_back(l);
        return core.Project().Layers.back();
    }

    // Points of every part, as "x,y" texts.
    static std::vector<std::vector<std::pair<double, double>>> partsOf(const TShpObject &s)
    {
        std::vector<std::vector<std::pair<double, double>>> out;
        for (const TShpParts &p : s.Parts) {
            out.emplace_back();
            for (const TShpPoint &pt : p.Points)
                out.back().emplace_back(pt.X, pt.Y);
        }
        return out;
    }

    // Every point of object `index` through the record stream.
    std::vector<TShpPoint> streamPoints(int layer, int index, std::int32_t &numPoints)
    {
        TLayerStream s;
        core.OpenLayerStream(s, layer);
        EXPECT_TRUE(s.ShpHandle);
        core.ReadShapeRecord(s, layer, index);
        switch (shp::recordKindOf(s.Header.ShapeType)) {
        case shp::RecordKind::Poly: numPoints = s.PolyHead.NumPoints; break;
        case shp::RecordKind::Text: numPoints = s.TextHead.NumPoints; break;
        case shp::RecordKind::Raster: numPoints = s.RasterHead.NumPoints; break;
        default: numPoints = 1; break;
        }
        std::vector<TShpPoint> pts;
        TShpPoint p;
        for (std::int32_t k = 0; k < numPoints; ++k)
            if (core.ReadShapePoint(s, layer, p, index))
                pts.push_back(p);
        // One more point than the record has is refused.
        if (shp::recordKindOf(s.Header.ShapeType) != shp::RecordKind::Point) {
            EXPECT_FALSE(core.ReadShapePoint(s, layer, p, index));
        }
        core.FreeShapeRecord(s);
        core.CloseLayerStream(s);
        EXPECT_FALSE(s.ShpHandle);
        return pts;
    }
};

using Parts = std::vector<std::vector<std::pair<double, double>>>;

} // namespace

TEST(ObjectReading, EveryRecordKindIsDecoded)
{
    ReadingFixture f;
    // Points (type 11: the Z and M values after X, Y are not read).
    QByteArray pz = pointContent(11, 101.5, 202.25);
    pz.append(QByteArray(16, '\x7f'));
    f.addLayer(layer(11, {}, {pointContent(11, 1.5, 2.5), pz}), QStringLiteral("points"));
    // Polygons of type 15 carrying real Z and M blocks.
    f.addLayer(layer(15, {}, {polyContentZM(15, {0, 0, 10, 10}, {0, 4}, {{0, 0}, {0, 10}, {10, 10}, {0, 0}, {2, 2}, {3, 3}}, true, true)}),
               QStringLiteral("areas"));
    // Polylines of type 13 in the plain layout, without a Z block, as earlier
    // versions wrote them.
    f.addLayer(layer(13, {}, {polyContent(13, {1, 2, 3, 4}, {0}, {{1, 2}, {3, 4}})}), QStringLiteral("lines"));
    // Raster reference with two control points.
    f.addLayer(layer(10, {}, {rasterContent(10, {10, 20, 110, 220}, "C:\\maps\\sheet.bmp", 1, 640, 480,
                                            {{15, 25, 7, 9}, {100, 200, 600, 400}})}),
               QStringLiteral("images"));

    TShpObject s;
    f.core.ReadObject(0, 1, s);
    EXPECT_EQ(s.FileCode, 9994);
    EXPECT_EQ(s.ShapeType, 11);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{101.5, 202.25}}}));
    EXPECT_EQ(s.XMin, 101.5);
    EXPECT_EQ(s.XMax, 101.5);
    EXPECT_EQ(s.YMin, 202.25);
    EXPECT_EQ(s.YMax, 202.25);

    f.core.ReadObject(1, 0, s);
    EXPECT_EQ(s.ShapeType, 15);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{0, 0}, {0, 10}, {10, 10}, {0, 0}}, {{2, 2}, {3, 3}}}));
    EXPECT_EQ(s.XMax, 10);

    f.core.ReadObject(2, 0, s);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{1, 2}, {3, 4}}}));
    EXPECT_EQ(s.YMin, 2);

    f.core.ReadObject(3, 0, s);
    EXPECT_EQ(s.Text, QStringLiteral("C:\\maps\\sheet.bmp"));
    EXPECT_EQ(s.ImageFlag, 1);
    EXPECT_EQ(s.ImageWidth, 640);
    EXPECT_EQ(s.ImageHeight, 480);
    EXPECT_EQ(s.XMax, 110);
    ASSERT_EQ(s.Parts.size(), 1u);
    ASSERT_EQ(s.Parts[0].Points.size(), 2u);
    EXPECT_EQ(s.Parts[0].Points[1].X, 100);
    EXPECT_EQ(s.Parts[0].Points[1].W(), 600);
    EXPECT_EQ(s.Parts[0].Points[1].H(), 400);

    // The stream gives the same points one by one.
    std::int32_t n = 0;
    auto pts = f.streamPoints(1, 0, n);
    ASSERT_EQ(pts.size(), 6u);
    EXPECT_EQ(pts[2].X, 10);
    EXPECT_EQ(pts[2].Y, 10);
    pts = f.streamPoints(3, 0, n);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0].W(), 7);
    EXPECT_EQ(pts[0].H(), 9);
    pts = f.streamPoints(0, 0, n);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_EQ(pts[0].X, 1.5);
}

TEST(ObjectReading, TextObjectBecomesTheTemplate)
{
    ReadingFixture f;
    TextFields t;
    t.kind = 3;
    t.text = "  road  ";
    t.fontName = "Times";
    t.box = {1, 2, 30, 40};
    t.imageWidth = 5;
    f.addLayer(layer(8, {}, {textContent(t, {0, 2}, {{1, 2, 4, 5}, {3, 4}, {30, 40}})}));
    f.core.SetTemplateFound(true);

    TShpObject s;
    f.core.ReadObject(0, 0, s);
    EXPECT_EQ(s.ShapeType, 3);           // the record's kind
    EXPECT_EQ(s.Text, QStringLiteral("road"));
    EXPECT_EQ(s.XMax, 30);
    EXPECT_EQ(s.ImageWidth, 5);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{1, 2}, {3, 4}}, {{30, 40}}}));
    EXPECT_EQ(s.Parts[0].Points[0].W(), 4);
    EXPECT_EQ(s.Parts[0].Points[0].H(), 5);

    EXPECT_FALSE(f.core.TemplateFound());
    EXPECT_EQ(f.core.Template().Kind, 3);
    EXPECT_EQ(f.core.Template().Text, QStringLiteral("  road  "));
    EXPECT_EQ(f.core.Template().FontName, QStringLiteral("Times"));
    EXPECT_EQ(f.core.Template().PenWidth, 25);
    EXPECT_EQ(f.core.Template().NumPoints, 3);
}

namespace {
// Lays every text out as a 10 x 4 box above its anchor and counts the calls.
struct FixedLayout : IMapEngineServices {
    int calls = 0;
    void LayoutTextObject(const TTextRecord &r, double x, double y, double &xMin, double &yMin, double &xMax,
                          double &yMax) override
    {
        ++calls;
        if (r.Kind != okText && r.Kind != okSymbol)
            return;
        xMin = x - 5;
        xMax = x + 5;
        yMin = y;
        yMax = y + 4;
    }
};
} // namespace

TEST(ObjectReading, TextsAndSymbolsTakeTheLaidOutExtent)
{
    ReadingFixture f;
    FixedLayout layout;
    f.core.setEngineServices(&layout);
    TextFields text, symbol, line, empty;
    text.kind = 4;
    text.box = {0, 0, 1, 1};
    symbol.kind = 2;
    symbol.box = {0, 0, 1, 1};
    line.kind = 3;
    line.box = {0, 0, 1, 1};
    empty.kind = 4;
    empty.box = {7, 7, 8, 8};
    f.addLayer(layer(8, {}, {textContent(text, {0}, {{100, 200}}), textContent(symbol, {0}, {{50, 60}, {1, 1}}),
                             textContent(line, {0}, {{100, 200}, {300, 400}}), textContent(empty, {}, {})}));
    struct Case { int index; double xMin, yMin, xMax, yMax; int calls; };
    const Case cases[] = {
        {0, 95, 200, 105, 204, 1},
        {1, 45, 60, 55, 64, 1},
        {2, 0, 0, 1, 1, 0},    // lines keep their stored box
        {3, 7, 7, 8, 8, 0},    // a text without points keeps it too
    };
    for (const Case &c : cases) {
        layout.calls = 0;
        TShpObject s;
        f.core.ReadObject(0, c.index, s);
        EXPECT_EQ(s.XMin, c.xMin) << c.index;
        EXPECT_EQ(s.YMin, c.yMin) << c.index;
        EXPECT_EQ(s.XMax, c.xMax) << c.index;
        EXPECT_EQ(s.YMax, c.yMax) << c.index;
        EXPECT_EQ(layout.calls, c.calls) << c.index;
    }
}

TEST(ObjectReading, JournalledVersionIsReadWhileTheJournalExists)
{
    ReadingFixture f;
    TMapLayer &l = f.addLayer(layer(3, {}, {polyContent(3, {0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}})}));
    // The journal holds an unrelated record and then the new version.
    const Layer jrn = journal({{5, polyContent(3, {}, {0}, {{9, 9}, {9, 9}})},
                               {1, polyContent(3, {5, 5, 6, 7}, {0}, {{5, 5}, {6, 7}, {5, 6}})}});
    f.dir.write(QStringLiteral("updates.mhp"), jrn.shp);
    l.Objects[0].JrnOffset = jrn.offsets[1];
    l.Objects[0].JrnLength = jrn.lengths[1];

    TShpObject s;
    f.core.ReadObject(0, 0, s);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{5, 5}, {6, 7}, {5, 6}}}));
    EXPECT_EQ(s.YMax, 7);
    std::int32_t n = 0;
    auto pts = f.streamPoints(0, 0, n);
    EXPECT_EQ(n, 3);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[1].Y, 7);

    // Without "updates.mhp" both take the layer file.
    QFile::remove(f.dir.file(QStringLiteral("updates.mhp")));
    f.core.ReadObject(0, 0, s);
    EXPECT_EQ(ReadingFixture::partsOf(s), (Parts{{{0, 0}, {1, 1}}}));
    pts = f.streamPoints(0, 0, n);
    EXPECT_EQ(n, 2);
}

TEST(ObjectReading, StreamRefusesLargePolysThatTheObjectReaderTakes)
{
    ReadingFixture f;
    auto many = [](int parts, int points) {
        std::vector<std::int32_t> starts;
        for (int j = 0; j < parts; ++j)
            starts.push_back(j * (points / parts));
        std::vector<Pt> pts(static_cast<size_t>(points));
        for (int k = 0; k < points; ++k)
            pts[static_cast<size_t>(k)] = {double(k), double(-k)};
        return polyContent(5, {0, -1, 1, 0}, starts, pts);
    };
    f.addLayer(layer(5, {}, {many(600, 1200), many(501, 501), many(500, 10000), many(1, 10001), many(1, 10000)}));
    struct Case { int index; size_t parts; std::int32_t streamParts; };
    const Case cases[] = {
        {0, 600, 0}, {1, 501, 0}, {2, 500, 500}, {3, 1, 0}, {4, 1, 1},
    };
    for (const Case &c : cases) {
        TShpObject s;
        f.core.ReadObject(0, c.index, s);
        EXPECT_EQ(s.Parts.size(), c.parts) << c.index;
        TLayerStream st;
        f.core.OpenLayerStream(st, 0);
        f.core.ReadShapeRecord(st, 0, c.index);
        EXPECT_EQ(st.PolyHead.NumParts, c.streamParts) << c.index;
        EXPECT_EQ(st.PartStarts.size(), static_cast<size_t>(c.streamParts)) << c.index;
        f.core.CloseLayerStream(st);
    }
}

TEST(ObjectReading, MissingFilesAndIndicesGiveAnEmptyShape)
{
    ReadingFixture f;
    f.addLayer(layer(1, {}, {pointContent(1, 3, 4)}));
    TMapLayer ghost;
    ghost.FileName = QStringLiteral("ghost.shp");
    ghost.Objects.resize(1);
    f.core.Project().Layers.push_back(ghost);

    auto filled = [] {
        TShpObject s;
        s.Text = QStringLiteral("old");
        s.XMax = 5;
        s.Parts.resize(3);
        return s;
    };
    const std::pair<int, int> cases[] = {{0, 1}, {0, -1}, {1, 0}, {2, 0}, {-1, 0}};
    for (auto [layerIndex, index] : cases) {
        TShpObject s = filled();
        f.core.ReadObject(layerIndex, index, s);
        EXPECT_TRUE(s.Parts.empty()) << layerIndex << "/" << index;
        EXPECT_TRUE(s.Text.isEmpty());

        TLayerStream st;
        f.core.OpenLayerStream(st, layerIndex);
        f.core.ReadShapeRecord(st, layerIndex, index);
        TShpPoint p;
        EXPECT_FALSE(f.core.ReadShapePoint(st, layerIndex, p, index)) << layerIndex << "/" << index;
        f.core.CloseLayerStream(st);
    }
}

TEST(ObjectReading, MalformedRecordsAreRefusedWithinTheirBytes)
{
    ReadingFixture f;
    TextFields t;
    t.kind = 4;
    t.box = {1, 1, 2, 2};
    const QByteArray goodPoly = polyContent(3, {0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}});
    QByteArray hugeCounts = polyContent(3, {0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}});
    testsupport::putLE32(hugeCounts, 40, 0x7FFFFFFF);         // NumPoints far beyond the record
    QByteArray negativeCounts = goodPoly;
    testsupport::putLE32(negativeCounts, 36, -1);
    QByteArray overlongParts = goodPoly;
    testsupport::putLE32(overlongParts, 36, 3);               // parts run into the points
    const Layer polys = layer(3, {}, {goodPoly, hugeCounts, negativeCounts, overlongParts});
    f.addLayer(polys, QStringLiteral("polys"));
    f.addLayer(layer(8, {}, {textHeadWithCounts(t, 1000000, 1000000), textHeadWithCounts(t, -5, 3)}),
               QStringLiteral("texts"));
    f.addLayer(layer(10, {}, {rasterContent(10, {}, "a.bmp", 0, 1, 1, {})}), QStringLiteral("images"));
    f.core.Project().Layers[2].Objects[0].ShpLength = 0;
    {
        // The raster record states 50 control points but holds none.
        QByteArray shp = f.dir.read(QStringLiteral("images.shp"));
        testsupport::putLE32(shp, 100 + 8 + 277, 50);
        f.dir.write(QStringLiteral("images.shp"), shp);
    }
    // A layer whose file ends inside the second record, and one whose offsets
    // point past the end or into nothing.
    Layer cut = layer(5, {}, {goodPoly, goodPoly});
    cut.shp.chop(10);
    f.addLayer(cut, QStringLiteral("cut"));
    TMapLayer &wild = f.addLayer(layer(5, {}, {goodPoly}), QStringLiteral("wild"));
    wild.Objects.resize(4);
    wild.Objects[1].ShpOffset = 1 << 30;
    wild.Objects[2].ShpOffset = -20;
    wild.Objects[3].ShpOffset = 0x7FFFFFFF;
    wild.Objects[3].ShpLength = -8;
    // A ".Shp" shorter than its header.
    f.dir.write(QStringLiteral("stub.shp"), QByteArray(60, '\0'));
    TMapLayer stub;
    stub.FileName = QStringLiteral("stub.shp");
    stub.Objects.resize(1);
    f.core.Project().Layers.push_back(stub);

    struct Case { int layer, index; size_t parts; };
    const Case cases[] = {
        {0, 0, 1}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0},
        {1, 0, 0}, {1, 1, 0},
        {2, 0, 1},            // the one part of a raster object, without points
        {3, 0, 1}, {3, 1, 0},
        {4, 0, 1}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0},
        {5, 0, 0},
    };
    for (const Case &c : cases) {
        TShpObject s;
        f.core.ReadObject(c.layer, c.index, s);
        EXPECT_EQ(s.Parts.size(), c.parts) << c.layer << "/" << c.index;
        if (c.parts == 0 || c.layer == 2) {
            EXPECT_TRUE(s.Parts.empty() || s.Parts[0].Points.empty());
        }

        TLayerStream st;
        f.core.OpenLayerStream(st, c.layer);
        f.core.ReadShapeRecord(st, c.layer, c.index);
        TShpPoint p;
        int got = 0;
        while (got < 100 && f.core.ReadShapePoint(st, c.layer, p, c.index))
            ++got;
        EXPECT_EQ(got, c.parts == 0 || c.layer == 2 ? 0 : 2) << c.layer << "/" << c.index;
        f.core.CloseLayerStream(st);
    }
}
