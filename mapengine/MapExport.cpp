// Saving the map as last drawn: a Windows metafile, an enhanced metafile, a
// bitmap or a JPEG image, by the extensions found in the file name.

#include "mapengine/MapControlCore.h"

#include "platform/ByteOrder.h"
#include "platform/SafeFile.h"
#include "platform/UserAnswers.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <algorithm>

using namespace platform::gdi;

namespace {

namespace le = platform::le;

// A bitmap file of 32 bits per pixel, rows bottom-up, as the platform saves
// a 32-bit bitmap.
QByteArray bitmapFile32(const QImage &source)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const qint64 w = img.width(), h = img.height();
    const qint64 bits = w * h * 4;
    QByteArray b(14 + 40, '\0');
    b[0] = 'B';
    b[1] = 'M';
    le::put32(b, 2, static_cast<std::uint32_t>(14 + 40 + bits));
    le::put32(b, 10, 14 + 40);
    le::put32(b, 14, 40);
    le::put32(b, 18, static_cast<std::uint32_t>(w));
    le::put32(b, 22, static_cast<std::uint32_t>(h));
    le::put16(b, 26, 1);
    le::put16(b, 28, 32);
    le::put32(b, 30, 0); // no compression
    le::put32(b, 34, static_cast<std::uint32_t>(bits));
    b.reserve(b.size() + bits);
    for (qint64 y = h - 1; y >= 0; --y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(static_cast<int>(y)));
        for (qint64 x = 0; x < w; ++x) {
            const QRgb p = row[x];
            const char px[4] = {static_cast<char>(qBlue(p)), static_cast<char>(qGreen(p)), static_cast<char>(qRed(p)),
                                0};
            b.append(px, 4);
        }
    }
    return b;
}

QByteArray jpegFile(const QImage &source)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(100);
    // 24-bit colour at full size.
    if (!writer.write(source.convertToFormat(QImage::Format_RGB888)))
        return {};
    return bytes;
}

bool fail(const QString &fileName)
{
    platform::messageDlg(QStringLiteral("Ошибка записи файла ") + fileName, platform::MsgType::Error,
                         platform::mbOK);
    return false;
}

} // namespace

bool MapControlCore::ExportPicture(const QString &fileName)
{
    const QString name = fileName.toLower();
    const bool wmf = name.contains(QLatin1String(".wmf"));
    const bool emf = name.contains(QLatin1String(".emf"));
    const bool bmp = name.contains(QLatin1String(".bmp"));
    const bool jpg = name.contains(QLatin1String(".jpg"));
    if (!wmf && !emf && !bmp && !jpg)
        return true;

    // The map as the window shows it: a copy of the picture clipped to the
    // window's size.
    Metafile copy(screenMetrics());
    copy.setSizeInPixels(ClientWidth(), ClientHeight());
    {
        MetafileCanvas canvas(copy);
        canvas.selectClipRegion(QRegion(0, 0, ClientWidth(), ClientHeight()));
        canvas.drawMetafile(FMapPicture, Rect{0, 0, FMapPicture.width(), FMapPicture.height()});
        canvas.finish();
    }

    bool ok = true;
    if (wmf || emf) {
        // Report pictures are the fixed-size picture itself.
        const Metafile &source = FPictureMode ? FMapPicture : copy;
        QString error;
        if (!source.saveToFile(fileName, &error)) {
            platform::messageDlg(error, platform::MsgType::Error, platform::mbOK);
            ok = false;
        }
    }
    if (bmp || jpg) {
        // Three times the screen's resolution, proportions kept.
        Bitmap bitmap(std::max(1, 3 * copy.width()), std::max(1, 3 * copy.height()));
        {
            Canvas &canvas = bitmap.canvas();
            canvas.setMapMode(MM_HIMETRIC);
            canvas.drawMetafile(copy, Rect{0, 0, 3 * copy.mmWidth(), -3 * copy.mmHeight()});
        }
        const QImage &image = bitmap.image();
        if (bmp && !platform::writeFileAtomically(fileName, bitmapFile32(image)))
            ok = fail(fileName);
        if (jpg) {
            const QByteArray bytes = jpegFile(image);
            if (bytes.isEmpty() || !platform::writeFileAtomically(fileName, bytes))
                ok = fail(fileName);
        }
    }
    return ok;
}
