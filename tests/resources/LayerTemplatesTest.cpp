// The layer templates of the program folder's "Default" folder: for each kind
// of new layer an empty shapefile triple whose header gives the shape type the
// program reads back, and a table with the fields the program fills. Checked at
// literal offsets and, where GDAL knows the shape type, by ogrinfo.

#include "ResourceTestSupport.h"

#include "platform/TextCodec.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

using namespace restest;
using testsupport::TempFolder;

namespace {

struct Field {
    const char *name;
    char type;
    int length;
    int decimals;
};

struct Template {
    const char *name;
    int shapeType;
    const char *ogrGeometry; // nullptr: a type of the system's own, unknown to GDAL
    std::vector<Field> fields;
};

const Field kId{"ID", 'N', 9, 0};
const Field kName{"NAME", 'C', 100, 0};
const Field kDate{"DATEEDIT", 'D', 8, 0};

const std::vector<Template> &templates()
{
    static const std::vector<Template> list = {
        {"point", 1, "Point", {kId, kName, kDate}},
        {"polyline", 3, "Line String", {kId, kName, kDate}},
        {"polygon", 5, "Polygon", {kId, kName, kDate}},
        {"cosmetic", 8, nullptr, {kId, kDate}},
        // Tracks: the tracker's phone, its position request and its 8-character unit number.
        {"navigating", 3, "Line String", {kId, kName, {"PHONE", 'C', 20, 0}, {"REQUEST", 'C', 160, 0},
                                          {"NUM", 'C', 8, 0}, kDate}},
        {"image", 10, nullptr, {kId, kDate}},
        // The In4 import names each parcel's file under "FileName".
        {"in4", 5, "Polygon", {kId, {"FILENAME", 'C', 254, 0}, kDate}},
    };
    return list;
}

class LayerTemplates : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ToolRun r = layergen({QStringLiteral("templates"), sourceFile("resources/layers/templates.txt"),
                                dir.path()});
        ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    }
    QByteArray file(const Template &t, const char *ext) const
    {
        return dir.read(QString::fromLatin1(t.name) + u'.' + QLatin1String(ext));
    }
    TempFolder dir;
};

QString ogrType(char type)
{
    switch (type) {
    case 'C': return QStringLiteral("String");
    case 'N': return QStringLiteral("Integer");
    default: return QStringLiteral("Date");
    }
}

} // namespace

TEST_F(LayerTemplates, MainAndIndexFileAreAnEmptyHeaderOfTheKindsShapeType)
{
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.name);
        for (const char *ext : {"shp", "shx"}) {
            const QByteArray b = file(t, ext);
            ASSERT_EQ(b.size(), 100) << ext;
            EXPECT_EQ(be32(b, 0), 9994);
            EXPECT_EQ(b.mid(4, 20), QByteArray(20, '\0'));
            EXPECT_EQ(be32(b, 24), 50); // the file length in 16-bit words: the header alone
            EXPECT_EQ(le32(b, 28), 1000);
            EXPECT_EQ(le32(b, 32), t.shapeType);
            EXPECT_EQ(b.mid(36, 64), QByteArray(64, '\0')); // box and Z/M ranges zero
        }
    }
}

TEST_F(LayerTemplates, TablesAreEmptyDbaseTablesWithTheFieldsOfTheirKind)
{
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.name);
        const QByteArray b = file(t, "dbf");
        const int n = static_cast<int>(t.fields.size());
        ASSERT_EQ(b.size(), 32 + 32 * n + 1 + 1);
        EXPECT_EQ(u8At(b, 0), 0x03);       // dBase III without memo
        EXPECT_EQ(le32(b, 4), 0);          // no rows
        EXPECT_EQ(le16(b, 8), 32 + 32 * n + 1);
        EXPECT_EQ(u8At(b, 29), 0xC9);      // the Windows-1251 mark
        int recordLength = 1;
        for (int i = 0; i < n; ++i) {
            const Field &f = t.fields[static_cast<size_t>(i)];
            const qsizetype at = 32 + 32 * i;
            EXPECT_EQ(cString(b, at, 11), QByteArray(f.name));
            EXPECT_EQ(b[at + 11], f.type) << f.name;
            EXPECT_EQ(u8At(b, at + 16), f.length) << f.name;
            EXPECT_EQ(u8At(b, at + 17), f.decimals) << f.name;
            recordLength += f.length;
        }
        EXPECT_EQ(le16(b, 10), recordLength);
        EXPECT_EQ(b[32 + 32 * n], '\x0D');
        EXPECT_EQ(b[32 + 32 * n + 1], '\x1A');
    }
}

TEST_F(LayerTemplates, OgrinfoOpensTheLayersAndTheirTables)
{
    const QString ogrinfo = program(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    TempFolder alone;
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.name);
        const QString name = QString::fromLatin1(t.name);
        QString target;
        if (t.ogrGeometry) {
            target = dir.file(name + QStringLiteral(".shp"));
        } else {
            // GDAL takes shape type 8 for another kind; the table alone opens.
            target = alone.write(name + QStringLiteral(".dbf"), file(t, "dbf"));
        }
        const ToolRun r = run(ogrinfo, {QStringLiteral("-so"), QStringLiteral("-al"), target});
        ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
        const QString info = QString::fromUtf8(r.out);
        if (t.ogrGeometry) {
            EXPECT_TRUE(info.contains(QStringLiteral("Geometry: ") + QLatin1String(t.ogrGeometry))) << info.toStdString();
        }
        EXPECT_TRUE(info.contains(QStringLiteral("Feature Count: 0"))) << info.toStdString();
        for (const Field &f : t.fields) {
            const QString line = QStringLiteral("%1: %2 (%3.%4)")
                                     .arg(QLatin1String(f.name), ogrType(f.type))
                                     .arg(f.type == 'D' ? 10 : f.length)
                                     .arg(f.decimals);
            EXPECT_TRUE(info.contains(line)) << line.toStdString() << "\n" << info.toStdString();
        }
    }
}
