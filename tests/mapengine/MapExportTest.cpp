// Saving the map picture: the kinds of file by the texts in the name, the
// window-sized clipped copy, the report picture in picture mode, bitmaps at
// three times the window's pixels.

#include "MapTestSupport.h"

#include "platform/gdi/PainterCanvas.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace maptest;

namespace {

// A window of 200 × 150 pixels (5000 × 3750 units). The map picture has
// `pw` × `ph` pixels: a red square at pixels 20..60, a blue line along
// y = 100, and beyond the window's right edge a green square.
struct ExportFixture {
    platform::ScopedService<ScreenMetrics> pin{pinnedMetrics()};
    std::unique_ptr<MapControlCore> map = makeControl(200, 150);
    testsupport::TempFolder dir;

    explicit ExportFixture(int pw = 200, int ph = 150)
    {
        Metafile &m = map->MapPicture();
        m = Metafile(pinnedMetrics());
        m.setSizeInPixels(pw, ph);
        MetafileCanvas c(m);
        c.setMapMode(MM_HIMETRIC);
        c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        map->FillPolygon(c, {QPoint(500, -500), QPoint(1500, -500), QPoint(1500, -1500), QPoint(500, -1500),
                             QPoint(500, -500)}, 5, 1, false);
        c.setPen(Pen{PS_SOLID, 50, rgb(0, 0, 255)});
        map->DrawClippedPolyline(c, {QPoint(250, -2500), QPoint(4750, -2500)}, 1, 50);
        c.setBrush(Brush{BS_SOLID, rgb(0, 160, 0), 0});
        c.setPen(Pen{PS_NULL, 0, 0});
        c.rectangle(Rect{6000, -500, 8000, -2500});
        c.finish();
    }

    QString file(const QString &name) const { return dir.file(name); }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::uint32_t u32(const QByteArray &b, int at)
{
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

// A metafile file played at 25 units a pixel.
QImage played(const QString &path)
{
    const auto m = Metafile::loadFromFile(path);
    if (!m)
        return {};
    const int w = m->mmWidth() / 25, h = m->mmHeight() / 25;
    QImage img = whiteImage(std::max(w, 1), std::max(h, 1));
    PainterCanvas c(img, pinnedMetrics());
    c.drawMetafile(*m, Rect{0, 0, w, h});
    return img;
}

} // namespace

TEST(MapExport, MetafilesByTheTextsInTheName)
{
    ExportFixture f;
    struct Case {
        QString name;
        bool placeable;   // else enhanced
    };
    const Case cases[] = {
        {QStringLiteral("map.wmf"), true},
        {QStringLiteral("map.emf"), false},
        {QStringLiteral("MAP.WMF"), true},
        // ".wmf" inside the name but not its own extension: an enhanced metafile.
        {QStringLiteral("map.wmf.emf"), false},
        {QStringLiteral("map.emf.wmf"), true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name.toStdString());
        ASSERT_TRUE(f.map->ExportPicture(f.file(k.name)));
        const QByteArray b = readAll(f.file(k.name));
        ASSERT_GE(b.size(), 44);
        if (k.placeable) {
            EXPECT_EQ(u32(b, 0), 0x9AC6CDD7u);
        } else {
            EXPECT_EQ(u32(b, 0), 1u);            // the header record
            EXPECT_EQ(b.mid(40, 4), QByteArray(" EMF"));
        }
        // The window-sized picture, showing what the map showed.
        const auto m = Metafile::loadFromFile(f.file(k.name));
        ASSERT_TRUE(m.has_value());
        EXPECT_NEAR(m->mmWidth(), 5000, 1);
        EXPECT_NEAR(m->mmHeight(), 3750, 1);
        const QImage img = played(f.file(k.name));
        EXPECT_EQ(at(img, 40, 40), rgb(255, 0, 0));
        EXPECT_EQ(at(img, 100, 100), rgb(0, 0, 255));
        EXPECT_EQ(at(img, 100, 40), rgb(255, 255, 255));
    }
}

TEST(MapExport, NamesWithoutTheTextsWriteNothing)
{
    ExportFixture f;
    for (const QString &name : {QStringLiteral("map.png"), QStringLiteral("map.jpeg"), QStringLiteral("mapwmf"),
                                QStringLiteral("map.tif")}) {
        EXPECT_TRUE(f.map->ExportPicture(f.file(name)));
        EXPECT_FALSE(QFile::exists(f.file(name))) << name.toStdString();
    }
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(MapExport, TheCopyIsClippedToTheWindow)
{
    // A map picture twice the window's size: what lies beyond the window is
    // not in the copy.
    ExportFixture f(400, 300);
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("map.emf"))));
    const auto m = Metafile::loadFromFile(f.file(QStringLiteral("map.emf")));
    ASSERT_TRUE(m.has_value());
    EXPECT_NEAR(m->mmWidth(), 5000, 1);
    // Played onto a picture large enough to show the green square if it were there.
    QImage img = whiteImage(400, 300);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.drawMetafile(*m, Rect{0, 0, 200, 150});
    }
    keepArtefact(img, QStringLiteral("export-clipped"));
    EXPECT_EQ(at(img, 40, 40), rgb(255, 0, 0));
    EXPECT_TRUE(colourBox(img, rgb(0, 160, 0)).isNull());
}

TEST(MapExport, PictureModeWritesTheReportPictureItself)
{
    ExportFixture f(400, 300);
    f.map->SetPictureMode(true);
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("report.wmf"))));
    const auto m = Metafile::loadFromFile(f.file(QStringLiteral("report.wmf")));
    ASSERT_TRUE(m.has_value());
    EXPECT_NEAR(m->mmWidth(), 10000, 1);
    EXPECT_NEAR(m->mmHeight(), 7500, 1);
    const QImage img = played(f.file(QStringLiteral("report.wmf")));
    EXPECT_EQ(at(img, 280, 60), rgb(0, 160, 0));
    // Bitmaps are made from the window-sized copy all the same.
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("report.jpg"))));
    EXPECT_EQ(QImage(f.file(QStringLiteral("report.jpg"))).size(), QSize(600, 450));
}

TEST(MapExport, BitmapsAtThreeTimesTheWindow)
{
    ExportFixture f;
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("map.bmp"))));
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("map.jpg"))));
    // The bitmap: 32 bits a pixel, 600 × 450, rows from the bottom.
    const QByteArray b = readAll(f.file(QStringLiteral("map.bmp")));
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(b, 2), static_cast<std::uint32_t>(b.size()));
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 18), 600u);
    EXPECT_EQ(u32(b, 22), 450u);
    EXPECT_EQ(static_cast<int>(b[28]), 32);
    EXPECT_EQ(b.size(), 54 + 600 * 450 * 4);
    // The bottom row comes first: the pixel (120, 449) is white, (120, 120) red.
    const int bottom = 54, red = 54 + ((449 - 120) * 600 + 120) * 4;
    EXPECT_EQ(static_cast<std::uint8_t>(b[bottom + 120 * 4 + 2]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(b[red + 2]), 255);    // R
    EXPECT_EQ(static_cast<std::uint8_t>(b[red + 1]), 0);      // G
    EXPECT_EQ(static_cast<std::uint8_t>(b[red]), 0);          // B

    const QImage bmp(f.file(QStringLiteral("map.bmp")));
    const QImage jpg(f.file(QStringLiteral("map.jpg")));
    keepArtefact(bmp, QStringLiteral("export-bmp"));
    ASSERT_EQ(bmp.size(), QSize(600, 450));
    ASSERT_EQ(jpg.size(), QSize(600, 450));
    // The square at 3 × (20..60) pixels, the line at 3 × 100.
    EXPECT_EQ(colourBox(bmp, rgb(255, 0, 0)), QRect(QPoint(60, 60), QPoint(179, 179)));
    EXPECT_EQ(at(bmp, 300, 300), rgb(0, 0, 255));
    // Quality 100: the JPEG keeps the colours closely.
    const QColor j = jpg.pixelColor(120, 120);
    EXPECT_GT(j.red(), 245);
    EXPECT_LT(j.green(), 10);
    EXPECT_GT(jpg.pixelColor(300, 300).blue(), 230);
    // "a.emf.bmp" writes the metafile and then the bitmap under that name.
    ASSERT_TRUE(f.map->ExportPicture(f.file(QStringLiteral("a.emf.bmp"))));
    EXPECT_EQ(readAll(f.file(QStringLiteral("a.emf.bmp"))).left(2), QByteArray("BM"));
}

TEST(MapExport, AFileThatCannotBeWrittenIsReported)
{
    ExportFixture f;
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk).reply(platform::mrOk);
    const QString name = f.file(QStringLiteral("missing/map.jpg"));
    EXPECT_FALSE(f.map->ExportPicture(name));
    const QString wmf = f.file(QStringLiteral("missing/map.wmf"));
    EXPECT_FALSE(f.map->ExportPicture(wmf));
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Ошибка записи файла ") + name);
    EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Error);
    EXPECT_TRUE(answers.messages()[1].text.startsWith(QStringLiteral("Ошибка записи файла ")));
}
