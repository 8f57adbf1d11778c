#pragma once
// Byte codecs of the layer files: the 100-byte file header of ".Shp", ".Shx"
// and "updates.mhp", record headers, index entries, and one codec per record
// kind (point, poly, text/symbol, raster image). Every reader and writer of
// layer records goes through these; none copies a struct over file bytes.
//
// Byte order: the file code, the file length, both fields of a record header
// and both fields of an index entry are big-endian; every other integer and
// every double is little-endian. Offsets and lengths in headers and index
// entries count 16-bit words.

#include "mapdata/MapTypes.h"
#include "platform/ByteOrder.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

// The value with its four bytes in reverse order.
std::int32_t SwapLongBytes(std::int32_t value);

// The record of a text/symbol object (shape type 8): the 432-byte head of the
// record, field by field at the offsets noted. The map control's object
// template is one of these.
struct TTextRecord {
    std::int32_t Kind = 0;            //   0 object kind (okText, okSymbol ...)
    QString Text;                     //   4 char[200], at most 199 characters
    QString FontName;                 // 204 char[70], at most 69 characters
    std::int32_t FontSize = 0;        // 274 points
    std::int16_t FontStyle = 0;       // 278 +1 bold, +10 italic, +100 underline
    std::int32_t Rotate = 0;          // 280 degrees
    std::int32_t TextScale = 0;       // 284 denominator at which FontSize holds
    Byte Reserved288 = 0;             // 288
    Byte Transparent = 0;             // 289 not 0: drawn on a field of BgTextColor
    QChar Symbol = u'\0';             // 290 character of the symbol font
    std::int32_t Reserved291 = 0;     // 291 copied with the text style
    std::int32_t TextColor = 0;       // 295
    std::int32_t BgTextColor = 0;     // 299
    std::int32_t TextAlign = 0;       // 303 alignment code (lowest byte used)
    std::int32_t Reserved307 = 0;     // 307 copied with the text style
    std::int32_t Reserved311 = 0;     // 311 copied with the text style
    std::int32_t PenColor = 0;        // 315
    std::int32_t PenWidth = 0;        // 319 0.01 mm
    std::int32_t PenStyle = 0;        // 323
    std::int32_t BrushColor = 0;      // 327
    std::int32_t BrushStyle = 0;      // 331
    std::int32_t PointStyle = 0;      // 335
    std::int32_t Reserved339 = 0;     // 339 copied with the line style
    std::int32_t ArrowStart = 0;      // 343
    std::int32_t ArrowEnd = 0;        // 347
    Byte Reserved351 = 0;             // 351
    std::int32_t ImageWidth = 0;      // 352 carried from the object
    std::int32_t ImageHeight = 0;     // 356
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;  // 360
    std::array<double, 3> Reserved392{};            // 392 kept from the template
    std::array<std::int32_t, 2> Reserved416{};      // 416 kept from the template
    std::int32_t NumParts = 0;        // 424
    std::int32_t NumPoints = 0;       // 428

    bool operator==(const TTextRecord &) const = default;
};

namespace shp {

// Shape types of file headers and records.
enum : std::int32_t {
    stNull = 0,
    stPoint = 1,
    stPolyline = 3,
    stPolygon = 5,
    stText = 8,
    stRaster = 10,
    stPointZ = 11,
    stPolylineZ = 13,
    stPolygonZ = 15,
    stPointM = 21,
    stPolylineM = 23,
    stPolygonM = 25,
};

// How the records of a file are read: the file header's shape type decides.
enum class RecordKind { None, Point, Poly, Text, Raster };
RecordKind recordKindOf(std::int32_t headerShapeType);

constexpr std::int32_t FileCode = 9994;
constexpr int FileHeaderSize = 100;
constexpr int RecordHeaderSize = 8;
constexpr int IndexEntrySize = 8;
constexpr int PointContentSize = 20;
constexpr int PolyHeadSize = 44;
constexpr int TextHeadSize = 432;
constexpr int RasterHeadSize = 282;
constexpr int PolyPointSize = 16;   // X, Y
constexpr int WidePointSize = 24;   // X, Y, W, H (text/symbol and raster records)
constexpr int TextFieldSize = 200;
constexpr int FontNameSize = 70;
constexpr int ImageNameSize = 200;

// ---- byte order ----
// The layer codecs' names for platform/ByteOrder.h.

inline std::uint32_t getU32LE(const char *p) { return platform::le::u32(p); }
inline std::int32_t getLE32(const char *p) { return platform::le::i32(p); }
inline std::int32_t getBE32(const char *p) { return platform::be::i32(p); }
inline std::int16_t getLE16(const char *p) { return platform::le::i16(p); }
inline double getLEDouble(const char *p) { return platform::le::f64(p); }
inline void setLE32(char *p, std::int32_t v) { platform::le::put32(p, static_cast<std::uint32_t>(v)); }
inline void setBE32(char *p, std::int32_t v) { platform::be::put32(p, static_cast<std::uint32_t>(v)); }
inline void setLE16(char *p, std::int16_t v) { platform::le::put16(p, static_cast<std::uint16_t>(v)); }
inline void setLEDouble(char *p, double d) { platform::le::putF64(p, d); }

// A zero-padded character field of `width` bytes: the text ends at the first
// zero byte or at the field's end, whichever comes first. Fields are written
// with MapFunctions::StrToFixedChars, which always leaves a closing zero.
QString getFixedChars(const char *p, int width);

// ---- file header ----

// The 100-byte header, its file code in host order.
struct FileHeader {
    std::int32_t FileCode = 0;               //  0 big-endian in the file
    std::array<char, 20> Unused{};           //  4 left unchanged
    std::int32_t FileLength = 0;             // 24 words, big-endian
    std::int32_t Version = 0;                // 28
    std::int32_t ShapeType = 0;              // 32
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;  // 36
    std::array<char, 32> ZMRanges{};         // 68 left unchanged

    bool operator==(const FileHeader &) const = default;
};
// False when fewer than 100 bytes are given.
bool decodeFileHeader(const char *data, qsizetype size, FileHeader &out);
// The header bytes with the file length set to fileSizeBytes / 2 (rounded).
std::array<char, FileHeaderSize> encodeFileHeader(const FileHeader &header, qint64 fileSizeBytes);
// A file length in words for a size in bytes: halves to the even neighbour,
// as every conversion of real to integer in the system.
std::int32_t wordsForBytes(qint64 bytes);

// ---- record header and index entry ----

struct RecordHeader {
    std::int32_t Number = 0;         // counting from 1, big-endian
    std::int32_t ContentLength = 0;  // words, big-endian
};
RecordHeader decodeRecordHeader(const char *p);
void encodeRecordHeader(char *p, const RecordHeader &h);

struct IndexEntry {
    std::int32_t Offset = 0;         // words, big-endian
    std::int32_t ContentLength = 0;  // words, big-endian
};
IndexEntry decodeIndexEntry(const char *p);
void encodeIndexEntry(char *p, const IndexEntry &e);
// Entries of an index file of the given size: (size - 100) / 8, rounded
// (halves to even); 0 for a file shorter than its header.
qint64 indexEntryCount(qint64 shxSizeBytes);

// ---- point records (types 1, 11, 21) ----

struct PointRecord {
    std::int32_t ShapeType = 0;
    double X = 0, Y = 0;
};
// Each decoder is given the bytes available and refuses (false) when they are
// fewer than its fixed head; the output is then left zeroed.
bool decodePoint(const char *data, qsizetype size, PointRecord &out);
void encodePoint(char *p, const PointRecord &r);

// ---- poly records (types 3, 5, 13, 15, 23, 25) ----

struct PolyRecordHead {
    std::int32_t ShapeType = 0;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    std::int32_t NumParts = 0;
    std::int32_t NumPoints = 0;
};
bool decodePolyHead(const char *data, qsizetype size, PolyRecordHead &out);
void encodePolyHead(char *p, const PolyRecordHead &h);

// ---- text/symbol records (type 8) ----

bool decodeTextHead(const char *data, qsizetype size, TTextRecord &out);
void encodeTextHead(char *p, const TTextRecord &r);

// ---- raster-image records (type 10) ----

struct RasterRecordHead {
    std::int32_t ShapeType = 0;       //   0 10 (15 is also drawn)
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;  // 4
    QString ImageName;                //  36 char[200]
    Byte ImageFlag = 0;               // 236
    std::int32_t ImageWidth = 0;      // 237
    std::int32_t ImageHeight = 0;     // 241
    std::array<char, 32> Reserved245{};  // 245 not interpreted
    std::int32_t NumPoints = 0;       // 277
    Byte Reserved281 = 0;             // 281
};
bool decodeRasterHead(const char *data, qsizetype size, RasterRecordHead &out);
void encodeRasterHead(char *p, const RasterRecordHead &h);

// ---- validity of record heads ----

// Who reads a head: each applies its own rule to the counts (a head that fails
// describes an object without parts).
enum class HeadRule {
    Stream,            // record stream: 0 < type < 100, 0 < parts <= 500, 0 < points <= 10000
    ObjectReader,      // object reader: type != 0, parts > 0, points > 0
    Recalculation,     // extents and object table: type > 0, parts > 0, points > 0
    SaveFromLayerFile, // save, record from the layer file: type > 0, 0 < parts < 10000, 0 < points < 10000000
    SaveFromJournal,   // save, record from the journal: type > 0, parts > 0, points > 0
};
bool polyHeadValid(const PolyRecordHead &h, HeadRule rule);
// A text/symbol record counts when its Kind is above 0; a save from the layer
// file wants Kind != 0, 0 < parts < 10000 and 0 < points < 10000000.
bool textHeadValid(const TTextRecord &r, HeadRule rule);
// A raster record counts when its type is above 0 and it has control points.
bool rasterHeadValid(const RasterRecordHead &h);

// ---- extents ----

// The box a record counts with in the extents of its layer (the header's box,
// the blocks, the layer's extent), by the one rule every reading of a layer's
// extents applies to a record's content, of which `available` bytes are at
// hand: a text/symbol record by its box when its Kind is above 0; a point
// record by its point when its type is above 0; a poly record by its box when
// its type is the file's and its parts and points are there and lie within the
// record (what the drawing draws); a raster record by its box when its type is
// above 0 (it is drawn into its box, control points or not). False when the
// record does not count, a head cut short included.
bool recordExtent(std::int32_t headerShapeType, const char *content, qint64 available, double &xMin, double &yMin,
                  double &xMax, double &yMax);

// ---- appending ----

// Number and word offset of a record appended after `recordsBefore` records,
// the last of which is `previous`: number recordsBefore + 1; offset 50 for
// the first record, else the previous offset + its content length + 4.
IndexEntry appendedRecordPlace(std::int32_t recordsBefore, const IndexEntry &previous, std::int32_t &number);

// ---- part starts and points ----

// Whether a record head's counts describe arrays that fit in `available`
// bytes after the head: parts of 4 bytes and points of pointSize bytes.
bool countsFit(std::int32_t numParts, std::int32_t numPoints, int pointSize, qint64 available);

std::int32_t getPartStart(const char *p);
// X, Y of a 16-byte point.
TShpPoint getPolyPoint(const char *p);
// X, Y, W, H of a 24-byte point.
TShpPoint getWidePoint(const char *p);
void setPolyPoint(char *p, const TShpPoint &pt);
void setWidePoint(char *p, const TShpPoint &pt);

// ---- heights and measures (types 11, 13, 15, 21, 23, 25) ----

// Whether records of a file of that type carry a Z block (11, 13, 15), and
// whether they may carry an M block (those and 21, 23, 25; the measures are
// optional).
bool typeHasZ(std::int32_t fileType);
bool typeHasM(std::int32_t fileType);

// Where the Z and M blocks of a record lie: after the X/Y of its points,
// which end at pointsEnd, the Z block of Z types and then the M block. A
// block is a range (two doubles, none in a point record) and one double per
// point. zAt and mAt are the places of the blocks in a content of `size`
// bytes, -1 for a block the record does not hold whole (a record in the
// plain layout holds none); zSize and mSize their sizes in bytes.
struct MeasureBlocks {
    qsizetype zAt = -1, mAt = -1;
    qsizetype zSize = 0, mSize = 0;
};
MeasureBlocks measureBlocks(std::int32_t fileType, qsizetype pointsEnd, std::int32_t numPoints, qsizetype size);

// Gives the points of a point or poly record (content d of n bytes, points
// ending at pointsEnd) their Z and M from the record's blocks; a value the
// record holds no block of is left as it is. hasM: the record carries
// measures.
void decodeMeasures(std::int32_t fileType, const char *d, qsizetype n, qsizetype pointsEnd,
                    std::vector<TShpPoint> &points, bool &hasM);

// Splits numPoints points among parts: point k goes to the part with the
// greatest start not above k (the last of equal starts); points before every
// start are skipped. Each point lands in at most one part.
void splitIntoParts(const std::vector<std::int32_t> &starts, std::vector<TShpPoint> &&points,
                    std::vector<TShpParts> &parts);

// ---- whole record contents, as the writers build them ----

// Content of a record of a file whose header type is layerShapeType, built
// from a shape (and, for text/symbol records, the style fields of `style`,
// from Kind up to byte 423; the box, the image size and the counts come from
// the shape). Records of files of types 11, 13, 15, 21, 23 and 25 carry that
// type code. Types 11, 13 and 15 get the Z values of the points (point Z),
// which the published format requires and other programs insist on; a shape
// that carries measures (HasM) gets its M values too, in types 11 to 25,
// and one without them the layout without the M block (the measures are
// optional in the published format). The readers of this system read every
// layout. Empty for a type without records.
QByteArray encodeObjectContent(std::int32_t layerShapeType, const TShpObject &shape,
                               const TTextRecord &style);
// The same bytes laid out where `room(n)` puts them (n zeroed bytes the
// caller adds at the end of its buffer), for callers that lay many records
// out in one buffer.
void appendObjectContent(const std::function<char *(qsizetype)> &room, std::int32_t layerShapeType,
                         const TShpObject &shape, const TTextRecord &style);

} // namespace shp
