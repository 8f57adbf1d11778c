// The map pictures the map control exports, opened by another program:
// LibreOffice renders the ".emf" and ".wmf" files, and they show the same
// picture as our own playing of them. Skipped when LibreOffice is not
// installed (label "office": ctest -L office).

#include "mapengine/MapControlCore.h"
#include "platform/gdi/PainterCanvas.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform::gdi;

namespace {

const DeviceMetrics kMetrics{1000, 800, 250, 200, 96, 96};   // 25 units a pixel

// A window of 200 × 150 pixels: a picture of 50 × 37.5 mm at 1:500. In it a
// magenta frame 1 mm inside the edges, a red 10 mm square with a blue outline
// over its grey shadow, a green line with an arrow and a dot, and a text
// turned by 90 degrees.
void drawMap(MapControlCore &map)
{
    map.SetClientSize(200, 150);
    map.ResetPicture();
    Metafile &m = map.MapPicture();
    m = Metafile(kMetrics);
    m.setSizeInPixels(200, 150);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 20, rgb(255, 0, 255)});
    map.DrawClippedPolyline(c, {QPoint(100, -100), QPoint(4900, -100), QPoint(4900, -3650), QPoint(100, -3650),
                                QPoint(100, -100)}, 1, 20);
    const std::vector<QPoint> square = {QPoint(1000, -500), QPoint(2000, -500), QPoint(2000, -1500),
                                        QPoint(1000, -1500), QPoint(1000, -500)};
    map.DrawShadow(c, square);
    c.setPen(Pen{PS_SOLID, 25, rgb(0, 0, 255)});
    c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
    map.FillPolygon(c, square, 1, 25, false);
    c.setPen(Pen{PS_SOLID, 30, rgb(0, 160, 0)});
    const std::vector<QPoint> line = {QPoint(500, -3000), QPoint(3000, -3000)};
    map.DrawClippedPolyline(c, line, 1, 30);
    map.DrawLineEnds(c, line, 30, 5, 1, 10);
    TMapFont font;
    font.FontName = QStringLiteral("Arial");
    font.Size = 12;
    font.Rotate = 90;
    font.Center = 4;
    font.BrushStyle = 1;
    map.DrawRotatedText(c, 4500, -400, 0, font, QStringLiteral("Участок"));
    c.finish();
}

QRect grow(QRect r, int x, int y)
{
    return r.isNull() ? QRect(x, y, 1, 1) : r.united(QRect(x, y, 1, 1));
}

// Boxes of the picture's colours, in millimetres from the frame's top left.
struct Seen {
    QRectF frame, red, grey, green, dark;
};

QRectF inMm(const QRect &r, const QRect &frame)
{
    // The frame's lines run 1 mm inside the 50 × 37.5 mm picture.
    const double sx = (frame.width() - 1) / 48.0, sy = (frame.height() - 1) / 35.5;
    if (r.isNull())
        return {};
    return QRectF((r.left() - frame.left()) / sx + 1, (r.top() - frame.top()) / sy + 1, r.width() / sx,
                  r.height() / sy);
}

Seen scan(const QImage &img)
{
    QRect frame;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.blue() > 200 && c.green() < 80)
                frame = grow(frame, x, y);
        }
    Seen s;
    if (frame.isNull())
        return s;
    // The shadow is looked for left of the text, whose smoothed edges are grey too.
    const int greyLimit = frame.left() + (frame.width() * 34) / 48;
    QRect red, grey, green, dark;
    for (int y = frame.top() + 2; y < frame.bottom() - 1; ++y)
        for (int x = frame.left() + 2; x < frame.right() - 1; ++x) {
            const QColor c = img.pixelColor(x, y);
            const int r = c.red(), g = c.green(), b = c.blue();
            if (r > 200 && g < 60 && b < 60)
                red = grow(red, x, y);
            else if (x < greyLimit && std::abs(r - 170) < 12 && std::abs(g - 170) < 12 && std::abs(b - 170) < 12)
                grey = grow(grey, x, y);
            else if (g > 110 && r < 80 && b < 80)
                green = grow(green, x, y);
            else if (r < 90 && g < 90 && b < 90)
                dark = grow(dark, x, y);
        }
    s.frame = QRectF(frame);
    s.red = inMm(red, frame);
    s.grey = inMm(grey, frame);
    s.green = inMm(green, frame);
    s.dark = inMm(dark, frame);
    return s;
}

QImage convert(const QString &office, const QString &file, const QString &work)
{
    return QImage(testsupport::officeConvert(office, file, work, QStringLiteral("png")));
}

// Our own playing of a file, at 8 pixels a millimetre.
QImage played(const QString &file)
{
    const auto m = Metafile::loadFromFile(file);
    if (!m)
        return {};
    const int w = m->mmWidth() * 8 / 100, h = m->mmHeight() * 8 / 100;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas c(img, kMetrics);
    c.drawMetafile(*m, Rect{0, 0, w, h});
    return img;
}

void keep(const QImage &img, const QString &name)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("mapengine"));
    QDir().mkpath(dir);
    img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void expectNear(const QRectF &a, const QRectF &b, double tolerance, const char *what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_NEAR(a.left(), b.left(), tolerance);
    EXPECT_NEAR(a.top(), b.top(), tolerance);
    EXPECT_NEAR(a.right(), b.right(), tolerance);
    EXPECT_NEAR(a.bottom(), b.bottom(), tolerance);
}

} // namespace

TEST(OfficeRendering, ExportedMapPicturesShowTheSameMap)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the exported map pictures are not checked";
    platform::ScopedService<ScreenMetrics> pin(kMetrics);
    MapControlCore map;
    drawMap(map);
    testsupport::TempFolder dir;
    for (const QString &name : {QStringLiteral("map.emf"), QStringLiteral("map.wmf")}) {
        SCOPED_TRACE(name.toStdString());
        const QString file = dir.file(name);
        ASSERT_TRUE(map.ExportPicture(file));
        const QImage ours = played(file);
        const QImage theirs = convert(office, file, dir.path());
        ASSERT_FALSE(theirs.isNull()) << "LibreOffice made no picture of " << name.toStdString();
        keep(ours, QStringLiteral("export-ours-") + name);
        keep(theirs, QStringLiteral("export-office-") + name);
        const Seen a = scan(ours), b = scan(theirs);
        ASSERT_FALSE(a.frame.isNull());
        ASSERT_FALSE(b.frame.isNull());
        // Where the Parts put them: the square at 10..20 mm across and 5..15 mm down.
        EXPECT_NEAR(a.red.left(), 10, 0.5);
        EXPECT_NEAR(a.red.top(), 5, 0.5);
        EXPECT_NEAR(a.red.width(), 10, 0.5);
        // The shadow 8 mm right and down (4 map units at 1:500).
        EXPECT_NEAR(a.grey.right() - a.red.right(), 8, 0.5);
        EXPECT_NEAR(a.grey.bottom() - a.red.bottom(), 8, 0.5);
        // The arrow: 7.5 mm long, ±2.6 mm across the line at 30 mm down.
        EXPECT_NEAR(a.green.left(), 5, 0.5);
        EXPECT_NEAR(a.green.top(), 30 - 2.6, 0.6);
        // The text runs down from (45, 4) mm, left of its anchor.
        EXPECT_GT(a.dark.height(), 2 * a.dark.width());
        EXPECT_NEAR(a.dark.right(), 45, 1);
        // LibreOffice shows the same.
        expectNear(b.red, a.red, 0.7, "red");
        expectNear(b.grey, a.grey, 0.7, "grey");
        expectNear(b.green, a.green, 0.7, "green");
        expectNear(b.dark, a.dark, 1.5, "text");
    }
}
