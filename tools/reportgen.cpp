// Writes the report templates of the program folder's "Reports" through the
// report library's own template writer. Usage: reportgen <folder>
//
// "План.frf"      the map picture the "План" command renders at the
//                 printer's page ("map.wmf"), over the printable area
//
// The pages have no margins of their own: they are the printer's
// unprintable margins (5 mm on the virtual printer), and the bands stay
// within the printable area so that none of them is split over pages.
// "Чертёж.frf"    the current view drawn by the template at the scale of
//                 the map, with a title block
// "Планшет.frf"   the view with a labelled coordinate grid
// "Ведомость координат объектов.frf"
//                 the vertices of the coordinate list (data set
//                 "frQuerySQL") with the totals of the objects

#include "reports/model/ReportComponent.h"
#include "reports/model/ReportViews.h"
#include "tools/ToolUsage.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

using namespace reports;

constexpr const char *kUsage = "Usage: reportgen <folder>\n"
                               "Writes the map report templates into the folder.\n";

// A page of A4 paper (code 9) without margins; positions come in millimetres.
class Sheet {
public:
    Sheet(TfrReport &report, bool landscape)
    {
        auto page = std::make_unique<Page>();
        page->ChangePaper(9, 2100, 2970, -1, landscape ? 1 : 0);
        page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = 0;
        widthMm_ = landscape ? 297 : 210;
        page_ = page.get();
        report.Pages.push_back(std::move(page));
    }
    // Report units per millimetre of the page.
    double unitsPerMm() const { return page_->PaperWidthUnits() / widthMm_; }
    int units(double mm) const { return static_cast<int>(mm * unitsPerMm() + 0.5); }
    // The size of an object in 0.01 mm, as the map's picture functions take it.
    int hundredths(double mm) const { return static_cast<int>(units(mm) / unitsPerMm() * 100 + 0.5); }

    BandView &band(const QString &name, int type, double top, double height, const QString &source = {})
    {
        auto b = std::make_unique<BandView>();
        b->Name = name;
        b->SetBandType(type);
        b->SetBounds(0, units(top), page_->PaperWidthUnits(), units(height));
        b->DisplayFormatText = source;
        return static_cast<BandView &>(*page_->Add(std::move(b)));
    }
    MemoView &memo(const QString &name, double left, double top, double width, double height, const QString &text,
                   int size = 10, int alignment = frtaLeft, bool framed = false)
    {
        auto m = std::make_unique<MemoView>();
        m->Name = name;
        m->SetBounds(units(left), units(top), units(width), units(height));
        m->Memo = QStringList{text};
        m->Font.Size = size;
        m->Alignment = alignment | frtaMiddle;
        if (framed)
            m->FrameTyp = 0xF;
        return static_cast<MemoView &>(*page_->Add(std::move(m)));
    }
    // The map picture on the band, loaded by the band's script from
    // "map.wmf" of the program folder after the script's first statements
    // drew it (the band's script runs before its objects print). A script
    // is one statement: the block holds them all.
    PictureView &picture(BandView &band, double left, double top, double width, double height,
                         const QStringList &statements)
    {
        auto p = std::make_unique<PictureView>();
        p->Name = QStringLiteral("Picture1");
        p->SetBounds(units(left), units(top), units(width), units(height));
        QStringList script{QStringLiteral("begin")};
        for (const QString &statement : statements)
            script << QStringLiteral("  ") + statement + u';';
        script << QStringLiteral("  Picture1.LoadFromFile(StartPath + '\\map.wmf')") << QStringLiteral("end");
        band.Script = script;
        return static_cast<PictureView &>(*page_->Add(std::move(p)));
    }

private:
    Page *page_ = nullptr;
    double widthMm_ = 210;
};

// The virtual printer's unprintable margin: the printable area starts
// there, and the picture of the "План" command is that area.
constexpr double kMargin = 5;

void plan(TfrReport &r)
{
    Sheet s(r, true);
    // An overlay band prints at its own place and is never split: the map
    // covers the printable area whatever the printer's margins, and takes
    // the size the command rendered it at, so that its scale holds.
    const double width = 297 - 2 * kMargin, height = 210 - 2 * kMargin;
    BandView &band = s.band(QStringLiteral("Overlay1"), btOverlay, kMargin, height);
    const double perHundredth = s.unitsPerMm() / 100;
    s.picture(band, kMargin, kMargin, width, height,
              {QStringLiteral("Picture1.Width := WmfWidth * %1").arg(perHundredth),
               QStringLiteral("Picture1.Height := WmfHeight * %1").arg(perHundredth)});
    // On white, so that the map under it does not hide it.
    s.memo(QStringLiteral("Memo1"), 297 - kMargin - 70, 210 - kMargin - 12, 65, 8, QStringLiteral("Масштаб 1:[Scale]"),
           10, frtaRight)
        .FillColor = 0xFFFFFF;
}

void drawing(TfrReport &r)
{
    Sheet s(r, true);
    const double left = 20, top = 10, width = 297 - 20 - 10, height = 150;
    const double blockTop = top + height + 5;
    BandView &band = s.band(QStringLiteral("Band1"), btReportTitle, kMargin, blockTop + 20 + 5 - kMargin);
    s.picture(band, left, top, width, height,
              {QStringLiteral("DrawMap(%1, %2, [Scale])").arg(s.hundredths(width)).arg(s.hundredths(height))});
    s.memo(QStringLiteral("Memo1"), left, blockTop, 150, 10, QStringLiteral("Чертёж"), 14, frtaLeft, true);
    s.memo(QStringLiteral("Memo2"), left + 150, blockTop, width - 150, 10, QStringLiteral("Масштаб 1:[Scale]"), 10,
           frtaCenter, true);
    s.memo(QStringLiteral("Memo3"), left, blockTop + 10, 150, 10, QStringLiteral("Исполнитель:"), 10, frtaLeft,
           true);
    s.memo(QStringLiteral("Memo4"), left + 150, blockTop + 10, width - 150, 10,
           QStringLiteral("[FORMATDATETIME('dd.mm.yyyy', DATE)]"), 10, frtaCenter, true);
}

void sheet(TfrReport &r)
{
    Sheet s(r, false);
    // The labelled grid draws its frame 12.8 mm outside the picture and its
    // scale caption below that frame: the picture keeps that room free
    // within the printable area.
    const double left = 25, top = 40, width = 160, height = 160;
    BandView &band = s.band(QStringLiteral("Band1"), btReportTitle, kMargin, top + height + 25 - kMargin);
    s.memo(QStringLiteral("Memo1"), left, 10, width, 10, QStringLiteral("Планшет"), 14, frtaCenter);
    s.picture(band, left, top, width, height,
              {QStringLiteral("DrawGreed(%1, %2, 100)").arg(s.hundredths(width)).arg(s.hundredths(height))});
}

void coordinateList(TfrReport &r)
{
    Sheet s(r, false);
    const double left = 20;
    s.band(QStringLiteral("ReportTitle1"), btReportTitle, 10, 12);
    s.memo(QStringLiteral("Memo1"), left, 10, 180, 12, QStringLiteral("Ведомость координат"), 14, frtaCenter);

    const struct {
        const char *title;
        const char *value;
        double width;
    } columns[] = {
        {"№", "[frQuerySQL.\"Number\"]", 15},
        {"X", "[FORMATFLOAT('0.00', [frQuerySQL.\"X\"])]", 35},
        {"Y", "[FORMATFLOAT('0.00', [frQuerySQL.\"Y\"])]", 35},
        {"Длина линии", "[FORMATFLOAT('0.00', [frQuerySQL.\"Len\"])]", 30},
        {"Дирекционный угол", "[FORMATFLOAT('0.0000', [frQuerySQL.\"DCut\"] * 180 / 3.14159265358979)]", 35},
        {"Угол", "[FORMATFLOAT('0.0000', [frQuerySQL.\"CutIn\"])]", 30},
    };
    s.band(QStringLiteral("PageHeader1"), btPageHeader, 25, 10);
    s.band(QStringLiteral("MasterData1"), btMasterData, 40, 6, QStringLiteral("frQuerySQL"));
    double x = left;
    int n = 0;
    for (const auto &c : columns) {
        ++n;
        s.memo(QStringLiteral("Head%1").arg(n), x, 25, c.width, 10, QString::fromUtf8(c.title), 9, frtaCenter, true);
        s.memo(QStringLiteral("Cell%1").arg(n), x, 40, c.width, 6, QString::fromUtf8(c.value), 9, frtaRight, true);
        x += c.width;
    }
    s.band(QStringLiteral("ReportSummary1"), btReportSummary, 50, 30);
    s.memo(QStringLiteral("Total1"), left, 52, 180, 6,
           QStringLiteral("Площадь: [FORMATFLOAT('0.00', [Area])] кв. м"), 10);
    s.memo(QStringLiteral("Total2"), left, 58, 180, 6,
           QStringLiteral("Периметр: [FORMATFLOAT('0.00', [Perimetr])] м"), 10);
    s.memo(QStringLiteral("Total3"), left, 64, 180, 6,
           QStringLiteral("X: [FORMATFLOAT('0.00', [YMin])] .. [FORMATFLOAT('0.00', [YMax])]   "
                          "Y: [FORMATFLOAT('0.00', [XMin])] .. [FORMATFLOAT('0.00', [XMax])]"),
           10);
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(kUsage);
    if (argc != 2)
        return tools::wrongArguments("reportgen", "one folder is needed", kUsage);
    QCoreApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "reportgen: cannot make the folder %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char *name;
        void (*make)(TfrReport &);
    } templates[] = {
        {"План.frf", plan},
        {"Чертёж.frf", drawing},
        {"Планшет.frf", sheet},
        {"Ведомость координат объектов.frf", coordinateList},
    };
    for (const auto &t : templates) {
        TfrReport report;
        t.make(report);
        const QString path = folder.filePath(QString::fromUtf8(t.name));
        if (!report.SaveToFile(path)) {
            std::fprintf(stderr, "reportgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
