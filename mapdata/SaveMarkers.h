#pragma once
// The marker files a layer save leaves beside the layer while it works, and
// what they say. Each marker is a short text that names the files of that
// one save: a later run (RecoverLayerSave) moves or deletes only the files a
// marker names, and only when they are still the files it names, so that a
// marker of another save, copied or left from long ago, never puts foreign
// files over a layer or deletes a neighbour.
//
// The text: the line "TOLVANE LAYER SAVE", then one line per file, its
// fields parted by tabs, then the line "end" (a marker cut short names
// nothing). A file line is
//   role, extension (".shp", ".shx", ".dbf" or "-"), file name
// and, in the done and swap markers,
//   ..., the layer file it belongs to, size, SHA-1 of the bytes (hex).
// Names are bare file names beside the layer (the journal's in the work
// folder). Markers of older versions hold no such text: the done marker
// was empty, the swap marker a list of extensions.

#include "mapdata/LayerFiles.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace savemarks {

// The layer files a save replaces, in the order it swaps them.
inline const std::array<QString, 3> &layerExts()
{
    using mapdata::layerfiles::TripleExts;
    static const std::array<QString, 3> exts = {QLatin1String(TripleExts[0]), QLatin1String(TripleExts[1]),
                                                QLatin1String(TripleExts[2])};
    return exts;
}

// What a file was when a marker was written: its size and a digest of its
// bytes. A missing or unreadable file has size -1.
struct FileId {
    qint64 size = -1;
    QByteArray digest;
    bool operator==(const FileId &) const = default;
};
FileId idOfFile(const QString &path);
FileId idOfBytes(const QByteArray &bytes);

enum class Role {
    New,      // a new layer file ("~")
    Part,     // the part file of a copy under way
    Old,      // a layer file set aside ("`")
    Journal,  // the journal's new index in the work folder
};

struct Entry {
    Role role = Role::New;
    int ext = -1;     // index into layerExts(), -1 for none
    QString name;     // the file the entry is about
    QString target;   // the layer file name it belongs to (done and swap)
    FileId id;        // what it was (done and swap)
};

struct Marker {
    enum State {
        Missing,  // no such file
        Whole,    // read to its end line; entries valid
        Cut,      // begins as a marker of this version but stops short
        Foreign,  // anything else: an older version's marker, or another file
    } state = Missing;
    std::vector<Entry> entries;
};

// Reads a marker; entries must name files of the layer whose files' stem
// (the base's file name, "plots") is given, as a save of it would name them,
// else the marker counts as foreign.
Marker readMarker(const QString &path, const QString &stem);
// The text of a marker naming the entries.
QByteArray markerText(const std::vector<Entry> &entries);

// Whether a name is one a save of the layer of that stem may give a file of
// that role and extension: stem + "~" (new, part) or "`" (old), perhaps a
// number, then the extension (part: + ".part"); "updates~.mhx" for the
// journal. Case is not compared.
bool nameFits(const QString &name, Role role, int ext, const QString &stem);

} // namespace savemarks

namespace savemarks {

// The names a save writes under: the new files ("~"), the part file of the
// table's copy and the files set aside ("`"), beside the layer. The plain
// marks when none of those files exists; else the first number after them
// ("plots~1.shp", "plots`1.shp") for which none exists: files another layer
// or another program keeps there are never written over.
struct WorkNames {
    std::array<QString, 3> fresh, old;
    QString part;
};
// False when every number up to 99 is taken.
bool chooseWorkNames(const QString &folder, const QString &stem, WorkNames &names);

} // namespace savemarks
