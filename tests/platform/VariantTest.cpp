// The variant's rules: result kinds of arithmetic, null and empty, strings
// meeting numbers, logic, comparisons and the conversions that fail.

#include "platform/Environment.h"
#include "platform/Variant.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

// What an operation gave: its kind and its text.
struct Result {
    VarType type;
    const char *text;
};

void expectResult(const Variant &v, const Result &want, const std::string &what)
{
    EXPECT_EQ(static_cast<int>(v.type()), static_cast<int>(want.type)) << what;
    EXPECT_EQ(v.toString().toStdString(), want.text) << what;
}

} // namespace

TEST(Variant, ArithmeticKindsAndValues)
{
    const ScopedService<DecimalSeparator> comma(u',');
    const Variant i2(2), i3(3), big(qint64(INT32_MAX)), d15(1.5), s1(QStringLiteral("1,5")),
        sa(QStringLiteral("a")), sb(QStringLiteral("b")), yes(true), cur = Variant::currency(25000),
        day = Variant::date(45356), empty, null = Variant::null();
    using Op = std::function<Variant(const Variant &, const Variant &)>;
    const Op add = [](const Variant &a, const Variant &b) { return a + b; };
    const Op sub = [](const Variant &a, const Variant &b) { return a - b; };
    const Op mul = [](const Variant &a, const Variant &b) { return a * b; };
    const Op div = [](const Variant &a, const Variant &b) { return a / b; };
    const struct {
        const char *what;
        Op op;
        Variant a, b;
        Result want;
    } cases[] = {
        {"int + int", add, i2, i3, {VarType::Integer, "5"}},
        {"int overflow widens", add, big, i2, {VarType::Int64, "2147483649"}},
        {"int64 overflow goes float", mul, Variant(qint64(1) << 62), Variant(4), {VarType::Double, "1,84467440737096E19"}},
        {"int + float", add, i2, d15, {VarType::Double, "3,5"}},
        {"int / int is float", div, i3, i2, {VarType::Double, "1,5"}},
        {"numeric string + int", add, s1, i2, {VarType::Double, "3,5"}},
        {"string + string joins", add, sa, sb, {VarType::String, "ab"}},
        {"empty + string", add, empty, sa, {VarType::String, "a"}},
        {"empty + int", add, empty, i2, {VarType::Integer, "2"}},
        {"true counts -1", add, yes, i3, {VarType::Integer, "2"}},
        {"currency + int", add, cur, i2, {VarType::Currency, "4,5"}},
        {"currency * currency", mul, cur, cur, {VarType::Currency, "6,25"}},
        {"currency + float", add, cur, d15, {VarType::Double, "4"}},
        {"date + int stays a date", add, day, Variant(1), {VarType::Date, "06.03.2024"}},
        {"date - date is a day count", sub, Variant::date(45356.5), day, {VarType::Double, "0,5"}},
        {"date * int is float", mul, day, i2, {VarType::Double, "90712"}},
        {"null + int", add, null, i2, {VarType::Null, ""}},
        {"int - null", sub, i2, null, {VarType::Null, ""}},
        {"string / null", div, sa, null, {VarType::Null, ""}},
    };
    for (const auto &c : cases)
        expectResult(c.op(c.a, c.b), c.want, c.what);

    expectResult(varIntDiv(Variant(7), Variant(2)), {VarType::Integer, "3"}, "div");
    expectResult(varMod(Variant(7), Variant(3)), {VarType::Integer, "1"}, "mod");
    expectResult(varMod(Variant(-7), Variant(3)), {VarType::Integer, "-1"}, "mod keeps the sign of the dividend");
    expectResult(varMod(Variant(7.5), Variant(3)), {VarType::Integer, "2"}, "7.5 rounds to 8 (half to even)");
    expectResult(varMod(Variant(qint64(INT64_MIN)), Variant(-1)), {VarType::Integer, "0"}, "no trap");
    expectResult(varIntDiv(Variant(qint64(INT64_MIN)), Variant(-1)), {VarType::Double, "9,22337203685478E18"}, "no trap");
    expectResult(varNeg(Variant(5)), {VarType::Integer, "-5"}, "neg");
    expectResult(varNeg(s1), {VarType::Double, "-1,5"}, "neg string");
    expectResult(varNeg(cur), {VarType::Currency, "-2,5"}, "neg currency");
    expectResult(varNeg(null), {VarType::Null, ""}, "neg null");
}

TEST(Variant, LogicAndComparisons)
{
    const ScopedService<DecimalSeparator> point(u'.');
    expectResult(varAnd(Variant(true), Variant(false)), {VarType::Boolean, "False"}, "bool and");
    expectResult(varOr(Variant(true), Variant(false)), {VarType::Boolean, "True"}, "bool or");
    expectResult(varXor(Variant(true), Variant(true)), {VarType::Boolean, "False"}, "bool xor");
    expectResult(varAnd(Variant(6), Variant(3)), {VarType::Integer, "2"}, "bitwise and");
    expectResult(varOr(Variant(6), Variant(3)), {VarType::Integer, "7"}, "bitwise or");
    expectResult(varAnd(Variant(true), Variant(6)), {VarType::Integer, "6"}, "true is all bits");
    expectResult(varAnd(Variant(QStringLiteral("TRUE")), Variant(true)), {VarType::Boolean, "True"}, "boolean text");
    expectResult(varNot(Variant(false)), {VarType::Boolean, "True"}, "not bool");
    expectResult(varNot(Variant(0)), {VarType::Integer, "-1"}, "not int");
    expectResult(varOr(Variant::null(), Variant(true)), {VarType::Null, ""}, "null or");

    const struct {
        Variant a, b;
        VarRelation want;
    } relations[] = {
        {Variant(1), Variant(1.0), VarRelation::Equal},
        {Variant(2), Variant(10), VarRelation::Less},
        {Variant(QStringLiteral("2")), Variant(QStringLiteral("10")), VarRelation::Greater},
        {Variant(QStringLiteral("2")), Variant(10), VarRelation::Less},
        {Variant(QStringLiteral("Б")), Variant(QStringLiteral("а")), VarRelation::Less},
        {Variant(), Variant(0), VarRelation::Equal},
        {Variant(), Variant(QString()), VarRelation::Equal},
        {Variant::null(), Variant::null(), VarRelation::Equal},
        {Variant::null(), Variant(0), VarRelation::NotEqual},
        {Variant(QString()), Variant::null(), VarRelation::NotEqual},
        {Variant::currency(15000), Variant(1.5), VarRelation::Equal},
        {Variant::date(2), Variant(1), VarRelation::Greater},
        {Variant(true), Variant(-1), VarRelation::Equal},
    };
    for (const auto &r : relations)
        EXPECT_EQ(static_cast<int>(varCompare(r.a, r.b)), static_cast<int>(r.want))
            << r.a.toString().toStdString() << " ? " << r.b.toString().toStdString();
    EXPECT_TRUE(Variant::null() != Variant(0));
    EXPECT_FALSE(Variant::null() < Variant(0));
    EXPECT_FALSE(Variant::null() >= Variant(0));
}

TEST(Variant, ConversionsAndTheirErrors)
{
    const ScopedService<DecimalSeparator> comma(u',');
    EXPECT_EQ(Variant(QStringLiteral(" 2,5 ")).toDouble(), 2.5);
    EXPECT_EQ(Variant(QStringLiteral("false")).toDouble(), 0);
    EXPECT_EQ(Variant(2.5).toInt64(), 2);
    EXPECT_EQ(Variant(3.5).toInt64(), 4);
    EXPECT_EQ(Variant(QStringLiteral("12")).toInt(), 12);
    EXPECT_EQ(Variant(QStringLiteral("2,5")).toInt(), 2);
    EXPECT_EQ(Variant(true).toInt(), -1);
    EXPECT_EQ(Variant::currencyFromDouble(1.23456).rawCurrency(), 12346);
    EXPECT_TRUE(Variant(QStringLiteral("True")).toBool());
    EXPECT_TRUE(Variant(QStringLiteral("0,5")).toBool());
    EXPECT_FALSE(Variant().toBool());
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), QStringLiteral("0,3"));
    EXPECT_EQ(Variant::date(45356.25).toString(), QStringLiteral("05.03.2024 6:00:00"));
    EXPECT_EQ(Variant::null().toString(), QString());

    const struct {
        std::function<void()> convert;
        const char *message;
    } errors[] = {
        {[] { Variant(QStringLiteral("abc")).toDouble(); }, "(String) в тип (Double)"},
        {[] { Variant::null().toDouble(); }, "(Null) в тип (Double)"},
        {[] { Variant::null().toBool(); }, "(Null) в тип (Boolean)"},
        {[] { Variant(QStringLiteral("x")).toBool(); }, "(String) в тип (Boolean)"},
        {[] { Variant(qint64(1) << 40).toInt(); }, "(Int64) в тип (Integer)"},
        {[] { Variant(1e300).toInt64(); }, "(Double) в тип (Int64)"},
        {[] { Variant(QStringLiteral("a")) - Variant(1); }, "(String) в тип (Double)"},
        {[] { Variant::currencyFromDouble(1e300); }, "(Double) в тип (Currency)"},
    };
    for (const auto &e : errors) {
        try {
            e.convert();
            ADD_FAILURE() << e.message << ": no error";
        } catch (const VariantError &error) {
            EXPECT_EQ(error.message(),
                      QStringLiteral("Не возможности преобразовать тип variant ") + QString::fromUtf8(e.message));
        }
    }
    EXPECT_THROW(Variant(1) / Variant(0), VariantError);
    EXPECT_THROW(varMod(Variant(1), Variant(0)), VariantError);
}

TEST(Variant, ExchangeWithQtValues)
{
    const Variant d = Variant::fromQVariant(QDate(2024, 3, 5));
    EXPECT_EQ(d.type(), VarType::Date);
    EXPECT_EQ(d.rawDouble(), 45356);
    EXPECT_EQ(d.toQVariant().toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    EXPECT_TRUE(Variant::fromQVariant(QVariant()).isNull());
    EXPECT_EQ(Variant::fromQVariant(QVariant(qint64(5))).type(), VarType::Integer);
    EXPECT_EQ(Variant::fromQVariant(QVariant(QStringLiteral("x"))).rawString(), QStringLiteral("x"));
    EXPECT_EQ(Variant(7).toQVariant(), QVariant(7));
}

TEST(Variant, KindNumbersAndLayout)
{
    const ScopedService<DecimalSeparator> comma(u',');
    EXPECT_EQ(sizeof(Variant), 16u);
    const VarBound one[] = {{0, 1}};
    const struct {
        Variant value;
        int code;
        const char *text;
    } kinds[] = {
        {Variant(), 0, ""},
        {Variant::null(), 1, ""},
        {Variant::smallint(-5), 2, "-5"},
        {Variant(7), 3, "7"},
        {Variant::single(0.1f), 4, "0,1"},
        {Variant(0.1), 5, "0,1"},
        {Variant::currency(12345), 6, "1,2345"},
        {Variant::date(2), 7, "01.01.1900"},
        {Variant::oleStr(QStringLiteral("ы")), 8, "ы"},
        {Variant(true), 11, "True"},
        {Variant::byte(200), 17, "200"},
        {Variant::word(60000), 18, "60000"},
        {Variant::int64(5), 20, "5"},
        {Variant(qint64(1) << 40), 20, "1099511627776"},
        {Variant(QStringLiteral("s")), 256, "s"},
        {Variant::array(one), 8192 + 12, nullptr},
        {Variant::array(one, VarType::Integer), 8192 + 3, nullptr},
    };
    for (const auto &k : kinds) {
        EXPECT_EQ(static_cast<int>(k.value.type()), k.code) << k.code;
        if (k.text)
            EXPECT_EQ(k.value.toString().toStdString(), k.text) << k.code;
    }
    // The script constant nil is the byte 0; it compares equal to 0.
    EXPECT_EQ(Variant::byte(0), Variant(0));
}

// Null, strings meeting numbers, overflow, division and shifts: one table of
// what each operation gives or raises.
TEST(Variant, DecisionTable)
{
    const ScopedService<DecimalSeparator> comma(u',');
    using Op = std::function<Variant(const Variant &, const Variant &)>;
    const Op add = [](const Variant &a, const Variant &b) { return a + b; };
    const Op sub = [](const Variant &a, const Variant &b) { return a - b; };
    const Op mul = [](const Variant &a, const Variant &b) { return a * b; };
    const Op fdiv = [](const Variant &a, const Variant &b) { return a / b; };
    const Op idiv = varIntDiv, mod = varMod, shl = varShl, shr = varShr, band = varAnd, bor = varOr, bxor = varXor;
    const Variant null = Variant::null(), s15(QStringLiteral("1,5")), sa(QStringLiteral("a")),
        w = Variant::oleStr(QStringLiteral("ы")), big(INT32_MAX), small(INT32_MIN), top = Variant::int64(INT64_MAX);
    const VarBound one[] = {{0, 0}};
    const Variant arr = Variant::array(one);
    const struct {
        const char *what;
        Op op;
        Variant a, b;
        VarType type; // Empty with error: raises
        const char *text;
    } cases[] = {
        // Null meets anything: null; the comparisons are below.
        {"null + 1", add, null, Variant(1), VarType::Null, ""},
        {"'a' * null", mul, sa, null, VarType::Null, ""},
        {"null / 0", fdiv, null, Variant(0), VarType::Null, ""},
        {"1 div null", idiv, Variant(1), null, VarType::Null, ""},
        {"null mod 0", mod, null, Variant(0), VarType::Null, ""},
        {"null shl 1", shl, null, Variant(1), VarType::Null, ""},
        {"true and null", band, Variant(true), null, VarType::Null, ""},
        {"null xor 1", bxor, null, Variant(1), VarType::Null, ""},
        // Strings meeting numbers are read as numbers.
        {"'1,5' + 1", add, s15, Variant(1), VarType::Double, "2,5"},
        {"1 - '1,5'", sub, Variant(1), s15, VarType::Double, "-0,5"},
        {"'2' * '3'", mul, Variant(QStringLiteral("2")), Variant(QStringLiteral("3")), VarType::Double, "6"},
        {"'a' + 1", add, sa, Variant(1), VarType::Empty, "(String) в тип (Double)"},
        {"string + wide string", add, sa, w, VarType::OleStr, "aы"},
        {"byte + word is Integer", add, Variant::byte(200), Variant::word(100), VarType::Integer, "300"},
        {"single + int is Double", add, Variant::single(0.5f), Variant(1), VarType::Double, "1,5"},
        {"true or 2", bor, Variant(true), Variant(2), VarType::Integer, "-1"},
        // Overflow widens: Integer to Int64 to Double.
        {"max + 1", add, big, Variant(1), VarType::Int64, "2147483648"},
        {"min - 1", sub, small, Variant(1), VarType::Int64, "-2147483649"},
        {"max * max", mul, big, big, VarType::Int64, "4611686014132420609"},
        {"int64 max + 1", add, top, Variant(1), VarType::Double, "9,22337203685478E18"},
        {"Int64 result that fits is Integer", sub, top, Variant::int64(INT64_MAX - 3), VarType::Integer, "3"},
        // Division.
        {"7 / 2", fdiv, Variant(7), Variant(2), VarType::Double, "3,5"},
        {"1 / 0", fdiv, Variant(1), Variant(0), VarType::Empty, "Floating point division by zero"},
        {"1 div 0", idiv, Variant(1), Variant(0), VarType::Empty, "Division by zero"},
        {"1 mod 0", mod, Variant(1), Variant(0), VarType::Empty, "Division by zero"},
        {"-7 div 2", idiv, Variant(-7), Variant(2), VarType::Integer, "-3"},
        {"min div -1 widens", idiv, small, Variant(-1), VarType::Int64, "2147483648"},
        {"min mod -1", mod, small, Variant(-1), VarType::Integer, "0"},
        // Shifts: the count modulo the width.
        {"1 shl 31", shl, Variant(1), Variant(31), VarType::Integer, "-2147483648"},
        {"1 shl 32", shl, Variant(1), Variant(32), VarType::Integer, "1"},
        {"1 shl 33", shl, Variant(1), Variant(33), VarType::Integer, "2"},
        {"-1 shr 28", shr, Variant(-1), Variant(28), VarType::Integer, "15"},
        {"Int64 1 shl 40", shl, Variant::int64(1), Variant(40), VarType::Int64, "1099511627776"},
        {"Int64 1 shl 64", shl, Variant::int64(1), Variant(64), VarType::Int64, "1"},
        // Arrays take part in no arithmetic.
        {"array + 1", add, arr, Variant(1), VarType::Empty, "(Array Variant) в тип (Double)"},
    };
    for (const auto &c : cases) {
        try {
            const Variant r = c.op(c.a, c.b);
            EXPECT_NE(c.type, VarType::Empty) << c.what << ": no error";
            EXPECT_EQ(static_cast<int>(r.type()), static_cast<int>(c.type)) << c.what;
            EXPECT_EQ(r.toString().toStdString(), c.text) << c.what;
        } catch (const VariantError &e) {
            EXPECT_EQ(c.type, VarType::Empty) << c.what << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().endsWith(QString::fromUtf8(c.text))) << c.what << ": " << e.message().toStdString();
        }
    }

    const struct {
        Variant a, b;
        VarRelation want;
    } relations[] = {
        {null, null, VarRelation::Equal},
        {null, Variant(), VarRelation::NotEqual},
        {Variant(1), null, VarRelation::NotEqual},
        {Variant(QStringLiteral("10")), Variant(QStringLiteral("9")), VarRelation::Less},
        {Variant(QStringLiteral("10")), Variant(9), VarRelation::Greater},
        {s15, Variant(1.5), VarRelation::Equal},
        {Variant::oleStr(QStringLiteral("a")), sa, VarRelation::Equal},
        {Variant::int64(INT64_MAX), Variant::int64(INT64_MAX - 1), VarRelation::Greater},
        {Variant::byte(255), Variant::smallint(-1), VarRelation::Greater},
        {Variant(std::nan("")), Variant(1.0), VarRelation::NotEqual},
    };
    for (const auto &r : relations)
        EXPECT_EQ(static_cast<int>(varCompare(r.a, r.b)), static_cast<int>(r.want))
            << r.a.toString().toStdString() << " ? " << r.b.toString().toStdString();

    // The script engine's typed 32-bit paths wrap and raise without undefined
    // behaviour.
    EXPECT_EQ(int32Add(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(int32Sub(INT32_MIN, 1), INT32_MAX);
    EXPECT_EQ(int32Mul(65536, 65536), 0);
    EXPECT_EQ(int32Shl(1, 32), 1);
    EXPECT_EQ(int32Shr(-1, 31), 1);
    EXPECT_EQ(int32Div(-7, 2), -3);
    EXPECT_EQ(int32Mod(INT32_MIN, -1), 0);
    EXPECT_THROW(int32Div(1, 0), VariantError);
    EXPECT_THROW(int32Mod(1, 0), VariantError);
    try {
        int32Div(INT32_MIN, -1);
        ADD_FAILURE() << "no overflow";
    } catch (const VariantError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Integer overflow"));
    }
}

TEST(Variant, StringsAreSharedAndGrowInPlace)
{
    Variant s(QStringLiteral("ab"));
    const Variant copy = s;
    s += Variant(QStringLiteral("c"));
    EXPECT_EQ(copy.rawString(), QStringLiteral("ab")) << "a copy keeps its value";
    EXPECT_EQ(s.rawString(), QStringLiteral("abc"));
    // Unshared now: the same text grows.
    const QString *text = &s.rawString();
    s = std::move(s) + Variant(QStringLiteral("d"));
    EXPECT_EQ(&s.rawString(), text);
    EXPECT_EQ(s.rawString(), QStringLiteral("abcd"));
    EXPECT_EQ(s.type(), VarType::String);
    // A number joined to a string is still addition.
    Variant n(QStringLiteral("2"));
    n += Variant(3);
    EXPECT_EQ(n.type(), VarType::Double);
    EXPECT_EQ(n.toInt(), 5);
    // Narrowing to the 8-bit kind keeps what the code page holds.
    EXPECT_EQ(varAsType(Variant::oleStr(QStringLiteral("aы€✓")), VarType::String).rawString(), QStringLiteral("aы€?"));
}

TEST(Variant, ThreeDimensionalArrays)
{
    const VarBound bounds[] = {{0, 1}, {1, 3}, {-1, 0}};
    Variant a = Variant::array(bounds);
    ASSERT_EQ(a.arrayDimensions(), 3);
    EXPECT_EQ(a.arrayBound(2).low, 1);
    EXPECT_EQ(a.arrayBound(2).high, 3);
    for (int i = 0; i <= 1; ++i)
        for (int j = 1; j <= 3; ++j)
            for (int k = -1; k <= 0; ++k) {
                const int at[] = {i, j, k};
                EXPECT_TRUE(a.arrayGet(at).isEmpty());
                a.arrayPut(at, Variant(i * 100 + j * 10 + k));
            }
    const int corner[] = {1, 3, -1};
    EXPECT_EQ(a.arrayGet(corner).toInt(), 129);

    // Arrays are values: a copy is not changed by a write to the original.
    const Variant copy = a;
    a.arrayPut(corner, Variant(QStringLiteral("x")));
    EXPECT_EQ(copy.arrayGet(corner).toInt(), 129);
    EXPECT_EQ(a.arrayGet(corner).rawString(), QStringLiteral("x"));

    // The last dimension grows and keeps what it held.
    a.arrayRedim(2);
    const int kept[] = {0, 2, 0}, added[] = {1, 3, 2};
    EXPECT_EQ(a.arrayGet(kept).toInt(), 20);
    EXPECT_TRUE(a.arrayGet(added).isEmpty());

    const int outside[] = {2, 1, 0}, tooFew[] = {0, 1};
    EXPECT_THROW(a.arrayGet(outside), VariantError);
    EXPECT_THROW(a.arrayGet(tooFew), VariantError);
    EXPECT_THROW(Variant(1).arrayDimensions(), VariantError);

    // An array of Integer elements converts what it is given.
    const VarBound line[] = {{0, 2}};
    Variant ints = Variant::array(line, VarType::Integer);
    const int first[] = {0}, second[] = {1};
    EXPECT_EQ(ints.arrayGet(first).type(), VarType::Integer);
    ints.arrayPut(second, Variant(QStringLiteral("12")));
    EXPECT_EQ(ints.arrayGet(second).type(), VarType::Integer);
    EXPECT_EQ(ints.arrayGet(second).toInt(), 12);
    EXPECT_THROW(ints.arrayPut(second, Variant(QStringLiteral("x"))), VariantError);
}
