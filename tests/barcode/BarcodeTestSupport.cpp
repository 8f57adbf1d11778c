#include "BarcodeTestSupport.h"

#include "platform/gdi/Bitmap.h"
#include "support/GdalTools.h"
#include "support/TestFiles.h"

#include <QStandardPaths>

namespace barcodetest {

namespace {
constexpr int kQuiet = 24;
}

bool haveZbar()
{
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

QImage renderSymbol(reports::Barcode &barcode, int height)
{
    barcode.SetHeight(height);
    const int w = barcode.Width();
    const bool vertical = barcode.Angle() == 90 || barcode.Angle() == 270;
    platform::gdi::Bitmap bitmap(vertical ? height + 2 * kQuiet : w + 2 * kQuiet,
                                 vertical ? w + 2 * kQuiet : height + 2 * kQuiet);
    barcode.SetLeft(kQuiet);
    barcode.SetTop(kQuiet);
    barcode.DrawBarcode(bitmap.canvas());
    return bitmap.image();
}

QRect darkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

QString decodeWithZbar(const QImage &image, const QString &name)
{
    const QString file = testsupport::artefactFolder(QStringLiteral("barcode")) + u'/' + name + QStringLiteral(".png");
    image.save(file);
    // The supplements and UPC-A are off in zbar unless asked for.
    const testsupport::ToolRun run = testsupport::runTool(
        QStringLiteral("zbarimg"),
        {QStringLiteral("-q"), QStringLiteral("-Sean2.enable"), QStringLiteral("-Sean5.enable"),
         QStringLiteral("-Supca.enable"), QStringLiteral("-Supce.enable"), QStringLiteral("-Sisbn10.disable"),
         QStringLiteral("-Sisbn13.disable"), file},
        QString());
    return run.out.trimmed();
}

} // namespace barcodetest
