#include "platform/Variant.h"

#include "platform/DateTimeFormat.h"
#include "platform/Environment.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace platform {

QString varTypeName(VarType type)
{
    switch (type) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::Null: return QStringLiteral("Null");
    case VarType::Integer: return QStringLiteral("Integer");
    case VarType::Double: return QStringLiteral("Double");
    case VarType::Currency: return QStringLiteral("Currency");
    case VarType::Date: return QStringLiteral("Date");
    case VarType::Boolean: return QStringLiteral("Boolean");
    case VarType::Int64: return QStringLiteral("Int64");
    case VarType::String: return QStringLiteral("String");
    }
    return QStringLiteral("Unknown");
}

namespace {

[[noreturn]] void castError(VarType from, VarType to)
{
    throw VariantError(QStringLiteral("Не возможности преобразовать тип variant (%1) в тип (%2)")
                           .arg(varTypeName(from), varTypeName(to)));
}

constexpr double kCurrencyLimit = 922337203685477.5807;

// "True" and "False" in any letter case; false when the text is neither.
bool booleanText(const QString &text, bool &value)
{
    const QStringView t = trimBlank(text);
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (t.compare(u"false", Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    return false;
}

double stringToDouble(const QString &text, VarType to)
{
    try {
        return strToFloat(text);
    } catch (const ConvertError &) {
        bool b = false;
        if (booleanText(text, b))
            return b ? -1 : 0;
        castError(VarType::String, to);
    }
}

} // namespace

Variant Variant::currencyFromDouble(double amount)
{
    if (!(std::fabs(amount) <= kCurrencyLimit))
        castError(VarType::Double, VarType::Currency);
    return currency(roundHalfEven(static_cast<long double>(amount) * 10000.0L));
}

double Variant::toDouble() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Null: castError(type_, VarType::Double);
    case VarType::Integer:
    case VarType::Int64: return static_cast<double>(u_.i);
    case VarType::Boolean: return u_.i ? -1 : 0;
    case VarType::Double:
    case VarType::Date: return u_.d;
    case VarType::Currency: return static_cast<double>(u_.i) / 10000.0;
    case VarType::String: return stringToDouble(s_, VarType::Double);
    }
    return 0;
}

qint64 Variant::toInt64() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Null: castError(type_, VarType::Int64);
    case VarType::Integer:
    case VarType::Int64: return u_.i;
    case VarType::Boolean: return u_.i ? -1 : 0;
    case VarType::Currency: return roundHalfEven(static_cast<long double>(u_.i) / 10000.0L);
    case VarType::Double:
    case VarType::Date:
    case VarType::String: {
        if (type_ == VarType::String) {
            bool ok = false;
            const qint64 v = trimBlank(s_).toLongLong(&ok);
            if (ok)
                return v;
        }
        const double d = type_ == VarType::String ? stringToDouble(s_, VarType::Int64) : u_.d;
        if (!(std::fabs(d) < 9.2233720368547758e18))
            castError(type_, VarType::Int64);
        return roundHalfEven(d);
    }
    }
    return 0;
}

int Variant::toInt() const
{
    const qint64 v = toInt64();
    if (!fitsInt32(v))
        castError(type_, VarType::Integer);
    return static_cast<int>(v);
}

bool Variant::toBool() const
{
    switch (type_) {
    case VarType::Empty: return false;
    case VarType::Null: castError(type_, VarType::Boolean);
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean:
    case VarType::Currency: return u_.i != 0;
    case VarType::Double:
    case VarType::Date: return u_.d != 0;
    case VarType::String: {
        bool b = false;
        if (booleanText(s_, b))
            return b;
        try {
            return strToFloat(s_) != 0;
        } catch (const ConvertError &) {
            castError(type_, VarType::Boolean);
        }
    }
    }
    return false;
}

QString Variant::toString() const
{
    switch (type_) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Integer:
    case VarType::Int64: return QString::number(u_.i);
    case VarType::Boolean: return u_.i ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Double: return floatToStr(u_.d);
    case VarType::Currency: return floatToStr(static_cast<double>(u_.i) / 10000.0);
    case VarType::Date: return dateTimeToStr(u_.d);
    case VarType::String: return s_;
    }
    return {};
}

Variant Variant::fromQVariant(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return null();
    switch (value.typeId()) {
    case QMetaType::Bool: return Variant(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar: return Variant(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: return Variant(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        return u > static_cast<qulonglong>(std::numeric_limits<qint64>::max()) ? Variant(static_cast<double>(u))
                                                                                : Variant(static_cast<qint64>(u));
    }
    case QMetaType::Double:
    case QMetaType::Float: return Variant(value.toDouble());
    case QMetaType::QDate: return date(dateTimeToDays(QDateTime(value.toDate(), QTime(0, 0))));
    case QMetaType::QDateTime: return date(dateTimeToDays(value.toDateTime()));
    case QMetaType::QTime: return date(value.toTime().msecsSinceStartOfDay() / 86400000.0);
    case QMetaType::QByteArray: return Variant(QString::fromLatin1(value.toByteArray()));
    default: return Variant(value.toString());
    }
}

QVariant Variant::toQVariant() const
{
    switch (type_) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Integer: return static_cast<int>(u_.i);
    case VarType::Int64: return u_.i;
    case VarType::Boolean: return u_.i != 0;
    case VarType::Double: return u_.d;
    case VarType::Currency: return static_cast<double>(u_.i) / 10000.0;
    case VarType::Date: return daysToDateTime(u_.d);
    case VarType::String: return s_;
    }
    return {};
}

// ---------------------------------------------------------------------------
// Operations

namespace {

// Where a kind stands among the arithmetic results.
enum class Rank { Integer = 0, Currency = 1, Double = 2, Date = 3 };

Rank rankOf(const Variant &v)
{
    switch (v.type()) {
    case VarType::Currency: return Rank::Currency;
    case VarType::Double:
    case VarType::String: return Rank::Double;
    case VarType::Date: return Rank::Date;
    default: return Rank::Integer;
    }
}

enum class Op { Add, Sub, Mul };

Variant integerResult(qint64 a, qint64 b, Op op)
{
    qint64 r = 0;
    bool overflow = false;
    switch (op) {
    case Op::Add: overflow = __builtin_add_overflow(a, b, &r); break;
    case Op::Sub: overflow = __builtin_sub_overflow(a, b, &r); break;
    case Op::Mul: overflow = __builtin_mul_overflow(a, b, &r); break;
    }
    if (!overflow)
        return Variant(r);
    const double x = static_cast<double>(a), y = static_cast<double>(b);
    return Variant(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y);
}

qint64 asInteger(const Variant &v)
{
    return v.type() == VarType::Boolean ? (v.rawInteger() ? -1 : 0) : v.isEmpty() ? 0 : v.rawInteger();
}

Variant arithmetic(const Variant &a, const Variant &b, Op op)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    if (op == Op::Add && (a.isString() || a.isEmpty()) && (b.isString() || b.isEmpty())) {
        if (a.isEmpty() && b.isEmpty())
            return Variant();
        return Variant(a.rawString() + b.rawString());
    }
    Rank rank = std::max(rankOf(a), rankOf(b));
    if (rank == Rank::Date) {
        if (op == Op::Mul)
            rank = Rank::Double;
        else if (op == Op::Sub && a.type() == VarType::Date && b.type() == VarType::Date)
            return Variant(a.rawDouble() - b.rawDouble());
    }
    switch (rank) {
    case Rank::Integer:
        return integerResult(asInteger(a), asInteger(b), op);
    case Rank::Currency: {
        // Both are integers or currency: scaled arithmetic.
        const auto scaled = [](const Variant &v) -> long double {
            return v.type() == VarType::Currency ? static_cast<long double>(v.rawCurrency())
                                                 : static_cast<long double>(asInteger(v)) * 10000.0L;
        };
        const long double x = scaled(a), y = scaled(b);
        const long double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y / 10000.0L;
        if (!(std::fabs(r) < 9.2233720368547758e18L))
            castError(VarType::Double, VarType::Currency);
        return Variant::currency(roundHalfEven(r));
    }
    case Rank::Double:
    case Rank::Date: {
        const double x = a.toDouble(), y = b.toDouble();
        const double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
        return rank == Rank::Date ? Variant::date(r) : Variant(r);
    }
    }
    return {};
}

[[noreturn]] void divisionByZero(bool floating)
{
    throw VariantError(floating ? QStringLiteral("Floating point division by zero") : QStringLiteral("Division by zero"));
}

// For the logical operators: a Boolean, or the value as an integer.
bool logicalOperand(const Variant &v, bool &isBool, qint64 &integer)
{
    if (v.type() == VarType::Boolean) {
        isBool = true;
        integer = v.rawInteger() ? -1 : 0;
        return true;
    }
    if (v.isString()) {
        bool b = false;
        if (booleanText(v.rawString(), b)) {
            isBool = true;
            integer = b ? -1 : 0;
            return true;
        }
    }
    isBool = false;
    integer = v.toInt64();
    return true;
}

enum class Logic { And, Or, Xor };

Variant logical(const Variant &a, const Variant &b, Logic op)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    bool ab = false, bb = false;
    qint64 x = 0, y = 0;
    logicalOperand(a, ab, x);
    logicalOperand(b, bb, y);
    const qint64 r = op == Logic::And ? (x & y) : op == Logic::Or ? (x | y) : (x ^ y);
    if (ab && bb)
        return Variant(r != 0);
    return Variant(r);
}

} // namespace

Variant operator+(const Variant &a, const Variant &b)
{
    return arithmetic(a, b, Op::Add);
}

Variant operator-(const Variant &a, const Variant &b)
{
    return arithmetic(a, b, Op::Sub);
}

Variant operator*(const Variant &a, const Variant &b)
{
    return arithmetic(a, b, Op::Mul);
}

Variant operator/(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    const double y = b.toDouble();
    if (y == 0)
        divisionByZero(true);
    return Variant(a.toDouble() / y);
}

namespace {

// Integer division and remainder; -1 as divisor is taken apart, since the
// smallest integer divided by it does not fit.
Variant integerDivision(const Variant &a, const Variant &b, bool remainder)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    const qint64 x = a.toInt64(), y = b.toInt64();
    if (y == 0)
        divisionByZero(false);
    if (y == -1)
        return remainder ? Variant(0) : integerResult(0, x, Op::Sub);
    return Variant(remainder ? x % y : x / y);
}

} // namespace

Variant varIntDiv(const Variant &a, const Variant &b)
{
    return integerDivision(a, b, false);
}

Variant varMod(const Variant &a, const Variant &b)
{
    return integerDivision(a, b, true);
}

Variant varAnd(const Variant &a, const Variant &b)
{
    return logical(a, b, Logic::And);
}

Variant varOr(const Variant &a, const Variant &b)
{
    return logical(a, b, Logic::Or);
}

Variant varXor(const Variant &a, const Variant &b)
{
    return logical(a, b, Logic::Xor);
}

Variant varNot(const Variant &a)
{
    if (a.isNull())
        return a;
    bool isBool = false;
    qint64 x = 0;
    logicalOperand(a, isBool, x);
    if (isBool)
        return Variant(x == 0);
    return Variant(~x);
}

Variant varNeg(const Variant &a)
{
    switch (a.type()) {
    case VarType::Null: return a;
    case VarType::Empty: return Variant(0);
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean: return integerResult(0, asInteger(a), Op::Sub);
    case VarType::Currency: return Variant::currency(-a.rawCurrency());
    case VarType::Double: return Variant(-a.rawDouble());
    case VarType::Date: return Variant::date(-a.rawDouble());
    case VarType::String: return Variant(-a.toDouble());
    }
    return {};
}

VarRelation varCompare(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull() ? VarRelation::Equal : VarRelation::NotEqual;
    const bool aText = a.isString() || a.isEmpty();
    const bool bText = b.isString() || b.isEmpty();
    if (aText && bText) {
        const int c = a.rawString().compare(b.rawString());
        return c < 0 ? VarRelation::Less : c > 0 ? VarRelation::Greater : VarRelation::Equal;
    }
    if (rankOf(a) == Rank::Integer && rankOf(b) == Rank::Integer && !a.isString() && !b.isString()) {
        const qint64 x = asInteger(a), y = asInteger(b);
        return x < y ? VarRelation::Less : x > y ? VarRelation::Greater : VarRelation::Equal;
    }
    if (a.type() == VarType::Currency && b.type() == VarType::Currency) {
        const qint64 x = a.rawCurrency(), y = b.rawCurrency();
        return x < y ? VarRelation::Less : x > y ? VarRelation::Greater : VarRelation::Equal;
    }
    const double x = a.toDouble(), y = b.toDouble();
    if (x < y)
        return VarRelation::Less;
    if (x > y)
        return VarRelation::Greater;
    return x == y ? VarRelation::Equal : VarRelation::NotEqual;
}

} // namespace platform
