#pragma once
// The imaging control without its window: one image (the current item of a
// list of images) of the imaging library, with file information, loads of
// the whole file, a window of it, a reduced picture or a stored level,
// saving, the image operations, a device context lent on the image, the
// progress and abort protocol and the published properties with their
// validators. Results follow the library's codes (1 success); every
// operation keeps its code in LastError and, while EnableMethodErrors is on,
// raises ELEADImageError for a failure. The raster routines create one for
// a single job and free it; such hidden controls never make a widget.

#include "platform/imaging/Bitmap.h"
#include "platform/imaging/ImagingLibrary.h"

#include <QColor>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <map>
#include <stdexcept>

class QObject;

namespace raster {

// The control's error. `kind` tells the class of the original's exception:
// the control's own, a range error or an invalid operation.
class ELEADImageError : public std::runtime_error {
public:
    enum Kind { Image, Range, InvalidOperation };
    ELEADImageError(const QString &message, int code, Kind kind)
        : std::runtime_error(message.toStdString()), code(code), kind(kind)
    {
    }
    QString message() const { return QString::fromUtf8(what()); }
    int code = 0;
    Kind kind = Image;
};

class TLEADImage {
public:
    explicit TLEADImage(QObject *owner = nullptr);
    virtual ~TLEADImage();
    TLEADImage(const TLEADImage &) = delete;
    TLEADImage &operator=(const TLEADImage &) = delete;

    QString Name; // empty for controls made at run time
    QObject *Owner = nullptr;

    // ---- image and list
    platform::imaging::Bitmap Bitmap;
    bool HasBitmap = false;
    int BitmapListIndex = 0;
    int LastError = 1;
    const platform::imaging::BitmapList &BitmapList() const { return list_; }
    bool HasBitmapList() const { return hasList_; }
    int BitmapListCount();

    // ---- file information (GetFileInfo and every load)
    int InfoWidth = 0, InfoHeight = 0, InfoBits = 0, InfoFormat = 0;
    QString InfoText;
    int InfoPage = 0, InfoTotalPages = 0, InfoXRes = 0, InfoYRes = 0, InfoExtra = 0;
    bool InfoAnimated = false;
    int LoadExtra = 0;
    bool LoadExtraFlag = false;
    int SaveExtra = 0, SavePage = 0, Passes = 0;

    // ---- resolution levels
    static constexpr int MaxResolutions = 29;
    int LoadResolutionCount = 1;
    int LoadResolutionWidth(int i);
    int LoadResolutionHeight(int i);

    // ---- file services
    int GetFileInfo(const QString &fileName, int page);
    void ClearImage();
    int Load(const QString &fileName, int bits, int page, int pages);
    int LoadFileTile(const QString &fileName, int bits, int page, int pages, int col, int row, int width,
                     int height);
    int LoadResize(const QString &fileName, int width, int height, int flags, int bits);
    int ReadLoadResolutions(const QString &fileName);
    int SetLoadResolution(int format, int width, int height);
    int Save(const QString &fileName, int format, int bits, int qFactor, int saveMode);

    // ---- operations
    int Contrast(int change);
    int Intensity(int change);
    virtual int Rotate(int angle, unsigned flags, QRgb fillColor);
    virtual int FastRotate(int angle);
    // The image lent for drawing from, until ReleaseBitmapDC.
    const QImage *GetBitmapDC();
    int ReleaseBitmapDC();
    bool UseLUT() const { return useLut_; }
    void SetUseLUT(bool on);
    // The last rotation: degrees about the shown centre.
    double LastRotationAngle = 0;
    double LastRotationCenterX = 0, LastRotationCenterY = 0;

    // ---- properties
    // Published properties by name; an unknown name reads as an invalid
    // value. Writing validates as the property does and raises on a bad
    // value, keeping the old one.
    // Virtual so that the shown control acts on the values it draws by.
    virtual QVariant Property(const QString &name) const;
    virtual void SetProperty(const QString &name, const QVariant &value);
    bool EnableMethodErrors() const { return Property(QStringLiteral("EnableMethodErrors")).toBool(); }
    bool EnableProgressEvent() const { return Property(QStringLiteral("EnableProgressEvent")).toBool(); }
    void SetEnableProgressEvent(bool on) { SetProperty(QStringLiteral("EnableProgressEvent"), on); }

    // ---- events
    std::function<void(TLEADImage &, int percent)> OnStatus;
    std::function<void(TLEADImage &)> OnChange;
    std::function<void(TLEADImage &)> OnFilePage;

    // ---- the hooks of descendants
    virtual void ImageEvent(int) {}
    virtual void BitmapChanged() {}

    // The control the library's callbacks address (a stack of controls).
    static TLEADImage *ActiveImage();
    static bool AbortRequested();
    static bool Aborted();

protected:
    int CheckResult(const QString &name, int code, bool raise);
    [[noreturn]] void RaiseError(const QString &name, int code);
    void CheckImage(const QString &name, int code);
    [[noreturn]] void RaiseInvalidValue(const QString &name);
    void CheckBusy();
    [[noreturn]] void Raise(const QString &message, int code, ELEADImageError::Kind kind = ELEADImageError::Image);
    void BeginProcessing(platform::imaging::Bitmap &target);
    virtual void EndProcessing(platform::imaging::Bitmap &target);
    // An operation on `target` between BeginProcessing and EndProcessing
    // (which runs also when the operation raises).
    int process(platform::imaging::Bitmap &target, const std::function<int()> &operation);
    // The image becomes `image`, alone in a new list (memory loads, screen
    // captures, dropped records); raster/LeadImageTake.cpp.
    void TakeImage(const platform::imaging::Bitmap &image);

private:
    int loadCommon(const QString &operation, const QString &fileName, const platform::imaging::LoadRequest &request);
    void pushActive();
    void popActive();
    void installStatus();
    void removeStatus();
    void dropList();
    void takeInfo(const platform::imaging::FileInfo &info);
    static int statusCallback(int percent);
    int loadBlock(const platform::imaging::Bitmap &image, int firstRow, int rows, unsigned flags);

    platform::imaging::BitmapList list_;
    bool hasList_ = false;
    std::array<QSize, MaxResolutions> levels_{};
    bool lent_ = false;
    bool loading_ = false;
    bool statusInstalled_ = false;
    const QImage *lentDc_ = nullptr;
    platform::imaging::Bitmap backup_;
    TLEADImage *previousActive_ = nullptr;
    int pagesWanted_ = 0, pagesDone_ = 0, rowCounter_ = 0;
    bool useLut_ = true;
    std::map<QString, QVariant> properties_;
};

} // namespace raster
