#pragma once
// Helpers that declare a class's published table beside the class, over
// member pointers or getter and setter pairs:
//
//   const ClassInfo &TfrxFrame::staticClassInfo()
//   {
//       static const PropInfo props[] = {
//           field<&TfrxFrame::Color>("Color", tiColor).defaultsTo(0),
//           property<&TfrxFrame::width, &TfrxFrame::setWidth>("Width", tiExtended).storedIf(widthStored),
//       };
//       static const ClassInfo info = makeClassInfo<TfrxFrame, TPersistent>("TfrxFrame", props);
//       return info;
//   }
//
// The Variant accessors convert by the member's C++ type: integers and
// enumerations as integers (Int64 members as Int64), floats as Double,
// QString as String, QChar as a one-character string, object pointers as
// handles.

#include "platform/classlib/Reflection.h"

#include <functional>

namespace platform::classlib {

namespace detail {

template <class T>
struct MemberOf;
template <class C, class T>
struct MemberOf<T C::*> {
    using Class = C;
    using Type = std::remove_cvref_t<T>;
};

template <class T>
struct GetterOf;
template <class C, class R>
struct GetterOf<R (C::*)() const> {
    using Class = C;
    using Type = std::remove_cvref_t<R>;
};

template <class T>
constexpr bool isObjectPointer =
    std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>;

template <class T>
Variant toVariant(const T &value)
{
    if constexpr (std::is_same_v<T, Variant>)
        return value;
    else if constexpr (std::is_same_v<T, bool>)
        return Variant(value ? 1 : 0);
    else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, qint64>)
        return Variant::int64(value);
    else if constexpr (std::is_integral_v<T>)
        return Variant(static_cast<qint64>(value));
    else if constexpr (std::is_enum_v<T>)
        return Variant(static_cast<int>(value));
    else if constexpr (std::is_floating_point_v<T>)
        return Variant(static_cast<double>(value));
    else if constexpr (std::is_same_v<T, QString>)
        return Variant(value);
    else if constexpr (std::is_same_v<T, QChar>)
        return Variant(QString(value));
    else if constexpr (isObjectPointer<T>)
        return Variant(value ? value->handle() : 0);
    else
        static_assert(sizeof(T) == 0, "no Variant form for this member type");
}

template <class T>
T fromVariant(const Variant &value)
{
    if constexpr (std::is_same_v<T, Variant>)
        return value;
    else if constexpr (std::is_same_v<T, bool>)
        return value.toInt64() != 0;
    else if constexpr (std::is_integral_v<T>)
        return static_cast<T>(value.toInt64());
    else if constexpr (std::is_enum_v<T>)
        return static_cast<T>(value.toInt64());
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<T>(value.toDouble());
    else if constexpr (std::is_same_v<T, QString>)
        return value.toString();
    else if constexpr (std::is_same_v<T, QChar>) {
        const QString s = value.toString();
        return s.isEmpty() ? QChar() : s.front();
    } else if constexpr (isObjectPointer<T>)
        return objectOf<std::remove_cv_t<std::remove_pointer_t<T>>>(value.toInt());
    else
        static_assert(sizeof(T) == 0, "no Variant form for this member type");
}

template <auto M>
Variant getField(const TObject &o)
{
    using C = typename MemberOf<decltype(M)>::Class;
    return toVariant(static_cast<const C &>(o).*M);
}

template <auto M>
void setField(TObject &o, const Variant &v)
{
    using C = typename MemberOf<decltype(M)>::Class;
    using T = typename MemberOf<decltype(M)>::Type;
    static_cast<C &>(o).*M = fromVariant<T>(v);
}

template <auto M>
TObject *getObjectField(const TObject &o)
{
    using C = typename MemberOf<decltype(M)>::Class;
    return static_cast<const C &>(o).*M;
}

template <auto M>
void setObjectField(TObject &o, TObject *value)
{
    using C = typename MemberOf<decltype(M)>::Class;
    using T = typename MemberOf<decltype(M)>::Type;
    if (value && !value->inheritsFrom(std::remove_pointer_t<T>::staticClassInfo()))
        throw InvalidCast();
    static_cast<C &>(o).*M = static_cast<T>(value);
}

template <auto Get>
Variant getVia(const TObject &o)
{
    using C = typename GetterOf<decltype(Get)>::Class;
    return toVariant((static_cast<const C &>(o).*Get)());
}

template <auto Get, auto Set>
void setVia(TObject &o, const Variant &v)
{
    using C = typename GetterOf<decltype(Get)>::Class;
    using T = typename GetterOf<decltype(Get)>::Type;
    (static_cast<C &>(o).*Set)(fromVariant<T>(v));
}

template <auto Get>
TObject *getObjectVia(const TObject &o)
{
    using C = typename GetterOf<decltype(Get)>::Class;
    return (static_cast<const C &>(o).*Get)();
}

template <auto Get, auto Set>
void setObjectVia(TObject &o, TObject *value)
{
    using C = typename GetterOf<decltype(Get)>::Class;
    using T = typename GetterOf<decltype(Get)>::Type;
    if (value && !value->inheritsFrom(std::remove_pointer_t<T>::staticClassInfo()))
        throw InvalidCast();
    (static_cast<C &>(o).*Set)(static_cast<T>(value));
}

template <auto M>
Closure getEvent(const TObject &o)
{
    using C = typename MemberOf<decltype(M)>::Class;
    const auto &handler = static_cast<const C &>(o).*M;
    return handler ? Closure(handler) : Closure();
}

template <auto M>
void setEvent(TObject &o, const Closure &value)
{
    using C = typename MemberOf<decltype(M)>::Class;
    using T = typename MemberOf<decltype(M)>::Type;
    static_cast<C &>(o).*M = value.has_value() ? std::any_cast<T>(value) : T();
}

template <class T>
TObject *construct(TComponent *owner)
{
    if constexpr (std::is_constructible_v<T, TComponent *>)
        return new T(owner);
    else
        return new T();
}

} // namespace detail

// A published data member, read and written directly (an object pointer
// member holds a reference: writing it stores the pointer).
template <auto M>
PropInfo field(const char *name, const TypeInfo &type)
{
    using T = typename detail::MemberOf<decltype(M)>::Type;
    PropInfo p{name, &type, &detail::getField<M>, &detail::setField<M>};
    if constexpr (detail::isObjectPointer<T>) {
        p.getObject = &detail::getObjectField<M>;
        p.setObject = &detail::setObjectField<M>;
    }
    return p;
}

// A published property over a getter and a setter (nullptr: read-only).
template <auto Get, auto Set = nullptr>
PropInfo property(const char *name, const TypeInfo &type)
{
    using T = typename detail::GetterOf<decltype(Get)>::Type;
    PropInfo p{name, &type, &detail::getVia<Get>};
    if constexpr (Set != nullptr)
        p.set = &detail::setVia<Get, Set>;
    if constexpr (detail::isObjectPointer<T>) {
        p.getObject = &detail::getObjectVia<Get>;
        if constexpr (Set != nullptr)
            p.setObject = &detail::setObjectVia<Get, Set>;
    }
    return p;
}

// A published event over a std::function member.
template <auto M>
PropInfo event(const char *name, const TypeInfo &type)
{
    PropInfo p{name, &type};
    p.getMethod = &detail::getEvent<M>;
    p.setMethod = &detail::setEvent<M>;
    return p;
}

// The table of class T with the parent class Parent; the constructor entry
// makes a T (with the owner when T takes one), none for an abstract class.
template <class T, class Parent>
ClassInfo makeClassInfo(const char *name, std::span<const PropInfo> props)
{
    ClassInfo::Constructor create = nullptr;
    if constexpr (!std::is_abstract_v<T> &&
                  (std::is_constructible_v<T, TComponent *> || std::is_default_constructible_v<T>))
        create = &detail::construct<T>;
    return ClassInfo(name, &Parent::staticClassInfo(), create, props);
}

} // namespace platform::classlib
