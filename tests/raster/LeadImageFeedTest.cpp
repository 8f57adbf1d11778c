// Feed loading in pieces and loading from a path or URL.

#include "raster/LeadImageDisplay.h"

#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"
#include "Raised.h"

#include <QBuffer>
#include <QUrl>

#include <gtest/gtest.h>

using namespace raster;
namespace img = platform::imaging;

namespace {

QByteArray pngOf(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(LeadImageFeed, PiecesMakeThePictureAndForeignBytesStopTheFeed)
{
    TLEADImageDisplay c;
    c.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    const auto [message, code] = raised([&] { c.FeedLoad(QByteArray("x")); });
    EXPECT_EQ(message, QStringLiteral(" \nFeedLoad: Feed Load not Started."));
    EXPECT_EQ(code, 0);

    const QByteArray png = pngOf(21, 9);
    int pages = 0;
    c.OnFilePage = [&](TLEADImage &) { ++pages; };
    ASSERT_EQ(c.StartFeedLoad(0, 0, -1), img::SUCCESS);
    for (qsizetype at = 0; at < png.size(); at += 7)
        ASSERT_EQ(c.FeedLoad(png.mid(at, 7)), img::SUCCESS);
    EXPECT_EQ(c.StopFeedLoad(), img::SUCCESS);
    EXPECT_TRUE(c.HasBitmap);
    EXPECT_EQ(c.Bitmap.width, 21);
    EXPECT_EQ(c.InfoFormat, img::FILE_PNG);
    EXPECT_EQ(pages, 1);

    ASSERT_EQ(c.StartFeedLoad(0, 0, -1), img::SUCCESS);
    EXPECT_EQ(c.FeedLoad(QByteArray(40, 'z')), img::ERROR_FILE_FORMAT);
    EXPECT_FALSE(c.FeedLoading());
    EXPECT_FALSE(c.HasBitmap);
    EXPECT_EQ(raised([&] { c.StopFeedLoad(); }).second, 0);

    // Pieces that end before a whole picture: nothing, and the code says so.
    ASSERT_EQ(c.StartFeedLoad(0, 0, -1), img::SUCCESS);
    c.FeedLoad(png.left(20));
    EXPECT_NE(c.StopFeedLoad(), img::SUCCESS);
    EXPECT_FALSE(c.HasBitmap);
}

TEST(LeadImageFeed, DataPathLoadsLocalFilesOnly)
{
    testsupport::TempFolder folder;
    const QString file = folder.write(QStringLiteral("p.png"), pngOf(12, 5));
    TLEADImageDisplay c;
    c.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    QStringList events;
    c.OnReadyStateChanged = [&](TLEADImage &, TReadyState s) {
        events << (s == rsLoading ? QStringLiteral("loading") : QStringLiteral("complete"));
    };
    c.OnBitmapDataPathClosed = [&] { events << QStringLiteral("closed"); };

    for (const QString &path : {file, QUrl::fromLocalFile(file).toString()}) {
        events.clear();
        EXPECT_EQ(c.SetBitmapDataPath(path), img::SUCCESS) << path.toStdString();
        EXPECT_TRUE(c.HasBitmap);
        EXPECT_EQ(c.Bitmap.width, 12);
        EXPECT_EQ(c.ReadyState(), rsComplete);
        EXPECT_EQ(events, (QStringList{"loading", "complete", "closed"}));
    }

    const struct {
        QString path;
        int code;
    } failing[] = {
        {QString(), 0},
        {QStringLiteral("http://example.org/p.png"), img::ERROR_FEATURE_NOT_SUPPORTED},
        {folder.file(QStringLiteral("missing.png")), img::ERROR_FILENOTFOUND},
    };
    for (const auto &f : failing) {
        events.clear();
        EXPECT_EQ(c.SetBitmapDataPath(f.path), f.code) << f.path.toStdString();
        EXPECT_FALSE(c.HasBitmap);
        EXPECT_EQ(events, QStringList{"closed"});
        EXPECT_EQ(c.Property(QStringLiteral("BitmapDataPath")).toString(), f.path);
    }
    c.SetProperty(QStringLiteral("EnableMethodErrors"), true);
    EXPECT_EQ(raised([&] { c.SetBitmapDataPath(QString()); }).second, 0);
}
