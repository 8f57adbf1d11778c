#pragma once
// The table structure editor's work on dBase files without a window: the
// four field formats and their limits, field lines
// ("NAME;C;20;0"), the empty table file the editor writes itself, its own
// reading of a table's field descriptors, and the copy of records from the
// old table into the rebuilt one.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace dialogs::tables {

// "строка" C, "число" N, "дата" D, "логическое" L; other letters show no
// format, and an unknown format text gives no letter (0).
QString formatText(char letter);
char formatLetter(const QString &format);
// The format texts in the order the field dialog lists them.
QStringList formatTexts();

// Size and decimals as a type allows them: C 1..254, N 1..19 with at most
// size - 1 decimals, D 8, L 1 (no decimals but for N). A letter of another
// type keeps its size within 1..255 and its decimals within 0..255.
struct FieldLimits {
    int size = 0;
    int decimals = 0;
};
FieldLimits limitField(char letter, int size, int decimals);

// A number typed or stored as text, rounded (MapFunctions::TextToInt);
// empty or no number: 0.
int numberFromText(const QString &text);

// A field of a table.
struct TableField {
    QString name;
    char type = 'C';
    int size = 0;
    int decimals = 0;
};

// The longest field name a descriptor holds: ten bytes before its
// terminating zero.
inline constexpr int MaxFieldNameBytes = 10;
// Whether a name fits a descriptor as it stands (Windows-1251 bytes).
bool fieldNameFits(const QString &name);
// The name as a descriptor holds it: trimmed, upper case, cut to ten bytes.
// The table is written and its records copied under this one name.
QString fieldNameInTable(const QString &name);

// name + ";" + letter + ";" + size + ";" + decimals (empty decimals stay empty).
QString fieldSpec(const QString &name, char letter, const QString &size, const QString &decimals);
// A field line of at least four parts (split at ";", trimmed, name and
// letter upper-cased), its size and decimals read as numbers (empty or no
// number: 0) and limited; the name cut to the ten characters a descriptor
// holds (fieldNameInTable). Empty for fewer parts, an empty name or no type
// letter.
std::optional<TableField> parseFieldSpec(const QString &spec);

// The empty dBase III file of the field lines that parse: header of 32
// bytes (version 3, date 106-3-1, no records, header length 32n + 33, record
// length 1 + sizes), a 32-byte descriptor per field, 0x0D and 0x1A. A table
// with a memo field ("M" or "B") is marked as one with a memo file (0x83).
QByteArray emptyTableBytes(const QStringList &specs);
// Whether a field line is one of a field kept in the memo file.
bool hasMemoField(const QStringList &specs);
// The empty memo file of such a table: one 512-byte block whose first four
// bytes name block 1 as the next free one.
QByteArray emptyMemoBytes();
// Writes that file, replacing one of that name, and for a table with a memo
// field its own empty memo file (the name with ".dbt"); raises
// platform::db::DbError when they cannot be written.
void CreateDbfFile(const QString &fileName, const QStringList &specs);

// The memo file beside a table file (".dbt" in any letter case), or empty
// when there is none.
QString memoFileOf(const QString &tableFile);

// Puts a rebuilt table (its ".dbf" and its own ".dbt", when it has one) in
// the place of a table, after copying the table's files to the backup name
// (".dbf" and ".dbt" alike). The two files are replaced together: when the
// second cannot be written the first is put back from the backup. Answers
// an empty text on success, otherwise the message for the user;
// backupNeeded is set when the table's files could not be put back and the
// backup holds the only whole copy.
QString ReplaceTableFiles(const QString &newFile, const QString &tableFile, const QString &backupFile,
                          bool &backupNeeded);

// The fields a table file's header describes, read as the editor reads them:
// (header length - 33) / 32 descriptors, never more than the bytes hold and
// none past the header's end mark.
std::vector<TableField> readTableFields(QByteArrayView bytes);
// The same from a file (at most its header is read); empty when it cannot be read.
std::vector<TableField> readTableFieldsFromFile(const QString &path);

// Appends every record of the source table to the target table, field by
// field by name (the field called oldName, compared without regard to case,
// goes to newName), converting values to the target's type; records marked
// deleted stay marked, so that row n + 1 still belongs to object n. Raises
// platform::db::DbError from the engine.
void CopyRecords(const QString &source, const QString &target, const QString &oldName = QString(),
                 const QString &newName = QString());

} // namespace dialogs::tables
