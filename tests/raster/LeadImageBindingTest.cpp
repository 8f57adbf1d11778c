// The imaging control bound to a blob field: the blob header, a round trip
// through a dBase table's binary memo, null and plain-picture blobs, and
// the checks of the column and the data source.

#include "raster/LeadImageBlob.h"
#include "raster/LeadImageDisplay.h"

#include "platform/db/DataSource.h"
#include "platform/db/Table.h"
#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace raster;
namespace db = platform::db;
namespace img = platform::imaging;

namespace {

QImage pattern()
{
    QImage image(13, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            image.setPixel(x, y, qRgb(x * 19, y * 36, (x * y) % 256));
    return image;
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A dBase table with a name and a binary memo for pictures, one record.
void makeTable(db::Table &t, const QString &folder)
{
    t.setDatabaseName(folder);
    t.setTableName(QStringLiteral("plots.dbf"));
    t.addFieldDef(QStringLiteral("NAME"), db::FieldType::String, 10);
    t.addFieldDef(QStringLiteral("PIC"), db::FieldType::Blob);
    t.createTable();
    t.open();
    t.append();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("first"));
    t.post();
}

} // namespace

TEST(LeadImageBlob, HeaderIsWrittenAndSkippedWithinTheBlob)
{
    const QByteArray image("IMAGE", 5);
    const QByteArray wrapped = wrapBlobImage(image);
    EXPECT_EQ(wrapped, QByteArray("LTOCXBND\x18\0\0\0\x05\0\0\0\0\0\0\0\0\0\0\0IMAGE", 29));

    auto header = [](qint32 size, const QByteArray &rest) {
        QByteArray b("LTOCXBND", 8);
        b.append(QByteArray(4, '\0'));
        testsupport::putLE32(b, 8, size);
        return b + rest;
    };
    const struct {
        const char *what;
        QByteArray blob;
        QByteArray expected;
    } cases[] = {
        {"written", wrapped, image},
        {"plain picture", QByteArray("\x89PNG..", 6), QByteArray("\x89PNG..", 6)},
        {"empty", QByteArray(), QByteArray()},
        {"header of 16", header(16, QByteArray("abcdXY", 6)), QByteArray("XY", 2)},
        {"size past the end", header(0x7FFFFFFF, QByteArray("abc", 3)), QByteArray()},
        {"negative size", header(-100, QByteArray("abc", 3)), header(-100, QByteArray("abc", 3))},
        {"signature alone", QByteArray("LTOCXBND", 8), QByteArray()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(blobImageBytes(c.blob), c.expected) << c.what;
}

TEST(LeadImageBinding, RoundTripThroughADBaseBinaryMemo)
{
    testsupport::TempFolder dir;
    const QString pictureFile = dir.file(QStringLiteral("p.png"));
    ASSERT_TRUE(pattern().save(pictureFile));
    {
        db::Table t;
        makeTable(t, dir.path());
        db::DataSource source;
        source.setDataSet(&t);
        TLEADImageDisplay control;
        control.SetDataSource(&source);
        control.SetDataField(QStringLiteral("PIC"));
        EXPECT_FALSE(control.HasBitmap); // the field is null
        EXPECT_EQ(control.LastError, img::SUCCESS);

        // Loaded while browsing, written when the record is edited and posted.
        ASSERT_EQ(control.Load(pictureFile, 0, 0, 1), img::SUCCESS);
        EXPECT_TRUE(control.DataModified());
        t.edit();
        t.post();
        EXPECT_FALSE(control.DataModified());
        const QByteArray blob = t.fieldByName(u"PIC").asBytes();
        ASSERT_GT(blob.size(), BlobHeaderSize);
        EXPECT_EQ(blob.left(12), QByteArray("LTOCXBND\x18\0\0\0", 12));
        EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 12), quint32(blob.size() - BlobHeaderSize));
        EXPECT_EQ(blob.mid(16, 8), QByteArray(8, '\0'));
    }
    db::Table again;
    again.setDatabaseName(dir.path());
    again.setTableName(QStringLiteral("plots.dbf"));
    again.open();
    db::DataSource source;
    source.setDataSet(&again);
    TLEADImageDisplay control;
    control.SetDataSource(&source);
    control.SetDataField(QStringLiteral("PIC"));
    ASSERT_TRUE(control.HasBitmap);
    EXPECT_EQ(control.InfoWidth, 13);
    EXPECT_EQ(control.InfoTotalPages, 1);
    EXPECT_EQ(control.Bitmap.pixels.convertToFormat(QImage::Format_RGB32), pattern());
    EXPECT_FALSE(control.DataModified());
}

TEST(LeadImageBinding, PlainPicturesNullsAndBadColumns)
{
    testsupport::TempFolder dir;
    db::Table t;
    makeTable(t, dir.path());
    t.edit();
    t.fieldByName(u"PIC").setAsBytes(png(pattern())); // no header
    t.post();
    t.append();
    t.post(); // a second record with a null picture
    t.first();

    db::DataSource source;
    source.setDataSet(&t);
    TLEADImageDisplay control;
    control.SetProperty(QStringLiteral("DataSaveQuality"), 30);
    control.SetDataSource(&source);
    EXPECT_EQ(control.Property(QStringLiteral("DataSaveQuality")).toInt(), -5);
    EXPECT_EQ(control.Property(QStringLiteral("DataSaveFormat")).toInt(), 5);
    control.SetDataField(QStringLiteral("PIC"));
    ASSERT_TRUE(control.HasBitmap);
    EXPECT_EQ(control.Bitmap.pixels.convertToFormat(QImage::Format_RGB32), pattern());

    t.next(); // the image follows the record
    EXPECT_FALSE(control.HasBitmap);
    EXPECT_EQ(control.LastError, img::SUCCESS);

    // A damaged blob empties the control and tells it.
    control.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    t.edit();
    t.fieldByName(u"PIC").setAsBytes(wrapBlobImage(QByteArray("not a picture")));
    t.post();
    EXPECT_FALSE(control.HasBitmap);
    EXPECT_NE(control.LastError, img::SUCCESS);

    EXPECT_THROW(control.SetDataField(QStringLiteral("NAME")), EInvalidFieldType);
    EXPECT_EQ(control.DataField(), QStringLiteral("PIC"));
}
