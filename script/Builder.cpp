#include "script/Builder.h"

#include "platform/TextCodec.h"
#include "script/AnsiText.h"
#include "script/Languages.h"
#include "script/Script.h"
#include "script/ScriptTools.h"
#include "script/Statements.h"
#include "script/XmlDocument.h"

namespace script {

namespace classlib = platform::classlib;

namespace {

QByteArray lower(const QByteArray &name)
{
    return ansiLowerCase(name);
}

QString quoted(const QByteArray &name)
{
    return '\'' + platform::fromCp1251(name) + '\'';
}

QByteArray textOf(const TfsXMLItem *item)
{
    return item->Prop("text");
}

} // namespace

TfsBuilder::TfsBuilder(TfsScript &program) : program_(program) {}

TfsBuilder::TfsBuilder(TfsScript &program, TfsILParser &parser) : program_(program)
{
    if (const TfsXMLItem *g = parser.GrammarRoot()) {
        if (const int t = g->Find("types"); t >= 0)
            grammarTypes_ = g->Items(t);
        if (const int p = g->Find("parser"); p >= 0) {
            const TfsXMLItem *settings = g->Items(p);
            if (const int e = settings->Find("errors"); e >= 0)
                if (const int m = settings->Items(e)->Find("err2"); m >= 0)
                    if (const QByteArray text = settings->Items(e)->Items(m)->Prop("text"); !text.isEmpty())
                        expressionExpected_ = text;
        }
    }
    needDeclared_ = parser.NeedDeclaredVariables();
    lexer_ = &parser.Lexer();
    unitTexts_ = &parser.UnitTexts;
}

void TfsBuilder::Build(TfsXMLItem *root)
{
    withList_.clear();
    program_.ErrorUnit.clear();
    UnitName.clear();
    try {
        buildProgram(root, &program_);
        program_.ErrorPosition.clear();
    } catch (const std::exception &e) {
        // What was built before stays in the script.
        program_.ErrorMessage = platform::toCp1251(QString::fromUtf8(e.what()));
        if (program_.ErrorMessage.isEmpty())
            program_.ErrorMessage = "Error";
        program_.ErrorPosition = ErrorPos;
        program_.ErrorUnit = UnitName;
    }
}

void TfsBuilder::at(TfsXMLItem *element)
{
    ErrorPos = element->Prop("pos");
}

void TfsBuilder::fail(const QString &message)
{
    throw ScriptError(message);
}

// ---------------------------------------------------------------------------
// Programs and routines

void TfsBuilder::buildProgram(TfsXMLItem *element, TfsScript *script)
{
    TfsXMLItem *saved = currentProgram_;
    currentProgram_ = element;
    declareRoutines(element, script);
    buildStatementList(element, script, script->MainStatement());
    currentProgram_ = saved;
}

void TfsBuilder::declareRoutines(TfsXMLItem *element, TfsScript *script)
{
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray name = lower(child->Name);
        if (name == "compoundstmt")
            declareRoutines(child, script);
        else if (name == "procedure")
            declareProcedure(child, script);
        else if (name == "function")
            declareFunction(child, script);
    }
}

void TfsBuilder::declareProcedure(TfsXMLItem *element, TfsScript *script)
{
    if (element->Count() == 0)
        fail(SIdUndeclared + quoted(QByteArray()));
    TfsXMLItem *first = element->Items(0);
    const QByteArray name = textOf(first);
    at(first);
    ensureNotDeclared(script, name);
    auto *proc = new TfsProcVariable(name, fvtVariant, QByteArray(), script, false);
    proc->SourcePos = element->Prop("pos");
    script->Add(name, proc);
    for (int i = 0; i < element->Count(); ++i)
        if (lower(element->Items(i)->Name) == "parameters")
            buildParameters(element->Items(i), proc);
}

void TfsBuilder::declareFunction(TfsXMLItem *element, TfsScript *script)
{
    QByteArray typeName, declared, name;
    int typeCode = fvtVariant;
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "type") {
            at(child);
            declared = typeName = textOf(child);
            typeCode = typeCodeOfTypeName(typeName);
        } else if (kind == "name") {
            at(child);
            name = textOf(child);
            ensureNotDeclared(script, name);
        }
    }
    // "void" (as written, before any alias) makes a procedure.
    auto *proc = new TfsProcVariable(name, typeCode, typeName, script, !ansiSameText(declared, "void"));
    proc->SourcePos = element->Prop("pos");
    script->Add(name, proc);
    for (int i = 0; i < element->Count(); ++i)
        if (lower(element->Items(i)->Name) == "parameters")
            buildParameters(element->Items(i), proc);
}

void TfsBuilder::buildParameters(TfsXMLItem *element, TfsProcVariable *proc)
{
    bool byRef = false;
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "varparams") {
            byRef = true;
        } else if (kind == "var") {
            buildParameterGroup(child, proc, byRef);
            byRef = false;
        }
    }
}

void TfsBuilder::buildParameterGroup(TfsXMLItem *element, TfsProcVariable *proc, bool varParams)
{
    bool byName = false;
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "varparam") {
            byName = true;
        } else if (kind == "ident") {
            const QByteArray name = textOf(child);
            at(child);
            ensureNotDeclared(proc->Program, name);
            auto *param = static_cast<TfsParamItem *>(
                makeVariable(element, proc->Program, varParams || byName, true, nullptr, name));
            param->DefValue = param->Value;
            proc->Add(param);
            proc->Program->Add(name, param);
            byName = false;
        }
    }
}

void TfsBuilder::buildProcedureBody(TfsXMLItem *element, TfsScript *script, const QByteArray &name)
{
    TfsCustomVariable *v = lookUpVariable(script, name);
    if (v->Kind != VarKind::Procedure)
        fail(SIdRedeclared + quoted(name));
    buildProgram(element, static_cast<TfsProcVariable *>(v)->Program);
}

// ---------------------------------------------------------------------------
// Statements

void TfsBuilder::buildStatementList(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    for (int i = 0; i < element->Count(); ++i)
        buildStatement(element->Items(i), script, list);
}

void TfsBuilder::append(TfsStatement *list, TfsStatement *statement, TfsScript *)
{
    list->Add(statement);
}

namespace {

// A statement under construction: its line is recorded when it is made (so
// that an outer statement's line comes before those of its parts), and it
// joins its list only once it is whole.
template <class T>
std::unique_ptr<T> make(TfsScript &program, TfsScript *script, TfsXMLItem *element, const QByteArray &unit)
{
    const QByteArray pos = element->Prop("pos");
    auto s = std::make_unique<T>(script, pos, unit);
    program.AddCodeLine(unit, pos);
    return s;
}

} // namespace

void TfsBuilder::buildStatement(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    at(element);
    const QByteArray kind = lower(element->Name);
    if (kind == "assignstmt") {
        buildAssignment(element, script, list);
    } else if (kind == "callstmt") {
        buildCall(element, script, list);
    } else if (kind == "ifstmt") {
        buildIf(element, script, list);
    } else if (kind == "casestmt") {
        buildCase(element, script, list);
    } else if (kind == "forstmt") {
        buildForLoop(element, script, list, false);
    } else if (kind == "vbforstmt") {
        buildForLoop(element, script, list, true);
    } else if (kind == "cppforstmt") {
        buildCppFor(element, script, list);
    } else if (kind == "whilestmt") {
        buildWhile(element, script, list);
    } else if (kind == "repeatstmt") {
        buildRepeat(element, script, list);
    } else if (kind == "trystmt") {
        buildTry(element, script, list);
    } else if (kind == "break") {
        list->Add(make<TfsBreakStmt>(program_, script, element, UnitName).release());
    } else if (kind == "continue") {
        list->Add(make<TfsContinueStmt>(program_, script, element, UnitName).release());
    } else if (kind == "exit") {
        list->Add(make<TfsExitStmt>(program_, script, element, UnitName).release());
    } else if (kind == "return") {
        buildReturn(element, script, list);
    } else if (kind == "with") {
        buildWith(element, script, list);
    } else if (kind == "delete") {
        auto s = make<TfsCallStmt>(program_, script, element, UnitName);
        if (element->Count() == 0)
            fail(SVarRequired);
        s->Designator = BuildDesignator(element->Items(0), script, DesignatorMode::Free);
        list->Add(s.release());
    } else if (kind == "compoundstmt") {
        buildStatementList(element, script, list);
    } else if (kind == "uses") {
        buildUses(element, script);
    } else if (kind == "var") {
        buildVar(element, script, list);
    } else if (kind == "const") {
        buildConst(element, script);
    } else if (kind == "procedure") {
        buildProcedureBody(element, script, element->Count() ? textOf(element->Items(0)) : QByteArray());
    } else if (kind == "function") {
        const int n = element->Find("name");
        buildProcedureBody(element, script, n >= 0 ? textOf(element->Items(n)) : QByteArray());
    }
}

void TfsBuilder::buildAssignment(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    if (element->Count() < 2)
        fail(expressionExpected_);
    const QByteArray pos = element->Prop("pos");
    program_.AddCodeLine(UnitName, pos);
    TfsXMLItem *target = element->Items(0);
    QByteArray op = " ";
    TfsXMLItem *source = element->Items(1);
    if (lower(source->Name) == "modificator") {
        op = textOf(source);
        if (element->Count() < 3)
            fail(expressionExpected_);
        source = element->Items(2);
    }
    std::unique_ptr<TfsDesignator> designator(BuildDesignator(target, script, DesignatorMode::Normal));
    std::unique_ptr<TfsExpression> expression(buildExpression(source, script));
    if (designator->IsReadOnly) {
        at(target);
        fail(SLeftCantAssigned);
    }
    ensureCompatible(designator.get(), expression.get());
    bool join = false;
    if (op == " ") {
        op = expression->Optimize(designator.get());
        join = op == "&";
    }
    std::unique_ptr<TfsAssignmentStmt> s;
    switch (op.isEmpty() ? ' ' : op[0]) {
    case '*': s = std::make_unique<TfsAssignMulStmt>(script, pos, UnitName); break;
    case '&':
    case '+': {
        auto plus = std::make_unique<TfsAssignPlusStmt>(script, pos, UnitName);
        plus->Join = join;
        s = std::move(plus);
        break;
    }
    case '-': s = std::make_unique<TfsAssignMinusStmt>(script, pos, UnitName); break;
    case '/': s = std::make_unique<TfsAssignDivStmt>(script, pos, UnitName); break;
    default: s = std::make_unique<TfsAssignmentStmt>(script, pos, UnitName); break;
    }
    s->Designator = designator.release();
    s->Expression = expression.release();
    s->Optimize();
    list->Add(s.release());
}

void TfsBuilder::buildCall(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsCallStmt>(program_, script, element, UnitName);
    if (element->Count() == 0)
        fail(SVarRequired);
    s->Designator = BuildDesignator(element->Items(0), script, DesignatorMode::Normal);
    if (element->Count() > 1) {
        s->Modificator = textOf(element->Items(1));
        if (s->Designator->IsReadOnly) {
            at(element->Items(0));
            fail(SLeftCantAssigned);
        }
    }
    list->Add(s.release());
}

void TfsBuilder::buildIf(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsIfStmt>(program_, script, element, UnitName);
    if (element->Count() == 0)
        fail(expressionExpected_);
    s->Condition = buildExpression(element->Items(0), script);
    for (int i = 1; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "thenstmt")
            buildStatementList(child, script, s.get());
        else if (kind == "elsestmt")
            buildStatementList(child, script, s->ElseStmt);
    }
    list->Add(s.release());
}

void TfsBuilder::buildCase(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsCaseStmt>(program_, script, element, UnitName);
    if (element->Count() == 0)
        fail(expressionExpected_);
    s->Condition = buildExpression(element->Items(0), script);
    const int n = element->Count();
    for (int i = 1; i < n; ++i) {
        TfsXMLItem *child = element->Items(i);
        if (lower(child->Name) != "caseselector") {
            if (i == n - 1)
                buildStatement(child, script, s->ElseStmt);
            continue;
        }
        at(child);
        // A branch whose statement is empty keeps its labels (with an
        // empty body), so that they do not fall to the else part.
        if (child->Count() < 1 || child->Count() > 2)
            continue;
        auto selector = make<TfsCaseSelector>(program_, script, child, UnitName);
        selector->SetExpression = buildSet(child->Items(0), script);
        if (child->Count() == 2)
            buildStatement(child->Items(1), script, selector.get());
        s->Add(selector.release());
    }
    list->Add(s.release());
}

void TfsBuilder::buildForLoop(TfsXMLItem *element, TfsScript *script, TfsStatement *list, bool basic)
{
    std::unique_ptr<TfsStatement> owner;
    TfsForStmt *pascal = nullptr;
    TfsVbForStmt *vb = nullptr;
    if (basic)
        owner.reset(vb = make<TfsVbForStmt>(program_, script, element, UnitName).release());
    else
        owner.reset(pascal = make<TfsForStmt>(program_, script, element, UnitName).release());
    const int n = element->Count();
    if (n < 3)
        fail(expressionExpected_);
    TfsXMLItem *first = element->Items(0);
    at(first);
    TfsCustomVariable *variable = lookUpVariable(script, textOf(first));
    at(first);
    if (!dynamic_cast<TfsVariable *>(variable) ||
        (variable->Typ != fvtInt && variable->Typ != fvtFloat && variable->Typ != fvtVariant))
        fail(SForError);
    // The loop stores into the value directly: no constant may be a loop variable.
    if (variable->IsReadOnly)
        fail(SLeftCantAssigned);
    std::unique_ptr<TfsExpression> begin(buildExpression(element->Items(1), script));
    ensureCompatible(variable, begin.get());
    int next = 2;
    if (!basic && lower(element->Items(2)->Name) == "downto") {
        pascal->Down = true;
        next = 3;
    }
    if (next >= n)
        fail(expressionExpected_);
    std::unique_ptr<TfsExpression> end(buildExpression(element->Items(next), script));
    ++next;
    std::unique_ptr<TfsExpression> step;
    if (basic && next < n && lower(element->Items(next)->Name) == "expr") {
        step.reset(buildExpression(element->Items(next), script));
        ensureCompatible(variable, step.get());
        ++next;
    }
    ensureCompatible(variable, end.get());
    if (next < n)
        buildStatement(element->Items(next), script, owner.get());
    if (basic) {
        vb->Variable = variable;
        vb->BeginValue = begin.release();
        vb->EndValue = end.release();
        vb->Step = step.release();
    } else {
        pascal->Variable = variable;
        pascal->BeginValue = begin.release();
        pascal->EndValue = end.release();
    }
    list->Add(owner.release());
}

void TfsBuilder::buildCppFor(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsCppForStmt>(program_, script, element, UnitName);
    if (element->Count() < 3)
        fail(expressionExpected_);
    buildStatement(element->Items(0), script, s->FirStmt);
    s->Condition = buildExpression(element->Items(1), script);
    buildStatement(element->Items(2), script, s->SecStmt);
    if (element->Count() > 3)
        buildStatement(element->Items(3), script, s.get());
    list->Add(s.release());
}

void TfsBuilder::buildWhile(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsWhileStmt>(program_, script, element, UnitName);
    if (element->Count() == 0)
        fail(expressionExpected_);
    s->Condition = buildExpression(element->Items(0), script);
    if (element->Count() > 1)
        buildStatement(element->Items(1), script, s.get());
    list->Add(s.release());
}

void TfsBuilder::buildRepeat(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsRepeatStmt>(program_, script, element, UnitName);
    int condition = element->Count() - 1;
    if (condition >= 0 && lower(element->Items(condition)->Name) == "inverse") {
        s->InverseCondition = true;
        --condition;
    }
    if (condition < 0)
        fail(expressionExpected_);
    for (int i = 0; i < condition; ++i)
        buildStatement(element->Items(i), script, s.get());
    s->Condition = buildExpression(element->Items(condition), script);
    list->Add(s.release());
}

void TfsBuilder::buildTry(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    auto s = make<TfsTryStmt>(program_, script, element, UnitName);
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "exceptstmt") {
            s->IsExcept = true;
            buildStatementList(child, script, s->ExceptStmt);
        } else if (kind == "finallystmt") {
            buildStatementList(child, script, s->ExceptStmt);
        } else {
            buildStatement(child, script, s.get());
        }
    }
    list->Add(s.release());
}

void TfsBuilder::buildReturn(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    if (element->Count() == 1) {
        // return x is Result := x; exit.
        const QByteArray pos = element->Items(0)->Prop("pos");
        auto *dsgn = new TfsXMLItem;
        dsgn->Name = "dsgn";
        dsgn->Text = "pos=\"" + pos + '"';
        TfsXMLItem *node = dsgn->Add();
        node->Name = "node";
        node->Text = "text=\"Result\" pos=\"" + pos + '"';
        element->InsertItem(0, dsgn);
        buildAssignment(element, script, list);
    }
    list->Add(make<TfsExitStmt>(program_, script, element, UnitName).release());
}

void TfsBuilder::buildWith(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    // The designators, then the body (none when the statement is empty).
    const int n = element->Count();
    size_t added = 0;
    for (int i = 0; i < n; ++i) {
        TfsXMLItem *child = element->Items(i);
        if (lower(child->Name) != "dsgn")
            break;
        std::unique_ptr<TfsDesignator> d(BuildDesignator(child, script, DesignatorMode::Normal));
        at(child);
        if (d->Typ != fvtClass && d->Typ != fvtVariant)
            fail(SClassRequired);
        QByteArray name;
        for (int k = 0;; ++k) {
            name = QByteArray::number(k);
            bool taken = script->FindLocal(name) != nullptr;
            for (const WithEntry &e : withList_)
                taken = taken || e.name == name;
            if (!taken)
                break;
        }
        auto *variable = new TfsVariable(name, d->Typ, d->TypeName);
        script->Add(name, variable);
        auto s = std::make_unique<TfsWithStmt>(script, element->Prop("pos"), UnitName);
        program_.AddCodeLine(UnitName, s->SourcePos);
        s->Variable = variable;
        s->Designator = d.release();
        list->Add(s.release());
        withList_.push_back({name, variable});
        ++added;
    }
    if (n > 0 && lower(element->Items(n - 1)->Name) != "dsgn")
        buildStatement(element->Items(n - 1), script, list);
    withList_.resize(withList_.size() - added);
}

void TfsBuilder::buildUses(TfsXMLItem *element, TfsScript *script)
{
    const QByteArray saved = UnitName;
    UnitName = element->Prop("unit");
    QByteArray text;
    if (program_.OnGetILUnit)
        program_.OnGetILUnit(&program_, UnitName, text);
    if (!text.isEmpty()) {
        TfsXMLDocument document;
        MemoryStream stream(text);
        document.LoadFromStream(stream);
        buildProgram(document.Root(), script);
    } else {
        for (int i = 0; i < element->Count(); ++i)
            buildProgram(element->Items(i), script);
    }
    UnitName = saved;
}

void TfsBuilder::buildVar(TfsXMLItem *element, TfsScript *script, TfsStatement *list)
{
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        if (lower(child->Name) != "ident")
            continue;
        const QByteArray name = textOf(child);
        at(child);
        ensureNotDeclared(script, name);
        TfsCustomVariable *v = makeVariable(element, script, false, false, list, name);
        script->Add(name, v);
    }
}

void TfsBuilder::buildConst(TfsXMLItem *element, TfsScript *script)
{
    if (element->Count() < 2)
        fail(expressionExpected_);
    const QByteArray name = textOf(element->Items(0));
    at(element->Items(0));
    ensureNotDeclared(script, name);
    std::unique_ptr<TfsExpression> expr(buildExpression(element->Items(1), script));
    auto *v = new TfsVariable(name, expr->Typ, expr->TypeName);
    std::unique_ptr<TfsVariable> owned(v);
    v->Value = expr->GetValue();
    v->IsReadOnly = true;
    script->Add(name, owned.release());
}

// ---------------------------------------------------------------------------
// Variables

TfsCustomVariable *TfsBuilder::makeVariable(TfsXMLItem *element, TfsScript *script, bool byRef, bool isParam,
                                            TfsStatement *list, const QByteArray &name)
{
    QByteArray typeName = "Variant";
    bool typeFollows = false;
    const int typeIndex = element->Find("type");
    if (typeIndex >= 0) {
        at(element->Items(typeIndex));
        typeName = textOf(element->Items(typeIndex));
        typeFollows = typeIndex > 0;
    }
    int typeCode = typeCodeOfTypeName(typeName);
    Variant value;
    switch (typeCode) {
    case fvtBool: value = Variant(false); break;
    case fvtChar:
    case fvtString: value = Variant(QString()); break;
    case fvtArray:
    case fvtVariant:
    case fvtEnum:
    case fvtConstructor: value = Variant::null(); break;
    default: value = Variant(0); break;
    }

    int own = -1;
    for (int i = 0; i < element->Count(); ++i)
        if (ansiSameText(textOf(element->Items(i)), name)) {
            own = i;
            break;
        }
    TfsXMLItem *init = nullptr;
    TfsArrayHelper *helper = nullptr;
    for (int i = own + 1; own >= 0 && i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (!typeFollows && kind == "ident")
            break;
        if (kind == "array") {
            std::vector<platform::VarBound> bounds;
            for (int d = 0; d < child->Count(); ++d) {
                TfsXMLItem *dim = child->Items(d);
                if (lower(dim->Name) != "dim")
                    continue;
                at(dim);
                std::vector<TfsXMLItem *> exprs;
                for (int k = 0; k < dim->Count(); ++k)
                    if (lower(dim->Items(k)->Name) == "expr")
                        exprs.push_back(dim->Items(k));
                if (exprs.empty())
                    fail(expressionExpected_);
                const int low = std::unique_ptr<TfsExpression>(buildExpression(exprs[0], script))->GetValue().toInt();
                if (exprs.size() > 1) {
                    const int high =
                        std::unique_ptr<TfsExpression>(buildExpression(exprs[1], script))->GetValue().toInt();
                    bounds.push_back({low, high});
                } else {
                    bounds.push_back({0, low - 1});
                }
            }
            if (bounds.empty())
                bounds.push_back({0, 0});
            value = Variant::array(bounds);
            helper = new TfsArrayHelper(QByteArray(), static_cast<int>(bounds.size()), typeCode, typeName);
            script->Add(QByteArray(), helper);
            typeCode = fvtArray;
        } else if (kind == "init") {
            init = child;
            if (!list) {
                if (child->Count() == 0)
                    fail(expressionExpected_);
                TfsVariable temp(QByteArray(), typeCode, typeName);
                std::unique_ptr<TfsExpression> expr(buildExpression(child->Items(0), script));
                ensureCompatible(&temp, expr.get());
                value = expr->GetValue();
            }
        }
    }

    std::unique_ptr<TfsCustomVariable> v;
    if (isParam)
        v = std::make_unique<TfsParamItem>(name, typeCode, typeName, init != nullptr, byRef);
    else if (typeCode == fvtChar || typeCode == fvtString)
        v = std::make_unique<TfsStringVariable>(name, typeCode, typeName);
    else
        v = std::make_unique<TfsVariable>(name, typeCode, typeName);
    v->Value = value;
    v->RefItem = helper;

    if (init && list) {
        // Initialisers run as statements, in declaration order.
        if (init->Count() == 0)
            fail(expressionExpected_);
        const QByteArray pos = element->Prop("pos");
        program_.AddCodeLine(UnitName, pos);
        auto s = std::make_unique<TfsAssignmentStmt>(script, pos, UnitName);
        auto *designator = new TfsVariableDesignator(script);
        s->Designator = designator;
        designator->AddElement()->Ref = v.get();
        designator->Finalize();
        s->Expression = buildExpression(init->Items(0), script);
        ensureCompatible(v.get(), s->Expression);
        s->Optimize();
        list->Add(s.release());
    }
    return v.release();
}

// ---------------------------------------------------------------------------
// Expressions

QByteArray TfsBuilder::sourceText(TfsXMLItem *element)
{
    const QByteArray from = element->Prop("pos");
    const QByteArray to = element->Prop("pos1");
    if (from.isEmpty() || to.isEmpty())
        return {};
    TfsParser *lexer = lexer_;
    if (!UnitName.isEmpty()) {
        lexer = nullptr;
        if (unitTexts_) {
            auto it = unitLexers_.find(UnitName);
            if (it == unitLexers_.end() && unitTexts_->contains(UnitName)) {
                auto unit = std::make_shared<TfsParser>();
                unit->LoadSource(unitTexts_->value(UnitName));
                it = unitLexers_.insert(UnitName, unit);
            }
            if (it != unitLexers_.end())
                lexer = it->get();
        }
    }
    if (!lexer)
        return {};
    try {
        const QPoint a = ParsePositionText(from);
        const QPoint b = ParsePositionText(to);
        const int p = lexer->LineColToOffset(a.x(), a.y());
        const int p1 = lexer->LineColToOffset(b.x(), b.y());
        if (p < 1 || p1 < p)
            return {};
        return lexer->Text().mid(p - 1, p1 - p);
    } catch (const platform::ConvertError &) {
        return {};
    }
}

TfsExpression *TfsBuilder::buildExpression(TfsXMLItem *element, TfsScript *script)
{
    auto e = std::make_unique<TfsExpression>(&program_);
    e->SourcePos = element->Prop("pos");
    e->CurrentPos = e->SourcePos;
    pushExpression(element, script, e.get());
    e->Source = sourceText(element);
    QByteArray bad;
    try {
        bad = e->Finish();
    } catch (const TfsExpression::MissingOperand &missing) {
        // An operator without its operand, or no operand at all.
        if (!missing.position.isEmpty())
            ErrorPos = missing.position;
        fail(expressionExpected_);
    } catch (const TfsExpression::TooDeep &deep) {
        if (!deep.position.isEmpty())
            ErrorPos = deep.position;
        fail(QStringLiteral("Слишком глубокая вложенность"));
    }
    if (!bad.isEmpty()) {
        ErrorPos = bad;
        fail(SIncompatibleTypes);
    }
    return e.release();
}

void TfsBuilder::pushExpression(TfsXMLItem *element, TfsScript *script, TfsExpression *expr)
{
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        at(child);
        expr->CurrentPos = ErrorPos;
        const QByteArray kind = lower(child->Name);
        try {
            if (kind == "op") {
                if (!expr->PushOperator(lower(textOf(child))))
                    fail(SInvalidLanguage);
            } else if (kind == "number" || kind == "string") {
                expr->PushOperand(ParseLiteral(textOf(child)));
            } else if (kind == "dsgn") {
                expr->PushDesignator(BuildDesignator(child, script, DesignatorMode::Normal));
            } else if (kind == "set") {
                expr->PushSet(buildSet(child, script));
            } else if (kind == "new") {
                if (child->Count() == 0)
                    fail(SClassRequired);
                expr->PushDesignator(BuildDesignator(child->Items(0), script, DesignatorMode::Create));
            } else if (kind == "expr") {
                pushExpression(child, script, expr);
            }
        } catch (const TfsExpression::MissingOperand &) {
            fail(expressionExpected_);
        }
    }
}

TfsSetExpression *TfsBuilder::buildSet(TfsXMLItem *element, TfsScript *script)
{
    auto set = std::make_unique<TfsSetExpression>();
    for (int i = 0; i < element->Count(); ++i) {
        TfsXMLItem *child = element->Items(i);
        const QByteArray kind = lower(child->Name);
        if (kind == "expr")
            set->AddExpression(buildExpression(child, script));
        else if (kind == "range")
            set->AddRangeMark();
    }
    return set.release();
}

// ---------------------------------------------------------------------------
// Designators

TfsDesignator *TfsBuilder::BuildDesignator(TfsXMLItem *element, TfsScript *script, DesignatorMode mode)
{
    auto d = std::make_unique<TfsDesignator>(script);
    for (int k = 0; k < element->Count(); ++k) {
        TfsXMLItem *child = element->Items(k);
        at(child);
        const QByteArray kind = lower(child->Name);
        if (kind == "node") {
            const QByteArray text = textOf(child);
            TfsDesignatorItem *item = d->AddElement();
            item->SourcePos = ErrorPos;
            if (d->Count() == 1) {
                if (resolveInWith(element, script, text, d.get(), item)) {
                    if (d->IsDeferred())
                        return d.release();
                    continue;
                }
                item->Ref = lookUpVariable(script, text);
                if (mode == DesignatorMode::Create) {
                    if (item->Ref->Kind != VarKind::ClassEntry)
                        fail(SClassRequired);
                    TfsCustomHelper *create = static_cast<TfsClassVariable *>(item->Ref)->Find("Create");
                    if (!create)
                        fail(SIdUndeclared + quoted("Create"));
                    TfsDesignatorItem *next = d->AddElement();
                    next->SourcePos = ErrorPos;
                    next->Ref = create;
                }
                continue;
            }
            TfsDesignatorItem *prevItem = d->Element(d->Count() - 2);
            TfsCustomVariable *p = prevItem->Ref;
            auto *method = dynamic_cast<TfsMethodHelper *>(p);
            if (method && method->IndexMethod && !prevItem->Flag) {
                // The bracket after an indexed property: its indexes are the
                // property's arguments.
                prevItem->Flag = true;
                d->RemoveLastElement();
                ErrorPos = prevItem->SourcePos;
                if (text != "[")
                    fail(SIndexRequired);
                continue;
            }
            int code = p->Typ;
            QByteArray className = p->TypeName;
            if (code == fvtVariant) {
                const Variant value = p->Value;
                if (value.isNull() || value.isEmpty()) {
                    // Resolved at the first use, when the value is known.
                    d->RemoveLastElement();
                    d->Deferred = std::make_unique<TfsXMLItem>();
                    d->Deferred->CopyTree(element);
                    d->Finalize();
                    return d.release();
                }
                if (value.isString()) {
                    code = fvtString;
                } else if (value.isDispatch()) {
                    fail(QStringLiteral("Вызовы объектов автоматизации не поддерживаются"));
                } else if (value.isArray()) {
                    if (text != "[")
                        fail(SIndexRequired);
                    item->Ref = lookUpVariable(script, "__ArrayHelper");
                    continue;
                } else {
                    // Only a living object's handle names a class.
                    const bool handle = value.isInteger() && Variant::fitsInt32(value.rawInteger()) &&
                                        classlib::isObjectOf(static_cast<std::int32_t>(value.rawInteger()),
                                                             TObject::staticClassInfo());
                    if (!handle)
                        fail(SClassRequired);
                    className = classlib::objectOf(static_cast<std::int32_t>(value.rawInteger()),
                                                   TObject::staticClassInfo())
                                    ->classInfo()
                                    .name();
                    code = fvtClass;
                }
            }
            if (code == fvtString) {
                if (text != "[")
                    fail(SStringError);
                item->Ref = lookUpVariable(script, "__StringHelper");
            } else if (code == fvtClass) {
                TfsClassVariable *cls = classOrUnknownType(className);
                if (text == "[") {
                    item->Flag = true;
                    if (!cls->DefProperty)
                        fail(QString(SClassError).replace(QStringLiteral("%s"), platform::fromCp1251(cls->Name())));
                    item->Ref = cls->DefProperty;
                } else {
                    TfsCustomHelper *member = cls->Find(text);
                    if (!member)
                        fail(SIdUndeclared + quoted(text));
                    item->Ref = member;
                }
            } else if (code == fvtArray) {
                if (text != "[")
                    fail(SIndexRequired);
                item->Ref = p->RefItem ? p->RefItem : lookUpVariable(script, "__ArrayHelper");
            } else {
                fail(SArrayRequired);
            }
        } else if (kind == "expr") {
            if (d->Count() == 0)
                fail(SVarRequired);
            TfsExpression *arg = buildExpression(child, script);
            d->Element(d->Count() - 1)->Add(arg);
        } else if (kind == "addr") {
            if (element->Count() != 2)
                fail(SVarRequired);
            TfsDesignatorItem *item = d->AddElement();
            item->SourcePos = ErrorPos;
            auto *routine = new TfsStringVariable(QByteArray(), fvtString, "String");
            routine->Value = Variant(platform::fromCp1251(textOf(element->Items(1))));
            script->Add(QByteArray(), routine);
            item->Ref = routine;
            break;
        }
    }
    if (d->Count() == 0)
        fail(SVarRequired);
    if (mode == DesignatorMode::Free) {
        TfsCustomVariable *last = d->Element(d->Count() - 1)->Ref;
        if (last->Typ != fvtClass && last->Typ != fvtVariant)
            fail(SClassRequired);
        TfsClassVariable *root = script->FindClass("TObject");
        TfsCustomHelper *free = root ? root->Find("Free") : nullptr;
        if (!free)
            fail(SIdUndeclared + quoted("Free"));
        TfsDesignatorItem *item = d->AddElement();
        item->SourcePos = ErrorPos;
        item->Ref = free;
    }
    d->Finalize();
    std::unique_ptr<TfsDesignator> fast;
    switch (d->DKind) {
    case DesignatorKind::Variable: fast = std::make_unique<TfsVariableDesignator>(script); break;
    case DesignatorKind::StringChar: fast = std::make_unique<TfsStringDesignator>(script); break;
    case DesignatorKind::ArrayElement: fast = std::make_unique<TfsArrayDesignator>(script); break;
    default: break;
    }
    if (fast) {
        const DesignatorKind kind = d->DKind;
        fast->Borrow(*d);
        fast->DKind = kind;
        d = std::move(fast);
    }
    checkArguments(d.get(), script);
    return d.release();
}

void TfsBuilder::checkArguments(TfsDesignator *designator, TfsScript *)
{
    for (int i = 0; i < designator->Count(); ++i) {
        TfsDesignatorItem *item = designator->Element(i);
        TfsCustomVariable *v = item->Ref;
        if (dynamic_cast<TfsDesignator *>(v))
            continue;
        ErrorPos = item->SourcePos;
        if (item->Count() < v->RequiredParamCount())
            fail(SNotEnoughParams);
        if (item->Count() > v->ParamCount())
            fail(STooManyParams);
        for (int j = item->Count(); j < v->ParamCount(); ++j) {
            auto expr = std::make_unique<TfsExpression>(&program_);
            expr->CurrentPos = ErrorPos;
            expr->PushOperand(v->Param(j)->DefValue);
            expr->Finish();
            item->Add(expr.release());
        }
        for (int j = 0; j < item->Count(); ++j) {
            ErrorPos = item->Arg(j)->SourcePos.isEmpty() ? item->SourcePos : item->Arg(j)->SourcePos;
            ensureCompatible(v->Param(j), item->Arg(j));
        }
    }
}

bool TfsBuilder::resolveInWith(TfsXMLItem *dsgn, TfsScript *script, const QByteArray &name,
                               TfsDesignator *designator, TfsDesignatorItem *item)
{
    for (size_t i = withList_.size(); i-- > 0;) {
        const WithEntry &entry = withList_[i];
        if (!script->FindLocal(entry.name))
            continue;
        TfsCustomVariable *hidden = entry.variable;
        if (hidden->Typ == fvtVariant) {
            // Known names win over members of an object not known yet.
            if (script->Find(name))
                return false;
            item->Ref = hidden;
            auto copy = std::make_unique<TfsXMLItem>();
            copy->CopyTree(dsgn);
            auto *node = new TfsXMLItem;
            node->Name = "node";
            node->Text = "text=\"" + xmlEscape(entry.name) + "\" pos=\"" + item->SourcePos + '"';
            copy->InsertItem(0, node);
            designator->Deferred = std::move(copy);
            designator->Finalize();
            return true;
        }
        TfsClassVariable *cls = classOrUnknownType(hidden->TypeName);
        TfsCustomHelper *member = cls->Find(name);
        if (!member)
            continue;
        item->Ref = member;
        TfsDesignatorItem *object = designator->InsertElement(0);
        object->Ref = hidden;
        object->SourcePos = item->SourcePos;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Checks

void TfsBuilder::ensureNotDeclared(TfsScript *script, const QByteArray &name)
{
    if (script->FindLocal(name))
        fail(SIdRedeclared + quoted(name));
}

TfsCustomVariable *TfsBuilder::lookUpVariable(TfsScript *script, const QByteArray &name)
{
    if (TfsCustomVariable *v = script->Find(name))
        return v;
    if (needDeclared_)
        fail(SIdUndeclared + quoted(name));
    // Undeclared names of the line-oriented language are Variants of the
    // whole program.
    auto *v = new TfsVariable(name, fvtVariant, QByteArray());
    v->Value = Variant::null();
    program_.Add(name, v);
    return v;
}

TfsClassVariable *TfsBuilder::classOrUnknownType(const QByteArray &name)
{
    TfsClassVariable *cls = program_.FindClass(name);
    if (!cls)
        fail(SUnknownType + quoted(name));
    return cls;
}

int TfsBuilder::typeCodeOfTypeName(QByteArray &name)
{
    const TfsXMLItem *types = nullptr;
    if (currentProgram_)
        if (const int t = currentProgram_->Find("types"); t >= 0)
            types = currentProgram_->Items(t);
    if (!types)
        types = grammarTypes_;
    if (types)
        if (const int alias = types->Find(name); alias >= 0)
            name = types->Items(alias)->Prop("type");
    const int code = TypeCodeOfName(name, &program_);
    if (code == fvtClass)
        classOrUnknownType(name);
    return code;
}

void TfsBuilder::ensureCompatible(TfsCustomVariable *target, TfsCustomVariable *source)
{
    if (!AssignmentCompatible(*target, *source, &program_))
        fail(SIncompatibleTypes + QStringLiteral(": '") + platform::fromCp1251(target->FullTypeName()) +
             QStringLiteral("', '") + platform::fromCp1251(source->FullTypeName()) + '\'');
}

} // namespace script
