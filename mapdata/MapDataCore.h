#pragma once
// The map data core: the open project with its layer table, the folders, the
// object template, the edit-journal counters and the per-layer projection,
// with the operations on layer files that the map control offers. It holds no
// widgets; the map control derives from it.

#include "mapdata/BulkBuffer.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/FileOps.h"
#include "mapdata/KeptFile.h"
#include "mapdata/MapServices.h"
#include "mapdata/MapTypes.h"
#include "mapdata/Measurements.h"
#include "platform/db/DbTypes.h"
#include "mapdata/ShpRecords.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace jrn {
struct Entry;
}

// One change for MapDataCore::JournalObjects: the object, the place of its
// version before, the style a text or symbol record is written with (null:
// the object template) and, on return, the place of its new version.
struct TJournalItem {
    int Layer = 0;
    int Index = 0;
    std::int32_t PreviousOffset = 0;
    std::int32_t PreviousLength = 0;
    const TTextRecord *Style = nullptr;
    std::int32_t NewOffset = 0;
    std::int32_t NewLength = 0;
};

// The new versions of a batch of changes laid out as "updates.mhp" takes them
// (the file header, then each record at an even place), built while the
// changes are computed (MapDataCore::AddJournalRecord), so that no object
// keeps its decoded shape until the batch is written.
struct TJournalRecords {
    TJournalRecords();
    mapdata::BulkBuffer Bytes;
    // Per item: the record's place in words from the first record and its
    // content length in words; Offset -1 for an object of a layer without
    // records.
    struct Place {
        std::int32_t Offset = -1;
        std::int32_t Length = 0;
    };
    std::vector<Place> Places;
};

// The state of an open record stream over one layer (a local of the caller).
// The handles are the files the core keeps open for the layer and the journal.
struct TLayerStream {
    std::shared_ptr<mapdata::KeptFile> ShpHandle;       // the layer's ".Shp"; null when not open
    std::shared_ptr<mapdata::KeptFile> SecondHandle;    // never opened by the readers
    std::shared_ptr<mapdata::KeptFile> JrnHandle;       // "updates.mhp" when it exists
    shp::FileHeader Header;                             // its shape type decides the reading
    shp::RasterRecordHead RasterHead;
    shp::PolyRecordHead PolyHead;
    shp::PointRecord PointRec;
    TTextRecord TextHead;
    std::vector<std::int32_t> PartStarts;               // of the current poly or text record

    // The content of the current record (read once, never past its end), the
    // place of its next point and how many points are left.
    QByteArray Record;
    qint64 NextPoint = 0;
    int PointSize = 0;
    std::int32_t PointsLeft = 0;
    TShpPoint PointValue;                               // the point of a point record
};

// The projection definition of a layer: its full text when VykProject is set,
// followed, when Transform is set, by the pieces built from its fields (each
// only when not empty or not 0). Empty when the layer has no projection.
QString layerProjectionDefinition(const TMapLayer &layer);
// The pieces of a definition built from fields: " +proj=", " +ellps=",
// " +lon_0=", " +lat_0=" with their trimmed texts when not empty, " +k=",
// " +x_0=", " +y_0=" with their numbers (decimal point) when not 0.
QString projectionPieces(const QString &projection, const QString &ellipsoid, const QString &longitude,
                         const QString &latitude, double k, double x0, double y0);

namespace mapdata {
// The content of the record whose header lies at word offset `offsetWords`
// of a kept file: as long as the larger of the lengths stated by the table
// and by the record's own header, and never past the end of the file. The
// view lasts until the file's next read.
QByteArrayView recordContent(KeptFile &file, qint64 offsetWords, qint64 tableLengthBytes);
}

// What opening a layer found in its files (MapDataCore::OpenLayerFiles).
struct TLayerCheck {
    bool Found = false;            // the ".Shp" and ".Shx" were found and opened
    bool Read = false;             // the index header was read: the tables are built
    std::int32_t ShapeType = 0;    // of the index header
    qint64 Entries = 0;            // whole index entries: the objects
    // Damage: the index ends inside an entry, or an entry names bytes that
    // the ".Shp" does not hold (a file cut short).
    bool IndexCut = false;
    bool RecordsOutside = false;
    // The attribute table against its file and the objects: row k belongs to
    // object k, so the rows must be as many as the objects.
    enum TableState {
        TableFits,         // as many rows as objects (or no table: writers refuse the layer)
        TableUnreadable,   // no dBase header
        TableHeaderOver,   // the header counts more rows than the file holds; those
                           // it holds are the objects' rows, and the count is taken from the file
        TableHeaderUnder,  // the file holds rows beyond the header's count
        TableRowsDiffer,   // the rows are more or fewer than the objects
    };
    TableState Table = TableFits;
    qint64 HeaderRows = 0, FileRows = 0;

    bool damaged() const { return IndexCut || RecordsOutside; }
    // Whether the layer must be opened read-only.
    bool readOnly() const
    {
        return damaged() || Table == TableUnreadable || Table == TableHeaderUnder || Table == TableRowsDiffer;
    }
};

// The messages that report what opening the layer of that name found.
QStringList layerCheckMessages(const TLayerCheck &check, const QString &name);
// "... слой открыт только для чтения !" for a layer whose snapshots failed.
QString snapshotFailureMessage(const QString &name);

namespace objectblock {
struct Object;
}

namespace mapdata {
struct Box;
}

namespace platform::db {
class Table;
}

class MapDataCore {
public:
    MapDataCore();
    virtual ~MapDataCore();
    MapDataCore(const MapDataCore &) = delete;
    MapDataCore &operator=(const MapDataCore &) = delete;

    // ---- services installed by the owner (null: none) ----
    void setProjectionLibrary(ILayerProjection *library) { FProjectionLibrary = library; }
    void setEngineServices(IMapEngineServices *services) { FEngine = services; }

    // ---- layer file names ----
    // The base of a layer's files: FileName without the extension of its file
    // name part, in the work folder when FileName has no folder.
    QString LayerBaseName(const QString &fileName) const;
    // base + suffix + ".Shp"/".Shx"/".Dbf"; suffix "", "~" or "`".
    void GetLayerFileNames(const QString &fileName, const QString &suffix, QString &shp, QString &shx,
                           QString &dbf) const;
    void GetLayerShapeNames(const QString &fileName, const QString &suffix, QString &shp, QString &shx) const;
    void GetLayerShpName(const QString &fileName, const QString &suffix, QString &shp) const;
    // "updates.mhp" of the work folder.
    QString JournalShpName() const;

    // ---- snapshot copies ----
    // Copies the layer's ".Shp", ".Shx", ".Dbf" and ".Lbl" that exist onto
    // their snapshot names ("roads.Shp.001" ...), made anew when makeNames.
    // False when a file that exists could not be copied.
    bool BackupLayer(int layer, bool makeNames);
    // Deletes the snapshot copies of the layer's files that no layer of the
    // project names (left by a run that ended abnormally): only files named
    // as its snapshots are ("roads.Shp.001", "roads.Lbl.012" ...).
    void RemoveStaleSnapshots(int layer);
    // Unless keep, puts the snapshots back over the files; then deletes them.
    void RestoreLayerBackup(int layer, bool keep);

    // ---- opening a layer, object table and extents ----
    // Appends a layer to the project, makes it the active one and gives it
    // the pen, font and switches every new layer starts with.
    TMapLayer &AppendNewLayer();
    // Opens the layer of the file at that table index, or (newLayer) a new
    // layer appended for the file with the defaults of its shape type: a
    // save that a stopped run left half done is put right, the files are
    // read (OpenLayerFiles), stale snapshots go and the layer's are taken,
    // and what opening found is shown as messages. A damaged layer, or one
    // whose snapshots failed, opens read-only. False when the files could
    // not be read.
    bool OpenLayer(const QString &fileName, int index, bool newLayer);
    // Reads the layer's files into its record: the object table from the
    // index, the block extents from the records, the layer's extent from the
    // header (all converted through the layer's projection), its shape type;
    // and checks the files and the attribute table against each other. The
    // layer's files stay open (kept) until it closes or a writer needs them.
    TLayerCheck OpenLayerFiles(int layer);
    // Rebuilds the table, the blocks and the extents from the files and
    // rewrites both headers' box; false (nothing changed) when the files are
    // missing, read-only or damaged, or the layer was opened read-only.
    bool RecalcLayer(int layer);
    // The block extents and the layer's extent from the current versions of
    // the live objects.
    void RecalcLayerExtents(int layer);
    // The same for the block of one object: its box from the current
    // versions of the block's live objects, the layer's extent from all
    // blocks. Undo and redo keep the extents right with it.
    void RecalcObjectExtents(int layer, int index);
    // Whether writers may change the layer: false for a layer opened
    // read-only (TMapLayer::ReadOnly). Every writer asks, with its check of
    // read-only files (writableLayerFiles).
    bool LayerWritable(int layer) const;
    // Lets go of the files kept open for the layer (it closes; a writer
    // needs them). Without an argument: of every layer and of the journal.
    void ReleaseLayerFiles(int layer);
    void ReleaseLayerFiles();

    // ---- the kept files, for the readers of records ----
    // The layer's ".Shp" as kept open, looked at on disk once (for the start
    // of an operation over its records); null when it cannot be read. Reads
    // through it are views that last until the file's next read.
    mapdata::KeptFile *LayerRecordFile(int layer);
    // "updates.mhp" of the work folder as kept open, looked at on disk once;
    // null when there is none.
    mapdata::KeptFile *JournalRecordFile();

    // ---- object reading ----
    void OpenLayerStream(TLayerStream &stream, int layer);
    void ReadShapeRecord(TLayerStream &stream, int layer, int index);
    // The next point of the current record; false (and a zero point) when the
    // record has no point left.
    bool ReadShapePoint(TLayerStream &stream, int layer, TShpPoint &point, int index);
    // The points of the current record in their parts: text and poly records
    // split at their part starts, others as one part. A point record hands
    // out its point as often as asked: it is taken once.
    std::vector<TShpParts> readRecordParts(TLayerStream &stream, int layer, int index);
    void FreeShapeRecord(TLayerStream &stream);
    void CloseLayerStream(TLayerStream &stream);
    void ReadObject(int layer, int index, TShpObject &shape);
    // Reads an object as ReadObject does, but in the layer's own coordinates:
    // a layer with a projection keeps its stored points (a text or symbol
    // gets its laid-out box converted into them). This is what writers and
    // edits store and journal (mapdata/LayerUnits.cpp).
    void ReadObjectInLayerUnits(int layer, int index, TShpObject &shape);
    // A map point in the layer's own coordinates, and back (nothing for a
    // layer without a projection).
    void MapPointToLayer(int layer, double &x, double &y);
    void LayerPointToMap(int layer, double &x, double &y);

    // ---- attribute rows ----
    // The layer's ".Dbf": the base of its file names + ".Dbf".
    QString LayerTableName(int layer) const;
    // Sets "ID" of every row to the row's record number; false when the table
    // is missing, read-only, cannot be opened, has no "ID" or fails.
    bool RenumberLayerRows(int layer);
    // Removes the rows marked deleted (the table opened exclusively); nothing
    // for a missing or read-only table. Engine errors (platform::db::DbError)
    // reach the caller.
    void PackLayerTable(int layer);
    // The Number of the first legend entry of the layer that matches the
    // attribute value (as text) of a field of that type; -1 when none does.
    std::int32_t FindLegendEntry(int layer, const QString &valueText, platform::db::FieldType fieldType) const;

    // ---- per-layer projection ----
    bool InitLayerProjection(int layer);
    void ProjectLayerPoint(double &x, double &y);
    void FreeLayerProjection();

    // ---- clipboard exchange ----
    // Puts the text block of the selected objects (geometry and attribute
    // row) on the clipboard, replacing what it held.
    void CopyObjectsToClipboard();
    // One new object per object of the clipboard's block, in the layer; a
    // clipboard without a block changes nothing, the selection included.
    // The new objects end up selected.
    void PasteObjects(int layer);
    // One new object of all parts of all objects of the block.
    void MergeObjects(int layer);
    // One new object per part of every object of the block.
    void SplitObjects(int layer);

    // ---- In4 import ----
    // Asks for In4 files and imports each into the layer.
    void ImportLayers(int layer);
    // Imports every parcel of the file as a polygon with its attributes.
    // Raises platform::ConvertError, storing nothing of the file, when a
    // coordinate is no number.
    void ImportIn4(int layer, const QString &fileName);

    // ---- measurements ----
    TMeasureResult MeasureObject(const TShpObject &shape) const;
    // The same over a raw record: part starts and points.
    TMeasureResult GetRecordExtent(const std::vector<std::int32_t> &partStarts,
                                   const std::vector<TShpPoint> &points) const;
    // Area of the selected polygons, length of the selected lines plus the
    // perimeters of the polygons, and the box of them all.
    TMeasureResult SelectionStatistics();
    // Labels of the selected objects as text (or line) objects of the current
    // layer, by mode: "Линия", "Площадь, га", "Площадь, кв.м", "Периметр",
    // "Номера точек", "Расстояния".
    void AppendMeasureLabels(const QString &mode, const TMapFont &font, int decimals);
    // True when the segment (either way round) was labelled in this call
    // already; otherwise lists it and returns false.
    bool SegmentListed(double value, double x1, double y1, double x2, double y2);

    // ---- buffer zones ----
    // Polygons of the layer: an offset ring per part of each selected object
    // (a positive distance to the right of the way along the ring), a band
    // per line part, a regular polygon of n vertices per point.
    void BufferPolygons(int layer, double distance);
    void BufferLines(int layer, double distance);
    void BufferPoints(int layer, int n, double radius);

protected:
    // Helpers of the exchange, measuring and zone operations.
    // The selection's entries as they are now (commits change the selection).
    std::vector<TSelObject> selectionEntries() const;
    void clearSelection();
    // Reads a selected object; false when its indices lie outside the tables.
    bool readSelected(const TSelObject &entry, TShpObject &shape);
    // FNewObject's points and part starts from parts.
    void setNewFigure(const std::vector<TShpParts> &parts);
    // The attribute row of an object as field names and value texts.
    std::vector<TTxtValues> attributeRow(int layer, int index) const;
    bool readClipboardBlock(std::vector<objectblock::Object> &objects) const;
    // Commits a label of that style at the points, its text as the value.
    bool commitLabel(int layer, const TTextRecord &style, const std::vector<TShpPoint> &points,
                     const QString &text);
    void commitZones(int layer, const std::function<std::vector<std::vector<TShpPoint>>(const TShpParts &)> &zonesOf);
    std::vector<TLabelledItem> FLabelledItems;
    // While set, a text/symbol record committed takes this style (every field
    // from Kind to the box) in place of the layer's latest object of its kind.
    const TTextRecord *FCommitStyle = nullptr;

public:
    // ---- committing new objects ----
    // Appends FNewObject to the layer: the record, its index entry and its
    // attribute row, the object table and the extents, the selection and the
    // journal. True when the object was appended. False, with the layer files
    // as they were, when the layer cannot take it (files missing or read-only,
    // no points, a raster layer) or when a write failed (a message says so).
    // clearSelection empties the selection, select adds the new object to it.
    bool CommitNewObject(int layer, bool clearSelection, bool select);
    // Copies the latest live text/symbol object of that kind in the layer into
    // the object template; the result is also kept in FTemplateFound.
    bool FindKindTemplate(int layer, Byte kind);

    // ---- edit journal ----
    // "updates.mhx" of the work folder.
    QString JournalShxName() const;
    // Writes the object's current Shape (for text/symbol layers with the style
    // of FTemplate) as its new version and records the change at FJournalPos,
    // dropping any redo tail. newOffset/newLength get the place of the new
    // version; previousOffset/previousLength are the object's place before.
    // False when the change could not be recorded (indices out of range, or a
    // journal file that cannot be written, which a message reports); the
    // journal is then as it was and the places are left as passed.
    bool JournalObject(int layer, int index, std::int32_t &newOffset, std::int32_t &newLength,
                       std::int32_t previousOffset, std::int32_t previousLength);
    // Several changes at once, as consecutive JournalObject calls record them
    // but written in one piece per file: all of them or, when a write fails
    // (a message says so) or an index is out of range, none. Each object
    // comes once. Every item's NewOffset and NewLength get its new place
    // (they are kept for objects of layers without records).
    bool JournalObjects(std::vector<TJournalItem> &items);
    // The same with the new versions given as records, one per item in the
    // order of the items; the objects' Shapes are not looked at.
    bool JournalObjects(std::vector<TJournalItem> &items, const TJournalRecords &records);
    // Lays out the new version of the item's object, the shape given (for
    // text/symbol layers with the item's style, or FTemplate), as the next
    // record of the batch.
    void AddJournalRecord(TJournalRecords &records, const TJournalItem &item, const TShpObject &shape) const;
    // Takes back the entry before FJournalPos.
    void UndoEdit();
    // Re-applies the entry at FJournalPos.
    void RedoEdit();
    // Removes every entry of the layer from the journal (after it was saved).
    // False when the journal could not be rewritten (the redo tail is dropped
    // then, and undo passes over the entries of the layer).
    bool DropLayerJournal(int layer);

    // ---- saving layers and selections ----
    // Rewrites the layer's files from the current versions of its live
    // objects. True when the layer was rewritten; false when it needs no save
    // or cannot be saved (files missing or read-only, another kind of layer)
    // and when a write failed: the layer's files and table are then as before.
    bool SaveLayer(int layer);
    // Appends the selected objects that fit the layer's type to the empty
    // layer named by fileName (a fresh copy of a template).
    bool SaveSelectionAsLayer(const QString &fileName);
    // Completes a save of the layer's files that a stopped run left half
    // done, or takes it back when the new files were not all written. Only
    // files that the save's own markers name, and that are still what they
    // name, are moved or deleted; markers of no save whose files are there
    // are left and reported. The messages say what was ignored.
    QStringList RecoverLayerSave(const QString &fileName);

    // The file operations of the writers above (null: the real ones).
    void setFileOps(mapdata::FileOps *ops) { FFileOps = ops; }
    // For a program that only reads: opening a layer changes nothing on disk
    // (an interrupted save is reported, not put right; no snapshots are
    // taken or deleted) and every layer opens read-only.
    void setReadOnlyFiles(bool on) { FReadOnlyFiles = on; }
    bool readOnlyFiles() const { return FReadOnlyFiles; }

    // ---- state, through accessors (the fields below are named as the map
    // control names them) ----
    // The layer store: the core itself while the map control derives from it.
    MapDataCore &Store() { return *this; }
    const MapDataCore &Store() const { return *this; }
    TMapProject &Project() { return FProject; }
    const TMapProject &Project() const { return FProject; }
    const QString &ProjectFile() const { return FProjectFile; }
    void SetProjectFile(const QString &path) { FProjectFile = path; }
    const QString &Version() const { return FVersion; }
    void SetVersion(const QString &version) { FVersion = version; }
    const QString &WorkDir() const { return FWorkDir; }
    void SetWorkDir(const QString &folder) { FWorkDir = folder; }
    const QString &ProgramDir() const { return FProgramDir; }
    void SetProgramDir(const QString &folder) { FProgramDir = folder; }
    // The object template new objects and restyled ones take.
    TTextRecord &Template() { return FTemplate; }
    const TTextRecord &Template() const { return FTemplate; }
    bool TemplateFound() const { return FTemplateFound; }
    void SetTemplateFound(bool found) { FTemplateFound = found; }
    std::int32_t JournalPos() const { return FJournalPos; }
    void SetJournalPos(std::int32_t pos) { FJournalPos = pos; }
    std::int32_t JournalCount() const { return FJournalCount; }
    void SetJournalCount(std::int32_t count) { FJournalCount = count; }
    std::uint16_t BlockSize() const { return FBlockSize; }
    void SetBlockSize(std::uint16_t size) { FBlockSize = size; }
    // The figure being digitized.
    TNewObject &NewObject() { return FNewObject; }
    const TNewObject &NewObject() const { return FNewObject; }
    // The projection of the layer InitLayerProjection set up; null when none.
    IProjection *LayerProjection() const { return FLayerProj.get(); }

    TMapProject FProject;
    QString FProjectFile;   // the open project's full path; empty for none
    QString FVersion;       // written in the project file's header
    QString FWorkDir;
    QString FProgramDir;
    TTextRecord FTemplate;
    bool FTemplateFound = false;
    std::int32_t FJournalPos = 0;
    std::int32_t FJournalCount = 0;
    QString FJournalShp, FJournalShx;
    std::uint16_t FBlockSize = 100;
    std::unique_ptr<IProjection> FLayerProj;
    TNewObject FNewObject;

protected:
    // The existing file of that name as found on disk (see platform::
    // findExistingPath), or empty. Objects are read one call at a time, each
    // naming the layer file anew: the spellings found are kept.
    QString existingFile(const QString &name) const;
    // The base name the snapshot functions work on.
    QString snapshotBase(const TMapLayer &layer) const;
    // Objects per extent block (never 0).
    unsigned blockSize() const { return FBlockSize ? FBlockSize : 100u; }
    bool validLayer(int layer) const
    {
        return layer >= 0 && static_cast<size_t>(layer) < FProject.Layers.size();
    }

    // Whether a journal entry still belongs to its object: valid indices, and
    // the object standing where the entry left it (undo) or found it (redo).
    bool journalEntryApplies(const jrn::Entry &e, bool undo) const;
    // Where a save of the layer works: the layer files (".Shp", ".Shx",
    // ".Dbf") as found (empty when missing), where each belongs (the found
    // name, else base + extension), their folder and stem (the base's file
    // name), and the three markers of a save: base + "~.Save" (the save has
    // begun and names every file it may write), "~.Done" (every new file is
    // whole) and "~.Swap" (the renames have begun; the files set aside).
    struct SaveNames {
        std::array<QString, 3> layer, target;
        QString folder, stem;
        QString begun, done, swap;
    };
    SaveNames saveNames(const QString &fileName) const;
    // What putting right an interrupted save did or found.
    struct SaveRecovery {
        bool ok = true;        // every move and deletion it meant to make was made
        bool acted = false;    // a file was (or, with an idle FileOps, would be) moved or deleted
        QStringList messages;  // markers that were ignored, and why; what was left beside the layer
    };
    // RecoverLayerSave, through the file operations given.
    SaveRecovery recoverLayerSave(const QString &fileName, mapdata::FileOps &ops);
    // Completes the swap of an older version's save that its markers (an
    // empty done marker, a swap marker listing extensions) and the files
    // show stopped between renames: the new files take their places, the
    // layer files still in them step aside; nothing is deleted. False when
    // the files show no such state (nothing was done).
    bool completeOlderSave(const SaveNames &n, const std::array<bool, 3> &listed, mapdata::FileOps &ops,
                           SaveRecovery &out);
    mapdata::FileOps &fileOps() const { return FFileOps ? *FFileOps : mapdata::defaultFileOps(); }
    IMapEngineServices *engine() const { return FEngine; }
    // Whether a font of that name is among the installed screen fonts.
    virtual bool ScreenFontInstalled(const QString &name) const;

    // The ".Shp", ".Shx" and ".Dbf" of a layer file name as found on disk;
    // false when one is missing or read-only, or a layer of the project with
    // these files was opened read-only, and a writer leaves the layer alone.
    bool writableLayerFiles(const QString &fileName, QString &shpName, QString &shxName, QString &dbfName) const;
    // Whether a layer of the project whose ".Shp" is that file (as found on
    // disk) was opened read-only.
    bool layerOpenedReadOnly(const QString &shpName) const;
    // Appends a record of that content after the layer's last object, in
    // place: the record, its index entry and both headers (their box grown by
    // recordBox, in the layer's own units), then the attribute row, which
    // fillRow fills before ID and DATEEDIT are set. Then the object table,
    // the layer's extent (grown by mapBox when the layer has a projection,
    // else the new header box) and the block of the new object, which is
    // marked appended and journalled as its first version. The new object's
    // index; -1, with the files and tables as they were, when a write failed
    // (a message says so), the journal's included. An error of the table
    // reaches the caller, the files taken back.
    int appendLayerRecord(int layer, const QString &shpName, const QString &shxName, const QString &dbfName,
                          const shp::FileHeader &header, const QByteArray &content, const mapdata::Box &recordBox,
                          const mapdata::Box &mapBox, bool projected,
                          const std::function<void(platform::db::Table &)> &fillRow);
    // Journals an appended object as its first version, so that undo takes
    // it back; false when the journal could not be written (a message said
    // so).
    bool journalAppended(int layer, int index);

private:
    // The files kept open for a layer, for the FileName and work folder they
    // were found for.
    struct KeptLayer {
        QString fileName, workDir;
        std::shared_ptr<mapdata::KeptFile> shp = std::make_shared<mapdata::KeptFile>();
        std::shared_ptr<mapdata::KeptFile> shx = std::make_shared<mapdata::KeptFile>();
    };
    // The layer's kept files, found again when its FileName or the work
    // folder changed or its ".Shp" is gone; null for an invalid layer.
    KeptLayer *keptLayer(int layer);
    // The kept "updates.mhp"; null when there is none.
    mapdata::KeptFile *keptJournal();
    enum class ScanMode { Open, Recalc, Extents };
    // The one reading of a layer's files behind OpenLayerFiles, RecalcLayer
    // and RecalcLayerExtents.
    // In the extents mode with onlyBlock >= 0, only the objects of that block
    // are read; the layer's extent is made from all blocks anew.
    bool scanLayer(int layer, ScanMode mode, TLayerCheck &check, qint64 onlyBlock = -1);
    std::vector<std::unique_ptr<KeptLayer>> FKeptLayers;
    std::shared_ptr<mapdata::KeptFile> FKeptJournal = std::make_shared<mapdata::KeptFile>();
    QString FKeptJournalDir;

    mapdata::FileOps *FFileOps = nullptr;
    bool FReadOnlyFiles = false;
    mutable std::vector<std::pair<QString, QString>> FFoundFiles;  // name asked, file found
    ILayerProjection *FProjectionLibrary = nullptr;
    IMapEngineServices *FEngine = nullptr;
};
