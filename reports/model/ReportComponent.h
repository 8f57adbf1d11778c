#pragma once
// TfrReport: the report component. It owns a template (its pages), a data
// dictionary and the prepared pages of the last build; it builds the report
// in one or two passes, answers the names and functions of report
// expressions while it builds, and hands the prepared pages to the preview,
// the printer, an export filter or the designer.
//
// The building half (passes, page forming, values, formats, output roads) is
// in ReportBuild.cpp, ReportValues.cpp and ReportOutput.cpp; the file half
// (template, prepared report, template files, form storage) is in
// ReportComponentFiles.cpp.

#include "reports/model/DataSets.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportScript.h"

#include <QDateTime>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace reports {

class Component;
struct ReportPicture;
class TfrReport;

enum class TfrReportType { rtSimple = 0, rtMultiple = 1 };
enum class TfrPreviewZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };
enum TfrPreviewButton : unsigned {
    pbZoom = 1,
    pbLoad = 2,
    pbSave = 4,
    pbPrint = 8,
    pbFind = 16,
    pbHelp = 32,
    pbExit = 64,
    pbPageSetup = 128,
};

// The embedded preview panel a report may be given (the preview window's
// side is its own part); the report connects it after a build.
class TfrPreview {
public:
    virtual ~TfrPreview() = default;
    virtual void Connect(TfrReport *report) = 0;
};

// The data dictionary as the build asks it: names that are variables or data
// field references and their values. The dictionary of the file formats
// implements it; the base knows no names.
class ReportDictionary {
public:
    explicit ReportDictionary(TfrReport *report = nullptr) : Report(report) {}
    virtual ~ReportDictionary() = default;
    virtual void Clear() {}
    // Before a build: the cache of variables bound to fields is filled.
    virtual void PrepareValues() {}
    // The base knows the data field references "DataSet.Field" (the field
    // name may be in double quotes) over the report's database data sets.
    virtual bool IsVariable(const QString &name);
    virtual Variant GetValue(const QString &name);
    TfrReport *Report = nullptr;

protected:
    const platform::db::Field *findField(const QString &name) const;
};

// What happens around a build and its output that needs windows: the progress
// window, message boxes, the preview window, the print job. The default has
// no windows: work runs directly, messages go to the user-answers service.
class ReportWindows {
public:
    virtual ~ReportWindows() = default;
    // Shows the progress window with its caption and first line, runs the
    // work once it is shown and waits; false when it was cancelled.
    virtual bool RunProgress(const QString &caption, const QString &line, const std::function<void()> &work) = 0;
    virtual void SetProgressLine(const QString &line) = 0;
    // Closes the progress window with a modal result (1 OK, 2 cancel).
    virtual void CloseProgress(int modalResult) = 0;
    virtual void SetProgressVisible(bool /*visible*/) {}
    // A dialog page's window, shown modally; its modal result.
    virtual int ShowDialogPage(Page & /*page*/) { return 1; }
    // The preview window over the report's prepared pages: by default the
    // installed preview window (reports/output/PreviewWindows.h).
    virtual void ShowPreview(TfrReport &report, const QString &caption);
};

// The platform's print job as the printing loop drives it.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    // Whether the printer makes copies itself.
    virtual bool CanCopy() const { return false; }
    virtual void SetCopies(int /*copies*/) {}
    virtual void BeginDoc(const QString &title) = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    // The canvas of the sheet being printed (device units).
    virtual gdi::Canvas &Canvas() = 0;
    // Where the device's printable area begins on the sheet, in device
    // units; none when the job cannot tell.
    virtual std::optional<QPoint> SheetOffset() const { return std::nullopt; }
};

class TfrReport : public Report {
public:
    TfrReport();
    ~TfrReport() override;
    TfrReport(const TfrReport &) = delete;
    TfrReport &operator=(const TfrReport &) = delete;

    // Published properties.
    Dataset *ReportDataset = nullptr; // "Dataset"
    int DefaultCopies = 1;
    bool DefaultCollate = true;
    bool GrayedButtons = false;
    TfrPreviewZoom InitialZoom = TfrPreviewZoom::pzDefault;
    bool MDIPreview = false;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    TfrPreview *Preview = nullptr;
    unsigned PreviewButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit;
    bool PrintIfEmpty = true;
    TfrReportType ReportType = TfrReportType::rtSimple;
    bool ShowPrintDialog = true;
    bool ShowProgress = true;
    bool StoreInDFM = false;
    QString Title;
    bool RebuildPrinter = false;
    bool UseDefaultDataSetName = false;

    // Published events.
    std::function<void()> OnBeginDoc, OnEndDoc;
    std::function<void(int pgNo)> OnBeginPage, OnEndPage;
    std::function<void(Band *band)> OnBeginBand, OnEndBand;
    std::function<void(const QString &parName, Variant &parValue)> OnGetValue;
    std::function<void(QStringList &memo, View *view)> OnBeforePrint;
    std::function<void(const QString &name, const QString &p1, const QString &p2, const QString &p3, Variant &val)>
        OnUserFunction;
    std::function<void(int n)> OnProgress;
    std::function<void(Band *band)> OnBeginColumn;
    std::function<void(int colNo, int &width)> OnPrintColumn;
    std::function<void(Page *page)> OnManualBuild;
    std::function<void(View *view)> OnObjectClick;
    std::function<void(View *view, int &cursor)> OnMouseOverObject;
    std::function<void()> OnPrintReport;
    std::function<void(ReportObject *sender)> OnCustomizeObject;

    // The component whose own components plain names in the report reach
    // (the registry of Components.h); none: only global names.
    Component *Owner = nullptr;

    // Owned parts.
    std::unique_ptr<TfrEMFPages> EMFPages;
    std::unique_ptr<ReportDictionary> Dictionary;
    // The data sets of the report's owner, found by name by bands and field
    // references (not owned).
    std::vector<Dataset *> Components;
    // Where windows come from: at first the report dialogs' progress window
    // (the preview shows nothing there); none: no windows.
    ReportWindows *Windows = nullptr;
    // The print job printing goes to; none: a job on the platform's selected
    // printer.
    PrintJob *Job = nullptr;

    QString FileName;
    QString PrnName;
    bool PrintToDefault = false;
    bool DoublePass = false;

    // Report information.
    QString ReportComment, ReportName, ReportAutor;
    QString ReportVersionMajor, ReportVersionMinor, ReportVersionRelease, ReportVersionBuild;
    QString ReportPassword;
    quint8 ReportGeneratorVersion = 88;
    quint8 ReportPasswordFlag = 0;
    // Day counts from 30 December 1899 with the time as fraction, kept as
    // stored so that a template saves again byte for byte.
    double ReportCreateDate = 0, ReportLastChange = 0;

    // Build state.
    bool FinalPass = false;
    bool TwoPassRequested = false;
    bool CanRebuild = false;
    // "TOTALPAGES": the page count of the first pass.
    int TotalPages = 0;
    // "DATE" and "TIME": when the build started.
    QDateTime RunDateTime;
    // The print request.
    QString PrintPageList;
    int PrintCopies = 1;
    bool PrintCollate = true;
    int PrintPageChoice = 0; // 0 all, 1 odd, 2 even
    // Template bytes read from form storage, kept until loading ends.
    std::unique_ptr<QIODevice> DFMStream;
    bool WritingFR3 = false;

    void Clear();
    void ResetReportInfo();

    // Files (the file half, ReportComponentFiles.cpp). Loading errors are
    // shown (caption "Ошибка") and leave the report usable; a save that
    // fails returns false and leaves an existing file as it was.
    void LoadFromStream(QIODevice &stream);
    void SaveToStream(QIODevice &stream);
    // False when the file does not exist (nothing changes).
    bool LoadFromFile(const QString &name);
    bool SaveToFile(const QString &name);
    // Under the name with the extension ".fr3".
    bool SaveToFR3File(const QString &name);
    bool LoadPreparedReport(const QString &name);
    bool SavePreparedReport(const QString &name);
    // ".frt": without pages only the description and the picture are read.
    bool LoadTemplate(const QString &name, QStringList *description, ReportPicture *picture, bool loadPages);
    bool SaveTemplate(const QString &name, const QStringList &description, const ReportPicture *picture);
    // Form storage "ReportForm".
    void WriteReportForm(QIODevice &stream);
    void ReadReportForm(QIODevice &stream);
    void Loaded();

    // Building.
    bool PrepareReport();
    void ShowReport();
    void SetPrinterTo(const QString &name);
    void ShowProgressPage(int n);
    // A page of the template by index, as a page the engine forms.
    Page *PageAt(int index) const { return index >= 0 && index < static_cast<int>(Pages.size()) ? Pages[index].get() : nullptr; }

    // Values and functions of report expressions.
    void GetVariableValue(const QString &name, Variant &value);
    bool GetSystemValue(const QString &name, Variant &value);
    void DoFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3, Variant &value);
    bool DoBuiltinFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                           Variant &value);
    QString ExpandVariable(const QString &expression);
    static QString FormatValue(const Variant &value, int format, const QString &formatText);
    void BeginColumn(Band *band);
    void PrintColumn(int colNo, int &width);

    // The objects' services.
    QString ValueText(const QString &expression, View &view) override;
    void BeforePrint(QStringList &memo, View &view) override;
    bool HasBeforePrint() const override { return static_cast<bool>(OnBeforePrint); }

    // Output.
    void ShowPreparedReport();
    void PrintPreparedReport(const QString &pageList, int copies, bool collate, int pageChoice);
    virtual void DoPrintReport(const QString &pageList, int copies, bool collate, int pageChoice);
    void ExportTo(ExportFilter *filter, const QString &fileName);
    int DesignReport();
    void EditPreparedReport(int index);
    bool ChangePrinter(int oldIndex, int newIndex);

    // What scripts of this report change (the library's script host while it builds).
    ScriptHost &Host() { return *host_; }

protected:
    virtual void DoBuildReport();

private:
    // One build: the passes with the progress; false when cancelled.
    bool RunPasses();
    void RunPass();
    void installHandlers();
    std::unique_ptr<ScriptHost> host_;
    // The report dialogs' progress window, what Windows starts with.
    std::unique_ptr<ReportWindows> dialogWindows_;
};

// The page list of printing: empty for all pages.
QSet<int> ParsePageList(const QString &text, int pageCount);

} // namespace reports
