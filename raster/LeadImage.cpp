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
    if (window().animating())
        RaiseError(QStringLiteral("Animation"), img::ERROR_FEATURE_NOT_SUPPORTED);
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
        dataLinkModified();
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
        window().resetDisplay();
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
    dataLinkModified();
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

TLEADImageWindow &TLEADImage::window()
{
    static TLEADImageWindow none;
    return Window ? *Window : none;
}

void TLEADImage::dataLinkModified()
{
    window().dataLinkModified();
}

void TLEADImage::SetBitmapList(const img::BitmapList *source)
{
    CheckBusy();
    dropList();
    if (source) {
        // Records share their pixels until one of them changes: a copy.
        list_ = *source;
        hasList_ = true;
        BitmapListIndex = 0;
        HasBitmap = !list_.empty();
        if (HasBitmap)
            Bitmap = list_.front();
    }
    BitmapChanged();
    dataLinkModified();
    LastError = img::SUCCESS;
}

int TLEADImage::AssignBitmap(img::Bitmap &source)
{
    return assignBitmap(source, Property(QStringLiteral("RefBitmap")).toBool());
}

int TLEADImage::assignBitmap(img::Bitmap &source, bool takeOver)
{
    if (HasBitmap && Property(QStringLiteral("EnableFloater")).toBool() && window().hasRegion())
        window().freeFloater();
    if (!hasList_) {
        list_.clear();
        hasList_ = true;
        BitmapListIndex = 0;
    }
    // The current item goes; past the end, the new one is appended.
    bool append = false;
    if (BitmapListIndex >= 0 && BitmapListIndex < static_cast<int>(list_.size())) {
        list_.erase(list_.begin() + BitmapListIndex);
        if (!list_.empty() && BitmapListIndex >= static_cast<int>(list_.size())) {
            BitmapListIndex = static_cast<int>(list_.size()) - 1;
            append = true;
        }
    }
    int r = img::SUCCESS;
    const bool given = source.width != 0 && source.height != 0;
    if (given) {
        if (!img::isAllocated(&source) || source.pixels.isNull()) {
            r = img::ERROR_NO_BITMAP;
        } else {
            const img::Bitmap item = takeOver ? source : source.deepCopy();
            if (append || BitmapListIndex < 0 || BitmapListIndex >= static_cast<int>(list_.size())) {
                list_.push_back(item);
                BitmapListIndex = static_cast<int>(list_.size()) - 1;
            } else {
                list_.insert(list_.begin() + BitmapListIndex, item);
            }
            Bitmap = item;
            HasBitmap = true;
            if (takeOver)
                source = {};
        }
    }
    if (r != img::SUCCESS || !given) {
        if (r == img::SUCCESS && !list_.empty()) {
            BitmapListIndex = std::clamp(BitmapListIndex, 0, static_cast<int>(list_.size()) - 1);
            Bitmap = list_[static_cast<std::size_t>(BitmapListIndex)];
            HasBitmap = true;
        } else if (list_.empty()) {
            hasList_ = false;
            BitmapListIndex = 0;
            Bitmap = {};
            HasBitmap = false;
        } else {
            Bitmap = {};
            HasBitmap = false;
        }
    }
    BitmapChanged();
    dataLinkModified();
    LastError = r;
    return r;
}

namespace {

bool sameRecord(const img::Bitmap &a, const img::Bitmap &b)
{
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel && a.flags == b.flags &&
           a.viewPerspective == b.viewPerspective && a.xResolution == b.xResolution &&
           a.yResolution == b.yResolution && a.pixels.cacheKey() == b.pixels.cacheKey();
}

} // namespace

const img::Bitmap *TLEADImage::OCXBitmap()
{
    if (!HasBitmap)
        return nullptr;
    // The copy is made again once the image has changed.
    if (!ocx_ || !ocxOf_ || !sameRecord(*ocxOf_, Bitmap)) {
        ocx_ = Bitmap.deepCopy();
        ocxOf_ = Bitmap;
    }
    return &*ocx_;
}

void TLEADImage::SetOCXBitmap(const img::Bitmap *source)
{
    CheckBusy();
    int r = img::SUCCESS;
    if (!source) {
        ocx_.reset();
        ocxOf_.reset();
    } else {
        img::Bitmap copy = *source;
        r = assignBitmap(copy, false);
        if (HasBitmap && img::isAllocated(&Bitmap))
            ImageEvent(5);
    }
    CheckResult(QStringLiteral("OCXBitmap"), r, true);
}

void TLEADImage::ImageChangedOutside()
{
    if (window().animating()) {
        LastError = img::ERROR_FEATURE_NOT_SUPPORTED;
        return;
    }
    if (lent_) {
        LastError = 0;
        return;
    }
    if (img::isAllocated(&Bitmap) && hasList_ && BitmapListIndex >= 0 &&
        BitmapListIndex < static_cast<int>(list_.size()))
        list_[static_cast<std::size_t>(BitmapListIndex)] = Bitmap;
    BitmapChanged();
    if (Property(QStringLiteral("AutoFloater")).toBool()) {
        if (Property(QStringLiteral("EnableFloater")).toBool()) {
            window().freeFloater();
            window().freeRegion();
        }
    } else {
        window().rebuildFloater();
    }
    BitmapChanged();
    dataLinkModified();
}

// ---- save ---------------------------------------------------------------------------------

img::SaveOptions TLEADImage::saveOptions(int saveMode)
{
    img::SaveOptions o;
    switch (saveMode == -1 ? 1 : saveMode) {
    case 1: o.page = 2; break; // appended
    case 2:
        o.flags |= img::SAVE_REPLACE_PAGE;
        o.page = SavePage;
        break;
    case 3:
        o.flags |= img::SAVE_INSERT_PAGE;
        o.page = SavePage;
        break;
    default: o.page = 1;
    }
    o.passes = Passes;
    if (SaveExtra > 0)
        o.extra = SaveExtra;
    ImageEvent(4);
    return o;
}

int TLEADImage::Save(const QString &fileName, int format, int bits, int qFactor, int saveMode)
{
    CheckBusy();
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nSave: Image not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    rowCounter_ = 0;
    const bool lut = Bitmap.flags & img::BITMAP_USE_LUT;
    setLutFlag(useLut_);
    aborted = false;
    installStatus();
    const img::SaveOptions options = saveOptions(saveMode);
    int r = img::FAILURE;
    try {
        if (LayeredSave && hasList_ && !list_.empty()) {
            // The first item is the picture, the others its layers.
            const img::Bitmap item = list_.front();
            const img::BitmapList layers(list_.begin() + 1, list_.end());
            r = img::library().saveBitmapWithLayers(fileName, item, format, bits, qFactor, layers, LayerTable,
                                                    options);
        } else if (format == img::FILE_GIF) {
            // An animation's frames; repeated as the control plays them.
            img::SaveOptions frames = options;
            frames.loop = Property(QStringLiteral("AutoAnimate")).toBool() &&
                          Property(QStringLiteral("AutoAnimationLoop")).toInt() == 1;
            r = img::library().saveBitmapList(fileName, list_, format, bits, qFactor, frames);
        } else if (EnableProgressEvent()) {
            if (bits == 0)
                bits = Bitmap.bitsPerPixel;
            r = img::library().saveBitmap(
                fileName, Bitmap, format, bits, qFactor,
                [this](int percent) {
                    if (OnStatus && EnableProgressEvent())
                        OnStatus(*this, percent);
                    if (abortRequested) {
                        abortRequested = false;
                        aborted = true;
                        return int(img::FAILURE);
                    }
                    return int(img::SUCCESS);
                },
                options);
        } else {
            r = img::library().saveBitmap(fileName, Bitmap, format, bits, qFactor, &TLEADImage::statusCallback,
                                          options);
        }
    } catch (...) {
        removeStatus();
        setLutFlag(lut);
        throw;
    }
    removeStatus();
    // The remembered flag goes back through the property, which takes it too.
    setLutFlag(lut);
    useLut_ = lut;
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
    // LastError still holds the previous operation's code here.
    if (LastError == img::SUCCESS)
        dataLinkModified();
    if (!Property(QStringLiteral("AutoFloater")).toBool())
        window().rebuildFloater();
    if (hasList_ && BitmapListIndex >= 0 && BitmapListIndex < static_cast<int>(list_.size()))
        list_[static_cast<std::size_t>(BitmapListIndex)] = Bitmap;
    PaletteUpdatePending = true;
    lent_ = false;
    window().imageChanged();
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
        // With a region and the floater on, the floater turns, not the image.
        const bool floater = Property(QStringLiteral("EnableFloater")).toBool() && window().hasRegion();
        if (floater) {
            floater_ = {};
            if (const int cut = window().cutFloater(floater_); cut != img::SUCCESS)
                return CheckResult(QStringLiteral("Floater"), cut, true);
        }
        img::Bitmap &target = floater ? floater_ : Bitmap;
        LastRotationAngle = angle / 100.0;
        LastRotationCenterX = img::shownWidth(target) / 2.0;
        LastRotationCenterY = img::shownHeight(target) / 2.0;
        r = process(target, [&] {
            const int turned = img::library().rotate(target, angle, flags, fillColor, &TLEADImage::statusCallback);
            if (turned == img::SUCCESS)
                window().resetDisplay();
            return turned;
        });
        if (floater) {
            r = window().putFloaterBack(floater_);
            floater_ = {};
        }
        if (r == img::SUCCESS) {
            window().updateRegionBounds();
            ImageEvent(7);
        }
    }
    return CheckResult(QStringLiteral("Rotate"), r, true);
}

int TLEADImage::FastRotate(int angle)
{
    if (Property(QStringLiteral("EnableFloater")).toBool() && window().hasRegion())
        RaiseError(QStringLiteral("FastRotate"), img::ERROR_FEATURE_NOT_SUPPORTED);
    int r = img::ERROR_NO_BITMAP;
    if (HasBitmap) {
        LastRotationAngle = angle;
        LastRotationCenterX = img::shownWidth(Bitmap) / 2.0;
        LastRotationCenterY = img::shownHeight(Bitmap) / 2.0;
        r = process(Bitmap, [&] {
            const int turned = img::library().rotateViewPerspective(Bitmap, angle);
            if (turned == img::SUCCESS && !aborted)
                window().resetDisplay();
            return turned;
        });
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
    setLutFlag(on);
}

void TLEADImage::setLutFlag(bool on)
{
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
    // Properties that change the look repaint at once.
    static const QStringList repainting = QStringLiteral(
        "PaintDither PaintScaling FrameInnerHiliteColor FrameInnerShadowColor FrameInnerStyle "
        "FrameOuterHiliteColor FrameOuterShadowColor FrameOuterStyle PaintRgnOnly PaintMaxPasses PaintEffect "
        "TransitionEffect")
                                              .split(QLatin1Char(' '));
    if ((repainting.contains(name) && Property(QStringLiteral("AutoRepaint")).toBool()) ||
        (name == QLatin1String("AutoRepaint") && value.toBool()))
        window().invalidate();
}

} // namespace raster
