#pragma once
// Shared vocabulary of the database engine: field types with the platform's
// numbering, field descriptions, the engine's exception and the table kinds.

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <stdexcept>
#include <vector>

namespace platform::db {

// Field types. The numbering is the platform's: callers compare codes
// (integer = 3, float = 6, currency = 7), so the order must not change.
enum class FieldType : int {
    Unknown = 0,
    String = 1,
    Smallint = 2,
    Integer = 3,
    Word = 4,
    Boolean = 5,
    Float = 6,
    Currency = 7,
    BCD = 8,
    Date = 9,
    Time = 10,
    DateTime = 11,
    Bytes = 12,
    VarBytes = 13,
    AutoInc = 14,
    Blob = 15,
    Memo = 16,
    Graphic = 17,
    FmtMemo = 18,
    ParadoxOle = 19,
    DBaseOle = 20,
    TypedBinary = 21,
    Cursor = 22,
    FixedChar = 23,
    WideString = 24,
    Largeint = 25,
};

bool isStringType(FieldType t);   // string, fixed char, wide string
bool isIntegerType(FieldType t);  // small integer, integer, word, auto-increment, large integer
bool isFloatType(FieldType t);    // float, currency, BCD
bool isNumericType(FieldType t);  // any of the two above
bool isBlobType(FieldType t);     // bytes, blobs, memos, graphic, OLE, typed binary
// The type's name for messages ("строка", "число" ...).
QString fieldTypeName(FieldType t);

// One field of a table: name, type, size (characters of a string, width of a
// dBase number) and decimals.
struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;
    int precision = 0;
    // The dBase type letter the field has on disk ('C', 'N' ...); 0 elsewhere.
    char dbfType = 0;
};
using FieldDefs = std::vector<FieldDef>;

// Index of the field of that name (without regard to case), or -1.
int findFieldDef(const FieldDefs &defs, QStringView name);

// Raised for every failure of the engine (missing table or alias, wrong SQL,
// a value that does not fit, a failed post). The message is for the user.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }
private:
    QString message_;
};

// How a table file is stored: dBase files of any program, and the system's
// own work tables (the ".db" names) kept as SQLite database files.
enum class TableType { Default, DBase, Paradox };

} // namespace platform::db
