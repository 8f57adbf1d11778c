#include "reports/language/FunctionSplitter.h"

#include "platform/TextCodec.h"
#include "reports/language/ExpressionParser.h"

namespace reports {

FunctionSplitter::FunctionSplitter(const QStringList &matches, const Variables &variables, QStringList &result)
    : matches_(matches), variables_(variables), result_(result)
{
}

void FunctionSplitter::splitVariable(const QString &name)
{
    const QString key = platform::ansiUpperCase(name);
    if (!following_.insert(key).second)
        return;
    Split(valueText(variables_.GetVariable(name)));
    following_.erase(key);
}

void FunctionSplitter::Split(const QString &expression)
{
    const NestingGuard nesting(depth_);
    const QString s = platform::trimBlank(expression).toString();
    if (s.startsWith(u'\''))
        return;
    const qsizetype n = s.size();
    qsizetype pos = 0;
    if (s.startsWith(u'[')) {
        while (pos < n && s.indexOf(u'[', pos) >= 0) {
            const QString text = ExtractBracketed(s, pos);
            if (variables_.IndexOf(text) >= 0)
                splitVariable(text);
            else
                Split(text);
            ++pos;
        }
        return;
    }
    while (true) {
        const QString word = Parser::ReadWord(s, pos);
        if (word.isEmpty()) {
            if (pos >= n)
                return;
            // Blanks and operators are passed over; a parenthesis or "[" ends.
            const QChar c = s[pos];
            if (!Parser::IsWordDelimiter(c) || c == u'(' || c == u')' || c == u'[')
                return;
            ++pos;
            continue;
        }
        if (pos < n && s[pos] == u'(') {
            const qsizetype start = pos - word.size();
            const std::array<QString, 3> args = Parser::ReadArguments(s, pos);
            Split(args[2]);
            Split(args[1]);
            Split(args[0]);
            if (matches_.contains(word, Qt::CaseInsensitive))
                result_ << s.mid(start, pos - start);
        } else if (variables_.IndexOf(word) >= 0) {
            splitVariable(word);
        }
    }
}

AggregateFunctionsSplitter::AggregateFunctionsSplitter(const Variables &variables, QStringList &result)
    : FunctionSplitter({QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("MAX"), QStringLiteral("MIN"),
                        QStringLiteral("SUM")},
                       variables, result)
{
}

void AggregateFunctionsSplitter::SplitMemo(const QStringList &lines)
{
    for (const QString &line : lines) {
        qsizetype pos = 0;
        while (pos < line.size() && line.indexOf(u'[', pos) >= 0) {
            const QString text = ExtractBracketed(line, pos);
            Split(u'[' + text + u']');
            ++pos;
        }
    }
}

void AggregateFunctionsSplitter::SplitScript(const QStringList &compiledLines)
{
    for (const QString &line : compiledLines)
        Split(compiledExpression(line));
}

QString compiledExpression(const QString &line)
{
    if (line.isEmpty())
        return {};
    switch (line[0].unicode()) {
    case 1: return line.mid(3);
    case 2: return {};
    case 3: return line.mid(1);
    default: {
        const qsizetype blank = line.indexOf(u' ');
        return blank < 0 ? QString() : line.mid(blank + 1);
    }
    }
}

} // namespace reports
