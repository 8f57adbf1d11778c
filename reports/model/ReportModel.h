#pragma once
// The report, its template pages and the runtime bands as the report
// objects reach them: the parts the objects read (names, page objects, the
// print area, the band being built) and the report's services they call
// (value texts of bracketed expressions, the before-print step, the export).
// The page engine, the band runtime and the report component build the rest
// on these classes.

#include "reports/model/ReportObjects.h"
#include "reports/model/ReportPrinter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace reports {

class Dataset;
class ExportFilter;
class TfrBand;
class TfrReport;

// A runtime band: made from a band object while a report page is built.
class Band {
public:
    virtual ~Band() = default;
    int x = 0, y = 0, dx = 0, dy = 0;
    int Typ = 0;
    // Bit 0: the band is being drawn again at its own top on a new page.
    int Flags = 0;
    bool Visible = true;
    bool PageBreak = false;
    QString GroupCondition;
    BandView *View = nullptr;
    Band *Child = nullptr;
    Dataset *DataSet = nullptr;
    // Lets go of the data set and binds the one of that name.
    virtual void BindDataSource(const QString &name) { DataSourceName = name; }
    QString DataSourceName;
};

class Page : public ReportObject {
public:
    Page();
    ~Page() override;
    QString ClassName() const override { return QStringLiteral("TfrPage"); }
    // Properties by name for the inspector and scripts: the kind and
    // visibility, a dialog page's window, a report page's paper ("WIDTH" and
    // "HEIGHT" in report units of 5/18 mm), margins (while a report runs the
    // effective ones), columns and PrintToPrevPage.
    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    // 0 report page, 1 dialog page.
    int PageType = 0;
    QString Name;
    // Paper in tenths of a millimetre, the margins in report units (0: the
    // printer's unprintable offset).
    int pgSize = 9, pgWidth = 2100, pgHeight = 2970, pgOr = 0, pgBin = -1;
    int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
    bool UseMargins = true;
    // The page continues on the previous page's last prepared page.
    bool PrintToPrevPage = false;
    bool Visible = true;
    QStringList Script;
    // Page columns; ColWidth is worked out when the page is prepared.
    int ColCount = 1, ColGap = 0, ColWidth = 0;
    // A dialog page's window.
    int BorderStyle = 3;
    QString Caption = QStringLiteral("Form");
    std::uint32_t Color = 0xFF00000F;
    int WindowLeft = 220, WindowTop = 120, WindowWidth = 380, WindowHeight = 300;
    int Position = 4;
    PageMetrics Metrics;
    std::vector<std::unique_ptr<View>> Objects;
    // The band of each type while the page is built (the band runtime's).
    std::vector<Band *> Bands;

    // ---- The page engine (PageEngine.cpp). ----
    // Runtime bands: the first of each type's chain, 23 types.
    std::vector<TfrBand *> RunBands;
    std::vector<std::unique_ptr<TfrBand>> OwnedBands;
    // 0 normal, 1 recording (the page is formed as a subreport).
    int Mode = 0;
    struct Record {
        enum Kind { Draw, Rewind, Next } kind = Draw;
        TfrBand *band = nullptr;
    };
    std::vector<Record> RecordList;
    int PlayFrom = 0;
    int CurY = 0, CurBottomY = 0, XAdjust = 0, CurColumn = 0, LastStaticColumnY = 0;
    int CurPos = 1, ColPos = 1;
    // The top of the print area the build lays out from (a subreport's
    // pages take their parent's).
    int RunTopY = 0;
    // Off while the summary prints: the column footer then takes no room.
    bool ColumnFooterCounts = true;
    int ColumnFooterHeight() const;
    int PageNumber = 0;
    bool Skip = false, InitFlag = false, DisableRepeatHeader = false;
    TfrBand *LastBand = nullptr;
    TfrBand *WasBand = nullptr;
    // While the page is printed as a subreport: the page it is printed in.
    Page *HostPage = nullptr;
    // The modal result a dialog page's script set (0: none).
    int ModalResult = 0;

    // The margins the build lays out with (see LeftMargin ...), the page
    // footer's height taken off the bottom while a report runs.
    int RunBottomMargin() const;
    TfrBand *BandOf(int type) const { return type >= 0 && type < static_cast<int>(RunBands.size()) ? RunBands[type] : nullptr; }
    void InitReport();
    void PrepareObjects();
    void PrepareObjectsForBuild();
    void FormPage();
    void DoneReport();
    void ShowBand(TfrBand *band);
    void ShowBandByName(const QString &name);
    void NewPage();
    void NewColumn(TfrBand *band);
    // A page printed as a subreport goes on at the top of its host's next
    // page (a band of it printed in pieces); false without a host.
    bool ContinueOnHostPage();
    void PrintPageFooters();
    void RunScript(const QStringList &lines);
    // Replays the recording from PlayFrom; true when it stopped at a page end.
    bool PlayRecords();
    void ClearRecords() { RecordList.clear(); PlayFrom = 0; }
    void FreeBands();

private:
    void dataLoop(int level, int deepest, std::vector<TfrBand *> &pending);
    void printPageFooters(bool firstPageToo);

public:

    // The print area's edges, in report units.
    int LeftMargin() const;
    int TopMargin() const;
    int RightMargin() const;
    int BottomMargin() const;
    // The paper in report units.
    int PaperWidthUnits() const { return Metrics.PaperWidth; }
    int PaperHeightUnits() const { return Metrics.PaperHeight; }
    // Takes the paper from the report printer.
    void ChangePaper(int code, int width, int height, int bin, int orientation);

    View *FindObject(const QString &name) const;
    // Adds an object the page then owns.
    View *Add(std::unique_ptr<View> view);
};

class Report {
public:
    virtual ~Report();
    QString Name;
    bool Terminated = false;
    std::vector<std::unique_ptr<Page>> Pages;
    // The export filter the prepared pages go to, while an export runs.
    ExportFilter *CurrentFilter = nullptr;

    // An object of any page, by name (letter case ignored).
    View *FindObject(const QString &name) const;

    // The report's side of printing an object: the text of a bracketed
    // expression under the object's display format; the before-print step
    // (a bound blob field, then the report's event); whether that event is
    // set; and the export of an object and of its text lines.
    virtual QString ValueText(const QString &expression, View &view);
    // The base loads a bound blob field into the object.
    virtual void BeforePrint(QStringList &memo, View &view);
    virtual bool HasBeforePrint() const { return false; }
    virtual void ExportData(View &view);
    virtual void ExportText(const QRect &drawRect, int x, int y, const QString &text, int frameTyp, View &view);
};

} // namespace reports
