#include "platform/db/SqlDialect.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/SqlSupport.h"

#include <QHash>
#include <QSet>

namespace platform::db::sql {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'@' || c == u'#';
}

const QSet<QString> &keywords()
{
    static const QSet<QString> k = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("GROUP"),
        QStringLiteral("ORDER"), QStringLiteral("BY"), QStringLiteral("HAVING"), QStringLiteral("JOIN"),
        QStringLiteral("INNER"), QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("FULL"),
        QStringLiteral("OUTER"), QStringLiteral("CROSS"), QStringLiteral("NATURAL"), QStringLiteral("ON"),
        QStringLiteral("USING"), QStringLiteral("UNION"), QStringLiteral("ALL"), QStringLiteral("EXCEPT"),
        QStringLiteral("INTERSECT"), QStringLiteral("LIMIT"), QStringLiteral("OFFSET"), QStringLiteral("AS"),
        QStringLiteral("SET"), QStringLiteral("VALUES"), QStringLiteral("INTO"), QStringLiteral("INSERT"),
        QStringLiteral("UPDATE"), QStringLiteral("DELETE"), QStringLiteral("AND"), QStringLiteral("OR"),
        QStringLiteral("NOT"), QStringLiteral("LIKE"), QStringLiteral("IN"), QStringLiteral("IS"),
        QStringLiteral("NULL"), QStringLiteral("BETWEEN"), QStringLiteral("ASC"), QStringLiteral("DESC"),
        QStringLiteral("DISTINCT"), QStringLiteral("CASE"), QStringLiteral("WHEN"), QStringLiteral("THEN"),
        QStringLiteral("ELSE"), QStringLiteral("END"), QStringLiteral("WINDOW"), QStringLiteral("ESCAPE"),
        QStringLiteral("EXISTS"), QStringLiteral("DEFAULT"), QStringLiteral("RETURNING"), QStringLiteral("WITH"),
        QStringLiteral("REPLACE"), QStringLiteral("COLLATE"), QStringLiteral("GLOB"), QStringLiteral("CAST"),
    };
    return k;
}

bool isKeyword(const Token &t)
{
    return t.kind == Token::Word && keywords().contains(t.text.toUpper());
}

QString unquote(const QString &quoted)
{
    QString inner = quoted.mid(1, quoted.size() - 2);
    inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return inner;
}

QString fold(const QString &name)
{
    return ansiUpperCase(name.trimmed());
}

bool isPathPunct(const Token &t)
{
    return t.kind == Token::Punct && t.text.size() == 1 && QStringLiteral(".\\/:~-").contains(t.text[0]);
}

// Names of functions whose parentheses may hold the word FROM.
bool isFromFunction(const QString &upper)
{
    return upper == u"SUBSTRING" || upper == u"SUBSTR" || upper == u"TRIM" || upper == u"EXTRACT"
        || upper == u"POSITION" || upper == u"OVERLAY";
}

bool isAggregate(const QString &upper)
{
    return upper == u"COUNT" || upper == u"SUM" || upper == u"AVG" || upper == u"MIN" || upper == u"MAX"
        || upper == u"TOTAL" || upper == u"GROUP_CONCAT";
}

enum class Role { Normal, TableName, TableNameTail, AliasWord, Alias };

struct Ref {
    int first = 0;
    int last = 0;
    QString name;
    int aliasToken = -1;
    TableSource source;
    QString qualifier;
};

class Translator {
public:
    Translator(const QString &sql, const TableResolver &resolve) : resolve_(resolve), tokens_(tokenize(sql))
    {
        roles_.assign(tokens_.size(), Role::Normal);
        out_.resize(tokens_.size());
        for (size_t i = 0; i < tokens_.size(); ++i) {
            out_[i] = tokens_[i].text;
            if (tokens_[i].kind != Token::Space && tokens_[i].kind != Token::Comment)
                sig_.push_back(static_cast<int>(i));
        }
    }

    TranslatedSql run(bool wantLive)
    {
        TranslatedSql result;
        checkSingleStatement();
        if (sig_.empty())
            throw DbError(QStringLiteral("Пустой текст запроса !"));
        result.firstWord = tokens_[static_cast<size_t>(sig_[0])].text;
        const QString first = result.firstWord.toUpper();
        if (first == u"SELECT" || first == u"WITH" || first == u"VALUES")
            result.kind = StatementKind::Select;
        else if (first == u"INSERT" || first == u"REPLACE")
            result.kind = StatementKind::Insert;
        else if (first == u"UPDATE")
            result.kind = StatementKind::Update;
        else if (first == u"DELETE")
            result.kind = StatementKind::Delete;

        findTables();
        resolveTables();
        findSelectAliases();
        rewrite();
        substituteGroupBy();
        if (wantLive && result.kind == StatementKind::Select && first == u"SELECT" && isSimpleSelect()) {
            const Ref &r = refs_.front();
            out_[static_cast<size_t>(sig_[0])] += QStringLiteral(" ") + r.qualifier + QStringLiteral(".rowid AS ")
                + quoteName(QString::fromLatin1(kRowIdColumn)) + QStringLiteral(",");
            result.live = true;
            result.liveTable = r.source.sqlName;
        }
        for (const QString &s : out_)
            result.text += s;
        return result;
    }

private:
    const Token &sig(size_t k) const { return tokens_[static_cast<size_t>(sig_[k])]; }
    bool isPunct(size_t k, QStringView p) const { return k < sig_.size() && sig(k).kind == Token::Punct && sig(k).text == p; }
    bool isWord(size_t k, QStringView w) const
    {
        return k < sig_.size() && sig(k).kind == Token::Word && sig(k).text.compare(w, Qt::CaseInsensitive) == 0;
    }

    void checkSingleStatement()
    {
        for (size_t k = 0; k < sig_.size(); ++k) {
            if (!isPunct(k, u";"))
                continue;
            for (size_t j = k + 1; j < sig_.size(); ++j)
                if (!isPunct(j, u";"))
                    throw DbError(QStringLiteral("В запросе допускается только один оператор SQL !"));
            for (size_t j = k; j < sig_.size(); ++j)
                out_[static_cast<size_t>(sig_[j])].clear();
            sig_.resize(k);
            return;
        }
    }

    void findTables()
    {
        std::vector<QString> funcs; // the function of each open parenthesis ("" for none)
        for (size_t k = 0; k < sig_.size(); ++k) {
            const Token &t = sig(k);
            if (roles_[static_cast<size_t>(sig_[k])] != Role::Normal)
                continue;
            if (t.kind == Token::Punct && t.text == u"(") {
                QString f;
                if (k > 0 && sig(k - 1).kind == Token::Word && !isKeyword(sig(k - 1)))
                    f = sig(k - 1).text.toUpper();
                funcs.push_back(f);
                continue;
            }
            if (t.kind == Token::Punct && t.text == u")") {
                if (!funcs.empty())
                    funcs.pop_back();
                continue;
            }
            if (t.kind != Token::Word)
                continue;
            const QString u = t.text.toUpper();
            const QString func = funcs.empty() ? QString() : funcs.back();
            if (u == u"FROM") {
                if (isFromFunction(func)) {
                    if (func == u"SUBSTRING" || func == u"SUBSTR")
                        out_[static_cast<size_t>(sig_[k])] = QStringLiteral(",");
                    continue;
                }
                parseRefs(k + 1, true);
            } else if (u == u"FOR" && (func == u"SUBSTRING" || func == u"SUBSTR")) {
                out_[static_cast<size_t>(sig_[k])] = QStringLiteral(",");
            } else if (u == u"JOIN") {
                parseRefs(k + 1, false);
            } else if (u == u"INTO" && k > 0 && (isWord(k - 1, u"INSERT") || isWord(k - 1, u"REPLACE") || isWord(k - 1, u"OR")
                                                 || isWord(k - 1, u"IGNORE") || isWord(k - 1, u"ROLLBACK")
                                                 || isWord(k - 1, u"ABORT") || isWord(k - 1, u"FAIL"))) {
                parseRefs(k + 1, false);
            } else if (u == u"UPDATE" && k == 0) {
                size_t j = 1;
                if (isWord(1, u"OR"))
                    j = 3;
                parseRefs(j, false);
            }
        }
    }

    void parseRefs(size_t k, bool list)
    {
        while (k < sig_.size()) {
            const Token &t = sig(k);
            Ref r;
            if (t.kind == Token::Quoted) {
                r.first = r.last = sig_[k];
                r.name = unquote(t.text);
                ++k;
            } else if ((t.kind == Token::Word && !isKeyword(t)) || isPathPunct(t)) {
                // A bare file name: adjacent tokens without blanks between them.
                int idx = sig_[k];
                r.first = idx;
                r.name = t.text;
                while (static_cast<size_t>(idx + 1) < tokens_.size()) {
                    const Token &n = tokens_[static_cast<size_t>(idx + 1)];
                    if (!(n.kind == Token::Word || n.kind == Token::Number || isPathPunct(n)))
                        break;
                    ++idx;
                    r.name += n.text;
                }
                r.last = idx;
                k += static_cast<size_t>(r.last - r.first) + 1;
            } else {
                return;
            }
            roles_[static_cast<size_t>(r.first)] = Role::TableName;
            for (int i = r.first + 1; i <= r.last; ++i)
                roles_[static_cast<size_t>(i)] = Role::TableNameTail;
            if (isWord(k, u"AS") && k + 1 < sig_.size()
                && (sig(k + 1).kind == Token::Word || sig(k + 1).kind == Token::Quoted)) {
                roles_[static_cast<size_t>(sig_[k])] = Role::AliasWord;
                r.aliasToken = sig_[k + 1];
                k += 2;
            } else if (k < sig_.size() && sig(k).kind == Token::Word && !isKeyword(sig(k))) {
                r.aliasToken = sig_[k];
                ++k;
            }
            if (r.aliasToken >= 0)
                roles_[static_cast<size_t>(r.aliasToken)] = Role::Alias;
            refs_.push_back(r);
            if (list && isPunct(k, u",")) {
                ++k;
                continue;
            }
            return;
        }
    }

    void resolveTables()
    {
        QHash<QString, int> defaultAliasUse;
        for (Ref &r : refs_) {
            r.source = resolve_(r.name);
            for (const FieldDef &f : r.source.fields) {
                const QString key = fold(f.name);
                if (!columns_.contains(key))
                    columns_.insert(key, f.name);
            }
            if (r.aliasToken >= 0) {
                const Token &a = tokens_[static_cast<size_t>(r.aliasToken)];
                aliases_.insert(fold(a.kind == Token::Quoted ? unquote(a.text) : a.text));
            } else {
                defaultAliasUse[fold(defaultAlias(r))] += 1;
            }
        }
        for (Ref &r : refs_) {
            QString sqlText = r.source.sqlName;
            if (r.aliasToken >= 0) {
                r.qualifier = tokens_[static_cast<size_t>(r.aliasToken)].text;
            } else {
                // The base name of the file names the table too ("Points"."X"),
                // unless two tables of the statement share it.
                const QString alias = defaultAlias(r);
                const QString key = fold(alias);
                if (!alias.isEmpty() && defaultAliasUse.value(key) == 1 && !aliases_.contains(key)) {
                    sqlText += QStringLiteral(" AS ") + quoteName(alias);
                    r.qualifier = quoteName(alias);
                    aliases_.insert(key);
                } else {
                    r.qualifier = r.source.sqlName;
                }
            }
            out_[static_cast<size_t>(r.first)] = sqlText;
            for (int i = r.first + 1; i <= r.last; ++i)
                out_[static_cast<size_t>(i)].clear();
        }
    }

    static QString defaultAlias(const Ref &r)
    {
        const QString base = extractFileName(r.name);
        const qsizetype dot = base.indexOf(u'.');
        return dot > 0 ? base.left(dot) : base;
    }

    // The items of the main select list and their names.
    void findSelectAliases()
    {
        if (sig_.empty() || !isWord(0, u"SELECT"))
            return;
        size_t k = 1;
        if (isWord(k, u"DISTINCT") || isWord(k, u"ALL"))
            ++k;
        int depth = 0;
        size_t itemStart = k;
        for (; k <= sig_.size(); ++k) {
            const bool end = k == sig_.size() || (depth == 0 && (isWord(k, u"FROM") || isPunct(k, u",")));
            if (end) {
                addSelectItem(itemStart, k);
                if (k == sig_.size() || isWord(k, u"FROM"))
                    break;
                itemStart = k + 1;
                continue;
            }
            if (isPunct(k, u"("))
                ++depth;
            else if (isPunct(k, u")"))
                --depth;
        }
    }

    void addSelectItem(size_t from, size_t to)
    {
        if (to <= from + 1)
            return;
        const Token &last = sig(to - 1);
        if (last.kind != Token::Word && last.kind != Token::Quoted)
            return;
        if (last.kind == Token::Word && isKeyword(last))
            return;
        size_t exprEnd = to - 1;
        if (isWord(to - 2, u"AS")) {
            exprEnd = to - 2;
        } else {
            const Token &prev = sig(to - 2);
            const bool endsExpression = prev.kind == Token::Word || prev.kind == Token::Quoted
                || prev.kind == Token::Number || prev.kind == Token::String
                || (prev.kind == Token::Punct && prev.text == u")");
            if (!endsExpression || (prev.kind == Token::Word && isKeyword(prev)))
                return;
        }
        if (exprEnd <= from)
            return;
        const QString name = last.kind == Token::Quoted ? unquote(last.text) : last.text;
        selectAliases_.insert(fold(name), {sig_[from], sig_[exprEnd - 1]});
        roles_[static_cast<size_t>(sig_[to - 1])] = Role::Alias;
    }

    void rewrite()
    {
        for (size_t k = 0; k < sig_.size(); ++k) {
            const size_t i = static_cast<size_t>(sig_[k]);
            const Token &t = tokens_[i];
            if (roles_[i] != Role::Normal && roles_[i] != Role::Alias)
                continue;
            if (t.kind == Token::Quoted) {
                const QString inner = unquote(t.text);
                const QString key = fold(inner);
                const bool afterLike = k > 0 && (isWord(k - 1, u"LIKE") || isWord(k - 1, u"ESCAPE"));
                if (roles_[i] == Role::Alias)
                    continue;
                if (!afterLike && isPunct(k + 1, u"."))
                    continue; // a qualifier
                if (!afterLike && columns_.contains(key)) {
                    out_[i] = quoteName(columns_.value(key));
                } else if (!afterLike && (aliases_.contains(key) || selectAliases_.contains(key))) {
                    // a name of the statement itself
                } else {
                    QString literal = inner;
                    literal.replace(u'\'', QStringLiteral("''"));
                    out_[i] = u'\'' + literal + u'\'';
                }
            } else if (t.kind == Token::Word && roles_[i] == Role::Normal && !isKeyword(t) && !isPunct(k + 1, u"(")) {
                const QString key = fold(t.text);
                const auto it = columns_.constFind(key);
                if (it != columns_.constEnd() && *it != t.text && !aliases_.contains(key))
                    out_[i] = quoteName(*it);
            }
        }
    }

    QString outText(int from, int to) const
    {
        QString s;
        for (int i = from; i <= to; ++i)
            s += out_[static_cast<size_t>(i)];
        return s;
    }

    void substituteGroupBy()
    {
        int depth = 0;
        for (size_t k = 0; k + 1 < sig_.size(); ++k) {
            if (isPunct(k, u"("))
                ++depth;
            else if (isPunct(k, u")"))
                --depth;
            if (depth != 0 || !isWord(k, u"GROUP") || !isWord(k + 1, u"BY"))
                continue;
            size_t termStart = k + 2;
            int d = 0;
            for (size_t j = termStart; j <= sig_.size(); ++j) {
                const bool end = j == sig_.size()
                    || (d == 0 && (isPunct(j, u",") || isWord(j, u"HAVING") || isWord(j, u"ORDER") || isWord(j, u"LIMIT")
                                   || isWord(j, u"UNION") || isWord(j, u"EXCEPT") || isWord(j, u"INTERSECT")
                                   || isWord(j, u"WINDOW")))
                    || (d == 0 && isPunct(j, u")"));
                if (end) {
                    if (j == termStart + 1)
                        substituteTerm(termStart);
                    if (j == sig_.size() || !isPunct(j, u","))
                        return;
                    termStart = j + 1;
                    continue;
                }
                if (isPunct(j, u"("))
                    ++d;
                else if (isPunct(j, u")"))
                    --d;
            }
            return;
        }
    }

    void substituteTerm(size_t k)
    {
        const Token &t = sig(k);
        if (t.kind != Token::Word && t.kind != Token::Quoted)
            return;
        const QString key = fold(t.kind == Token::Quoted ? unquote(t.text) : t.text);
        const auto it = selectAliases_.constFind(key);
        if (it == selectAliases_.constEnd())
            return;
        const auto [from, to] = *it;
        if (from == to) {
            const Token &e = tokens_[static_cast<size_t>(from)];
            if ((e.kind == Token::Word || e.kind == Token::Quoted)
                && fold(e.kind == Token::Quoted ? unquote(e.text) : e.text) == key)
                return;
        }
        out_[static_cast<size_t>(sig_[k])] = u'(' + outText(from, to) + u')';
    }

    bool isSimpleSelect() const
    {
        if (refs_.size() != 1)
            return false;
        int selects = 0;
        for (size_t k = 0; k < sig_.size(); ++k) {
            const Token &t = sig(k);
            if (t.kind != Token::Word)
                continue;
            const QString u = t.text.toUpper();
            if (u == u"SELECT")
                ++selects;
            if (u == u"JOIN" || u == u"GROUP" || u == u"DISTINCT" || u == u"UNION" || u == u"EXCEPT"
                || u == u"INTERSECT" || u == u"HAVING" || u == u"WINDOW")
                return false;
            if (isAggregate(u) && isPunct(k + 1, u"("))
                return false;
        }
        return selects == 1;
    }

    const TableResolver &resolve_;
    std::vector<Token> tokens_;
    std::vector<Role> roles_;
    std::vector<QString> out_;
    std::vector<int> sig_;
    std::vector<Ref> refs_;
    QHash<QString, QString> columns_; // folded -> as the table spells it
    QSet<QString> aliases_;           // folded table aliases
    QHash<QString, std::pair<int, int>> selectAliases_; // folded name -> token range of its expression
};

} // namespace

std::vector<Token> tokenize(const QString &s)
{
    std::vector<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto push = [&](Token::Kind kind, qsizetype from, qsizetype to) { out.push_back({kind, s.mid(from, to - from)}); };
    while (i < n) {
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            push(Token::Space, start, i);
        } else if (c == u'-' && next == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            push(Token::Comment, start, i);
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                throw DbError(QStringLiteral("В тексте запроса не закрыт комментарий !"));
            i = end + 2;
            push(Token::Comment, start, i);
        } else if (c == u'"' || c == u'\'') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                ++i;
            }
            if (!closed)
                throw DbError(QStringLiteral("В тексте запроса не закрыта кавычка !"));
            push(c == u'"' ? Token::Quoted : Token::String, start, i);
        } else if (c.isDigit() || (c == u'.' && next.isDigit() && (out.empty() || out.back().kind != Token::Word))) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < n && (s[i] == u'e' || s[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (s[j] == u'+' || s[j] == u'-'))
                    ++j;
                if (j < n && s[j].isDigit()) {
                    i = j;
                    while (i < n && s[i].isDigit())
                        ++i;
                }
            }
            // A number glued to letters is a word (a file name such as 2024plan).
            if (i < n && isWordChar(s[i])) {
                while (i < n && isWordChar(s[i]))
                    ++i;
                push(Token::Word, start, i);
            } else {
                push(Token::Number, start, i);
            }
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(s[i]))
                ++i;
            push(Token::Word, start, i);
        } else {
            static const QStringList pairs = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("!="), QStringLiteral("||"), QStringLiteral("==")};
            const QString two = s.mid(i, 2);
            i += pairs.contains(two) ? 2 : 1;
            push(Token::Punct, start, i);
        }
    }
    return out;
}

TranslatedSql translate(const QString &sql, const TableResolver &resolve, bool wantLive)
{
    Translator t(sql, resolve);
    return t.run(wantLive);
}

} // namespace platform::db::sql
