#include "app/ReportComponents.h"

#include "platform/Paths.h"

namespace app {

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

namespace {
ReportEngine defaultEngine;
ReportEngine *installed = nullptr;
} // namespace

ReportEngine &reportEngine()
{
    return installed ? *installed : defaultEngine;
}

void setReportEngine(ReportEngine *engine)
{
    installed = engine;
}

} // namespace app
