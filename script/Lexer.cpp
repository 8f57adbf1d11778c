#include "script/Lexer.h"

#include "script/AnsiText.h"

#include <algorithm>

namespace script {

namespace {

bool isPunctuation(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

void TfsParser::ResetSettings()
{
    reserved_.clear();
    CommentLine1 = "//";
    CommentLine2.clear();
    SetBlockComment1("{,}");
    SetBlockComment2("(*,*)");
    HexSequence = "$";
    identChars_.reset();
    for (int c = '0'; c <= '9'; ++c)
        identChars_.set(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        identChars_.set(c);
    for (int c = 'a'; c <= 'z'; ++c)
        identChars_.set(c);
    identChars_.set('_');
    SkipChar.clear();
    SkipEOL = true;
    StringQuotes = "'";
    CaseSensitive = false;
}

void TfsParser::split(BlockComment &comment, const QByteArray &text)
{
    comment.text = text;
    const qsizetype comma = text.indexOf(',');
    comment.open = comma < 0 ? text : text.left(comma);
    comment.close = comma < 0 ? QByteArray() : text.mid(comma + 1);
}

void TfsParser::SetBlockComment1(const QByteArray &text)
{
    split(block1_, text);
}

void TfsParser::SetBlockComment2(const QByteArray &text)
{
    split(block2_, text);
}

void TfsParser::DefineIdentChars(const QByteArray &chars)
{
    identChars_.reset();
    for (const char c : chars)
        identChars_.set(static_cast<unsigned char>(c));
}

void TfsParser::AddReservedWord(const QByteArray &word)
{
    const auto at = std::lower_bound(reserved_.begin(), reserved_.end(), word,
                                     [](const QByteArray &a, const QByteArray &b) { return ansiCompareText(a, b) < 0; });
    if (at != reserved_.end() && ansiCompareText(*at, word) == 0)
        return;
    reserved_.insert(at, word);
}

void TfsParser::LoadSource(const QByteArray &text)
{
    text_ = text;
    text_ += '\0';
    size_ = static_cast<int>(text.size());
    position_ = tokenStart_ = 1;
    lineStarts_.clear();
    lineStarts_.push_back(0);
    for (int i = 0; i < size_; ++i)
        if (text[i] == '\n')
            lineStarts_.push_back(i + 1);
}

void TfsParser::PositionOf(int position, int &line, int &column) const
{
    const auto it = std::lower_bound(lineStarts_.begin(), lineStarts_.end(), position);
    line = static_cast<int>(it - lineStarts_.begin());
    if (line == 0) { // a position before the text
        column = position;
        return;
    }
    column = position - lineStarts_[static_cast<size_t>(line - 1)];
}

QByteArray TfsParser::PositionText(int position) const
{
    int line, column;
    PositionOf(position, line, column);
    return QByteArray::number(line) + ':' + QByteArray::number(column);
}

int TfsParser::LineColToOffset(int column, int line) const
{
    if (line < 1 || line > static_cast<int>(lineStarts_.size()))
        return -1;
    return lineStarts_[static_cast<size_t>(line - 1)] + column;
}

bool TfsParser::startsWith(int position, const QByteArray &marker) const
{
    if (marker.isEmpty() || position < 1 || position - 1 + marker.size() > size_)
        return false;
    return QByteArrayView(text_).sliced(position - 1, marker.size()) == marker;
}

void TfsParser::SkipBlanks()
{
    // A continuation character asks for the line break after it to be
    // skipped once the blanks after it are.
    bool lineBreakOwed = false;
    for (;;) {
        while (position_ <= size_ && isBlank(text_[position_ - 1]))
            ++position_;
        if (!SkipChar.isEmpty() && position_ <= size_ && text_[position_ - 1] == SkipChar[0]) {
            ++position_;
            lineBreakOwed = true;
            continue;
        }
        if (position_ < size_) {
            if (startsWith(position_, CommentLine1) || startsWith(position_, CommentLine2)) {
                while (position_ <= size_ && text_[position_ - 1] != '\r' && text_[position_ - 1] != '\n')
                    ++position_;
                continue;
            }
            const BlockComment *block = nullptr;
            if (!block1_.text.isEmpty() && startsWith(position_, block1_.open))
                block = &block1_;
            else if (!block2_.text.isEmpty() && startsWith(position_, block2_.open))
                block = &block2_;
            if (block) {
                if (block->close.isEmpty()) { // no way to close it: to the end
                    position_ = size_ + 1;
                    continue;
                }
                position_ += static_cast<int>(block->close.size());
                while (position_ <= size_ && !startsWith(position_, block->close))
                    ++position_;
                position_ = std::min(position_ + static_cast<int>(block->close.size()), size_ + 1);
                continue;
            }
        }
        if (lineBreakOwed) {
            lineBreakOwed = false;
            if (at(position_) == '\r' || at(position_) == '\n') {
                while (at(position_) == '\r' || at(position_) == '\n')
                    ++position_;
            }
            continue;
        }
        break;
    }
    tokenStart_ = position_;
}

bool TfsParser::SkipLineBreak()
{
    SkipBlanks();
    if (at(position_) != '\r' && at(position_) != '\n')
        return false;
    while (at(position_) == '\r' || at(position_) == '\n')
        ++position_;
    return true;
}

QByteArray TfsParser::ReadWord()
{
    SkipBlanks();
    const char first = at(position_);
    if (position_ > size_ || isDigit(first) || !identChars_.test(static_cast<unsigned char>(first)))
        return {};
    const int begin = position_;
    while (position_ <= size_ && identChars_.test(static_cast<unsigned char>(text_[position_ - 1])))
        ++position_;
    return text_.mid(begin - 1, position_ - begin);
}

bool TfsParser::IsReservedWord(const QByteArray &word) const
{
    if (CaseSensitive)
        return std::find(reserved_.begin(), reserved_.end(), word) != reserved_.end();
    return std::binary_search(reserved_.begin(), reserved_.end(), word,
                              [](const QByteArray &a, const QByteArray &b) { return ansiCompareText(a, b) < 0; });
}

QByteArray TfsParser::ReadIdentifier()
{
    const QByteArray word = ReadWord();
    return IsReservedWord(word) ? QByteArray() : word;
}

QByteArray TfsParser::ReadPunctuation()
{
    const char c = at(position_);
    if (position_ > size_ || !isPunctuation(c))
        return {};
    ++position_;
    return QByteArray(1, c);
}

bool TfsParser::scanInteger(int &value)
{
    value = 0;
    const int begin = position_;
    if (!HexSequence.isEmpty() && startsWith(position_, HexSequence)) {
        position_ += static_cast<int>(HexSequence.size());
        if (hexDigit(at(position_)) < 0) {
            position_ = begin;
            return false;
        }
        for (int d; (d = hexDigit(at(position_))) >= 0; ++position_)
            value = (value * 16 + d) & 0xFFFF;
        return true;
    }
    if (!isDigit(at(position_)))
        return false;
    for (; isDigit(at(position_)); ++position_)
        value = (value * 10 + (at(position_) - '0')) & 0xFFFF;
    return true;
}

bool TfsParser::scanReal()
{
    const int begin = position_;
    int ignored;
    if (!scanInteger(ignored))
        return false;
    if (at(position_) == '.') {
        if (!isDigit(at(position_ + 1))) {
            position_ = begin;
            return false;
        }
        ++position_;
        while (isDigit(at(position_)))
            ++position_;
    }
    if (at(position_) == 'E' || at(position_) == 'e') {
        const int e = position_;
        ++position_;
        if (at(position_) == '+' || at(position_) == '-')
            ++position_;
        if (!isDigit(at(position_))) {
            position_ = e;
        } else {
            while (isDigit(at(position_)))
                ++position_;
        }
    }
    return true;
}

QByteArray TfsParser::ReadNumberLiteral()
{
    SkipBlanks();
    const int begin = position_;
    int ignored;
    if (!scanReal()) {
        position_ = begin;
        if (!scanInteger(ignored)) {
            position_ = begin;
            return {};
        }
    }
    QByteArray token = text_.mid(tokenStart_ - 1, position_ - tokenStart_);
    if (!HexSequence.isEmpty() && HexSequence != "$")
        token.replace(HexSequence, "$");
    return token;
}

bool TfsParser::readQuotedPart(QByteArray &out, bool escapes)
{
    const char quote = StringQuotes.isEmpty() ? '\'' : StringQuotes[0];
    if (position_ > size_ || at(position_) != quote)
        return false;
    const int open = position_;
    ++position_;
    QByteArray part;
    for (;;) {
        if (position_ > size_)
            break;
        char c = text_[position_ - 1];
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 && c != '\t')
            break; // not closed on its line
        if (escapes && c == '\\') {
            ++position_;
            c = at(position_);
            const auto escaped = static_cast<unsigned char>(c);
            if (position_ > size_ || (escaped < 32 && c != '\t'))
                break;
            if (c == 'n' || c == 'N') {
                part += '\n';
            } else if (c == 'r' || c == 'R') {
                part += '\r';
            } else if (c == 'x' || c == 'X') {
                int value = 0;
                bool any = false;
                for (int d; (d = hexDigit(at(position_ + 1))) >= 0; ++position_) {
                    value = (value * 16 + d) & 0xFF;
                    any = true;
                }
                if (any)
                    part += static_cast<char>(value);
            } else {
                part += c;
            }
            ++position_;
            continue;
        }
        if (c == quote) {
            if (!escapes && at(position_ + 1) == quote) {
                part += quote;
                position_ += 2;
                continue;
            }
            ++position_;
            out += part;
            return true;
        }
        part += c;
        ++position_;
    }
    position_ = open;
    return false;
}

bool TfsParser::readCharCode(QByteArray &out)
{
    if (at(position_) != '#' || position_ > size_)
        return false;
    const int hash = position_;
    ++position_;
    int value;
    if (!scanInteger(value)) {
        position_ = hash;
        return false;
    }
    out += static_cast<char>(value & 0xFF);
    return true;
}

QByteArray TfsParser::ReadStringLiteral()
{
    SkipBlanks();
    const bool escapes = StringQuotes.startsWith('"');
    QByteArray text;
    bool any = false;
    while (readQuotedPart(text, escapes) || readCharCode(text))
        any = true;
    if (!any)
        return {};
    return '\'' + text + '\'';
}

QByteArray TfsParser::ReadBracketed()
{
    const int begin = position_;
    int depth = 1;
    bool single = false, dbl = false;
    for (; position_ <= size_; ++position_) {
        const char c = text_[position_ - 1];
        if (!single && !dbl) {
            if (c == '<' || c == '[')
                ++depth;
            else if (c == '>' || c == ']')
                --depth;
            if (depth == 0)
                break;
        }
        if (c == '"' && !single)
            dbl = !dbl;
        else if (c == '\'' && !dbl)
            single = !single;
    }
    return text_.mid(begin - 1, position_ - begin);
}

} // namespace script
