// The report library's utilities and texts.

#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Service.h"
#include "script/Languages.h"
#include "xmlreports/ReportUtils.h"
#include "xmlreports/Resources.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace xmlreports;

TEST(ReportUtils, PageLists)
{
    struct Case {
        const char *text;
        int pages;
        const char *expected;
    };
    const Case cases[] = {
        {"1,3,5-7", 10, "1 3 5 6 7"},
        {"5-", 8, "5 6 7 8"},
        {"7-5", 10, ""},
        {" 1 , 3 - 4 ", 10, "1 3 4"},
        {"", 10, ""},
        {"1-2000000000", 3, "1 2 3"}, // a typed range is cut at the last page
        {"9", 3, "9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParsePageList(QString::fromLatin1(c.text), c.pages).join(u' '), QLatin1String(c.expected));
    }
    EXPECT_THROW(ParsePageList(QStringLiteral("a"), 5), platform::ConvertError);
}

TEST(ReportUtils, FloatsReadWithEitherSeparator)
{
    for (const QChar separator : {QChar(u','), QChar(u'.')}) {
        platform::DecimalSeparator pinned(separator);
        platform::ScopedService<platform::DecimalSeparator> pin(pinned);
        EXPECT_DOUBLE_EQ(ParseReportFloat(u"1,5"), 1.5);
        EXPECT_DOUBLE_EQ(ParseReportFloat(u"1.5"), 1.5);
        EXPECT_DOUBLE_EQ(ParseReportFloat(u"1 234"), 1234);
        EXPECT_THROW(ParseReportFloat(u"x"), platform::ConvertError);
        EXPECT_EQ(FloatToText2(2.5), QStringLiteral("2") + separator + QStringLiteral("50"));
        EXPECT_EQ(FloatToText2(3), QStringLiteral("3"));
    }
}

TEST(ReportUtils, TextScanning)
{
    EXPECT_EQ(SplitText(QStringLiteral("a;;b;"), u';'), (QStringList{"a", "", "b"}));
    int start = 2, end = 0;
    const QString text = QStringLiteral("x=[a + ']' + [b]] tail");
    EXPECT_EQ(ExtractBracketed(text, QStringLiteral("["), QStringLiteral("]"), start, end),
              QStringLiteral("a + ']' + [b]"));
    EXPECT_EQ(text[end], u']');
    EXPECT_EQ(end, 16);
    start = 0;
    EXPECT_EQ(ExtractBracketed(QStringLiteral("[open"), QStringLiteral("["), QStringLiteral("]"), start, end),
              QString());
    EXPECT_EQ(end, start);
}

TEST(ReportTexts, LookupOverridesAndMissingKeys)
{
    LoadReportTexts();
    TfrxResources &r = GetReportResources();
    EXPECT_EQ(r.Get(QStringLiteral("MBERROR")), QStringLiteral("Помилка"));
    EXPECT_EQ(r.Get(QStringLiteral("noSuchKey")), QStringLiteral("noSuchKey"));
    // Texts the duplicate-name, empty-user-name and password windows need.
    for (const char *key : {"prDupl", "prInvProp", "obReport", "5000", "5001"})
        EXPECT_NE(r.Get(QString::fromLatin1(key)), QString::fromLatin1(key)) << key;
    EXPECT_EQ(GetResourceTextById(8504), QStringLiteral("Файл RTF (*.rtf)|*.rtf"));
    r.AddStrings(QStringLiteral("8504=Other|*.rtf\r\n=nothing\r\n8505=\r\n======== TfrxX ========\r\n"));
    EXPECT_EQ(GetResourceTextById(8504), QStringLiteral("Other|*.rtf"));
    EXPECT_EQ(GetResourceTextById(8505), QStringLiteral(".rtf"));
    r.SetText(QStringLiteral("8504"), QStringLiteral("Файл RTF (*.rtf)|*.rtf"));
}

TEST(ReportTexts, ScriptMessagesLanguagesAndHelp)
{
    LoadReportTexts();
    GetReportResources().CopyScriptMessages();
    EXPECT_EQ(script::SLangNotFound, QStringLiteral("Мову '%s' не знайдено"));
    script::ResetScriptMessages();

    QTemporaryDir dir;
    for (const char *name : {"russian.frc", "ENGLISH.frc", "other.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TfrxResources r;
    r.ListLanguages(dir.path());
    EXPECT_EQ(r.Languages(), (QStringList{"English", "Russian"}));

    EXPECT_EQ(HelpTopicText(QStringLiteral("TfrxDesignerForm")), QStringLiteral("RAVova.vev::/Designer/Designer.htm"));
    EXPECT_EQ(HelpTopicText(QStringLiteral("TSomethingElse")), QStringLiteral("RAVova.vev"));
    QString opened;
    SetHelpHook([&](const QString &topic) { opened = topic; });
    OpenHelpTopic(QStringLiteral("tfrxsyntaxmemo"));
    SetHelpHook(nullptr);
    EXPECT_EQ(opened, QStringLiteral("RAVova.vev::/Script/Script.htm"));
}
