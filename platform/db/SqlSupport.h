#pragma once
// What every SQLite connection of the engine shares: text compared and
// matched without regard to case the Windows way (Cyrillic included), and the
// conversion of field values to and from SQLite values.

#include "platform/db/DbTypes.h"

#include <QString>
#include <QVariant>

#include <array>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace platform::db::sql {

// The collation of text columns: equal when equal without regard to case.
inline constexpr const char *kCollation = "ANSI_NOCASE";

// Registers the collation and the functions like (2 and 3 arguments, with
// "%" and "_"), upper and lower, all folding case as the Windows routines do.
void registerTextFunctions(sqlite3 *db);

// Case folding of one character (to the capital where the code page has it).
char32_t foldChar(char32_t c);
// LIKE on UTF-8 texts; escape is 0 for none.
bool likeMatch(const unsigned char *pattern, int patternLen, const unsigned char *text, int textLen,
               char32_t escape = 0);

// A LIKE pattern without an escape character, read and folded once for the
// many texts of a statement; it matches as likeMatch does. The pattern splits
// at each "%" into pieces of fixed length ("_" takes any one character): the
// first piece holds at the text's start, the last at its end, and each piece
// between is found at its leftmost place after the one before, so that
// "%street%" is a plain search.
class LikePattern {
public:
    LikePattern(const unsigned char *pattern, int length);
    bool matchesUtf8(const unsigned char *text, int length) const;
    // A text of the Windows-1251 code page (a record's bytes), compared
    // without being converted.
    bool matchesCp1251(const char *text, int length) const;

private:
    struct Piece {
        int start = 0, length = 0; // in chars_
    };
    template <class CharAt>
    bool matches(CharAt at, int length) const;
    template <class CharAt>
    bool holdsAt(const Piece &piece, CharAt at, int position) const;

    std::vector<char32_t> chars_; // folded; kAnyChar for "_"
    std::vector<Piece> pieces_;   // one more than the pattern has "%"
    const std::array<char32_t, 256> *cp1251Fold_;
};

// The declared SQLite type of a column holding a field of that type.
QString sqlColumnType(FieldType type);

// A field value as SQLite holds it: dates as "yyyy-MM-dd" text, logicals as
// 0 and 1. Raises DbError when the value cannot be one of the field's type.
void bindValue(sqlite3_stmt *stmt, int index, const FieldDef &field, const QVariant &value);
// The value of a result column as the field's type reads it (Unknown: as it comes).
QVariant columnValue(sqlite3_stmt *stmt, int column, FieldType type);
QVariant sqliteValue(sqlite3_value *value, FieldType type);

// A text for the user from an SQLite error message.
QString translateError(const QString &sqliteMessage);

// Quotes a name for SQL ("a""b").
QString quoteName(const QString &name);

} // namespace platform::db::sql

namespace platform::db::sql {

// A prepared statement that is finalized with its owner.
class Statement {
public:
    // Raises DbError with the translated message when the text does not compile.
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return stmt_; }
    // True for a row, false at the end; raises DbError on an error.
    bool step();
    void reset();

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// Runs statements without results; raises DbError.
void execute(sqlite3 *db, const QString &sql);

} // namespace platform::db::sql
