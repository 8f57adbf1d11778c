#include "reports/language/ExpressionParser.h"

#include "platform/DateTimeFormat.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "reports/language/ReportUtils.h"

#include <QHash>
#include <QVarLengthArray>

#include <cmath>
#include <vector>

namespace reports {

bool Parser::IsWordDelimiter(QChar c)
{
    switch (c.unicode()) {
    case 13:
    case u' ':
    case u'(':
    case u')':
    case u'*':
    case u'+':
    case u'-':
    case u'/':
    case u'<':
    case u'=':
    case u'>':
    case u'[':
        return true;
    default:
        return false;
    }
}

namespace {

// A lower number binds tighter.
int priority(QChar c)
{
    switch (c.unicode()) {
    case op::GreaterEqual:
    case op::LessEqual:
    case op::NotEqual:
    case u'<':
    case u'=':
    case u'>':
        return 3;
    case op::Or:
    case op::And:
    case op::Mod:
    case op::Not:
    case u'*':
    case u'/':
        return 1;
    case u'+':
    case u'-':
    case op::Negate:
    case op::UnaryPlus:
        return 2;
    case u'(':
        return 5;
    case u')':
        return 4;
    default:
        return 0;
    }
}

bool isBinary(QChar c)
{
    switch (c.unicode()) {
    case op::GreaterEqual:
    case op::LessEqual:
    case op::NotEqual:
    case op::Or:
    case op::And:
    case op::Mod:
    case u'*':
    case u'+':
    case u'-':
    case u'/':
    case u'<':
    case u'=':
    case u'>':
        return true;
    default:
        return false;
    }
}

bool isUnary(QChar c)
{
    switch (c.unicode()) {
    case op::Negate:
    case op::Not:
    case op::Str:
    case op::Round:
    case op::ArcTan:
    case op::Abs:
    case op::Int:
    case op::Frac:
        return true;
    default:
        return false;
    }
}

bool startsNumber(QChar c)
{
    return c == u',' || c == u'.' || (c >= u'0' && c <= u'9');
}

// Words that are operators, with their characters.
char16_t keywordOperator(const QString &upper)
{
    static const QHash<QString, char16_t> words = {
        {QStringLiteral("INT"), op::Int},      {QStringLiteral("FRAC"), op::Frac}, {QStringLiteral("ROUND"), op::Round},
        {QStringLiteral("ARCTAN"), op::ArcTan}, {QStringLiteral("ABS"), op::Abs},   {QStringLiteral("OR"), op::Or},
        {QStringLiteral("AND"), op::And},      {QStringLiteral("NOT"), op::Not},   {QStringLiteral("STR"), op::Str},
        {QStringLiteral("MOD"), op::Mod},
    };
    return words.value(upper, 0);
}

QString upper(const QString &text)
{
    // Plain ASCII names are the rule; the code-page mapping only when needed.
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return platform::ansiUpperCase(text);
    return text.toUpper();
}

qint64 integerOf(const QString &text)
{
    bool ok = false;
    const qint64 v = platform::trimBlank(text).toLongLong(&ok);
    if (!ok)
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

} // namespace

NestingGuard::NestingGuard(int &depth) : depth_(depth)
{
    if (++depth_ > 200) {
        --depth_;
        throw ParserError(QStringLiteral("Ошибка в выражении: слишком глубокая вложенность"));
    }
}

QString valueText(const Variant &value)
{
    return value.toString();
}

// ---------------------------------------------------------------------------
// Scanners

QString Parser::ReadWord(const QString &text, qsizetype &pos)
{
    const qsizetype n = text.size();
    while (pos < n && text[pos].unicode() <= 32)
        ++pos;
    const qsizetype start = pos;
    int quotes = 0;
    while (pos < n) {
        const QChar c = text[pos];
        if (c == u'"')
            ++quotes;
        else if (quotes % 2 == 0 && IsWordDelimiter(c))
            break;
        ++pos;
    }
    return text.mid(start, pos - start);
}

QString Parser::ReadQuoted(const QString &text, qsizetype &pos)
{
    const qsizetype n = text.size();
    const qsizetype start = pos;
    qsizetype i = pos + 1;
    while (i < n) {
        if (text[i] == u'\'') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        ++i;
    }
    pos = i;
    return text.mid(start, i - start);
}

std::array<QString, 3> Parser::ReadArguments(const QString &text, qsizetype &pos)
{
    std::array<QString, 3> args;
    const qsizetype n = text.size();
    const qsizetype open = pos;
    qsizetype i = pos + 1;
    qsizetype argStart = i;
    int depth = 1;
    int count = 1;
    bool quoted = false;
    auto store = [&](qsizetype end, bool last) {
        const QString arg = platform::trimBlank(QStringView(text).mid(argStart, end - argStart)).toString();
        if (!last)
            args[count == 1 ? 0 : 1] = arg;
        else if (count <= 3)
            args[static_cast<std::size_t>(count - 1)] = arg;
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == u'(') {
                ++depth;
            } else if (c == u')') {
                if (--depth == 0) {
                    store(i, true);
                    pos = i + 1;
                    return args;
                }
            } else if (c == u',' && depth == 1) {
                store(i, false);
                ++count;
                argStart = i + 1;
            }
        }
        ++i;
    }
    throw ParserError(QStringLiteral("Нет закрывающей скобки: %1").arg(text.mid(open)));
}

QString ExtractBracketed(const QString &text, qsizetype &pos)
{
    const qsizetype n = text.size();
    int depth = 0;
    qsizetype first = -1;
    QChar quote;
    for (qsizetype i = pos; i < n; ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'[') {
            if (first < 0)
                first = i;
            ++depth;
        } else if (c == u']' && first >= 0) {
            if (--depth == 0) {
                pos = i;
                return text.mid(first + 1, i - first - 1);
            }
        }
    }
    pos = n;
    return first < 0 ? QString() : text.mid(first + 1);
}

// ---------------------------------------------------------------------------
// Conversion to postfix

QString Parser::ToPostfix(const QString &expression)
{
    QString s = expression; // the working copy: operator words get their characters
    QString out;
    QString stack; // top first
    bool operand = false;
    const qsizetype n = s.size();
    qsizetype i = 0;

    auto pushOperator = [&](QChar c) {
        // A sign, NOT or a unary function stands before its operand: nothing
        // on the stack is complete yet, so nothing is moved out (an earlier
        // operator would go out without its second operand: 2 * -1).
        if (stack.isEmpty() || priority(c) < priority(stack[0]) || isUnary(c) || c.unicode() == op::UnaryPlus) {
            stack.prepend(c);
        } else {
            do {
                out += stack[0];
                stack.remove(0, 1);
            } while (!stack.isEmpty() && priority(c) >= priority(stack[0]));
            stack.prepend(c);
        }
        operand = false;
    };

    while (i < n) {
        QChar c = s[i];
        if (c.unicode() == 13 || c == u' ') {
            ++i;
            continue;
        }
        if (c == u'(') {
            stack.prepend(c);
            operand = false;
            ++i;
            continue;
        }
        if (c == u')') {
            const qsizetype open = stack.indexOf(u'(');
            if (open >= 0) {
                out += stack.left(open);
                stack.remove(0, open + 1);
            }
            ++i;
            continue;
        }
        if (c == u';')
            break;
        if (c == u'*' || c == u'+' || c == u'-' || c == u'/' || c == u'<' || c == u'=' || c == u'>') {
            if (i + 1 < n) {
                const QChar next = s[i + 1];
                char16_t twin = 0;
                if (c == u'<' && next == u'>')
                    twin = op::NotEqual;
                else if (c == u'>' && next == u'=')
                    twin = op::GreaterEqual;
                else if (c == u'<' && next == u'=')
                    twin = op::LessEqual;
                if (twin) {
                    ++i;
                    s[i] = QChar(twin);
                    c = s[i];
                }
            }
            if (!operand) {
                if (c == u'-')
                    c = QChar(op::Negate);
                else if (c == u'+')
                    c = QChar(op::UnaryPlus);
            }
            pushOperator(c);
            ++i;
            continue;
        }

        // An operand.
        const qsizetype start = i;
        QString text;
        if (c == u'%') {
            text = s.mid(i, 2);
            i += 2;
        }
        if (i < n && s[i] == u'\'') {
            text += ReadQuoted(s, i);
        } else if (i < n && s[i] == u'[') {
            text += u'[' + ExtractBracketed(s, i) + u']';
            i = std::min(i + 1, n);
        } else {
            text += ReadWord(s, i);
            if (i < n && s[i] == u'[') {
                text += u'[' + ExtractBracketed(s, i) + u']';
                i = std::min(i + 1, n);
            }
        }
        if (!text.isEmpty() && startsNumber(text[0])) {
            out += text + u' ';
            operand = true;
            continue;
        }
        if (const char16_t word = keywordOperator(upper(text)); word && i > start) {
            // The word's last character becomes the operator.
            i = i - 1;
            s[i] = QChar(word);
            pushOperator(QChar(word));
            ++i;
            continue;
        }
        if (i < n && s[i] == u'(') {
            qsizetype end = i;
            ReadArguments(s, end);
            out += s.mid(start, end - start);
            i = end;
            operand = true;
            continue;
        }
        if (i == start) {
            // Nothing was read: a character no rule takes is passed over.
            ++i;
            continue;
        }
        out += text + u' ';
        operand = true;
    }
    out += stack;
    return out;
}

// ---------------------------------------------------------------------------
// Evaluation

// A postfix string read once into items, so that evaluating it again does
// not scan it again. The items keep the walk's order, so handlers are asked
// in the same order as by reading the string.
struct Parser::Program {
    enum class Kind { Operator, Number, BadNumber, String, Boolean, Bracketed, Array, Call, Name, BadCall };
    struct Item {
        Kind kind = Kind::Operator;
        QChar op;
        double number = 0;
        bool boolean = false;
        QString text; // name, literal, bad number, array name, call name, bad call message
        std::array<QString, 3> args;
    };
    std::vector<Item> items;
};

struct Parser::Cache {
    // By postfix string, and by infix expression (Calc).
    QHash<QString, std::shared_ptr<const Program>> programs;
    QHash<QString, std::shared_ptr<const Program>> expressions;
};

Parser::Parser() : cache_(std::make_unique<Cache>()) {}
Parser::~Parser() = default;

std::shared_ptr<const Parser::Program> Parser::compiled(const QString &postfix)
{
    if (const auto it = cache_->programs.constFind(postfix); it != cache_->programs.constEnd())
        return *it;
    auto program = std::make_shared<Program>();
    const QString &s = postfix;
    const qsizetype n = s.size();
    qsizetype i = 0;
    using Kind = Program::Kind;
    while (i < n) {
        const QChar c = s[i];
        Program::Item item;
        item.kind = Kind::Operator;
        item.op = c;
        if (isBinary(c) || isUnary(c)) {
            ++i;
        } else if (c.unicode() == op::UnaryPlus || c == u' ') {
            ++i;
            continue;
        } else if (c == u'[') {
            item.kind = Kind::Bracketed;
            item.text = ExtractBracketed(s, i);
            i = std::min(i + 1, n);
        } else if (c == u'\'') {
            item.kind = Kind::String;
            QString literal = ReadQuoted(s, i);
            literal = literal.mid(1);
            if (literal.endsWith(u'\''))
                literal.chop(1);
            item.text = literal.replace(QStringLiteral("''"), QStringLiteral("'"));
        } else {
            const qsizetype start = i;
            const QString word = ReadWord(s, i);
            if (word.isEmpty()) {
                // A delimiter no operand starts with (an unclosed "(" of the
                // infix text), or blanks to the end: nothing to push.
                if (i == start)
                    ++i;
                continue;
            }
            if (startsNumber(word[0])) {
                try {
                    item.number = StrToFloatAnySeparator(word);
                    item.kind = Kind::Number;
                } catch (const platform::ConvertError &) {
                    item.kind = Kind::BadNumber;
                    item.text = word;
                }
            } else if (word.compare(u"TRUE", Qt::CaseInsensitive) == 0 ||
                       word.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
                item.kind = Kind::Boolean;
                item.boolean = word.size() == 4;
            } else if (i < n && s[i] == u'[') {
                item.kind = Kind::Array;
                item.text = word;
                item.args[0] = ExtractBracketed(s, i);
                i = std::min(i + 1, n);
            } else if (i < n && s[i] == u'(') {
                item.text = upper(word);
                try {
                    item.args = ReadArguments(s, i);
                    item.kind = Kind::Call;
                } catch (const ParserError &e) {
                    item.kind = Kind::BadCall;
                    item.args[0] = e.message();
                    i = n;
                }
            } else {
                item.kind = Kind::Name;
                item.text = upper(word);
            }
        }
        program->items.push_back(std::move(item));
    }
    if (cache_->programs.size() > 4096)
        cache_->programs.clear();
    cache_->programs.insert(postfix, program);
    return program;
}

Variant Parser::call(const QString &name, const std::array<QString, 3> &args)
{
    if (name == u"COPY") {
        const QString text = valueText(Calc(args[0]));
        const qint64 from = integerOf(valueText(Calc(args[1])));
        const qint64 count = integerOf(valueText(Calc(args[2])));
        // A start before the first character shortens the piece by as much.
        const qint64 length = from < 1 ? count - (1 - from) : count;
        if (length <= 0 || from > text.size())
            return Variant(QString());
        return Variant(text.mid(from < 1 ? 0 : from - 1, length));
    }
    if (name == u"IF") {
        const double condition = platform::strToFloat(valueText(Calc(args[0])));
        return std::trunc(condition) != 0 ? Calc(args[1]) : Calc(args[2]);
    }
    if (name == u"STRTODATE")
        return Variant::date(platform::strToDate(valueText(Calc(args[0]))));
    if (name == u"STRTOTIME")
        return Variant::date(platform::strToTime(valueText(Calc(args[0]))));
    Variant result = Variant::null();
    if (OnFunction)
        OnFunction(name, args[0], args[1], args[2], result);
    return result;
}

Variant Parser::run(const Program &program)
{
    QVarLengthArray<Variant, 16> stack;
    using Kind = Program::Kind;
    auto malformed = [] {
        throw ParserError(QStringLiteral("Ошибка в выражении: не хватает операнда"));
    };
    for (const Program::Item &item : program.items) {
        switch (item.kind) {
        case Kind::Operator: {
            const QChar c = item.op;
            if (isBinary(c)) {
                if (stack.size() < 2)
                    malformed();
                Variant b = std::move(stack.back());
                stack.pop_back();
                Variant &a = stack.back();
                switch (c.unicode()) {
                case u'+': a = a + b; break;
                case u'-': a = a - b; break;
                case u'*': a = a * b; break;
                case u'/':
                    a = platform::varCompare(b, Variant(0)) == platform::VarRelation::Equal ? Variant(0) : a / b;
                    break;
                case op::Mod: a = platform::varMod(a, b); break;
                case op::Or: a = platform::varOr(a, b); break;
                case op::And: a = platform::varAnd(a, b); break;
                case u'<': a = Variant(a < b ? 1 : 0); break;
                case u'>': a = Variant(a > b ? 1 : 0); break;
                case u'=': a = Variant(a == b ? 1 : 0); break;
                case op::GreaterEqual: a = Variant(a >= b ? 1 : 0); break;
                case op::LessEqual: a = Variant(a <= b ? 1 : 0); break;
                case op::NotEqual: a = Variant(a == b ? 0 : 1); break;
                }
                break;
            }
            if (stack.empty())
                malformed();
            Variant &a = stack.back();
            switch (c.unicode()) {
            case op::Negate: a = platform::varNeg(a); break;
            case op::Not: a = Variant(platform::varCompare(a, Variant(0)) == platform::VarRelation::Equal ? 1 : 0); break;
            case op::Str: a = Variant(valueText(a)); break;
            case op::Round: a = Variant(static_cast<double>(platform::roundHalfEven(a.toDouble()))); break;
            case op::ArcTan: a = Variant(std::atan(a.toDouble())); break;
            case op::Abs: a = Variant(std::fabs(a.toDouble())); break;
            case op::Int:
            case op::Frac: {
                double x = a.toDouble();
                const double r = std::nearbyint(x);
                const bool snap = std::fabs(r - x) < 1e-10;
                if (c.unicode() == op::Int) {
                    a = Variant(snap ? r : std::trunc(x));
                } else {
                    if (snap)
                        x = r;
                    a = Variant(x - std::trunc(x));
                }
                break;
            }
            }
            break;
        }
        case Kind::Number: stack.push_back(Variant(item.number)); break;
        case Kind::BadNumber: stack.push_back(Variant(StrToFloatAnySeparator(item.text))); break; // raises
        case Kind::String: stack.push_back(Variant(item.text)); break;
        case Kind::Boolean: stack.push_back(Variant(item.boolean)); break;
        case Kind::Bracketed: {
            Variant v = Variant::null();
            if (OnGetValue)
                OnGetValue(item.text, v);
            stack.push_back(std::move(v));
            break;
        }
        case Kind::Array:
            stack.push_back(Calc(QStringLiteral("GETARRAY(") + item.text + QStringLiteral(", ") + item.args[0] + u')'));
            break;
        case Kind::Call: stack.push_back(call(item.text, item.args)); break;
        case Kind::BadCall: throw ParserError(item.args[0]);
        case Kind::Name: {
            Variant v = Variant::null();
            if (OnGetValue)
                OnGetValue(item.text, v);
            stack.push_back(std::move(v));
            break;
        }
        }
    }
    return stack.empty() ? Variant(0) : stack.front();
}

Variant Parser::CalcPostfix(const QString &postfix)
{
    // Held here: a nested evaluation may empty the cache while this one runs.
    const std::shared_ptr<const Program> program = compiled(postfix);
    return run(*program);
}

Variant Parser::Calc(const QString &expression)
{
    // Calls inside calls evaluate their arguments anew.
    const NestingGuard nesting(depth_);
    std::shared_ptr<const Program> program = cache_->expressions.value(expression);
    if (!program) {
        program = compiled(ToPostfix(expression));
        if (cache_->expressions.size() > 4096)
            cache_->expressions.clear();
        cache_->expressions.insert(expression, program);
    }
    return run(*program);
}

} // namespace reports
