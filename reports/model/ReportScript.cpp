#include "reports/model/ReportScript.h"

#include "reports/model/ReportLibrary.h"

namespace reports {

void ReportScriptInterpreter::GetValue(const QString &name, Variant &value)
{
    if (const GetValueHandler &handler = library().ReportParser.OnGetValue)
        handler(name, value);
}

void ReportScriptInterpreter::DoFunction(const QString &name, const QString &p1, const QString &p2,
                                         const QString &p3, Variant &value)
{
    if (const FunctionHandler &handler = library().ReportParser.OnFunction)
        handler(name, p1, p2, p3, value);
}

void ReportScriptInterpreter::SetValue(const QString &name, const Variant &value)
{
    ReportLibrary &lib = library();
    if (const int at = lib.ReportVariables.IndexOf(name); at >= 0) {
        lib.ReportVariables.SetValueAt(at, value);
        return;
    }
    ScriptHost *host = lib.State.CurrentScriptHost;
    if (host && host->SetDictionaryVariable(name, value))
        return;
    if (name.compare(u"MODALRESULT", Qt::CaseInsensitive) == 0) {
        if (host)
            host->SetModalResult(value.toInt());
        return;
    }
    if (name.compare(u"CURY", Qt::CaseInsensitive) == 0) {
        if (host)
            host->SetCurY(value.toInt());
        return;
    }
    if (name.compare(u"PROGRESS", Qt::CaseInsensitive) == 0) {
        if (host)
            host->ShowProgress(valueText(value));
        return;
    }
    if (host && host->SetObjectProperty(name, value))
        return;
    lib.ReportVariables.SetVariable(name, value);
}

} // namespace reports
