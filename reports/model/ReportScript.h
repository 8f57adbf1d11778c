#pragma once
// TInterpretator: the script interpreter bound to the report being built.
// Names and calls go to the handlers of the library's parser (the report's
// own, so scripts see what text objects see); assignments go, in this order,
// to a report variable of that name, a variable of the report's dictionary,
// MODALRESULT, CURY, PROGRESS, an object's property, and otherwise make a
// new report variable.

#include "reports/language/ScriptInterpreter.h"

namespace reports {

// What the report being built lets a script change; the report installs
// itself in the library's build state. The base claims nothing.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    // A variable of the report's data dictionary; false when there is none.
    virtual bool SetDictionaryVariable(const QString & /*name*/, const Variant & /*value*/) { return false; }
    // The modal result of the current page's window, when it is a dialog page.
    virtual void SetModalResult(int /*result*/) {}
    // The current page's vertical position (the band keeps it when it has
    // pending new-page or new-column requests).
    virtual void SetCurY(int /*y*/) {}
    // The second line of the progress window; pending events are processed.
    virtual void ShowProgress(const QString & /*text*/) {}
    // "Object.Property", "PageN.Property" or a property of the current
    // object; false when no object has it.
    virtual bool SetObjectProperty(const QString & /*name*/, const Variant & /*value*/) { return false; }
};

class ReportScriptInterpreter : public Interpreter {
public:
    void GetValue(const QString &name, Variant &value) override;
    void SetValue(const QString &name, const Variant &value) override;
    void DoFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                    Variant &value) override;
};

} // namespace reports
