#pragma once
// The imaging library stand-in: file information, whole, tiled, resized and
// level loads, saving through a table of format codes, and the image
// operations (rotation, contrast, intensity, quarter turns), over Qt's
// image readers and writers and the image-format plug-ins. Every call
// answers a result code (ImagingErrors.h). Long calls report through a
// callback that may answer anything but 1 to stop them; the call then
// answers that value and leaves its target as it was.
//
// The library is a service (platform::Service<ImagingLibrary>) so that
// tests can force codes and callbacks by deriving from it.

#include "platform/Service.h"
#include "platform/imaging/Bitmap.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace platform::imaging {

// The format codes of files; 0 is a picture of a format without a code.
enum FileFormat : int {
    FILE_GIF = 2, // also the code of a bitmap-list save
    FILE_TIF = 3,
    FILE_BMP = 6,
    FILE_JPEG = 10,
    FILE_TIF_PAGES = 17, // a TIFF of several pages; saved as FILE_TIF
    FILE_PNG = 75,
    FILE_WEBP = 76,
    FILE_TGA = 77,
    FILE_ICO = 78,
    FILE_PPM = 79,
    FILE_PGM = 80,
    FILE_PBM = 81,
    FILE_XPM = 82,
    FILE_XBM = 83,
    FILE_WBMP = 84,
};
// The pixels as the record's view perspective shows them (what a save
// writes: Qt's writers keep no orientation).
QImage shownPixels(const Bitmap &bitmap);

// Qt's name of the format of a code ("" for none) and back.
QByteArray qtFormatOf(int code);
int formatCodeOf(const QByteArray &qtFormat, int pages);

struct FileInfo {
    int format = 0;
    int width = 0, height = 0, bits = 0;
    QString text; // the format's name
    int page = 0, totalPages = 0;
    int xResolution = 0, yResolution = 0; // dots per inch, 0 unknown
    unsigned flags = 0;
    int extra = 0;
};

// Flags of a block of rows handed to a load callback.
enum LoadBlock : unsigned {
    BLOCK_IMAGE_START = 0x01 | 0x04,
    BLOCK_FIRST_ROW = 0x04,
    BLOCK_IMAGE_END = 0x02 | 0x08,
    BLOCK_BOTTOM_UP = 0x10, // the block's rows run from the foot up
};
// A percentage; answer 1 to go on.
using StatusCallback = std::function<int(int percent)>;
// Rows [firstRow, firstRow + rows) of `image` are ready; answer 1 to go on.
using LoadCallback = std::function<int(const Bitmap &image, int firstRow, int rows, unsigned flags)>;

struct LoadRequest {
    int bits = 0; // 0: the file's own depth
    int page = 0;
    int pages = -1; // -1 every page from `page` on
    std::optional<QRect> tile; // in pixels of the page (or of the level set)
    int passes = 0; // passes of an interlaced picture painted while loading
};

// What a file that lacks information needs from the caller: word 0 is the
// library's own, words 1 to 8 the values the caller supplies (width,
// height, bits, ... in the library's order), words 9 to 264 a palette of
// 256 colours when word 2 carries flag LOAD_INFO_PALETTE.
struct LoadInfoRequest {
    std::array<std::uint32_t, 265> words{};
};
enum : std::uint32_t { LOAD_INFO_PALETTE = 0x1000 };
// Answers 1 when it filled the request, 0 when it has nothing to give.
using LoadInfoCallback = std::function<int(LoadInfoRequest &request)>;

// Rotation flags.
enum RotateFlags : unsigned { ROTATE_RESIZE = 0x1, ROTATE_RESAMPLE = 0x2 };

class ImagingLibrary {
public:
    virtual ~ImagingLibrary() = default;

    virtual int fileInfo(const QString &fileName, int page, FileInfo &info);
    // Pages arrive through the callback in blocks of rows, each page as a
    // new image.
    virtual int loadFile(const QString &fileName, const LoadRequest &request, const LoadCallback &rows);
    // The first page scaled to width x height. A non-empty `needed` is the
    // part of it the caller uses: pixels outside may be left unread (black).
    virtual int loadResize(const QString &fileName, int width, int height, int bits, Bitmap &out,
                           const StatusCallback &status, const QRect &needed = {});
    // The stored resolution levels, level 0 the full size.
    virtual int readLoadResolutions(const QString &fileName, std::vector<QSize> &levels);
    // The level that later loads of files of `format` read (0 x 0: the
    // full size).
    virtual int setLoadResolution(int format, int width, int height);
    // Writes into a new file that replaces `fileName` only when complete.
    // `rows` hears the percentage of rows written.
    virtual int saveBitmap(const QString &fileName, const Bitmap &bitmap, int format, int bits, int qualityFactor,
                           const StatusCallback &rows);
    virtual int saveBitmapList(const QString &fileName, const BitmapList &list, int format, int bits,
                               int qualityFactor);
    // Angle in hundredths of a degree, counter-clockwise seen on the screen
    // for positive values; the corners the turn uncovers take `fill`.
    virtual int rotate(Bitmap &bitmap, int angle, unsigned flags, QRgb fill, const StatusCallback &status);
    // Change -1000 .. 1000 (tenths of a per cent); beyond, the nearest end.
    virtual int changeContrast(Bitmap &bitmap, int change, const StatusCallback &status);
    virtual int changeIntensity(Bitmap &bitmap, int change, const StatusCallback &status);
    // Stored a quarter turn further: 90, 180 or 270 degrees.
    virtual int rotateViewPerspective(Bitmap &bitmap, int angle);

    // The callback that loads ask when a file lacks information; gives the
    // one it replaces. Every format read here describes itself, so the
    // stand-in keeps the callback for its callers and never needs to ask.
    virtual LoadInfoCallback setLoadInfoCallback(LoadInfoCallback callback);

private:
    std::map<int, QSize> levels_;
    LoadInfoCallback loadInfo_;
};

inline ImagingLibrary &library()
{
    return Service<ImagingLibrary>::get();
}

} // namespace platform::imaging
