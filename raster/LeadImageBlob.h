#pragma once
// What a bound imaging control keeps in a database blob: a 24-byte header
// ("LTOCXBND", the header size, the image's size, two zero words, 32-bit
// little-endian) and the image bytes. A blob without the header is image
// bytes from its first byte.

#include <QByteArray>

#include <stdexcept>

namespace raster {

inline constexpr int BlobHeaderSize = 24;

QByteArray wrapBlobImage(const QByteArray &image);
// The image bytes of a blob. The header size it states is skipped, but
// never past the end of the blob or before its start.
QByteArray blobImageBytes(const QByteArray &blob);

// A column that cannot hold an image was named for a bound control.
class EInvalidFieldType : public std::runtime_error {
public:
    EInvalidFieldType() : std::runtime_error("TLEADImage.DataField can only be connected to columns of type Blob") {}
};

} // namespace raster
