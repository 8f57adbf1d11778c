// The report component's building half: creation, the passes of a build and
// the progress display.
#include "reports/ReportComponent.h"

#include "reports/BandRuntime.h"
#include "reports/ReportLibrary.h"

namespace reports {

TfrReport::TfrReport()
    : EMFPages(std::make_unique<TfrEMFPages>()), Dictionary(std::make_unique<ReportDictionary>())
{
    FileName = QStringLiteral("Untitled");
    ResetReportInfo();
}

TfrReport::~TfrReport()
{
    BuildState &state = library().State;
    if (state.CurrentReport == this)
        state.CurrentReport = nullptr;
    if (state.MasterReport == this)
        state.MasterReport = nullptr;
    if (state.CurrentScriptHost == host_.get())
        state.CurrentScriptHost = nullptr;
}

void TfrReport::ResetReportInfo()
{
    ReportComment.clear();
    ReportName.clear();
    ReportAutor.clear();
    ReportVersionMajor.clear();
    ReportVersionMinor.clear();
    ReportVersionRelease.clear();
    ReportVersionBuild.clear();
    ReportPassword.clear();
    ReportCreateDate = ReportLastChange = QDateTime::currentDateTime();
    ReportPasswordFlag = 0;
    ReportGeneratorVersion = 88;
}

} // namespace reports
