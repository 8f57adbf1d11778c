// Layers written by another program (GDAL's ogr2ogr) open and read as that
// program reads them (ogrinfo), and layers written with the record codecs read
// back in ogrinfo without complaint. Skipped when GDAL's tools are missing.

#include "mapdata/MapDataCore.h"

#include "platform/db/Table.h"
#include "support/GdalTools.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testsupport::haveGdal;
using testsupport::ToolRun;
using testsupport::runTool;

using Ring = std::vector<std::pair<double, double>>;

// The geometries of `ogrinfo -al`, one list of rings (parts) per feature, the
// X and Y of each vertex; rings sorted, as ogrinfo may group polygon rings.
std::vector<std::vector<Ring>> ogrGeometries(const QString &text)
{
    std::vector<std::vector<Ring>> out;
    static const QRegularExpression geometryLine(
        QStringLiteral("^  (POINT|LINESTRING|POLYGON|MULTIPOINT|MULTILINESTRING|MULTIPOLYGON)\\b.*$"),
        QRegularExpression::MultilineOption);
    auto it = geometryLine.globalMatch(text);
    while (it.hasNext()) {
        const QString line = it.next().captured(0);
        std::vector<Ring> rings;
        // Each innermost parenthesised list is a ring or part.
        static const QRegularExpression inner(QStringLiteral("\\(([^()]*)\\)"));
        auto ri = inner.globalMatch(line);
        while (ri.hasNext()) {
            Ring ring;
            for (const QString &tuple : ri.next().captured(1).split(u',')) {
                const QStringList n = tuple.simplified().split(u' ');
                if (n.size() >= 2)
                    ring.emplace_back(n[0].toDouble(), n[1].toDouble());
            }
            rings.push_back(ring);
        }
        std::sort(rings.begin(), rings.end());
        out.push_back(rings);
    }
    return out;
}

std::vector<Ring> ringsOf(const TShpObject &s)
{
    std::vector<Ring> rings;
    for (const TShpParts &p : s.Parts) {
        Ring r;
        for (const TShpPoint &pt : p.Points)
            r.emplace_back(pt.X, pt.Y);
        rings.push_back(r);
    }
    std::sort(rings.begin(), rings.end());
    return rings;
}

struct Kind {
    const char *shpt;
    std::int32_t type;
    std::vector<const char *> wkt;
};

const std::vector<Kind> &kinds()
{
    static const std::vector<Kind> k = {
        {"POINT", 1, {"POINT (10.5 20.25)", "POINT (-3 4)"}},
        {"ARC", 3, {"LINESTRING (0 0,10 10,20 0)", "MULTILINESTRING ((1 1,2 2),(3 3,4 4,5 5))"}},
        {"POLYGON", 5,
         {"POLYGON ((0 0,0 10,10 10,10 0,0 0),(2 2,4 2,4 4,2 4,2 2))",
          "MULTIPOLYGON (((20 20,20 30,30 30,20 20)),((40 40,40 50,50 50,40 40)))"}},
        {"POINTZ", 11, {"POINT Z (6500000.25 5540944.5 120)", "POINT Z (1 2 3)"}},
        {"ARCZ", 13, {"LINESTRING Z (0 0 1,10 10 2,20 0 3)", "LINESTRING Z (5 5 0,6 6 0)"}},
        {"POLYGONZ", 15, {"POLYGON Z ((0 0 5,0 10 6,10 10 7,10 0 8,0 0 5))"}},
        {"ARCM", 23, {"LINESTRING M (0 0 1,10 10 2)", "LINESTRING M (3 3 7,4 5 8,6 6 9)"}},
        {"POLYGONM", 25, {"POLYGON M ((0 0 1,0 10 2,10 10 3,0 0 1))"}},
    };
    return k;
}

// Makes "<name>.shp" with ogr2ogr from WKT texts, with Windows-1251 attributes.
bool makeLayer(const testsupport::TempFolder &dir, const QString &name, const Kind &k)
{
    std::vector<QByteArray> wkt(k.wkt.begin(), k.wkt.end());
    const ToolRun r = testsupport::makeGdalLayer(dir, name, QString::fromUtf8(k.shpt), wkt);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return r.code == 0;
}

} // namespace

TEST(GdalLayers, LayersOfOtherProgramsReadAsOgrinfoReadsThem)
{
    if (!haveGdal())
        GTEST_SKIP() << "GDAL's ogr2ogr/ogrinfo are not installed (package gdal-bin)";
    testsupport::TempFolder dir;
    for (const Kind &k : kinds()) {
        const QString name = QStringLiteral("layer") + QString::number(k.type);
        ASSERT_TRUE(makeLayer(dir, name, k));
        const ToolRun info = runTool(QStringLiteral("ogrinfo"), {QStringLiteral("-al"), name + QStringLiteral(".shp")},
                             dir.path());
        const auto expected = ogrGeometries(info.out);
        ASSERT_EQ(expected.size(), k.wkt.size()) << k.shpt;

        MapDataCore core;
        core.SetWorkDir(dir.path());
        TMapLayer l;
        l.FileName = name + QStringLiteral(".shp");
        core.Project().Layers.push_back(l);
        ASSERT_TRUE(core.RecalcLayer(0)) << k.shpt;
        const TMapLayer &r = core.Project().Layers[0];
        EXPECT_EQ(r.ShapeType, k.type);
        ASSERT_EQ(r.Objects.size(), k.wkt.size()) << k.shpt;
        for (size_t i = 0; i < r.Objects.size(); ++i) {
            TShpObject s;
            core.ReadObject(0, static_cast<int>(i), s);
            EXPECT_EQ(ringsOf(s), expected[i]) << k.shpt << " object " << i;
            // The stream hands out the same vertices.
            TLayerStream st;
            core.OpenLayerStream(st, 0);
            core.ReadShapeRecord(st, 0, static_cast<int>(i));
            std::int32_t n = shp::recordKindOf(k.type) == shp::RecordKind::Point ? 1 : st.PolyHead.NumPoints;
            size_t total = 0;
            for (const Ring &ring : expected[i])
                total += ring.size();
            EXPECT_EQ(static_cast<size_t>(n), total) << k.shpt;
            TShpPoint p;
            for (std::int32_t j = 0; j < n; ++j)
                EXPECT_TRUE(core.ReadShapePoint(st, 0, p, static_cast<int>(i)));
            core.CloseLayerStream(st);
        }
        // The attribute rows, Windows-1251 texts included, as ogrinfo shows them.
        static const QRegularExpression attribute(QStringLiteral("^  (NAME|NUM) \\(String\\) = (.*)$"),
                                                  QRegularExpression::MultilineOption);
        QStringList shown;
        for (auto it = attribute.globalMatch(info.out); it.hasNext();)
            shown << it.next().captured(2);
        platform::db::Table table;
        table.setDatabaseName(core.WorkDir());
        table.setTableName(core.LayerTableName(0));
        table.open();
        QStringList read;
        for (table.first(); !table.eof(); table.next())
            read << table.fieldByName(u"NAME").asString() << table.fieldByName(u"NUM").asString();
        EXPECT_EQ(read, shown) << k.shpt;
        EXPECT_EQ(read.value(0), QStringLiteral("Объект №1"));
        table.close();

        // The layer still reads in ogrinfo after its headers were rewritten.
        const ToolRun again = runTool(QStringLiteral("ogrinfo"), {QStringLiteral("-al"), name + QStringLiteral(".shp")},
                              dir.path());
        EXPECT_EQ(ogrGeometries(again.out), expected) << k.shpt;
        EXPECT_FALSE(again.err.contains(QStringLiteral("ERROR"))) << again.err.toStdString();
    }
}

TEST(GdalLayers, LayersWrittenWithTheCodecsReadInOgrinfo)
{
    if (!haveGdal())
        GTEST_SKIP() << "GDAL's ogr2ogr/ogrinfo are not installed (package gdal-bin)";
    testsupport::TempFolder dir;
    for (const Kind &k : kinds()) {
        // The other program writes the layer (header, table); this system then
        // writes every record anew, as a save does, with other geometries.
        const QString name = QStringLiteral("own") + QString::number(k.type);
        ASSERT_TRUE(makeLayer(dir, name, k));
        const QByteArray oldShp = dir.read(name + QStringLiteral(".shp"));
        shp::FileHeader header;
        ASSERT_TRUE(shp::decodeFileHeader(oldShp.constData(), oldShp.size(), header));

        std::vector<TShpObject> shapes;
        for (size_t i = 0; i < k.wkt.size(); ++i) {
            TShpObject s;
            s.ShapeType = k.type;
            const double o = 100.0 * static_cast<double>(i + 1);
            const bool point = shp::recordKindOf(k.type) == shp::RecordKind::Point;
            const bool polygon = k.type == 5 || k.type == 15 || k.type == 25;
            TShpParts part;
            if (point) {
                part.Points = {TShpPoint{o + 0.5, o - 0.25}};
            } else if (polygon) {
                part.Points = {TShpPoint{o, o}, TShpPoint{o, o + 10}, TShpPoint{o + 10, o + 10}, TShpPoint{o, o}};
            } else {
                part.Points = {TShpPoint{o, o}, TShpPoint{o + 1, o + 2}, TShpPoint{o + 3, o + 1}};
            }
            s.Parts.push_back(part);
            s.XMin = o;
            s.YMin = point ? o - 0.25 : o;
            s.XMax = point ? o + 0.5 : o + 10;
            s.YMax = point ? o - 0.25 : o + 10;
            if (!point && !polygon) {
                s.XMax = o + 3;
                s.YMax = o + 2;
            }
            shapes.push_back(s);
        }

        QByteArray body, index;
        std::int32_t offset = 50;
        for (size_t i = 0; i < shapes.size(); ++i) {
            const QByteArray content = shp::encodeObjectContent(k.type, shapes[i], TTextRecord{});
            const std::int32_t words = shp::wordsForBytes(content.size());
            char rec[8], entry[8];
            shp::encodeRecordHeader(rec, {static_cast<std::int32_t>(i + 1), words});
            shp::encodeIndexEntry(entry, {offset, words});
            body += QByteArray(rec, 8) + content;
            index += QByteArray(entry, 8);
            offset += words + 4;
        }
        header.XMin = shapes.front().XMin;
        header.YMin = shapes.front().YMin;
        header.XMax = shapes.back().XMax;
        header.YMax = shapes.back().YMax;
        const auto shpHead = shp::encodeFileHeader(header, 100 + body.size());
        const auto shxHead = shp::encodeFileHeader(header, 100 + index.size());
        dir.write(name + QStringLiteral(".shp"), QByteArray(shpHead.data(), 100) + body);
        dir.write(name + QStringLiteral(".shx"), QByteArray(shxHead.data(), 100) + index);

        const ToolRun info = runTool(QStringLiteral("ogrinfo"), {QStringLiteral("-al"), name + QStringLiteral(".shp")},
                             dir.path());
        EXPECT_EQ(info.code, 0) << k.shpt;
        EXPECT_TRUE(info.err.isEmpty()) << k.shpt << ": " << info.err.toStdString();
        const auto got = ogrGeometries(info.out);
        EXPECT_EQ(got.size(), shapes.size()) << k.shpt;
        if (got.size() != shapes.size())
            continue;
        for (size_t i = 0; i < shapes.size(); ++i)
            EXPECT_EQ(got[i], ringsOf(shapes[i])) << k.shpt << " object " << i;
        EXPECT_TRUE(info.out.contains(QStringLiteral("NAME (String) = Объект №1"))) << k.shpt;
    }
}
