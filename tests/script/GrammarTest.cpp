// The grammars: the four built-in texts checked as a grammar author would
// (well formed, every rule reference and message key defined, the start
// rule present, the number of rules), and the meaning of each element of the
// format on small grammars of their own.

#include "script/GrammarTexts.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/ScriptError.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace script;

namespace {

const QSet<QByteArray> kTerminalsAndCombinators = {"char",     "keyword", "ident",  "number",         "string",
                                                   "frstring", "eol",     "sequence", "switch",       "optionalswitch",
                                                   "loop",     "optionalloop", "optional"};

void collect(const TfsXMLItem *item, QSet<QByteArray> &references, QSet<QByteArray> &errKeys,
             QSet<QByteArray> &attributes)
{
    for (int i = 0; i < item->Count(); ++i) {
        const TfsXMLItem *e = item->Items(i);
        if (!kTerminalsAndCombinators.contains(e->Name))
            references << e->Name;
        if (!e->Prop("err").isEmpty())
            errKeys << e->Prop("err");
        for (const QByteArray &pair : e->Text.split(' '))
            attributes << pair.left(pair.indexOf('='));
        collect(e, references, errKeys, attributes);
    }
}

} // namespace

TEST(Grammar, BuiltInGrammarsAreWholeAndConsistent)
{
    const QHash<QByteArray, int> ruleCounts = {
        {"PascalScript", 48}, {"D++Eviviz", 47}, {"ZoridEdodud", 47}, {"JScript", 42}};
    ASSERT_EQ(kBuiltInGrammarCount, 4);
    for (int g = 0; g < kBuiltInGrammarCount; ++g) {
        const QByteArray name = kBuiltInGrammars[g].name;
        SCOPED_TRACE(name.constData());
        TfsXMLDocument doc;
        MemoryStream stream(QByteArray(kBuiltInGrammars[g].text));
        ASSERT_NO_THROW(doc.LoadFromStream(stream));
        EXPECT_EQ(stream.Position(), stream.Size());
        const TfsXMLItem *root = doc.Root();
        EXPECT_EQ(root->Name, QByteArray("language"));
        EXPECT_EQ(root->Prop("text"), name);
        ASSERT_EQ(root->Find("parser"), 0);
        ASSERT_EQ(root->Find("types"), 1);
        const TfsXMLItem *parser = root->Items(0);
        const int errorsAt = parser->Find("errors");
        ASSERT_GE(errorsAt, 0);
        ASSERT_GE(parser->Find("keywords"), 0);

        QSet<QByteArray> rules, references, errKeys, attributes, messages;
        for (int i = 2; i < root->Count(); ++i) {
            EXPECT_FALSE(rules.contains(root->Items(i)->Name)) << root->Items(i)->Name.constData();
            rules << root->Items(i)->Name;
            collect(root->Items(i), references, errKeys, attributes);
            for (const QByteArray &pair : root->Items(i)->Text.split(' '))
                attributes << pair.left(pair.indexOf('='));
        }
        const TfsXMLItem *errors = parser->Items(errorsAt);
        for (int i = 0; i < errors->Count(); ++i) {
            messages << errors->Items(i)->Name;
            EXPECT_FALSE(errors->Items(i)->Prop("text").isEmpty());
        }
        EXPECT_EQ(rules.size(), ruleCounts.value(name));
        EXPECT_TRUE(rules.contains("program"));
        for (const QByteArray &r : references)
            EXPECT_TRUE(rules.contains(r)) << "undefined rule " << r.constData();
        for (const QByteArray &k : errKeys)
            EXPECT_TRUE(messages.contains(k)) << "no message " << k.constData();
        // The statement-sequence check reports err3.
        EXPECT_TRUE(messages.contains("err3"));
        attributes.remove(QByteArray());
        const QSet<QByteArray> known = {"text", "node", "add", "addtext", "err", "term", "skip", "opt"};
        EXPECT_TRUE(attributes.subtract(known).isEmpty()) << attributes.values().join(' ').constData();
    }
}

namespace {

// A small grammar of the given rules, with the messages e1 "E1", e2 "E2".
QByteArray grammar(const QByteArray &rules, bool withParser = true)
{
    return "<?xml version=\"1.0\"?><language>" +
           QByteArray(withParser ? "<parser><errors><e1 text=\"E1\"/><e2 text=\"E2\"/></errors></parser>" : "") +
           "<types/>" + rules + "</language>";
}

struct Outcome {
    bool ok = false;
    QByteArray il;    // the tags inside `program`, before `types`, joined
    QByteArray error; // "line:col: message"
};

Outcome run(const QByteArray &grammarText, const QByteArray &source)
{
    static int n = 0;
    const QString language = QStringLiteral("Mini%1").arg(++n);
    AddLanguage(language, grammarText);
    CompileTarget target;
    TfsILParser parser(target);
    parser.SelectLanguage(language);
    Outcome o;
    o.ok = parser.SourceToIL(source);
    if (o.ok) {
        QByteArrayList lines = parser.ILDocument().TagLines().split('\n');
        o.il = lines.mid(2, lines.size() - 5).join();
    } else {
        o.error = target.ErrorPosition + ": " + target.ErrorMessage;
    }
    return o;
}

} // namespace

TEST(Grammar, CombinatorsKeepTheirMeaning)
{
    struct Row {
        const char *what;
        const char *rules;
        const char *source;
        const char *il;    // when it compiles
        const char *error; // otherwise
    } rows[] = {
        {"a loop with a separator", R"(<program><loop text=","><ident add="i"/></loop></program>)", "a, b,c",
         R"(<i text="a" pos="1:2"/><i text="b" pos="1:5"/><i text="c" pos="1:7"/>)", nullptr},
        {"a trailing separator is taken", R"g(<program><loop text=","><ident add="i"/></loop><char text=")"/></program>)g",
         "a,)", R"(<i text="a" pos="1:2"/>)", nullptr},
        {"a loop keeps a partly matched last round",
         R"(<program><loop><ident add="i"/><char text=";"/></loop></program>)", "a; b",
         R"(<i text="a" pos="1:2"/><i text="b" pos="1:5"/>)", nullptr},
        {"an optionalloop whose only round fails moves back, keeping what it wrote",
         R"(<program><optionalloop><ident add="i"/><char text=";"/></optionalloop><ident add="j"/></program>)", "a",
         R"(<i text="a" pos="1:2"/><j text="a" pos="1:2"/>)", nullptr},
        {"an optional keeps the output of its partial match",
         R"(<program><optional><ident add="i"/><char text=";"/></optional><ident add="j"/></program>)", "a",
         R"(<i text="a" pos="1:2"/><j text="a" pos="1:2"/>)", nullptr},
        {"a switch records its err", R"(<program><switch err="e1"><char text="+"/><char text="-"/></switch></program>)",
         "  *", nullptr, "1:3: E1"},
        {"only the first error is kept",
         R"(<program><optional><char text="+" err="e1"/></optional><char text="-" err="e2"/></program>)", "*", nullptr,
         "1:1: E1"},
        {"a term error is cleared after two rounds",
         R"(<program><loop><ident add="i" err="e1" term="1"/><char text=";"/></loop><number add="n"/></program>)",
         "a; b; 5", R"(<i text="a" pos="1:2"/><i text="b" pos="1:5"/><n text="5" pos="1:8"/>)", nullptr},
        {"but not after one",
         R"(<program><loop><ident add="i" err="e1" term="1"/><char text=";"/></loop><number add="n"/></program>)",
         "5", nullptr, "1:1: E1"},
        {"an error without term stays",
         R"(<program><loop><ident add="i" err="e1"/><char text=";"/></loop><number add="n"/></program>)", "a; 5",
         nullptr, "1:4: E1"},
        {"skip=1 clears any error after two rounds",
         R"(<program><loop skip="1"><ident add="i" err="e1"/><char text=";"/></loop><number add="n"/></program>)",
         "a; 5", R"(<i text="a" pos="1:2"/><n text="5" pos="1:5"/>)", nullptr},
        {"a rule with node removes its output when it fails",
         R"(<program><optional><r/></optional><ident add="j"/></program><r node="n"><ident add="i"/><char text=";"/></r>)",
         "a", R"(<j text="a" pos="1:2"/>)", nullptr},
        {"a rule without node leaves it",
         R"(<program><optional><r/></optional><ident add="j"/></program><r><ident add="i"/><char text=";"/></r>)", "a",
         R"(<i text="a" pos="1:2"/><j text="a" pos="1:2"/>)", nullptr},
        {"a node opens at the first token; expr also gets its end",
         R"(<program><e/></program><e node="expr"><number add="n"/><number add="n"/></e>)", " 1 23",
         R"(<expr pos="1:2" pos1="1:6"><n text="1" pos="1:3"/><n text="23" pos="1:6"/></expr>)", nullptr},
        {"node on an element wraps what it wrote, then add and children follow",
         R"(<program><r node="w" add="a"><number add="n"/></r></program><r><ident add="i"/></r>)", "x 5",
         R"(<w pos="1:1"><i text="x" pos="1:2"/></w><a text="" pos="1:2"/><n text="5" pos="1:4"/>)", nullptr},
        {"skip=0 needs the characters to touch",
         R"(<program><char text=":"/><char text="=" skip="0" err="e2"/></program>)", ": =", nullptr, "1:3: E2"},
        {"addtext replaces the token, escaped",
         R"(<program><char text="&#60;"/><char text="&#62;" skip="0" add="op" addtext="&#60;&#62;"/></program>)", "<>",
         R"(<op text="&#60;&#62;" pos="1:3"/>)", nullptr},
        {"a missing err key is no error", R"(<program><char text=";" err="nokey"/></program>)", "x", nullptr,
         "1:1: Statement expected"},
        {"an undefined rule that is not reached does no harm",
         R"(<program><optional><keyword text="x"/><nosuch/></optional></program>)", "", "", nullptr},
        {"a report expression is a call of Get",
         R"(<program><char text="&#60;"/><frstring/><char text="&#62;"/></program>)", "<a \"q>\" b>",
         R"(<dsgn pos="1:10"><node text="Get" pos="1:10"/><expr pos="1:10"><string text="'a &#34;q&#62;&#34; b'" pos="1:10"/></expr></dsgn>)",
         nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const Outcome o = run(grammar(row.rules), row.source);
        if (row.error) {
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(o.error.toStdString(), std::string(row.error));
        } else {
            EXPECT_TRUE(o.ok) << o.error.constData();
            EXPECT_EQ(o.il.toStdString(), std::string(row.il));
        }
    }
}

TEST(Grammar, WithoutParserTheLexerDefaultsApply)
{
    const Outcome o = run(grammar(R"(<program><loop><ident add="i"/></loop></program>)", false), "{c} a // x\r\n(* y *) b");
    EXPECT_TRUE(o.ok) << o.error.constData();
    EXPECT_EQ(o.il.toStdString(), R"(<i text="a" pos="1:6"/><i text="b" pos="2:10"/>)");
}

TEST(Grammar, FaultsOfTheGrammarItselfRaise)
{
    CompileTarget target;
    TfsILParser parser(target);
    // An undefined rule, when it is reached.
    AddLanguage(QStringLiteral("MiniUndefined"), grammar(R"(<program><keyword text="x"/><nosuch/></program>)"));
    parser.SelectLanguage(QStringLiteral("MiniUndefined"));
    try {
        parser.SourceToIL("x");
        FAIL();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid language definition"));
    }
    // A grammar that is no well-formed text.
    AddLanguage(QStringLiteral("MiniBroken"), "<?xml?><language><program></x></language>");
    try {
        parser.SelectLanguage(QStringLiteral("MiniBroken"));
        FAIL();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid file format"));
    }
    EXPECT_THROW(parser.SelectLanguage(QStringLiteral("NoSuchLanguage")), ScriptError);
}

TEST(Grammar, ReplacingALanguageTakesEffectForTheNextParser)
{
    AddLanguage(QStringLiteral("MiniReplaced"), grammar(R"(<program><number add="n"/></program>)"));
    EXPECT_TRUE(run(GetLanguageGrammar(QStringLiteral("MiniReplaced")), "5").ok);
    CompileTarget target;
    TfsILParser first(target);
    first.SelectLanguage(QStringLiteral("MiniReplaced"));
    EXPECT_TRUE(first.SourceToIL("5"));
    AddLanguage(QStringLiteral("minireplaced"), grammar(R"(<program><ident add="i"/></program>)"));
    TfsILParser second(target);
    second.SelectLanguage(QStringLiteral("MiniReplaced"));
    EXPECT_FALSE(second.SourceToIL("5"));
    EXPECT_TRUE(second.SourceToIL("x"));
}
