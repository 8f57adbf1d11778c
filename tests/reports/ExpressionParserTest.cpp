// The expression language through the real parser: one table of expressions
// and what they give under a decimal comma and a decimal point, the postfix
// strings, what the handlers are asked, the value stack and malformed text.

#include "ReportTestSupport.h"
#include "support/SeparatorParam.h"
#include "platform/Environment.h"
#include "platform/FormatSettings.h"
#include "reports/language/ExpressionParser.h"

#include <QStringList>

#include <gtest/gtest.h>


using namespace reports;
using platform::VarType;

namespace {

// A parser whose handlers answer a few names and record every question.
struct RecordingParser {
    Parser parser;
    QStringList asked;
    RecordingParser()
    {
        parser.OnGetValue = [this](const QString &name, Variant &value) {
            asked << QStringLiteral("value:") + name;
            if (name == u"X")
                value = Variant(10);
            else if (name == u"A")
                value = Variant(1);
            else if (name == u"B")
                value = Variant(2);
            else if (name == u"My Name")
                value = Variant(QStringLiteral("Иван"));
        };
        parser.OnFunction = [this](const QString &name, const QString &p1, const QString &p2, const QString &p3,
                                   Variant &value) {
            asked << QStringLiteral("call:%1(%2|%3|%4)").arg(name, p1, p2, p3);
            if (name == u"GETARRAY")
                value = Variant(QStringLiteral("elem ") + p2);
            else
                value = Variant(7);
        };
    }
};

class ExpressionsUnderSeparator : public testsupport::UnderSeparator {
protected:
    // "@" in an expected text stands for the decimal separator of the run.
    std::string local(const char *text) const { return UnderSeparator::local(text, '@'); }
};

} // namespace

TEST_P(ExpressionsUnderSeparator, ValuesOfEveryRule)
{
    const struct {
        const char *expression;
        VarType type;
        const char *text;
    } cases[] = {
        {"", VarType::Integer, "0"},
        {"   ", VarType::Integer, "0"},
        // either separator in numbers, whatever the locale's
        {"1,5 + 1", VarType::Double, "2@5"},
        {"1.5 + 1", VarType::Double, "2@5"},
        {".5", VarType::Double, "0@5"},
        // operator levels: * / MOD AND OR NOT bind tighter than + -, which bind
        // tighter than comparisons; equal levels group from the left
        {"1 + 2 * 3", VarType::Double, "7"},
        {"(1 + 2) * 3", VarType::Double, "9"},
        {"2 - 3 - 4", VarType::Double, "-5"},
        {"8 / 2 / 2", VarType::Double, "2"},
        {"2 + 3 > 4", VarType::Integer, "1"},
        {"a = 1 AND b = 2", VarType::Integer, "0"}, // a = (1 AND b) = 2
        {"(a = 1) AND (b = 2)", VarType::Integer, "1"},
        {"6 AND 3", VarType::Integer, "2"},
        {"4 OR 1", VarType::Integer, "5"},
        {"-2 * 3", VarType::Double, "-6"},
        {"-(2 + 3)", VarType::Double, "-5"},
        {"+5", VarType::Double, "5"},
        // a sign after an operator belongs to the operand that follows
        {"2*-1", VarType::Double, "-2"},
        {"3 + -2", VarType::Double, "1"},
        {"2 - -1", VarType::Double, "3"},
        {"NOT -1", VarType::Integer, "0"},
        {"2 * -1 + 3", VarType::Double, "1"},
        {"6 / +2", VarType::Double, "3"},
        {"- -2", VarType::Double, "2"},
        {"1 AND NOT 0", VarType::Integer, "1"},
        {"ABS -3", VarType::Double, "3"},
        // division by zero gives the integer 0
        {"10 / 0", VarType::Integer, "0"},
        {"10 / 4", VarType::Double, "2@5"},
        {"7 MOD 3", VarType::Integer, "1"},
        {"7 mod 3", VarType::Integer, "1"},
        // comparisons and NOT give 1 and 0, never Booleans
        {"NOT 0", VarType::Integer, "1"},
        {"NOT 5", VarType::Integer, "0"},
        {"3 > 2", VarType::Integer, "1"},
        {"3 < 2", VarType::Integer, "0"},
        {"2 >= 2", VarType::Integer, "1"},
        {"2 <= 1", VarType::Integer, "0"},
        {"2 <> 2", VarType::Integer, "0"},
        {"'a' = 'a'", VarType::Integer, "1"},
        {"'b' > 'a'", VarType::Integer, "1"},
        // the unary functions, with the 1e-10 snap and rounding half to even
        {"INT(2.99999999999)", VarType::Double, "3"},
        {"INT(2.9999)", VarType::Double, "2"},
        {"INT(-2.5)", VarType::Double, "-2"},
        {"FRAC(1.00000000001)", VarType::Double, "0"},
        {"FRAC(2.75)", VarType::Double, "0@75"},
        {"ROUND(2.5)", VarType::Double, "2"},
        {"ROUND(3.5)", VarType::Double, "4"},
        {"ROUND(-2.5)", VarType::Double, "-2"},
        {"ROUND(X * 100) / 100", VarType::Double, "10"},
        {"ABS(-3)", VarType::Double, "3"},
        {"ARCTAN(1) * 4", VarType::Double, "3@14159265358979"},
        {"STR(12) + 'x'", VarType::String, "12x"},
        {"STR(1,5)", VarType::String, "1@5"},
        // literals and Booleans
        {"'It''s'", VarType::String, "It's"},
        {"'a' + 'b'", VarType::String, "ab"},
        {"'1' + 2", VarType::Double, "3"},
        {"TRUE", VarType::Boolean, "True"},
        {"false", VarType::Boolean, "False"},
        // names: plain ones upper-cased, bracketed ones as written
        {"x * 2", VarType::Double, "20"},
        {"[My Name]", VarType::String, "Иван"},
        {"[my name]", VarType::Null, ""},
        {"unknown", VarType::Null, ""},
        // the built-in calls
        {"IF(1, 'a', 'b')", VarType::String, "a"},
        {"IF(0, 1/0 + X, 2)", VarType::Double, "2"},
        {"IF(2 > 1, X, 0)", VarType::Integer, "10"},
        {"COPY('abcdef', 2, 3)", VarType::String, "bcd"},
        {"COPY('abc', 5, 2)", VarType::String, ""},
        {"COPY('abc', 0, 2)", VarType::String, "a"},
        {"COPY('abc', 2, 99)", VarType::String, "bc"},
        {"STRTODATE('05.03.2024')", VarType::Date, "05.03.2024"},
        {"STRTOTIME('12:30')", VarType::Date, "30.12.1899 12:30:00"},
        // calls and elements the handler answers
        {"MyFunc(1, 'a') + 1", VarType::Double, "8"},
        {"Arr[3]", VarType::String, "elem 3"},
        // a closing parenthesis without an opening one is passed over; ";" ends
        {"1) + 2", VarType::Double, "3"},
        {"1 + 2 ; nonsense (", VarType::Double, "3"},
        {"(1 + 2", VarType::Double, "3"},
    };
    for (const auto &c : cases) {
        RecordingParser p;
        const Variant v = p.parser.Calc(QString::fromUtf8(c.expression));
        EXPECT_EQ(static_cast<int>(v.type()), static_cast<int>(c.type)) << c.expression;
        EXPECT_EQ(v.toString().toStdString(), local(c.text)) << c.expression;
        if (QString::fromUtf8(c.expression).startsWith(u"IF(0")) {
            EXPECT_EQ(p.asked, QStringList()) << "the branch not taken is not evaluated";
        }
    }
}

TEST_P(ExpressionsUnderSeparator, ErrorsLeaveCalc)
{
    const struct {
        const char *expression;
        const char *message;
    } cases[] = {
        {"'abc' - 1", "Не возможности преобразовать тип variant (String) в тип (Double)"},
        {"1,2,3 + 1", "'1@2@3' is not a valid floating point value"},
        {"1+2;5", "'2;5' is not a valid floating point value"},
        {"2 *", "Ошибка в выражении: не хватает операнда"},
        {"7 MOD 0", "Division by zero"},
        {"IF('yes', 1, 2)", "'yes' is not a valid floating point value"},
        {"COPY('abc', 'x', 1)", "'x' is not a valid integer value"},
        {"STRTODATE('31.02.2024')", "'31.02.2024' is not a valid date"},
        {"F(1, (2)", "Нет закрывающей скобки: (1, (2)"},
    };
    for (const auto &c : cases) {
        Parser parser;
        try {
            parser.Calc(QString::fromUtf8(c.expression));
            ADD_FAILURE() << c.expression << ": no error";
        } catch (const platform::ConvertError &e) {
            EXPECT_EQ(e.message().toStdString(), local(c.message)) << c.expression;
        } catch (const ParserError &e) {
            EXPECT_EQ(e.message().toStdString(), local(c.message)) << c.expression;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, ExpressionsUnderSeparator, testsupport::separators(), testsupport::separatorName);

TEST(ExpressionParser, PostfixStrings)
{
    const struct {
        const char *infix;
        QString postfix;
    } cases[] = {
        {"ROUND(x * 100) / 100", QStringLiteral("x 100 *\x0E") + QStringLiteral("100 /")},
        {"a = 1 AND b = 2", QStringLiteral("a 1 b \x05=2 =")},
        {"-2 * 3", QStringLiteral("2 3 *\x09")},
        {"2*-1", QStringLiteral("2 1 \x09*")},
        {"NOT -1", QStringLiteral("1 \x09\x0C")},
        {"NOT 0", QStringLiteral("0 \x0C")},
        {"1 <> 2 OR 3 >= 4", QStringLiteral("1 2 3 \x04\x03") + QStringLiteral("4 \x01")},
        {"F(1, (2)) + [My Name]", QStringLiteral("F(1, (2))[My Name] +")},
        {"Arr[i + 1] * 2", QStringLiteral("Arr[i + 1] 2 *")},
        {"'It''s' + \"a b\"", QStringLiteral("'It''s' \"a b\" +")},
        {"%dSUM(X) + %x[A]", QStringLiteral("%dSUM(X)%x[A] +")},
        {"1) + 2", QStringLiteral("1 2 +")},
        {"Table.Field + 1,5", QStringLiteral("Table.Field 1,5 +")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Parser::ToPostfix(QString::fromUtf8(c.infix)), c.postfix) << c.infix;
}

TEST(ExpressionParser, WhatTheHandlersAreAsked)
{
    const platform::ScopedService<platform::DecimalSeparator> comma(u',');
    RecordingParser p;
    p.parser.Calc(QStringLiteral("[My Name] + abc + Arr[3] + F(a, 'x,y', (b, c)) + G(1, 2, 3, 4) + %dSUM(X)"));
    EXPECT_EQ(p.asked, QStringList({QStringLiteral("value:My Name"), QStringLiteral("value:ABC"),
                                    QStringLiteral("call:GETARRAY(Arr|3|)"),
                                    QStringLiteral("call:F(a|'x,y'|(b, c))"),
                                    // more than three arguments: the next-to-last takes the second slot
                                    QStringLiteral("call:G(1|3|)"), QStringLiteral("call:%DSUM(X||)")}));
}

TEST(ExpressionParser, TheStackGrowsAndAMalformedPostfixIsAnError)
{
    Parser parser;
    // 300 nested groups need 300 values at once.
    QString nested = QStringLiteral("1");
    for (int i = 0; i < 300; ++i)
        nested = QStringLiteral("1 + (") + nested + u')';
    EXPECT_EQ(parser.Calc(nested).toString(), QStringLiteral("301"));

    for (const QString &postfix : {QStringLiteral("1 * * *"), QStringLiteral("+"), QStringLiteral("\x09"),
                                   QStringLiteral("\x0E"), QStringLiteral("1 \x05")}) {
        try {
            parser.CalcPostfix(postfix);
            ADD_FAILURE() << postfix.toStdString() << ": no error";
        } catch (const ParserError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Ошибка в выражении: не хватает операнда"));
        }
    }
    // Calls inside calls evaluate their arguments anew: nesting beyond what
    // any template writes is refused, not followed down the machine's stack.
    QString calls = QStringLiteral("1");
    for (int i = 0; i < 100; ++i)
        calls = QStringLiteral("IF(1, ") + calls + QStringLiteral(", 0)");
    EXPECT_EQ(parser.Calc(calls).toString(), QStringLiteral("1"));
    for (int i = 0; i < 1000; ++i)
        calls = QStringLiteral("IF(1, ") + calls + QStringLiteral(", 0)");
    EXPECT_THROW(parser.Calc(calls), ParserError);

    // Values left over: the bottom one is the result.
    EXPECT_EQ(parser.CalcPostfix(QStringLiteral("1 2 ")).toString(), QStringLiteral("1"));
    // A call in a hand-made postfix without its ")" fails when it is reached.
    EXPECT_THROW(parser.CalcPostfix(QStringLiteral("F(1")), ParserError);
}

TEST(ExpressionParser, Scanners)
{
    qsizetype pos = 0;
    EXPECT_EQ(Parser::ReadWord(QStringLiteral("  Tab.Fld,1+2"), pos), QStringLiteral("Tab.Fld,1"));
    EXPECT_EQ(pos, 11);
    pos = 0;
    EXPECT_EQ(Parser::ReadWord(QStringLiteral("\"a + b\"*2"), pos), QStringLiteral("\"a + b\""));
    pos = 0;
    EXPECT_EQ(Parser::ReadQuoted(QStringLiteral("'a''b' + 1"), pos), QStringLiteral("'a''b'"));
    EXPECT_EQ(pos, 6);
    pos = 0;
    EXPECT_EQ(Parser::ReadQuoted(QStringLiteral("'open"), pos), QStringLiteral("'open"));
    pos = 2;
    EXPECT_EQ(ExtractBracketed(QStringLiteral("x [a[1] + ']' + \"[\"] y"), pos), QStringLiteral("a[1] + ']' + \"[\""));
    EXPECT_EQ(pos, 19);
    pos = 0;
    EXPECT_EQ(ExtractBracketed(QStringLiteral("[open"), pos), QStringLiteral("open"));
    EXPECT_EQ(pos, 5);
    pos = 1;
    const auto args = Parser::ReadArguments(QStringLiteral("F( a , 'b)' , (c, d) ) + 1"), pos);
    EXPECT_EQ(args, (std::array<QString, 3>{QStringLiteral("a"), QStringLiteral("'b)'"), QStringLiteral("(c, d)")}));
    EXPECT_EQ(pos, 22);
    pos = 1;
    EXPECT_THROW(Parser::ReadArguments(QStringLiteral("F(a, (b)"), pos), ParserError);
}
