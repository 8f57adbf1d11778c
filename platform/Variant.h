#pragma once
// A value of any of the platform's kinds, with the platform's rules for mixing
// them: empty, null, integers of 8 to 64 bits, single and double floats,
// currency, 8-bit and wide strings, Boolean, date-time (a day count,
// platform/DateTimeFormat.h), arrays of values and automation objects
// (platform/Automation.h). Expressions of reports and scripts compute with it.
//
// The rules:
// - Arithmetic mixes numbers freely; the result takes the widest kind of the
//   two (integer, then currency, then float; a date plus or minus a number
//   stays a date; a date minus a date is a float day count). Integer results
//   are Integer when they fit 32 bits, else Int64, and go on as floats past 64
//   bits. A Boolean counts as -1 (true) or 0.
// - "+" joins two strings; a string meeting a number is read as a number
//   under the decimal separator (platform/Environment.h).
// - Null meeting anything in arithmetic or logic gives null; empty counts as
//   0 next to a number and as "" next to a string.
// - and, or, xor are logical on two Booleans and bitwise otherwise.
// - Comparisons: numbers by value, strings by their characters, a string and
//   a number as numbers; null equals only null and is neither less nor
//   greater than anything (VarRelation::NotEqual, "unordered").
// - A conversion that cannot be made raises VariantError.
//
// The layout is chosen for the script engine's loops: a kind word and eight
// bytes. Numbers live in the eight bytes; strings, arrays and automation
// objects behind one reference-counted pointer, so that a copy is 16 bytes
// and at most one increment, and a string that nothing else shares grows in
// place ("s := s + x" stays linear: operator+= and operator+ on an rvalue).
// Arrays are values: a write to a shared array copies it first.

#include "platform/NumberFormat.h"

#include <QString>
#include <QVariant>

#include <atomic>
#include <cstdint>
#include <span>

namespace platform {

class Dispatch; // platform/Automation.h

// A conversion the platform's variant rules refuse: "Не возможности
// преобразовать тип variant (String) в тип (Double)".
class VariantError : public ConvertError {
public:
    using ConvertError::ConvertError;
};

// The kinds, numbered as the platform's variant type numbers them (the
// numbers scripts see through VarType). An array is Array | its element kind.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    Smallint = 2,
    Integer = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    OleStr = 8,
    Dispatch = 9,
    Boolean = 11,
    Variant = 12,
    Byte = 17,
    Word = 18,
    Int64 = 20,
    String = 256,
    Array = 0x2000,
};

// The kind's name in conversion messages ("Integer", "String", "Array Variant" ...).
QString varTypeName(VarType type);

// The bounds of one dimension of an array.
struct VarBound {
    int low = 0;
    int high = -1;
    int count() const { return high - low + 1; }
};

namespace detail {
// What a Variant's pointer points at: a reference count first.
struct VarHeap {
    std::atomic<int> refs{1};
};
struct VarText : VarHeap {
    QString text;
    explicit VarText(QString t) : text(std::move(t)) {}
};
struct VarArray;
inline const QString kNoText;
} // namespace detail

class Variant {
public:
    Variant() noexcept = default; // empty
    Variant(int value) noexcept : type_(VarType::Integer) { u_.i = value; }
    Variant(qint64 value) noexcept : type_(fitsInt32(value) ? VarType::Integer : VarType::Int64) { u_.i = value; }
    Variant(double value) noexcept : type_(VarType::Double) { u_.d = value; }
    Variant(bool value) noexcept : type_(VarType::Boolean) { u_.i = value ? 1 : 0; }
    // An 8-bit string.
    Variant(const QString &value) : Variant(VarType::String, QString(value)) {}
    Variant(QString &&value) : Variant(VarType::String, std::move(value)) {}
    Variant(const char *) = delete; // would pass as a Boolean

    Variant(const Variant &other) noexcept : type_(other.type_), heap_(other.heap_), u_(other.u_)
    {
        if (heap_)
            u_.p->refs.fetch_add(1, std::memory_order_relaxed);
    }
    Variant(Variant &&other) noexcept : type_(other.type_), heap_(other.heap_), u_(other.u_)
    {
        other.type_ = VarType::Empty;
        other.heap_ = false;
    }
    Variant &operator=(const Variant &other) noexcept
    {
        if (other.heap_)
            other.u_.p->refs.fetch_add(1, std::memory_order_relaxed);
        if (heap_)
            release();
        type_ = other.type_;
        heap_ = other.heap_;
        u_ = other.u_;
        return *this;
    }
    Variant &operator=(Variant &&other) noexcept
    {
        if (this != &other) {
            if (heap_)
                release();
            type_ = other.type_;
            heap_ = other.heap_;
            u_ = other.u_;
            other.type_ = VarType::Empty;
            other.heap_ = false;
        }
        return *this;
    }
    ~Variant()
    {
        if (heap_)
            release();
    }

    static Variant null()
    {
        Variant v;
        v.type_ = VarType::Null;
        return v;
    }
    static Variant date(double days)
    {
        Variant v(days);
        v.type_ = VarType::Date;
        return v;
    }
    // An amount in units of 1/10000.
    static Variant currency(qint64 scaled)
    {
        Variant v(scaled);
        v.type_ = VarType::Currency;
        return v;
    }
    // An amount rounded to 1/10000 (half to even); VariantError beyond the range.
    static Variant currencyFromDouble(double amount);
    // An Int64 that stays one whatever its value.
    static Variant int64(qint64 value)
    {
        Variant v(value);
        v.type_ = VarType::Int64;
        return v;
    }
    static Variant smallint(std::int16_t value) { return small(VarType::Smallint, value); }
    static Variant byte(std::uint8_t value) { return small(VarType::Byte, value); }
    static Variant word(std::uint16_t value) { return small(VarType::Word, value); }
    static Variant single(float value)
    {
        Variant v(static_cast<double>(value));
        v.type_ = VarType::Single;
        return v;
    }
    // A wide string.
    static Variant oleStr(QString value) { return Variant(VarType::OleStr, std::move(value)); }
    // A new array of the bounds given, one per dimension (at least one; a high
    // bound below the low one gives no elements), of elements of the kind
    // given (a simple kind or VarType::Variant), each empty or 0.
    static Variant array(std::span<const VarBound> bounds, VarType element = VarType::Variant);
    // An automation object; the value holds a reference to it (empty for
    // none).
    static Variant dispatch(Dispatch *object);

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isNull() const { return type_ == VarType::Null; }
    // An 8-bit or wide string.
    bool isString() const { return type_ == VarType::String || type_ == VarType::OleStr; }
    bool isInteger() const
    {
        switch (type_) {
        case VarType::Integer:
        case VarType::Int64:
        case VarType::Smallint:
        case VarType::Byte:
        case VarType::Word: return true;
        default: return false;
        }
    }
    // Integer, float, currency or date.
    bool isNumeric() const
    {
        return isInteger() || type_ == VarType::Double || type_ == VarType::Single || type_ == VarType::Currency ||
               type_ == VarType::Date;
    }
    bool isArray() const { return (static_cast<unsigned>(type_) & static_cast<unsigned>(VarType::Array)) != 0; }
    bool isDispatch() const { return type_ == VarType::Dispatch; }

    // Conversions by the platform's rules (VariantError when impossible).
    double toDouble() const;
    // Floats are rounded half to even.
    qint64 toInt64() const;
    // As toInt64, refused beyond 32 bits.
    int toInt() const;
    bool toBool() const;
    // Empty and null give "", Booleans "True" and "False", floats the general
    // float text, dates the date (and the time unless midnight).
    QString toString() const;
    // The automation object; VariantError for any other kind.
    Dispatch *toDispatch() const;

    // The stored value of each kind, unchecked (rawString: "" for a kind
    // that is not a string).
    qint64 rawInteger() const { return u_.i; }
    double rawDouble() const { return u_.d; }
    qint64 rawCurrency() const { return u_.i; }
    const QString &rawString() const
    {
        return isString() ? static_cast<const detail::VarText *>(u_.p)->text : detail::kNoText;
    }

    // Arrays. Indices are one per dimension; a wrong count or an index outside
    // the bounds raises VariantError, and so does any of these on a value
    // that is not an array.
    int arrayDimensions() const;
    VarBound arrayBound(int dimension) const; // dimension from 1
    const Variant &arrayGet(std::span<const int> indices) const;
    // Converts the value to the element kind, copying the array first when
    // another value shares it.
    void arrayPut(std::span<const int> indices, const Variant &value);
    // Sets the high bound of the last dimension (elements kept, new ones empty).
    void arrayRedim(int high);

    // Joins a string in place when this value is a string no other value
    // shares; otherwise *this = *this + other.
    Variant &operator+=(const Variant &other);

    // Exchange with Qt's variant (database values): dates and date-times
    // become dates; invalid Qt variants are null.
    static Variant fromQVariant(const QVariant &value);
    QVariant toQVariant() const;

    static bool fitsInt32(qint64 v) { return v >= INT32_MIN && v <= INT32_MAX; }

private:
    Variant(VarType type, QString &&text) : type_(type), heap_(true) { u_.p = new detail::VarText(std::move(text)); }
    static Variant small(VarType type, int value)
    {
        Variant v(value);
        v.type_ = type;
        return v;
    }
    void release() noexcept
    {
        if (u_.p->refs.load(std::memory_order_acquire) == 1 ||
            u_.p->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            destroy();
    }
    void destroy() noexcept;
    detail::VarArray &arrayData() const;
    detail::VarArray &ownArray();

    VarType type_ = VarType::Empty;
    bool heap_ = false;
    union {
        qint64 i;
        double d;
        detail::VarHeap *p;
    } u_{0};
};
static_assert(sizeof(Variant) == 16);

namespace detail {
// The rules of +, - and * (op 0, 1, 2) beyond the inline paths.
Variant arithmetic(const Variant &a, const Variant &b, int op);
} // namespace detail

// Arithmetic and logic. Two Integers and two Doubles take an inline path.
inline Variant operator+(const Variant &a, const Variant &b)
{
    if (a.type() == VarType::Integer && b.type() == VarType::Integer)
        return Variant(a.rawInteger() + b.rawInteger());
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return Variant(a.rawDouble() + b.rawDouble());
    return detail::arithmetic(a, b, 0);
}
// The left string grows in place when nothing else shares it.
inline Variant operator+(Variant &&a, const Variant &b)
{
    a += b;
    return std::move(a);
}
inline Variant operator-(const Variant &a, const Variant &b)
{
    if (a.type() == VarType::Integer && b.type() == VarType::Integer)
        return Variant(a.rawInteger() - b.rawInteger());
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return Variant(a.rawDouble() - b.rawDouble());
    return detail::arithmetic(a, b, 1);
}
inline Variant operator*(const Variant &a, const Variant &b)
{
    if (a.type() == VarType::Integer && b.type() == VarType::Integer)
        return Variant(a.rawInteger() * b.rawInteger());
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return Variant(a.rawDouble() * b.rawDouble());
    return detail::arithmetic(a, b, 2);
}
// Float division; raises VariantError on a zero divisor.
Variant operator/(const Variant &a, const Variant &b);
// Integer division and remainder of the values rounded to integers; raise
// VariantError on a zero divisor.
Variant varIntDiv(const Variant &a, const Variant &b);
Variant varMod(const Variant &a, const Variant &b);
// Shifts of the values as integers: the count is taken modulo 32, or modulo
// 64 when the value needs 64 bits; a 32-bit result is an Integer of the same
// bits (1 shl 31 is -2147483648).
Variant varShl(const Variant &a, const Variant &b);
Variant varShr(const Variant &a, const Variant &b);
Variant varAnd(const Variant &a, const Variant &b);
Variant varOr(const Variant &a, const Variant &b);
Variant varXor(const Variant &a, const Variant &b);
Variant varNot(const Variant &a);
Variant varNeg(const Variant &a);
// The value converted to a simple kind (the element kinds of arrays):
// VariantError when it cannot be; an 8-bit string keeps only what the code
// page holds.
Variant varAsType(const Variant &a, VarType type);

enum class VarRelation { Less, Equal, Greater, NotEqual };
VarRelation varCompareSlow(const Variant &a, const Variant &b);
inline VarRelation varCompare(const Variant &a, const Variant &b)
{
    if (a.type() == VarType::Integer && b.type() == VarType::Integer) {
        const qint64 x = a.rawInteger(), y = b.rawInteger();
        return x < y ? VarRelation::Less : x > y ? VarRelation::Greater : VarRelation::Equal;
    }
    return varCompareSlow(a, b);
}
inline bool operator==(const Variant &a, const Variant &b) { return varCompare(a, b) == VarRelation::Equal; }
inline bool operator<(const Variant &a, const Variant &b) { return varCompare(a, b) == VarRelation::Less; }
inline bool operator>(const Variant &a, const Variant &b) { return varCompare(a, b) == VarRelation::Greater; }
inline bool operator<=(const Variant &a, const Variant &b)
{
    const VarRelation r = varCompare(a, b);
    return r == VarRelation::Less || r == VarRelation::Equal;
}
inline bool operator>=(const Variant &a, const Variant &b)
{
    const VarRelation r = varCompare(a, b);
    return r == VarRelation::Greater || r == VarRelation::Equal;
}

// Typed 32-bit integer arithmetic for the script engine's fast paths: sums,
// differences and products wrap around in 32 bits; division and remainder by
// zero raise VariantError "Division by zero", and the smallest integer
// divided by -1 "Integer overflow"; shift counts are taken modulo 32.
inline std::int32_t int32Add(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t int32Sub(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t int32Mul(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
std::int32_t int32Div(std::int32_t a, std::int32_t b);
std::int32_t int32Mod(std::int32_t a, std::int32_t b);
inline std::int32_t int32Shl(std::int32_t a, std::int32_t count)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (count & 31));
}
inline std::int32_t int32Shr(std::int32_t a, std::int32_t count)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) >> (count & 31));
}

} // namespace platform
