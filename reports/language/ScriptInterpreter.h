#pragma once
// TfrInterpretator: compiles the report script language (begin, if, repeat,
// while, for, goto, labels, assignments, procedure calls) into compiled lines
// and runs them. The expressions of the lines are postfix strings of the
// expression parser (reports/language/ExpressionParser.h).
//
// A compiled line is one of:
//   "\x01" lo hi postfix   evaluate; when the value equals 0 go to line
//                          lo + 256 * hi, otherwise to the next line
//   "\x02" lo hi           go to line lo + 256 * hi
//   "\x03" postfix         evaluate and drop the value; "EXIT(0)" ends
//   name " " postfix       evaluate and assign to the name
// A target equal to the number of lines ends the script.

#include "reports/language/ExpressionParser.h"
#include "reports/language/ReportVariables.h"

#include <QString>
#include <QStringList>

namespace reports {

class Interpreter {
public:
    Interpreter();
    virtual ~Interpreter();
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    // The parser's handlers lead here; the base answers nothing.
    virtual void GetValue(const QString &name, Variant &value);
    virtual void SetValue(const QString &name, const Variant &value);
    virtual void DoFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                            Variant &value);
    // Compiles the source lines into `compiled` (which may be the source list
    // itself). On an error one line "Line <line>/<column>: <message>" goes to
    // `errors` (both counted from 1 in the source), compilation stops and
    // `compiled` keeps what was made before it; an error found once the lines
    // are made (a jump to a label the script does not define) leaves no
    // lines. Only the first statement is compiled: several need begin ... end.
    virtual void PrepareScript(const QStringList &source, QStringList &compiled, QStringList &errors);
    // Runs compiled lines. Errors of the expressions and handlers pass through.
    virtual void DoScript(const QStringList &compiled);
    // Finds the calls of the matched functions in the expression of every
    // compiled line (reports/language/FunctionSplitter.h).
    void SplitExpressions(const QStringList &compiled, const QStringList &matches, const Variables &variables,
                          QStringList &result);

    Parser &parser() { return parser_; }

private:
    Parser parser_;
};

} // namespace reports
