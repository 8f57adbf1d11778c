// The scanner under the script parser: tokens read at a position, their
// normal forms, comments, reserved words and line:col positions.

#include "script/Lexer.h"

#include <gtest/gtest.h>

using namespace script;

namespace {

// The lexer of the double-quote languages (escapes, "0x").
TfsParser cLike()
{
    TfsParser p;
    p.StringQuotes = "\"";
    p.HexSequence = "0x";
    p.SetBlockComment1("/*,*/");
    p.SetBlockComment2("/*,*/");
    return p;
}

// The line-oriented language's lexer.
TfsParser basic()
{
    TfsParser p = cLike();
    p.CommentLine1 = "'";
    p.CommentLine2 = "rem";
    p.SetBlockComment1("/\\,/\\");
    p.SetBlockComment2("/\\,/\\");
    p.SkipEOL = false;
    p.SkipChar = "_";
    return p;
}

} // namespace

TEST(Lexer, StringLiterals)
{
    struct Row {
        bool doubleQuote;
        const char *text;
        const char *token; // empty: no string
        int positionAfter;
    } rows[] = {
        {false, "'It''s'", "'It's'", 8},
        {false, "'a'#13#10'b'", "'a\r\nb'", 13},
        {false, "#65", "'A'", 4},
        {false, "#$41'x'", "'Ax'", 8},
        {false, "'a' 'b'", "'a'", 4}, // parts join only when they touch
        {false, "#", "", 1},          // a lone # restores the position
        {false, "  'open\r\n'", "", 3}, // not closed on its line: back at the quote
        {true, R"("a\"b")", "'a\"b'", 7},
        {true, R"("\t")", "'t'", 5}, // no tab escape
        {true, R"("\x41\x42")", "'AB'", 11},
        {true, R"("\x4142")", "'B'", 9}, // the value's low 8 bits
        {true, R"("\n\r\q")", "'\n\rq'", 9},
        {true, R"("\xZ")", "'Z'", 6}, // \x without digits appends nothing
        {true, R"("it's")", "'it's'", 7},
        {true, "\"tab\there\"", "'tab\there'", 11},
        {true, "'single'", "", 1},
    };
    for (const Row &row : rows) {
        TfsParser p = row.doubleQuote ? cLike() : TfsParser();
        p.LoadSource(row.text);
        EXPECT_EQ(p.ReadStringLiteral().toStdString(), std::string(row.token)) << row.text;
        if (*row.token || row.positionAfter != 1) {
            EXPECT_EQ(p.Position(), row.positionAfter) << row.text;
        }
    }
}

TEST(Lexer, NumberLiterals)
{
    struct Row {
        bool hex0x;
        const char *text;
        const char *token;
        int positionAfter;
    } rows[] = {
        {false, "1.5E3", "1.5E3", 6}, {false, "1e-2", "1e-2", 5},   {false, "12", "12", 3},
        {false, "1..5", "1", 2},      {false, "1.e3", "1", 2},      {false, "1e", "1", 2},
        {false, "1E+", "1", 2},       {false, "$FF", "$FF", 4},     {false, "$", "", 1},
        {false, "x1", "", 1},         {false, "  7 ", "7", 4},      {true, "0x1F", "$1F", 5},
        {true, "0x", "", 1},          {true, "0xg", "", 1},         {true, "10", "10", 3},
        {true, "$FF", "", 1},
    };
    for (const Row &row : rows) {
        TfsParser p = row.hex0x ? cLike() : TfsParser();
        p.LoadSource(row.text);
        EXPECT_EQ(p.ReadNumberLiteral().toStdString(), std::string(row.token)) << row.text;
        if (*row.token) {
            EXPECT_EQ(p.Position(), row.positionAfter) << row.text;
        }
    }
}

TEST(Lexer, CommentsAndContinuation)
{
    {
        // A line comment leaves the line break to the line-break reader.
        TfsParser p = basic();
        p.LoadSource("x = 1 ' note\r\ny = 2");
        p.MoveTo(6);
        EXPECT_TRUE(p.SkipLineBreak());
        EXPECT_EQ(p.ReadWord(), QByteArray("y"));
    }
    {
        // "rem" needs no word boundary; capital REM is a word.
        TfsParser p = basic();
        p.LoadSource("remark x\r\nREM");
        EXPECT_TRUE(p.SkipLineBreak());
        EXPECT_EQ(p.ReadWord(), QByteArray("REM"));
    }
    {
        // "_" joins lines, and "_x" at a token start loses its "_".
        TfsParser p = basic();
        p.LoadSource("a _\r\n b _x");
        EXPECT_EQ(p.ReadWord(), QByteArray("a"));
        EXPECT_FALSE(p.SkipLineBreak());
        EXPECT_EQ(p.ReadWord(), QByteArray("b"));
        EXPECT_EQ(p.ReadWord(), QByteArray("x"));
    }
    {
        // Block comments do not nest; an unclosed one runs to the end.
        TfsParser p;
        p.LoadSource("{ a { b } c } (* d *) e");
        EXPECT_EQ(p.ReadWord(), QByteArray("c"));
        EXPECT_EQ(p.ReadPunctuation(), QByteArray());
        p.SkipBlanks();
        EXPECT_EQ(p.ReadPunctuation(), QByteArray("}"));
        EXPECT_EQ(p.ReadWord(), QByteArray("e"));
        p.LoadSource("x { never closed");
        EXPECT_EQ(p.ReadWord(), QByteArray("x"));
        EXPECT_EQ(p.ReadWord(), QByteArray());
        EXPECT_EQ(p.Position(), p.Size() + 1);
    }
    {
        // A block comment without a close marker runs to the end, not forever.
        TfsParser p;
        p.SetBlockComment1("{");
        p.LoadSource("a { b");
        EXPECT_EQ(p.ReadWord(), QByteArray("a"));
        EXPECT_EQ(p.ReadWord(), QByteArray());
    }
    {
        // With line breaks significant, CR stops the blanks and LF does not.
        TfsParser p = basic();
        p.LoadSource("a\nb\rc");
        EXPECT_EQ(p.ReadWord(), QByteArray("a"));
        EXPECT_EQ(p.ReadWord(), QByteArray("b"));
        EXPECT_EQ(p.ReadWord(), QByteArray());
        EXPECT_TRUE(p.SkipLineBreak());
        EXPECT_EQ(p.ReadWord(), QByteArray("c"));
    }
}

TEST(Lexer, ReservedWordsAndIdentifiers)
{
    TfsParser p;
    p.AddReservedWord("begin");
    p.AddReservedWord("BEGIN");
    p.AddReservedWord("end");
    p.LoadSource("Begin _x9 9a End");
    EXPECT_TRUE(p.IsReservedWord("BeGiN"));
    EXPECT_EQ(p.ReadIdentifier(), QByteArray());
    EXPECT_EQ(p.Position(), 6); // after the word; the parser moves back
    EXPECT_EQ(p.ReadIdentifier(), QByteArray("_x9"));
    EXPECT_EQ(p.ReadWord(), QByteArray()); // a digit starts no word
    p.CaseSensitive = true;
    EXPECT_FALSE(p.IsReservedWord("End"));
    EXPECT_TRUE(p.IsReservedWord("end"));
    p.DefineIdentChars("ab");
    p.LoadSource("abc");
    EXPECT_EQ(p.ReadWord(), QByteArray("ab"));
}

TEST(Lexer, PositionsCountLinesAndColumnsFromOne)
{
    TfsParser p;
    p.LoadSource("ab\r\ncd\nx");
    struct Row {
        int position;
        const char *text;
    } rows[] = {{1, "1:1"}, {3, "1:3"}, {4, "1:4"}, {5, "2:1"}, {7, "2:3"}, {8, "3:1"}, {9, "3:2"}};
    for (const Row &row : rows)
        EXPECT_EQ(p.PositionText(row.position).toStdString(), std::string(row.text)) << row.position;
    EXPECT_EQ(p.LineColToOffset(1, 1), 1);
    EXPECT_EQ(p.LineColToOffset(2, 2), 6);
    EXPECT_EQ(p.LineColToOffset(1, 3), 8);
    EXPECT_EQ(p.LineColToOffset(1, 0), -1);
    EXPECT_EQ(p.LineColToOffset(1, 4), -1);
}

TEST(Lexer, BracketedExpressionStopsAtItsClosingBracket)
{
    TfsParser p;
    p.LoadSource("<a<b>[c]'>'\">\"> tail");
    p.MoveTo(2);
    EXPECT_EQ(p.ReadBracketed().toStdString(), std::string("a<b>[c]'>'\">\""));
    EXPECT_EQ(p.ReadPunctuation(), QByteArray(">"));
    p.LoadSource("<never closed");
    p.MoveTo(2);
    EXPECT_EQ(p.ReadBracketed(), QByteArray("never closed"));
    EXPECT_EQ(p.ReadPunctuation(), QByteArray());
}

TEST(Lexer, PunctuationIsOneCharacterWithoutSkipping)
{
    TfsParser p;
    p.LoadSource(" :=");
    EXPECT_EQ(p.ReadPunctuation(), QByteArray());
    p.SkipBlanks();
    EXPECT_EQ(p.ReadPunctuation(), QByteArray(":"));
    EXPECT_EQ(p.ReadPunctuation(), QByteArray("="));
    EXPECT_EQ(p.ReadPunctuation(), QByteArray());
}
