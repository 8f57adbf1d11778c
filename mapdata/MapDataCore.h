#pragma once
// The map data core: the open project with its layer table, the folders, the
// object template, the edit-journal counters and the per-layer projection,
// with the operations on layer files that the map control offers. It holds no
// widgets; the map control derives from it.

#include "mapdata/BinaryFile.h"
#include "mapdata/MapServices.h"
#include "mapdata/MapTypes.h"
#include "platform/db/DbTypes.h"
#include "mapdata/ShpRecords.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The state of an open record stream over one layer (a local of the caller).
struct TLayerStream {
    std::unique_ptr<mapdata::BinaryFile> ShpHandle;     // the layer's ".Shp"; null when not open
    std::unique_ptr<mapdata::BinaryFile> SecondHandle;  // never opened by the readers
    std::unique_ptr<mapdata::BinaryFile> JrnHandle;     // "updates.mhp" when it exists
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
    void BackupLayer(int layer, bool makeNames);
    // Unless keep, puts the snapshots back over the files; then deletes them.
    void RestoreLayerBackup(int layer, bool keep);

    // ---- object table and extents ----
    bool RecalcLayer(int layer);
    void RecalcLayerExtents(int layer);

    // ---- object reading ----
    void OpenLayerStream(TLayerStream &stream, int layer);
    void ReadShapeRecord(TLayerStream &stream, int layer, int index);
    // The next point of the current record; false (and a zero point) when the
    // record has no point left.
    bool ReadShapePoint(TLayerStream &stream, int layer, TShpPoint &point, int index);
    void FreeShapeRecord(TLayerStream &stream);
    void CloseLayerStream(TLayerStream &stream);
    void ReadObject(int layer, int index, TShpObject &shape);

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

    // ---- state (named as the map control names it) ----
    TMapProject FProject;
    QString FWorkDir;
    QString FProgramDir;
    TTextRecord FTemplate;
    bool FTemplateFound = false;
    std::int32_t FJournalPos = 0;
    std::int32_t FJournalCount = 0;
    QString FJournalShp, FJournalShx;
    std::uint16_t FBlockSize = 100;
    std::unique_ptr<IProjection> FLayerProj;

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

private:
    mutable std::vector<std::pair<QString, QString>> FFoundFiles;  // name asked, file found
    ILayerProjection *FProjectionLibrary = nullptr;
    IMapEngineServices *FEngine = nullptr;
};
