// The map editor's entry point: the application, the frame and the map window.

#include "app/Application.h"
#include "app/FStart.h"
#include "app/FTolvane.h"
#include "dialogs/FFind.h"
#include "platform/FormatSettings.h"
#include "platform/ui/QtPrinterBackend.h"
#include "platform/ui/QtUserAnswers.h"
#include "mapreports/FrameReports.h"
#include "reports/build/FunctionLibraries.h"
#include "reports/ui/PreviewForm.h"
#include "reports/export/XlsxWorkbook.h"
#include "reports/ui/ExportForms.h"
#include "reports/ui/ReportDialogForms.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "tolvane: no display is available (DISPLAY is not set); "
                             "the map editor needs a graphical session.\n");
        return 2;
    }
    app::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    // The report windows' settings root takes the name as it is now.
    app::startReportSettings();
    // Questions reach the user through Qt's dialogs.
    platform::QtUserAnswers asking;
    platform::ScopedService<platform::UserAnswers> answers(asking);
    // The printers of the print system, for the reports.
    platform::QtPrinterBackend printers;
    platform::ScopedService<platform::PrinterBackend> printing(printers);
    // The report library's windows (progress, password, formats, input) and
    // its own function libraries.
    reports::QtReportDialogs reportWindows;
    platform::ScopedService<reports::ReportDialogs> reportDialogs(reportWindows);
    // Built reports open in the preview window.
    reports::QtPreviewWindows previews;
    platform::ScopedService<reports::PreviewWindows> previewWindows(previews);
    reports::QtPageSetupDialog pageSetup;
    platform::ScopedService<reports::PageSetupDialog> pageSetupDialog(pageSetup);
    reports::QtExportDialogs exportWindows;
    platform::ScopedService<reports::ExportDialogs> exportDialogs(exportWindows);
    reports::QtExcelExportDialogs excelWindows;
    platform::ScopedService<reports::ExcelExportDialogs> excelDialogs(excelWindows);
    // The spreadsheet export writes its workbooks through the program's own
    // spreadsheet server.
    reports::XlsxServers spreadsheets;
    platform::ScopedService<reports::SpreadsheetServers> spreadsheetServers(spreadsheets);
    reports::RegisterStandardFunctionLibraries();
    // The frame's report, its query and the variables templates read.
    reports::FrameReportEngine frameReports;
    platform::ScopedService<reports::ReportEngine> reportEngine(frameReports);
    // The platform's own buttons and dialogs in the interface's language.
    app::loadPlatformTranslations(app::interfaceLanguage());
    // Month and day names of dates written as text, in that language too.
    platform::ScopedService<platform::FormatSettings> formats(app::interfaceLanguage() == u"uk"
                                                                  ? platform::FormatSettings::ukrainian()
                                                                  : platform::FormatSettings::russian());
    // The frame first: it becomes the main window; then the one map window.
    auto *frame = new TStart();
    frame->setAttribute(Qt::WA_DeleteOnClose);
    // Closing the frame ends the program, even while a window of its own (the
    // welcome window) is still open.
    QObject::connect(frame, &QObject::destroyed, &app, &QApplication::quit);
    frame->EnsureMapWindow();
    // Search requests of the user's other programs reach the search window.
    if (!FindTolvane()->StartRequestServer())
        std::fprintf(stderr, "tolvane: another map editor of this user receives the search requests.\n");
    frame->showMaximized();
    // Ask for the focus: the map window opens the last project when it is
    // first activated, and without a window manager nobody else gives it.
    frame->activateWindow();
    return QApplication::exec();
}
