// The metafiles this program writes, opened by another program: LibreOffice
// renders the ".emf" and ".wmf" files to PNG, and the pictures must show the
// same figures in the same places. Skipped when LibreOffice is not installed
// (label "office": ctest -L office).

#include "platform/gdi/Metafile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

using namespace platform::gdi;

namespace {

// A map picture of 40 × 30 mm: a red 10 mm square, a hatched oval, a blue
// line across the whole width and a text.
Metafile picture()
{
    Metafile m(DeviceMetrics{1000, 800, 250, 200, 96, 96});
    m.setMmSize(4000, 3000);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 25, rgb(0, 0, 255)});
    c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
    c.polygon({QPoint(500, -500), QPoint(1500, -500), QPoint(1500, -1500), QPoint(500, -1500)});
    c.setBrush(Brush{BS_HATCHED, rgb(0, 128, 0), HS_CROSS});
    c.setBkMode(TRANSPARENT);
    c.ellipse(Rect{2000, -500, 3500, -1500});
    c.moveTo(0, -2000);
    c.lineTo(4000, -2000);
    LogFont f;
    f.height = -400;
    f.charSet = RUSSIAN_CHARSET;
    c.setFont(f);
    c.setTextAlign(TA_LEFT | TA_BASELINE);
    c.textOut(500, -2700, QStringLiteral("Участок 12"));
    // A bitmap of 2 × 2 yellow pixels stretched over 8 × 6 mm.
    QImage bits(2, 2, QImage::Format_RGB32);
    bits.fill(QColor(255, 255, 0));
    c.stretchDIBits(3000, -2300, 800, -600, bits, QRect(0, 0, 2, 2));
    c.finish();
    return m;
}

struct Found {
    QRect red, blue, green, dark, yellow;
};

QRect grow(QRect r, int x, int y)
{
    return r.isNull() ? QRect(x, y, 1, 1) : r.united(QRect(x, y, 1, 1));
}

Found scan(const QImage &img)
{
    Found f;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() < 60)
                f.yellow = grow(f.yellow, x, y);
            else if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                f.red = grow(f.red, x, y);
            else if (c.blue() > 150 && c.red() < 80 && c.green() < 80)
                f.blue = grow(f.blue, x, y);
            else if (c.green() > 90 && c.red() < 60 && c.blue() < 60)
                f.green = grow(f.green, x, y);
            else if (c.red() < 60 && c.green() < 60 && c.blue() < 60)
                f.dark = grow(f.dark, x, y);
        }
    return f;
}

QImage convert(const QString &office, const QString &file, const QString &work)
{
    const QString out = work + QStringLiteral("/out-") + QFileInfo(file).suffix();
    QProcess p;
    p.setProgram(office);
    p.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work + QStringLiteral("/profile")).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("png"),
                    QStringLiteral("--outdir"), out, file});
    p.start();
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QImage(out + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".png"));
}

} // namespace

TEST(OfficeRendering, EmfAndWmfFilesShowTheSamePicture)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the metafiles are not checked by another program";
    testsupport::TempFolder dir;
    const Metafile m = picture();
    ASSERT_TRUE(m.saveEmf(dir.file(QStringLiteral("map.emf"))));
    ASSERT_TRUE(m.saveWmf(dir.file(QStringLiteral("map.wmf"))));
    Found seen[2];
    int i = 0;
    for (const QString &name : {QStringLiteral("map.emf"), QStringLiteral("map.wmf")}) {
        const QImage img = convert(office, dir.file(name), dir.path());
        ASSERT_FALSE(img.isNull()) << "LibreOffice made no picture of " << name.toStdString();
        const QString keep = QDir::current().filePath(QStringLiteral("artefacts/gdi"));
        QDir().mkpath(keep);
        img.save(keep + QStringLiteral("/office-") + name + QStringLiteral(".png"));
        const Found f = scan(img);
        SCOPED_TRACE(name.toStdString());
        ASSERT_FALSE(f.red.isNull());
        ASSERT_FALSE(f.blue.isNull());
        ASSERT_FALSE(f.green.isNull());
        ASSERT_FALSE(f.dark.isNull());
        // The line spans the picture's 40 mm; the square is a quarter of it, square.
        const double mm = f.blue.width() / 40.0;
        EXPECT_NEAR(f.red.width() / mm, 10.0, 1.0);
        EXPECT_NEAR(f.red.height() / mm, 10.0, 1.0);
        EXPECT_NEAR((f.red.left() - f.blue.left()) / mm, 5.0, 1.0);
        // The oval right of the square, the line below both, the text below the line.
        EXPECT_GT(f.green.left(), f.red.right());
        EXPECT_NEAR(f.green.width() / mm, 15.0, 1.5);
        EXPECT_GT(f.blue.bottom(), f.red.bottom());
        EXPECT_GT(f.dark.top(), f.blue.top());
        EXPECT_NEAR((f.dark.left() - f.blue.left()) / mm, 5.0, 1.5);
        // The bitmap lies right of the text, 8 × 6 mm.
        ASSERT_FALSE(f.yellow.isNull());
        EXPECT_NEAR(f.yellow.width() / mm, 8.0, 1.0);
        EXPECT_NEAR(f.yellow.height() / mm, 6.0, 1.0);
        EXPECT_NEAR((f.yellow.left() - f.blue.left()) / mm, 30.0, 1.0);
        seen[i++] = f;
    }
    EXPECT_NEAR(seen[0].red.left(), seen[1].red.left(), 2);
    EXPECT_NEAR(seen[0].red.top(), seen[1].red.top(), 2);
    EXPECT_NEAR(seen[0].dark.width(), seen[1].dark.width(), 4);
}
