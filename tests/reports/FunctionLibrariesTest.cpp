// The report library's function libraries through the shared parser, as a
// report's expressions call them: every function of the standard library
// under both decimal separators, the questions it asks through the answers
// services, the database library and the catalogue the designer lists.

#include "reports/build/FunctionLibraries.h"

#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportLibrary.h"
#include "support/ScriptedAnswers.h"
#include "support/SeparatorParam.h"
#include "ReportTestSupport.h"

#include <gtest/gtest.h>

using namespace reports;
using platform::VarType;

namespace {

// The parser asks the registered libraries, as the report component does.
void startLibraries()
{
    resetRegistries();
    resetLibrary();
    RegisterStandardFunctionLibraries();
    library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
        value = library().ReportVariables.GetVariable(name);
    };
    library().ReportParser.OnFunction = [](const QString &name, const QString &p1, const QString &p2,
                                           const QString &p3, Variant &result) {
        result = Variant(QStringLiteral("0"));
        CallFunctionLibraries(name, p1, p2, p3, result);
    };
}

class LibraryFunctions : public testsupport::UnderSeparator {
protected:
    void SetUp() override
    {
        UnderSeparator::SetUp();
        startLibraries();
    }
    void TearDown() override
    {
        SetAggregateFunction({});
        SetFieldIsNullFunction({});
        resetRegistries();
        resetLibrary();
    }
};

// Answers INPUT from a script: the answer given, or a cancel (none).
class InputAnswers : public ReportDialogs {
public:
    std::optional<QString> answer;
    QString askedCaption = QStringLiteral("?"), askedPrompt, preset;
    int asked = 0;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override
    {
        ++asked;
        askedCaption = caption;
        askedPrompt = prompt;
        preset = value;
        if (!answer)
            return false;
        value = *answer;
        return true;
    }
};

} // namespace

TEST_P(LibraryFunctions, EveryFunctionOfTheStandardLibrary)
{
    const struct {
        const char *expression;
        VarType type;
        const char *text; // "@": the decimal separator of the run, "~" its thousands separator
    } cases[] = {
        {"MAXNUM(2, 2)", VarType::Double, "2"},
        {"MINNUM(2, 2)", VarType::Double, "2"},
        {"MAXNUM('10', '9')", VarType::String, "9"}, // texts compare as texts
        {"MINNUM('10', '9')", VarType::String, "10"},
        {"MAXNUM(10, 9)", VarType::Double, "10"},
        {"MINNUM(-3 / 2, 3)", VarType::Double, "-1@5"},
        {"POS('z', 'abc')", VarType::Integer, "0"},
        {"POS('bc', 'abcbc')", VarType::Integer, "2"},
        {"NAMECASE('иВАНОВ')", VarType::String, "Иванов"},
        {"NAMECASE('')", VarType::String, ""},
        {"LENGTH('Тверь')", VarType::Integer, "5"},
        {"LOWERCASE('ГОРОД Тверь')", VarType::String, "город тверь"},
        {"UPPERCASE('ёлки Street')", VarType::String, "ЁЛКИ STREET"},
        {"TRIM('\t участок \r')", VarType::String, "участок"},
        {"DAYOF(36104)", VarType::Integer, "5"},
        {"MONTHOF(36104 + 3 / 4)", VarType::Integer, "11"},
        {"YEAROF(36104)", VarType::Integer, "1998"},
        {"DAYOF(STRTODATE('31.12.2001'))", VarType::Integer, "31"},
        {"FORMATDATETIME('dd.mm.yyyy hh:nn', 36104 + 1 / 2)", VarType::String, "05.11.1998 12:00"},
        {"FORMATFLOAT('0.00', 5 / 2)", VarType::String, "2@50"},
        {"FORMATFLOAT('#,##0.0', 1234567)", VarType::String, "1~234~567@0"},
        {"FORMATTEXT('000-000', '123456')", VarType::String, "123-456"},
        {"FORMATTEXT('(00) 00', '12')", VarType::String, "(12)   "},
        // The aggregates are the band runtime's; without it they stay "0".
        {"SUM(1, Band1)", VarType::String, "0"},
        {"COUNT(Band1)", VarType::String, "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expression);
        const Variant v = library().ReportParser.Calc(QString::fromUtf8(c.expression));
        EXPECT_EQ(v.type(), c.type);
        const QChar thousands = GetParam() == u',' ? QChar(0xA0) : QChar(u',');
        EXPECT_EQ(valueText(v), QString::fromUtf8(local(c.text, '@')).replace(u'~', thousands));
    }
}

TEST_P(LibraryFunctions, InputAsksOnceAndACancelGivesThePreset)
{
    InputAnswers input;
    const platform::ScopedService<ReportDialogs> dialogs(input);
    EXPECT_EQ(library().ReportParser.Calc(QStringLiteral("INPUT('Номер' + ' участка', 'б/н')")).toString(), "б/н");
    EXPECT_EQ(input.asked, 1);
    EXPECT_EQ(input.askedCaption, "");
    EXPECT_EQ(input.askedPrompt, "Номер участка");
    EXPECT_EQ(input.preset, "б/н");

    input.answer = QStringLiteral("12");
    EXPECT_EQ(library().ReportParser.Calc(QStringLiteral("INPUT('Номер') + '!'")).toString(), "12!");
    EXPECT_EQ(input.asked, 2);
    EXPECT_EQ(input.preset, "");
}

TEST_P(LibraryFunctions, MessageBoxNumbersItsButtons)
{
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrYes).reply(platform::mrCancel).reply(platform::mrOk);
    const struct {
        const char *expression;
        int result;
        platform::MsgType type;
        unsigned buttons;
    } cases[] = {
        {"MESSAGEBOX('Удалить?', 'Вопрос', mb_YesNo + mb_IconQuestion)", 6, platform::MsgType::Confirmation,
         platform::mbYesNo},
        {"MESSAGEBOX('Дальше?', '', mb_OkCancel + mb_IconWarning)", 2, platform::MsgType::Warning,
         platform::mbOKCancel},
        {"MESSAGEBOX('Готово', '', mb_Ok)", 1, platform::MsgType::Custom, platform::mbOK},
    };
    std::size_t i = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expression);
        // The constants are the interpreter's; the parser reads them here as the report does.
        QString expression = QString::fromUtf8(c.expression);
        for (const char *name : {"mb_YesNo", "mb_IconQuestion", "mb_OkCancel", "mb_IconWarning", "mb_Ok"})
            expression.replace(QString::fromLatin1(name),
                               valueText(library().ScriptConstants.GetVariable(QString::fromLatin1(name))));
        EXPECT_EQ(library().ReportParser.Calc(expression).toInt(), c.result);
        ASSERT_EQ(answers.messages().size(), ++i);
        EXPECT_EQ(answers.messages().back().type, c.type);
        EXPECT_EQ(answers.messages().back().buttons, c.buttons);
    }
    EXPECT_EQ(answers.messages().front().text, "Удалить?");
}

TEST_P(LibraryFunctions, AggregatesGoToTheBandRuntime)
{
    QStringList asked;
    SetAggregateFunction([&](int kind, const QString &p1, const QString &p2, const QString &p3, Variant &result) {
        asked << QStringLiteral("%1:%2:%3:%4:%5").arg(kind).arg(p1, p2, p3, result.toString());
        result = Variant(6);
    });
    for (const char *e : {"SUM([Цена], Band1)", "MIN(1)", "MAX(1)", "AVG(x, B, 1)", "COUNT(Band1, 1)"})
        EXPECT_EQ(library().ReportParser.Calc(QString::fromUtf8(e)).toInt(), 6) << e;
    EXPECT_EQ(asked, QStringList({"11:[Цена]:Band1::0", "12:1:::0", "13:1:::0", "14:x:B:1:0", "15:Band1:1::0"}));
}

TEST_P(LibraryFunctions, FieldIsNullTakesTheArgumentsValueAsTheReference)
{
    QStringList asked;
    SetFieldIsNullFunction([&](const QString &reference) {
        asked << reference;
        return reference == "Участки.\"Площадь\"";
    });
    library().ReportVariables.SetVariable(QStringLiteral("ПОЛЕ"), Variant(QStringLiteral("Участки.Номер")));
    EXPECT_TRUE(library().ReportParser.Calc(QStringLiteral("FIELDISNULL('Участки.\"Площадь\"')")).toBool());
    EXPECT_FALSE(library().ReportParser.Calc(QStringLiteral("FIELDISNULL(ПОЛЕ)")).toBool());
    EXPECT_EQ(asked, QStringList({"Участки.\"Площадь\"", "Участки.Номер"}));

    // Without a data dictionary no reference finds a data set.
    SetFieldIsNullFunction({});
    EXPECT_TRUE(library().ReportParser.Calc(QStringLiteral("FIELDISNULL('Участки.Номер')")).toBool());
}

INSTANTIATE_TEST_SUITE_P(Separators, LibraryFunctions, testsupport::separators(), testsupport::separatorName);

TEST(FunctionCatalogue, CategoriesAndSortedLists)
{
    startLibraries();
    EXPECT_EQ(GetCategoryList(), QStringList({"Агрегатные", "Арифметические", "Базы данных", "Дата и время",
                                              "Интерпретатор", "Логические", "Отчет", "Прочие", "Строковые"}));
    const QStringList all = GetFunctionList(QString::fromUtf16(kAllFunctions));
    EXPECT_EQ(all.size(), 67);
    QStringList sorted = all;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(all, sorted);
    EXPECT_EQ(all.front(), "AND");
    EXPECT_TRUE(all.contains("FIELDISNULL"));
    EXPECT_EQ(GetFunctionList(QStringLiteral("агрегатные")), QStringList({"AVG", "COUNT", "MAX", "MIN", "SUM"}));
    EXPECT_EQ(GetFunctionList(QStringLiteral("Логические")), QStringList({"AND", "FALSE", "NOT", "OR", "TRUE"}));
    EXPECT_EQ(GetFunctionList(QStringLiteral("все функции")), QStringList{});
    EXPECT_EQ(GetFunctionDescription(QStringLiteral("namecase")),
              "NAMECASE(<Строка>)/Преобразует символы строки <Строка> в нижний регистр, а первый символ в верхний "
              "регистр.");
    EXPECT_EQ(GetFunctionDescription(QStringLiteral("NOSUCH")), "");

    // A second start registers nothing twice; the end leaves no entry.
    RegisterStandardFunctionLibraries();
    EXPECT_EQ(FunctionLibraries().size(), 2u);
    EXPECT_EQ(GetFunctionList(QString::fromUtf16(kAllFunctions)).size(), 67);
    UnregisterStandardFunctionLibraries();
    EXPECT_TRUE(InstalledFunctions().empty());
    resetLibrary();
}
