#include "script/Script.h"

#include "platform/TextCodec.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/Types.h"
#include "script/AnsiText.h"
#include "script/Builder.h"
#include "script/Languages.h"
#include "script/Statements.h"

#include <algorithm>

namespace script {

namespace classlib = platform::classlib;

const ClassInfo &TfsScript::staticClassInfo()
{
    static const classlib::PropInfo props[] = {
        classlib::PropInfo{"SyntaxType", &classlib::tiString,
                           [](const TObject &o) { return Variant(static_cast<const TfsScript &>(o).SyntaxType); },
                           [](TObject &o, const Variant &v) { static_cast<TfsScript &>(o).SyntaxType = v.toString(); }},
    };
    static const ClassInfo info = classlib::makeClassInfo<TfsScript, classlib::TComponent>("TfsScript", props);
    return info;
}

TfsScript::TfsScript(classlib::TComponent *owner)
    : classlib::TComponent(owner), mainStatement_(new TfsStatement(this, QByteArray(), QByteArray()))
{
}

TfsScript::~TfsScript()
{
    Clear();
    ClearRTTI();
    // What stays: the system items.
    std::vector<Entry> items;
    items.swap(items_);
    for (const Entry &e : items)
        delete e.object;
    delete mainStatement_;
}

// ---------------------------------------------------------------------------
// Registry

size_t TfsScript::lowerBound(const QByteArray &name) const
{
    const auto it = std::lower_bound(items_.begin(), items_.end(), name, [](const Entry &e, const QByteArray &n) {
        return ansiCompareText(e.name, n) < 0;
    });
    return static_cast<size_t>(it - items_.begin());
}

void TfsScript::Add(const QByteArray &name, TfsObject *item)
{
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(lowerBound(name)), Entry{name, item});
    if (auto *v = dynamic_cast<TfsCustomVariable *>(item))
        v->OwnerTag = OwnerTag;
}

void TfsScript::Remove(TfsObject *item)
{
    const auto it = std::find_if(items_.begin(), items_.end(), [item](const Entry &e) { return e.object == item; });
    if (it != items_.end())
        items_.erase(it);
}

TfsCustomVariable *TfsScript::FindLocal(const QByteArray &name) const
{
    if (name.isEmpty())
        return nullptr;
    const size_t i = lowerBound(name);
    if (i < items_.size() && ansiSameText(items_[i].name, name))
        return dynamic_cast<TfsCustomVariable *>(items_[i].object);
    return nullptr;
}

TfsCustomVariable *TfsScript::Find(const QByteArray &name) const
{
    for (const TfsScript *s = this; s; s = s->ParentScript)
        if (TfsCustomVariable *v = s->FindLocal(name))
            return v;
    return nullptr;
}

TfsClassVariable *TfsScript::FindClass(const QByteArray &name) const
{
    TfsCustomVariable *v = Find(name);
    return v && v->Kind == VarKind::ClassEntry ? static_cast<TfsClassVariable *>(v) : nullptr;
}

void TfsScript::freeStatements()
{
    mainStatement_->Clear();
    CodeLines.clear();
}

void TfsScript::Clear()
{
    std::vector<Entry> keep, drop;
    for (const Entry &e : items_) {
        const auto *v = dynamic_cast<const TfsCustomVariable *>(e.object);
        if (dynamic_cast<const TfsRTTIModule *>(e.object) || (v && v->OwnerTag == 1))
            keep.push_back(e);
        else
            drop.push_back(e);
    }
    items_.swap(keep);
    // The statements first: they refer to the items, never the other way.
    freeStatements();
    for (const Entry &e : drop)
        delete e.object;
}

void TfsScript::ClearItems(intptr_t owner)
{
    RemoveItemsOf(owner);
    freeStatements();
}

void TfsScript::RemoveItemsOf(intptr_t owner)
{
    for (size_t i = items_.size(); i-- > 0;) {
        auto *v = dynamic_cast<TfsCustomVariable *>(items_[i].object);
        if (v && v->OwnerTag == owner) {
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
            delete v;
        }
    }
}

std::vector<TfsModuleFactory> &RTTIModules()
{
    static std::vector<TfsModuleFactory> modules;
    return modules;
}

void TfsScript::AddRTTI()
{
    if (ModulesAdded)
        return;
    const intptr_t saved = OwnerTag;
    OwnerTag = 1;
    for (TfsModuleFactory make : RTTIModules())
        Add(QByteArray(), make(this));
    OwnerTag = saved;
    ModulesAdded = true;
}

void TfsScript::ClearRTTI()
{
    if (!ModulesAdded)
        return;
    std::vector<Entry> keep;
    std::vector<TfsObject *> drop;
    for (const Entry &e : items_) {
        const auto *v = dynamic_cast<const TfsCustomVariable *>(e.object);
        if (dynamic_cast<const TfsRTTIModule *>(e.object) || (v && v->OwnerTag == 1))
            drop.push_back(e.object);
        else
            keep.push_back(e);
    }
    items_.swap(keep);
    for (TfsObject *o : drop)
        delete o;
    ModulesAdded = false;
}

// ---------------------------------------------------------------------------
// Registration

void TfsScript::AddType(const QByteArray &name, int typeCode)
{
    if (!Find(name))
        Add(name, new TfsTypeVariable(name, typeCode, name));
}

TfsClassVariable *TfsScript::AddClass(const ClassInfo &classRef, const QByteArray &ancestor)
{
    const QByteArray name = classRef.name();
    if (Find(name))
        return nullptr;
    auto *entry = new TfsClassVariable(classRef, ancestor, this);
    if (TfsClassVariable *parent = FindClass(ancestor))
        entry->DefProperty = parent->DefProperty;
    Add(name, entry);
    return entry;
}

void TfsScript::AddConst(const QByteArray &name, const QByteArray &typeName, const Variant &value)
{
    if (Find(name))
        return;
    auto *v = new TfsVariable(name, TypeCodeOfName(typeName, this), typeName);
    v->Value = value;
    v->IsReadOnly = true;
    Add(name, v);
}

void TfsScript::AddVariable(const QByteArray &name, const QByteArray &typeName, const Variant &value)
{
    if (Find(name))
        return;
    auto *v = new TfsVariable(name, TypeCodeOfName(typeName, this), typeName);
    v->Value = value;
    Add(name, v);
}

void TfsScript::AddObject(const QByteArray &name, TObject *instance)
{
    AddVariable(name, instance ? QByteArray(instance->classInfo().name()) : QByteArray("TObject"),
                Variant(instance ? instance->handle() : 0));
}

namespace {

void addEnum(TfsScript &script, const QByteArray &typeName, const QByteArray &names, bool bits)
{
    script.Add(typeName, new TfsVariable(typeName, fvtEnum, typeName));
    qint64 value = bits ? 1 : 0;
    for (const QByteArray &raw : names.split(',')) {
        const QByteArray name = raw.trimmed();
        auto *v = new TfsVariable(name, fvtEnum, typeName);
        v->Value = Variant(value);
        v->IsReadOnly = true;
        script.Add(name, v);
        value = bits ? value * 2 : value + 1;
    }
}

} // namespace

void TfsScript::AddEnum(const QByteArray &typeName, const QByteArray &names)
{
    addEnum(*this, typeName, names, false);
}

void TfsScript::AddEnumSet(const QByteArray &typeName, const QByteArray &names)
{
    addEnum(*this, typeName, names, true);
}

TfsMethodHelper *TfsScript::AddMethod(const QByteArray &syntax, TfsCallMethod handler, const QByteArray &category,
                                      const QByteArray &description)
{
    auto *m = new TfsMethodHelper(syntax, this);
    m->OnCall = std::move(handler);
    m->Category = category;
    m->Description = description.isEmpty() ? m->Name() : description;
    Add(m->Name(), m);
    return m;
}

TfsMethodHelper *TfsScript::AddArrayParamMethod(const QByteArray &syntax, TfsCallMethodArray handler,
                                                const QByteArray &category, const QByteArray &description)
{
    auto *m = new TfsMethodHelper(syntax, this);
    m->OnCallArray = std::move(handler);
    m->Category = category;
    m->Description = description.isEmpty() ? m->Name() : description;
    Add(m->Name(), m);
    return m;
}

void AddCoreItems(TfsScript &script)
{
    const intptr_t saved = script.OwnerTag;
    script.OwnerTag = 1;
    static const struct {
        const char *name;
        int code;
    } types[] = {
        {"Byte", fvtInt},      {"Word", fvtInt},       {"Integer", fvtInt},   {"Longint", fvtInt},
        {"Cardinal", fvtInt},  {"TColor", fvtInt},     {"Boolean", fvtBool},  {"Real", fvtFloat},
        {"Single", fvtFloat},  {"Double", fvtFloat},   {"Extended", fvtFloat}, {"Currency", fvtFloat},
        {"TDate", fvtFloat},   {"TTime", fvtFloat},    {"TDateTime", fvtFloat}, {"Char", fvtChar},
        {"String", fvtString}, {"Variant", fvtVariant}, {"Pointer", fvtVariant}, {"Array", fvtArray},
        {"Constructor", fvtConstructor},
    };
    for (const auto &t : types)
        script.AddType(t.name, t.code);
    script.AddConst("True", "Boolean", Variant(true));
    script.AddConst("False", "Boolean", Variant(false));
    script.AddConst("nil", "Variant", Variant::byte(0));
    script.AddConst("Null", "Variant", Variant::null());
    script.Add("__StringHelper", new TfsStringHelper);
    auto *arrays = new TfsArrayHelper("__ArrayHelper", 3, fvtVariant, QByteArray());
    arrays->Param(1)->IsOptional = true;
    arrays->Param(2)->IsOptional = true;
    script.Add("__ArrayHelper", arrays);
    script.OwnerTag = saved;
}

// ---------------------------------------------------------------------------
// Compiling and running

bool TfsScript::Compile()
{
    ErrorMessage.clear();
    TfsILParser parser(*this);
    parser.SelectLanguage(SyntaxType);
    QByteArrayList lines;
    for (int i = 0; i < Lines.Count(); ++i)
        lines << platform::toCp1251(Lines.Get(i));
    try {
        if (parser.SourceToIL(JoinScriptLines(lines)))
            ILToObjects(parser, *this);
    } catch (const std::exception &e) {
        // A unit that cannot be read, a grammar that refers to no rule.
        if (ErrorMessage.isEmpty())
            ErrorMessage = platform::toCp1251(QString::fromUtf8(e.what()));
    }
    const bool ok = ErrorMessage.isEmpty();
    if (ok)
        ErrorPosition.clear();
    return ok;
}

void ILToObjects(TfsILParser &parser, TfsScript &script)
{
    TfsBuilder builder(script, parser);
    builder.Build(parser.ILDocument().Root());
}

void TfsScript::Execute()
{
    struct Reset {
        TfsScript *s;
        ~Reset() { s->ExitRequested = s->Terminated = s->IsRunning = false; }
    } reset{this};
    ExitRequested = Terminated = false;
    // A break or continue left over from an earlier run does not cut this one.
    BreakRequested = ContinueRequested = false;
    IsRunning = true;
    IsMainProgram = true;
    mainStatement_->Execute();
}

void TfsScript::Terminate()
{
    ExitRequested = true;
    Terminated = true;
    for (const Entry &e : items_)
        if (auto *v = dynamic_cast<TfsCustomVariable *>(e.object); v && v->Kind == VarKind::Procedure)
            static_cast<TfsProcVariable *>(v)->Program->Terminate();
}

void TfsScript::RunLine(const QByteArray &unitName, const QByteArray &sourcePos)
{
    for (TfsScript *s = this; s; s = s->ParentScript)
        if (s->OnRunLine) {
            s->OnRunLine(this, unitName, sourcePos);
            return;
        }
}

void TfsScript::AddCodeLine(const QByteArray &unitName, const QByteArray &sourcePos)
{
    const QByteArray key = unitName + '=';
    qsizetype index = -1;
    for (qsizetype i = 0; i < CodeLines.size(); ++i)
        if (CodeLines[i].startsWith(key)) {
            index = i;
            break;
        }
    if (index < 0) {
        CodeLines << key;
        index = CodeLines.size() - 1;
    }
    const qsizetype colon = sourcePos.indexOf(':');
    const QByteArray line = colon < 0 ? sourcePos : sourcePos.left(colon);
    QByteArray &entry = CodeLines[index];
    const QByteArray values = ',' + entry.mid(key.size());
    if (!values.contains(',' + line + ','))
        entry += line + ',';
}

namespace {

TfsProcVariable *procedureOf(TfsScript &script, const QByteArray &name)
{
    TfsCustomVariable *v = script.FindLocal(name);
    return v && v->Kind == VarKind::Procedure ? static_cast<TfsProcVariable *>(v) : nullptr;
}

void putArguments(TfsProcVariable &proc, const Variant &args)
{
    if (!args.isArray())
        return;
    const platform::VarBound bound = args.arrayBound(1);
    if (bound.count() > proc.ParamCount())
        throw ScriptError(STooManyParams);
    for (int i = 0; i < bound.count(); ++i) {
        const int index[1] = {bound.low + i};
        proc.Param(i)->Value = args.arrayGet(index);
    }
}

} // namespace

Variant TfsScript::CallFunction(const QByteArray &name, const Variant &args)
{
    TfsProcVariable *proc = procedureOf(*this, name);
    if (!proc)
        return Variant::null();
    putArguments(*proc, args);
    return proc->GetValue();
}

Variant TfsScript::CallFunctionVarArgs(const QByteArray &name, Variant &args)
{
    TfsProcVariable *proc = procedureOf(*this, name);
    if (!proc)
        return Variant::null();
    putArguments(*proc, args);
    Variant result = proc->GetValue();
    if (args.isArray()) {
        const platform::VarBound bound = args.arrayBound(1);
        for (int i = 0; i < bound.count(); ++i) {
            const int index[1] = {bound.low + i};
            args.arrayPut(index, proc->Param(i)->Value);
        }
    }
    return result;
}

} // namespace script
