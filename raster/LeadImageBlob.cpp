// The blob header of a bound imaging control.

#include "raster/LeadImageBlob.h"

#include <QtEndian>

#include <algorithm>

namespace raster {

namespace {
constexpr char Signature[] = "LTOCXBND";
}

QByteArray wrapBlobImage(const QByteArray &image)
{
    QByteArray blob(Signature, 8);
    blob.append(QByteArray(BlobHeaderSize - 8, '\0'));
    qToLittleEndian<quint32>(BlobHeaderSize, blob.data() + 8);
    qToLittleEndian<quint32>(static_cast<quint32>(image.size()), blob.data() + 12);
    blob.append(image);
    return blob;
}

QByteArray blobImageBytes(const QByteArray &blob)
{
    if (!blob.startsWith(QByteArrayView(Signature, 8)))
        return blob;
    if (blob.size() < 12)
        return {}; // a header cut short: no image behind it
    // The size is read as written (signed); a negative or oversized one
    // would point outside the blob.
    const qint64 header = qFromLittleEndian<qint32>(blob.constData() + 8);
    const qint64 skip = std::clamp<qint64>(header, 0, blob.size());
    return blob.mid(skip);
}

} // namespace raster
