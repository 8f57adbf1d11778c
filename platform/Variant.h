#pragma once
// A value of any of the platform's simple kinds, with the platform's rules for
// mixing them: empty, null, integers, float, currency, string, Boolean and
// date-time (a day count, platform/DateTimeFormat.h). Expressions of reports
// and scripts compute with it.
//
// The rules:
// - Arithmetic mixes numbers freely; the result takes the widest kind of the
//   two (integer, then currency, then float; a date plus or minus a number
//   stays a date; a date minus a date is a float day count). Integers that
//   overflow 64 bits go on as floats. A Boolean counts as -1 (true) or 0.
// - "+" joins two strings; a string meeting a number is read as a number
//   under the decimal separator (platform/Environment.h).
// - Null meeting anything in arithmetic or logic gives null; empty counts as
//   0 next to a number and as "" next to a string.
// - and, or, xor are logical on two Booleans and bitwise otherwise.
// - Comparisons: numbers by value, strings by their characters, a string and
//   a number as numbers; null equals only null and is neither less nor
//   greater than anything.
// - A conversion that cannot be made raises VariantError.

#include "platform/NumberFormat.h"

#include <QString>
#include <QVariant>

#include <cstdint>

namespace platform {

// A conversion the platform's variant rules refuse: "Не возможности
// преобразовать тип variant (String) в тип (Double)".
class VariantError : public ConvertError {
public:
    using ConvertError::ConvertError;
};

// The kinds, numbered as the platform's variant type numbers them.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    Boolean = 11,
    Int64 = 20,
    String = 256,
};

// The kind's name in conversion messages ("Integer", "String" ...).
QString varTypeName(VarType type);

class Variant {
public:
    Variant() = default; // empty
    Variant(int value) : type_(VarType::Integer) { u_.i = value; }
    Variant(qint64 value) : type_(fitsInt32(value) ? VarType::Integer : VarType::Int64) { u_.i = value; }
    Variant(double value) : type_(VarType::Double) { u_.d = value; }
    Variant(bool value) : type_(VarType::Boolean) { u_.i = value ? 1 : 0; }
    Variant(const QString &value) : type_(VarType::String), s_(value) {}
    Variant(QString &&value) : type_(VarType::String), s_(std::move(value)) {}
    Variant(const char *) = delete; // would pass as a Boolean

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

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isNull() const { return type_ == VarType::Null; }
    bool isString() const { return type_ == VarType::String; }
    bool isInteger() const { return type_ == VarType::Integer || type_ == VarType::Int64; }
    // Integer, float, currency or date.
    bool isNumeric() const
    {
        return isInteger() || type_ == VarType::Double || type_ == VarType::Currency || type_ == VarType::Date;
    }

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

    // The stored value of each kind, unchecked.
    qint64 rawInteger() const { return u_.i; }
    double rawDouble() const { return u_.d; }
    qint64 rawCurrency() const { return u_.i; }
    const QString &rawString() const { return s_; }

    // Exchange with Qt's variant (database values): dates and date-times
    // become dates; invalid Qt variants are null.
    static Variant fromQVariant(const QVariant &value);
    QVariant toQVariant() const;

    static bool fitsInt32(qint64 v) { return v >= INT32_MIN && v <= INT32_MAX; }

private:
    VarType type_ = VarType::Empty;
    union {
        qint64 i;
        double d;
    } u_{0};
    QString s_;
};

// Arithmetic and logic.
Variant operator+(const Variant &a, const Variant &b);
Variant operator-(const Variant &a, const Variant &b);
Variant operator*(const Variant &a, const Variant &b);
// Float division; raises VariantError on a zero divisor.
Variant operator/(const Variant &a, const Variant &b);
// Integer division and remainder of the values rounded to integers; raise
// VariantError on a zero divisor.
Variant varIntDiv(const Variant &a, const Variant &b);
Variant varMod(const Variant &a, const Variant &b);
Variant varAnd(const Variant &a, const Variant &b);
Variant varOr(const Variant &a, const Variant &b);
Variant varXor(const Variant &a, const Variant &b);
Variant varNot(const Variant &a);
Variant varNeg(const Variant &a);

enum class VarRelation { Less, Equal, Greater, NotEqual };
VarRelation varCompare(const Variant &a, const Variant &b);
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

} // namespace platform
