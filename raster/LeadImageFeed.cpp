// Feed loading (the image arrives in pieces) and loading from a URL, which
// feeds the pieces of a file to a feed load from the message loop.

#include "raster/LeadImageDisplay.h"

#include "platform/imaging/GifDelays.h"
#include "platform/imaging/ImagingErrors.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QUrl>

namespace raster {

namespace img = platform::imaging;

namespace {

constexpr qint64 Piece = 64 * 1024;

// Method errors off for the duration, as the download's steps run them.
struct QuietErrors {
    TLEADImage &control;
    QVariant before;
    explicit QuietErrors(TLEADImage &c) : control(c), before(c.Property(QStringLiteral("EnableMethodErrors")))
    {
        control.TLEADImage::SetProperty(QStringLiteral("EnableMethodErrors"), false);
    }
    ~QuietErrors() { control.TLEADImage::SetProperty(QStringLiteral("EnableMethodErrors"), before); }
};

} // namespace

int TLEADImageDisplay::StartFeedLoad(int bits, int page, int pages)
{
    ClearImage();
    feeding_ = true;
    feedBits_ = bits;
    feedPage_ = std::max(0, page);
    feedPages_ = pages;
    feed_.clear();
    return CheckResult(QStringLiteral("StartFeedLoad"), img::SUCCESS, true);
}

int TLEADImageDisplay::FeedLoad(const QByteArray &buffer)
{
    if (!feeding_) {
        LastError = 0;
        Raise(QStringLiteral("%1 \nFeedLoad: Feed Load not Started.").arg(Name), 0, ELEADImageError::InvalidOperation);
    }
    feed_.append(buffer);
    int r = img::SUCCESS;
    // Bytes that no reader knows are refused as soon as there are enough
    // of them to tell.
    if (feed_.size() >= 16) {
        QBuffer probe(&feed_);
        probe.open(QIODevice::ReadOnly);
        if (QImageReader::imageFormat(&probe).isEmpty())
            r = img::ERROR_FILE_FORMAT;
    }
    if (r != img::SUCCESS) {
        feeding_ = false;
        feed_.clear();
        TakeList({});
        HasBitmap = false;
    }
    return CheckResult(QStringLiteral("FeedLoad"), r, true);
}

int TLEADImageDisplay::StopFeedLoad()
{
    if (!feeding_) {
        LastError = 0;
        Raise(QStringLiteral("%1 \nFeedLoad: Feed Load not Started.").arg(Name), 0, ELEADImageError::InvalidOperation);
    }
    feeding_ = false;
    const QByteArray data = std::exchange(feed_, QByteArray());
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const std::vector<int> delays = img::gifFrameDelays(data);
    img::BitmapList items;
    int r = img::SUCCESS;
    for (int page = 0; feedPages_ < 0 || page < feedPage_ + feedPages_; ++page) {
        if (!reader.canRead())
            break;
        QImage image = reader.read();
        if (image.isNull()) {
            r = page == 0 ? img::ERROR_FILE_FORMAT : img::ERROR_FILE_READ;
            break;
        }
        if (page < feedPage_)
            continue;
        if (feedBits_ > 0 && img::formatForBits(feedBits_) != QImage::Format_Invalid)
            image = image.convertToFormat(img::formatForBits(feedBits_));
        img::Bitmap b = img::Bitmap::fromImage(image);
        b.delay = page < static_cast<int>(delays.size()) ? delays[static_cast<size_t>(page)]
                                                        : std::max(0, reader.nextImageDelay());
        items.push_back(b);
        if (OnFilePage)
            OnFilePage(*this);
    }
    if (items.empty() && r == img::SUCCESS)
        r = img::ERROR_FILE_READ; // the pieces ended before a whole picture
    // What arrived whole is kept even when the rest was cut short.
    TakeList(items);
    if (HasBitmap) {
        InfoWidth = Bitmap.width;
        InfoHeight = Bitmap.height;
        InfoBits = Bitmap.bitsPerPixel;
        InfoFormat = img::formatCodeOf(format, static_cast<int>(items.size()));
        InfoTotalPages = static_cast<int>(items.size());
        InfoAnimated = InfoFormat == img::FILE_GIF && items.size() > 1;
    }
    BitmapChanged();
    ImageEvent(5);
    return CheckResult(QStringLiteral("StopFeedLoad"), r, true);
}

int TLEADImageDisplay::SetBitmapDataPath(const QString &url)
{
    if (downloading_)
        endDownload(); // a path set anew stops the download before it
    ClearImage();
    dataPath_ = url;
    int r = 0;
    if (!url.isEmpty()) {
        const QUrl u(url);
        const bool local = u.scheme().isEmpty() || u.isLocalFile() || (u.scheme().size() == 1); // "C:/..."
        const QString path = u.isLocalFile() ? u.toLocalFile() : url;
        if (!local)
            r = img::ERROR_FEATURE_NOT_SUPPORTED;
        else if (!QFile::exists(path))
            r = img::ERROR_FILENOTFOUND;
        else {
            r = img::SUCCESS;
            // The binding starts: the feed begins and the pieces follow.
            readyState_ = rsLoading;
            int started;
            {
                QuietErrors quiet(*this);
                started = StartFeedLoad(0, 0, -1);
            }
            if (started != img::SUCCESS) {
                readyState_ = rsComplete;
                if (OnBitmapDataPathClosed)
                    OnBitmapDataPathClosed();
                LastError = started;
                Raise(QStringLiteral("%1 \nError code: %2\n%3: %4 ").arg(Name).arg(started).arg(url,
                                                                                          img::errorText(started)),
                      started);
            }
            downloading_ = true;
            const quint64 download = ++download_;
            if (OnReadyStateChanged)
                OnReadyStateChanged(*this, rsLoading);
            Defer([this, path, download] { transferFile(path, download); });
        }
    }
    if (r != img::SUCCESS) {
        TakeList({});
        HasBitmap = false;
        BitmapChanged();
        if (OnBitmapDataPathClosed)
            OnBitmapDataPathClosed();
    }
    return CheckResult(QStringLiteral("BitmapDataPath"), r, true);
}

void TLEADImageDisplay::transferFile(const QString &path, quint64 download)
{
    if (download != download_ || !downloading_)
        return; // stopped or replaced meanwhile
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        endDownload();
        return;
    }
    const qint64 size = file.size();
    qint64 done = 0;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(Piece);
        if (piece.isEmpty())
            break;
        done += piece.size();
        if (OnStatus && EnableProgressEvent())
            OnStatus(*this, size > 0 ? static_cast<int>(done * 100 / size) : 0);
        int fed;
        {
            QuietErrors quiet(*this);
            fed = FeedLoad(piece);
        }
        if (fed != img::SUCCESS) {
            // The download is given up: nothing of it stays.
            endDownload();
            TakeList({});
            HasBitmap = false;
            BitmapChanged();
            return;
        }
    }
    endDownload();
}

void TLEADImageDisplay::endDownload()
{
    downloading_ = false;
    if (feeding_) {
        QuietErrors quiet(*this);
        StopFeedLoad();
    }
    readyState_ = rsComplete;
    if (OnReadyStateChanged)
        OnReadyStateChanged(*this, rsComplete);
    if (OnBitmapDataPathClosed)
        OnBitmapDataPathClosed();
}

} // namespace raster
