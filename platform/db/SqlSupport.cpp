#include "platform/db/SqlSupport.h"

#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/db/DbfCodec.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <sqlite3.h>

namespace platform::db::sql {

namespace {

// Folding table for every character of the code page (all lie below U+2200).
constexpr char32_t kFoldTableSize = 0x2200;

const std::array<char16_t, kFoldTableSize> &foldTable()
{
    static const std::array<char16_t, kFoldTableSize> table = [] {
        std::array<char16_t, kFoldTableSize> t{};
        for (char32_t c = 0; c < kFoldTableSize; ++c)
            t[c] = static_cast<char16_t>(c);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QChar c = fromCp1251(QByteArrayView(&byte, 1)).at(0);
            if (c.unicode() < kFoldTableSize)
                t[c.unicode()] = ansiUpperChar(c).unicode();
        }
        return t;
    }();
    return table;
}

using FoldTable = std::array<char16_t, kFoldTableSize>;

// foldChar with the table fetched once by the caller, for loops over texts.
inline char32_t fold(const FoldTable &table, char32_t c)
{
    return c < kFoldTableSize ? table[c] : c;
}

// The folded character of every Windows-1251 byte.
const std::array<char32_t, 256> &cp1251FoldTable()
{
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            t[size_t(b)] = foldChar(fromCp1251(QByteArrayView(&byte, 1)).at(0).unicode());
        }
        return t;
    }();
    return table;
}

// Stands for "_" among a compiled pattern's characters (no character has it).
constexpr char32_t kAnyChar = 0xFFFFFFFF;

// Decodes one UTF-8 character; a byte that starts no valid sequence stands for itself.
inline char32_t nextChar(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = 0;
    char32_t v = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        v = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        v = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        v = c & 0x07;
    } else {
        return c;
    }
    if (end - p < extra)
        return c;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return c;
        v = (v << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return v;
}

int collate(void *, int lenA, const void *a, int lenB, const void *b)
{
    auto pa = static_cast<const unsigned char *>(a), pb = static_cast<const unsigned char *>(b);
    const unsigned char *ea = pa + lenA, *eb = pb + lenB;
    const FoldTable &table = foldTable();
    while (pa < ea && pb < eb) {
        const char32_t x = fold(table, nextChar(pa, ea)), y = fold(table, nextChar(pb, eb));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

void dropPattern(void *pattern)
{
    delete static_cast<LikePattern *>(pattern);
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // like(pattern, text [, escape])
    const unsigned char *pattern = sqlite3_value_text(argv[0]);
    const unsigned char *text = sqlite3_value_text(argv[1]);
    if (!pattern || !text)
        return; // NULL
    const int plen = sqlite3_value_bytes(argv[0]);
    const int tlen = sqlite3_value_bytes(argv[1]);
    if (argc == 2) {
        // A constant pattern is compiled for the first row and kept by
        // SQLite for the statement's other rows.
        auto *compiled = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
        if (!compiled) {
            compiled = new LikePattern(pattern, plen);
            sqlite3_set_auxdata(ctx, 0, compiled, dropPattern);
            // SQLite may have dropped it at once (a pattern that changes from row to row).
            compiled = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
        }
        const bool match = compiled ? compiled->matchesUtf8(text, tlen) : LikePattern(pattern, plen).matchesUtf8(text, tlen);
        sqlite3_result_int(ctx, match ? 1 : 0);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const unsigned char *e = sqlite3_value_text(argv[2]);
        const int elen = sqlite3_value_bytes(argv[2]);
        const unsigned char *ee = e + elen;
        if (!e || elen == 0) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = nextChar(e, ee);
        if (e != ee) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    sqlite3_result_int(ctx, likeMatch(pattern, plen, text, tlen, escape) ? 1 : 0);
}

void caseFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const unsigned char *text = sqlite3_value_text(argv[0]);
    if (!text)
        return;
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(text), sqlite3_value_bytes(argv[0]));
    const bool upper = sqlite3_user_data(ctx) != nullptr;
    const QByteArray out = (upper ? ansiUpperCase(s) : ansiLowerCase(s)).toUtf8();
    sqlite3_result_text(ctx, out.constData(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

} // namespace

char32_t foldChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    return c < kFoldTableSize ? foldTable()[c] : c;
}

bool likeMatch(const unsigned char *pattern, int patternLen, const unsigned char *text, int textLen,
               char32_t escape)
{
    // Wildcard matching with one backtracking point: the latest "%".
    const unsigned char *p = pattern, *pe = pattern + patternLen;
    const unsigned char *t = text, *te = text + textLen;
    const unsigned char *starP = nullptr, *starT = nullptr;
    const FoldTable &table = foldTable();
    while (t < te) {
        if (p < pe) {
            const unsigned char *pNext = p;
            char32_t pc = nextChar(pNext, pe);
            bool literal = false;
            if (escape && pc == escape && pNext < pe) {
                pc = nextChar(pNext, pe);
                literal = true;
            }
            if (!literal && pc == U'%') {
                starP = pNext;
                starT = t;
                p = pNext;
                continue;
            }
            const unsigned char *tNext = t;
            const char32_t tc = nextChar(tNext, te);
            if ((!literal && pc == U'_') || fold(table, pc) == fold(table, tc)) {
                p = pNext;
                t = tNext;
                continue;
            }
        }
        if (!starP)
            return false;
        // Let the latest "%" take one more character.
        nextChar(starT, te);
        t = starT;
        p = starP;
    }
    // Only "%" may remain of the pattern.
    while (p < pe) {
        const unsigned char *pNext = p;
        if (nextChar(pNext, pe) != U'%' || (escape == U'%'))
            return false;
        p = pNext;
    }
    return true;
}

LikePattern::LikePattern(const unsigned char *pattern, int length) : cp1251Fold_(&cp1251FoldTable())
{
    const FoldTable &table = foldTable();
    const unsigned char *p = pattern, *end = pattern + std::max(length, 0);
    pieces_.push_back({});
    while (p < end) {
        const char32_t c = nextChar(p, end);
        if (c == U'%') {
            pieces_.push_back({static_cast<int>(chars_.size()), 0});
            continue;
        }
        chars_.push_back(c == U'_' ? kAnyChar : fold(table, c));
        ++pieces_.back().length;
    }
}

template <class CharAt>
bool LikePattern::holdsAt(const Piece &piece, CharAt at, int position) const
{
    const char32_t *c = chars_.data() + piece.start;
    for (int k = 0; k < piece.length; ++k)
        if (c[k] != kAnyChar && c[k] != at(position + k))
            return false;
    return true;
}

template <class CharAt>
bool LikePattern::matches(CharAt at, int length) const
{
    const Piece &first = pieces_.front(), &last = pieces_.back();
    if (pieces_.size() == 1)
        return length == first.length && holdsAt(first, at, 0);
    // The first piece at the start, the last at the end, not overlapping.
    if (first.length + last.length > length || !holdsAt(first, at, 0) || !holdsAt(last, at, length - last.length))
        return false;
    int from = first.length;
    const int to = length - last.length;
    for (size_t i = 1; i + 1 < pieces_.size(); ++i) {
        const Piece &piece = pieces_[i];
        if (piece.length == 0)
            continue;
        // The first character that is no "_" finds the places worth trying.
        int lead = 0;
        while (lead < piece.length && chars_[size_t(piece.start + lead)] == kAnyChar)
            ++lead;
        const char32_t wanted = lead < piece.length ? chars_[size_t(piece.start + lead)] : kAnyChar;
        int found = -1;
        for (int k = from; k + piece.length <= to; ++k) {
            if ((wanted == kAnyChar || at(k + lead) == wanted) && holdsAt(piece, at, k)) {
                found = k;
                break;
            }
        }
        if (found < 0)
            return false;
        from = found + piece.length;
    }
    return true;
}

bool LikePattern::matchesUtf8(const unsigned char *text, int length) const
{
    // The text decoded and folded once, then matched character by character.
    thread_local std::vector<char32_t> chars;
    chars.clear();
    const FoldTable &table = foldTable();
    for (const unsigned char *t = text, *end = text + std::max(length, 0); t < end;)
        chars.push_back(fold(table, nextChar(t, end)));
    const char32_t *c = chars.data();
    return matches([c](int k) { return c[k]; }, static_cast<int>(chars.size()));
}

bool LikePattern::matchesCp1251(const char *text, int length) const
{
    const std::array<char32_t, 256> &table = *cp1251Fold_;
    const auto *t = reinterpret_cast<const unsigned char *>(text);
    return matches([&table, t](int k) { return table[t[k]]; }, std::max(length, 0));
}

void registerTextFunctions(sqlite3 *db)
{
    sqlite3_create_collation(db, kCollation, SQLITE_UTF8, nullptr, collate);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
    static int marker = 1;
    sqlite3_create_function(db, "upper", 1, flags, &marker, caseFunction, nullptr, nullptr);
    sqlite3_create_function(db, "lower", 1, flags, nullptr, caseFunction, nullptr, nullptr);
}

QString sqlColumnType(FieldType type)
{
    if (isStringType(type) || type == FieldType::Memo || type == FieldType::FmtMemo || type == FieldType::Unknown)
        return QStringLiteral("TEXT COLLATE ") + QLatin1String(kCollation);
    if (isIntegerType(type) || type == FieldType::Boolean)
        return QStringLiteral("INTEGER");
    if (isFloatType(type))
        return QStringLiteral("REAL");
    if (type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime)
        return QStringLiteral("TEXT");
    return QStringLiteral("BLOB");
}

namespace {

[[noreturn]] void badValue(const FieldDef &field, const QVariant &value, const QString &what)
{
    throw DbError(QStringLiteral("Значение \"") + value.toString() + QStringLiteral("\" не является ") + what
                  + QStringLiteral(": поле ") + field.name);
}

bool isTextVariant(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
}

void bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

QDate toDate(const FieldDef &field, const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return daysToDateTime(value.toDouble()).date();
    default:
        break;
    }
    if (const QDate d = readDateText(value.toString()); d.isValid())
        return d;
    badValue(field, value, QStringLiteral("датой"));
}

// The number a value gives a numeric field: a text read as the engine reads
// numbers, anything else converted.
double numberOf(const FieldDef &field, const QVariant &value)
{
    double v = 0;
    if (isTextVariant(value)) {
        if (!dbf::parseNumber(value.toString(), v))
            badValue(field, value, QStringLiteral("числом"));
    } else {
        bool ok = false;
        v = value.toDouble(&ok);
        if (!ok)
            badValue(field, value, QStringLiteral("числом"));
    }
    return v;
}

} // namespace

void bindValue(sqlite3_stmt *stmt, int index, const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull() || (isTextVariant(value) && !isStringType(field.type)
                                               && field.type != FieldType::Memo && value.toString().trimmed().isEmpty())) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    const FieldType t = field.type;
    if (isStringType(t) || t == FieldType::Memo || t == FieldType::FmtMemo || t == FieldType::Unknown) {
        QString s = value.toString();
        if (isStringType(t) && field.size > 0 && s.size() > field.size)
            s.truncate(field.size);
        bindText(stmt, index, s);
    } else if (isIntegerType(t)) {
        const double v = numberOf(field, value);
        if (!std::isfinite(v) || std::fabs(v) >= 9.2e18)
            badValue(field, value, QStringLiteral("целым числом"));
        sqlite3_bind_int64(stmt, index, roundHalfEven(v));
    } else if (isFloatType(t)) {
        const double v = numberOf(field, value);
        if (!isTextVariant(value) && !std::isfinite(v))
            badValue(field, value, QStringLiteral("числом"));
        sqlite3_bind_double(stmt, index, v);
    } else if (t == FieldType::Boolean) {
        bool b = false;
        if (isTextVariant(value)) {
            const QString s = value.toString().trimmed().toLower();
            b = s == u"true" || s == u"t" || s == u"1" || s == u"y" || s == u"yes" || s == u"да";
        } else {
            b = value.toBool();
        }
        sqlite3_bind_int(stmt, index, b ? 1 : 0);
    } else if (t == FieldType::Date) {
        bindText(stmt, index, toDate(field, value).toString(Qt::ISODate));
    } else if (t == FieldType::DateTime || t == FieldType::Time) {
        QDateTime dt;
        if (value.metaType().id() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.metaType().id() == QMetaType::Double)
            dt = daysToDateTime(value.toDouble());
        else if (value.metaType().id() == QMetaType::QTime)
            dt = QDateTime(QDate(1899, 12, 30), value.toTime());
        else
            dt = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!dt.isValid())
            dt = QDateTime(toDate(field, value), QTime(0, 0));
        bindText(stmt, index, t == FieldType::Time ? dt.time().toString(Qt::ISODate)
                                                   : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    } else {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
}

QVariant sqliteValue(sqlite3_value *value, FieldType type)
{
    const int kind = sqlite3_value_type(value);
    if (kind == SQLITE_NULL)
        return {};
    auto text = [&] {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
    };
    switch (type) {
    case FieldType::Unknown:
        switch (kind) {
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_value_int64(value);
            return (v >= INT_MIN && v <= INT_MAX) ? QVariant(static_cast<int>(v)) : QVariant(v);
        }
        case SQLITE_FLOAT:
            return sqlite3_value_double(value);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char *>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
        default:
            return text();
        }
    case FieldType::Boolean:
        return kind == SQLITE_TEXT ? QVariant(text().trimmed().toLower() == u"true" || text().trimmed() == u"1")
                                   : QVariant(sqlite3_value_int64(value) != 0);
    case FieldType::Date: {
        const QDate d = QDate::fromString(text().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::DateTime: {
        QDateTime dt = QDateTime::fromString(text(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid())
            dt = QDateTime::fromString(text(), Qt::ISODate);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case FieldType::Time: {
        const QTime tm = QTime::fromString(text(), Qt::ISODate);
        return tm.isValid() ? QVariant(tm) : QVariant();
    }
    default:
        break;
    }
    if (isIntegerType(type)) {
        if (kind == SQLITE_FLOAT)
            return sqlite3_value_double(value);
        const qint64 v = sqlite3_value_int64(value);
        if (type == FieldType::Largeint || v < INT_MIN || v > INT_MAX)
            return v;
        return static_cast<int>(v);
    }
    if (isFloatType(type))
        return sqlite3_value_double(value);
    if (isBlobType(type) && type != FieldType::Memo && type != FieldType::FmtMemo)
        return QByteArray(static_cast<const char *>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
    return text();
}

QVariant columnValue(sqlite3_stmt *stmt, int column, FieldType type)
{
    return sqliteValue(sqlite3_column_value(stmt, column), type);
}

QString translateError(const QString &m)
{
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.*)$"));
    static const QRegularExpression syntax(QStringLiteral("^near \"(.*)\": syntax error$"));
    static const QRegularExpression noFunction(QStringLiteral("^no such function: (.*)$"));
    static const QRegularExpression ambiguous(QStringLiteral("^ambiguous column name: (.*)$"));
    static const QRegularExpression noTable(QStringLiteral("^no such table: (.*)$"));
    QRegularExpressionMatch r;
    if ((r = noColumn.match(m)).hasMatch())
        return QStringLiteral("Неизвестное поле ") + r.captured(1) + QStringLiteral(" в запросе !");
    if ((r = syntax.match(m)).hasMatch())
        return QStringLiteral("Ошибка в тексте запроса около \"") + r.captured(1) + QStringLiteral("\" !");
    if ((r = noFunction.match(m)).hasMatch())
        return QStringLiteral("Неизвестная функция ") + r.captured(1) + QStringLiteral(" в запросе !");
    if ((r = ambiguous.match(m)).hasMatch())
        return QStringLiteral("Неоднозначное имя поля ") + r.captured(1) + QStringLiteral(" в запросе !");
    if ((r = noTable.match(m)).hasMatch())
        return QStringLiteral("Таблица ") + r.captured(1) + QStringLiteral(" не найдена !");
    if (m.contains(QStringLiteral("incomplete input")))
        return QStringLiteral("Текст запроса оборван !");
    return QStringLiteral("Ошибка выполнения запроса: ") + m;
}

QString quoteName(const QString &name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

} // namespace platform::db::sql

namespace platform::db::sql {

Statement::Statement(sqlite3 *db, const QString &sql) : db_(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt_, nullptr) != SQLITE_OK) {
        const QString m = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError(translateError(m));
    }
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString m = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_reset(stmt_);
    throw DbError(translateError(m));
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void execute(sqlite3 *db, const QString &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString m = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw DbError(translateError(m));
    }
}

} // namespace platform::db::sql
