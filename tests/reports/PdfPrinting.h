#pragma once
// Reports printed into a PDF file through the platform's printers (the Qt
// backend, installed for the report printer), and the file's sheets read
// back with pdftoppm.

#include "platform/Service.h"
#include "platform/ui/QtPrinterBackend.h"
#include "reports/model/ReportPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QProcess>

struct PdfPrinting {
    platform::QtPrinterBackend printers;
    platform::ScopedService<platform::PrinterBackend> installed{printers};
    explicit PdfPrinting(const QString &pdf)
    {
        printers.setOutputFile(pdf);
        reports::resetReportPrinter();
    }
    ~PdfPrinting() { reports::resetReportPrinter(); }
};

// The sheets of a PDF file at `dpi` (pdftoppm's pictures beside the file).
// Lines are drawn without smoothing: a hairline then takes whole pixels of its
// colour wherever it falls, instead of a pale grey that depends on where.
inline QList<QImage> pdfSheets(const QString &pdftoppm, const QString &pdf, int dpi)
{
    const QFileInfo info(pdf);
    const QString base = info.fileName() + QStringLiteral("-sheet");
    QProcess p;
    p.start(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aaVector"), QStringLiteral("no"),
                       QStringLiteral("-png"), pdf, QDir(info.path()).filePath(base)});
    p.waitForFinished(60000);
    QList<QImage> sheets;
    for (const QString &name : QDir(info.path()).entryList({base + QStringLiteral("*.png")}, QDir::Files, QDir::Name))
        sheets << QImage(QDir(info.path()).filePath(name));
    return sheets;
}
