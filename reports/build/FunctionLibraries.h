#pragma once
// The report library's own function libraries: the standard one (dates,
// texts, formats, MAXNUM/MINNUM, INPUT and MESSAGEBOX, and the aggregates,
// which the band runtime computes) and the database one (FIELDISNULL); the
// catalogue's queries the designer's function list makes; and the asking of
// the registered libraries in their order.

#include "reports/model/ReportObjects.h"

#include <functional>

namespace reports {

class StdFunctionLibrary : public FunctionLibrary {
public:
    // Function numbers, the positions in FunctionNames.
    enum Function {
        fnAvg, fnCount, fnDayOf, fnFormatDateTime, fnFormatFloat, fnFormatText, fnInput, fnLength, fnLowerCase,
        fnMax, fnMaxNum, fnMessageBox, fnMin, fnMinNum, fnMonthOf, fnNameCase, fnPos, fnSum, fnTrim,
        fnUpperCase, fnYearOf
    };
    StdFunctionLibrary();
    QString ClassName() const override { return QStringLiteral("TfrStdFunctionLibrary"); }
    void DoFunction(int number, const QString &p1, const QString &p2, const QString &p3, Variant &result) override;
};

class DatabaseFunctionLibrary : public FunctionLibrary {
public:
    DatabaseFunctionLibrary();
    QString ClassName() const override { return QStringLiteral("TDatabaseFunctionLibrary"); }
    void DoFunction(int number, const QString &p1, const QString &p2, const QString &p3, Variant &result) override;
};

// The aggregates SUM, MIN, MAX, AVG and COUNT (kinds 11 to 15): the band
// runtime registers their keys while a report is set up and reads their
// values back while pages are built (AggregateFunction, also what an empty
// handler puts back).
using AggregateHandler = std::function<void(int kind, const QString &p1, const QString &p2, const QString &p3,
                                             Variant &result)>;
void SetAggregateFunction(AggregateHandler aggregate);

// Whether the field a data-field reference names is null; the data
// dictionary answers (true when the reference finds no data set; FieldIsNull,
// also what an empty handler puts back).
using FieldIsNullHandler = std::function<bool(const QString &reference)>;
void SetFieldIsNullFunction(FieldIsNullHandler fieldIsNull);

// Registers the standard and then the database library (the start of the
// report library); unregisters both (its end).
void RegisterStandardFunctionLibraries();
void UnregisterStandardFunctionLibraries();

// Asks the registered libraries in their order; true once one knew the name.
bool CallFunctionLibraries(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                           Variant &result);

// The catalogue's queries. A function's description: "" for an unknown name
// (case ignored). The distinct categories, sorted. The names of a category
// (case ignored), sorted; the category "Все функции" lists every name.
QString GetFunctionDescription(const QString &name);
QStringList GetCategoryList();
QStringList GetFunctionList(const QString &category);
inline constexpr char16_t kAllFunctions[] = u"Все функции";

// A function's argument as the report parser evaluates it; a missing
// argument is an empty text. The libraries of other units share them.
Variant CalcArgument(const QString &text);
QString CalcArgumentText(const QString &text);

} // namespace reports
