#pragma once
// The file side of the report component: its template (the pages of the
// Report base), data dictionary, prepared pages and report information, and
// the files they are kept in: templates (".frf" streams), template files
// (".frt"), prepared reports (".frp"), dictionaries (".frd") and the XML
// template form (".fr3"). The report component (TfrReport) adds building,
// preview and printing on top of it.

#include "reports/DataDictionary.h"
#include "reports/PreparedPages.h"
#include "reports/ReportModel.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace reports {

class Dataset;
struct ReportPicture;

// Asks for a protected template's password (the report dialogs' password
// window); none when cancelled. Without a prompt installed the answer is
// none, so a protected template is not opened.
using PasswordPrompt = std::function<std::optional<QString>()>;
void setPasswordPrompt(PasswordPrompt prompt);

class ReportDocument : public Report {
public:
    ReportDocument();
    ~ReportDocument() override;

    reports::DataDictionary Dictionary;
    reports::EMFPages EMFPages;
    // The component whose own components plain names in the report reach.
    Component *Owner = nullptr;
    // The report-level data source.
    Dataset *DataSet = nullptr;
    bool UseDefaultDataSetName = false;

    QString FileName;
    // The printer chosen for the report; keep the selected printer instead;
    // build in two passes.
    QString PrnName;
    bool PrintToDefault = false;
    bool DoublePass = false;

    QString ReportComment, ReportName, ReportAutor;
    QString ReportVersionMajor, ReportVersionMinor, ReportVersionRelease, ReportVersionBuild;
    QString ReportPassword;
    quint8 ReportGeneratorVersion = 88;
    quint8 ReportPasswordFlag = 0;
    double ReportCreateDate = 0;
    double ReportLastChange = 0;

    // The prepared pages can be built again from the template.
    bool CanRebuild = true;
    // On while the template is written in the XML form.
    bool WritingFR3 = false;

    // Removes the pages, clears the dictionary and the report information,
    // turns two passes off and resets the build state's current objects.
    virtual void Clear();
    // Selects the report printer of that name unless the report keeps the
    // selected printer; PrnName takes the name in any case.
    virtual void SetPrinterTo(const QString &name);
    void ResetReportInfo();
    // A new report page with the printer's default paper.
    Page *AddPage();

    // The template stream (".frf"). Errors are shown (caption "Ошибка") and
    // leave the report usable: a damaged stream gives one empty page.
    void LoadFromStream(QIODevice &stream);
    void SaveToStream(QIODevice &stream);
    // False when the file does not exist (nothing changes).
    bool LoadFromFile(const QString &fileName);
    // False when the file cannot be written; an existing file is then kept.
    bool SaveToFile(const QString &fileName);
    // ".frt": a description and a picture before the pages. Without pages
    // only the description and the picture are read.
    bool SaveTemplate(const QString &fileName, const QStringList &description, const ReportPicture *picture);
    bool LoadTemplate(const QString &fileName, QStringList &description, ReportPicture *picture, bool withPages);
    // ".frp"; loading resets the report information and forbids rebuilding.
    bool LoadPreparedReport(const QString &fileName);
    bool SavePreparedReport(const QString &fileName);
    // The XML template form, under the name with the extension ".fr3".
    bool SaveToFR3File(const QString &fileName);

    // The pages section of a template (without version byte, report
    // information or end byte). Raises on damaged input.
    void LoadPages(QIODevice &stream);
    void SavePages(QIODevice &stream);

    // Draws every band-aligned object once so that its alignment applies.
    void ApplyBandAligns();

    // Events the prepared pages raise.
    virtual void BeginPageEvent(int /*pageNo*/) {}
    virtual void ObjectClick(View & /*view*/) {}
    virtual void MouseOverObject(View & /*view*/, int & /*cursor*/) {}

private:
    void readPageHeader(QIODevice &stream, Page &page);
    void writePageHeader(QIODevice &stream, const Page &page);
    void readReportInfo(QIODevice &stream);
    void writeReportInfo(QIODevice &stream);
    void toOneEmptyPage();
};

// The date-time now as a day count from 30 December 1899.
double NowAsDays();

} // namespace reports
