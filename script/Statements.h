#pragma once
// Statements and procedures. A compiled script is a tree of statement
// objects, the same whatever the source language; every statement is also a
// compound (its children run in order). Each reports itself to the host
// (TfsScript::RunLine) and checks its script's Terminated before its work;
// break, continue and exit are flags on the script that stop every
// enclosing compound until a loop clears them (break, continue) or the
// procedure or main program ends (exit).
//
// Script procedures have one set of locals each, kept between calls (the
// report's IIF relies on it); a recursive call saves the running call's
// values and puts them back afterwards, also when the inner call fails.

#include "script/Expressions.h"
#include "script/Script.h"

namespace script {

class TfsStatement : public TfsItemList {
public:
    TfsStatement(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName)
        : Prog(program), SourcePos(sourcePos), UnitName(unitName)
    {
    }
    // Runs the children in order while nothing stops them.
    virtual void Execute();
    void RunLine() { Prog->RunLine(UnitName, SourcePos); }
    TfsStatement *Child(int index) const { return static_cast<TfsStatement *>(Item(index)); }

    TfsScript *Prog;
    QByteArray SourcePos;
    QByteArray UnitName;

protected:
    // The children as a compound (the body of the statement).
    void runBody() { TfsStatement::Execute(); }
};

class TfsAssignmentStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsAssignmentStmt() override;
    void Execute() override;
    // Chooses the objects actually read and written (the variable of a plain
    // designator, the single operand of the expression).
    void Optimize();

    TfsDesignator *Designator = nullptr;
    TfsExpression *Expression = nullptr;

protected:
    TfsCustomVariable *target_ = nullptr;
    TfsCustomVariable *source_ = nullptr;
    // The target is a variable whose value is written in place.
    bool directTarget_ = false;
};

// target := target op source, the target read once.
class TfsAssignPlusStmt : public TfsAssignmentStmt {
public:
    using TfsAssignmentStmt::TfsAssignmentStmt;
    void Execute() override;
    // From a string join (&): a string target takes the source's text.
    bool Join = false;
};
class TfsAssignMinusStmt : public TfsAssignmentStmt {
public:
    using TfsAssignmentStmt::TfsAssignmentStmt;
    void Execute() override;
};
class TfsAssignMulStmt : public TfsAssignmentStmt {
public:
    using TfsAssignmentStmt::TfsAssignmentStmt;
    void Execute() override;
};
class TfsAssignDivStmt : public TfsAssignmentStmt {
public:
    using TfsAssignmentStmt::TfsAssignmentStmt;
    void Execute() override;
};

class TfsCallStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsCallStmt() override;
    void Execute() override;
    TfsDesignator *Designator = nullptr;
    // "", "+" (++) or "-" (--).
    QByteArray Modificator;
};

class TfsIfStmt : public TfsStatement {
public:
    TfsIfStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName);
    ~TfsIfStmt() override;
    void Execute() override;
    TfsExpression *Condition = nullptr;
    TfsStatement *ElseStmt;
};

class TfsCaseSelector : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsCaseSelector() override;
    TfsSetExpression *SetExpression = nullptr;
};

class TfsCaseStmt : public TfsStatement {
public:
    TfsCaseStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName);
    ~TfsCaseStmt() override;
    void Execute() override;
    TfsExpression *Condition = nullptr;
    TfsStatement *ElseStmt;
};

class TfsRepeatStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsRepeatStmt() override;
    void Execute() override;
    TfsExpression *Condition = nullptr;
    bool InverseCondition = false;
};

class TfsWhileStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsWhileStmt() override;
    void Execute() override;
    TfsExpression *Condition = nullptr;
};

// The PascalScript for: a fixed number of passes, the counter stored
// directly into the variable.
class TfsForStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsForStmt() override;
    void Execute() override;
    TfsExpression *BeginValue = nullptr;
    TfsExpression *EndValue = nullptr;
    bool Down = false;
    TfsCustomVariable *Variable = nullptr; // not owned
};

// The ZoridEdodud For ... To ... Step: Variant comparisons, so float steps work.
class TfsVbForStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsVbForStmt() override;
    void Execute() override;
    TfsExpression *BeginValue = nullptr;
    TfsExpression *EndValue = nullptr;
    TfsExpression *Step = nullptr;
    TfsCustomVariable *Variable = nullptr; // not owned
};

// for (first; condition; second) body.
class TfsCppForStmt : public TfsStatement {
public:
    TfsCppForStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName);
    ~TfsCppForStmt() override;
    void Execute() override;
    TfsStatement *FirStmt;
    TfsExpression *Condition = nullptr;
    TfsStatement *SecStmt;
};

class TfsTryStmt : public TfsStatement {
public:
    TfsTryStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName);
    ~TfsTryStmt() override;
    void Execute() override;
    bool IsExcept = false;
    // The except part, or the finally part.
    TfsStatement *ExceptStmt;
};

class TfsBreakStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Prog->BreakRequested = true; }
};
class TfsContinueStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Prog->ContinueRequested = true; }
};
class TfsExitStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { Prog->ExitRequested = true; }
};

// Reads the with-object once into its hidden variable.
class TfsWithStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    ~TfsWithStmt() override;
    void Execute() override;
    TfsDesignator *Designator = nullptr;
    TfsCustomVariable *Variable = nullptr; // not owned
};

// A script procedure or function.
class TfsProcVariable : public TfsCustomVariable {
public:
    TfsProcVariable(const QByteArray &name, int typeCode, const QByteArray &typeName, TfsScript *parent,
                    bool isFunction);
    ~TfsProcVariable() override;
    // One call with the values in the parameters: the result (null for a
    // procedure).
    Variant GetValue() override;
    void SetValue(const Variant &) override {}

    // Recursion: the values of the local variables and parameters pushed
    // before a call made while one runs, and popped back after it.
    void SaveLocals();
    void RestoreLocals();

    bool Executing = false;
    bool IsFunc;
    TfsScript *Program;

private:
    void refreshLocals();
    std::vector<Variant> saved_;
    std::vector<TfsCustomVariable *> locals_;
    int localsCount_ = -1;
};

} // namespace script
