#include "reports/output/ReportEngine.h"

#include "platform/Paths.h"
#include "platform/db/Query.h"

namespace reports {

bool ReportEngine::LoadFromFile(const QString &fileName)
{
    if (!platform::fileExists(fileName))
        return false;
    FileName = fileName;
    return true;
}

void ReportEngine::Clear()
{
    FileName.clear();
}

// The report engine comes with the report subsystem; until then there is
// nothing to show or design.
void ReportEngine::ShowReport() {}
void ReportEngine::DesignReport() {}

void ReportEngine::SetReportVariable(const QString &name, const QVariant &value)
{
    Variables[name] = value;
}

int ReportEngine::QueryRowCount(const QString &folder, const QString &table)
{
    try {
        platform::db::Query query;
        query.setDatabaseName(platform::resolvePath(folder));
        query.setSqlText(QStringLiteral("Select * From \"") + table + QStringLiteral("\""));
        query.open();
        return query.recordCount();
    } catch (const platform::db::DbError &) {
        return 0;
    }
}

void ReportEngine::RegisterFunctionLibrary(const QString &className)
{
    if (!FunctionLibraries.contains(className))
        FunctionLibraries.append(className);
}

} // namespace reports
