#pragma once
// The local SQL the system's windows write, turned into SQLite's: table file
// names in From (double-quoted, or bare like track.dbf) become the engine's
// tables; a double-quoted token elsewhere is a column when a table of the
// statement has a column of that name and a text literal otherwise (always a
// literal right after Like); SUBSTRING(x FROM a FOR b) takes SQLite's
// commas; a Group By term that names a result column given by an expression
// groups by that expression; column names match without regard to case.

#include "platform/db/DbTypes.h"

#include <QString>

#include <functional>
#include <vector>

namespace platform::db::sql {

struct Token {
    enum Kind { Space, Comment, Word, Quoted, String, Number, Punct };
    Kind kind = Space;
    QString text;
};

// Splits a statement into tokens; raises DbError for an unclosed quote or comment.
std::vector<Token> tokenize(const QString &sql);

// A table of the statement as the engine offers it.
struct TableSource {
    QString sqlName;  // how SQLite names it (quoted, perhaps with its schema)
    FieldDefs fields;
};
// Gives the table of a file name written in the statement; raises DbError
// for a missing table.
using TableResolver = std::function<TableSource(const QString &fileName)>;

enum class StatementKind { Select, Insert, Update, Delete, Other };

struct TranslatedSql {
    QString text;
    StatementKind kind = StatementKind::Other;
    // A select over one table without grouping, joins or aggregates: its
    // result can be edited. The first result column is then the base row's
    // rowid, named by kRowIdColumn.
    bool live = false;
    QString liveTable; // the SQLite name of that table
    QString firstWord; // the statement's first word, for messages
};

inline constexpr const char *kRowIdColumn = "__rowid__";

// Raises DbError for more than one statement or an unclosed quote.
TranslatedSql translate(const QString &sql, const TableResolver &resolve, bool wantLive);

} // namespace platform::db::sql
