#include "reports/ReportEngine.h"

#include "platform/Paths.h"

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

int ReportEngine::QueryRowCount(const QString &, const QString &)
{
    return 0;
}

void ReportEngine::RegisterFunctionLibrary(const QString &className)
{
    if (!FunctionLibraries.contains(className))
        FunctionLibraries.append(className);
}

} // namespace reports
