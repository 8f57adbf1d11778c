#include "platform/classlib/Reflection.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

namespace platform::classlib {

namespace {

char16_t fold(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

std::uint32_t foldedHash(QStringView name)
{
    std::uint32_t h = 2166136261u;
    for (const QChar c : name)
        h = (h ^ fold(c.unicode())) * 16777619u;
    return h;
}

std::uint32_t foldedHash(const char *name)
{
    std::uint32_t h = 2166136261u;
    for (; *name; ++name)
        h = (h ^ fold(static_cast<unsigned char>(*name))) * 16777619u;
    return h;
}

bool sameName(QStringView a, const char *b)
{
    const qsizetype n = a.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!b[i] || fold(a[i].unicode()) != fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return b[n] == 0;
}

bool lessByName(const PropInfo *a, const PropInfo *b)
{
    for (const char *x = a->name, *y = b->name;; ++x, ++y) {
        const char16_t cx = fold(static_cast<unsigned char>(*x)), cy = fold(static_cast<unsigned char>(*y));
        if (cx != cy || !cx)
            return cx < cy;
    }
}

} // namespace

bool never(const TObject &)
{
    return false;
}

ClassInfo::ClassInfo(const char *name, const ClassInfo *parent, Constructor create, std::span<const PropInfo> own)
    : name_(name), parent_(parent), create_(create), own_(own)
{
    if (parent)
        all_.assign(parent->all_.begin(), parent->all_.end());
    for (const PropInfo &p : own) {
        // A redeclared property takes its ancestor's place in the order.
        const auto same = std::find_if(all_.begin(), all_.end(),
                                       [&](const PropInfo *q) { return sameName(QString::fromLatin1(q->name), p.name); });
        if (same != all_.end())
            *same = &p;
        else
            all_.push_back(&p);
    }
    sorted_ = all_;
    std::stable_sort(sorted_.begin(), sorted_.end(), lessByName);
    size_t size = 4;
    while (size < all_.size() * 2)
        size *= 2;
    buckets_.assign(size, 0);
    for (size_t i = 0; i < all_.size(); ++i) {
        size_t at = foldedHash(all_[i]->name) & (size - 1);
        while (buckets_[at])
            at = (at + 1) & (size - 1);
        buckets_[at] = static_cast<std::int16_t>(i + 1);
    }
}

const PropInfo *ClassInfo::find(QStringView name) const
{
    const size_t mask = buckets_.size() - 1;
    for (size_t at = foldedHash(name) & mask; buckets_[at]; at = (at + 1) & mask) {
        const PropInfo *p = all_[static_cast<size_t>(buckets_[at] - 1)];
        if (sameName(name, p->name))
            return p;
    }
    return nullptr;
}

bool ClassInfo::inheritsFrom(const ClassInfo &other) const
{
    for (const ClassInfo *c = this; c; c = c->parent_)
        if (c == &other)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Handles: (generation << 20) | slot for objects, kClassFlag | number for
// classes. A freed slot waits behind kReuseDelay others before it is given
// again, with the next generation, so a stale handle stays stale for over a
// million frees of other objects.

namespace {

constexpr int kSlotBits = 20;
constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr std::uint32_t kGenerations = 1023;
constexpr std::int32_t kClassFlag = 1 << 30;
constexpr size_t kReuseDelay = 1024;

struct Handles {
    struct Slot {
        TObject *object = nullptr;
        std::uint32_t generation = 0;
    };
    std::mutex lock;
    std::vector<Slot> table;
    std::deque<std::uint32_t> free;
    std::vector<const ClassInfo *> classes;

    std::int32_t acquire(TObject *object)
    {
        const std::lock_guard guard(lock);
        std::uint32_t index;
        if (free.size() > kReuseDelay || (table.size() > kSlotMask && !free.empty())) {
            index = free.front();
            free.pop_front();
        } else if (table.size() <= kSlotMask) {
            index = static_cast<std::uint32_t>(table.size());
            table.emplace_back();
        } else {
            throw std::runtime_error("too many objects with handles");
        }
        Slot &s = table[index];
        s.generation = s.generation % kGenerations + 1;
        s.object = object;
        return static_cast<std::int32_t>((s.generation << kSlotBits) | index);
    }

    void release(std::int32_t handle)
    {
        const std::lock_guard guard(lock);
        const std::uint32_t index = static_cast<std::uint32_t>(handle) & kSlotMask;
        table[index].object = nullptr;
        free.push_back(index);
    }

    TObject *lookup(std::int32_t handle)
    {
        if (handle <= 0 || (handle & kClassFlag))
            return nullptr;
        const std::lock_guard guard(lock);
        const std::uint32_t index = static_cast<std::uint32_t>(handle) & kSlotMask;
        if (index >= table.size())
            return nullptr;
        const Slot &s = table[index];
        return s.generation == (static_cast<std::uint32_t>(handle) >> kSlotBits) ? s.object : nullptr;
    }
};

Handles &handles()
{
    static Handles *h = new Handles; // outlives every static object that may hold a handle
    return *h;
}

struct Registry {
    std::mutex lock;
    QHash<QString, const ClassInfo *> byName; // lower-case
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

std::int32_t ClassInfo::handle() const
{
    Handles &h = handles();
    const std::lock_guard guard(h.lock);
    if (!handle_) {
        h.classes.push_back(this);
        handle_ = kClassFlag | static_cast<std::int32_t>(h.classes.size());
    }
    return handle_;
}

InvalidCast::InvalidCast() : std::runtime_error(QStringLiteral("Недопустимое приведение типа класса").toStdString()) {}

void registerClass(const ClassInfo &info)
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    r.byName.insert(info.className().toLower(), &info);
}

void unregisterClass(const ClassInfo &info)
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    const QString key = info.className().toLower();
    if (r.byName.value(key) == &info)
        r.byName.remove(key);
}

const ClassInfo *findClass(QStringView name)
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    return r.byName.value(name.toString().toLower());
}

std::vector<const ClassInfo *> registeredClasses()
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    std::vector<const ClassInfo *> out(r.byName.cbegin(), r.byName.cend());
    std::sort(out.begin(), out.end(), [](const ClassInfo *a, const ClassInfo *b) { return qstrcmp(a->name(), b->name()) < 0; });
    return out;
}

TObject *createObject(QStringView className, TComponent *owner)
{
    const ClassInfo *info = findClass(className);
    return info && info->create() ? info->create()(owner) : nullptr;
}

const ClassInfo &TObject::staticClassInfo()
{
    static const ClassInfo info("TObject", nullptr, nullptr, {});
    return info;
}

TObject::~TObject()
{
    if (handle_)
        handles().release(handle_);
}

std::int32_t TObject::handle() const
{
    if (!handle_)
        handle_ = handles().acquire(const_cast<TObject *>(this));
    return handle_;
}

TObject *objectOf(std::int32_t handle, const ClassInfo &expected)
{
    if (handle == 0)
        return nullptr;
    TObject *object = handles().lookup(handle);
    if (!object)
        throw InvalidObjectReference();
    if (!object->inheritsFrom(expected))
        throw InvalidCast();
    return object;
}

bool isObjectOf(std::int32_t handle, const ClassInfo &expected)
{
    TObject *object = handles().lookup(handle);
    return object && object->inheritsFrom(expected);
}

const ClassInfo &classOf(std::int32_t handle)
{
    Handles &h = handles();
    const std::lock_guard guard(h.lock);
    const std::int32_t number = handle & ~kClassFlag;
    if (!(handle & kClassFlag) || handle < 0 || number < 1 || static_cast<size_t>(number) > h.classes.size())
        throw InvalidObjectReference();
    return *h.classes[static_cast<size_t>(number - 1)];
}

std::size_t objectSlotCount()
{
    Handles &h = handles();
    const std::lock_guard guard(h.lock);
    return h.table.size();
}

// ---------------------------------------------------------------------------

bool isBooleanType(const TypeInfo &type)
{
    return type.kind == Kind::Enum && (qstricmp(type.name, "Boolean") == 0 || qstricmp(type.name, "bool") == 0);
}

Variant readProperty(const TObject &object, const PropInfo &property)
{
    switch (property.kind()) {
    case Kind::Char:
    case Kind::WChar:
    case Kind::String:
        return property.get ? Variant(property.get(object).toString()) : Variant::null();
    case Kind::WString:
        return property.get ? Variant::oleStr(property.get(object).toString()) : Variant::null();
    case Kind::Float:
        return property.get ? Variant(property.get(object).toDouble()) : Variant::null();
    case Kind::Variant:
        return property.get ? property.get(object) : Variant::null();
    case Kind::Integer:
    case Kind::Enum:
    case Kind::Set: {
        if (!property.get)
            return Variant::null();
        const Variant v = property.get(object);
        if (isBooleanType(*property.type))
            return Variant(v.toInt64() != 0);
        return Variant(v.toInt64());
    }
    case Kind::Class:
        if (property.getObject) {
            TObject *o = property.getObject(object);
            return Variant(o ? o->handle() : 0);
        }
        return property.get ? Variant(property.get(object).toInt64()) : Variant::null();
    case Kind::Method:
    case Kind::Int64: break;
    }
    return Variant::null();
}

void writeProperty(TObject &object, const PropInfo &property, const Variant &value)
{
    switch (property.kind()) {
    case Kind::Char:
    case Kind::WChar:
        if (property.set)
            property.set(object, Variant(value.toString().left(1)));
        return;
    case Kind::String:
        if (property.set)
            property.set(object, Variant(value.toString()));
        return;
    case Kind::WString:
        if (property.set)
            property.set(object, Variant::oleStr(value.toString()));
        return;
    case Kind::Float:
        if (property.set)
            property.set(object, Variant(value.toDouble()));
        return;
    case Kind::Variant:
        if (property.set)
            property.set(object, value);
        return;
    case Kind::Integer:
    case Kind::Enum:
    case Kind::Set:
        if (property.set) {
            if (isBooleanType(*property.type))
                property.set(object, Variant(value == Variant(true) ? 1 : 0));
            else
                property.set(object, Variant(value.toInt()));
        }
        return;
    case Kind::Class: {
        const std::int32_t handle = value.toInt();
        const ClassInfo &expected =
            property.type->classInfo ? property.type->classInfo() : TObject::staticClassInfo();
        if (property.setObject)
            property.setObject(object, handle ? objectOf(handle, expected) : nullptr);
        else if (property.set)
            property.set(object, Variant(handle));
        return;
    }
    case Kind::Method:
    case Kind::Int64: return;
    }
}

QString enumName(const TypeInfo &type, std::int64_t ordinal)
{
    if (ordinal >= 0 && ordinal < static_cast<std::int64_t>(type.enumNames.size()))
        return QString::fromLatin1(type.enumNames[static_cast<size_t>(ordinal)]);
    return QString::number(ordinal);
}

int enumValue(const TypeInfo &type, QStringView name)
{
    for (size_t i = 0; i < type.enumNames.size(); ++i)
        if (sameName(name, type.enumNames[i]))
            return static_cast<int>(i);
    return -1;
}

} // namespace platform::classlib
