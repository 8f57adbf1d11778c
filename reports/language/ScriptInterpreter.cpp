#include "reports/language/ScriptInterpreter.h"

#include "platform/TextCodec.h"
#include "reports/language/FunctionSplitter.h"

#include <map>
#include <set>
#include <vector>

namespace reports {

namespace {

constexpr QChar kCondJump(1);
constexpr QChar kJump(2);
constexpr QChar kExpression(3);
// Targets are two bytes.
constexpr qsizetype kMaxLines = 65535;

bool isLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isNameChar(QChar c)
{
    return isLetter(c) || (c >= u'0' && c <= u'9') || c == u'_' || c == u'.';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString trimmed(QStringView text)
{
    return platform::trimBlank(text).toString();
}

QString target(qsizetype line)
{
    return QString(QChar(static_cast<char16_t>(line & 0xFF))) + QChar(static_cast<char16_t>((line >> 8) & 0xFF));
}

int targetOf(const QString &line)
{
    return (line[1].unicode() & 0xFF) | ((line[2].unicode() & 0xFF) << 8);
}

// A syntax error at a place of the working text.
struct SyntaxError {
    QString message;
    qsizetype position;
};

// One compilation: the working text, the words read from it, the lines made.
class Compiler {
public:
    explicit Compiler(const QStringList &source) : source_(source)
    {
        for (const QString &line : source) {
            QString l = line;
            l.replace(u'\t', u' ');
            buf_ += l;
            buf_ += QChar(13);
        }
    }

    // The lines, or an error line.
    bool compile(QStringList &lines, QString &error)
    {
        try {
            // A script of blanks and comments only compiles to nothing.
            if (getWord() != u" ") {
                cur_ = wordStart_;
                statement();
            }
            finish();
            lines = lines_;
            return true;
        } catch (const SyntaxError &e) {
            lines = lines_;
            error = errorLine(e);
            return false;
        } catch (const ParserError &e) {
            lines = lines_;
            error = errorLine({e.message(), wordStart_});
            return false;
        }
    }

private:
    // ----- words

    // The next word: the run of characters above code 32, upper-cased, with
    // the comments inside it cut out of the working text; " " at the end.
    QString getWord()
    {
        while (true) {
            qsizetype p = cur_;
            const qsizetype n = buf_.size();
            while (p < n && buf_[p].unicode() <= 32)
                ++p;
            wordStart_ = p;
            const bool quoted = p < n && buf_[p] == u'\'';
            qsizetype q = p;
            bool cut = false;
            while (q < n && buf_[q].unicode() > 32) {
                if (!quoted && buf_[q] == u'{') {
                    const qsizetype end = buf_.indexOf(u'}', q);
                    cutComment(q, (end < 0 ? n : end + 1) - q);
                    cut = true;
                    break;
                }
                if (!quoted && buf_[q] == u'/' && q + 1 < n && buf_[q + 1] == u'/') {
                    const qsizetype end = buf_.indexOf(QChar(13), q);
                    cutComment(q, (end < 0 ? n : end) - q);
                    cut = true;
                    break;
                }
                ++q;
            }
            if (cut)
                continue; // the word is read again
            cur_ = q;
            return q == p ? QStringLiteral(" ") : buf_.mid(p, q - p).toUpper();
        }
    }

    void cutComment(qsizetype at, qsizetype length)
    {
        comments_.push_back({at, length});
        buf_.remove(at, length);
    }

    [[noreturn]] void fail(const char *message, qsizetype at) { throw SyntaxError{QString::fromUtf8(message), at}; }

    qsizetype addLine(const QString &line, qsizetype at)
    {
        if (lines_.size() >= kMaxLines)
            fail("Script is too long", at);
        lines_ << line;
        linePositions_.push_back(at);
        return lines_.size() - 1;
    }

    void setTarget(qsizetype line, qsizetype to)
    {
        lines_[line] = lines_[line].left(1) + target(to) + lines_[line].mid(3);
    }

    QString textFrom(qsizetype start) const { return trimmed(QStringView(buf_).mid(start, cur_ - start)); }

    bool startsName(qsizetype at) const
    {
        if (at >= buf_.size() || !isLetter(buf_[at]))
            return false;
        qsizetype q = at;
        while (q < buf_.size() && isNameChar(buf_[q]))
            ++q;
        return q >= buf_.size() || buf_[q] != u'(';
    }

    // ----- statements

    void statement()
    {
        const QString w = getWord();
        const qsizetype at = wordStart_;
        const NestingGuard nesting(depth_);
        if (w == u"BEGIN") {
            while (true) {
                statement();
                const QString next = getWord();
                if (next.startsWith(u';')) {
                    cur_ = wordStart_ + 1;
                } else if (next == u"END" || next == u"END;") {
                    cur_ = wordStart_ + 3;
                    return;
                } else {
                    fail("Need \";\" or \"end\" here", wordStart_);
                }
            }
        }
        if (w == u"IF")
            return ifStatement();
        if (w == u"REPEAT")
            return repeatStatement();
        if (w == u"WHILE")
            return whileStatement();
        if (w == u"FOR")
            return forStatement();
        if (w == u"GOTO")
            return gotoStatement();
        if (w == u"END" || w == u"END;" || w == u"UNTIL") {
            cur_ = at;
            return;
        }
        qsizetype digits = 0;
        while (digits < w.size() && isDigit(w[digits]))
            ++digits;
        if (digits > 0 && digits < w.size() && w[digits] == u':') {
            labels_.emplace(trimmed(QStringView(buf_).mid(at, digits + 1)), lines_.size());
            cur_ = at + digits + 1;
            return statement();
        }
        cur_ = at;
        if (startsName(at)) {
            assignment();
            return;
        }
        relation();
        addLine(kExpression + textFrom(at), at);
    }

    // Returns the reference's text (for a counted loop).
    QString assignment()
    {
        getWord();
        const qsizetype at = wordStart_;
        qsizetype q = at;
        while (q < buf_.size() && isNameChar(buf_[q]))
            ++q;
        const QString name = buf_.mid(at, q - at);
        QString index;
        bool indexed = false;
        cur_ = q;
        if (q < buf_.size() && buf_[q] == u'[') {
            cur_ = q + 1;
            const qsizetype indexStart = cur_;
            relation();
            index = textFrom(indexStart);
            if (!getWord().startsWith(u']'))
                fail("Need \"]\" here", wordStart_);
            cur_ = wordStart_ + 1;
            indexed = true;
        }
        const QString reference = textFrom(at);
        const QString next = getWord();
        if (next == u";" || next == u"END" || next == u"ELSE") {
            cur_ = wordStart_;
            addLine(kExpression + reference + QStringLiteral("(0)"), at);
            return reference;
        }
        if (!next.startsWith(u":="))
            fail("Need \":=\" here", wordStart_);
        cur_ = wordStart_ + 2;
        const qsizetype exprStart = cur_;
        relation();
        const QString expression = textFrom(exprStart);
        if (indexed)
            addLine(kExpression + QStringLiteral("SETARRAY(") + name + QStringLiteral(", ") + index +
                        QStringLiteral(", ") + expression + u')',
                    at);
        else
            addLine(trimmed(name) + u' ' + expression, at);
        return reference;
    }

    void ifStatement()
    {
        const qsizetype at = cur_;
        relation();
        const qsizetype conditional = addLine(kCondJump + target(0) + textFrom(at), at);
        if (getWord() != u"THEN")
            fail("Need \"then\" here", wordStart_);
        statement();
        if (getWord() == u"ELSE") {
            const qsizetype jump = addLine(kJump + target(0), wordStart_);
            setTarget(conditional, lines_.size());
            statement();
            setTarget(jump, lines_.size());
        } else {
            cur_ = wordStart_;
            setTarget(conditional, lines_.size());
        }
    }

    void repeatStatement()
    {
        const qsizetype start = lines_.size();
        while (true) {
            statement();
            const QString next = getWord();
            if (next.startsWith(u';')) {
                cur_ = wordStart_ + 1;
            } else if (next == u"UNTIL") {
                break;
            } else {
                fail("Need \";\" or \"until\" here", wordStart_);
            }
        }
        const qsizetype at = cur_;
        relation();
        addLine(kCondJump + target(start) + textFrom(at), at);
    }

    void whileStatement()
    {
        const qsizetype start = lines_.size();
        const qsizetype at = cur_;
        relation();
        const qsizetype conditional = addLine(kCondJump + target(0) + textFrom(at), at);
        if (getWord() != u"DO")
            fail("Need \"do\" here", wordStart_);
        statement();
        addLine(kJump + target(start), at);
        setTarget(conditional, lines_.size());
    }

    void forStatement()
    {
        const qsizetype at = cur_;
        const QString name = assignment();
        if (getWord() != u"TO")
            fail("Need \"to\" here", wordStart_);
        const qsizetype limitStart = cur_;
        relation();
        const qsizetype conditional =
            addLine(kCondJump + target(0) + name + QStringLiteral("<=") + textFrom(limitStart), at);
        if (getWord() != u"DO")
            fail("Need \"do\" here", wordStart_);
        statement();
        addLine(name + u' ' + name + QStringLiteral("+1"), at);
        addLine(kJump + target(conditional), at);
        setTarget(conditional, lines_.size());
    }

    void gotoStatement()
    {
        getWord();
        const qsizetype at = wordStart_;
        qsizetype q = at;
        while (q < buf_.size() && isDigit(buf_[q]))
            ++q;
        if (q == at)
            fail("\"goto\" label must be a number", at);
        cur_ = q;
        gotos_.emplace(addLine(kJump + buf_.mid(at, q - at), at), at);
    }

    // ----- expressions: the form is checked, the text kept

    void relation()
    {
        simpleExpression();
        const QString w = getWord();
        if (w.startsWith(u">=") || w.startsWith(u"<=") || w.startsWith(u"<>"))
            cur_ = wordStart_ + 2;
        else if (w.startsWith(u'<') || w.startsWith(u'=') || w.startsWith(u'>'))
            cur_ = wordStart_ + 1;
        else {
            cur_ = wordStart_;
            return;
        }
        simpleExpression();
    }

    void simpleExpression()
    {
        while (true) {
            term();
            const QString w = getWord();
            if (w.startsWith(u'+') || w.startsWith(u'-'))
                cur_ = wordStart_ + 1;
            else if (w.startsWith(u"OR"))
                cur_ = wordStart_ + 2;
            else {
                cur_ = wordStart_;
                return;
            }
        }
    }

    void term()
    {
        while (true) {
            factor();
            const QString w = getWord();
            if (w.startsWith(u'*') || w.startsWith(u'/'))
                cur_ = wordStart_ + 1;
            else if (w.startsWith(u"AND") || w.startsWith(u"MOD"))
                cur_ = wordStart_ + 3;
            else {
                cur_ = wordStart_;
                return;
            }
        }
    }

    void factor()
    {
        const QString w = getWord();
        const qsizetype at = wordStart_;
        const NestingGuard nesting(depth_);
        const qsizetype n = buf_.size();
        if (w == u" ")
            fail("Need an operand here", at);
        const QChar c = buf_[at];
        if (c == u'(') {
            cur_ = at + 1;
            relation();
            if (!getWord().startsWith(u')'))
                fail("Need \")\" here", wordStart_);
            cur_ = wordStart_ + 1;
            return;
        }
        if (c == u'[') {
            // Taken whole: nested brackets, quoted runs.
            int depth = 0;
            QChar quote;
            for (qsizetype q = at; q < n; ++q) {
                const QChar d = buf_[q];
                if (!quote.isNull()) {
                    if (d == quote)
                        quote = QChar();
                } else if (d == u'\'' || d == u'"') {
                    quote = d;
                } else if (d == u'[') {
                    ++depth;
                } else if (d == u']' && --depth == 0) {
                    cur_ = q + 1;
                    return;
                }
            }
            fail("Need \"]\" here", at);
        }
        if (c == u'+' || c == u'-') {
            cur_ = at + 1;
            relation();
            return;
        }
        if (w.startsWith(u"NOT") && (at + 3 >= n || !isNameChar(buf_[at + 3]))) {
            cur_ = at + 3;
            relation();
            return;
        }
        if (isLetter(c)) {
            qsizetype q = at;
            while (q < n && isNameChar(buf_[q]))
                ++q;
            if (q < n && buf_[q] == u'(') {
                cur_ = q + 1;
                while (true) {
                    relation();
                    const QString next = getWord();
                    if (next.startsWith(u',')) {
                        cur_ = wordStart_ + 1;
                    } else if (next.startsWith(u')')) {
                        cur_ = wordStart_ + 1;
                        return;
                    } else {
                        fail("Need \",\" or \")\" here", wordStart_);
                    }
                }
            }
            if (q < n && buf_[q] == u'[') {
                cur_ = q + 1;
                relation();
                if (!getWord().startsWith(u']'))
                    fail("Need \"]\" here", wordStart_);
                cur_ = wordStart_ + 1;
                return;
            }
            cur_ = q;
            return;
        }
        if (isDigit(c)) {
            qsizetype q = at;
            while (q < n && isDigit(buf_[q]))
                ++q;
            if (q < n && buf_[q] == u'.') {
                ++q;
                while (q < n && isDigit(buf_[q]))
                    ++q;
            }
            cur_ = q;
            return;
        }
        if (c == u'\'') {
            for (qsizetype q = at + 1; q < n; ++q) {
                if (buf_[q] != u'\'')
                    continue;
                if (q + 1 < n && buf_[q + 1] == u'\'') {
                    ++q;
                    continue;
                }
                cur_ = q + 1;
                return;
            }
        }
        fail("Need an operand here", at);
    }

    // ----- the second pass

    void finish()
    {
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            QString &line = lines_[i];
            const qsizetype at = linePositions_[static_cast<std::size_t>(i)];
            if (const auto g = gotos_.find(i); g != gotos_.end()) {
                const QString label = line.mid(1);
                const auto found = labels_.find(label + u':');
                if (found == labels_.end()) {
                    // A jump with the label's digits for a target would lead
                    // anywhere: nothing of the script runs.
                    lines_.clear();
                    throw SyntaxError{QStringLiteral("Label \"%1\" is not defined").arg(label), g->second};
                }
                line = kJump + target(found->second) + line.mid(3);
                continue;
            }
            wordStart_ = at;
            const QChar code = line[0];
            if (code == kCondJump)
                line = line.left(3) + Parser::ToPostfix(line.mid(3));
            else if (code == kExpression)
                line = kExpression + Parser::ToPostfix(line.mid(1));
            else if (code != kJump) {
                const qsizetype blank = line.indexOf(u' ');
                line = line.left(blank + 1) + Parser::ToPostfix(line.mid(blank + 1));
            }
        }
    }

    // "Line <line>/<column>: <message>" in the source's terms.
    QString errorLine(const SyntaxError &e) const
    {
        qsizetype pos = e.position;
        qsizetype added = 0;
        for (const auto &[start, length] : comments_)
            if (start <= pos)
                added += length;
        pos += added + 1;
        qsizetype line = 1;
        for (const QString &l : source_) {
            if (pos <= l.size() + 1)
                break;
            pos -= l.size() + 1;
            ++line;
        }
        // An error at the end of the text: after the last character.
        if (line > source_.size() && !source_.isEmpty()) {
            line = source_.size();
            pos = source_.back().size() + 1;
        }
        return QStringLiteral("Line %1/%2: %3").arg(line).arg(pos).arg(e.message);
    }

    const QStringList &source_;
    QString buf_;
    qsizetype cur_ = 0;
    qsizetype wordStart_ = 0;
    int depth_ = 0;
    std::vector<std::pair<qsizetype, qsizetype>> comments_;
    QStringList lines_;
    std::vector<qsizetype> linePositions_;
    // Label text ("10:") and the line that follows it; the first one counts.
    std::map<QString, qsizetype> labels_;
    // Jump lines to labels, with where their label was written.
    std::map<qsizetype, qsizetype> gotos_;
};

} // namespace

Interpreter::Interpreter()
{
    parser_.OnGetValue = [this](const QString &name, Variant &value) { GetValue(name, value); };
    parser_.OnFunction = [this](const QString &name, const QString &p1, const QString &p2, const QString &p3,
                                Variant &value) { DoFunction(name, p1, p2, p3, value); };
}

Interpreter::~Interpreter() = default;

void Interpreter::GetValue(const QString &, Variant &) {}
void Interpreter::SetValue(const QString &, const Variant &) {}
void Interpreter::DoFunction(const QString &, const QString &, const QString &, const QString &, Variant &) {}

void Interpreter::PrepareScript(const QStringList &source, QStringList &compiled, QStringList &errors)
{
    const QStringList copy = source; // the compiled list may be the source list
    compiled.clear();
    errors.clear();
    Compiler compiler(copy);
    QString error;
    if (!compiler.compile(compiled, error))
        errors << error;
}

void Interpreter::DoScript(const QStringList &compiled)
{
    const qsizetype n = compiled.size();
    qsizetype i = 0;
    while (i < n) {
        const QString &line = compiled[i];
        if (line.isEmpty()) {
            ++i;
            continue;
        }
        const QChar code = line[0];
        if (code == kCondJump || code == kJump) {
            if (line.size() < 3)
                return; // not a line this compiler makes
            if (code == kJump) {
                i = targetOf(line);
                continue;
            }
            const Variant value = parser_.CalcPostfix(line.mid(3));
            i = platform::varCompare(value, Variant(0)) == platform::VarRelation::Equal ? targetOf(line) : i + 1;
            continue;
        }
        if (code == kExpression) {
            const QString expression = line.mid(1);
            if (expression.compare(u"EXIT(0)", Qt::CaseInsensitive) == 0)
                return;
            parser_.CalcPostfix(expression);
            ++i;
            continue;
        }
        const qsizetype blank = line.indexOf(u' ');
        const QString name = blank < 0 ? line : line.left(blank);
        SetValue(name, parser_.CalcPostfix(blank < 0 ? QString() : line.mid(blank + 1)));
        ++i;
    }
}

void Interpreter::SplitExpressions(const QStringList &compiled, const QStringList &matches, const Variables &variables,
                                   QStringList &result)
{
    FunctionSplitter splitter(matches, variables, result);
    for (const QString &line : compiled)
        splitter.Split(compiledExpression(line));
}

} // namespace reports
