#pragma once
// The bytes of a dBase file (".Dbf"): the 32-byte header, the 32-byte field
// descriptors ended by 0x0D, fixed-length records that begin with a delete
// flag (' ' live, '*' deleted), and the end mark 0x1A. All integers are
// little-endian; text is Windows-1251. Pure functions over bytes, so the
// reader can be checked on any input without files.

#include "platform/db/DbTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QVariant>

#include <vector>

namespace platform::db::dbf {

constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;
constexpr char kHeaderEnd = 0x0D;
constexpr char kFileEnd = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';
// Widest text a character field may hold (with the length extension of the
// high byte some writers use).
constexpr int kMaxCharLength = 65535;

// A field as it lies in the record.
struct DbfField {
    FieldDef def;      // name, engine type, size = width on disk, precision = decimals
    char type = 'C';   // the dBase type letter
    int offset = 0;    // from the record's start (the delete flag is byte 0)
    int length = 0;
    int decimals = 0;
};

struct DbfHeader {
    quint8 version = 3;
    QDate date;                 // last update; invalid when the bytes make no date
    quint32 recordCount = 0;    // as the header says
    int headerLength = 0;
    int recordLength = 0;
    std::vector<DbfField> fields;
    // Records that the file really holds: the header's count, cut to what
    // the file's size leaves room for.
    qint64 availableRecords = 0;
};

// A field descriptor as its bytes say it: the name up to its first zero byte
// (at most 11 bytes, Windows-1251, trimmed), the type letter as written, the
// width byte and the decimals byte. What they mean is the reader's to say.
struct Descriptor {
    QString name;
    char type = 0;
    int length = 0;
    int decimals = 0;
};

// How far the descriptors of a header go; either walk stops at the end mark.
enum class DescriptorWalk {
    // Those lying wholly within the header length and the bytes given: the
    // table reader, which refuses a header that promises more than it holds.
    WithinHeader,
    // (header length - 33) / 32 of them, rounded to the nearest, and never
    // more than the bytes hold; none for a header length below 33: the table
    // structure editor, which shows what another program left.
    Declared,
};

// The header length that bytes 8-9 give (the bytes hold at least 10).
int headerLengthOf(QByteArrayView header);
// The descriptors of a table's first bytes (header first) under that walk.
std::vector<Descriptor> readDescriptors(QByteArrayView bytes, int headerLength, DescriptorWalk walk);

// The header of a table of fieldCount fields with zeros for its date, record
// count, record length and descriptors: the version byte, the header length
// 32 + 32n + 1 and the end mark after the descriptors.
QByteArray newHeader(quint8 version, int fieldCount);
// Writes descriptor i (from 0) of such a header: the name's bytes (at most
// ten, so that a zero ends it), the type letter, the width and decimals bytes.
void putDescriptor(QByteArray &header, int index, QByteArrayView name, char type, int length, int decimals);
// Writes the record length (bytes 10-11).
void putRecordLength(QByteArray &header, int recordLength);

// Reads the header and the field descriptors from the file's first bytes
// (at least the header length, when the file has that many). fileSize is
// the size of the whole file. Raises DbError (naming the file) when the bytes
// are no dBase table.
DbfHeader parseHeader(QByteArrayView bytes, qint64 fileSize, const QString &fileName);

// The engine type of a field by its dBase letter, width and decimals: "N"
// without decimals is a small integer below 5 digits, an integer below 10,
// else a float; "N" with decimals and "F" are floats.
FieldType engineType(char type, int length, int decimals);

// The header bytes of a new table (32 + 32n + 1 bytes) and its field layout;
// descriptors are built from the definitions (String -> C, numbers -> N,
// Date -> D, Boolean -> L, Memo -> M). Raises DbError for a type a dBase
// table cannot hold or a bad name.
QByteArray buildHeader(const FieldDefs &defs, QDate date, quint32 recordCount, bool withMemo,
                       std::vector<DbfField> *layout = nullptr);

// Writes the date (bytes 1..3) and the record count (bytes 4..7) into the
// header bytes.
void putDateAndCount(QByteArray &header, QDate date, quint32 recordCount);

// A record of the given length with every field blank and the live flag.
QByteArray blankRecord(int recordLength);

// The value of a field of a record (the record's bytes, delete flag first):
// null for a blank field; a QString for C (trailing blanks dropped), an int
// or a double for N and F, a QDate for D, a bool for L. Bytes that make no
// value of the type (a number field holding "***") read as null. A memo
// field gives its block number (qint64), or null.
QVariant decodeValue(const DbfField &field, QByteArrayView record);

// Writes a value into the field's bytes of the record. Null blanks the field.
// Text longer than a character field is cut to the field's width; a number
// that does not fit the width, or a value that is no number, date or logical
// where the field needs one, raises DbError naming the field.
void encodeValue(const DbfField &field, QByteArray &record, const QVariant &value);

// Reads a number as dBase and the users write it: blanks around it, "," or "."
// as the decimal separator. False when the text is no number.
bool parseNumber(QStringView text, double &out);

} // namespace platform::db::dbf
