#pragma once
// The shared records of the map model: the open project with its layer table,
// one record per layer, the object table, the decoded shape of one object, the
// object being digitized, legends, labels, fonts and the selection.
//
// Text fields hold decoded text (QString); the file codecs write them back in
// Windows-1251 and cap the fixed ones ("ShortString", at most 255 characters)
// to their width. Coordinates are map units: x is the easting, y the northing.
// Colours are RGB values 0x00BBGGRR.

#include <QString>

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

using Byte = std::uint8_t;

// An inline text field of at most 255 characters in the files.
using ShortString = QString;

// Layer kinds (TMapLayer::MapType).
enum : Byte {
    mtShapeLayer = 1,   // points, lines, polygons or raster images
    mtTextLayer = 8,    // text and symbol objects (records of shape type 8)
};
// Kinds 2..7 and 9..17 are the standard cadastral layers: listed, never drawn.
inline bool isCadastralMapType(Byte mapType)
{
    return (mapType >= 2 && mapType <= 7) || (mapType >= 9 && mapType <= 17);
}

// Object kinds of layers (TMapLayer::ObjType).
enum : Byte {
    otText = 0,        // text/symbol layer (set by the recalculation)
    otPoints = 1,
    otPolylines = 2,
    otPolygons = 3,
    otTexts = 4,
    otSymbols = 5,     // points drawn with a character of a symbol font
    otImages = 6,
    otBitmaps = 7,     // points drawn as bitmaps
    otNavigation = 8,
    otBezier = 9,
};

// Object kinds of text/symbol records and figures (Kind of TTextRecord,
// TNewObject and the selection entries); they differ from ObjType.
enum : Byte {
    okPoint = 1,
    okSymbol = 2,
    okLine = 3,
    okText = 4,
    okPolygon = 5,
    okOval = 7,
    okPoints = 8,
    okCurve = 11,
};

// A key and a value (SplitPair), or a field name and its value.
struct TTxtValues {
    QString Key;
    QString Value;
};

using TTextArray = std::vector<QString>;

// One vertex. In text/symbol and raster records the 8 bytes of Z hold two
// int32, W and H (a raster control point's pixel column and row); in records
// of types 11, 13 and 15 Z is the height. M is the measure of records of
// types 21, 23, 25 and of Z types that carry one.
struct TShpPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    double Len = 0;   // per-vertex values of the coordinate-list report
    double DCut = 0;
    double CutIn = 0;
    double M = 0;

    std::int32_t W() const { return static_cast<std::int32_t>(bits() & 0xFFFFFFFFu); }
    std::int32_t H() const { return static_cast<std::int32_t>(bits() >> 32); }
    void setWH(std::int32_t w, std::int32_t h)
    {
        Z = std::bit_cast<double>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(w)) |
                                  (static_cast<std::uint64_t>(static_cast<std::uint32_t>(h)) << 32));
    }

private:
    std::uint64_t bits() const { return std::bit_cast<std::uint64_t>(Z); }
};

struct TShpParts {
    std::vector<TShpPoint> Points;
};

// One decoded shape.
struct TShpObject {
    ShortString Text;            // text of a text/symbol object; image name of a raster object
    std::int32_t FileCode = 0;   // file code of the file read from (9994)
    std::int32_t ShapeType = 0;  // record shape type; Kind for text/symbol records
    std::vector<TShpParts> Parts;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    std::int32_t ImageWidth = 0, ImageHeight = 0;
    Byte ImageFlag = 0;
    bool HasM = false;           // the record carries measures (M of its points)
};

// The decoded shape of an object while an edit works on it: made on first
// use and dropped once it has been written to the journal, so that the
// object table holds no shape for the objects nobody works on. Read through a
// const reference, an object without one gives an empty shape.
class TObjectShape {
public:
    TObjectShape() = default;
    TObjectShape(const TObjectShape &o) : shape_(o.shape_ ? std::make_unique<TShpObject>(*o.shape_) : nullptr) {}
    TObjectShape &operator=(const TObjectShape &o)
    {
        if (this != &o)
            shape_ = o.shape_ ? std::make_unique<TShpObject>(*o.shape_) : nullptr;
        return *this;
    }
    TObjectShape(TObjectShape &&) noexcept = default;
    TObjectShape &operator=(TObjectShape &&) noexcept = default;

    TShpObject &operator*()
    {
        if (!shape_)
            shape_ = std::make_unique<TShpObject>();
        return *shape_;
    }
    TShpObject *operator->() { return &**this; }
    const TShpObject &operator*() const { return shape_ ? *shape_ : empty(); }
    const TShpObject *operator->() const { return &**this; }
    // Drops the shape (its parts and all).
    void reset() { shape_.reset(); }
    // Empties the parts of a shape there is, keeping its other fields.
    void clearParts()
    {
        if (shape_)
            shape_->Parts.clear();
    }

private:
    static const TShpObject &empty()
    {
        static const TShpObject none;
        return none;
    }
    std::unique_ptr<TShpObject> shape_;
};

// One entry of a layer's object table.
struct TMapObject {
    std::int32_t ShpOffset = 0;  // record header offset in the .Shp, in 16-bit words
    std::int32_t ShpLength = 0;  // content length in bytes
    std::int32_t JrnOffset = 0;  // journal record offset in words; 0: the layer file is current
    std::int32_t JrnLength = 0;  // journal content length in words
    TObjectShape Shape;
    std::int32_t ObjectID = 0;
    bool Shown = false;
    bool Modified = false;
    bool Deleted = false;
    bool Appended = false;
};
// Large layers hold hundreds of thousands of these.
static_assert(sizeof(TMapObject) <= 64);

// Extent of one block of FBlockSize (100) consecutive objects.
struct TBlockExtent {
    std::int32_t Reserved = 0;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

struct TLegend {
    Byte ObjType = 0;     // kind of value the entry gives (2 colours, 1 font sizes)
    QString Values;       // attribute values or ranges that select the entry
    std::int32_t Number = 0;
    std::int32_t Code = 0;
};

// Font and placement of a text or label.
struct TMapFont {
    QString FontName;
    QChar TextSymbol = u' ';    // symbol character for symbol fonts
    double Rotate = 0;          // degrees; positive turns the text clockwise on the screen
    std::int32_t Size = 0;      // points
    std::int32_t Scale = 0;     // denominator at which Size holds; <= 0: fixed size
    std::int32_t Color = 0;
    std::int32_t BrushColor = 0;
    Byte BrushStyle = 0;        // 1 clear, otherwise solid in BrushColor
    Byte TextStyle = 0;         // 1 bold, 2 italic, 4 underline, 8 strike-out
    Byte Charset = 0;
    Byte Center = 0;            // alignment code
    Byte Position = 0;          // offset direction 0..8 from the anchor
    std::int32_t ShiftX = 0, ShiftY = 0;
};

struct TMapLabel {
    bool Visible = false;
    bool Removed = false;       // shown disabled, not written to the project file
    QString FieldName;
    TMapFont Font;
    ShortString FormatShow;
};

// One layer of a project.
struct TMapLayer {
    Byte MapType = 0;
    Byte ObjType = 0;
    std::vector<TMapObject> Objects;
    std::vector<TBlockExtent> Blocks;
    std::vector<TLegend> Legend;
    std::vector<TMapLabel> Labels;
    double MtMinX = 0, MtMinY = 0, MtMinZ = 0;
    double MtMaxX = 0, MtMaxY = 0, MtMaxZ = 0;
    double CenterX = 0, CenterY = 0, CenterZ = 0;
    QString FileName;            // without a separator: in the work folder
    QString Name;
    QString BackupShp, BackupShx, BackupDbf;
    QString BackupLbl;
    QString StrProject;
    ShortString ImgName;
    ShortString FieldNameObject, FieldNameStreet, FieldNameHouse;
    ShortString FieldNameLegend;
    ShortString Projection, Ellipsoid, Longitude, Latitude;
    ShortString GPS, Device, PIN;
    std::int32_t ShapeType = 0;
    std::int32_t Number = 0;
    std::int32_t ScaleMin = 0, ScaleMax = 0;
    std::int32_t PtMinX = 0, PtMinY = 0, PtMaxX = 0, PtMaxY = 0;
    std::int32_t PntBitmap = 0;
    std::int32_t TypeLegend = 0;
    std::int32_t Gamma = 0, Contrast = 0;
    std::int32_t NumProject = 0;
    double S = 0, P = 0;
    double XError = 0, YError = 0, PsToPtX = 0, PsToPtY = 0, RCenterX = 0, RCenterY = 0;
    double PenWidth = 0;         // millimetres
    double Proj_X = 0, Proj_Y = 0, Proj_K = 0;
    bool ObjectsAppended = false;
    bool ObjectsModified = false;
    bool ObjectsDeleted = false;
    bool Closed = false;
    bool ScaleView = false;
    bool ViewPoints = false;
    bool Visible = false;
    bool Snap = false;
    bool Edited = false;
    bool ForAllObjects = false;
    bool ViewInScale = false;
    bool ViewShadow = false;
    bool Transform = false;
    bool VykProject = false;
    std::int32_t PenColor = 0;
    std::int32_t BrushColor = 0;
    std::int32_t PenStyle = 0;
    std::int32_t PointStyle = 0;
    Byte PenMode = 0;
    std::int32_t BrushType = 0;
    TMapFont Font;
    // Of our own, not in the project file: the layer was opened read-only
    // (damaged files, an attribute table that does not fit its objects, no
    // snapshots): it is drawn, picked and copied from, and every writer
    // refuses it as it refuses read-only files.
    bool ReadOnly = false;
};

// The open project.
struct TMapProject {
    std::vector<TMapLayer> Layers;
    double MtMinX = 0, MtMinY = 0, MtMinZ = 0;
    double MtMaxX = 0, MtMaxY = 0, MtMaxZ = 0;
    double CenterX = 0, CenterY = 0, CenterZ = 0;
    std::int32_t ActiveLayer = 0;
};

// Element of TNewObject::Points and of TMapPoints.
struct TNewPoint {
    std::int32_t Number = 0;   // 1-based row of the coordinate list
    ShortString Name;          // point name (In4 "NP"); not stored in layer files
    TShpPoint Point;           // X, Y, Z (or W, H), Len, DCut, CutIn
};

// The object being digitized, pasted or entered as a coordinate list.
struct TNewObject {
    std::vector<TNewPoint> Points;
    std::vector<std::int32_t> Parts;  // first point of each part; empty: one part at 0
    std::vector<TTxtValues> Values;   // attribute values for the new row
    Byte Kind = 0;
    double MaxX = 0, MaxY = 0, MaxZ = 0;
    double MinX = 0, MinY = 0, MinZ = 0;
    double Length = 0;
    bool Drawing = false;

    // Emptied after each commit: points, parts and values.
    void clearFigure()
    {
        Points.clear();
        Parts.clear();
        Values.clear();
    }
};

struct TMapPoints {
    QString Name;
    std::vector<TNewPoint> Points;
};

// One selected object; also the result of the snap search.
struct TSelObject {
    std::int32_t Layer = 0;
    std::int32_t Index = 0;
    std::int32_t VertexIndex = 0;
    std::int32_t ObjectID = 0;
    Byte Hit = 0;          // 1: picked by rectangle
    Byte OnSegment = 0;
    Byte OnVertex = 0;
    Byte Kind = 0;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    double SnapX = 0, SnapY = 0;
    double SegEndX = 0, SegEndY = 0;
    double SegStartX = 0, SegStartY = 0;
};

// The selection of the map control.
struct TSelObjects {
    std::int32_t Reserved1 = 0, Reserved2 = 0;
    std::vector<TSelObject> Entries;
    Byte FrameMode = 0;    // 0 resize frame, 1 rotate frame
    double MinX = 0, MinY = 0, MinZ = 0;
    double MaxX = 0, MaxY = 0, MaxZ = 0;
    double CenterX = 0, CenterY = 0, CenterZ = 0;
    double PivotX = 0, PivotY = 0, PivotZ = 0;
};

// One search hit.
struct TSeekMapRecord {
    std::int32_t Layer = 0;
    std::int32_t MatchKind = 0;   // 2 by street, 3 by house
    std::int32_t RowCount = 0;
    std::int32_t ObjectID = 0;
    QString Street;
    QString House;
};

// Growing a box: a lower bound that is 0 or above the new value takes it, an
// upper bound that is 0 or below the new value takes it. A bound of exactly 0
// therefore counts as not yet set.
inline void growBox(double &minX, double &minY, double &maxX, double &maxY, double x, double y)
{
    if (minX == 0 || minX > x) minX = x;
    if (minY == 0 || minY > y) minY = y;
    if (maxX == 0 || maxX < x) maxX = x;
    if (maxY == 0 || maxY < y) maxY = y;
}

inline void growBox(double &minX, double &minY, double &maxX, double &maxY,
                    double boxMinX, double boxMinY, double boxMaxX, double boxMaxY)
{
    if (minX == 0 || minX > boxMinX) minX = boxMinX;
    if (minY == 0 || minY > boxMinY) minY = boxMinY;
    if (maxX == 0 || maxX < boxMaxX) maxX = boxMaxX;
    if (maxY == 0 || maxY < boxMaxY) maxY = boxMaxY;
}
