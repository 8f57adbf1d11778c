// The demo project of the program folder, as tools/layergen writes it from
// resources/demo/demo.txt: the project file with a block for every layer, in
// the layout the program's reader takes; the layers open in GDAL's ogrinfo
// with their features and Cyrillic attributes; the parcels tile their blocks;
// the text layer follows the system's own text record byte for byte.

#include "ResourceTestSupport.h"

#include "platform/TextCodec.h"
#include "platform/db/DbfFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace restest;
using testsupport::TempFolder;

namespace {

// The layer keys in the order the program writes them.
const QStringList kLayerKeys = {
    "FileName", "Number", "Name", "MapType", "ImgName", "ObjType", "MtMinX", "MtMinY", "MtMaxX", "MtMaxY",
    "CenterX", "CenterY", "S", "P", "PenColor", "PenStyle", "PenWidth", "PenMode", "PointStyle", "PntBitmap",
    "BrushColor", "BrushStyle", "BrushType", "FontName", "FontSize", "TextRotate", "TextScale", "TextColor",
    "TextStyleBold", "TextStyleItalic", "TextStyleUnderline", "TextSymbol", "ScaleMin", "ScaleMax", "ScaleView",
    "ViewPoints", "PtMinX", "PtMinY", "PtMaxX", "PtMaxY", "XError", "YError", "PsToPtX", "PsToPtY", "RCenterX",
    "RCenterY", "Visible", "Snap", "Edited", "ForAllObjects", "ViewInScale", "ViewShadow", "FieldNameObject",
    "FieldNameStreet", "FieldNameHouse", "Gamma", "Contrast", "Transform", "Projection", "Ellipsoid", "Longitude",
    "Latitude", "Proj_X", "Proj_Y", "Proj_K", "VykProject", "NumProject", "StrProject", "GPS", "Device", "PIN",
    "TypeLegend", "FieldNameLegend"};

const QStringList kTopKeys = {
    "ZoomPanel", "PickPanel", "SelectPanel", "PointPanel", "MarkPanel", "TextPanel", "SymbolPanel", "MapPanel",
    "InformPanel", "ShowMarks", "ShowNamePoints", "X", "Y", "Scale", "SnapPoint", "SnapLine", "PointAutoIns",
    "PointAutoDel", "ShowVykAll", "ShowVykMark", "ShowVykActive", "ShowVykPassive", "ShowVykDelete", "ShowVykOther",
    "ActiveLayer", "LayersCount"};

const QStringList kLabelKeys = {"Visible", "FieldName", "FontName", "Size", "Scale", "Rotate", "Color",
                                "TextStyleBold", "TextStyleItalic", "TextStyleUnderline", "BrushColor",
                                "BrushStyle", "Center", "Position", "ShiftX", "ShiftY", "FormatShow"};

using Pairs = std::vector<std::pair<QString, QString>>;

struct Block {
    int number = 0;
    Pairs keys;
    std::vector<Pairs> legends;
    std::vector<Pairs> labels;
    QString value(const QString &key) const
    {
        for (const auto &[k, v] : keys)
            if (k == key)
                return v;
        return {};
    }
};

QString valueOf(const Pairs &pairs, const QString &key)
{
    for (const auto &[k, v] : pairs)
        if (k == key)
            return v;
    return {};
}

QStringList keysOf(const Pairs &pairs)
{
    QStringList out;
    for (const auto &p : pairs)
        out << p.first;
    return out;
}

struct Project {
    QStringList lines;
    Pairs top;
    std::vector<Block> blocks;
};

std::pair<QString, QString> splitLine(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    return {line.left(eq).trimmed(), line.mid(eq + 1).trimmed()};
}

// Reads the project file strictly in the writer's layout: three blanks before
// a layer key, six inside a legend or label block.
Project parseProject(const QString &text)
{
    Project p;
    p.lines = text.split(QStringLiteral("\r\n"));
    int i = 2;
    while (i < p.lines.size() && !p.lines[i].startsWith(QStringLiteral("Layer="))) {
        if (!p.lines[i].isEmpty())
            p.top.push_back(splitLine(p.lines[i]));
        ++i;
    }
    while (i < p.lines.size()) {
        const QString line = p.lines[i++];
        if (line.isEmpty())
            continue;
        if (!line.startsWith(QStringLiteral("Layer=")) || i >= p.lines.size() || p.lines[i] != u"{") {
            ADD_FAILURE() << "unexpected line " << i << ": " << line.toStdString();
            return p;
        }
        ++i;
        Block b;
        b.number = line.mid(6).toInt();
        while (i < p.lines.size() && p.lines[i] != u"}") {
            const QString l = p.lines[i++];
            if (l.trimmed().isEmpty())
                continue;
            if (l.startsWith(QStringLiteral("   Legend=")) || l.startsWith(QStringLiteral("   Label="))) {
                EXPECT_EQ(p.lines[i], QStringLiteral("   {"));
                ++i;
                Pairs sub;
                while (i < p.lines.size() && p.lines[i] != QStringLiteral("   }")) {
                    EXPECT_TRUE(p.lines[i].startsWith(QStringLiteral("      "))) << p.lines[i].toStdString();
                    sub.push_back(splitLine(p.lines[i++]));
                }
                ++i;
                (l.startsWith(QStringLiteral("   Legend=")) ? b.legends : b.labels).push_back(sub);
                continue;
            }
            EXPECT_TRUE(l.startsWith(QStringLiteral("   ")) && !l.startsWith(QStringLiteral("    ")))
                << l.toStdString();
            b.keys.push_back(splitLine(l));
        }
        ++i;
        p.blocks.push_back(b);
    }
    return p;
}

class DemoProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ToolRun r = layergen({QStringLiteral("demo"), sourceFile("resources/demo/demo.txt"), dir.path()});
        ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
        tvp = dir.read(QStringLiteral("demo.tvp"));
    }
    QString data(const QString &name) const { return dir.file(QStringLiteral("demo/") + name); }
    QByteArray dataBytes(const QString &name) const { return dir.read(QStringLiteral("demo/") + name); }
    TempFolder dir;
    QByteArray tvp;
};

struct LayerKind {
    const char *file;
    int mapType;
    int objType;
    int shapeType;
};

const LayerKind kLayers[] = {
    {"texts.shp", 8, 0, 8},     // texts and symbols
    {"points.shp", 1, 1, 1},    // points drawn with a symbol of the point library
    {"buildings.shp", 1, 3, 5},
    {"roads.shp", 1, 2, 3},
    {"parcels.shp", 1, 3, 5},
};

} // namespace

TEST_F(DemoProject, ProjectFileHasTheHeaderAndABlockForEveryLayer)
{
    ASSERT_TRUE(tvp.startsWith("!Tolvane v.2.2.0.2\r\n\r\n"));
    ASSERT_TRUE(tvp.endsWith("}\r\n"));
    for (qsizetype i = 0; i < tvp.size(); ++i) {
        if (tvp[i] == '\n') {
            ASSERT_EQ(tvp[i - 1], '\r') << "a line end without CR at byte " << i;
        }
    }
    const Project p = parseProject(platform::fromCp1251(tvp));

    EXPECT_EQ(keysOf(p.top), kTopKeys);
    EXPECT_EQ(valueOf(p.top, QStringLiteral("LayersCount")), QStringLiteral("5"));
    EXPECT_EQ(valueOf(p.top, QStringLiteral("ActiveLayer")), QStringLiteral("4")); // the parcels
    EXPECT_EQ(valueOf(p.top, QStringLiteral("Scale")), QStringLiteral("2000"));
    // Snapping on, and the edit tool's double click inserts and deletes
    // vertices, as the map window starts.
    for (const char *key : {"SnapPoint", "SnapLine", "PointAutoIns", "PointAutoDel"})
        EXPECT_EQ(valueOf(p.top, QLatin1String(key)), QStringLiteral("True")) << key;
    // The view is centred on the map, near northing 5 400 000 and easting 1 300 000.
    EXPECT_NEAR(valueOf(p.top, QStringLiteral("X")).toDouble(), 1300000, 500);
    EXPECT_NEAR(valueOf(p.top, QStringLiteral("Y")).toDouble(), 5400000, 500);

    ASSERT_EQ(p.blocks.size(), std::size(kLayers));
    for (size_t i = 0; i < p.blocks.size(); ++i) {
        const Block &b = p.blocks[i];
        const LayerKind &k = kLayers[i];
        SCOPED_TRACE(k.file);
        EXPECT_EQ(b.number, static_cast<int>(i) + 1);
        EXPECT_EQ(keysOf(b.keys), kLayerKeys);
        EXPECT_EQ(b.value(QStringLiteral("FileName")), QLatin1String(k.file)); // a bare name: in the data folder
        EXPECT_EQ(b.value(QStringLiteral("Number")), QString::number(i));
        EXPECT_FALSE(b.value(QStringLiteral("Name")).isEmpty());
        EXPECT_EQ(b.value(QStringLiteral("MapType")), QString::number(k.mapType));
        EXPECT_EQ(b.value(QStringLiteral("ObjType")), QString::number(k.objType));
        for (const char *key : {"Visible", "Snap", "Edited"})
            EXPECT_EQ(b.value(QLatin1String(key)), QStringLiteral("True")) << key;
        // The three files lie in the data folder named like the project.
        const QString base = QString::fromLatin1(k.file).chopped(4);
        for (const char *ext : {".shp", ".shx", ".dbf"})
            EXPECT_TRUE(QFile::exists(data(base + QLatin1String(ext)))) << ext;
        // The kinds agree with the layer file; the extent is its header box.
        const QByteArray shp = dataBytes(QLatin1String(k.file));
        ASSERT_GE(shp.size(), 100);
        EXPECT_EQ(le32(shp, 32), k.shapeType);
        const char *boxKeys[] = {"MtMinX", "MtMinY", "MtMaxX", "MtMaxY"};
        const char *ptKeys[] = {"PtMinX", "PtMinY", "PtMaxX", "PtMaxY"};
        for (int c = 0; c < 4; ++c) {
            EXPECT_DOUBLE_EQ(b.value(QLatin1String(boxKeys[c])).toDouble(), leDouble(shp, 36 + 8 * c)) << boxKeys[c];
            EXPECT_EQ(b.value(QLatin1String(ptKeys[c])), b.value(QLatin1String(boxKeys[c])));
        }
        EXPECT_LT(leDouble(shp, 36), leDouble(shp, 52));
        EXPECT_LT(leDouble(shp, 44), leDouble(shp, 60));
        // "BrushStyle" is "BrushType" with 0 and 1 exchanged.
        const int type = b.value(QStringLiteral("BrushType")).toInt();
        EXPECT_EQ(b.value(QStringLiteral("BrushStyle")).toInt(), type == 0 ? 1 : type == 1 ? 0 : type);
    }
}

TEST_F(DemoProject, ParcelsHaveALegendByPurposeAndALabelOfTheirNumber)
{
    const Project p = parseProject(platform::fromCp1251(tvp));
    ASSERT_EQ(p.blocks.size(), std::size(kLayers));
    const Block &parcels = p.blocks[4];
    EXPECT_EQ(parcels.value(QStringLiteral("TypeLegend")), QStringLiteral("1"));
    EXPECT_EQ(parcels.value(QStringLiteral("FieldNameLegend")), QStringLiteral("PURPOSE"));
    EXPECT_EQ(parcels.value(QStringLiteral("FieldNameStreet")), QStringLiteral("STREET"));
    EXPECT_EQ(parcels.value(QStringLiteral("FieldNameHouse")), QStringLiteral("HOUSE"));

    QSet<QString> values;
    QSet<int> colours;
    for (const Pairs &legend : parcels.legends) {
        EXPECT_EQ(keysOf(legend), (QStringList{"ObjType", "Values", "Number", "Code"}));
        EXPECT_EQ(valueOf(legend, QStringLiteral("ObjType")), QStringLiteral("2")); // a colour legend
        values.insert(valueOf(legend, QStringLiteral("Values")));
        colours.insert(valueOf(legend, QStringLiteral("Number")).toInt());
    }
    EXPECT_EQ(parcels.legends.size(), 5u);
    EXPECT_EQ(values.size(), 5);
    EXPECT_EQ(colours.size(), 5);

    // Every parcel's purpose has its colour.
    auto table = platform::db::DbfFile::open(data(QStringLiteral("parcels.dbf")));
    const auto &fields = table->header().fields;
    int purpose = -1, num = -1;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].def.name == u"PURPOSE")
            purpose = static_cast<int>(i);
        if (fields[i].def.name == u"NUM")
            num = static_cast<int>(i);
    }
    ASSERT_GE(purpose, 0);
    ASSERT_GE(num, 0);
    QSet<QString> used;
    for (int r = 1; r <= table->recordCount(); ++r) {
        const QString v = table->value(r, purpose).toString();
        EXPECT_TRUE(values.contains(v)) << v.toStdString();
        used.insert(v);
        EXPECT_FALSE(table->value(r, num).toString().isEmpty());
    }
    EXPECT_EQ(used.size(), 5) << "a legend entry no parcel uses";

    ASSERT_EQ(parcels.labels.size(), 1u);
    EXPECT_EQ(keysOf(parcels.labels[0]), kLabelKeys);
    EXPECT_EQ(valueOf(parcels.labels[0], QStringLiteral("FieldName")), QStringLiteral("NUM"));
    EXPECT_EQ(valueOf(parcels.labels[0], QStringLiteral("Visible")), QStringLiteral("True"));
}

TEST_F(DemoProject, OgrinfoReadsTheLayersWithTheirFeatures)
{
    const QString ogrinfo = program(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    struct Case {
        const char *layer;
        const char *geometry;
        int count;
        const char *attribute; // a value ogrinfo must show, Cyrillic text read through the table's code page
    };
    const Case cases[] = {
        {"parcels", "Polygon", 41, "PURPOSE (String) = Для строительства и обслуживания жилого дома"},
        {"buildings", "Polygon", 41, "KIND (String) = Жилой дом"},
        {"roads", "Line String", 7, "NAME (String) = улица Садовая"},
        {"points", "Point", 24, "NAME (String) = 24"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layer);
        const QString shp = data(QString::fromLatin1(c.layer) + QStringLiteral(".shp"));
        const ToolRun summary = run(ogrinfo, {QStringLiteral("-so"), QStringLiteral("-al"), shp});
        ASSERT_EQ(summary.exitCode, 0) << summary.errors.toStdString();
        const QString info = QString::fromUtf8(summary.out);
        EXPECT_TRUE(info.contains(QStringLiteral("Geometry: ") + QLatin1String(c.geometry))) << info.toStdString();
        EXPECT_TRUE(info.contains(QStringLiteral("Feature Count: %1").arg(c.count))) << info.toStdString();
        EXPECT_TRUE(info.contains(QStringLiteral("DATEEDIT: Date"))) << info.toStdString();
        const ToolRun all = run(ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"), shp});
        ASSERT_EQ(all.exitCode, 0) << all.errors.toStdString();
        EXPECT_TRUE(QString::fromUtf8(all.out).contains(u8(c.attribute)));
        EXPECT_FALSE(all.errors.contains(QStringLiteral("ERROR"))) << all.errors.toStdString();
    }
}

TEST_F(DemoProject, ParcelsTileTheirBlocksAndHoldTheirBuildings)
{
    const QString ogrinfo = program(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    auto query = [&](const char *sql) {
        const ToolRun r = run(ogrinfo, {QStringLiteral("-q"), data(QString()), QStringLiteral("-dialect"),
                                        QStringLiteral("SQLite"), QStringLiteral("-sql"), QString::fromUtf8(sql)});
        return QString::fromUtf8(r.out) + r.errors;
    };
    const QString probe = query("SELECT ST_IsValid(ST_GeomFromText('POINT(0 0)')) AS probe");
    if (!probe.contains(QStringLiteral("probe (Integer) = 1")))
        GTEST_SKIP() << "GDAL is built without the spatial SQL functions";

    const QString checks = query(
        "SELECT SUM(ST_IsValid(geometry)) AS valid, COUNT(*) AS n, "
        "SUM(ABS(ST_Area(geometry) / 10000 - AREA) < 0.00006) AS area_ok FROM parcels");
    EXPECT_TRUE(checks.contains(QStringLiteral("valid (Integer) = 41"))) << checks.toStdString();
    EXPECT_TRUE(checks.contains(QStringLiteral("area_ok (Integer) = 41"))) << checks.toStdString();
    const QString overlaps = query(
        "SELECT COUNT(*) AS overlaps FROM parcels a, parcels b WHERE a.ID < b.ID AND ST_Overlaps(a.geometry, b.geometry)");
    EXPECT_TRUE(overlaps.contains(QStringLiteral("overlaps (Integer) = 0"))) << overlaps.toStdString();
    // Six blocks of 120 by 90 metres, covered without gaps.
    const QString cover = query("SELECT CAST(ROUND(ST_Area(ST_Union(geometry))) AS INTEGER) AS covered FROM parcels");
    EXPECT_TRUE(cover.contains(QStringLiteral("covered (Integer) = 64800"))) << cover.toStdString();
    const QString inside = query(
        "SELECT COUNT(*) AS inside FROM buildings b, parcels p WHERE b.ID = p.ID AND ST_Within(b.geometry, p.geometry)");
    EXPECT_TRUE(inside.contains(QStringLiteral("inside (Integer) = 41"))) << inside.toStdString();
}

TEST_F(DemoProject, TextLayerRecordsFollowTheTextRecordLayout)
{
    const QByteArray shp = dataBytes(QStringLiteral("texts.shp"));
    const QByteArray shx = dataBytes(QStringLiteral("texts.shx"));
    const QByteArray dbf = dataBytes(QStringLiteral("texts.dbf"));
    ASSERT_GE(shp.size(), 100);
    ASSERT_GE(shx.size(), 100);
    EXPECT_EQ(le32(shp, 32), 8);
    EXPECT_EQ(be32(shp, 24) * 2, shp.size());
    EXPECT_EQ(be32(shx, 24) * 2, shx.size());
    EXPECT_EQ(shp.mid(0, 24), shx.mid(0, 24));
    EXPECT_EQ(shp.mid(28, 72), shx.mid(28, 72));
    ASSERT_EQ((shx.size() - 100) % 8, 0);
    const int count = static_cast<int>((shx.size() - 100) / 8);
    EXPECT_EQ(le32(dbf, 4), count); // a table row for every object

    int texts = 0, symbols = 0;
    QStringList words;
    double xmin = 1e300, ymin = 1e300, xmax = -1e300, ymax = -1e300;
    qsizetype expectedOffset = 100;
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const qsizetype offset = 2 * qsizetype(be32(shx, 100 + 8 * i));
        const int words16 = be32(shx, 104 + 8 * i);
        ASSERT_EQ(offset, expectedOffset);
        ASSERT_LE(offset + 8 + 2 * words16, shp.size());
        EXPECT_EQ(be32(shp, offset), i + 1);
        EXPECT_EQ(be32(shp, offset + 4), words16);
        const QByteArray c = shp.mid(offset + 8, 2 * words16);
        const int kind = le32(c, 0);
        const int parts = le32(c, 424), points = le32(c, 428);
        EXPECT_EQ(parts, 1);
        ASSERT_GE(points, 1);
        EXPECT_EQ(c.size(), 432 + 4 * parts + 24 * points);
        EXPECT_EQ(le32(c, 432), 0);
        EXPECT_EQ(c[203], '\0'); // a text keeps its terminating zero
        EXPECT_EQ(c[273], '\0'); // so does the font name
        const double x = leDouble(c, 436), y = leDouble(c, 444);
        EXPECT_EQ(le32(c, 452), 0); // W
        EXPECT_EQ(le32(c, 456), 0); // H
        // The box of a new text or symbol: its point widened by 20 map units.
        EXPECT_DOUBLE_EQ(leDouble(c, 360), x - 20);
        EXPECT_DOUBLE_EQ(leDouble(c, 368), y - 20);
        EXPECT_DOUBLE_EQ(leDouble(c, 376), x + 20);
        EXPECT_DOUBLE_EQ(leDouble(c, 384), y + 20);
        xmin = std::min(xmin, x - 20);
        ymin = std::min(ymin, y - 20);
        xmax = std::max(xmax, x + 20);
        ymax = std::max(ymax, y + 20);
        EXPECT_GT(le32(c, 274), 0);  // FontSize
        EXPECT_GT(le32(c, 284), 0);  // TextScale: the size holds at a scale
        EXPECT_EQ(u8At(c, 289), 0);  // no background
        const QString font = platform::fromCp1251(cString(c, 204, 70));
        if (kind == 4) {
            ++texts;
            EXPECT_EQ(font, QStringLiteral("Arial Cyr"));
            const QString text = platform::fromCp1251(cString(c, 4, 200));
            EXPECT_FALSE(text.isEmpty());
            words << text;
            EXPECT_EQ(u8At(c, 290), 0);
        } else {
            EXPECT_EQ(kind, 2);
            ++symbols;
            EXPECT_EQ(font, QStringLiteral("Wingdings"));
            EXPECT_NE(u8At(c, 290), 0); // the symbol character
            EXPECT_TRUE(cString(c, 4, 200).isEmpty());
        }
        expectedOffset = offset + 8 + 2 * words16;
    }
    EXPECT_EQ(expectedOffset, shp.size());
    // Seven street names and six quarter numbers; four symbols.
    EXPECT_EQ(texts, 13);
    EXPECT_EQ(symbols, 4);
    for (const char *name : {"улица Садовая", "улица Центральная", "улица Луговая", "переулок Школьный",
                             "улица Мира", "улица Победы", "переулок Речной", "кв. 001", "кв. 006"})
        EXPECT_TRUE(words.contains(u8(name))) << name;
    EXPECT_DOUBLE_EQ(leDouble(shp, 36), xmin);
    EXPECT_DOUBLE_EQ(leDouble(shp, 44), ymin);
    EXPECT_DOUBLE_EQ(leDouble(shp, 52), xmax);
    EXPECT_DOUBLE_EQ(leDouble(shp, 60), ymax);
}

TEST_F(DemoProject, EveryBuildWritesTheSameBytes)
{
    TempFolder again;
    const ToolRun r = layergen({QStringLiteral("demo"), sourceFile("resources/demo/demo.txt"), again.path()});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const QStringList files = QDir(dir.file(QStringLiteral("demo"))).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 15);
    for (const QString &f : files)
        EXPECT_EQ(dir.read(QStringLiteral("demo/") + f), again.read(QStringLiteral("demo/") + f)) << f.toStdString();
    EXPECT_EQ(tvp, again.read(QStringLiteral("demo.tvp")));
}

TEST(DemoDescription, ASlipIsRefusedNamingItsLineAndNothingIsWritten)
{
    QFile f(sourceFile("resources/demo/demo.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString shipped = QString::fromUtf8(f.readAll());
    struct Case {
        const char *what;
        const char *from;
        const char *to;
        const char *message;
    };
    const Case cases[] = {
        {"misspelt key", "jitter = 3", "jiter = 3", "unknown key \"jiter\""},
        {"street missing", "east-west = улица Луговая", "", "east-west and 4 north-south streets"},
        {"text outside the code page", "owner = ЧП «Добробут»", "owner = 中文", "Windows-1251"},
        {"building too large", "Магазин | 16 | 12", "Магазин | 60 | 12", "does not fit"},
        {"purpose of the whole block unknown", "whole-purpose = Для размещения учреждений образования",
         "whole-purpose = Для отдыха", "not among the purposes"},
        {"label of a field the table lacks", "FieldName = NUM", "FieldName = NOMER", "no field \"NOMER\""},
        // 70 characters: the record's font name field holds 69 and its closing zero.
        {"font name too long for its field", "quarter-font = Arial Cyr",
         "quarter-font = FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
         "longer than 69 characters"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString from = u8(c.from);
        ASSERT_TRUE(shipped.contains(from));
        TempFolder dir;
        QString text = shipped;
        text.replace(from, u8(c.to));
        const QString description = dir.write(QStringLiteral("demo.txt"), text.toUtf8());
        const QString out = dir.file(QStringLiteral("out"));
        const ToolRun r = layergen({QStringLiteral("demo"), description, out});
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.errors.contains(u8(c.message))) << r.errors.toStdString();
        EXPECT_TRUE(r.errors.contains(QStringLiteral("demo.txt:"))) << r.errors.toStdString();
        EXPECT_FALSE(QDir(out).exists());
    }
}
