// Raster objects on the map control: appending, reading and writing their
// records, measuring and placing a new picture, and drawing pictures in
// their boxes, registered to the map at every scale.

#include "EngineFixtures.h"
#include "raster/TiffBuilder.h"

#include "mapengine/RenderJob.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/db/Table.h"
#include "platform/gdi/RecordingCanvas.h"
#include "raster/ImagingRoutines.h"
#include "support/GdalTools.h"
#include "support/ScriptedAnswers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace maptest;

namespace {

// A picture of 2 control points: pixel (0, 0) on (x, y), the far corner on
// (x + width / 4, y - height / 4).
TRasterObject sheet(const QString &name, double x, double y, std::int32_t width = 100, std::int32_t height = 50)
{
    TRasterObject r;
    r.ImageName = name;
    r.ImageWidth = width;
    r.ImageHeight = height;
    r.Points = {{x, y, 0, 0}, {x + width / 4.0, y - height / 4.0, width, height}};
    raster::fitRasterToControlPoints(r);
    return r;
}

std::vector<fixtures::Pt> pointsOf(const TRasterObject &r)
{
    std::vector<fixtures::Pt> p;
    for (const TControlPoint &c : r.Points)
        p.push_back({c.X, c.Y, c.Column, c.Row});
    return p;
}

// The record's content as the fixtures build it, byte by byte.
QByteArray contentOf(const TRasterObject &r)
{
    return fixtures::rasterContent(10, {r.XMin, r.YMin, r.XMax, r.YMax}, r.ImageName.toLatin1(), 0, r.ImageWidth,
                                   r.ImageHeight, pointsOf(r));
}

std::int32_t be32(const QByteArray &b, qsizetype at)
{
    return static_cast<std::int32_t>(static_cast<unsigned char>(b[at]) << 24 | static_cast<unsigned char>(b[at + 1]) << 16 |
                                     static_cast<unsigned char>(b[at + 2]) << 8 | static_cast<unsigned char>(b[at + 3]));
}

struct RasterProject : EngineProject {
    platform::ScopedService<platform::Clock> clock{QDateTime(QDate(2025, 5, 17), QTime(10, 0))};

    RasterProject() { map.SetProgramDir(testsupport::programFolder()); }

    std::vector<QStringList> rows(const QString &table)
    {
        platform::db::Table t;
        t.setDatabaseName(dir.path());
        t.setTableName(table);
        t.open();
        std::vector<QStringList> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back({t.fieldByName(u"ID").asString(), t.fieldByName(u"DATEEDIT").asString()});
        return out;
    }
};

// Imaging routines that record what they are asked and know every picture
// as 640 × 480 at 300 dpi.
class RecordingImaging : public raster::ImagingRoutines {
public:
    bool GetImageFileInfo(QObject *, const QString &fileName, std::int32_t &width, std::int32_t &height,
                          std::int32_t &divisorX, std::int32_t &divisorY) override
    {
        calls << QStringLiteral("info ") + platform::extractFileName(fileName);
        width = 640;
        height = 480;
        divisorX = divisorY = raster::sheetPixelsPerMetre(300);
        return true;
    }
    bool DrawImageWithLead(QObject *, Canvas &, const raster::ImageDrawing &d) override
    {
        calls << QStringLiteral("lead ") + platform::extractFileName(d.fileName);
        last = d;
        return true;
    }
    bool DrawMultiResolutionImage(QObject *, Canvas &, const raster::ImageDrawing &d) override
    {
        calls << QStringLiteral("multi ") + platform::extractFileName(d.fileName);
        last = d;
        return true;
    }
    QStringList calls;
    raster::ImageDrawing last;

private:
    platform::ScopedService<raster::ImagingRoutines> installed_{*this};
};

// A TIFF of width × height whose pixel (c, r) holds its own place: red the
// column's low byte, green the row's, blue their high bits.
QByteArray placeCodedTiff(std::uint32_t width, std::uint32_t height)
{
    QByteArray pixels;
    for (std::uint32_t r = 0; r < height; ++r)
        for (std::uint32_t c = 0; c < width; ++c) {
            pixels.append(static_cast<char>(c & 0xFF));
            pixels.append(static_cast<char>(r & 0xFF));
            pixels.append(static_cast<char>((c >> 8 & 0xF) | (r >> 8 & 0xF) << 4));
        }
    return tifftest::file(tifftest::Picture{width, height, 2, {8, 8, 8}, 5, 16, 2, {}, pixels});
}

} // namespace

TEST(MapRasters, AppendedObjectsReadBackByteForByte)
{
    RasterProject p;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    const TRasterObject first = sheet(QStringLiteral("a.tiff"), 1000, 2000);
    const TRasterObject second = sheet(QStringLiteral("C:\\scans\\b.tif"), 1100, 2000, 200, 100);
    ASSERT_TRUE(p.map.AppendRasterObject(first));
    ASSERT_TRUE(p.map.AppendRasterObject(second));

    // Records 1 and 2 at words 50 and 50 + 165 + 4, after 8-byte headers.
    const QByteArray shp = p.dir.read(QStringLiteral("sheets.shp"));
    const QByteArray shx = p.dir.read(QStringLiteral("sheets.shx"));
    ASSERT_EQ(shp.size(), 100 + 2 * (8 + 330));
    EXPECT_EQ(be32(shp, 100), 1);
    EXPECT_EQ(be32(shp, 104), 165);
    EXPECT_EQ(shp.mid(108, 330), contentOf(first));
    EXPECT_EQ(be32(shp, 438), 2);
    EXPECT_EQ(be32(shp, 442), 165);
    EXPECT_EQ(shp.mid(446, 330), contentOf(second));
    ASSERT_EQ(shx.size(), 116);
    EXPECT_EQ(be32(shx, 100), 50);
    EXPECT_EQ(be32(shx, 104), 165);
    EXPECT_EQ(be32(shx, 108), 219);
    EXPECT_EQ(be32(shx, 112), 165);
    // The headers: file lengths in words, the box of both pictures.
    EXPECT_EQ(be32(shp, 24), shp.size() / 2);
    EXPECT_EQ(be32(shx, 24), 58);
    EXPECT_EQ(le32(shp, 32), 10);
    EXPECT_EQ(leDouble(shp, 36), 1000);
    EXPECT_EQ(leDouble(shp, 44), 1975);
    EXPECT_EQ(leDouble(shp, 52), 1150);
    EXPECT_EQ(leDouble(shp, 60), 2000);
    EXPECT_EQ(p.rows(QStringLiteral("sheets.dbf")),
              (std::vector<QStringList>{{"1", "17.05.2025"}, {"2", "17.05.2025"}}));
    // The layer's table, extent and blocks.
    const TMapLayer &L = p.layer(layer);
    ASSERT_EQ(L.Objects.size(), 2u);
    EXPECT_EQ(L.MtMaxX, 1150);
    ASSERT_EQ(L.Blocks.size(), 1u);
    EXPECT_EQ(L.Blocks[0].XMin, 1000);
    EXPECT_EQ(L.Blocks[0].YMin, 1975);

    TRasterObject read;
    ASSERT_TRUE(p.map.ReadRasterObject(layer, 1, read));
    EXPECT_EQ(read, second);

    // Another program reads the layer's files.
    if (testsupport::haveGdal()) {
        const testsupport::ToolRun info = testsupport::runTool(
            QStringLiteral("ogrinfo"), {QStringLiteral("-al"), QStringLiteral("sheets.shp")}, p.dir.path());
        EXPECT_EQ(info.code, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("Feature Count: 2"))) << info.out.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("DATEEDIT (Date) = 2025/05/17"))) << info.out.toStdString();
    }
}

TEST(MapRasters, TheHundredAndFirstObjectWidensABlockOfItsOwn)
{
    RasterProject p;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    for (int k = 0; k < 101; ++k)
        ASSERT_TRUE(p.map.AppendRasterObject(sheet(QStringLiteral("s.tiff"), 1000 + 10 * k, 2000)));
    const TMapLayer &L = p.layer(layer);
    ASSERT_EQ(L.Blocks.size(), 2u);
    EXPECT_EQ(L.Blocks[0].XMax, 1000 + 10 * 99 + 25);
    EXPECT_EQ(L.Blocks[1].XMin, 2000);
    EXPECT_EQ(L.Blocks[1].XMax, 2025);
}

TEST(MapRasters, ANewImageLayerIsMadeOnlyWhereTheUserSaysSo)
{
    RasterProject p;
    // The current layer holds lines: the object goes into new files.
    p.addLayer(QStringLiteral("roads"), 3, {});
    p.map.Project().ActiveLayer = 0;
    const QByteArray earlier("an earlier layer");
    p.dir.write(QStringLiteral("noname.shp"), earlier);
    const TRasterObject r = sheet(QStringLiteral("a.tiff"), 1000, 2000);
    {
        // Cancelled: nothing is written, the earlier "noname" stays.
        testsupport::ScriptedAnswers answers;
        answers.cancelFile();
        EXPECT_FALSE(p.map.AppendRasterObject(r));
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        const platform::FileDialogRequest &q = answers.fileRequests()[0];
        EXPECT_EQ(q.filter, QStringLiteral("Tolvane images (*.shp)|*.shp"));
        EXPECT_EQ(q.defaultExt, QStringLiteral("shp"));
        EXPECT_EQ(q.initialDir, p.dir.path());
        EXPECT_EQ(p.dir.read(QStringLiteral("noname.shp")), earlier);
        EXPECT_FALSE(QFile::exists(p.dir.file(QStringLiteral("noname.shx"))));
    }
    {
        // Files of the chosen name are replaced only on "Да".
        testsupport::ScriptedAnswers answers;
        answers.openFile(p.dir.file(QStringLiteral("noname.shp"))).reply(platform::mrNo);
        EXPECT_FALSE(p.map.AppendRasterObject(r));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Файл(ы) ") + p.dir.file(QStringLiteral("noname")) +
                      QStringLiteral(".shp(shx,dbf) уже присутствуют в папке !\nПерезаписать существующие файлы ?"));
        EXPECT_EQ(p.dir.read(QStringLiteral("noname.shp")), earlier);
    }
    {
        testsupport::ScriptedAnswers answers;
        answers.openFile(p.dir.file(QStringLiteral("Листы.shp")));
        ASSERT_TRUE(p.map.AppendRasterObject(r));
        EXPECT_TRUE(answers.messages().empty());
    }
    const QByteArray shp = p.dir.read(QStringLiteral("Листы.shp"));
    ASSERT_EQ(shp.size(), 100 + 8 + 330);
    EXPECT_EQ(be32(shp, 100), 1);
    EXPECT_EQ(shp.mid(108), contentOf(r));
    EXPECT_EQ(be32(p.dir.read(QStringLiteral("Листы.shx")), 100), 50);
    EXPECT_EQ(p.rows(QStringLiteral("Листы.dbf")), (std::vector<QStringList>{{"1", "17.05.2025"}}));
    // The current layer is as it was; the new one is not opened.
    EXPECT_TRUE(p.layer(0).Objects.empty());
    EXPECT_EQ(p.map.Project().Layers.size(), 1u);

    // A layer that is not open to edits takes nothing, and asks nothing.
    p.layer(0).Edited = false;
    EXPECT_FALSE(p.map.AppendRasterObject(r));
}

TEST(MapRasters, EditedObjectsAreReadFromTheJournal)
{
    RasterProject p;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    const TRasterObject r = sheet(QStringLiteral("a.tiff"), 1000, 2000);
    ASSERT_TRUE(p.map.AppendRasterObject(r));
    const QByteArray before = p.dir.read(QStringLiteral("sheets.shp"));

    TRasterObject moved = r;
    moved.Points = {{1010, 2000, 0, 0}, {1040, 1985, 100, 50}, {1010, 1985, 0, 50}};
    moved.ImageFlag = 1;
    ASSERT_TRUE(p.map.FitRasterToControlPoints(moved));
    p.map.WriteRasterObject(layer, 0, moved);
    TRasterObject read;
    ASSERT_TRUE(p.map.ReadRasterObject(layer, 0, read));
    EXPECT_EQ(read, moved);
    EXPECT_EQ(p.journalContent(layer, 0), raster::encodeRasterObject(moved));
    EXPECT_TRUE(p.object(layer, 0).Modified);
    EXPECT_EQ(p.dir.read(QStringLiteral("sheets.shp")), before);

    // A layer closed to edits keeps its objects.
    p.layer(layer).Edited = false;
    p.map.WriteRasterObject(layer, 0, r);
    ASSERT_TRUE(p.map.ReadRasterObject(layer, 0, read));
    EXPECT_EQ(read, moved);
}

TEST(MapRasters, RecordsThatCannotBeReadLeaveTheRecordAlone)
{
    RasterProject p;
    const TRasterObject r = sheet(QStringLiteral("a.tiff"), 1000, 2000);
    // Record 2 counts 9 control points and holds 2.
    QByteArray lying = contentOf(r);
    lying[277] = 9;
    const int layer = p.addLayer(QStringLiteral("images"), 10, {contentOf(r), lying});
    const int lines = p.addLayer(QStringLiteral("lines"), 3, {fixtures::polyContent(3, {0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}})});
    TRasterObject out;
    out.ImageName = QStringLiteral("unchanged");
    for (const auto &[l, i] : {std::pair{layer, -1}, {layer, 2}, {layer, 1}, {lines, 0}, {7, 0}}) {
        EXPECT_FALSE(p.map.ReadRasterObject(l, i, out)) << l << " " << i;
        EXPECT_EQ(out.ImageName, QStringLiteral("unchanged"));
    }
    EXPECT_TRUE(p.map.ReadRasterObject(layer, 0, out));
    EXPECT_EQ(out, r);
}

TEST(MapRasters, ANewPictureMeasuredAndPlaced)
{
    RasterProject p;
    RecordingImaging imaging;
    TRasterObject r;
    // A missing picture: a warning and 100 × 100.
    r.ImageName = QStringLiteral("C:\\scans\\none.tif");
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        p.map.LoadRasterSize(r);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Невозможно открыть изображение C:\\scans\\none.tif !"));
    }
    EXPECT_EQ(r.ImageWidth, 100);
    EXPECT_EQ(r.ImageHeight, 100);
    // A bare name in the work folder goes to the imaging routines.
    p.dir.write(QStringLiteral("Plan.TIF"), "x");
    r.ImageName = QStringLiteral("plan.tif");
    p.map.LoadRasterSize(r);
    EXPECT_EQ(imaging.calls, QStringList{QStringLiteral("info Plan.TIF")});
    EXPECT_EQ(r.ImageWidth, 640);
    EXPECT_EQ(p.map.Settings().RasterDivX, 11811);

    // The view: pixel (px, py) is the map point (900 + px / 4, 1050 - py / 4).
    const struct {
        std::int32_t width, height;
        std::vector<TControlPoint> points;
    } fits[] = {
        {400, 100, {{900, 1025, 0, 0}, {1100, 975, 400, 100}}},    // wide: the window's width
        {100, 200, {{975, 1050, 0, 0}, {1025, 950, 100, 200}}},    // tall: the window's height
    };
    for (const auto &f : fits) {
        TRasterObject n;
        n.ImageWidth = f.width;
        n.ImageHeight = f.height;
        p.map.FitRasterToWindow(n);
        ASSERT_EQ(n.Points.size(), 2u);
        for (size_t k = 0; k < 2; ++k) {
            EXPECT_NEAR(n.Points[k].X, f.points[k].X, 1e-6) << f.width;
            EXPECT_NEAR(n.Points[k].Y, f.points[k].Y, 1e-6) << f.width;
            EXPECT_EQ(n.Points[k].Column, f.points[k].Column);
            EXPECT_EQ(n.Points[k].Row, f.points[k].Row);
        }
    }
    // 2000 × 1000 pixels of 200 dpi at 1:1000, on the view's middle: 254 m
    // by 127 m of map.
    TRasterObject placed;
    placed.ImageWidth = 2000;
    placed.ImageHeight = 1000;
    p.map.Settings().RasterDivX = p.map.Settings().RasterDivY = raster::sheetPixelsPerMetre(200);
    p.map.PlaceRasterAtScale(placed, 1000);
    ASSERT_EQ(placed.Points.size(), 2u);
    EXPECT_NEAR(placed.Points[0].X, 1000 - 127, 0.01);
    EXPECT_NEAR(placed.Points[0].Y, 1000 + 63.5, 0.01);
    EXPECT_NEAR(placed.Points[1].X, 1000 + 127, 0.01);
    EXPECT_NEAR(placed.Points[1].Y, 1000 - 63.5, 0.01);
    EXPECT_EQ(placed.Points[1].Column, 2000);
    EXPECT_EQ(placed.Points[1].Row, 1000);
    EXPECT_DOUBLE_EQ(p.map.RasterRotationAngle(placed), 0);
}

TEST(MapRasters, PicturesGoToTheirReadersByName)
{
    RasterProject p;
    RecordingImaging imaging;
    p.dir.write(QStringLiteral("sheet.TIFF"), placeCodedTiff(40, 20));
    for (const char *name : {"plan.tif", "plan.bmp", "ortho.SID", "scan.jpg"})
        p.dir.write(QString::fromLatin1(name), "x");
    RecordingCanvas canvas(pinnedMetrics());
    canvas.setMapMode(MM_HIMETRIC);
    auto draw = [&](const QString &name) {
        canvas.clear();
        // 40 × 20 pixels on 10 × 5 map units at (1000, 1000): 40 × 20 pixels of the view.
        p.map.DrawRasterImage(canvas, p.dir.file(name), 1000, 995, 1010, 1000, 0.3, 40, 20, 6, 0, 0);
    };
    draw(QStringLiteral("sheet.TIFF"));
    ASSERT_EQ(canvas.callsOf(EMR_STRETCHDIBITS).size(), 1u);
    const MetaRecord blit = canvas.callsOf(EMR_STRETCHDIBITS)[0];
    EXPECT_EQ(blit.rop, SRCAND);
    EXPECT_EQ(blit.rect, (Rect{400, 200, 440, 220}));
    EXPECT_EQ(blit.image.size(), QSize(40, 20));
    EXPECT_EQ(canvas.state().stretchMode, COLORONCOLOR);
    EXPECT_EQ(canvas.mapMode(), MM_HIMETRIC);
    EXPECT_TRUE(imaging.calls.isEmpty());

    draw(QStringLiteral("plan.tif"));
    draw(QStringLiteral("plan.bmp"));
    draw(QStringLiteral("ortho.SID"));
    draw(QStringLiteral("scan.jpg"));
    EXPECT_EQ(imaging.calls, (QStringList{QStringLiteral("lead plan.tif"), QStringLiteral("lead plan.bmp"),
                                          QStringLiteral("multi ortho.SID"), QStringLiteral("lead scan.jpg")}));
    EXPECT_EQ(imaging.last.source, (raster::Edges{0, 0, 40, 20}));
    EXPECT_EQ(imaging.last.destination, (raster::Edges{400, 200, 440, 220}));
    EXPECT_EQ(imaging.last.rasterIndex, 6);
    // A missing picture draws nothing and says nothing.
    draw(QStringLiteral("none.tiff"));
    EXPECT_TRUE(canvas.calls().empty() || canvas.callsOf(EMR_STRETCHDIBITS).empty());
    EXPECT_EQ(imaging.calls.size(), 4);
}

TEST(MapRasters, ADamagedTiffStopsTheDrawingWithItsMessage)
{
    RasterProject p;
    p.dir.write(QStringLiteral("bad.tiff"), QByteArray("II*\0\x08\0\0\0\x05\0", 10));
    RecordingCanvas canvas(pinnedMetrics());
    canvas.setMapMode(MM_HIMETRIC);
    try {
        p.map.DrawRasterImage(canvas, p.dir.file(QStringLiteral("bad.tiff")), 1000, 995, 1010, 1000, 0, 40, 20, 2, 0,
                              0);
        ADD_FAILURE() << "no error";
    } catch (const std::exception &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Ошибка чтения файла."));
    }
    // The canvas is back in 0.01 mm.
    EXPECT_EQ(canvas.mapMode(), MM_HIMETRIC);
}

TEST(MapRasters, ADamagedSheetCostsOnlyItselfAndIsToldOncePerChange)
{
    // A damaged sheet, a good one beside it and a line over both: the
    // redraw draws the good sheet and the line, and names the damaged file.
    RasterProject p;
    p.dir.write(QStringLiteral("good.tiff"), placeCodedTiff(40, 20));
    const QString bad = p.dir.write(QStringLiteral("bad.tiff"), QByteArray("II*\0\x08\0\0\0\x05\0", 10));
    auto record = [](const QString &name, double x) {
        TRasterObject r;
        r.ImageName = name;
        r.ImageWidth = 40;
        r.ImageHeight = 20;
        r.Points = {{x, 1000, 0, 0}, {x + 10, 995, 40, 20}};
        raster::fitRasterToControlPoints(r);
        return raster::encodeRasterObject(r);
    };
    const int sheets = p.addLayer(QStringLiteral("sheets"), 10,
                                  {record(QStringLiteral("bad.tiff"), 990), record(QStringLiteral("good.tiff"), 1000)});
    p.layer(sheets).PenMode = 4;
    const int lines =
        p.addLayer(QStringLiteral("lines"), 3, {fixtures::polyContent(3, {980, 990, 1020, 990}, {0}, {{980, 990}, {1020, 990}})});
    p.layer(lines).PenStyle = 1;
    p.layer(lines).PenWidth = 0.5;
    const QString told = QStringLiteral("Изображение ") + QDir::toNativeSeparators(QFileInfo(bad).absoluteFilePath()) +
                         QStringLiteral(":\nОшибка чтения файла.");
    auto redraw = [&](int replies) {
        testsupport::ScriptedAnswers answers;
        for (int k = 0; k < replies; ++k)
            answers.reply(platform::mrOk);
        mapengine::RenderJob job(p.map);
        EXPECT_NO_THROW(job.Run({sheets, lines}));
        std::vector<QString> texts;
        for (const auto &m : answers.messages())
            texts.push_back(m.text);
        return std::pair{job.PictureImage(), texts};
    };

    const auto [image, texts] = redraw(1);
    EXPECT_EQ(texts, std::vector<QString>{told});
    // The good sheet's pixel (20, 10) at device (420, 210), and the line at y = 240.
    const QRgb c = image.pixel(420, 210);
    EXPECT_EQ(qRed(c), 20);
    EXPECT_EQ(qGreen(c), 10);
    EXPECT_LT(qGray(image.pixel(450, 240)), 128);
    // The bad sheet's place stays white.
    EXPECT_EQ(image.pixel(380, 210) & 0xFFFFFF, 0xFFFFFFu);

    // Redrawn unchanged: not told again.
    EXPECT_TRUE(redraw(0).second.empty());
    // Damaged otherwise: told again.
    p.dir.write(QStringLiteral("bad.tiff"), QByteArray("II*\0\x08\0\0\0\x07\0\0\0", 12));
    EXPECT_EQ(redraw(1).second, std::vector<QString>{told});
    EXPECT_TRUE(redraw(0).second.empty());
    // Mended, then damaged as before: told again.
    p.dir.write(QStringLiteral("bad.tiff"), placeCodedTiff(40, 20));
    EXPECT_TRUE(redraw(0).second.empty());
    p.dir.write(QStringLiteral("bad.tiff"), QByteArray("II*\0\x08\0\0\0\x05\0", 10));
    EXPECT_EQ(redraw(1).second, std::vector<QString>{told});
}

TEST(MapRasters, APictureStaysOnItsMapPlaceAtEveryScale)
{
    // 300 × 200 pixels on the map rectangle 1000 .. 1060 × 980 .. 1020
    // (5 pixels a map unit), drawn by the redraw of an image layer.
    RasterProject p;
    p.dir.write(QStringLiteral("sheet.tiff"), placeCodedTiff(300, 200));
    TRasterObject r;
    r.ImageName = QStringLiteral("C:\\Карты\\SHEET.tiff");   // found by its bare name in the work folder
    r.ImageWidth = 300;
    r.ImageHeight = 200;
    r.Points = {{1000, 1020, 0, 0}, {1060, 980, 300, 200}};
    ASSERT_TRUE(raster::fitRasterToControlPoints(r));
    const int layer = p.addLayer(QStringLiteral("sheets"), 10, {raster::encodeRasterObject(r)});
    p.layer(layer).PenMode = 4;   // a new layer's: the picture copied

    const struct {
        const char *what;
        double denominator, centreX, centreY;
    } views[] = {
        {"4 device pixels a picture pixel", 125, 1030, 1000},   // the picture wider than the view
        {"2.5 picture pixels a device pixel", 2000, 1030, 1000},
        {"cut by the view's corner", 500, 1000, 1020},
    };
    for (const auto &v : views) {
        SCOPED_TRACE(v.what);
        p.map.SetCentreX(v.centreX);
        p.map.SetCentreY(v.centreY);
        p.map.SetScale(MapControlCore::DenominatorToScale(v.denominator));
        mapengine::RenderJob job(p.map);
        job.Run({layer});
        const QImage drawn = job.PictureImage();
        drawn.save(testsupport::artefactFolder(QStringLiteral("rasters")) + QStringLiteral("/sheet-1-") +
                   QString::number(v.denominator) + QStringLiteral(".png"));
        // Where the map puts the picture's edges, in device pixels.
        auto deviceX = [&](double x) {
            return ((x - p.map.View().CenterX) * p.map.View().Scale + p.map.View().PictureWidth / 2) / p.map.View().UnitsPerPixelX;
        };
        auto deviceY = [&](double y) {
            return -((y - p.map.View().CenterY) * p.map.View().Scale - p.map.View().PictureHeight / 2) / p.map.View().UnitsPerPixelY;
        };
        const double x1 = deviceX(r.XMin), x2 = deviceX(r.XMax), y1 = deviceY(r.YMax), y2 = deviceY(r.YMin);
        const double perPixelX = (x2 - x1) / 300, perPixelY = (y2 - y1) / 200;
        int checked = 0, misplaced = 0;
        for (int y = std::max(0, int(std::ceil(y1)) + 1); y < std::min(drawn.height(), int(y2) - 1); ++y)
            for (int x = std::max(0, int(std::ceil(x1)) + 1); x < std::min(drawn.width(), int(x2) - 1); ++x) {
                const QRgb c = drawn.pixel(x, y);
                const int column = qRed(c) | (qBlue(c) & 0xF) << 8, row = qGreen(c) | (qBlue(c) >> 4) << 8;
                // The straightforward nearest neighbour of the pixel's middle.
                const int refColumn = int(std::floor((x + 0.5 - x1) / perPixelX));
                const int refRow = int(std::floor((y + 0.5 - y1) / perPixelY));
                ++checked;
                // Within a device pixel of where the map puts that picture pixel.
                const bool placed = x + 0.5 >= x1 + column * perPixelX - 1 && x + 0.5 <= x1 + (column + 1) * perPixelX + 1 &&
                                    y + 0.5 >= y1 + row * perPixelY - 1 && y + 0.5 <= y1 + (row + 1) * perPixelY + 1;
                if (!placed && ++misplaced <= 5)
                    ADD_FAILURE() << "device (" << x << ", " << y << ") shows (" << column << ", " << row
                                  << "), the map puts (" << refColumn << ", " << refRow << ") there";
            }
        EXPECT_GT(checked, 5000);
        EXPECT_EQ(misplaced, 0);
    }
}
