// The metafiles this program writes, opened by another program: LibreOffice
// renders the ".emf" and ".wmf" files to PNG, and the pictures must show the
// same figures in the same places. Skipped when LibreOffice is not installed
// (label "office": ctest -L office).

#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QPdfWriter>

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

QImage convert(const QString &office, const QString &file, const QString &work, const QString &to = QStringLiteral("png"))
{
    return QImage(testsupport::officeConvert(office, file, work, to));
}

void keep(const QImage &img, const QString &name)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("gdi"));
    QDir().mkpath(dir);
    img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
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
        const QString keep = testsupport::artefactFolder(QStringLiteral("gdi"));
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

TEST(OfficeRendering, MetafilesWrittenByLibreOfficeAreRead)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no metafiles of another program to read";
    testsupport::TempFolder dir;
    // A drawing of 100 × 50 mm: a red 30 mm square at 10 mm, a blue disc of
    // 30 mm centred at 70 mm, and a text.
    const QString svg = dir.write(QStringLiteral("drawing.svg"), QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100mm\" height=\"50mm\" viewBox=\"0 0 100 50\">"
        "<rect x=\"10\" y=\"10\" width=\"30\" height=\"30\" fill=\"#ff0000\"/>"
        "<circle cx=\"70\" cy=\"25\" r=\"15\" fill=\"#0000ff\"/>"
        "<text x=\"10\" y=\"48\" font-family=\"Arial\" font-size=\"6\">Тест</text></svg>").toUtf8());
    for (const QString &kind : {QStringLiteral("emf"), QStringLiteral("wmf")}) {
        SCOPED_TRACE(kind.toStdString());
        const QString out = dir.path() + QStringLiteral("/out-svg-") + kind;
        convert(office, svg, dir.path(), kind);
        QString error;
        const auto m = Metafile::loadFromFile(out + QStringLiteral("/drawing.") + kind, &error);
        ASSERT_TRUE(m.has_value()) << error.toStdString();
        // At 4 pixels a millimetre.
        const int w = m->mmWidth() * 4 / 100, h = m->mmHeight() * 4 / 100;
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            PainterCanvas c(img, DeviceMetrics{1000, 800, 250, 200, 96, 96});
            c.drawMetafile(*m, Rect{0, 0, w, h});
        }
        keep(img, QStringLiteral("office-written-") + kind);
        const Found f = scan(img);
        ASSERT_FALSE(f.red.isNull());
        ASSERT_FALSE(f.blue.isNull());
        EXPECT_NEAR(f.red.width() / 4.0, 30.0, 1.0);
        EXPECT_NEAR(f.red.height() / 4.0, 30.0, 1.0);
        EXPECT_NEAR(f.blue.width() / 4.0, 30.0, 1.0);
        EXPECT_NEAR((f.blue.center().x() - f.red.center().x()) / 4.0, 45.0, 1.0);
        EXPECT_NEAR(f.blue.center().y(), f.red.center().y(), 4);
        ASSERT_FALSE(f.dark.isNull());
        EXPECT_GT(f.dark.top(), f.red.bottom());
        bool text = false;
        for (const RecordView &r : m->records())
            text |= r.type == EMR_EXTTEXTOUTW && r.text() == QStringLiteral("Тест");
        EXPECT_TRUE(text);
    }
}

TEST(OfficeRendering, PdfPagesShowWhatTheCanvasDrew)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the PDF page is not checked";
    testsupport::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        PainterCanvas c(writer, PainterCanvas::metricsOf(writer));
        c.setMapMode(MM_HIMETRIC);
        // A red 20 × 10 mm box 10 mm from the top-left corner, a line in XOR
        // (on paper: the inverse of its colour) and the map picture at 2 ×.
        c.setPen(Pen{PS_NULL, 0, 0});
        c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        c.rectangle(Rect{1000, -1000, 3000, -2000});
        c.setRop2(R2_XORPEN);
        c.setPen(Pen{PS_SOLID, 50, rgb(255, 255, 0)});
        c.moveTo(1000, -3000);
        c.lineTo(5000, -3000);
        c.setRop2(R2_COPYPEN);
        c.drawMetafile(picture(), Rect{1000, -4000, 9000, -10000});
    }
    QProcess p;
    p.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                       pdf, dir.file(QStringLiteral("page"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage img(dir.file(QStringLiteral("page.png")));
    ASSERT_FALSE(img.isNull());
    keep(img.copy(0, 0, 400, 450), QStringLiteral("pdf-page"));
    const double mm = 100 / 25.4;
    QRect red;
    for (int y = 0; y < static_cast<int>(25 * mm); ++y) // the box, above the line
        for (int x = 0; x < 200; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                red = grow(red, x, y);
        }
    ASSERT_FALSE(red.isNull());
    EXPECT_NEAR(red.left() / mm, 10, 0.6);
    EXPECT_NEAR(red.top() / mm, 10, 0.6);
    EXPECT_NEAR(red.width() / mm, 20, 0.6);
    EXPECT_NEAR(red.height() / mm, 10, 0.6);
    // Yellow XOR white paper is blue.
    const QColor line = img.pixelColor(static_cast<int>(30 * mm), static_cast<int>(30 * mm));
    EXPECT_GT(line.blue(), 150);
    EXPECT_LT(line.red(), 80);
    // The picture's red square: 2 × (5..15 mm) from (10, 40) mm.
    const QColor sq = img.pixelColor(static_cast<int>(30 * mm), static_cast<int>(60 * mm));
    EXPECT_GT(sq.red(), 200);
    EXPECT_LT(sq.green(), 60);
}
