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
#include <QRect>
#include <QRegion>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
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

// The published enumerations, in their published order.
enum TPaintSizeMode { smNormal, smStretch, smFitSides, smFit, smZoom };
enum TPaletteType { ppAuto, ppFixed, ppAutoNetscape, ppFixedNetscape };
enum TPaintDither { pdOrdered, pdDiffusion };
enum TPaintScaling { psNormal, psResample, psBicubic };
enum TBitonalScaling { btsNormal, btsFavorBlack, btsScaleToGray };
enum TFrameInnerStyle { fisInset, fisRaised };
enum TFrameOuterStyle { fosInset, fosRaised };
enum TTransitionStyle { etsNone, etsGradient, etsPattern };
enum TPatternStyle {
    epsSolid, epsTransparent, epsHorzLine, epsVertLine, epsDownwarDiag, epsUpwardDiag, epsCross, epsDiagCross
};
enum TTextAlign {
    etaLeftTop, etaLeftVcenter, etaLeftBottom, etaHcenterTop, etaHcenterVcenter, etaHcenterBottom, etaRightTop,
    etaRightVcenter, etaRightBottom
};
enum TTextStyle {
    etsNormal, etsInsetLight, etsInsetExtraLight, etsInsetHeavy, etsInsetExtraHeavy, etsRaisedLight, etsRaisedHeavy,
    etsDropShadow, etsBlockShadow, etsOutLineBlock, etsRaisedExtraHeavy, etsRaisedExtraLight
};
enum TShapeBackStyle {
    sbsTransparent, sbsOpaque, sbsTranslucent, sbsTiledImage, sbsTranslucentTiledImage, sbsGradient,
    sbsTranslucentGradient
};
enum TShapeBorderStyle { sbrTransparent, sbrSolid, sbrDash, sbrDot, sbrDashDot, sbrDashDotDot };
enum TShapeInnerBandStyle { sibNone, sibInset, sibRaised };
enum TShapeOuterBandStyle { sobNone, sobInset, sobRaised };
enum TReadyState { rsLoading, rsComplete };

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
    // The part of the next LoadResize the caller copies from (pixels of
    // the reduced picture); empty: all of it. Pixels outside may be left
    // unread (black), so a window of a large picture is not decoded past
    // its foot.
    QRect LoadResizeNeeded;

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

    // ---- events (the class library's own, such as clicks, mouse and
    // resizing, are the window's)
    std::function<void(TLEADImage &, int percent)> OnStatus;
    std::function<void(TLEADImage &)> OnChange;
    std::function<void(TLEADImage &)> OnFilePage;
    // A file lacks information: the handler sets LoadInfo and
    // LoadInfoPalette (value 3 left 0: it has none).
    std::function<void(TLEADImage &)> OnLoadInfo;
    std::function<void(TLEADImage &, bool enable)> OnAnimate;
    std::function<void(TLEADImage &)> OnBeforeScroll, OnScroll, OnPaint, OnRgnChange, OnRubberBand;
    std::function<void(TLEADImage &, int &key, Qt::KeyboardModifiers shift)> OnKeyDown, OnKeyUp;
    std::function<void(TLEADImage &, const QString &fileName)> OnDropFile;
    std::function<void(TLEADImage &, unsigned pass, unsigned type)> OnPaintNotify;
    std::function<void(TLEADImage &, void *panWindow, int flag)> OnPanWin;
    std::function<void(TLEADImage &, TReadyState)> OnReadyStateChanged;
    std::function<void(TLEADImage &, int x, int y)> OnZoomInDone;
    std::function<void(TLEADImage &)> OnMagGlassCursor;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnOLEStartDrag, OnOLEDragOver,
        OnOLECompleteDrag;
    std::function<void(bool &useDefaultCursor)> OnOLEGiveFeedback;
    std::function<void()> OnBitmapDataPathClosed;
    // Published for forms but never fired by the control.
    std::function<void(unsigned tag, unsigned type, unsigned count, bool &goOn)> OnEnumTags;
    std::function<void(int marker, int size, const void *data, int transform)> OnTransformMarker;
    std::function<void(TLEADImage &, int bumpOrNick, int startRow, int startCol, int length, unsigned horV)> OnSmooth;
    std::function<void(TLEADImage &, int startRow, int startCol, int length, const QRegion &line)> OnLineRemove;
    std::function<void(TLEADImage &, const QRegion &text, const QRect &bounds, int white, int black)>
        OnInvertedText;
    std::function<void(TLEADImage &, const QRegion &hole, const QRect &bounds, int index, int total, int white,
                       int black)>
        OnHolePunchRemove;
    std::function<void(TLEADImage &, const QRegion &dot, const QRect &bounds, int white, int black)> OnDotRemove;
    std::function<void(TLEADImage &, const QRegion &border, unsigned borderToRemove, const QRect &bounds)>
        OnBorderRemove;

    // ---- load information: what OnLoadInfo gives a file that lacks it
    std::array<std::int32_t, 8> LoadInfo{}; // values 1 to 8
    std::array<QRgb, 256> LoadInfoPalette{};
    bool EnableLoadInfo = true;

    // ---- painting while loading: the window paints, the core tells it
    // when. With PaintWhileLoad, each image of a load announces its start
    // (lay the display out anew and realize the palette) and then its rows
    // as they arrive; without, the palette is left for the next paint.
    std::function<void(TLEADImage &, const platform::imaging::Bitmap &image)> LoadImageStarted;
    std::function<void(TLEADImage &, const platform::imaging::Bitmap &image, int firstRow, int rows, bool bottomUp)>
        LoadRowsArrived;
    bool PaletteUpdatePending = false;

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
    // The list becomes `items`, item 0 current (feed loads).
    void TakeList(const platform::imaging::BitmapList &items);
    // `Bitmap` changed in place becomes the current item of the list again.
    void StoreCurrentItem();

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
    int loadInfo(platform::imaging::LoadInfoRequest &request);

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
