#pragma once
// What a compiled script touches at run time: variables and constants,
// parameters, type entries, class entries with their members, the shared
// string and array helpers, designators (the compiled form of a dotted name
// such as Memo1.Lines.Count or List.Add(x)) and set expressions. They share
// one interface, GetValue and SetValue; the builder (script/Builder.h) makes
// them and links them into statements and expression trees.
//
// Values are platform::Variant. Object references travel in them as the
// class library's 32-bit handles (0 for nil), never as addresses, so a made-up
// or stale number raises instead of touching memory; a class entry's name
// alone gives its class's handle, a pending construction that only a
// constructor member may take (anything else refuses it).
//
// Type codes: 0 integer, 1 Boolean, 2 float, 3 char, 4 string, 5 class,
// 6 array, 7 variant, 8 enumeration or set, 9 constructor result.

#include "platform/Variant.h"
#include "platform/classlib/Reflection.h"
#include "script/ScriptError.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace script {

class TfsScript;
class TfsXMLItem;
class TfsMethodHelper;
class TfsClassVariable;

using platform::Variant;
using platform::classlib::ClassInfo;
using platform::classlib::TObject;

enum TypeCode : std::uint8_t {
    fvtInt = 0,
    fvtBool = 1,
    fvtFloat = 2,
    fvtChar = 3,
    fvtString = 4,
    fvtClass = 5,
    fvtArray = 6,
    fvtVariant = 7,
    fvtEnum = 8,
    fvtConstructor = 9,
};

// Handler forms of bound functions, methods and properties. The instance is
// the object worked on: none for a global function, a class's pending
// construction, and nil (which the handler must allow for: Free of nil does
// nothing); otherwise always of the declaring class or a descendant.
// classRef is the class of the class entry that declared the member, or, for
// a member called on a class name (TButton.Create), the class named. The
// name is in upper case, with ".GET" or ".SET" for an indexed property.
using TfsCallMethod =
    std::function<Variant(TObject *instance, const ClassInfo *classRef, const QByteArray &name, TfsMethodHelper &caller)>;
// The arguments as values (element i = argument i); changed elements go back
// into var parameters.
using TfsCallMethodArray = std::function<Variant(TObject *instance, const ClassInfo *classRef, const QByteArray &name,
                                                 std::vector<Variant> &args)>;
using TfsGetValue = std::function<Variant(TObject *instance, const ClassInfo *classRef, const QByteArray &name)>;
using TfsSetValue =
    std::function<void(TObject *instance, const ClassInfo *classRef, const QByteArray &name, const Variant &value)>;

// Whatever a script's registry holds and owns.
class TfsObject {
public:
    TfsObject() = default;
    TfsObject(const TfsObject &) = delete;
    TfsObject &operator=(const TfsObject &) = delete;
    virtual ~TfsObject() = default;
};

// An owned, ordered list of child objects (null children allowed: a set's
// range marks).
class TfsItemList : public TfsObject {
public:
    ~TfsItemList() override;
    // Frees the children, the first first, and empties the list.
    virtual void Clear();
    void Add(TfsItemList *item) { items_.push_back(item); }
    // Takes the child out without freeing it.
    void Remove(TfsItemList *item);
    int Count() const { return static_cast<int>(items_.size()); }
    TfsItemList *Item(int index) const { return items_[static_cast<size_t>(index)]; }

protected:
    std::vector<TfsItemList *> items_;
};

class TfsParamItem;

// What the run-time walk needs to know of an object without asking its class.
enum class VarKind : std::uint8_t {
    Other,
    Plain,      // GetValue and SetValue are the stored value's (variables, parameters)
    Helper,     // a TfsCustomHelper
    Procedure,  // a TfsProcVariable
    ClassEntry, // a TfsClassVariable
};

class TfsCustomVariable : public TfsItemList {
public:
    TfsCustomVariable(const QByteArray &name, int typeCode, const QByteArray &typeName);

    // A copy of the value; a write to a read-only object is ignored.
    virtual Variant GetValue();
    virtual void SetValue(const Variant &value);

    // The parameters (the children of anything callable).
    TfsParamItem *Param(int index) const;
    int ParamCount() const { return Count(); }
    // Those not marked optional.
    int RequiredParamCount() const;
    // "Integer", "Class TFoo", "Variant" ...
    QByteArray FullTypeName() const;
    QByteArray Name() const { return name_; }
    void SetName(const QByteArray &name);
    const QByteArray &UpperName() const { return upperName_; }

    intptr_t OwnerTag = 0;
    bool IsMacro = false;
    bool IsReadOnly = false;
    bool NeedResult = true;
    // Another object this one stands for: a procedure's Result, a
    // designator's variable, an array variable's helper.
    TfsCustomVariable *RefItem = nullptr;
    QByteArray SourcePos;
    int Typ = fvtVariant;
    QByteArray TypeName;
    Variant Value = Variant::null();
    VarKind Kind = VarKind::Other;
    // GetValue is the stored value (read without a call).
    bool DirectRead = false;

private:
    QByteArray name_;
    QByteArray upperName_;
};

// The full type name of a type code and type name (table above).
QByteArray FullTypeName(int typeCode, const QByteArray &typeName);

class TfsVariable : public TfsCustomVariable {
public:
    TfsVariable(const QByteArray &name, int typeCode, const QByteArray &typeName)
        : TfsCustomVariable(name, typeCode, typeName)
    {
        Kind = VarKind::Plain;
        DirectRead = true;
    }
};

class TfsTypeVariable : public TfsCustomVariable {
public:
    using TfsCustomVariable::TfsCustomVariable;
};

// A variable declared as a string or character: any value written becomes
// its text.
class TfsStringVariable : public TfsVariable {
public:
    TfsStringVariable(const QByteArray &name, int typeCode, const QByteArray &typeName)
        : TfsVariable(name, typeCode, typeName)
    {
        Kind = VarKind::Other;
        DirectRead = true;
        Value = Variant(QString());
    }
    void SetValue(const Variant &value) override;
};

class TfsParamItem : public TfsCustomVariable {
public:
    TfsParamItem(const QByteArray &name, int typeCode, const QByteArray &typeName, bool optional, bool varParam)
        : TfsCustomVariable(name, typeCode, typeName), IsOptional(optional), IsVarParam(varParam)
    {
        Kind = VarKind::Plain;
        DirectRead = true;
    }
    Variant DefValue = Variant::null();
    bool IsOptional;
    bool IsVarParam;
};

// Base of members and helpers: set by the designator before each use.
class TfsCustomHelper : public TfsCustomVariable {
public:
    TfsCustomHelper(const QByteArray &name, int typeCode, const QByteArray &typeName)
        : TfsCustomVariable(name, typeCode, typeName)
    {
        Kind = VarKind::Helper;
    }
    // The object of the previous designator element.
    TfsCustomVariable *ParentRef = nullptr;
    // The value of the previous element: the instance, string or array worked on.
    Variant ParentValue;
    // The script in which the designator was compiled.
    TfsScript *Prog = nullptr;

protected:
    // The parent value as an object: none for null, empty or 0; an integer
    // must be a living object's handle, anything else is refused; so is an
    // object that is no `expected` (the member's class: its handler works on
    // that class only), which a typed variable may hold after taking a
    // Variant, or a member of a Variant resolved for an earlier value's class.
    TObject *Instance(const ClassInfo *expected) const;
};

class TfsPropertyHelper : public TfsCustomHelper {
public:
    using TfsCustomHelper::TfsCustomHelper;
    Variant GetValue() override;
    void SetValue(const Variant &value) override;

    const ClassInfo *ClassRef = nullptr;
    // Read and written through the instance's published table.
    bool IsPublished = false;
    TfsGetValue OnGetValue;
    TfsSetValue OnSetValue;

private:
    const platform::classlib::PropInfo *published(const TObject &instance);
    const ClassInfo *cachedClass_ = nullptr;
    const platform::classlib::PropInfo *cachedProp_ = nullptr;
};

// A bound method, a global function, or an indexed property.
class TfsMethodHelper : public TfsCustomHelper {
public:
    // From a heading such as "function Copy(s: String; from, count: Integer): String".
    TfsMethodHelper(const QByteArray &syntax, TfsScript *script);
    Variant GetValue() override;
    // Only an indexed property takes a write (".SET"); otherwise nothing.
    void SetValue(const Variant &value) override;

    // The value of argument index; index = the parameter count gives the
    // value being assigned in a ".SET" call. ScriptError outside.
    Variant GetParam(int index) const;
    void SetParam(int index, const Variant &value);

    QByteArray Category;
    const ClassInfo *ClassRef = nullptr;
    QByteArray Description;
    bool IndexMethod = false;
    TfsCallMethod OnCall;
    TfsCallMethodArray OnCallArray;
    QByteArray Syntax;

private:
    TObject *callInstance(const ClassInfo *&classRef) const;
    Variant setValue_;
    std::vector<Variant> args_;
};

// An element of a variant array of one to three dimensions, the indexes in
// the parameters.
class TfsArrayHelper : public TfsCustomHelper {
public:
    TfsArrayHelper(const QByteArray &name, int dimensions, int typeCode, const QByteArray &typeName);
    Variant GetValue() override;
    void SetValue(const Variant &value) override;

private:
    int indexes(const Variant &array, int out[3]) const;
};

// A character of a string (counted from 1), the index in the parameter.
class TfsStringHelper : public TfsCustomHelper {
public:
    TfsStringHelper();
    Variant GetValue() override;
    void SetValue(const Variant &value) override;
};

// A class entry: its members, found up the ancestors.
class TfsClassVariable : public TfsCustomVariable {
public:
    // The members come from the class's published properties (events
    // aside), alphabetically; the ancestor's default property is taken over
    // when the ancestor's entry is known to the script.
    TfsClassVariable(const ClassInfo &classRef, const QByteArray &ancestor, TfsScript *script);
    ~TfsClassVariable() override;

    // The class's handle (a pending construction for a constructor
    // member), or the hidden parameter's value for a type cast TStrings(x).
    Variant GetValue() override;

    void AddConstructor(QByteArray syntax, TfsCallMethod handler);
    TfsMethodHelper *AddMethod(const QByteArray &syntax, TfsCallMethod handler);
    TfsMethodHelper *AddMethod(const QByteArray &syntax, TfsCallMethodArray handler);
    TfsPropertyHelper *AddProperty(const QByteArray &name, const QByteArray &typeName, TfsGetValue getter,
                                   TfsSetValue setter = {});
    TfsMethodHelper *AddIndexProperty(const QByteArray &name, const QByteArray &indexTypes,
                                      const QByteArray &typeName, TfsCallMethod handler, bool readOnly = false);
    TfsMethodHelper *AddDefaultProperty(const QByteArray &name, const QByteArray &indexTypes,
                                        const QByteArray &typeName, TfsCallMethod handler, bool readOnly = false);

    int MembersCount() const { return members_.Count(); }
    TfsCustomHelper *GetMember(int index) const { return static_cast<TfsCustomHelper *>(members_.Item(index)); }
    // By name ignoring case, this entry's first, then up the ancestors.
    TfsCustomHelper *Find(const QByteArray &name) const;

    QByteArray AncestorName;
    const ClassInfo *ClassRef;
    TfsCustomHelper *DefProperty = nullptr;
    TfsScript *Program;

private:
    TfsItemList members_;
};

class TfsCustomExpression : public TfsCustomVariable {
public:
    using TfsCustomVariable::TfsCustomVariable;
    // The source text of the expression (what a macro receives).
    QByteArray Source;
};

// One element of a designator: its object and its arguments (expressions).
class TfsDesignatorItem : public TfsItemList {
public:
    TfsCustomExpression *Arg(int index) const { return static_cast<TfsCustomExpression *>(Item(index)); }
    TfsCustomVariable *Ref = nullptr;
    QByteArray SourcePos;
    // The builder's: a "[" was taken (default property, or the bracket after
    // an indexed property).
    bool Flag = false;
};

enum class DesignatorKind : std::uint8_t { General, Variable, StringChar, ArrayElement };

class TfsDesignator : public TfsCustomVariable {
public:
    explicit TfsDesignator(TfsScript *script);
    ~TfsDesignator() override;
    Variant GetValue() override;
    void SetValue(const Variant &value) override;

    TfsDesignatorItem *Element(int index) const { return static_cast<TfsDesignatorItem *>(Item(index)); }
    TfsDesignatorItem *AddElement();
    TfsDesignatorItem *InsertElement(int index);
    void RemoveLastElement();
    // Kind, type and reference from the elements (the builder, after filling them).
    void Finalize();
    // Takes over the elements, kind, type and reference of another designator.
    void Borrow(TfsDesignator &other);

    DesignatorKind DKind = DesignatorKind::General;
    TfsScript *Program;
    // The program element to build at the first use (members of Variant values).
    std::unique_ptr<TfsXMLItem> Deferred;
    // The designator was left to run time.
    bool IsDeferred() const { return Deferred != nullptr; }

protected:
    Variant calc(const Variant *write);
    void buildDeferred();
};

// A plain variable: read and written directly.
class TfsVariableDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override { return RefItem->GetValue(); }
    void SetValue(const Variant &value) override { RefItem->SetValue(value); }
};

// A character of a string variable.
class TfsStringDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant &value) override;

private:
    int index(const QString &text);
};

// An element of an array variable.
class TfsArrayDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant &value) override;

private:
    int indexes(int out[3]);
};

// A set constructor or a case label list; a range low..high is the low
// expression, a null child and the high expression.
class TfsSetExpression : public TfsCustomVariable {
public:
    TfsSetExpression() : TfsCustomVariable(QByteArray(), fvtVariant, QByteArray()) {}
    // An array of the children's values (null for a range mark).
    Variant GetValue() override;
    bool Contains(const Variant &value);
    void AddExpression(TfsCustomExpression *expr) { Add(expr); }
    void AddRangeMark() { Add(nullptr); }
};

// The index of a string (from 1) must lie within it: "Индекс строки вне
// границ: %1".
[[noreturn]] void stringIndexError(int index);

// A character written into a string: the first of the value's text, the
// character 0 for an empty text.
QChar firstChar(const Variant &value);

// Type services.
struct ScriptType {
    int code;
    QByteArray name;
};
// The type code of a name: that of the entry the script finds, 5 (class)
// when none.
int TypeCodeOfName(const QByteArray &typeName, TfsScript *script);
bool ClassDescends(const QByteArray &target, const QByteArray &source, TfsScript *script);
bool TypeKindsCompatible(const ScriptType &target, const ScriptType &source, TfsScript *script);
// TypeKindsCompatible, and no integer target takes a float source.
bool AssignmentCompatible(const TfsCustomVariable &target, const TfsCustomVariable &source, TfsScript *script);

// The 32-bit value of an integer Variant without a call (the fast paths).
inline std::int32_t asInt32(const Variant &v)
{
    return v.type() == platform::VarType::Integer ? static_cast<std::int32_t>(v.rawInteger()) : v.toInt();
}

} // namespace script
