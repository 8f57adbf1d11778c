#include "reports/FrameReports.h"

#include "platform/Paths.h"
#include "reports/ReportLibrary.h"

namespace reports {

FrameReportEngine::FrameReportEngine()
{
    frQuerySQL_.Name = QStringLiteral("frQuerySQL");
    frQuerySQL_.SetDataSet(&query_);
    report_.Components.push_back(&frQuerySQL_);
}

FrameReportEngine::~FrameReportEngine() = default;

bool FrameReportEngine::LoadFromFile(const QString &fileName)
{
    const QString path = platform::resolvePath(fileName);
    if (!platform::fileExists(path))
        return false;
    FileName = fileName;
    return report_.LoadFromFile(path);
}

void FrameReportEngine::Clear()
{
    FileName.clear();
    report_.Clear();
}

void FrameReportEngine::ShowReport()
{
    report_.ShowReport();
}

void FrameReportEngine::DesignReport()
{
    report_.DesignReport();
}

void FrameReportEngine::SetReportVariable(const QString &name, const QVariant &value)
{
    ReportEngine::SetReportVariable(name, value);
    library().ReportVariables.SetVariable(name, Variant::fromQVariant(value));
}

int FrameReportEngine::QueryRowCount(const QString &folder, const QString &table)
{
    query_.close();
    query_.setDatabaseName(platform::resolvePath(folder));
    query_.setSqlText(QStringLiteral("Select * From \"") + table + QStringLiteral("\""));
    query_.open();
    return query_.recordCount();
}

} // namespace reports
