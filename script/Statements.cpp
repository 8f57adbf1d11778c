#include "script/Statements.h"

namespace script {

using platform::VarType;

void TfsStatement::Execute()
{
    TfsScript *prog = Prog;
    for (TfsItemList *item : items_) {
        if (prog->Terminated)
            return;
        static_cast<TfsStatement *>(item)->Execute();
        if (prog->FlowRequested())
            return;
    }
}

// ---------------------------------------------------------------------------
// Assignments

TfsAssignmentStmt::~TfsAssignmentStmt()
{
    delete Designator;
    delete Expression;
}

void TfsAssignmentStmt::Optimize()
{
    target_ = Designator->DKind == DesignatorKind::Variable ? Designator->RefItem : Designator;
    // Variables and parameters, string variables too, are computed on in
    // place: "s := s + x" appends to the one string.
    directTarget_ = target_->DirectRead && !target_->IsReadOnly;
    source_ = Expression->SingleOperand();
    if (!source_)
        source_ = Expression;
}

namespace {

// A string variable holds text whatever was computed.
inline void keepKind(TfsCustomVariable *target)
{
    if (target->Kind != VarKind::Plain && target->Value.type() != VarType::String)
        target->SetValue(Variant(target->Value));
}

} // namespace

void TfsAssignmentStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    if (directTarget_ && target_->Kind == VarKind::Plain)
        target_->Value = source_->GetValue();
    else
        target_->SetValue(source_->GetValue());
}

// The compound assignments read the target before the source: a source
// that changes the target (x := x + F, F changing x) adds to the value x had.
// A string target is the exception: it is appended to in place, so that a
// loop of appends stays linear, and a source changing it is seen.

void TfsAssignPlusStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    if (directTarget_) {
        Variant &t = target_->Value;
        if (t.type() == VarType::Integer) {
            const qint64 before = t.rawInteger();
            const Variant s = source_->GetValue();
            t = s.type() == VarType::Integer ? Variant(before + s.rawInteger()) : Variant(before) + s;
        } else if (t.isString()) {
            const Variant s = source_->GetValue();
            if (Join)
                t += s.isString() ? s : Variant(s.toString());
            else
                t += s;
        } else {
            const Variant before = t;
            const Variant s = source_->GetValue();
            t = Join && before.isString() ? before + Variant(s.toString()) : before + s;
        }
        keepKind(target_);
    } else {
        Variant t = target_->GetValue();
        const Variant s = source_->GetValue();
        if (Join && t.isString())
            t += s.isString() ? s : Variant(s.toString());
        else
            t += s;
        target_->SetValue(t);
    }
}

void TfsAssignMinusStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    const Variant before = target_->GetValue();
    const Variant s = source_->GetValue();
    if (directTarget_) {
        Variant &t = target_->Value;
        if (before.type() == VarType::Integer && s.type() == VarType::Integer)
            t = Variant(before.rawInteger() - s.rawInteger());
        else
            t = before - s;
        keepKind(target_);
    } else {
        target_->SetValue(before - s);
    }
}

void TfsAssignMulStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    const Variant before = target_->GetValue();
    const Variant s = source_->GetValue();
    if (directTarget_) {
        Variant &t = target_->Value;
        if (before.type() == VarType::Integer && s.type() == VarType::Integer)
            t = Variant(before.rawInteger() * s.rawInteger());
        else
            t = before * s;
        keepKind(target_);
    } else {
        target_->SetValue(before * s);
    }
}

void TfsAssignDivStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    const Variant before = target_->GetValue();
    const Variant s = source_->GetValue();
    if (directTarget_) {
        target_->Value = before / s;
        keepKind(target_);
    } else {
        target_->SetValue(before / s);
    }
}

// ---------------------------------------------------------------------------

TfsCallStmt::~TfsCallStmt()
{
    delete Designator;
}

void TfsCallStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    if (Modificator.isEmpty()) {
        Designator->NeedResult = false;
        Designator->GetValue();
        return;
    }
    const Variant v = Designator->GetValue();
    Designator->SetValue(Modificator.startsWith('-') ? v - Variant(1) : v + Variant(1));
}

TfsIfStmt::TfsIfStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName)
    : TfsStatement(program, sourcePos, unitName), ElseStmt(new TfsStatement(program, sourcePos, unitName))
{
}

TfsIfStmt::~TfsIfStmt()
{
    delete Condition;
    delete ElseStmt;
}

void TfsIfStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    if (Condition->GetBool())
        runBody();
    else
        ElseStmt->Execute();
}

TfsCaseSelector::~TfsCaseSelector()
{
    delete SetExpression;
}

TfsCaseStmt::TfsCaseStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName)
    : TfsStatement(program, sourcePos, unitName), ElseStmt(new TfsStatement(program, sourcePos, unitName))
{
}

TfsCaseStmt::~TfsCaseStmt()
{
    delete Condition;
    delete ElseStmt;
}

void TfsCaseStmt::Execute()
{
    const Variant value = Condition->GetValue();
    RunLine();
    if (Prog->Terminated)
        return;
    for (TfsItemList *item : items_) {
        auto *selector = static_cast<TfsCaseSelector *>(item);
        if (selector->SetExpression->Contains(value)) {
            selector->Execute();
            return;
        }
    }
    ElseStmt->Execute();
}

// ---------------------------------------------------------------------------
// Loops

TfsRepeatStmt::~TfsRepeatStmt()
{
    delete Condition;
}

void TfsRepeatStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    for (;;) {
        runBody();
        if (Prog->BreakRequested || Prog->ExitRequested)
            break;
        Prog->ContinueRequested = false;
        const bool c = Condition->GetBool();
        if (InverseCondition ? !c : c)
            break;
    }
    Prog->BreakRequested = false;
}

TfsWhileStmt::~TfsWhileStmt()
{
    delete Condition;
}

void TfsWhileStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    while (Condition->GetBool()) {
        runBody();
        if (Prog->BreakRequested || Prog->ExitRequested)
            break;
        Prog->ContinueRequested = false;
    }
    Prog->BreakRequested = false;
}

TfsForStmt::~TfsForStmt()
{
    delete BeginValue;
    delete EndValue;
}

void TfsForStmt::Execute()
{
    const qint64 first = BeginValue->GetValue().toInt();
    const qint64 last = EndValue->GetValue().toInt();
    RunLine();
    if (Prog->Terminated)
        return;
    const qint64 passes = Down ? first - last + 1 : last - first + 1;
    const int step = Down ? -1 : 1;
    qint64 counter = first;
    // The count is fixed before the first pass; the counter goes straight
    // into the variable's value.
    for (qint64 pass = 0; pass < passes; ++pass, counter += step) {
        Variable->Value = Variant(static_cast<int>(counter));
        runBody();
        if (Prog->BreakRequested || Prog->ExitRequested)
            break;
        Prog->ContinueRequested = false;
    }
    Prog->BreakRequested = false;
}

TfsVbForStmt::~TfsVbForStmt()
{
    delete BeginValue;
    delete EndValue;
    delete Step;
}

void TfsVbForStmt::Execute()
{
    Variant current = BeginValue->GetValue();
    const Variant last = EndValue->GetValue();
    const Variant step = Step ? Step->GetValue() : Variant(1);
    RunLine();
    if (Prog->Terminated)
        return;
    const bool down = step < Variant(0);
    while (down ? current >= last : current <= last) {
        Variable->Value = current;
        runBody();
        if (Prog->BreakRequested || Prog->ExitRequested)
            break;
        Prog->ContinueRequested = false;
        current = current + step;
    }
    Prog->BreakRequested = false;
}

TfsCppForStmt::TfsCppForStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName)
    : TfsStatement(program, sourcePos, unitName), FirStmt(new TfsStatement(program, sourcePos, unitName)),
      SecStmt(new TfsStatement(program, sourcePos, unitName))
{
}

TfsCppForStmt::~TfsCppForStmt()
{
    delete FirStmt;
    delete Condition;
    delete SecStmt;
}

void TfsCppForStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    FirStmt->Execute();
    if (Prog->Terminated)
        return;
    while (Condition->GetBool()) {
        runBody();
        if (Prog->BreakRequested || Prog->ExitRequested)
            break;
        Prog->ContinueRequested = false;
        SecStmt->Execute();
    }
    Prog->BreakRequested = false;
}

// ---------------------------------------------------------------------------

TfsTryStmt::TfsTryStmt(TfsScript *program, const QByteArray &sourcePos, const QByteArray &unitName)
    : TfsStatement(program, sourcePos, unitName), ExceptStmt(new TfsStatement(program, sourcePos, unitName))
{
}

TfsTryStmt::~TfsTryStmt()
{
    delete ExceptStmt;
}

void TfsTryStmt::Execute()
{
    RunLine();
    if (Prog->Terminated)
        return;
    if (IsExcept) {
        try {
            runBody();
        } catch (const std::exception &) {
            ExceptStmt->Execute();
        }
        return;
    }
    // The finally part runs whole, also after an exit in the protected part.
    const auto finallyPart = [this] {
        const bool exit = Prog->ExitRequested;
        Prog->ExitRequested = false;
        ExceptStmt->Execute();
        Prog->ExitRequested = Prog->ExitRequested || exit;
    };
    try {
        runBody();
    } catch (...) {
        finallyPart();
        throw;
    }
    finallyPart();
}

TfsWithStmt::~TfsWithStmt()
{
    delete Designator;
}

void TfsWithStmt::Execute()
{
    runBody();
    Variable->Value = Designator->GetValue();
}

// ---------------------------------------------------------------------------
// Procedures

TfsProcVariable::TfsProcVariable(const QByteArray &name, int typeCode, const QByteArray &typeName,
                                 TfsScript *parent, bool isFunction)
    : TfsCustomVariable(name, typeCode, typeName), IsFunc(isFunction), Program(new TfsScript)
{
    Kind = VarKind::Procedure;
    IsReadOnly = true;
    Program->ParentScript = parent;
    if (IsFunc) {
        auto *result = new TfsVariable("Result", typeCode, typeName);
        Program->Add("Result", result);
        RefItem = result;
    }
}

TfsProcVariable::~TfsProcVariable()
{
    for (int i = 0; i < ParamCount(); ++i)
        Program->Remove(Param(i));
    delete Program;
}

namespace {

// Script calls nested deeper than this raise instead of exhausting the stack
// (a function that calls itself without end).
constexpr int kMaxCallDepth = 1000;
thread_local int callDepth = 0;

} // namespace

Variant TfsProcVariable::GetValue()
{
    if (callDepth >= kMaxCallDepth)
        throw ScriptError(QStringLiteral("Слишком глубокая вложенность вызовов процедур"));
    struct Depth {
        Depth() { ++callDepth; }
        ~Depth() { --callDepth; }
    } depth;
    TfsScript *main = nullptr;
    for (TfsScript *s = Program; s; s = s->ParentScript)
        if (s->IsMainProgram) {
            main = s;
            break;
        }
    struct Restore {
        TfsProcVariable *proc;
        TfsScript *main;
        TfsScript *running;
        bool executing;
        ~Restore()
        {
            TfsScript *p = proc->Program;
            p->ExitRequested = p->Terminated = p->IsRunning = false;
            p->BreakRequested = p->ContinueRequested = false;
            if (main)
                main->RunningLocalScript = running;
            proc->Executing = executing;
        }
    } restore{this, main, main ? main->RunningLocalScript : nullptr, Executing};
    Executing = true;
    if (main)
        main->RunningLocalScript = Program;
    // A stray break or continue of an earlier call does not cut this one.
    Program->ExitRequested = Program->Terminated = false;
    Program->BreakRequested = Program->ContinueRequested = false;
    Program->IsRunning = true;
    Program->MainStatement()->Execute();
    return IsFunc ? RefItem->GetValue() : Variant::null();
}

void TfsProcVariable::refreshLocals()
{
    if (localsCount_ == Program->Count())
        return;
    locals_.clear();
    for (int i = 0; i < Program->Count(); ++i) {
        auto *v = dynamic_cast<TfsCustomVariable *>(Program->GetItem(i));
        if (v && v->DirectRead)
            locals_.push_back(v);
    }
    localsCount_ = Program->Count();
}

void TfsProcVariable::SaveLocals()
{
    refreshLocals();
    for (TfsCustomVariable *v : locals_)
        saved_.push_back(v->Value);
}

void TfsProcVariable::RestoreLocals()
{
    for (size_t i = locals_.size(); i-- > 0 && !saved_.empty();) {
        if (!locals_[i]->IsReadOnly)
            locals_[i]->Value = std::move(saved_.back());
        saved_.pop_back();
    }
}

} // namespace script
