#pragma once
// The class library's reflection: every class publishes a table of its
// properties (name, kind and type, read and write access, declared default,
// stored test), found by name in any letter case, listed in declaration
// order with the ancestors' first, or alphabetically; classes are registered
// and found by name and made through a constructor entry that takes an
// owner. The report files, the script bindings and the property editors all
// work from these tables, so they are the one description of a class's
// persistent state.
//
// Objects reach scripts as 32-bit handles (a slot number and a generation),
// never as addresses: a freed object's handle, or a made-up number, raises
// "invalid object reference" instead of touching memory.
//
// Qt's meta-objects stay with the widgets' signals and slots: they hold no
// declared default, no named types of their own (a colour would be an int),
// exact-case lookup only and no assignable single-handler events.

#include "platform/Variant.h"

#include <QString>
#include <QStringView>

#include <any>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace platform::classlib {

class TObject;
class TComponent;
class ClassInfo;

// The kinds of published properties.
enum class Kind : std::uint8_t { Integer, Char, WChar, Enum, Set, Float, String, WString, Class, Method, Variant, Int64 };
// What a float property holds.
enum class FloatType : std::uint8_t { Single, Double, Extended, Currency };

// A property's type: named types have an identity of their own (TColor is an
// Integer kind but not Integer), so an editor can be chosen by type.
struct TypeInfo {
    const char *name;
    Kind kind;
    std::span<const char *const> enumNames = {}; // Enum: the element names by ordinal
    const TypeInfo *setElement = nullptr;        // Set: the element enumeration
    const ClassInfo &(*classInfo)() = nullptr;   // Class: the property's class
    FloatType floatType = FloatType::Extended;   // Float
};

// The value of a method (event) property: a typed callable without its type
// (a TNotifyEvent holds std::function<void(TObject *)>); empty when none.
using Closure = std::any;

// One published property. get and set are the Variant accessors of the
// script boundary (an object property reads as its object's handle); Class
// and Method kinds carry typed accessors too, so that files work on objects.
struct PropInfo {
    const char *name;
    const TypeInfo *type;
    Variant (*get)(const TObject &) = nullptr;
    void (*set)(TObject &, const Variant &) = nullptr; // null: read-only
    std::optional<std::int64_t> def = {};              // none: no declared default
    bool (*stored)(const TObject &) = nullptr;         // null: always stored
    TObject *(*getObject)(const TObject &) = nullptr;
    void (*setObject)(TObject &, TObject *) = nullptr;
    Closure (*getMethod)(const TObject &) = nullptr;
    void (*setMethod)(TObject &, const Closure &) = nullptr;

    Kind kind() const { return type->kind; }
    bool readOnly() const { return set == nullptr && setObject == nullptr && setMethod == nullptr; }
    bool isStored(const TObject &object) const { return stored == nullptr || stored(object); }
    PropInfo &storedIf(bool (*test)(const TObject &))
    {
        stored = test;
        return *this;
    }
    PropInfo &defaultsTo(std::int64_t value)
    {
        def = value;
        return *this;
    }
};

// Kept false: a property with `never` as its stored test is not written.
bool never(const TObject &);

// A class's published table and constructor entry.
class ClassInfo {
public:
    using Constructor = TObject *(*)(TComponent *owner);

    ClassInfo(const char *name, const ClassInfo *parent, Constructor create, std::span<const PropInfo> own);
    ClassInfo(const ClassInfo &) = delete;
    ClassInfo &operator=(const ClassInfo &) = delete;

    const char *name() const { return name_; }
    QString className() const { return QString::fromLatin1(name_); }
    const ClassInfo *parent() const { return parent_; }
    // A new object of this class with the owner given (TComponent
    // descendants take it as their owner, other classes ignore it); null
    // for an abstract class.
    Constructor create() const { return create_; }
    // The class's own properties, in declaration order.
    std::span<const PropInfo> own() const { return own_; }
    // All published properties: the ancestors' first, each class's in
    // declaration order.
    std::span<const PropInfo *const> all() const { return all_; }
    // The same, sorted by name without regard to letter case.
    std::span<const PropInfo *const> sorted() const { return sorted_; }
    // A property by name, letter case ignored; null when there is none.
    const PropInfo *find(QStringView name) const;
    bool inheritsFrom(const ClassInfo &other) const;
    // The class reference scripts carry (a range of its own, apart from the
    // objects' handles).
    std::int32_t handle() const;

private:
    const char *name_;
    const ClassInfo *parent_;
    Constructor create_;
    std::span<const PropInfo> own_;
    std::vector<const PropInfo *> all_;
    std::vector<const PropInfo *> sorted_;
    std::vector<std::int16_t> buckets_; // index into all_ + 1, by hash of the folded name
    mutable std::int32_t handle_ = 0;
};

// The registry of classes by name (letter case ignored).
void registerClass(const ClassInfo &info);
void unregisterClass(const ClassInfo &info);
const ClassInfo *findClass(QStringView name);
// The registered classes, sorted by name.
std::vector<const ClassInfo *> registeredClasses();
// A new object of a registered class, or null for an unknown or abstract one.
TObject *createObject(QStringView className, TComponent *owner);

// An object handle that names no living object (freed, or never given).
class InvalidObjectReference : public std::runtime_error {
public:
    InvalidObjectReference() : std::runtime_error("invalid object reference") {}
};
// An object that is not of the class expected.
class InvalidCast : public std::runtime_error {
public:
    InvalidCast();
    QString message() const { return QString::fromUtf8(what()); }
};

// The root of every class of the library.
class TObject {
public:
    TObject() = default;
    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;
    virtual ~TObject();

    static const ClassInfo &staticClassInfo();
    virtual const ClassInfo &classInfo() const { return staticClassInfo(); }
    QString className() const { return classInfo().className(); }
    bool inheritsFrom(const ClassInfo &other) const { return classInfo().inheritsFrom(other); }
    // The object's handle, given on first use and kept while it lives.
    std::int32_t handle() const;

private:
    mutable std::int32_t handle_ = 0;
};

// The way back from a handle: 0 gives null; a handle of no living object
// raises InvalidObjectReference, one of another class InvalidCast.
TObject *objectOf(std::int32_t handle, const ClassInfo &expected);
template <class T>
T *objectOf(std::int32_t handle)
{
    return static_cast<T *>(objectOf(handle, T::staticClassInfo()));
}
// The `is` test: whether the handle names a living object of the class.
bool isObjectOf(std::int32_t handle, const ClassInfo &expected);
// The class of a class reference; InvalidObjectReference for anything else.
const ClassInfo &classOf(std::int32_t handle);
// How many handle slots exist (for tests of slot reuse).
std::size_t objectSlotCount();

// Reading and writing a published property by kind, as scripts do: character
// kinds as one-character strings, floats as Double, string kinds as strings,
// Variant as is; integer, enumeration, set and class kinds as integers (an
// object as its handle); a Boolean enumeration reads false for 0 and true
// otherwise and is written 1 for a value equal to true and 0 otherwise.
// Events and Int64 read as null and are not written.
bool isBooleanType(const TypeInfo &type);
Variant readProperty(const TObject &object, const PropInfo &property);
void writeProperty(TObject &object, const PropInfo &property, const Variant &value);

// Enumeration names: the element's name, or the ordinal's decimal text
// outside the names; the ordinal of a name (letter case ignored), -1 when
// there is none.
QString enumName(const TypeInfo &type, std::int64_t ordinal);
int enumValue(const TypeInfo &type, QStringView name);

// Declares the table of a class: staticClassInfo() and the classInfo()
// override.
#define TOLVANE_CLASSINFO                                                                                              \
public:                                                                                                                \
    static const ::platform::classlib::ClassInfo &staticClassInfo();                                                   \
    const ::platform::classlib::ClassInfo &classInfo() const override { return staticClassInfo(); }                    \
                                                                                                                       \
private:

} // namespace platform::classlib
