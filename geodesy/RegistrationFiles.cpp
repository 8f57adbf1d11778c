#include "geodesy/RegistrationFiles.h"

#include "mapdata/ProjectFile.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace georef {

namespace {

QString pointCaption(int position)
{
    return QStringLiteral("Pt ") + QString::number(position);
}

// The part of the text before `stop` from `from` on, and the index after it
// (-1 when the stop is missing: the rest of the text).
QStringView takeUntil(QStringView text, qsizetype &from, QStringView stop)
{
    if (from < 0 || from > text.size()) {
        from = -1;
        return {};
    }
    const qsizetype end = text.indexOf(stop, from);
    QStringView part = end < 0 ? text.mid(from) : text.mid(from, end - from);
    from = end < 0 ? -1 : end + stop.size();
    return part;
}

// A number of a registration file: the US-English form, or one with a
// decimal comma; false for anything else or a value that is not finite.
bool numberOf(QStringView text, double &value)
{
    if (readRegNumber(text, value))
        return true;
    const QString t = text.trimmed().toString();
    return t.count(u',') == 1 && !t.contains(u'.') && readRegNumber(QString(t).replace(u',', u'.'), value);
}

// A pixel's column or row: a number within the range of whole numbers,
// rounded.
bool pixelOf(QStringView text, std::int32_t &value)
{
    double v = 0;
    if (!numberOf(text, v) || !(std::fabs(v) < 2147483647.0))
        return false;
    value = platform::roundToInt(v);
    return true;
}

// The four values of a point of a registration file, in the file's order:
// two map values and two pixel values; false when one is no number.
struct PointValues {
    double first = 0, second = 0;
    std::int32_t column = 0, row = 0;
};
bool pointValues(QStringView first, QStringView second, QStringView column, QStringView row, PointValues &v)
{
    return numberOf(first, v.first) && numberOf(second, v.second) && pixelOf(column, v.column) &&
           pixelOf(row, v.row);
}

// The four blank-separated values of an ".rtr" coordinate: column, row
// counted upward, map x, map y.
bool rtrValues(const QString &text, PointValues &v)
{
    const QStringList values = text.split(u' ', Qt::SkipEmptyParts);
    return values.size() >= 4 && pixelOf(values[0], v.column) && pixelOf(values[1], v.row) &&
           numberOf(values[2], v.first) && numberOf(values[3], v.second);
}

QString lowerExtension(const QString &fileName)
{
    return platform::extractFileExt(fileName).toLower();
}

QByteArray joinLines(const QStringList &lines)
{
    return projectfile::encodeLines(lines);
}

QString writeFailed(const QString &fileName)
{
    return QStringLiteral("Не удалось записать файл ") + fileName;
}

} // namespace

QString regNumber(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return QString::fromLatin1(buffer);
}

bool readRegNumber(QStringView text, double &value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

std::optional<QByteArray> readRegistrationFile(const QString &fileName)
{
    QFile file(platform::resolvePath(fileName));
    if (!platform::fileExists(fileName) || !file.open(QIODevice::ReadOnly) || file.size() > kMaxRegistrationFileSize)
        return std::nullopt;
    return file.read(kMaxRegistrationFileSize + 1);
}

QStringList registrationLines(const QByteArray &bytes)
{
    return projectfile::decodeLines(bytes);
}

// ---- the registration form --------------------------------------------------------

RegFileKind regFileKind(const QString &fileName)
{
    static const std::array<QString, 10> world = {
        QStringLiteral(".bmpw"), QStringLiteral(".jpgw"), QStringLiteral(".jpegw"), QStringLiteral(".tfw"),
        QStringLiteral(".tifw"), QStringLiteral(".tiffw"), QStringLiteral(".sdw"), QStringLiteral(".sidw"),
        QStringLiteral(".gfw"), QStringLiteral(".gifw")};
    const QString ext = lowerExtension(fileName);
    if (ext == QLatin1String(".tab"))
        return RegFileKind::Tab;
    if (ext == QLatin1String(".rtr"))
        return RegFileKind::Rtr;
    if (std::find(world.begin(), world.end(), ext) != world.end())
        return RegFileKind::World;
    return RegFileKind::None;
}

namespace {

RegImport importWorld(const QString &fileName, int existing, const std::function<bool(int &, int &)> &pictureSize)
{
    RegImport out;
    const std::optional<QByteArray> bytes = readRegistrationFile(fileName);
    if (!bytes)
        return out;
    std::vector<double> numbers;
    for (const QString &line : registrationLines(*bytes)) {
        // Blank lines (a last empty line of another program) hold no number.
        if (line.trimmed().isEmpty())
            continue;
        double v = 0;
        if (!readRegNumber(line, v)) {
            out.error = QStringLiteral("'%1' is not a valid floating point value").arg(line);
            return out;
        }
        numbers.push_back(v);
    }
    if (numbers.size() <= 5)
        return out;
    const WorldPlacement world{numbers[0], numbers[3], numbers[4], numbers[5]};
    // Pixels of no size place the picture nowhere.
    if (world.A == 0 || world.E == 0) {
        out.error = badRegistrationMessage(fileName);
        return out;
    }
    int w = 0, h = 0;
    if (pictureSize && !pictureSize(w, h)) {
        w = 0;
        h = 0;
    }
    for (const OpenedPoint &p : worldFileCorners(world, w, h))
        out.points.push_back(RegPoint{pointCaption(existing + static_cast<int>(out.points.size()) + 1), p.X, p.Y,
                                      p.Column, p.Row});
    return out;
}

RegImport importRtr(const QString &fileName, int existing)
{
    RegImport out;
    if (!readRegistrationFile(fileName))
        return out;
    platform::IniFile ini(platform::resolvePath(fileName));
    const QString tics = QStringLiteral("Tics");
    if (!ini.valueExists(tics, QStringLiteral("Number")))
        return out;
    // A count beyond the section's keys names points the file does not hold:
    // taking it as it stands would add millions of empty points.
    const int keys = static_cast<int>(ini.sectionKeys(tics).size());
    const int number = std::clamp(ini.readInteger(tics, QStringLiteral("Number"), 0), 0, keys);
    const std::int32_t height = ini.readInteger(QStringLiteral("Size"), QStringLiteral("Height"), 0);
    for (int i = 0; i < number; ++i) {
        // A point the count names but the file does not hold is no point.
        const QString coord = QStringLiteral("Tic%1Coord").arg(i);
        if (!ini.valueExists(tics, coord))
            continue;
        PointValues v;
        if (!rtrValues(ini.readString(tics, coord, QString()), v)) {
            out.points.clear();
            out.error = badRegistrationMessage(fileName);
            return out;
        }
        RegPoint p;
        const int position = existing + static_cast<int>(out.points.size()) + 1;
        p.Label = ini.readString(tics, QStringLiteral("Tic%1Label").arg(i), pointCaption(position));
        p.Column = v.column;
        p.Row = static_cast<std::int32_t>(std::clamp<qint64>(qint64(height) - v.row, INT32_MIN, INT32_MAX));
        p.X = v.first;
        p.Y = v.second;
        out.points.push_back(p);
    }
    return out;
}

RegImport importTab(const QString &fileName, int existing)
{
    RegImport out;
    const std::optional<QByteArray> bytes = readRegistrationFile(fileName);
    if (!bytes)
        return out;
    for (const QString &line : registrationLines(*bytes)) {
        if (!line.startsWith(QLatin1String("  (")))
            continue;
        const QStringView text(line);
        qsizetype at = 3;
        const QStringView x = takeUntil(text, at, u","), y = takeUntil(text, at, u") (");
        const QStringView column = takeUntil(text, at, u","), row = takeUntil(text, at, u") Label \"");
        PointValues v;
        if (!pointValues(x, y, column, row, v)) {
            out.points.clear();
            out.error = badRegistrationMessage(fileName);
            return out;
        }
        RegPoint p;
        p.X = v.first;
        p.Y = v.second;
        p.Column = v.column;
        p.Row = v.row;
        p.Label = takeUntil(text, at, u"\"").toString();
        if (p.Label.isEmpty())
            p.Label = pointCaption(existing + static_cast<int>(out.points.size()) + 1);
        out.points.push_back(p);
    }
    return out;
}

} // namespace

RegImport importControlPoints(const QString &fileName, int existing,
                              const std::function<bool(int &width, int &height)> &pictureSize)
{
    switch (regFileKind(fileName)) {
    case RegFileKind::World: return importWorld(fileName, existing, pictureSize);
    case RegFileKind::Rtr: return importRtr(fileName, existing);
    case RegFileKind::Tab: return importTab(fileName, existing);
    case RegFileKind::None: break;
    }
    return {};
}

QString collinearPointsMessage()
{
    return QStringLiteral("Узловые точки не должны находиться на одной вертикальной или горизонтальной прямой");
}

QString badRegistrationMessage(const QString &fileName)
{
    return QStringLiteral("Неверный формат файла ") + fileName;
}

std::optional<std::vector<double>> worldFileNumbers(const std::vector<RegPoint> &points)
{
    if (points.size() < 2)
        return std::nullopt;
    // The first point of the smallest and of the largest column and row.
    size_t minC = 0, maxC = 0, minR = 0, maxR = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i].Column < points[minC].Column)
            minC = i;
        if (points[i].Column > points[maxC].Column)
            maxC = i;
        if (points[i].Row < points[minR].Row)
            minR = i;
        if (points[i].Row > points[maxR].Row)
            maxR = i;
    }
    const double dc = static_cast<double>(points[maxC].Column) - points[minC].Column;
    const double dr = static_cast<double>(points[maxR].Row) - points[minR].Row;
    if (dc == 0 || dr == 0)
        return std::nullopt;
    const double A = (points[maxC].X - points[minC].X) / dc;
    const double E = (points[maxR].Y - points[minR].Y) / dr;
    // The control points' pixel positions are pixel corners; a world file
    // names the middle of the top-left pixel, half a pixel on.
    const double C = points[minC].X - points[minC].Column * A + A / 2;
    const double F = points[minR].Y - points[minR].Row * E + E / 2;
    return std::vector<double>{A, 0, 0, E, C, F};
}

QByteArray worldFileText(const std::vector<double> &numbers)
{
    QStringList lines;
    for (size_t i = 0; i < numbers.size(); ++i)
        lines << ((i == 1 || i == 2) ? QStringLiteral("0") : regNumber(numbers[i]));
    return joinLines(lines);
}

QByteArray tabFileText(const QString &picturePath, const std::vector<RegPoint> &points)
{
    QStringList lines = {QStringLiteral("!table"), QStringLiteral("!version 300"),
                         QStringLiteral("!charset WindowsCyrillic"), QString(), QStringLiteral("Definition Table"),
                         QStringLiteral("  File \"%1\"").arg(picturePath), QStringLiteral("  Type \"RASTER\"")};
    for (size_t i = 0; i < points.size(); ++i) {
        const RegPoint &p = points[i];
        QString line = QStringLiteral("  (%1,%2) (%3,%4) Label \"%5\"")
                           .arg(regNumber(p.X), regNumber(p.Y))
                           .arg(p.Column)
                           .arg(p.Row)
                           .arg(p.Label);
        if (i + 1 < points.size())
            line += u',';
        lines << line;
    }
    lines << QStringLiteral("  CoordSys NonEarth Units \"m\"") << QStringLiteral("  Units \"m\"");
    return joinLines(lines);
}

QString exportControlPoints(const QString &fileName, const QString &picturePath, const std::vector<RegPoint> &points,
                            int width, int height)
{
    switch (regFileKind(fileName)) {
    case RegFileKind::World: {
        // Fewer than two points share their column and row as surely as
        // points on one line do: the user hears it rather than nothing.
        const std::optional<std::vector<double>> numbers = worldFileNumbers(points);
        if (!numbers)
            return collinearPointsMessage();
        return platform::writeFileAtomically(platform::resolvePath(fileName), worldFileText(*numbers))
                   ? QString()
                   : writeFailed(fileName);
    }
    case RegFileKind::Rtr: {
        platform::IniFile ini(platform::resolvePath(fileName));
        const QString source = QStringLiteral("Source Image"), size = QStringLiteral("Size"),
                      tics = QStringLiteral("Tics");
        bool ok = ini.writeInteger(source, QStringLiteral("Width"), width) &&
                  ini.writeInteger(source, QStringLiteral("Height"), height) &&
                  ini.writeString(source, QStringLiteral("File Name"), picturePath) &&
                  ini.writeInteger(size, QStringLiteral("Width"), width) &&
                  ini.writeInteger(size, QStringLiteral("Height"), height);
        if (ok && ini.sectionExists(tics))
            ok = ini.eraseSection(tics);
        ok = ok && ini.writeInteger(tics, QStringLiteral("Number"), static_cast<int>(points.size()));
        for (size_t i = 0; ok && i < points.size(); ++i) {
            const RegPoint &p = points[i];
            // Rows count upward in this file.
            ok = ini.writeString(tics, QStringLiteral("Tic%1Coord").arg(i),
                                 QStringLiteral("%1 %2 %3 %4")
                                     .arg(p.Column)
                                     .arg(static_cast<qint64>(height) - p.Row)
                                     .arg(regNumber(p.X), regNumber(p.Y))) &&
                 ini.writeString(tics, QStringLiteral("Tic%1Label").arg(i), p.Label);
        }
        return ok ? QString() : writeFailed(fileName);
    }
    case RegFileKind::Tab:
        return platform::writeFileAtomically(platform::resolvePath(fileName), tabFileText(picturePath, points))
                   ? QString()
                   : writeFailed(fileName);
    case RegFileKind::None: break;
    }
    return {};
}

// ---- the open-image command -------------------------------------------------------

bool isWorldFileName(const QString &fileName)
{
    static const std::array<const char *, 11> texts = {".BMPW", ".JGW",  ".JPGW", ".JPEGW", ".TFW", ".TIFW",
                                                       ".TIFFW", ".SIDW", ".SDW",  ".GFW",   ".GIFW"};
    const QString upper = platform::extractFileName(fileName).toUpper();
    return std::any_of(texts.begin(), texts.end(),
                       [&](const char *t) { return upper.contains(QLatin1String(t)); });
}

QString worldFilePictureName(const QString &worldFile)
{
    const QString upper = platform::extractFileName(worldFile).toUpper();
    QString name = worldFile;
    if (upper.contains(QLatin1String(".SDW")))
        name = worldFile.chopped(3) + QStringLiteral("SID");
    else if (upper.contains(QLatin1String(".TFW")))
        name = worldFile.chopped(3) + QStringLiteral("TIF");
    else if (upper.contains(QLatin1String(".JGW")))
        name = worldFile.chopped(3) + QStringLiteral("JPG");
    else if (upper.contains(QLatin1String(".GFW")))
        name = worldFile.chopped(3) + QStringLiteral("GIF");
    else
        name.chop(1);
    // The name as it lies on the disk, which may differ in case.
    const QString existing = platform::findExistingPath(name);
    return existing.isEmpty() || !platform::fileExists(existing) ? name : existing;
}

std::optional<WorldPlacement> readWorldPlacement(const QByteArray &bytes)
{
    std::vector<double> numbers;
    for (const QString &line : registrationLines(bytes)) {
        if (numbers.size() == 6)
            break;
        // Blank lines (a last empty line of another program) hold no number.
        if (line.trimmed().isEmpty())
            continue;
        double v = 0;
        if (!numberOf(line, v))
            return std::nullopt;
        numbers.push_back(v);
    }
    if (numbers.size() < 6 || numbers[0] == 0 || numbers[3] == 0)
        return std::nullopt;
    return WorldPlacement{numbers[0], numbers[3], numbers[4], numbers[5]};
}

std::vector<OpenedPoint> worldFileCorners(const WorldPlacement &world, std::int32_t w, std::int32_t h)
{
    const double x0 = world.C - world.A / 2, y0 = world.F - world.E / 2;
    return {OpenedPoint{x0, y0, 0, 0}, OpenedPoint{x0 + w * world.A, y0 + h * world.E, w, h}};
}

QString worldFileBeside(const QString &picture)
{
    const QString ext = platform::extractFileExt(picture);
    if (ext.size() < 3)
        return {};
    const QString base = picture.chopped(ext.size());
    // ".tif": ".tfw" (first and last letter and "w") and ".tifw".
    for (const QString &candidate : {base + ext.left(2) + ext.right(1) + u'w', base + ext + u'w'}) {
        if (!isWorldFileName(candidate))
            continue;
        const QString found = platform::findExistingPath(candidate);
        if (!found.isEmpty() && platform::fileExists(found))
            return found;
    }
    return {};
}

OpenedRegistration readTabForOpen(const QByteArray &bytes, bool xy)
{
    OpenedRegistration out;
    for (const QString &line : registrationLines(bytes)) {
        const QStringView text(line);
        if (const qsizetype f = text.indexOf(u"  File \""); f >= 0 && out.picture.isEmpty()) {
            // The text after the quote without its last character.
            out.picture = text.mid(f + 8).chopped(text.size() > f + 8 ? 1 : 0).toString();
            continue;
        }
        const qsizetype p = text.indexOf(u"  (");
        if (p < 0)
            continue;
        qsizetype at = p + 3;
        const QStringView first = takeUntil(text, at, u",");
        const QStringView second = takeUntil(text, at, u")");
        at = at < 0 ? -1 : text.indexOf(u'(', at);
        if (at >= 0)
            ++at;
        const QStringView column = takeUntil(text, at, u","), row = takeUntil(text, at, u")");
        PointValues v;
        if (!pointValues(first, second, column, row, v)) {
            out.damaged = true;
            out.points.clear();
            return out;
        }
        OpenedPoint point;
        point.Column = v.column;
        point.Row = v.row;
        point.X = xy ? v.first : v.second;
        point.Y = xy ? v.second : v.first;
        out.points.push_back(point);
    }
    return out;
}

OpenedRegistration readRtrForOpen(const QByteArray &bytes)
{
    OpenedRegistration out;
    bool width = false, height = false, name = false;
    const auto whole = [](QStringView text) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        return ok ? v : 0;
    };
    for (const QString &line : registrationLines(bytes)) {
        const QStringView text(line);
        if (!width && text.contains(u"Width=")) {
            width = true;
            out.width = whole(text.mid(text.indexOf(u"Width=") + 6));
        } else if (!height && text.contains(u"Height=")) {
            height = true;
            out.height = whole(text.mid(text.indexOf(u"Height=") + 7));
        } else if (!name && text.contains(u"File Name")) {
            name = true;
            out.picture = text.mid(text.indexOf(u"File Name") + 10).toString();
        } else if (height && text.contains(u"Coord=")) {
            PointValues v;
            if (!rtrValues(text.mid(text.indexOf(u"Coord=") + 6).toString(), v)) {
                out.damaged = true;
                out.points.clear();
                return out;
            }
            OpenedPoint p;
            p.Column = v.column;
            p.Row = static_cast<std::int32_t>(std::clamp<qint64>(qint64(out.height) - v.row, INT32_MIN, INT32_MAX));
            p.X = v.first;
            p.Y = v.second;
            out.points.push_back(p);
        }
    }
    return out;
}

QString completePictureName(const QString &picture, const QString &registrationFile, const QString &workDir)
{
    if (platform::lastSeparator(picture) >= 0 || picture.isEmpty())
        return picture;
    const QString folder = platform::extractFilePath(registrationFile);
    const QString work = platform::normalizePath(workDir).toLower();
    if (!work.isEmpty() && platform::normalizePath(folder).toLower().contains(work))
        return picture;
    return folder + picture;
}

} // namespace georef
