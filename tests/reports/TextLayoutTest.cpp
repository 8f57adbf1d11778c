// The text object's text pipeline without a canvas: bracketed expressions,
// line wrapping at a measured width and Russian hyphenation.

#include "ReportTestSupport.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportViews.h"
#include "reports/model/TextLayout.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

// Lines with the paragraph marker shown as "¶".
QStringList shown(const QStringList &lines)
{
    QStringList out;
    for (QString line : lines)
        out << line.replace(kParagraphEnd, u'¶');
    return out;
}

QStringList wrap(const QString &text, int chars, bool wordBreak = false)
{
    QStringList out;
    WrapLine(text, chars * 10, wordBreak, FixedWidthMeasurer(10), out);
    return shown(out);
}

// Each expression's text is the expression in angle brackets.
class EchoReport : public Report {
public:
    QString ValueText(const QString &expression, View &) override
    {
        if (expression == u"loop")
            return QStringLiteral("[loop]");
        if (expression == u"two")
            return QStringLiteral("1\r\n2");
        return u'<' + expression + u'>';
    }
};

} // namespace

TEST(TextLayout, WrapsAtTheWidth)
{
    const struct {
        const char *text;
        int chars;
        QStringList lines;
    } cases[] = {
        {"abc", 5, {"abc¶"}},
        {"abcdefgh", 8, {"abcdefgh¶"}},
        // Break at the last blank, which is dropped.
        {"abc def ghi", 5, {"abc", "def", "ghi¶"}},
        {"abcde fgh", 5, {"abcde", "fgh¶"}},
        // A word wider than the line is cut where it overflows.
        {"abcdefghijkl", 5, {"abcde", "fghij", "kl¶"}},
        {"ab abcdefghij", 5, {"ab", "abcde", "fghij¶"}},
        // Runs of CR and LF end a paragraph; at the end they add nothing.
        {"ab\r\n\r\ncd", 5, {"ab¶", "cd¶"}},
        {"ab\r\n", 5, {"ab¶"}},
        {"ab\ncd ef gh", 5, {"ab¶", "cd ef", "gh¶"}},
        // Narrower than one character: one character a line.
        {"abc", 0, {"a", "b", "c¶"}},
        {"x", 0, {"x¶"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(wrap(QString::fromUtf8(c.text), c.chars), c.lines) << c.text << " at " << c.chars;
}

TEST(TextLayout, HyphenationPoints)
{
    const struct {
        const char *word;
        QList<int> points;
    } cases[] = {
        {"ПЕРЕНОС", {2, 4}},
        {"перенос", {2, 4}},
        {"СЛОВО", {3}},
        {"СТРАНА", {2, 4}},
        {"ОБЪЕКТ", {}},
        {"ПОЛ", {}},
        {"ДОМА", {2}},
        {"transfer", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HyphenationPoints(QString::fromUtf8(c.word)), c.points) << c.word;
}

TEST(TextLayout, WordBreakHyphenatesAndNeverLosesCharacters)
{
    EXPECT_EQ(wrap(QStringLiteral("ПЕРЕНОС"), 5, true), (QStringList{"ПЕРЕ-", "НОС¶"}));
    EXPECT_EQ(wrap(QStringLiteral("ПЕРЕНОС"), 3, true), (QStringList{"ПЕ-", "РЕ-", "НОС¶"}));
    EXPECT_EQ(wrap(QStringLiteral("это ПЕРЕНОС"), 7, true), (QStringList{"это ПЕ-", "РЕНОС¶"}));
    // Latin words have no points: cut as without hyphenation.
    EXPECT_EQ(wrap(QStringLiteral("abcdefgh"), 5, true), (QStringList{"abcde", "fgh¶"}));

    // At any width, also where no hyphenation point fits ("ПЕ-" is 3
    // wide), every character but the blanks a break drops is kept.
    const QString text = QStringLiteral("ПЕРЕНОСИТЬ СЛОВА ПО СЛОГАМ");
    for (int chars = 0; chars <= 12; ++chars) {
        QString joined;
        for (QString line : wrap(text, chars, true)) {
            line.remove(u'¶');
            if (line.endsWith(u'-'))
                line.chop(1);
            joined += line;
        }
        EXPECT_EQ(joined.remove(u' '), QString(text).remove(u' ')) << chars;
    }
    EXPECT_EQ(wrap(QStringLiteral("ПЕРЕНОС"), 2, true), (QStringList{"ПЕ", "РЕ", "НО", "С¶"}));
}

TEST(TextLayout, BracketedExpressions)
{
    resetLibrary();
    EchoReport report;
    library().State.CurrentReport = &report;
    MemoView memo;
    const struct {
        const char *text;
        const char *expanded;
    } cases[] = {
        {"x [a] y", "x <a> y"},
        {"[a[b]]", "<a[b]>"},
        {"[a ']' b] c", "<a ']' b> c"},
        {"[a \"]\" b]", "<a \"]\" b>"},
        {"[a \"'\"] z", "<a \"'\"> z"},
        {"Don't [a]", "Don't <a>"},
        {"[loop] [loop]", "[loop] [loop]"},
        // An unclosed bracket keeps the rest of the line.
        {"цена [a", "цена [a"},
        {"[a] и [b + 1", "<a> и [b + 1"},
        {"[a ']' ", "[a ']' "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(memo.ExpandVariables(QString::fromUtf8(c.text)), QString::fromUtf8(c.expanded)) << c.text;

    memo.Memo = {"[a]", "", "[two] end", "[x"};
    memo.ExpandMemo();
    EXPECT_EQ(memo.OutputMemo, (QStringList{"<a>", "", "1", "2 end", "[x"}));
    memo.Flags |= flTextOnly;
    memo.ExpandMemo();
    EXPECT_EQ(memo.OutputMemo, (QStringList{"[a]", "", "[two] end", "[x"}));
    memo.Memo.clear();
    memo.ExpandMemo();
    EXPECT_TRUE(memo.OutputMemo.isEmpty());
    library().State.CurrentReport = nullptr;
}

TEST(TextLayout, HideZeros)
{
    resetLibrary();
    library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
        if (const Variant *v = library().ReportVariables.Find(name))
            value = *v;
    };
    library().ReportVariables.SetVariable(QStringLiteral("ZERO"), Variant(0));
    library().ReportVariables.SetVariable(QStringLiteral("ZEROREAL"), Variant(0.0));
    library().ReportVariables.SetVariable(QStringLiteral("TEXT"), Variant(QStringLiteral("0")));
    Report report;
    library().State.CurrentReport = &report;
    MemoView memo;
    memo.Flags |= flHideZeros;
    EXPECT_EQ(memo.ExpandVariables(QStringLiteral("[ZERO]|[ZEROREAL]|[TEXT]")), "||0");
    memo.Flags &= ~flHideZeros;
    EXPECT_EQ(memo.ExpandVariables(QStringLiteral("[ZERO]")), "0");
    library().State.CurrentReport = nullptr;
    resetLibrary();
}
