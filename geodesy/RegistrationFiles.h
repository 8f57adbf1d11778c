#pragma once
// Registration files that carry the control points of a picture between this
// system and other programs: world files (six numbers), ".rtr" ini files and
// ".tab" raster tables. Two sets of readers: the registration form's (keeps
// the labels) and the open-image command's (drops the labels, finds the
// picture's name). Neither makes a point of a value that is no number. A
// world file names the middle of the top-left pixel, the control points
// the corners of pixels: the two are half a pixel apart. Numbers are
// written in the US-English format with 15 significant digits, so that a
// coordinate like 6500000.5 comes back whole.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace georef {

// A control point of the registration form: its label, the map point (x the
// easting, y the northing) and the picture pixel (rows counting downward).
struct RegPoint {
    QString Label;
    double X = 0;
    double Y = 0;
    std::int32_t Column = 0;
    std::int32_t Row = 0;
    bool operator==(const RegPoint &) const = default;
};

// The general number text of the registration files: at most 15 significant
// digits, a decimal point, the C library's exponent form where it needs one.
QString regNumber(double value);
// Reads a number in the US-English format (blanks around it allowed); false
// for anything else or a value that is not finite.
bool readRegNumber(QStringView text, double &value);

// Registration files are a few lines; a larger file is not one.
inline constexpr qint64 kMaxRegistrationFileSize = 4 * 1024 * 1024;
// The file's bytes, or nothing when it is missing, unreadable or too large.
std::optional<QByteArray> readRegistrationFile(const QString &fileName);
// The file's lines (CR LF, LF or CR ends a line), in the code page 1251.
QStringList registrationLines(const QByteArray &bytes);

// ---- the registration form ----

enum class RegFileKind { None, World, Rtr, Tab };
// By the whole extension in lower case: ".tab", ".rtr", and the world files
// ".bmpw", ".jpgw", ".jpegw", ".tfw", ".tifw", ".tiffw", ".sdw", ".sidw",
// ".gfw", ".gifw".
RegFileKind regFileKind(const QString &fileName);

struct RegImport {
    std::vector<RegPoint> points;
    // A message for the user when the file could not be read whole.
    QString error;
};
// Reads the points of a registration file; new points without a label of
// their own are captioned "Pt " and their position in the list that already
// holds `existing` points. `pictureSize` measures the picture for a world
// file (false when it cannot). A file that is missing, or of another kind,
// gives nothing; one whose numbers are no numbers, or whose pixels are of
// no size, gives no point and its message.
RegImport importControlPoints(const QString &fileName, int existing,
                              const std::function<bool(int &width, int &height)> &pictureSize);

// The message of points that cannot give a world file.
QString collinearPointsMessage();
// The message of a registration file whose numbers are no numbers.
QString badRegistrationMessage(const QString &fileName);
// The world file's six numbers A, 0, 0, E, C, F from the points of the
// smallest and largest column and row (C and F those of the top-left
// pixel's middle, as other programs read them); nothing when those share a
// column or a row (or there are fewer than two points).
std::optional<std::vector<double>> worldFileNumbers(const std::vector<RegPoint> &points);
// Writes the points as the file's kind asks: a world file, an ".rtr" (an
// existing one keeps its other keys; [Tics] is written anew) or a ".tab".
// The empty text when written or when the kind is none; else the message
// for the user.
QString exportControlPoints(const QString &fileName, const QString &picturePath, const std::vector<RegPoint> &points,
                            int width, int height);

// The file texts the writers write.
QByteArray worldFileText(const std::vector<double> &numbers);
QByteArray tabFileText(const QString &picturePath, const std::vector<RegPoint> &points);

// ---- the open-image command ----

// Whether the command takes the name for a world file (the upper-cased name
// contains ".BMPW", ".JGW", ".JPGW", ".JPEGW", ".TFW", ".TIFW", ".TIFFW",
// ".SIDW", ".SDW", ".GFW" or ".GIFW").
bool isWorldFileName(const QString &fileName);
// The picture a world file belongs to: ".SDW" gives "SID", ".TFW" "TIF",
// ".JGW" "JPG" (the last three characters replaced), any other the name
// without its last character; the file on disk when one matches without
// regard to case.
QString worldFilePictureName(const QString &worldFile);

// A world file's numbers: A and E the map units per pixel column and row,
// C and F the map point of the middle of the top-left pixel.
struct WorldPlacement {
    double A = 0, E = 0, C = 0, F = 0;
};
// The first six lines that are not blank, each a number (a decimal comma
// is taken too); nothing when there are fewer, when one is no finite number
// or when a pixel is of no size (A or E 0): such a file places no picture.
std::optional<WorldPlacement> readWorldPlacement(const QByteArray &bytes);

struct OpenedPoint {
    double X = 0, Y = 0;
    std::int32_t Column = 0, Row = 0;
};
// The control points of a picture of w × h pixels that a world file
// places: its corners, pixel (0, 0) half a pixel up and left of the middle
// the file names, pixel (w, h) w and h pixels on.
std::vector<OpenedPoint> worldFileCorners(const WorldPlacement &world, std::int32_t w, std::int32_t h);
// The world file that lies beside a picture and that the open command
// reads ("x.tfw" or "x.tifw" beside "x.tif", "x.jgw" or "x.jpgw" beside
// "x.jpg" ...), found without regard to case; empty when there is none.
QString worldFileBeside(const QString &picture);

struct OpenedRegistration {
    // As the file writes it; the caller completes and shortens it.
    QString picture;
    std::vector<OpenedPoint> points;
    // ".rtr" only: the picture's size as its texts give it (0 when they do
    // not read as whole numbers).
    std::int32_t width = 0, height = 0;
    // A point whose values are not all numbers: the file places nothing.
    bool damaged = false;
};
// A ".tab" raster table; `xy`: the first number of a point is map x (else
// the two are swapped).
OpenedRegistration readTabForOpen(const QByteArray &bytes, bool xy);
OpenedRegistration readRtrForOpen(const QByteArray &bytes);

// The picture a ".tab" or ".rtr" names, completed by the file's folder when
// it is a bare name and the file lies outside the work folder.
QString completePictureName(const QString &picture, const QString &registrationFile, const QString &workDir);

} // namespace georef
