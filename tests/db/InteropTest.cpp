// Tables travel between this system and other programs: a table GDAL writes
// opens, reads and takes rows here; tables written here read right in GDAL's
// ogrinfo and in python3-dbfread. Each test is skipped when its program is
// missing.

#include "DbTestSupport.h"

#include "platform/Environment.h"
#include "platform/db/Table.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace platform::db;
using namespace dbtest;
using testsupport::TempFolder;

namespace {

// The rows of a dBase file as python3-dbfread reads them (Windows-1251), as JSON.
QJsonArray readWithDbfread(const QString &python, const QString &file)
{
    const QString script = QStringLiteral(
        "import json, sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1251', load=True, ignore_missing_memofile=True)\n"
        "rows = [{k: (v.isoformat() if hasattr(v, 'isoformat') else v) for k, v in r.items()} for r in t.records]\n"
        "print(json.dumps({'fields': t.field_names, 'rows': rows, 'deleted': len(t.deleted)}, ensure_ascii=False, default=str))\n");
    QString errors;
    const QByteArray out = run(python, {QStringLiteral("-c"), script, file}, &errors);
    EXPECT_FALSE(out.isNull()) << errors.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(out).object();
    return QJsonArray{o.value(QStringLiteral("fields")), o.value(QStringLiteral("rows")), o.value(QStringLiteral("deleted"))};
}

} // namespace

TEST(Interop, ATableWrittenByGdalOpensReadsAndTakesRows)
{
    const QString ogr2ogr = program(QStringLiteral("ogr2ogr"));
    const QString ogrinfo = program(QStringLiteral("ogrinfo"));
    if (ogr2ogr.isEmpty() || ogrinfo.isEmpty())
        GTEST_SKIP() << "ogr2ogr or ogrinfo is not installed (gdal-bin)";
    TempFolder dir;
    dir.write(QStringLiteral("in.geojson"), u8(R"({"type":"FeatureCollection","features":[
{"type":"Feature","geometry":null,"properties":{"ID":1,"STREET":"Шевченка","AREA":12.5,"DATEEDIT":"2024-01-15","ACTIVE":true}},
{"type":"Feature","geometry":null,"properties":{"ID":2,"STREET":"ФРАНКА Івана","AREA":3.25,"DATEEDIT":"2023-12-01","ACTIVE":false}}
]})").toUtf8());
    QString errors;
    ASSERT_FALSE(run(ogr2ogr, {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"), QStringLiteral("-lco"),
                               QStringLiteral("ENCODING=CP1251"), dir.file(QStringLiteral("gdal.dbf")),
                               dir.file(QStringLiteral("in.geojson"))},
                     &errors)
                     .isNull())
        << errors.toStdString();

    {
        Table t;
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("GDAL.DBF"));
        t.open();
        ASSERT_EQ(t.recordCount(), 2);
        EXPECT_TRUE(isNumericType(t.fieldByName(u"ID").dataType())); // ID fields come out numeric
        EXPECT_EQ(t.fieldByName(u"ID").dataType(), FieldType::Integer);
        EXPECT_EQ(t.fieldByName(u"AREA").dataType(), FieldType::Float);
        EXPECT_EQ(t.fieldByName(u"DATEEDIT").dataType(), FieldType::Date);
        EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("Шевченка"));
        EXPECT_DOUBLE_EQ(t.fieldByName(u"AREA").asFloat(), 12.5);
        EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2024, 1, 15));
        EXPECT_EQ(t.fieldByName(u"ACTIVE").asInteger(), 1);
        EXPECT_TRUE(t.locate(QStringLiteral("STREET"), u8("франка івана")));
        EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 2);

        t.append();
        t.fieldByName(u"ID").setAsInteger(t.recordCount() + 1);
        t.fieldByName(u"STREET").setAsString(u8("Лесі Українки"));
        t.fieldByName(u"AREA").setAsString(QStringLiteral("7,125"));
        t.fieldByName(u"DATEEDIT").setAsDate(QDate(2024, 5, 17));
        t.fieldByName(u"ACTIVE").setAsBoolean(true);
        t.post();
        t.setRecNo(1);
        t.edit();
        t.fieldByName(u"STREET").setAsString(u8("Шевченка Т."));
        t.post();
    }

    // The table alone: with the ".shp" beside it GDAL would count the shapes.
    QFile::remove(dir.file(QStringLiteral("gdal.shp")));
    QFile::remove(dir.file(QStringLiteral("gdal.shx")));
    const QString info = QString::fromUtf8(run(ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"),
                                                         dir.file(QStringLiteral("gdal.dbf"))}, &errors));
    ASSERT_FALSE(info.isEmpty()) << errors.toStdString();
    EXPECT_TRUE(info.contains(u8("STREET (String) = Лесі Українки"))) << info.toStdString();
    EXPECT_TRUE(info.contains(u8("STREET (String) = Шевченка Т."))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("ID (Integer) = 3")));
    EXPECT_TRUE(info.contains(QStringLiteral("DATEEDIT (Date) = 2024/05/17")));
    EXPECT_TRUE(info.contains(QStringLiteral("AREA (Real) = 7.125")));
    EXPECT_EQ(info.count(QStringLiteral("OGRFeature(")), 3);
}

TEST(Interop, TablesWrittenHereReadInOgrinfo)
{
    const QString ogrinfo = program(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    TempFolder dir;
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("made.dbf"));
    t.addFieldDef(QStringLiteral("NAME"), FieldType::String, 30);
    t.addFieldDef(QStringLiteral("NUM"), FieldType::Integer);
    t.addFieldDef(QStringLiteral("AREA"), FieldType::Float, 14, 3);
    t.addFieldDef(QStringLiteral("DAY"), FieldType::Date);
    t.addFieldDef(QStringLiteral("FLAG"), FieldType::Boolean);
    t.createTable();
    t.open();
    t.append();
    t.fieldByName(u"NAME").setAsString(u8("Ґрунт «Їжак» №5"));
    t.fieldByName(u"NUM").setAsInteger(-17);
    t.fieldByName(u"AREA").setAsFloat(1234.5678);
    t.fieldByName(u"DAY").setAsDate(QDate(1999, 12, 31));
    t.fieldByName(u"FLAG").setAsBoolean(true);
    t.post();
    t.append();
    t.post(); // a blank row
    t.close();

    QString errors;
    const QString info = QString::fromUtf8(run(ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"),
                                                         dir.file(QStringLiteral("made.dbf"))}, &errors));
    ASSERT_FALSE(info.isEmpty()) << errors.toStdString();
    EXPECT_TRUE(info.contains(u8("NAME (String) = Ґрунт «Їжак» №5"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("NUM (Integer64) = -17")) || info.contains(QStringLiteral("NUM (Integer) = -17")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("FLAG (String) = T"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("AREA (Real) = 1234.568"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("DAY (Date) = 1999/12/31"))) << info.toStdString();
    EXPECT_EQ(info.count(QStringLiteral("OGRFeature(")), 2);
}

TEST(Interop, RowsAppendedHereReadInDbfread)
{
    const QString python = pythonWithDbfread();
    if (python.isEmpty())
        GTEST_SKIP() << "python3-dbfread is not installed";
    TempFolder dir;
    // The structure editor's empty file, then rows through the engine, one deleted.
    dir.write(QStringLiteral("new.dbf"),
              dbfFile({{"NAME", 'C', 20, 0}, {"NUM", 'N', 8, 2}, {"DAY", 'D', 8, 0}, {"OK", 'L', 1, 0}}, {}));
    platform::ScopedService<platform::Clock> clock(QDateTime(QDate(2024, 5, 17), QTime(9, 0)));
    {
        Table t;
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("new.dbf"));
        t.open();
        const struct {
            const char *name;
            double num;
            QDate day;
            bool ok;
        } rows[] = {{"Шевченка", 1.5, QDate(2024, 1, 2), true},
                    {"Видалений", 2, QDate(), false},
                    {"ЇЖАК", -3.25, QDate(2000, 2, 29), false}};
        for (const auto &r : rows) {
            t.append();
            t.fieldByName(u"NAME").setAsString(u8(r.name));
            t.fieldByName(u"NUM").setAsFloat(r.num);
            if (r.day.isValid())
                t.fieldByName(u"DAY").setAsDate(r.day);
            t.fieldByName(u"OK").setAsBoolean(r.ok);
            t.post();
        }
        t.setRecNo(2);
        t.deleteRecord();
    }
    const QJsonArray result = readWithDbfread(python, dir.file(QStringLiteral("new.dbf")));
    ASSERT_EQ(result.size(), 3);
    EXPECT_EQ(result[0].toArray().size(), 4);
    const QJsonArray rows = result[1].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(result[2].toInt(), 1);
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("NAME")).toString(), u8("Шевченка"));
    EXPECT_DOUBLE_EQ(rows[0].toObject().value(QStringLiteral("NUM")).toDouble(), 1.5);
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("DAY")).toString(), QStringLiteral("2024-01-02"));
    EXPECT_TRUE(rows[0].toObject().value(QStringLiteral("OK")).toBool());
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("NAME")).toString(), u8("ЇЖАК"));
    EXPECT_DOUBLE_EQ(rows[1].toObject().value(QStringLiteral("NUM")).toDouble(), -3.25);
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("DAY")).toString(), QStringLiteral("2000-02-29"));
    EXPECT_FALSE(rows[1].toObject().value(QStringLiteral("OK")).toBool());
}
