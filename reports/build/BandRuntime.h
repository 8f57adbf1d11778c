#pragma once
// TfrBand: a band of a report page while the report is built. The page
// engine decides which band prints when; the band runs its script, carries
// out the new-page and new-column requests the script made, measures itself,
// breaks to a new column or page when it does not fit, prints in pieces when
// it is taller than the space left, draws its objects into the current
// prepared page, prints its subreports and cross-tab columns, and keeps the
// totals its footers show.

#include "reports/model/ReportModel.h"
#include "reports/language/ReportVariables.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace reports {

class ScriptHost;
class TfrReport;

// Aggregate function codes, as the character in an aggregate entry's name.
enum AggregateKind : int { agSum = 11, agMin = 12, agMax = 13, agAvg = 14, agCount = 15 };
// The separator of an aggregate entry's name parts.
inline constexpr QChar kAggregateSeparator = QChar(1);

class TfrBand : public Band {
public:
    TfrBand(int type, Page *page);
    ~TfrBand() override;
    TfrBand(const TfrBand &) = delete;
    TfrBand &operator=(const TfrBand &) = delete;

    int BandType() const { return Typ; }
    Page *Parent = nullptr;
    QString Name;
    TfrBand *Next = nullptr;
    TfrBand *Prev = nullptr;
    std::vector<reports::View *> Objects;
    QStringList Memo;
    QStringList Script;

    bool Stretched = false, FormNewPage = false, PrintIfSubsetEmpty = false, OnFirstPage = false,
         OnLastPage = false, RepeatHeader = false, PrintChildIfInvisible = false;
    // Breaked is Band::PageBreak.
    bool &Breaked() { return PageBreak; }

    TfrBand *HeaderBand = nullptr;
    TfrBand *FooterBand = nullptr;
    TfrBand *DataBand = nullptr;
    TfrBand *FirstGroup = nullptr;
    TfrBand *LastGroup = nullptr;
    TfrBand *NextGroup = nullptr;
    TfrBand *PrevGroup = nullptr;
    TfrBand *ChildBand() const { return static_cast<TfrBand *>(Child); }
    TfrBand *AggregateSource = nullptr;

    bool OwnsDataSet = false;
    Dataset *CrossDataSet = nullptr;
    bool OwnsCrossDataSet = false;
    Variant LastGroupValue;
    bool HasGroupValue = false;

    int LinePos = 1;
    int LineThrough = 1;
    int NewPageRequests = 0;
    int NewColumnRequests = 0;
    bool KeepCurY = false;

    int CalculatedHeight = -1;
    int SplitHeight = 0;
    bool SkipScript = false;
    bool Reprinting = false;
    int ColumnCounter = 1;
    int SavedXAdjust = 0;
    int MaxCrossColumns = 0;

    // Subreports: the index of the first subreport object in Objects, the
    // lowest position they reached, whether all are done.
    int SubReportIndex = -1;
    int MaxY = 0;
    bool AllDone = true;
    std::vector<bool> SubDone;

    Variables Values;
    // The rows each aggregate entry took since it was last reset, by the
    // entry's name: an average divides by its own count, which a total
    // reset in another band does not touch.
    QHash<QString, int> AggregateRows;

    // A digit names a counting source, a group header's text is its condition.
    void SetDataSource(const QString &text);
    void BindDataSource(const QString &name) override;
    void FreeDataSources();
    bool IsDefined() const;
    bool IsDataBand() const { return Typ == 5 || Typ == 8 || Typ == 11; }
    bool HasCross() const;

    bool Draw();
    void DoDraw();
    int CalcHeight();
    int CalcBandHeight();
    bool CheckPageBreak(int y, int height, bool testOnly);
    void DrawObjects();
    void DrawObject(reports::View &view);
    void DrawPageBreak();
    bool DrawSubReports();
    void DrawCross();
    void DrawCrossCell(TfrBand *crossBand, int cellX);
    int CheckNextColumn(int x, int width, TfrBand *crossHeader);

    void DoAggregate();
    void InitValues();
    Variant GetAggregate(const QString &key) const;
    void SetAggregate(const QString &key, const Variant &value);

    // Clears the remembered texts that hide repeated values.
    void ClearLastTexts() { clearLastTexts(); }

private:
    // The chain from this band while the next band has no data source.
    std::vector<TfrBand *> sourceChain();
    // Clears the remembered texts that hide repeated values.
    void clearLastTexts();
    bool subReportMoved_ = false;
    int crossStartPage_ = 0;
    friend class Page;
};

// The aggregate functions (SUM, MIN, MAX, AVG, COUNT: codes 11 to 15): while
// aggregates are registered an entry is made in the data band under set-up,
// while pages are built the entry's value is read. The function library that
// lists them calls this.
// The report the build in progress answers values for, the one whose
// prepared pages, stop flag and passes govern it, and whether it was stopped.
TfrReport *CurrentTfrReport();
TfrReport *MasterTfrReport();
bool BuildStopped();

// A band's data source by its text: a number makes a counting source (owned),
// a name one of the report's data sets.
Dataset *resolveBandSource(const QString &text, bool &owned);

void AggregateFunction(int kind, const QString &p1, const QString &p2, const QString &p3, Variant &result);

// What a script of the report being built may change, for the report to own.
std::unique_ptr<ScriptHost> MakeReportHost(TfrReport &report);

} // namespace reports
