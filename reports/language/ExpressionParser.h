#pragma once
// TfrParser: the expression language of reports. ToPostfix turns infix text
// into a postfix string (operators as single characters: the printable signs
// of arithmetic and comparison, the control characters 1 to 16 for the
// others); CalcPostfix evaluates such a string on a stack of variants; Calc
// does both. Names and calls the parser does not know go to two handlers that
// the parser's owner installs.
//
// Postfix items: a number or name followed by a blank; a quoted literal as
// written followed by a blank; "[text]" followed by a blank; "name[index]"
// followed by a blank; a call as written ("F(a, b)", no blank after it); an
// operator character. An operand may start with "%" and one more character.

#include "platform/Variant.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

namespace reports {

using platform::Variant;

// An expression the parser cannot take: a call without its closing
// parenthesis, an operator without its operands. what() is UTF-8.
class ParserError : public std::runtime_error {
public:
    explicit ParserError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// Asked for the value of a name: plain names arrive upper-cased, bracketed
// ones as written between the brackets; the value arrives null.
using GetValueHandler = std::function<void(const QString &name, Variant &value)>;
// Asked for a call the parser does not compute: the upper-cased name, the
// texts of up to three arguments (not evaluated; empty when missing) and a
// null result to fill.
using FunctionHandler = std::function<void(const QString &name, const QString &p1, const QString &p2,
                                           const QString &p3, Variant &value)>;

// Operator characters of postfix strings.
namespace op {
inline constexpr char16_t GreaterEqual = 1, LessEqual = 2, NotEqual = 3, Or = 4, And = 5, Int = 6, Frac = 7,
                          Negate = 9, UnaryPlus = 10, Str = 11, Not = 12, Mod = 13, Round = 14, ArcTan = 15,
                          Abs = 16;
}

class Parser {
public:
    Parser();
    ~Parser();
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    GetValueHandler OnGetValue;
    FunctionHandler OnFunction;

    Variant Calc(const QString &expression);
    static QString ToPostfix(const QString &expression);
    Variant CalcPostfix(const QString &postfix);

    // Scanners shared with the interpreter and the splitter; each moves the
    // position past what it read.
    // Skips characters up to code 32, then takes characters up to a delimiter
    // (CR, blank, "(", ")", "*", "+", "-", "/", "<", "=", ">", "["), not
    // stopping between an odd and an even double quote.
    static QString ReadWord(const QString &text, qsizetype &pos);
    static bool IsWordDelimiter(QChar c);
    // A single-quoted literal from the quote at `pos`, quotes kept; it ends at
    // a quote not followed by another one (or at the end of the text).
    static QString ReadQuoted(const QString &text, qsizetype &pos);
    // The argument texts of a call from its "(" (blanks around them cut); the
    // position ends after the ")". The first argument takes the first slot,
    // the second and later ones the second slot, the last one its own slot
    // when it is the third. Raises ParserError when the parentheses do not
    // close.
    static std::array<QString, 3> ReadArguments(const QString &text, qsizetype &pos);

private:
    // Postfix strings read once into items, kept for the next evaluation.
    struct Program;
    struct Cache;
    std::shared_ptr<const Program> compiled(const QString &postfix);
    Variant run(const Program &program);
    Variant call(const QString &name, const std::array<QString, 3> &args);

    std::unique_ptr<Cache> cache_;
    int depth_ = 0; // evaluations inside evaluations
};

// The text between the first "[" from `pos` and the "]" that closes it
// (brackets inside single- or double-quoted runs do not count); `pos` ends on
// that "]", or at the end of the text when none closes it.
QString ExtractBracketed(const QString &text, qsizetype &pos);

// Counts one level of evaluation inside another while it lives; beyond 200
// levels it raises ParserError rather than running down the machine's stack.
class NestingGuard {
public:
    explicit NestingGuard(int &depth);
    ~NestingGuard() { --depth_; }
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;

private:
    int &depth_;
};

// The text of a value as the parser's STR gives it ("" for null).
QString valueText(const Variant &value);

} // namespace reports
