#include "mapreports/MapPage.h"

#include "platform/Rounding.h"
#include "platform/db/DbTypes.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"

#include <QDir>

#include <cmath>

namespace reports {

using platform::roundToInt;

namespace {

constexpr const char *kBand = "DetailBand1";
constexpr const char *kPicture = "QRImage1";
constexpr std::uint32_t kWhite = 0xFFFFFF;

int mmToUnits(double mm)
{
    return TenthsMmToUnits(roundToInt(mm * 10));
}

template <typename T>
T &object(TfrReport &report, const char *name)
{
    // The page is put back from its stored form after every build, so its
    // objects are found by name each time.
    return static_cast<T &>(*report.FindObject(QString::fromLatin1(name)));
}

void place(View &view, const QRect &r)
{
    view.SetBounds(r.left(), r.top(), r.width(), r.height());
}


} // namespace

MapPagePaper MapPagePaperOf(double horzSize, double vertSize, bool landscape)
{
    if (landscape)
        return {vertSize, horzSize, true};
    return {horzSize, vertSize, false};
}

QSizeF MapPagePictureSize(double horzSize, double vertSize, double margin)
{
    return {std::abs(std::round((horzSize - 2 * margin) * 100)), std::abs(std::round((vertSize - 2 * margin) * 100))};
}

MapPageLayout LayOutMapPage(int pageWidth, int pageHeight, int left, int top, int right, int bottom)
{
    MapPageLayout l;
    const int w = pageWidth - left - right, h = pageHeight - top - bottom;
    l.Band = QRect(0, 0, pageWidth, pageHeight);
    l.Picture = QRect(left, top, w, h);
    l.Masks = {QRect(0, 0, pageWidth, top), QRect(0, pageHeight - bottom, pageWidth, bottom),
               QRect(0, 0, left, pageHeight), QRect(pageWidth - right, 0, right, pageHeight)};
    const int m = kMapPageMarkLength;
    const auto mark = [&](int x, int y, int dx, int dy) { return QRect(left + x, top + y, dx, dy); };
    l.Corners = {mark(0, 0, m, 0),     mark(0, 0, 0, m),     mark(w - m, 0, m, 0), mark(w, 0, 0, m),
                 mark(0, h, m, 0),     mark(0, h - m, 0, m), mark(w - m, h, m, 0), mark(w, h - m, 0, m)};
    return l;
}

gdi::Rect PicturePrintTarget(const gdi::DeviceMetrics &printer)
{
    const int w = std::min(printer.horzRes, roundToInt(printer.horzSize * printer.logPixelsX / 25.4));
    const int h = std::min(printer.vertRes, roundToInt(printer.vertSize * printer.logPixelsY / 25.4));
    return {0, 0, w, h};
}

TMapPrint::TMapPrint()
{
    auto page = std::make_unique<Page>();
    page->Name = QStringLiteral("Page1");
    const int margin = mmToUnits(kMapPageMargin);
    page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = margin;

    auto band = std::make_unique<BandView>();
    band->Name = QString::fromLatin1(kBand);
    // Over the whole page and printed at its own place, so that the masks,
    // which come after the picture, lie above whatever of the picture runs
    // past its edges.
    band->SetBandType(btOverlay);
    band->FillColor = kWhite;
    page->Add(std::move(band));

    auto picture = std::make_unique<PictureView>();
    picture->Name = QString::fromLatin1(kPicture);
    picture->Flags = flStretched;
    page->Add(std::move(picture));

    for (const char *name : kMapPageMasks) {
        auto mask = std::make_unique<MemoView>();
        mask->Name = QString::fromLatin1(name);
        mask->FillColor = kWhite;
        mask->FrameTyp = 0;
        page->Add(std::move(mask));
    }
    for (const char *name : kMapPageCorners) {
        auto mark = std::make_unique<LineView>();
        mark->Name = QString::fromLatin1(name);
        page->Add(std::move(mark));
    }
    report_.Pages.push_back(std::move(page));
    SetPaper(MapPagePaperOf(287, 200, true));

    report_.OnBeginDoc = [this] { BeforePrint(); };
    report_.OnEndDoc = [this] { AfterPrint(); };
}

TMapPrint::~TMapPrint() = default;

void TMapPrint::SetPaper(const MapPagePaper &paper)
{
    // A user size is held as it lies on the page.
    report_.Pages.front()->ChangePaper(256, roundToInt(paper.ShownWidth() * 10), roundToInt(paper.ShownHeight() * 10),
                                       -1, paper.Landscape ? 1 : 0);
}

void TMapPrint::Show(const QString &programDir)
{
    programDir_ = programDir;
    report_.ShowReport();
}

void TMapPrint::BeforePrint()
{
    error_.clear();
    Page &page = *report_.Pages.front();
    const int width = page.PaperWidthUnits(), height = page.PaperHeightUnits();
    const MapPageLayout l = LayOutMapPage(width, height, page.LeftMargin(), page.TopMargin(),
                                          width - page.RightMargin(), height - page.BottomMargin());
    place(object<View>(report_, kBand), l.Band);
    for (int i = 0; i < 4; ++i)
        place(object<View>(report_, kMapPageMasks[i]), l.Masks[static_cast<size_t>(i)]);

    try {
        FillTileTable(l.Picture.width(), l.Picture.height());
    } catch (const std::exception &e) {
        error_ = QString::fromUtf8(e.what());
    }

    auto &picture = object<PictureView>(report_, kPicture);
    place(picture, l.Picture);
    const QString file = QDir(programDir_).filePath(QStringLiteral("map.wmf"));
    if (!picture.Picture.loadFromFile(file) && error_.isEmpty())
        error_ = QStringLiteral("Не удалось прочитать рисунок карты - ") + QDir::toNativeSeparators(file);

    // The corner marks are placed and then switched off: they never print.
    for (int i = 0; i < 8; ++i) {
        View &mark = object<View>(report_, kMapPageCorners[i]);
        place(mark, l.Corners[static_cast<size_t>(i)]);
        mark.Visible = false;
    }
}

void TMapPrint::FillTileTable(int w, int h)
{
    temp_.close();
    temp_.setDatabaseName(programDir_);
    temp_.setTableName(QStringLiteral("Tolvane.Db"));
    temp_.setTableType(platform::db::TableType::Paradox);
    if (temp_.exists()) {
        temp_.emptyTable();
    } else {
        using platform::db::FieldType;
        temp_.fieldDefs().clear();
        temp_.addFieldDef(QStringLiteral("Note"), FieldType::String, 50);
        temp_.addFieldDef(QStringLiteral("X"), FieldType::Float);
        temp_.addFieldDef(QStringLiteral("Y"), FieldType::Float);
        for (const char *name : {"BorderT", "BorderB", "BorderL", "BorderR", "ArrowT", "ArrowB", "ArrowL", "ArrowR"})
            temp_.addFieldDef(QString::fromLatin1(name), FieldType::Boolean);
        temp_.createTable();
    }
    temp_.open();
    ColCount = RowCount = 1;
    for (int r = 1; r <= RowCount; ++r)
        for (int c = 1; c <= ColCount; ++c) {
            temp_.append();
            temp_.fieldByName(QStringLiteral("X")).setAsFloat(OriginX - double(h) * r);
            temp_.fieldByName(QStringLiteral("Y")).setAsFloat(OriginY - double(w) * c);
            temp_.post();
        }
}

void TMapPrint::AfterPrint()
{
    temp_.close();
    // Raised here, after the passes (which start with a clean error state):
    // the build shows it once and keeps no pages to preview.
    if (!error_.isEmpty()) {
        BuildState &state = library().State;
        state.ClassErrorFlag = true;
        state.ClassErrorText = error_;
    }
}

} // namespace reports
