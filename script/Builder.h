#pragma once
// The parser's second stage: the intermediate program (script/ILParser.h)
// becomes the script's runtime objects: variables, constants, procedures
// with their local scripts, statements appended to the main statement,
// expression trees and designators. Names are resolved through the script
// chain, type aliases through the program's and the grammar's `types`, and
// types, argument counts and assignability are checked; the first problem is
// a ScriptError with one of the engine's messages, at the position of the
// element being built.
//
// The same designator builder also runs at execution time, without a
// grammar, for designators that could only be resolved once a value was
// known (members of Variant values); it then only looks things up.

#include "script/ILParser.h"
#include "script/Variables.h"

#include <QByteArrayList>
#include <QHash>

namespace script {

class TfsExpression;
class TfsStatement;
class TfsXMLItem;

enum class DesignatorMode { Normal, Create, Free };

class TfsBuilder {
public:
    // For the designators left to run time: no grammar, declared names only.
    explicit TfsBuilder(TfsScript &program);
    // For a parsed program: its grammar's types, its lexer's text (the
    // expressions' source texts) and the units' own texts.
    TfsBuilder(TfsScript &program, TfsILParser &parser);

    // The whole program; errors go to the script.
    void Build(TfsXMLItem *root);
    TfsDesignator *BuildDesignator(TfsXMLItem *element, TfsScript *script, DesignatorMode mode);

    // The position of the element last started ("line:col").
    QByteArray ErrorPos;
    QByteArray UnitName;

private:
    struct WithEntry {
        QByteArray name;
        TfsCustomVariable *variable;
    };

    void buildProgram(TfsXMLItem *element, TfsScript *script);
    void declareRoutines(TfsXMLItem *element, TfsScript *script);
    void declareProcedure(TfsXMLItem *element, TfsScript *script);
    void declareFunction(TfsXMLItem *element, TfsScript *script);
    void buildParameters(TfsXMLItem *element, class TfsProcVariable *proc);
    void buildParameterGroup(TfsXMLItem *element, TfsProcVariable *proc, bool varParams);
    void buildProcedureBody(TfsXMLItem *element, TfsScript *script, const QByteArray &name);

    void buildStatementList(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildStatement(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void append(TfsStatement *list, TfsStatement *statement, TfsScript *script);
    void buildAssignment(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildCall(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildIf(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildCase(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildForLoop(TfsXMLItem *element, TfsScript *script, TfsStatement *list, bool basic);
    void buildCppFor(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildWhile(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildRepeat(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildTry(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildReturn(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildWith(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildUses(TfsXMLItem *element, TfsScript *script);
    void buildVar(TfsXMLItem *element, TfsScript *script, TfsStatement *list);
    void buildConst(TfsXMLItem *element, TfsScript *script);

    TfsCustomVariable *makeVariable(TfsXMLItem *element, TfsScript *script, bool byRef, bool isParam,
                                    TfsStatement *list, const QByteArray &name);
    TfsExpression *buildExpression(TfsXMLItem *element, TfsScript *script);
    void pushExpression(TfsXMLItem *element, TfsScript *script, TfsExpression *expr);
    TfsSetExpression *buildSet(TfsXMLItem *element, TfsScript *script);
    bool resolveInWith(TfsXMLItem *dsgn, TfsScript *script, const QByteArray &name, TfsDesignator *designator,
                       TfsDesignatorItem *item);
    void checkArguments(TfsDesignator *designator, TfsScript *script);
    QByteArray sourceText(TfsXMLItem *element);

    void ensureNotDeclared(TfsScript *script, const QByteArray &name);
    TfsCustomVariable *lookUpVariable(TfsScript *script, const QByteArray &name);
    TfsClassVariable *classOrUnknownType(const QByteArray &name);
    int typeCodeOfTypeName(QByteArray &name);
    void ensureCompatible(TfsCustomVariable *target, TfsCustomVariable *source);
    [[noreturn]] void fail(const QString &message);
    void at(TfsXMLItem *element);

    TfsScript &program_;
    const TfsXMLItem *grammarTypes_ = nullptr;
    TfsXMLItem *currentProgram_ = nullptr;
    bool needDeclared_ = true;
    QByteArray expressionExpected_ = "Expression expected";
    // Cutting the expressions' source texts: the main text's lexer, and a
    // lexer per unit text.
    TfsParser *lexer_ = nullptr;
    const QHash<QByteArray, QByteArray> *unitTexts_ = nullptr;
    QHash<QByteArray, std::shared_ptr<TfsParser>> unitLexers_;
    std::vector<WithEntry> withList_;
};

} // namespace script
