#pragma once
// The report components of the frame as the frame, the map window and the
// host hooks reach them. The banded report engine is not in the program yet:
// the default engine keeps the template name and the variables it is given and
// shows, prints and designs nothing; the engine of this library will take its
// place. Tests install one that records
// (platform::ScopedService<reports::ReportEngine>).

#include "platform/Service.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>

namespace reports {

class ReportEngine {
public:
    virtual ~ReportEngine() = default;
    // Loads a ".frf" template into the one report; false when the file does
    // not exist. The name is kept.
    virtual bool LoadFromFile(const QString &fileName);
    // Empties the report (a new template).
    virtual void Clear();
    // Builds the report and shows it in the report window.
    virtual void ShowReport();
    // Opens the report designer on the loaded template.
    virtual void DesignReport();
    // Sets a variable that templates read.
    virtual void SetReportVariable(const QString &name, const QVariant &value);
    // Runs "Select * From "<table>"" over the tables of a folder and gives
    // the number of rows (0 when the query cannot run).
    virtual int QueryRowCount(const QString &folder, const QString &table);
    // Registers a function library class once (a second registration of the
    // same name adds nothing).
    virtual void RegisterFunctionLibrary(const QString &className);

    QString FileName;
    std::map<QString, QVariant> Variables;
    QStringList FunctionLibraries;
};

// The engine in use.
inline ReportEngine &reportEngine()
{
    return platform::Service<ReportEngine>::get();
}

} // namespace reports
