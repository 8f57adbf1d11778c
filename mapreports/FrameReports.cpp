#include "mapreports/FrameReports.h"

#include "platform/Paths.h"
#include "reports/model/ReportLibrary.h"

namespace reports {

FrameReportEngine::FrameReportEngine()
{
    frQuerySQL_.Name = QStringLiteral("frQuerySQL");
    frQuerySQL_.SetDataSet(&query_);
    // The query is open only while a report reads it: an open query holds
    // its table, and the coordinate list replaces "points.db" on every run.
    frQuerySQL_.CloseDataSource = true;
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
    const int rows = query_.recordCount();
    // The report that follows opens it again (its data set opens its source).
    query_.close();
    return rows;
}

} // namespace reports
