// The language registry, the engine's messages, and the small tools:
// literal tokens, position texts, routine headings, Format's arguments.

#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/TextFormat.h"
#include "script/Languages.h"
#include "script/ScriptError.h"
#include "script/ScriptTools.h"

#include <gtest/gtest.h>

using namespace script;
using platform::Variant;
using platform::VarType;

TEST(Languages, BuiltInLanguagesInTheirOrderAndReplacementKeepsOneEntry)
{
    RegisterBuiltInLanguages();
    const QStringList builtIn = {QStringLiteral("JScript"), QStringLiteral("ZoridEdodud"), QStringLiteral("D++Eviviz"),
                                 QStringLiteral("PascalScript")};
    // Other languages may have been registered before.
    qsizetype previous = -1;
    for (const QString &name : builtIn) {
        const qsizetype at = LanguageNames().indexOf(name);
        EXPECT_GT(at, previous) << name.toStdString();
        previous = at;
    }
    const QByteArray pascal = GetLanguageGrammar(QStringLiteral("PASCALSCRIPT"));
    EXPECT_TRUE(pascal.startsWith("<?xml version=\"1.0\"?><language text=\"PascalScript\">"));

    const qsizetype count = LanguageNames().size();
    AddLanguage(QStringLiteral("pascalscript"), "<?xml?><language/>");
    EXPECT_EQ(LanguageNames().size(), count);
    EXPECT_EQ(GetLanguageGrammar(QStringLiteral("PascalScript")), QByteArray("<?xml?><language/>"));
    RegisterBuiltInLanguages();
    EXPECT_EQ(GetLanguageGrammar(QStringLiteral("PascalScript")), pascal);
}

TEST(Languages, UnknownLanguageIsNamedAsGiven)
{
    try {
        GetLanguageGrammar(QStringLiteral("Cobol"));
        FAIL();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Language 'Cobol' not found"));
    }
    // A replaced message text is the one raised.
    SLangNotFound = QStringLiteral("Мову '%s' не знайдено");
    try {
        GetLanguageGrammar(QStringLiteral("Cobol"));
        FAIL();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Мову 'Cobol' не знайдено"));
    }
    ResetScriptMessages();
    EXPECT_EQ(SIdUndeclared, QStringLiteral("Undeclared identifier: "));
}

TEST(ScriptTools, ParseLiteral)
{
    platform::ScopedService<platform::DecimalSeparator> comma(platform::DecimalSeparator(u','));
    struct Row {
        const char *token;
        VarType type;
        Variant value;
    } rows[] = {
        {"'''", VarType::String, Variant(QStringLiteral("'"))}, // the lexer's token of ''''
        {"'it's'", VarType::String, Variant(QStringLiteral("it's"))},
        {"''", VarType::String, Variant(QString())},
        {"$FF", VarType::Integer, Variant(255)},
        {"2147483647", VarType::Integer, Variant(2147483647)},
        {"3000000000", VarType::Int64, Variant(qint64(3000000000))},
        {"-5", VarType::Integer, Variant(-5)},
        {"1.5", VarType::Double, Variant(1.5)},
        {"1.5E3", VarType::Double, Variant(1500.0)},
    };
    for (const Row &row : rows) {
        const Variant v = ParseLiteral(row.token);
        EXPECT_EQ(v.type(), row.type) << row.token;
        EXPECT_TRUE(v == row.value) << row.token;
    }
    EXPECT_TRUE(ParseLiteral("").isNull());
    EXPECT_THROW(ParseLiteral("abc"), platform::ConvertError);
}

TEST(ScriptTools, ParsePositionText)
{
    EXPECT_EQ(ParsePositionText("3:14"), QPoint(14, 3));
    EXPECT_EQ(ParsePositionText(""), QPoint(0, 0));
    EXPECT_THROW(ParsePositionText("x:1"), platform::ConvertError);
}

TEST(ScriptTools, ParseMethodDeclaration)
{
    // The names the script knows: types and two constants.
    const FindName find = [](const QByteArray &name) -> std::optional<FoundName> {
        const QByteArray n = name.toLower();
        if (n == "integer")
            return FoundName{0, Variant()};
        if (n == "string")
            return FoundName{4, Variant()};
        if (n == "true")
            return FoundName{1, Variant(true)};
        if (n == "nil")
            return FoundName{7, Variant(0)};
        return std::nullopt;
    };
    struct Param {
        const char *name;
        int typeCode;
        bool byRef, optional;
        Variant def;
    };
    struct Row {
        const char *text;
        const char *name, *type;
        bool macro;
        std::vector<Param> params;
    } rows[] = {
        {"function F(a, b: Integer = 5): String",
         "F",
         "String",
         false,
         {{"a", 0, false, false, Variant::null()}, {"b", 0, false, true, Variant(5)}}},
        {"procedure P(var X: Integer; const S: String)",
         "P",
         "",
         false,
         {{"X", 0, true, false, Variant::null()}, {"S", 4, false, false, Variant::null()}}},
        {"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
         "IIF",
         "Variant",
         true,
         {{"Expr", 5, false, false, Variant::null()},
          {"TrueValue", 5, false, false, Variant::null()},
          {"FalseValue", 5, false, false, Variant::null()}}},
        {"procedure D(a: Integer = -1; b: String = 'x'; c: Boolean = True; d: TObject = nil; e: Integer = Unknown)",
         "D",
         "",
         false,
         {{"a", 0, false, true, Variant(-1)},
          {"b", 4, false, true, Variant(QStringLiteral("x"))},
          {"c", 5, false, true, Variant(true)},
          {"d", 5, false, true, Variant(0)},
          {"e", 0, false, false, Variant::null()}}},
        {"function Now: TDateTime", "Now", "TDateTime", false, {}},
        {"procedure Beep", "Beep", "", false, {}},
        {"procedure Bad(a, b", "Bad", "", false, {}}, // no type: the group is dropped
    };
    for (const Row &row : rows) {
        const MethodDeclaration m = ParseMethodDeclaration(row.text, find);
        EXPECT_EQ(m.Name, QByteArray(row.name)) << row.text;
        EXPECT_EQ(m.TypeName, QByteArray(row.type)) << row.text;
        EXPECT_EQ(m.IsMacro, row.macro) << row.text;
        ASSERT_EQ(m.Params.size(), row.params.size()) << row.text;
        for (size_t i = 0; i < row.params.size(); ++i) {
            const ParamDeclaration &p = m.Params[i];
            EXPECT_EQ(p.Name, QByteArray(row.params[i].name)) << row.text;
            EXPECT_EQ(p.TypeCode, row.params[i].typeCode) << row.text << " " << i;
            EXPECT_EQ(p.IsVarParam, row.params[i].byRef) << row.text << " " << i;
            EXPECT_EQ(p.IsOptional, row.params[i].optional) << row.text << " " << i;
            EXPECT_EQ(p.DefValue.type(), row.params[i].def.type()) << row.text << " " << i;
            EXPECT_TRUE(p.DefValue == row.params[i].def || p.DefValue.isNull()) << row.text << " " << i;
        }
    }
    EXPECT_EQ(ParseMethodDeclaration("function F: Integer", find).TypeCode, 0);
    EXPECT_EQ(ParseMethodDeclaration("function F: TFoo", find).TypeCode, 5);
}

TEST(ScriptTools, FormatArgumentsKeepTheirKindAndLongStringsWhole)
{
    const QString longText(300, u'ж');
    const Variant values[] = {Variant(7),           Variant(qint64(1) << 40), Variant(2.5),
                              Variant::currency(12345), Variant::date(1.25),  Variant(longText),
                              Variant(true),        Variant::null()};
    const auto args = VariantArrayToArguments(values);
    using K = platform::FormatArg::Kind;
    const K kinds[] = {K::Integer, K::Int64, K::Float, K::Float, K::Float, K::String, K::Boolean, K::Integer};
    ASSERT_EQ(args.size(), std::size(kinds));
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_EQ(args[i].kind(), kinds[i]) << i;
    EXPECT_DOUBLE_EQ(args[3].real(), 1.2345);
    EXPECT_EQ(args[7].integer(), 0);
    // Format('%s', [s]) gives the whole string.
    const platform::FormatArg one[] = {args[5]};
    EXPECT_EQ(platform::format(u"%s", one), longText);
}
