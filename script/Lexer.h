#pragma once
// The scanner under the script parser. It makes no token stream: the parser
// asks it, at the current position, for one token of a kind (a word, an
// identifier that is not reserved, one punctuation character, a string, a
// number, a bracketed report expression, a line break) and gets its text, or
// an empty text when the characters there are no such token; the parser
// moves the position back freely when it backtracks. Each language sets it
// up from its grammar (comments, string quote, hex prefix, reserved words,
// case, significant line breaks, continuation character, identifier
// characters). Positions count from 1.
//
// Tokens leave it normalised: strings as 'text' (inner quotes not doubled,
// escapes and #N codes resolved), numbers in decimal or as "$" and hex digits.

#include <QByteArray>
#include <QByteArrayList>

#include <bitset>
#include <vector>

namespace script {

class TfsParser {
public:
    TfsParser() { ResetSettings(); }

    // Set-up.
    void ResetSettings();
    // "open,close"; a text without comma gives an empty close marker.
    void SetBlockComment1(const QByteArray &text);
    void SetBlockComment2(const QByteArray &text);
    // The identifier characters become exactly these.
    void DefineIdentChars(const QByteArray &chars);
    void AddIdentChar(unsigned char c) { identChars_.set(c); }
    // A reserved word; one added twice is kept once.
    void AddReservedWord(const QByteArray &word);

    QByteArray CommentLine1, CommentLine2;
    QByteArray HexSequence;
    // Only its first character counts; empty: none.
    QByteArray SkipChar;
    // False where line breaks end statements: carriage return is then no
    // blank (line feed stays one).
    bool SkipEOL = true;
    // Only its first character counts; the double quote turns on backslash
    // escapes.
    QByteArray StringQuotes;
    bool CaseSensitive = false;

    // Text and position.
    void LoadSource(const QByteArray &text);
    const QByteArray &Text() const { return text_; } // with the trailing 0
    int Size() const { return size_; }
    int Position() const { return position_; }
    void MoveTo(int position) { position_ = tokenStart_ = position; }
    int TokenStart() const { return tokenStart_; }
    // "line:col" of the position.
    QByteArray PositionText() const { return PositionText(position_); }
    QByteArray PositionText(int position) const;
    void PositionOf(int position, int &line, int &column) const;
    // The position of the column in the line; -1 for a line out of range.
    int LineColToOffset(int column, int line) const;

    // Token readers.
    void SkipBlanks();
    bool SkipLineBreak();
    QByteArray ReadWord();
    bool IsReservedWord(const QByteArray &word) const;
    QByteArray ReadIdentifier();
    QByteArray ReadKeyword() { return ReadWord(); }
    QByteArray ReadPunctuation();
    QByteArray ReadStringLiteral();
    QByteArray ReadNumberLiteral();
    // After the opening '<' of a report expression: the text up to its
    // closing '>', which stays to be read.
    QByteArray ReadBracketed();

private:
    char at(int position) const { return position >= 1 && position <= size_ ? text_[position - 1] : '\0'; }
    bool isBlank(char c) const { return static_cast<unsigned char>(c) <= 32 && (SkipEOL || c != '\r'); }
    bool startsWith(int position, const QByteArray &marker) const;
    bool scanInteger(int &value);
    bool scanReal();
    bool readQuotedPart(QByteArray &out, bool escapes);
    bool readCharCode(QByteArray &out);

    struct BlockComment {
        QByteArray text, open, close;
    };
    static void split(BlockComment &comment, const QByteArray &text);

    BlockComment block1_, block2_;
    std::bitset<256> identChars_;
    QByteArrayList reserved_; // sorted ignoring case
    QByteArray text_;
    std::vector<int> lineStarts_;
    int tokenStart_ = 1;
    int position_ = 1;
    int size_ = 0;
};

} // namespace script
