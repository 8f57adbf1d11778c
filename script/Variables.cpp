#include "script/Variables.h"

#include "platform/TextCodec.h"
#include "script/AnsiText.h"
#include "script/Builder.h"
#include "script/Languages.h"
#include "script/Script.h"
#include "script/ScriptTools.h"
#include "script/Statements.h"
#include "script/XmlDocument.h"

#include <algorithm>

namespace script {

using platform::VarRelation;
using platform::VarType;
namespace classlib = platform::classlib;

// ---------------------------------------------------------------------------

TfsItemList::~TfsItemList()
{
    for (TfsItemList *item : items_)
        delete item;
}

void TfsItemList::Clear()
{
    // Taken out first: a child's destructor may look at its parent's list.
    std::vector<TfsItemList *> items;
    items.swap(items_);
    for (TfsItemList *item : items)
        delete item;
}

void TfsItemList::Remove(TfsItemList *item)
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end())
        items_.erase(it);
}

// ---------------------------------------------------------------------------

TfsCustomVariable::TfsCustomVariable(const QByteArray &name, int typeCode, const QByteArray &typeName)
    : Typ(typeCode), TypeName(typeName)
{
    SetName(name);
}

void TfsCustomVariable::SetName(const QByteArray &name)
{
    name_ = name;
    upperName_ = ansiUpperCase(name);
}

Variant TfsCustomVariable::GetValue()
{
    return Value;
}

void TfsCustomVariable::SetValue(const Variant &value)
{
    if (!IsReadOnly)
        Value = value;
}

TfsParamItem *TfsCustomVariable::Param(int index) const
{
    return static_cast<TfsParamItem *>(Item(index));
}

int TfsCustomVariable::RequiredParamCount() const
{
    int n = 0;
    for (int i = 0; i < ParamCount(); ++i)
        if (!Param(i)->IsOptional)
            ++n;
    return n;
}

QByteArray TfsCustomVariable::FullTypeName() const
{
    return script::FullTypeName(Typ, TypeName);
}

QByteArray FullTypeName(int typeCode, const QByteArray &typeName)
{
    switch (typeCode) {
    case fvtInt: return "Integer";
    case fvtBool: return "Boolean";
    case fvtFloat: return "Extended";
    case fvtChar: return "Char";
    case fvtString: return "String";
    case fvtClass: return "Class " + typeName;
    case fvtArray: return "Array";
    case fvtEnum: return typeName;
    default: return "Variant";
    }
}

void TfsStringVariable::SetValue(const Variant &value)
{
    if (IsReadOnly)
        return;
    if (value.type() == VarType::String)
        Value = value;
    else
        Value = Variant(value.toString());
}

// ---------------------------------------------------------------------------
// Helpers

TObject *TfsCustomHelper::Instance(const ClassInfo *expected) const
{
    if (ParentValue.isNull() || ParentValue.isEmpty())
        return nullptr;
    if (!ParentValue.isInteger())
        throw classlib::InvalidObjectReference();
    const qint64 handle = ParentValue.rawInteger();
    if (!Variant::fitsInt32(handle))
        throw classlib::InvalidObjectReference();
    return classlib::objectOf(static_cast<std::int32_t>(handle), expected ? *expected : TObject::staticClassInfo());
}

const classlib::PropInfo *TfsPropertyHelper::published(const TObject &instance)
{
    const ClassInfo *cls = &instance.classInfo();
    if (cls != cachedClass_) {
        cachedProp_ = cls->find(platform::fromCp1251(Name()));
        cachedClass_ = cls;
    }
    return cachedProp_;
}

Variant TfsPropertyHelper::GetValue()
{
    Variant result = Variant::null();
    // A published property is looked up in the instance's own table, by name.
    TObject *instance = Instance(IsPublished ? nullptr : ClassRef);
    if (IsPublished && instance) {
        if (const classlib::PropInfo *p = published(*instance))
            result = classlib::readProperty(*instance, *p);
    } else if (OnGetValue) {
        result = OnGetValue(instance, ClassRef, UpperName());
    }
    if (Typ == fvtBool)
        result = Variant(!result.isNull() && !result.isEmpty() && platform::varCompare(result, Variant(0)) != VarRelation::Equal);
    return result;
}

void TfsPropertyHelper::SetValue(const Variant &value)
{
    if (IsReadOnly)
        return;
    // A published property is looked up in the instance's own table, by name.
    TObject *instance = Instance(IsPublished ? nullptr : ClassRef);
    if (IsPublished) {
        if (!instance)
            return;
        if (const classlib::PropInfo *p = published(*instance))
            classlib::writeProperty(*instance, *p, value);
    } else if (OnSetValue) {
        OnSetValue(instance, ClassRef, UpperName(), value);
    }
}

namespace {

FindName findIn(TfsScript *script)
{
    return [script](const QByteArray &name) -> std::optional<FoundName> {
        if (!script)
            return std::nullopt;
        TfsCustomVariable *v = script->Find(name);
        if (!v)
            return std::nullopt;
        return FoundName{v->Typ, v->Value};
    };
}

} // namespace

TfsMethodHelper::TfsMethodHelper(const QByteArray &syntax, TfsScript *script)
    : TfsCustomHelper(QByteArray(), fvtVariant, QByteArray()), Syntax(syntax)
{
    const MethodDeclaration d = ParseMethodDeclaration(syntax, findIn(script));
    SetName(d.Name);
    Typ = d.TypeCode;
    TypeName = d.TypeName;
    IsMacro = d.IsMacro;
    IsReadOnly = true;
    for (const ParamDeclaration &p : d.Params) {
        auto *param = new TfsParamItem(p.Name, p.TypeCode, p.TypeName, p.IsOptional, p.IsVarParam);
        param->DefValue = p.DefValue;
        Add(param);
    }
    args_.resize(static_cast<size_t>(ParamCount()));
}

Variant TfsMethodHelper::GetParam(int index) const
{
    if (index == ParamCount())
        return setValue_;
    if (index < 0 || index > ParamCount())
        throw ScriptError(STooManyParams);
    return Param(index)->Value;
}

void TfsMethodHelper::SetParam(int index, const Variant &value)
{
    if (index < 0 || index >= ParamCount())
        throw ScriptError(STooManyParams);
    Param(index)->Value = value;
}

TObject *TfsMethodHelper::callInstance(const ClassInfo *&classRef) const
{
    // A member called on a class name (TButton.Create) works on that class.
    if (ParentRef && ParentRef->Kind == VarKind::ClassEntry) {
        const ClassInfo *named = static_cast<const TfsClassVariable *>(ParentRef)->ClassRef;
        if (ParentValue.type() == VarType::Integer && ParentValue.rawInteger() == named->handle()) {
            classRef = named;
            return nullptr;
        }
    }
    return Instance(ClassRef);
}

Variant TfsMethodHelper::GetValue()
{
    const ClassInfo *classRef = ClassRef;
    TObject *instance = callInstance(classRef);
    const QByteArray name = IndexMethod ? UpperName() + ".GET" : UpperName();
    if (OnCallArray) {
        for (int i = 0; i < ParamCount(); ++i)
            args_[static_cast<size_t>(i)] = Param(i)->Value;
        Variant result = OnCallArray(instance, classRef, name, args_);
        for (int i = 0; i < ParamCount() && i < static_cast<int>(args_.size()); ++i)
            if (Param(i)->IsVarParam)
                Param(i)->Value = args_[static_cast<size_t>(i)];
        return result;
    }
    if (OnCall)
        return OnCall(instance, classRef, name, *this);
    return Variant(0);
}

void TfsMethodHelper::SetValue(const Variant &value)
{
    if (!IndexMethod || IsReadOnly)
        return;
    const ClassInfo *classRef = ClassRef;
    TObject *instance = callInstance(classRef);
    const QByteArray name = UpperName() + ".SET";
    if (OnCallArray) {
        std::vector<Variant> args(static_cast<size_t>(ParamCount()) + 1);
        for (int i = 0; i < ParamCount(); ++i)
            args[static_cast<size_t>(i)] = Param(i)->Value;
        args.back() = value;
        OnCallArray(instance, classRef, name, args);
    } else if (OnCall) {
        setValue_ = value;
        struct Clear {
            Variant &v;
            ~Clear() { v = Variant(); }
        } clear{setValue_};
        OnCall(instance, classRef, name, *this);
    }
}

TfsArrayHelper::TfsArrayHelper(const QByteArray &name, int dimensions, int typeCode, const QByteArray &typeName)
    : TfsCustomHelper(name, typeCode, typeName)
{
    for (int i = 0; i < dimensions; ++i)
        Add(new TfsParamItem(QByteArray(), fvtInt, "Integer", false, false));
}

// The dimension count of the array when the helper reads it (1 to 3), the
// indexes from the parameters; 0 for anything else.
int TfsArrayHelper::indexes(const Variant &array, int out[3]) const
{
    if (!array.isArray())
        return 0;
    const int dims = array.arrayDimensions();
    if (dims < 1 || dims > 3 || dims > ParamCount())
        return 0;
    for (int i = 0; i < dims; ++i)
        out[i] = asInt32(Param(i)->Value);
    return dims;
}

Variant TfsArrayHelper::GetValue()
{
    const Variant &array = ParentRef && ParentRef->DirectRead ? ParentRef->Value : ParentValue;
    int idx[3];
    const int dims = indexes(array, idx);
    if (!dims)
        return Variant::null();
    return array.arrayGet(std::span<const int>(idx, static_cast<size_t>(dims)));
}

void TfsArrayHelper::SetValue(const Variant &value)
{
    if (!ParentRef || ParentRef->IsReadOnly)
        return;
    int idx[3];
    if (ParentRef->DirectRead) {
        const int dims = indexes(ParentRef->Value, idx);
        if (dims)
            ParentRef->Value.arrayPut(std::span<const int>(idx, static_cast<size_t>(dims)), value);
        return;
    }
    Variant array = ParentValue;
    const int dims = indexes(array, idx);
    if (!dims)
        return;
    array.arrayPut(std::span<const int>(idx, static_cast<size_t>(dims)), value);
    ParentRef->SetValue(array);
}

void stringIndexError(int index)
{
    throw ScriptError(QStringLiteral("Индекс строки вне границ: %1").arg(index));
}

QChar firstChar(const Variant &value)
{
    const QString text = value.toString();
    return text.isEmpty() ? QChar(0) : text.front();
}

TfsStringHelper::TfsStringHelper() : TfsCustomHelper("__StringHelper", fvtChar, QByteArray())
{
    Add(new TfsParamItem(QByteArray(), fvtInt, "Integer", false, false));
}

Variant TfsStringHelper::GetValue()
{
    const QString text = ParentValue.toString();
    const int index = asInt32(Param(0)->Value);
    if (index < 1 || index > text.size())
        stringIndexError(index);
    return Variant(QString(text[index - 1]));
}

void TfsStringHelper::SetValue(const Variant &value)
{
    QString text = ParentValue.toString();
    const int index = asInt32(Param(0)->Value);
    if (index < 1 || index > text.size())
        stringIndexError(index);
    text[index - 1] = firstChar(value);
    if (ParentRef)
        ParentRef->SetValue(Variant(text));
}

// ---------------------------------------------------------------------------
// Class entries

namespace {

void propertyType(const classlib::PropInfo &p, int &code, QByteArray &typeName)
{
    using classlib::Kind;
    typeName = p.type->name;
    switch (p.kind()) {
    case Kind::Char:
    case Kind::WChar: code = fvtChar; break;
    case Kind::Enum: code = classlib::isBooleanType(*p.type) ? fvtBool : fvtEnum; break;
    case Kind::Float: code = fvtFloat; break;
    case Kind::String:
    case Kind::WString: code = fvtString; break;
    case Kind::Set: code = fvtEnum; break;
    case Kind::Class:
        code = fvtClass;
        if (p.type->classInfo)
            typeName = p.type->classInfo().name();
        break;
    case Kind::Variant: code = fvtVariant; break;
    default: code = fvtInt; break;
    }
}

} // namespace

TfsClassVariable::TfsClassVariable(const ClassInfo &classRef, const QByteArray &ancestor, TfsScript *script)
    : TfsCustomVariable(classRef.name(), fvtClass, classRef.name()), AncestorName(ancestor), ClassRef(&classRef),
      Program(script)
{
    Kind = VarKind::ClassEntry;
    // The hidden parameter of a type cast TStrings(x).
    Add(new TfsParamItem(QByteArray(), fvtVariant, QByteArray(), true, false));
    for (const classlib::PropInfo *p : classRef.sorted()) {
        if (p->kind() == classlib::Kind::Method)
            continue;
        int code = fvtInt;
        QByteArray typeName;
        propertyType(*p, code, typeName);
        auto *helper = new TfsPropertyHelper(p->name, code, typeName);
        helper->IsPublished = true;
        helper->ClassRef = &classRef;
        helper->IsReadOnly = p->readOnly();
        members_.Add(helper);
    }
}

TfsClassVariable::~TfsClassVariable() = default;

Variant TfsClassVariable::GetValue()
{
    TfsParamItem *hidden = Param(0);
    if (hidden->Value.isNull())
        return Variant(ClassRef->handle());
    Variant cast = hidden->Value;
    hidden->Value = Variant::null();
    return cast;
}

void TfsClassVariable::AddConstructor(QByteArray syntax, TfsCallMethod handler)
{
    const qsizetype blank = syntax.indexOf(' ');
    syntax = "function" + (blank < 0 ? QByteArray(" ") : syntax.mid(blank)) + ": Constructor";
    AddMethod(syntax, std::move(handler));
}

TfsMethodHelper *TfsClassVariable::AddMethod(const QByteArray &syntax, TfsCallMethod handler)
{
    auto *m = new TfsMethodHelper(syntax, Program);
    m->OnCall = std::move(handler);
    m->ClassRef = ClassRef;
    members_.Add(m);
    return m;
}

TfsMethodHelper *TfsClassVariable::AddMethod(const QByteArray &syntax, TfsCallMethodArray handler)
{
    auto *m = new TfsMethodHelper(syntax, Program);
    m->OnCallArray = std::move(handler);
    m->ClassRef = ClassRef;
    members_.Add(m);
    return m;
}

TfsPropertyHelper *TfsClassVariable::AddProperty(const QByteArray &name, const QByteArray &typeName,
                                                 TfsGetValue getter, TfsSetValue setter)
{
    auto *p = new TfsPropertyHelper(name, TypeCodeOfName(typeName, Program), typeName);
    p->ClassRef = ClassRef;
    p->IsReadOnly = !setter;
    p->OnGetValue = std::move(getter);
    p->OnSetValue = std::move(setter);
    members_.Add(p);
    return p;
}

TfsMethodHelper *TfsClassVariable::AddIndexProperty(const QByteArray &name, const QByteArray &indexTypes,
                                                    const QByteArray &typeName, TfsCallMethod handler, bool readOnly)
{
    QByteArray syntax = "function " + name + '(';
    const QByteArrayList types = indexTypes.split(',');
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (i)
            syntax += "; ";
        syntax += 'p' + QByteArray::number(i) + ": " + types[i].trimmed();
    }
    syntax += "): " + typeName;
    TfsMethodHelper *m = AddMethod(syntax, std::move(handler));
    m->IsReadOnly = readOnly;
    m->IndexMethod = true;
    return m;
}

TfsMethodHelper *TfsClassVariable::AddDefaultProperty(const QByteArray &name, const QByteArray &indexTypes,
                                                      const QByteArray &typeName, TfsCallMethod handler,
                                                      bool readOnly)
{
    TfsMethodHelper *m = AddIndexProperty(name, indexTypes, typeName, std::move(handler), readOnly);
    DefProperty = m;
    return m;
}

TfsCustomHelper *TfsClassVariable::Find(const QByteArray &name) const
{
    const TfsClassVariable *entry = this;
    // A chain is at most as long as the classes registered; a loop in it
    // (an entry naming itself as ancestor) ends the search.
    for (int depth = 0; entry && depth < 256; ++depth) {
        for (int i = 0; i < entry->MembersCount(); ++i)
            if (ansiSameText(entry->GetMember(i)->Name(), name))
                return entry->GetMember(i);
        if (entry->AncestorName.isEmpty() || !entry->Program)
            return nullptr;
        const TfsClassVariable *next = entry->Program->FindClass(entry->AncestorName);
        if (next == entry)
            return nullptr;
        entry = next;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Designators

TfsDesignator::TfsDesignator(TfsScript *script)
    : TfsCustomVariable(QByteArray(), fvtVariant, QByteArray()), Program(script)
{
}

TfsDesignator::~TfsDesignator() = default;

TfsDesignatorItem *TfsDesignator::AddElement()
{
    auto *item = new TfsDesignatorItem;
    Add(item);
    return item;
}

TfsDesignatorItem *TfsDesignator::InsertElement(int index)
{
    auto *item = new TfsDesignatorItem;
    items_.insert(items_.begin() + index, item);
    return item;
}

void TfsDesignator::RemoveLastElement()
{
    if (Count() == 0)
        return;
    TfsItemList *last = Item(Count() - 1);
    Remove(last);
    delete last;
}

void TfsDesignator::Finalize()
{
    const int n = Count();
    if (n == 0)
        return;
    TfsCustomVariable *last = Element(n - 1)->Ref;
    Typ = last->Typ;
    TypeName = last->TypeName;
    IsReadOnly = last->IsReadOnly;
    if (Typ == fvtConstructor) {
        Typ = fvtClass;
        TypeName = n > 1 ? Element(n - 2)->Ref->TypeName : QByteArray();
    }
    DKind = DesignatorKind::General;
    TfsCustomVariable *first = Element(0)->Ref;
    const bool variable = dynamic_cast<TfsVariable *>(first) || dynamic_cast<TfsParamItem *>(first);
    if (Deferred || !variable)
        return;
    if (n == 1 && Element(0)->Count() == 0) {
        DKind = DesignatorKind::Variable;
        RefItem = first;
    } else if (n == 2 && Element(0)->Count() == 0 && dynamic_cast<TfsStringVariable *>(first) &&
               Element(1)->Count() == 1) {
        DKind = DesignatorKind::StringChar;
        RefItem = first;
    } else if (n == 2 && Element(0)->Count() == 0 && first->Typ == fvtArray && first->DirectRead &&
               Element(1)->Ref == first->RefItem && Element(1)->Count() >= 1) {
        DKind = DesignatorKind::ArrayElement;
        RefItem = first;
    }
}

void TfsDesignator::Borrow(TfsDesignator &other)
{
    Clear();
    items_.swap(other.items_);
    DKind = DesignatorKind::General;
    Typ = other.Typ;
    TypeName = other.TypeName;
    IsReadOnly = other.IsReadOnly;
    RefItem = other.RefItem;
}

void TfsDesignator::buildDeferred()
{
    TfsBuilder builder(*Program);
    std::unique_ptr<TfsDesignator> built(builder.BuildDesignator(Deferred.get(), Program, DesignatorMode::Normal));
    // A member of a value that is still nothing (null) cannot be found.
    if (built->IsDeferred())
        throw ScriptError(SClassRequired);
    Borrow(*built);
    Deferred.reset();
}

namespace {

// Puts a running procedure's values back when the element is done, also when
// it failed, so that the caller goes on with its own values.
struct RestoreLocals {
    TfsProcVariable *proc = nullptr;
    ~RestoreLocals()
    {
        if (proc)
            proc->RestoreLocals();
    }
};

} // namespace

Variant TfsDesignator::calc(const Variant *write)
{
    if (Deferred)
        buildDeferred();
    Variant current = Variant::null();
    TfsCustomVariable *previous = nullptr;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        TfsDesignatorItem *item = Element(i);
        TfsCustomVariable *v = item->Ref;
        RestoreLocals restore;
        if (v->Kind == VarKind::Procedure && static_cast<TfsProcVariable *>(v)->Executing) {
            static_cast<TfsProcVariable *>(v)->SaveLocals();
            restore.proc = static_cast<TfsProcVariable *>(v);
        }
        const int args = std::min(item->Count(), v->ParamCount());
        for (int j = 0; j < args; ++j) {
            TfsCustomExpression *arg = item->Arg(j);
            v->Param(j)->Value = v->IsMacro ? Variant(platform::fromCp1251(arg->Source)) : arg->GetValue();
        }
        if (v->Kind == VarKind::Helper) {
            auto *helper = static_cast<TfsCustomHelper *>(v);
            helper->ParentRef = previous;
            helper->ParentValue = current;
            helper->Prog = Program;
        }
        previous = v;
        const bool last = i == n - 1;
        if (write && last) {
            v->SetValue(*write);
        } else {
            v->NeedResult = last ? NeedResult : true;
            current = v->GetValue();
        }
        for (int j = 0; j < args; ++j)
            if (v->Param(j)->IsVarParam)
                item->Arg(j)->SetValue(v->Param(j)->Value);
    }
    // A class name is only a value for a constructor to take.
    if (!write && previous && previous->Kind == VarKind::ClassEntry && current.type() == VarType::Integer &&
        current.rawInteger() == static_cast<TfsClassVariable *>(previous)->ClassRef->handle())
        throw ScriptError(QStringLiteral("Имя класса без конструктора: '%1'")
                              .arg(platform::fromCp1251(previous->Name())));
    return current;
}

Variant TfsDesignator::GetValue()
{
    return calc(nullptr);
}

void TfsDesignator::SetValue(const Variant &value)
{
    calc(&value);
}

int TfsStringDesignator::index(const QString &text)
{
    const int i = asInt32(Element(1)->Arg(0)->GetValue());
    if (i < 1 || i > text.size())
        stringIndexError(i);
    return i;
}

Variant TfsStringDesignator::GetValue()
{
    const QString text = RefItem->Value.toString();
    return Variant(QString(text[index(text) - 1]));
}

void TfsStringDesignator::SetValue(const Variant &value)
{
    QString text = RefItem->Value.toString();
    const int i = index(text);
    text[i - 1] = firstChar(value);
    RefItem->SetValue(Variant(std::move(text)));
}

int TfsArrayDesignator::indexes(int out[3])
{
    TfsDesignatorItem *item = Element(1);
    const int n = item->Count();
    if (n > 3)
        return 0;
    for (int i = 0; i < n; ++i)
        out[i] = item->Arg(i)->GetValue().toInt();
    return n;
}

Variant TfsArrayDesignator::GetValue()
{
    int idx[3];
    const int n = indexes(idx);
    const Variant &array = RefItem->Value;
    if (!n || !array.isArray() || array.arrayDimensions() != n)
        return Variant::null();
    return array.arrayGet(std::span<const int>(idx, static_cast<size_t>(n)));
}

void TfsArrayDesignator::SetValue(const Variant &value)
{
    int idx[3];
    const int n = indexes(idx);
    Variant &array = RefItem->Value;
    if (!n || RefItem->IsReadOnly || !array.isArray() || array.arrayDimensions() != n)
        return;
    array.arrayPut(std::span<const int>(idx, static_cast<size_t>(n)), value);
}

// ---------------------------------------------------------------------------

Variant TfsSetExpression::GetValue()
{
    const platform::VarBound bound{0, Count() - 1};
    Variant result = Variant::array(std::span<const platform::VarBound>(&bound, 1));
    for (int i = 0; i < Count(); ++i) {
        const int index[1] = {i};
        result.arrayPut(index, Item(i) ? static_cast<TfsCustomVariable *>(Item(i))->GetValue() : Variant::null());
    }
    return result;
}

bool TfsSetExpression::Contains(const Variant &value)
{
    const int n = Count();
    for (int i = 0; i < n;) {
        auto *item = static_cast<TfsCustomVariable *>(Item(i));
        if (i + 2 < n && !Item(i + 1)) {
            auto *high = static_cast<TfsCustomVariable *>(Item(i + 2));
            if (item && high && value >= item->GetValue() && value <= high->GetValue())
                return true;
            i += 3;
        } else {
            if (item && value == item->GetValue())
                return true;
            ++i;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Type services

int TypeCodeOfName(const QByteArray &typeName, TfsScript *script)
{
    if (script)
        if (TfsCustomVariable *v = script->Find(typeName))
            return v->Typ;
    return fvtClass;
}

bool ClassDescends(const QByteArray &target, const QByteArray &source, TfsScript *script)
{
    if (!script)
        return false;
    const TfsClassVariable *t = script->FindClass(target);
    const TfsClassVariable *s = script->FindClass(source);
    return t && s && s->ClassRef->inheritsFrom(*t->ClassRef);
}

bool TypeKindsCompatible(const ScriptType &target, const ScriptType &source, TfsScript *script)
{
    const int s = source.code;
    switch (target.code) {
    case fvtInt: return s == fvtInt || s == fvtFloat || s == fvtVariant || s == fvtEnum;
    case fvtBool: return s == fvtBool || s == fvtVariant;
    case fvtFloat: return s == fvtInt || s == fvtFloat || s == fvtVariant;
    case fvtChar:
    case fvtString: return s == fvtChar || s == fvtString || s == fvtVariant;
    case fvtClass: return s == fvtVariant || (s == fvtClass && ClassDescends(target.name, source.name, script));
    case fvtArray: return s == fvtArray || s == fvtVariant;
    case fvtVariant: return true;
    case fvtEnum:
        return s == fvtInt || s == fvtVariant ||
               (s == fvtEnum && ansiSameText(target.name.left(32), source.name.left(32)));
    default: return false;
    }
}

bool AssignmentCompatible(const TfsCustomVariable &target, const TfsCustomVariable &source, TfsScript *script)
{
    if (target.Typ == fvtInt && source.Typ == fvtFloat)
        return false;
    return TypeKindsCompatible({target.Typ, target.TypeName}, {source.Typ, source.TypeName}, script);
}

} // namespace script
