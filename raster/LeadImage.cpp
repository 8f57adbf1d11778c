// The imaging control's core: state, error convention, loads, save, the
// image operations and the published properties.

#include "raster/LeadImage.h"

#include "platform/imaging/ImagingErrors.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace raster {

namespace img = platform::imaging;

namespace {

TLEADImage *activeImage = nullptr;
bool abortRequested = false;
bool aborted = false;

// The published properties other than the class library's own and the
// events, with the values the control starts with (a name not listed
// starts at 0).
const QStringList &publishedNames()
{
    static const QStringList names = QStringLiteral(
        "AutoAnimate AutoAnimationLoop AutoFloater AutoRepaint AutoScroll AutoSetRects AutoSize BackColor "
        "BackErase BackgroundImageHeight BackgroundImageLeft BackgroundImageTop BackgroundImageWidth "
        "BitonalScaling BitmapDataPath CenterImage DataField DataLoadBits DataSaveBits DataSaveFormat "
        "DataSaveQuality DataSource DropAutoLoad DropFilesAllowed DrawMode DrawFillColor DrawFillStyle "
        "DrawPenColor DrawPenStyle DrawPenWidth DrawPersistence EffectDelay EffectGrain EnableFloater "
        "EnableMethodErrors EnableProgressEvent EnableZoomInRect FrameColor FrameInnerHiliteColor "
        "FrameInnerShadowColor FrameInnerStyle FrameInnerThickness FrameOuterHiliteColor FrameOuterShadowColor "
        "FrameOuterStyle FrameOuterThickness FrameThickness GradientEndColor GradientStartColor GradientSteps "
        "GradientStyle HScrollStep MagGlassPaintPalette MagGlassBitonalScaling MagGlassPaintDither "
        "MagGlassPaintScaling MagGlassPointer PaintContrast PaintDither PaintEffect PaintGamma PaintIntensity "
        "PaintMaxPasses PaintNotificationDelay PaintPalette PaintRgnOnly PaintScaling PaintSizeMode "
        "PaintSizeUseDPI PaintWhileLoad PaintZoomFactor PanWinBitonalScaling PanWinHeight PanWinIcon "
        "PanWinPaintPalette PanWinPaintDither PanWinPaintScaling PanWinPointer PanWinRectColor PanWinSysMenu "
        "PanWinTitle PanWinWidth PanWinX PanWinY PatternBackColor PatternForeColor PatternStyle ReadOnly "
        "RefBitmap ShadowColor ShadowXDepth ShadowYDepth ShapeLeft ShapeTop ShapeWidth ShapeHeight "
        "ShapeBackgroundStyle ShapeBorderColor ShapeBorderStyle ShapeBorderThickness ShapeInnerBandHiliteColor "
        "ShapeInnerBandShadowColor ShapeInnerBandStyle ShapeInnerBandThickness ShapeOuterBandHiliteColor "
        "ShapeOuterBandShadowColor ShapeOuterBandStyle ShapeOuterBandThickness TextAlign TextAngle TextLeft "
        "TextTop TextWidth TextHeight TextFont TextStyle TextWordWrap TextHiliteColor TransitionEffect "
        "TransitionStyle Transparent TransparentColor UseTransparentColor VScrollStep WandColor WandSize "
        "EnableKeyboard EnableScroll PDFXResolution PDFYResolution PDFDisplayDepth PDFTextAlpha "
        "PDFGraphicsAlpha PDFUseLibFonts RasterizeViewportWidth RasterizeViewportHeight RasterizeViewMode "
        "EnableOLEDragMethod EffectSpeed EffectCycles")
                                          .split(QLatin1Char(' '));
    return names;
}

std::map<QString, QVariant> initialValues()
{
    const QRgb white = qRgb(255, 255, 255), grey = qRgb(128, 128, 128);
    std::map<QString, QVariant> v;
    for (const QString &name : publishedNames())
        v[name] = 0;
    const std::pair<const char *, QVariant> set[] = {
        {"AutoFloater", true}, {"AutoRepaint", true}, {"AutoScroll", true}, {"AutoSetRects", true},
        {"BackColor", QVariant::fromValue(qRgb(240, 240, 240))}, {"DataLoadBits", 24}, {"DataSaveBits", 24},
        {"DataSaveFormat", 5}, {"DataSaveQuality", -1}, {"DropAutoLoad", true}, {"DrawPenWidth", 1},
        {"EffectGrain", 5}, {"EnableMethodErrors", true}, {"EnableZoomInRect", true},
        {"FrameInnerHiliteColor", white}, {"FrameOuterHiliteColor", white}, {"FrameInnerShadowColor", grey},
        {"FrameOuterShadowColor", grey}, {"GradientStartColor", qRgb(0, 0, 255)}, {"GradientSteps", 16},
        {"GradientStyle", 1000}, {"HScrollStep", 10}, {"VScrollStep", 10}, {"MagGlassPaintScaling", psResample},
        {"PaintEffect", 1000}, {"TransitionEffect", 1000}, {"PaintGamma", 100}, {"PaintMaxPasses", 1},
        {"PaintZoomFactor", 100}, {"PanWinWidth", 150}, {"PanWinHeight", 150}, {"PanWinPaintScaling", psResample},
        {"PanWinRectColor", 255}, {"PanWinSysMenu", true}, {"PanWinTitle", QStringLiteral("Pan Window")},
        {"ShapeInnerBandHiliteColor", white}, {"ShapeOuterBandHiliteColor", white},
        {"ShapeInnerBandShadowColor", grey}, {"ShapeOuterBandShadowColor", grey}, {"TextHiliteColor", white},
        {"EnableKeyboard", true}, {"EnableScroll", true}, {"PDFXResolution", 96}, {"PDFYResolution", 96},
        {"PDFDisplayDepth", 24}, {"PDFTextAlpha", 4}, {"PDFGraphicsAlpha", 1}, {"PDFUseLibFonts", -1},
        {"RasterizeViewportWidth", 640}, {"RasterizeViewportHeight", 480}, {"RasterizeViewMode", 1},
    };
    for (const auto &[name, value] : set)
        v[QString::fromLatin1(name)] = value;
    return v;
}

bool inRanges(int v, std::initializer_list<std::pair<int, int>> ranges)
{
    return std::any_of(ranges.begin(), ranges.end(), [v](auto r) { return v >= r.first && v <= r.second; });
}

bool isEffectCode(int v)
{
    return inRanges(v, {{1000, 1001}, {2000, 2554}, {3000, 3005}, {4000, 4029}, {5000, 5263}, {6000, 6525},
                        {7000, 7263}, {8000, 8259}, {9000, 9001}, {10000, 10003}, {11000, 11006},
                        {12000, 12009}, {13000, 13007}, {14000, 14007}, {15000, 15035}, {16000, 16035}});
}

bool isGradientCode(int v)
{
    return inRanges(v, {{1000, 1015}, {2000, 2007}, {3000, 3001}, {4000, 4001}, {5000, 5007}});
}

} // namespace

TLEADImage::TLEADImage(QObject *owner) : Owner(owner), properties_(initialValues())
{
}

TLEADImage::~TLEADImage()
{
    // A control freed inside its own operation leaves the stack as it was.
    if (statusInstalled_)
        popActive();
}

TLEADImage *TLEADImage::ActiveImage()
{
    return activeImage;
}

bool TLEADImage::AbortRequested()
{
    return abortRequested;
}

bool TLEADImage::Aborted()
{
    return aborted;
}

// ---- error convention ---------------------------------------------------------------

void TLEADImage::Raise(const QString &message, int code, ELEADImageError::Kind kind)
{
    throw ELEADImageError(message, code, kind);
}

int TLEADImage::CheckResult(const QString &name, int code, bool raise)
{
    if (code == img::ERROR_INV_STRUCT_SIZE)
        code = img::ERROR_STRUCT_SIZE_REPORTED;
    LastError = code;
    if (code != img::SUCCESS && EnableMethodErrors() && raise)
        Raise(QStringLiteral("%1 \nError code: %2\n%3: %4 ").arg(Name).arg(code).arg(name, img::errorText(code)), code);
    return code;
}

void TLEADImage::RaiseError(const QString &name, int code)
{
    LastError = code;
    Raise(QStringLiteral("%1 \nError code: %2\n%3: %4 ").arg(Name).arg(code).arg(name, img::errorText(code)), code);
}

void TLEADImage::CheckBusy()
{
    if (lent_ || statusInstalled_)
        RaiseError(QStringLiteral("Processing Not allowed"), 0);
}

void TLEADImage::CheckImage(const QString &name, int code)
{
    CheckBusy();
    if (code == img::SUCCESS)
        return;
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \n%2: Image Not allocated.").arg(Name, name), img::ERROR_NO_BITMAP);
    }
    LastError = img::SUCCESS;
}

void TLEADImage::RaiseInvalidValue(const QString &name)
{
    LastError = img::ERROR_INV_PARAMETER;
    Raise(QStringLiteral("%1 \n %2: Invalid value passed.").arg(Name, name), img::ERROR_INV_PARAMETER);
}

// ---- callbacks -------------------------------------------------------------------------

void TLEADImage::pushActive()
{
    previousActive_ = activeImage;
    activeImage = this;
}

void TLEADImage::popActive()
{
    activeImage = previousActive_;
    previousActive_ = nullptr;
}

void TLEADImage::installStatus()
{
    statusInstalled_ = true;
    pushActive();
}

void TLEADImage::removeStatus()
{
    popActive();
    statusInstalled_ = false;
}

int TLEADImage::statusCallback(int percent)
{
    TLEADImage *active = activeImage;
    if (!active) {
        abortRequested = false;
        aborted = true;
        return img::SUCCESS;
    }
    if (active->EnableProgressEvent()) {
        if (active->OnStatus)
            active->OnStatus(*active, percent);
        return img::SUCCESS;
    }
    if (abortRequested) {
        abortRequested = false;
        aborted = true;
        return img::FAILURE;
    }
    return img::SUCCESS;
}

// ---- file information and loads -----------------------------------------------------

void TLEADImage::takeInfo(const img::FileInfo &info)
{
    InfoFormat = info.format;
    InfoWidth = info.width;
    InfoHeight = info.height;
    InfoBits = info.bits;
    InfoText = info.text.left(19); // the record's 20 characters
    InfoTotalPages = info.totalPages;
    InfoXRes = info.xResolution;
    InfoYRes = info.yResolution;
    InfoExtra = info.extra;
    InfoAnimated = info.format == img::FILE_GIF && info.totalPages != 1;
}

int TLEADImage::GetFileInfo(const QString &fileName, int page)
{
    InfoPage = page;
    img::FileInfo info;
    const int r = img::library().fileInfo(fileName, page, info);
    if (r == img::SUCCESS) {
        takeInfo(info);
        InfoPage = info.page;
    }
    return CheckResult(QStringLiteral("GetFileInfo"), r, true);
}

void TLEADImage::dropList()
{
    list_.clear();
    hasList_ = false;
    BitmapListIndex = 0;
    if (HasBitmap) {
        Bitmap = {};
        HasBitmap = false;
    }
}

void TLEADImage::ClearImage()
{
    CheckBusy();
    dropList();
    ImageEvent(1);
}

int TLEADImage::loadBlock(const img::Bitmap &image, int firstRow, int rows, unsigned flags)
{
    int answer = img::SUCCESS;
    if (pagesDone_ >= pagesWanted_)
        answer = img::ERROR_LOAD_ENOUGH;
    else {
        rowCounter_ += rows;
        if ((flags & img::BLOCK_FIRST_ROW) && firstRow == 0) {
            if (OnStatus && EnableProgressEvent())
                OnStatus(*this, 0);
            rowCounter_ = rows;
        }
        const bool paintWhileLoad = Property(QStringLiteral("PaintWhileLoad")).toBool();
        if ((flags & img::BLOCK_IMAGE_START) == img::BLOCK_IMAGE_START) {
            HasBitmap = true;
            Bitmap = image;
            list_.push_back(image);
            if (!paintWhileLoad)
                PaletteUpdatePending = true;
            else if (LoadImageStarted)
                LoadImageStarted(*this, image);
        }
        if ((flags & img::BLOCK_IMAGE_END) == img::BLOCK_IMAGE_END) {
            ++pagesDone_;
            if (OnFilePage)
                OnFilePage(*this);
        }
        if (OnStatus && EnableProgressEvent() && image.height > 0)
            OnStatus(*this, static_cast<int>((rowCounter_ * 100LL + image.height / 2) / image.height));
        if (paintWhileLoad && LoadRowsArrived)
            LoadRowsArrived(*this, image, firstRow, rows, (flags & img::BLOCK_BOTTOM_UP) != 0);
    }
    LastError = answer;
    if (abortRequested) {
        abortRequested = false;
        aborted = true;
        return img::FAILURE;
    }
    return answer;
}

int TLEADImage::loadInfo(img::LoadInfoRequest &request)
{
    activeImage = this;
    if (!OnLoadInfo || !EnableLoadInfo)
        return 0;
    OnLoadInfo(*this);
    if (LoadInfo[2] == 0)
        return 0;
    // The library's words 1 to 8 take the control's values in this order.
    static constexpr int order[8] = {3, 6, 4, 1, 7, 8, 5, 2};
    for (int i = 0; i < 8; ++i)
        request.words[static_cast<std::size_t>(i + 1)] = static_cast<std::uint32_t>(LoadInfo[order[i] - 1]);
    if (LoadInfo[1] & img::LOAD_INFO_PALETTE)
        std::copy(LoadInfoPalette.begin(), LoadInfoPalette.end(), request.words.begin() + 9);
    return img::SUCCESS;
}

int TLEADImage::loadCommon(const QString &, const QString &fileName, const img::LoadRequest &request)
{
    ClearImage();
    loading_ = true;
    int r = img::SUCCESS;
    if (request.pages == 0) {
        loading_ = false;
        BitmapChanged();
        LastError = r;
        return r;
    }
    pushActive();
    img::LoadInfoCallback previousLoadInfo =
        img::library().setLoadInfoCallback([this](img::LoadInfoRequest &q) { return loadInfo(q); });
    img::FileInfo info;
    r = img::library().fileInfo(fileName, std::max(0, request.page), info);
    if (r == img::SUCCESS) {
        takeInfo(info);
        hasList_ = true;
        list_.clear();
        aborted = false;
        rowCounter_ = 0;
        statusInstalled_ = false;
        pagesWanted_ = request.pages == -1 ? info.totalPages : request.pages;
        pagesDone_ = 0;
        img::LoadRequest asked = request;
        if (Property(QStringLiteral("PaintWhileLoad")).toBool())
            asked.passes = Passes;
        r = img::library().loadFile(fileName, asked, [this](const img::Bitmap &b, int first, int rows,
                                                              unsigned flags) {
            return loadBlock(b, first, rows, flags);
        });
        if (r == img::ERROR_LOAD_ENOUGH)
            r = img::SUCCESS;
        if (aborted) {
            dropList();
            BitmapChanged();
        } else if (r == img::SUCCESS) {
            BitmapListIndex = 0;
            HasBitmap = !list_.empty();
            if (HasBitmap)
                Bitmap = list_.front();
        }
    }
    loading_ = false;
    popActive();
    img::library().setLoadInfoCallback(std::move(previousLoadInfo));
    if (r != img::SUCCESS)
        dropList();
    BitmapChanged();
    LastError = r;
    return r;
}

int TLEADImage::Load(const QString &fileName, int bits, int page, int pages)
{
    const int r = loadCommon(QStringLiteral("Load"), fileName, img::LoadRequest{bits, page, pages, std::nullopt});
    ImageEvent(5);
    return r;
}

int TLEADImage::LoadFileTile(const QString &fileName, int bits, int page, int pages, int col, int row, int width,
                             int height)
{
    // The window goes to the library as it is given, not clipped.
    const int r = loadCommon(QStringLiteral("LoadFileTile"), fileName,
                             img::LoadRequest{bits, page, pages, QRect(col, row, width, height)});
    ImageEvent(5);
    return r;
}

int TLEADImage::LoadResize(const QString &fileName, int width, int height, int, int bits)
{
    CheckImage(QStringLiteral("LoadResize"), img::SUCCESS);
    ClearImage();
    Bitmap = {};
    installStatus();
    img::Bitmap loaded;
    int r = img::library().loadResize(fileName, width, height, bits, loaded, &TLEADImage::statusCallback,
                                            LoadResizeNeeded);
    removeStatus();
    if (r == img::SUCCESS) {
        list_ = {loaded};
        hasList_ = true;
        BitmapListIndex = 0;
        Bitmap = loaded;
        HasBitmap = true;
        ImageEvent(5);
    }
    BitmapChanged();
    ImageEvent(1);
    return CheckResult(QStringLiteral("LoadResize"), r, true);
}

int TLEADImage::ReadLoadResolutions(const QString &fileName)
{
    std::vector<QSize> levels;
    const int r = img::library().readLoadResolutions(fileName, levels);
    if (r == img::SUCCESS) {
        // The table holds 29 levels: a file reporting more keeps the first.
        LoadResolutionCount = static_cast<int>(std::min<std::size_t>(levels.size(), MaxResolutions));
        for (int i = 0; i < LoadResolutionCount; ++i)
            levels_[static_cast<std::size_t>(i)] = levels[static_cast<std::size_t>(i)];
    }
    return CheckResult(QStringLiteral("ReadLoadResolutions"), r, true);
}

int TLEADImage::SetLoadResolution(int format, int width, int height)
{
    return CheckResult(QStringLiteral("SetLoadResolution"), img::library().setLoadResolution(format, width, height),
                       true);
}

int TLEADImage::LoadResolutionWidth(int i)
{
    if (i < 0 || i >= LoadResolutionCount) {
        LastError = 0;
        Raise(QStringLiteral("%1 \nLoadResolutionWidth[]: Index out of range.").arg(Name), 0,
              ELEADImageError::Range);
    }
    LastError = img::SUCCESS;
    return levels_[static_cast<std::size_t>(i)].width();
}

int TLEADImage::LoadResolutionHeight(int i)
{
    if (i < 0 || i >= LoadResolutionCount) {
        LastError = 0;
        Raise(QStringLiteral("%1 \nLoadResolutionHeight[]: Index out of range.").arg(Name), 0,
              ELEADImageError::Range);
    }
    LastError = img::SUCCESS;
    return levels_[static_cast<std::size_t>(i)].height();
}

int TLEADImage::BitmapListCount()
{
    if (!hasList_) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nBitmapListCount: No bitmap list.").arg(Name), img::ERROR_NO_BITMAP);
    }
    LastError = img::SUCCESS;
    return static_cast<int>(list_.size());
}

// ---- save ---------------------------------------------------------------------------------

int TLEADImage::Save(const QString &fileName, int format, int bits, int qFactor, int)
{
    CheckBusy();
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nSave: Image not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    rowCounter_ = 0;
    aborted = false;
    installStatus();
    int r;
    if (format == img::FILE_GIF)
        r = img::library().saveBitmapList(fileName, list_, format, bits, qFactor);
    else if (EnableProgressEvent()) {
        img::Bitmap image = Bitmap;
        if (bits == 0)
            bits = image.bitsPerPixel;
        r = img::library().saveBitmap(fileName, image, format, bits, qFactor, [this](int percent) {
            if (OnStatus && EnableProgressEvent())
                OnStatus(*this, percent);
            if (abortRequested) {
                abortRequested = false;
                aborted = true;
                return int(img::FAILURE);
            }
            return int(img::SUCCESS);
        });
    } else
        r = img::library().saveBitmap(fileName, Bitmap, format, bits, qFactor, &TLEADImage::statusCallback);
    removeStatus();
    // The library writes a new file that replaces the old one only when
    // complete, so an aborted save has nothing to delete: deleting the
    // name would lose the picture that was there before.
    LastError = r;
    if (r != img::SUCCESS && EnableMethodErrors())
        Raise(QStringLiteral("%1 \nError code: %2\nSave: %3 ").arg(Name).arg(r).arg(img::errorText(r)), r);
    return r;
}

// ---- operations -----------------------------------------------------------------------

void TLEADImage::BeginProcessing(img::Bitmap &target)
{
    CheckBusy();
    lent_ = true;
    aborted = false;
    // The pixels are shared and never changed in place, so a shared copy
    // is as good as a full one.
    backup_ = target;
    installStatus();
}

void TLEADImage::EndProcessing(img::Bitmap &target)
{
    if (aborted)
        target = backup_;
    removeStatus();
    backup_ = {};
    if (hasList_ && BitmapListIndex >= 0 && BitmapListIndex < static_cast<int>(list_.size()))
        list_[static_cast<std::size_t>(BitmapListIndex)] = Bitmap;
    lent_ = false;
    if (!aborted && OnChange)
        OnChange(*this);
}

int TLEADImage::process(img::Bitmap &target, const std::function<int()> &operation)
{
    BeginProcessing(target);
    int r;
    try {
        r = operation();
    } catch (...) {
        EndProcessing(target);
        throw;
    }
    EndProcessing(target);
    return r;
}

int TLEADImage::Contrast(int change)
{
    int r = img::ERROR_NO_BITMAP;
    if (HasBitmap)
        r = process(Bitmap, [&] { return img::library().changeContrast(Bitmap, change, &TLEADImage::statusCallback); });
    return CheckResult(QStringLiteral("Contrast"), r, true);
}

int TLEADImage::Intensity(int change)
{
    int r = img::ERROR_NO_BITMAP;
    if (HasBitmap)
        r = process(Bitmap,
                    [&] { return img::library().changeIntensity(Bitmap, change, &TLEADImage::statusCallback); });
    return CheckResult(QStringLiteral("Intensity"), r, true);
}

int TLEADImage::Rotate(int angle, unsigned flags, QRgb fillColor)
{
    CheckBusy();
    int r = img::ERROR_NO_BITMAP;
    if (HasBitmap) {
        LastRotationAngle = angle / 100.0;
        LastRotationCenterX = img::shownWidth(Bitmap) / 2.0;
        LastRotationCenterY = img::shownHeight(Bitmap) / 2.0;
        r = process(Bitmap, [&] {
            return img::library().rotate(Bitmap, angle, flags, fillColor, &TLEADImage::statusCallback);
        });
        if (r == img::SUCCESS)
            ImageEvent(7);
    }
    return CheckResult(QStringLiteral("Rotate"), r, true);
}

int TLEADImage::FastRotate(int angle)
{
    int r = img::ERROR_NO_BITMAP;
    if (HasBitmap) {
        LastRotationAngle = angle;
        LastRotationCenterX = img::shownWidth(Bitmap) / 2.0;
        LastRotationCenterY = img::shownHeight(Bitmap) / 2.0;
        r = process(Bitmap, [&] { return img::library().rotateViewPerspective(Bitmap, angle); });
        if (r == img::SUCCESS)
            ImageEvent(7);
    }
    return CheckResult(QStringLiteral("FastRotate"), r, true);
}

const QImage *TLEADImage::GetBitmapDC()
{
    CheckBusy();
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nGetBitmapDC: Image Not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    int r = 0;
    if (!Bitmap.pixels.isNull()) {
        lentDc_ = &Bitmap.pixels;
        lent_ = true;
        r = img::SUCCESS;
    }
    CheckResult(QStringLiteral("GetBitmapDC"), r, true);
    return lentDc_;
}

int TLEADImage::ReleaseBitmapDC()
{
    int r = 0;
    if (lentDc_) {
        lentDc_ = nullptr;
        HasBitmap = true;
        r = img::SUCCESS;
    }
    lent_ = false;
    return CheckResult(QStringLiteral("ReleaseBitmapDC"), r, true);
}

void TLEADImage::SetUseLUT(bool on)
{
    useLut_ = on;
    CheckImage(QStringLiteral("UseLUT"), 0);
    if (on)
        Bitmap.flags |= img::BITMAP_USE_LUT;
    else
        Bitmap.flags &= ~std::uint32_t(img::BITMAP_USE_LUT);
}

// ---- properties ---------------------------------------------------------------------------

QVariant TLEADImage::Property(const QString &name) const
{
    const auto it = properties_.find(name);
    return it == properties_.end() ? QVariant() : it->second;
}

void TLEADImage::SetProperty(const QString &name, const QVariant &value)
{
    const auto it = properties_.find(name);
    if (it == properties_.end())
        RaiseInvalidValue(name);
    const int v = value.toInt();
    auto invalidProperty = [&](bool withStop) {
        Raise(QStringLiteral("%1 \n%2: Invalid Property value%3").arg(Name, name, withStop ? "." : ""),
              img::ERROR_INV_PARAMETER);
    };
    if (name == QLatin1String("EffectGrain") && (v < 1 || v > 256))
        invalidProperty(true);
    if (name == QLatin1String("GradientSteps") && (v < 2 || v > 265))
        invalidProperty(true);
    if (name == QLatin1String("PaintMaxPasses") && (v < 1 || v > 64))
        invalidProperty(true);
    if ((name == QLatin1String("PaintEffect") || name == QLatin1String("TransitionEffect")) && !isEffectCode(v))
        invalidProperty(false);
    if (name == QLatin1String("GradientStyle") && !isGradientCode(v))
        invalidProperty(false);
    if ((name == QLatin1String("PDFXResolution") || name == QLatin1String("PDFYResolution") ||
         name == QLatin1String("RasterizeViewportWidth") || name == QLatin1String("RasterizeViewportHeight")) &&
        v < 0)
        RaiseInvalidValue(name);
    if (name == QLatin1String("PDFDisplayDepth") && v != 1 && v != 4 && v != 8 && v != 24)
        RaiseInvalidValue(name);
    if (name == QLatin1String("PDFTextAlpha") && v != 1 && v != 2 && v != 4)
        RaiseInvalidValue(QStringLiteral("PDFTextAlpha "));
    if (name == QLatin1String("PDFGraphicsAlpha") && v != 1 && v != 2 && v != 4)
        RaiseInvalidValue(name);
    if (name == QLatin1String("RasterizeViewMode") && (v < 0 || v > 3))
        RaiseInvalidValue(name);
    if (name == QLatin1String("PDFUseLibFonts")) {
        it->second = value.toBool() ? -1 : 0;
        return;
    }
    if (name == QLatin1String("EnableProgressEvent")) {
        // Switching progress off inside a running operation asks it to stop.
        if (value.toBool())
            abortRequested = false;
        else if (statusInstalled_ || loading_)
            abortRequested = true;
    }
    it->second = value;
}

} // namespace raster
