#pragma once
// Finding the calls of given functions (the aggregates) inside expressions
// before a report is built: TfrFunctionSplitter and
// TAggregateFunctionsSplitter.

#include "reports/language/ReportVariables.h"

#include <QString>
#include <QStringList>

#include <set>

namespace reports {

class FunctionSplitter {
public:
    // The names to find (compared without regard to case), a list whose
    // values are expressions themselves (followed into), and the list that
    // receives the call texts found.
    FunctionSplitter(const QStringList &matches, const Variables &variables, QStringList &result);
    void Split(const QString &expression);

private:
    void splitVariable(const QString &name);

    QStringList matches_;
    const Variables &variables_;
    QStringList &result_;
    // The variables being followed: a variable whose expression names itself
    // is followed once.
    std::set<QString> following_;
    int depth_ = 0;
};

class AggregateFunctionsSplitter : public FunctionSplitter {
public:
    // "AVG", "COUNT", "MAX", "MIN", "SUM" through the given variables (the
    // report's dictionary variables).
    AggregateFunctionsSplitter(const Variables &variables, QStringList &result);
    // Every bracketed group of every line.
    void SplitMemo(const QStringList &lines);
    // The expression of every compiled script line.
    void SplitScript(const QStringList &compiledLines);
};

// The expression part of a compiled script line: after the code and target
// of a conditional jump, after the code of an expression line, after the
// name of an assignment; empty for a jump.
QString compiledExpression(const QString &line);

} // namespace reports
