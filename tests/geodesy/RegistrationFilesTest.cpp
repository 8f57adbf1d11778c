// Registration files: what the registration form writes and reads back, what
// the open-image command makes of them, and the numbers that must come back
// whole.

#include "geodesy/RegistrationFiles.h"

#include "platform/IniFile.h"
#include "support/GdalTools.h"
#include "support/TestFiles.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>

#include <cmath>

#include <gtest/gtest.h>

using namespace georef;
using testsupport::TempFolder;

namespace {

std::function<bool(int &, int &)> sized(int w, int h)
{
    return [w, h](int &width, int &height) {
        width = w;
        height = h;
        return true;
    };
}

} // namespace

TEST(RegistrationFiles, WorldFileWrittenFromTwoPointsAndReadBack)
{
    TempFolder dir;
    const std::vector<RegPoint> points = {{QStringLiteral("Pt 1"), 1000, 2000, 0, 0},
                                          {QStringLiteral("Pt 2"), 1100, 1950, 100, 50}};
    const QString world = dir.file(QStringLiteral("x.tifw"));
    EXPECT_EQ(exportControlPoints(world, QStringLiteral("x.tif"), points, 100, 50), QString());
    // The middle of the top-left pixel, half a pixel from its corner.
    EXPECT_EQ(dir.read(QStringLiteral("x.tifw")), QByteArray("1\r\n0\r\n0\r\n-1\r\n1000.5\r\n1999.5\r\n"));

    const RegImport back = importControlPoints(world, 0, sized(100, 50));
    EXPECT_TRUE(back.error.isEmpty());
    EXPECT_EQ(back.points, points);
    // Imported points are numbered after those the list holds.
    EXPECT_EQ(importControlPoints(world, 3, sized(100, 50)).points[1].Label, QStringLiteral("Pt 5"));
}

TEST(RegistrationFiles, EveryKindKeepsEveryDigit)
{
    // Six significant digits would write 6.5e+06 and move the sheet by half
    // a metre.
    const std::vector<RegPoint> points = {{QStringLiteral("Крест 1"), 6500000.5, 5400000.25, 0, 0},
                                          {QStringLiteral("Крест 2"), 6500125.5, 5399800.25, 1000, 1600},
                                          {QStringLiteral("Крест 3"), 6500000.5, 5399800.25, 0, 1600}};
    for (const char *name : {"sheet.tab", "sheet.rtr", "sheet.jpgw"}) {
        SCOPED_TRACE(name);
        TempFolder dir;
        const QString file = dir.file(QString::fromLatin1(name));
        ASSERT_EQ(exportControlPoints(file, QStringLiteral("/data/sheet.jpg"), points, 1000, 1600), QString());
        const RegImport back = importControlPoints(file, 0, sized(1000, 1600));
        ASSERT_TRUE(back.error.isEmpty());
        if (regFileKind(file) == RegFileKind::World) {
            // A world file keeps the corner and the scale: the picture's
            // corners come back.
            ASSERT_EQ(back.points.size(), 2u);
            EXPECT_EQ(back.points[0], (RegPoint{QStringLiteral("Pt 1"), 6500000.5, 5400000.25, 0, 0}));
            EXPECT_EQ(back.points[1], (RegPoint{QStringLiteral("Pt 2"), 6500125.5, 5399800.25, 1000, 1600}));
            continue;
        }
        EXPECT_EQ(back.points, points);
    }
    EXPECT_EQ(regNumber(6500000.5), QStringLiteral("6500000.5"));
    EXPECT_EQ(regNumber(-0.000083333333333333), QStringLiteral("-8.3333333333333e-05"));
}

TEST(RegistrationFiles, RtrCountsRowsUpwardAndKeepsOtherKeys)
{
    TempFolder dir;
    const QString rtr = dir.write(QStringLiteral("a.rtr"), "[Other]\r\nKeep=1\r\n[Tics]\r\nNumber=5\r\nTic4Coord=1 2 3 4\r\n");
    ASSERT_EQ(exportControlPoints(rtr, QStringLiteral("a.bmp"), {{QStringLiteral("Pt 1"), 1000, 2000, 7, 10}}, 80, 50),
              QString());
    platform::IniFile ini(rtr);
    EXPECT_EQ(ini.readString(u"Tics", u"Tic0Coord", {}), QStringLiteral("7 40 1000 2000"));
    EXPECT_EQ(ini.readString(u"Tics", u"Number", {}), QStringLiteral("1"));
    EXPECT_FALSE(ini.valueExists(u"Tics", u"Tic4Coord"));
    EXPECT_EQ(ini.readString(u"Other", u"Keep", {}), QStringLiteral("1"));
    EXPECT_EQ(ini.readString(u"Source Image", u"File Name", {}), QStringLiteral("a.bmp"));

    const RegImport back = importControlPoints(rtr, 0, {});
    ASSERT_EQ(back.points.size(), 1u);
    EXPECT_EQ(back.points[0].Row, 10);

    // The open command reads the same file as text.
    const OpenedRegistration opened = readRtrForOpen(dir.read(QStringLiteral("a.rtr")));
    EXPECT_EQ(opened.picture, QStringLiteral("a.bmp"));
    EXPECT_EQ(opened.width, 80);
    EXPECT_EQ(opened.height, 50);
    ASSERT_EQ(opened.points.size(), 1u);
    EXPECT_EQ(opened.points[0].Row, 10);
    EXPECT_EQ(opened.points[0].Column, 7);
    EXPECT_EQ(opened.points[0].X, 1000);
}

TEST(RegistrationFiles, RtrCountBeyondItsKeysReadsOnlyWhatIsThere)
{
    TempFolder dir;
    const QString rtr = dir.write(QStringLiteral("b.rtr"),
                                  "[Size]\nHeight=50\n[Tics]\nNumber=2000000000\nTic0Coord=5  45 1 2\n");
    const RegImport back = importControlPoints(rtr, 0, {});
    // Number and the one coordinate: two keys, no more points than that.
    ASSERT_LE(back.points.size(), 2u);
    EXPECT_EQ(back.points[0].Column, 5);
    EXPECT_EQ(back.points[0].Row, 5);
    EXPECT_EQ(back.points[0].Y, 2);
}

TEST(RegistrationFiles, TabOfTheFormReadByTheOpenCommandEitherWay)
{
    const std::vector<RegPoint> points = {{QStringLiteral("A"), 311000.5, 5400000.25, 0, 0},
                                          {QStringLiteral("B"), 311100, 5399950, 100, 50}};
    const QByteArray tab = tabFileText(QStringLiteral("плане.jpg"), points);
    EXPECT_TRUE(tab.startsWith("!table\r\n!version 300\r\n!charset WindowsCyrillic\r\n\r\nDefinition Table\r\n"));
    EXPECT_TRUE(tab.contains("  (311000.5,5400000.25) (0,0) Label \"A\",\r\n  (311100,5399950) (100,50) Label \"B\"\r\n"));

    const OpenedRegistration xy = readTabForOpen(tab, true);
    EXPECT_EQ(xy.picture, QStringLiteral("плане.jpg"));
    ASSERT_EQ(xy.points.size(), 2u);
    EXPECT_EQ(xy.points[0].X, 311000.5);
    EXPECT_EQ(xy.points[0].Y, 5400000.25);
    EXPECT_EQ(xy.points[1].Column, 100);
    EXPECT_EQ(xy.points[1].Row, 50);
    const OpenedRegistration yx = readTabForOpen(tab, false);
    EXPECT_EQ(yx.points[0].X, 5400000.25);
    EXPECT_EQ(yx.points[0].Y, 311000.5);
}

TEST(RegistrationFiles, WorldFileFailuresAreSaid)
{
    TempFolder dir;
    // A line that is no number stops the form's import with its message.
    const QString bad = dir.write(QStringLiteral("bad.tfw"), "1\n0\n0\n-1\nabc\n2000\n");
    EXPECT_EQ(importControlPoints(bad, 0, sized(10, 10)).error,
              QStringLiteral("'abc' is not a valid floating point value"));
    // So does one that is no finite number; pixels of no size are no
    // placement either.
    const QString nan = dir.write(QStringLiteral("nan.tfw"), "1\n0\n0\n-1\nNaN\n2000\n");
    EXPECT_EQ(importControlPoints(nan, 0, sized(10, 10)).error, QStringLiteral("'NaN' is not a valid floating point value"));
    const QString flat = dir.write(QStringLiteral("flat.tfw"), "0\n0\n0\n-1\n1000\n2000\n");
    const RegImport none = importControlPoints(flat, 0, sized(10, 10));
    EXPECT_EQ(none.error, QStringLiteral("Неверный формат файла ") + flat);
    EXPECT_TRUE(none.points.empty());

    // The open command places no sheet from anything but six numbers with
    // pixels of a size.
    const char *notPlacing[] = {"1\n0\n0\n-1\nabc\n2000\n", "1e999\n0\n0\n-1\n1000\n2000\n",
                             "1\n0\n0\n-1\nNaN\n2000\n",   "1\n0\n0\n-inf\n1000\n2000\n",
                             "0\n0\n0\n-1\n1000\n2000\n",    "1\n0\n0\n0\n1000\n2000\n",
                             "1\n0\n0\n-1\n5\n",              "1\n0\n\n0\n-1\n5\n",
                             ""};
    for (const char *text : notPlacing)
        EXPECT_FALSE(readWorldPlacement(text).has_value()) << text;
    // Blank lines, a decimal comma and lines after the sixth are taken.
    const std::optional<WorldPlacement> read = readWorldPlacement("0,5\r\n0\r\n0\r\n-0.5\r\n1000\r\n\r\n2000\r\nx\r\n");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->A, 0.5);
    EXPECT_EQ(read->F, 2000);

    // Points on one column, one point, no point: the message, nothing written.
    const std::vector<std::vector<RegPoint>> refused = {
        {{QStringLiteral("1"), 0, 0, 5, 0}, {QStringLiteral("2"), 10, 10, 5, 9}},
        {{QStringLiteral("1"), 0, 0, 5, 0}},
        {}};
    for (const auto &points : refused) {
        EXPECT_EQ(exportControlPoints(dir.file(QStringLiteral("out.bmpw")), QStringLiteral("out.bmp"), points, 9, 9),
                  collinearPointsMessage());
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("out.bmpw"))));
    }
}

TEST(RegistrationFiles, PictureNamesOfWorldFilesFoundWithoutRegardToCase)
{
    TempFolder dir;
    dir.write(QStringLiteral("x.tif"), "I");
    struct Case {
        const char *world, *picture;
    } cases[] = {
        {"x.tfw", "x.tif"},     // x.TIF derived, the file on disk is x.tif
        {"y.sdw", "y.SID"},     // no such file: the derived name stands
        {"y.jpgw", "y.jpg"},
        {"y.JGW", "y.JPG"},
        {"y.tiffw", "y.tiff"},
        {"y.gfw", "y.GIF"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.world);
        const QString world = dir.file(QString::fromLatin1(c.world));
        EXPECT_TRUE(isWorldFileName(world));
        EXPECT_EQ(worldFilePictureName(world), dir.file(QString::fromLatin1(c.picture)));
    }
    EXPECT_FALSE(isWorldFileName(QStringLiteral("/a.b/x.tab")));
    EXPECT_EQ(regFileKind(QStringLiteral("/p/A.TFW")), RegFileKind::World);
    EXPECT_EQ(regFileKind(QStringLiteral("/p/a.txt")), RegFileKind::None);
}

TEST(RegistrationFiles, BareNamesCompletedByTheFolderOutsideTheWorkFolder)
{
    EXPECT_EQ(completePictureName(QStringLiteral("s.tif"), QStringLiteral("/scans/s.tab"), QStringLiteral("/work")),
              QStringLiteral("/scans/s.tif"));
    EXPECT_EQ(completePictureName(QStringLiteral("s.tif"), QStringLiteral("/Work/s.tab"), QStringLiteral("/work")),
              QStringLiteral("s.tif"));
    EXPECT_EQ(completePictureName(QStringLiteral("/a/s.tif"), QStringLiteral("/scans/s.tab"), QStringLiteral("/work")),
              QStringLiteral("/a/s.tif"));
}

TEST(RegistrationFiles, AWorldFileNamesTheMiddleOfTheTopLeftPixel)
{
    // 0.25 m pixels, the picture's corner on (5400140, 1299980): the file
    // names (5400140.125, 1299979.875), and the control points the corner.
    const std::optional<WorldPlacement> world =
        readWorldPlacement("0.25\n0\n0\n-0.25\n5400140.125\n1299979.875\n");
    ASSERT_TRUE(world.has_value());
    const std::vector<OpenedPoint> corners = worldFileCorners(*world, 100, 50);
    ASSERT_EQ(corners.size(), 2u);
    EXPECT_EQ(corners[0].X, 5400140);
    EXPECT_EQ(corners[0].Y, 1299980);
    EXPECT_EQ(corners[0].Column, 0);
    EXPECT_EQ(corners[1].X, 5400165);
    EXPECT_EQ(corners[1].Y, 1299967.5);
    EXPECT_EQ(corners[1].Row, 50);
}

TEST(RegistrationFiles, WorldFilesAsAnotherProgramWritesAndReadsThem)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gdal_create")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("gdalinfo")).isEmpty())
        GTEST_SKIP() << "GDAL's tools are not installed";
    TempFolder dir;
    // GDAL writes the world file of a picture whose corner is (5400140, 1299980).
    const testsupport::ToolRun made = testsupport::runTool(
        QStringLiteral("gdal_create"),
        {QStringLiteral("-of"), QStringLiteral("GTiff"), QStringLiteral("-outsize"), QStringLiteral("100"),
         QStringLiteral("50"), QStringLiteral("-bands"), QStringLiteral("1"), QStringLiteral("-a_ullr"),
         QStringLiteral("5400140"), QStringLiteral("1299980"), QStringLiteral("5400165"), QStringLiteral("1299967.5"),
         QStringLiteral("-co"), QStringLiteral("TFW=YES"), QStringLiteral("sheet.tif")},
        dir.path());
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const RegImport in = importControlPoints(dir.file(QStringLiteral("sheet.tfw")), 0, sized(100, 50));
    ASSERT_TRUE(in.error.isEmpty());
    ASSERT_EQ(in.points.size(), 2u);
    EXPECT_NEAR(in.points[0].X, 5400140, 1e-6);
    EXPECT_NEAR(in.points[0].Y, 1299980, 1e-6);
    EXPECT_NEAR(in.points[1].X, 5400165, 1e-6);
    EXPECT_NEAR(in.points[1].Y, 1299967.5, 1e-6);

    // GDAL reads the world file written for a picture without placement of
    // its own, placed by the same corners, to the same corners.
    const testsupport::ToolRun plain = testsupport::runTool(
        QStringLiteral("gdal_create"),
        {QStringLiteral("-of"), QStringLiteral("GTiff"), QStringLiteral("-outsize"), QStringLiteral("100"),
         QStringLiteral("50"), QStringLiteral("-bands"), QStringLiteral("1"), QStringLiteral("plain.tif")},
        dir.path());
    ASSERT_EQ(plain.code, 0) << plain.err.toStdString();
    const std::vector<RegPoint> points = {{QStringLiteral("Pt 1"), 5400140, 1299980, 0, 0},
                                          {QStringLiteral("Pt 2"), 5400165, 1299967.5, 100, 50}};
    ASSERT_EQ(exportControlPoints(dir.file(QStringLiteral("plain.tfw")), QStringLiteral("plain.tif"), points, 100, 50),
              QString());
    const testsupport::ToolRun info =
        testsupport::runTool(QStringLiteral("gdalinfo"), {QStringLiteral("-json"), QStringLiteral("plain.tif")}, dir.path());
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const QJsonObject corners = QJsonDocument::fromJson(info.out.toUtf8()).object()[QStringLiteral("cornerCoordinates")].toObject();
    const QJsonArray upperLeft = corners[QStringLiteral("upperLeft")].toArray();
    const QJsonArray lowerRight = corners[QStringLiteral("lowerRight")].toArray();
    ASSERT_EQ(upperLeft.size(), 2) << info.out.toStdString();
    EXPECT_NEAR(upperLeft[0].toDouble(), 5400140, 1e-6);
    EXPECT_NEAR(upperLeft[1].toDouble(), 1299980, 1e-6);
    EXPECT_NEAR(lowerRight[0].toDouble(), 5400165, 1e-6);
    EXPECT_NEAR(lowerRight[1].toDouble(), 1299967.5, 1e-6);
}

TEST(RegistrationFiles, TabAndRtrPointsOfValuesThatAreNoNumbersPlaceNothing)
{
    TempFolder dir;
    const struct {
        const char *name, *text;
    } damaged[] = {
        {"a.tab", "Definition Table\n  File \"a.tif\"\n  (1000,2000) (0,0) Label \"1\",\n  (abc,2000) (10,10) Label \"2\"\n"},
        {"b.tab", "Definition Table\n  File \"b.tif\"\n  (1000,2000) (0,0) Label \"1\",\n  (1010,1e999) (10,10) Label \"2\"\n"},
        {"c.tab", "Definition Table\n  File \"c.tif\"\n  (1000,2000) (x,0) Label \"1\"\n"},
        {"d.rtr", "[Source Image]\nWidth=10\nHeight=10\nFile Name=d.tif\n[Size]\nHeight=10\n[Tics]\nNumber=2\n"
                  "Tic0Coord=0 10 1000 2000\nTic1Coord=10 0 NaN 1990\n"},
        {"e.rtr", "[Source Image]\nWidth=10\nHeight=10\nFile Name=e.tif\n[Size]\nHeight=10\n[Tics]\nNumber=1\n"
                  "Tic0Coord=0 10 1000\n"},
    };
    for (const auto &d : damaged) {
        SCOPED_TRACE(d.name);
        const QString file = dir.write(QString::fromLatin1(d.name), d.text);
        // The open command.
        const OpenedRegistration opened = QByteArray(d.name).endsWith(".tab") ? readTabForOpen(d.text, true)
                                                                              : readRtrForOpen(d.text);
        EXPECT_TRUE(opened.damaged);
        EXPECT_TRUE(opened.points.empty());
        // The registration form.
        const RegImport imported = importControlPoints(file, 0, {});
        EXPECT_EQ(imported.error, QStringLiteral("Неверный формат файла ") + file);
        EXPECT_TRUE(imported.points.empty());
    }
    // Numbers read whole: a decimal pixel is rounded, not refused.
    const OpenedRegistration fine = readTabForOpen("  (1000.5,2000) (10.4,20.6) Label \"1\"\n", true);
    EXPECT_FALSE(fine.damaged);
    ASSERT_EQ(fine.points.size(), 1u);
    EXPECT_EQ(fine.points[0].Column, 10);
    EXPECT_EQ(fine.points[0].Row, 21);
}
