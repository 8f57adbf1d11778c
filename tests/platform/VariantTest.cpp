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
