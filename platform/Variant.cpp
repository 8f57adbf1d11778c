#include "platform/Variant.h"

#include "platform/Automation.h"

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
    if (static_cast<unsigned>(type) & static_cast<unsigned>(VarType::Array))
        return QStringLiteral("Array ") +
               varTypeName(static_cast<VarType>(static_cast<unsigned>(type) & ~static_cast<unsigned>(VarType::Array)));
    switch (type) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::Smallint: return QStringLiteral("Smallint");
    case VarType::Single: return QStringLiteral("Single");
    case VarType::OleStr: return QStringLiteral("OleStr");
    case VarType::Dispatch: return QStringLiteral("Dispatch");
    case VarType::Variant: return QStringLiteral("Variant");
    case VarType::Byte: return QStringLiteral("Byte");
    case VarType::Word: return QStringLiteral("Word");
    case VarType::Null: return QStringLiteral("Null");
    case VarType::Integer: return QStringLiteral("Integer");
    case VarType::Double: return QStringLiteral("Double");
    case VarType::Currency: return QStringLiteral("Currency");
    case VarType::Date: return QStringLiteral("Date");
    case VarType::Boolean: return QStringLiteral("Boolean");
    case VarType::Int64: return QStringLiteral("Int64");
    case VarType::String: return QStringLiteral("String");
    case VarType::Array: break;
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


namespace detail {

// An array's bounds and elements; the first index varies fastest, so that a
// new high bound of the last dimension keeps every element where it is.
struct VarArray : VarHeap {
    VarType element = VarType::Variant;
    std::vector<VarBound> bounds;
    std::vector<Variant> items;
};

} // namespace detail

namespace {

[[noreturn]] void arrayIndexError()
{
    throw VariantError(QStringLiteral("Индекс массива variant вне допустимых границ"));
}

// The value every element of a new array of this kind starts with.
Variant zeroOf(VarType type)
{
    return type == VarType::Variant ? Variant() : varAsType(Variant(0), type);
}

bool isOrdinaryKind(VarType type)
{
    switch (type) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
    case VarType::OleStr:
    case VarType::Dispatch:
    case VarType::Boolean:
    case VarType::Variant:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Int64:
    case VarType::String: return true;
    default: return false;
    }
}

} // namespace

void Variant::destroy() noexcept
{
    if (type_ == VarType::Dispatch)
        delete static_cast<Dispatch *>(u_.p);
    else if (isArray())
        delete static_cast<detail::VarArray *>(u_.p);
    else
        delete static_cast<detail::VarText *>(u_.p);
    heap_ = false;
}

Variant Variant::array(std::span<const VarBound> bounds, VarType element)
{
    if (bounds.empty() || element == VarType::Empty || element == VarType::Null || !isOrdinaryKind(element))
        castError(VarType::Array, element);
    auto *data = new detail::VarArray;
    data->element = element;
    data->bounds.assign(bounds.begin(), bounds.end());
    qint64 count = 1;
    for (const VarBound &b : bounds)
        count *= std::max(0, b.count());
    if (count > (1 << 28)) {
        delete data;
        throw VariantError(QStringLiteral("Недостаточно памяти для массива variant"));
    }
    data->items.assign(static_cast<size_t>(count), zeroOf(element));
    Variant v;
    v.type_ = static_cast<VarType>(static_cast<unsigned>(VarType::Array) | static_cast<unsigned>(element));
    v.heap_ = true;
    v.u_.p = data;
    return v;
}

Variant Variant::dispatch(Dispatch *object)
{
    Variant v;
    if (!object)
        return v;
    object->refs.fetch_add(1, std::memory_order_relaxed);
    v.type_ = VarType::Dispatch;
    v.heap_ = true;
    v.u_.p = object;
    return v;
}

Dispatch *Variant::toDispatch() const
{
    if (type_ != VarType::Dispatch)
        castError(type_, VarType::Dispatch);
    return static_cast<Dispatch *>(u_.p);
}

detail::VarArray &Variant::arrayData() const
{
    if (!isArray())
        castError(type_, VarType::Array);
    return *static_cast<detail::VarArray *>(u_.p);
}

detail::VarArray &Variant::ownArray()
{
    detail::VarArray &data = arrayData();
    if (data.refs.load(std::memory_order_acquire) == 1)
        return data;
    auto *copy = new detail::VarArray;
    copy->element = data.element;
    copy->bounds = data.bounds;
    copy->items = data.items;
    release();
    heap_ = true;
    u_.p = copy;
    return *copy;
}

int Variant::arrayDimensions() const
{
    return static_cast<int>(arrayData().bounds.size());
}

VarBound Variant::arrayBound(int dimension) const
{
    const detail::VarArray &data = arrayData();
    if (dimension < 1 || dimension > static_cast<int>(data.bounds.size()))
        arrayIndexError();
    return data.bounds[dimension - 1];
}

namespace {

size_t elementOffset(const detail::VarArray &data, std::span<const int> indices)
{
    if (indices.size() != data.bounds.size())
        arrayIndexError();
    size_t offset = 0, stride = 1;
    for (size_t d = 0; d < indices.size(); ++d) {
        const VarBound &b = data.bounds[d];
        if (indices[d] < b.low || indices[d] > b.high)
            arrayIndexError();
        offset += static_cast<size_t>(indices[d] - b.low) * stride;
        stride *= static_cast<size_t>(b.count());
    }
    return offset;
}

} // namespace

const Variant &Variant::arrayGet(std::span<const int> indices) const
{
    const detail::VarArray &data = arrayData();
    return data.items[elementOffset(data, indices)];
}

void Variant::arrayPut(std::span<const int> indices, const Variant &value)
{
    const detail::VarArray &shared = arrayData();
    elementOffset(shared, indices); // refuses before anything is copied
    Variant converted = shared.element == VarType::Variant ? value : varAsType(value, shared.element);
    detail::VarArray &data = ownArray();
    data.items[elementOffset(data, indices)] = std::move(converted);
}

void Variant::arrayRedim(int high)
{
    const detail::VarArray &shared = arrayData();
    const VarBound last = shared.bounds.back();
    if (high < last.low - 1)
        arrayIndexError();
    detail::VarArray &data = ownArray();
    size_t stride = 1;
    for (size_t d = 0; d + 1 < data.bounds.size(); ++d)
        stride *= static_cast<size_t>(std::max(0, data.bounds[d].count()));
    data.bounds.back().high = high;
    data.items.resize(stride * static_cast<size_t>(std::max(0, data.bounds.back().count())), zeroOf(data.element));
}

Variant &Variant::operator+=(const Variant &other)
{
    if (heap_ && isString() && (other.isString() || other.isEmpty()) &&
        u_.p->refs.load(std::memory_order_acquire) == 1) {
        static_cast<detail::VarText *>(u_.p)->text.append(other.rawString());
        if (other.type_ == VarType::OleStr)
            type_ = VarType::OleStr;
        return *this;
    }
    *this = *this + other;
    return *this;
}

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
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer:
    case VarType::Int64: return static_cast<double>(u_.i);
    case VarType::Boolean: return u_.i ? -1 : 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date: return u_.d;
    case VarType::Currency: return static_cast<double>(u_.i) / 10000.0;
    case VarType::String:
    case VarType::OleStr: return stringToDouble(rawString(), VarType::Double);
    default: castError(type_, VarType::Double);
    }
}

qint64 Variant::toInt64() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer:
    case VarType::Int64: return u_.i;
    case VarType::Boolean: return u_.i ? -1 : 0;
    case VarType::Currency: return roundHalfEven(static_cast<long double>(u_.i) / 10000.0L);
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
    case VarType::String:
    case VarType::OleStr: {
        if (isString()) {
            bool ok = false;
            const qint64 v = trimBlank(rawString()).toLongLong(&ok);
            if (ok)
                return v;
        }
        const double d = isString() ? stringToDouble(rawString(), VarType::Int64) : u_.d;
        if (!(std::fabs(d) < 9.2233720368547758e18))
            castError(type_, VarType::Int64);
        return roundHalfEven(d);
    }
    default: castError(type_, VarType::Int64);
    }
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
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean:
    case VarType::Currency: return u_.i != 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date: return u_.d != 0;
    case VarType::String:
    case VarType::OleStr: {
        bool b = false;
        if (booleanText(rawString(), b))
            return b;
        try {
            return strToFloat(rawString()) != 0;
        } catch (const ConvertError &) {
            castError(type_, VarType::Boolean);
        }
    }
    default: castError(type_, VarType::Boolean);
    }
}

QString Variant::toString() const
{
    switch (type_) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer:
    case VarType::Int64: return QString::number(u_.i);
    case VarType::Boolean: return u_.i ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Single: return floatToStrF(u_.d, FloatForm::General, 7, 0);
    case VarType::Double: return floatToStr(u_.d);
    case VarType::Currency: return floatToStr(static_cast<double>(u_.i) / 10000.0);
    case VarType::Date: return dateTimeToStr(u_.d);
    case VarType::String:
    case VarType::OleStr: return rawString();
    default: castError(type_, VarType::String);
    }
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
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer: return static_cast<int>(u_.i);
    case VarType::Int64: return u_.i;
    case VarType::Boolean: return u_.i != 0;
    case VarType::Single: return static_cast<float>(u_.d);
    case VarType::Double: return u_.d;
    case VarType::Currency: return static_cast<double>(u_.i) / 10000.0;
    case VarType::Date: return daysToDateTime(u_.d);
    case VarType::String:
    case VarType::OleStr: return rawString();
    default: return {};
    }
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
    case VarType::Single:
    case VarType::Double:
    case VarType::String:
    case VarType::OleStr: return Rank::Double;
    case VarType::Date: return Rank::Date;
    default: return Rank::Integer;
    }
}

// Arrays and automation objects take part in no arithmetic or comparison.
void refuseReferenceKinds(const Variant &a, const Variant &b)
{
    if (a.isArray() || a.isDispatch())
        castError(a.type(), VarType::Double);
    if (b.isArray() || b.isDispatch())
        castError(b.type(), VarType::Double);
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

} // namespace

Variant detail::arithmetic(const Variant &a, const Variant &b, int code)
{
    const Op op = static_cast<Op>(code);
    if (a.isNull() || b.isNull())
        return Variant::null();
    refuseReferenceKinds(a, b);
    if (op == Op::Add && (a.isString() || a.isEmpty()) && (b.isString() || b.isEmpty())) {
        if (a.isEmpty() && b.isEmpty())
            return Variant();
        if (a.type() == VarType::OleStr || b.type() == VarType::OleStr)
            return Variant::oleStr(a.rawString() + b.rawString());
        if (a.isEmpty())
            return b;
        if (b.isEmpty())
            return a;
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

namespace {

[[noreturn]] void divisionByZero(bool floating)
{
    throw VariantError(floating ? QStringLiteral("Floating point division by zero") : QStringLiteral("Division by zero"));
}

// For the logical operators: a Boolean, or the value as an integer.
void logicalOperand(const Variant &v, bool &isBool, qint64 &integer)
{
    if (v.type() == VarType::Boolean) {
        isBool = true;
        integer = v.rawInteger() ? -1 : 0;
        return;
    }
    if (v.isString()) {
        bool b = false;
        if (booleanText(v.rawString(), b)) {
            isBool = true;
            integer = b ? -1 : 0;
            return;
        }
    }
    isBool = false;
    integer = v.toInt64();
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

Variant shift(const Variant &a, const Variant &b, bool left)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    const qint64 x = a.toInt64();
    const qint64 n = b.toInt64();
    if (!Variant::fitsInt32(x) || a.type() == VarType::Int64) {
        const auto u = static_cast<std::uint64_t>(x);
        return Variant::int64(static_cast<qint64>(left ? u << (n & 63) : u >> (n & 63)));
    }
    const auto count = static_cast<std::int32_t>(n & 31);
    return Variant(left ? int32Shl(static_cast<std::int32_t>(x), count) : int32Shr(static_cast<std::int32_t>(x), count));
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

Variant varShl(const Variant &a, const Variant &b)
{
    return shift(a, b, true);
}

Variant varShr(const Variant &a, const Variant &b)
{
    return shift(a, b, false);
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
    case VarType::Smallint:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean: return integerResult(0, asInteger(a), Op::Sub);
    case VarType::Currency: return Variant::currency(-a.rawCurrency());
    case VarType::Single:
    case VarType::Double: return Variant(-a.rawDouble());
    case VarType::Date: return Variant::date(-a.rawDouble());
    case VarType::String:
    case VarType::OleStr: return Variant(-a.toDouble());
    default: castError(a.type(), VarType::Double);
    }
}

Variant varAsType(const Variant &a, VarType type)
{
    if (type == VarType::Variant || type == a.type())
        return a;
    if (type == VarType::Empty)
        return Variant();
    if (type == VarType::Null)
        return Variant::null();
    if (a.isNull() || a.isArray() || a.isDispatch())
        castError(a.type(), type);
    const auto ranged = [&](qint64 low, qint64 high) {
        const qint64 v = a.toInt64();
        if (v < low || v > high)
            castError(a.type(), type);
        return v;
    };
    switch (type) {
    case VarType::Smallint: return Variant::smallint(static_cast<std::int16_t>(ranged(INT16_MIN, INT16_MAX)));
    case VarType::Byte: return Variant::byte(static_cast<std::uint8_t>(ranged(0, UINT8_MAX)));
    case VarType::Word: return Variant::word(static_cast<std::uint16_t>(ranged(0, UINT16_MAX)));
    case VarType::Integer: return Variant(a.toInt());
    case VarType::Int64: return Variant::int64(a.toInt64());
    case VarType::Single: {
        const double d = a.toDouble();
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
            castError(a.type(), type);
        return Variant::single(static_cast<float>(d));
    }
    case VarType::Double: return Variant(a.toDouble());
    case VarType::Currency:
        return a.isInteger() || a.type() == VarType::Boolean ? Variant::currencyFromDouble(static_cast<double>(asInteger(a)))
                                                              : Variant::currencyFromDouble(a.toDouble());
    case VarType::Date:
        if (a.isString()) {
            try {
                return Variant::date(strToDateTime(a.rawString()));
            } catch (const ConvertError &) {
                castError(a.type(), type);
            }
        }
        return Variant::date(a.toDouble());
    case VarType::Boolean: return Variant(a.toBool());
    case VarType::String: return Variant(fromCp1251(toCp1251(a.toString())));
    case VarType::OleStr: return Variant::oleStr(a.toString());
    default: castError(a.type(), type);
    }
}

VarRelation varCompareSlow(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull() ? VarRelation::Equal : VarRelation::NotEqual;
    refuseReferenceKinds(a, b);
    const bool aText = a.isString() || a.isEmpty();
    const bool bText = b.isString() || b.isEmpty();
    if (aText && bText) {
        const int c = a.rawString().compare(b.rawString());
        return c < 0 ? VarRelation::Less : c > 0 ? VarRelation::Greater : VarRelation::Equal;
    }
    if (rankOf(a) == Rank::Integer && rankOf(b) == Rank::Integer) {
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

std::int32_t int32Div(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        divisionByZero(false);
    if (b == -1 && a == INT32_MIN)
        throw VariantError(QStringLiteral("Integer overflow"));
    return a / b;
}

std::int32_t int32Mod(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        divisionByZero(false);
    if (b == -1)
        return 0;
    return a % b;
}

} // namespace platform
