#pragma once
// Helpers shared by the writers of layer files (committing objects, saving
// layers and selections): file states to put back after a failed write, the
// attribute values set from text, and the messages of failed writes.

#include "mapdata/FileOps.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ShpRecords.h"

#include "mapdata/LayerUnits.h"
#include "platform/db/DataSet.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

namespace platform::db {
class Table;
}

namespace layerwrite {

// The first bytes, the size and the last bytes (from tailFrom on) of a file
// before a writer changes it in place, to be put back when the change cannot
// be completed. An append that starts inside the file (over a dBase end mark
// or a cut index entry) gives the place it starts as tailFrom.
struct FileState {
    QString path;
    bool existed = false;
    qint64 size = 0;
    QByteArray head;
    qint64 tailFrom = 0;
    QByteArray tail;
};
FileState captureFile(const QString &path, qint64 headBytes, qint64 tailFrom = -1);
// Cuts the file back to its size and writes its first and last bytes again;
// false when that failed too.
bool restoreFile(mapdata::FileOps &ops, const FileState &state);
// Where the records of a dBase table end (header length + count × record
// length, from its 32-byte header); -1 when the bytes are no such header.
qint64 dbfRecordsEnd(const QByteArray &header);

// The 100-byte header of a layer file; false when the file has none.
bool readLayerHeader(const QString &path, shp::FileHeader &header);

// The kind TextToFieldValue converts for, by the engine's field type.
MapFunctions::FieldKind fieldKindOf(platform::db::FieldType type);
// Sets a field from a value text converted for the field's type; a text
// that gives no value of the type leaves the field blank.
void setFieldFromText(platform::db::Field &field, const QString &text);

// What appendRecord wrote: the new record's place, the header with its box
// grown, and the three files as they were before (.Shp, .Shx, .Dbf), to be
// put back when what follows fails.
struct AppendedRecord {
    shp::IndexEntry place;
    shp::FileHeader header;
    std::array<FileState, 3> before;
};

// Appends a record of that content to a layer's files (.Shp, .Shx, .Dbf, as
// found on disk) after `count` records, the last of which is `previous`,
// and never over bytes the ".Shp" holds beyond it: the record, its index
// entry and both headers (their box grown by recordBox, each with its own
// file length), then the attribute row, which fillRow fills before "ID"
// (the rows before + 1) and "DATEEDIT" (today) are set. False, with the
// files as they were, when a write failed (a message says so); an error of
// the table reaches the caller, the files taken back.
bool appendRecord(mapdata::FileOps &ops, const QString &workDir, const std::array<QString, 3> &files,
                  const shp::FileHeader &header, std::int32_t count, const shp::IndexEntry &previous,
                  const QByteArray &content, const mapdata::Box &recordBox,
                  const std::function<void(platform::db::Table &)> &fillRow, AppendedRecord &out);

// "Невозможно записать слой <name> !"
void reportLayerWriteFailure(const QString &path);

// Whether a new layer's files may be written at `base` (a name without
// extension): yes when none of base.shp, .shx, .dbf exists, else when the
// user answers yes to replacing them.
bool mayReplaceLayerFiles(const QString &base);

} // namespace layerwrite
