#include "geodesy/RegistrationFiles.h"

#include "mapdata/ProjectFile.h"
#include "mapdata/VykFunctions.h"
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

std::int32_t wholeValue(QStringView text)
{
    const double v = regValue(text);
    if (!(std::fabs(v) < 2147483647.0))
        return 0;
    return platform::roundToInt(v);
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

double regValue(QStringView text)
{
    double v = 0;
    if (readRegNumber(text, v))
        return v;
    v = VykFunctions::TextToFloatDef(text.toString(), 0);
    return std::isfinite(v) ? v : 0;
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
    int w = 0, h = 0;
    if (pictureSize && !pictureSize(w, h)) {
        w = 0;
        h = 0;
    }
    const double A = numbers[0], E = numbers[3], C = numbers[4], F = numbers[5];
    out.points.push_back(RegPoint{pointCaption(existing + 1), C, F, 0, 0});
    out.points.push_back(RegPoint{pointCaption(existing + 2), w * A + C, h * E + F, w, h});
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
        RegPoint p;
        const int position = existing + static_cast<int>(out.points.size()) + 1;
        p.Label = ini.readString(tics, QStringLiteral("Tic%1Label").arg(i), pointCaption(position));
        const QStringList values =
            ini.readString(tics, QStringLiteral("Tic%1Coord").arg(i), QString()).split(u' ', Qt::SkipEmptyParts);
        auto value = [&](int k) { return k < values.size() ? regValue(values[k]) : 0.0; };
        p.Column = values.isEmpty() ? 0 : wholeValue(values[0]);
        p.Row = static_cast<std::int32_t>(height - (values.size() > 1 ? wholeValue(values[1]) : 0));
        p.X = value(2);
        p.Y = value(3);
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
        RegPoint p;
        p.X = regValue(takeUntil(text, at, u","));
        p.Y = regValue(takeUntil(text, at, u") ("));
        p.Column = wholeValue(takeUntil(text, at, u","));
        p.Row = wholeValue(takeUntil(text, at, u") Label \""));
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
    const double C = points[minC].X - points[minC].Column * A;
    const double F = points[minR].Y - points[minR].Row * E;
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
    for (const QString &line : registrationLines(bytes))
        numbers.push_back(regValue(line));
    if (numbers.size() <= 5)
        return std::nullopt;
    return WorldPlacement{numbers[0], numbers[3], numbers[4], numbers[5]};
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
        const double first = regValue(takeUntil(text, at, u","));
        const double second = regValue(takeUntil(text, at, u")"));
        at = at < 0 ? -1 : text.indexOf(u'(', at);
        if (at >= 0)
            ++at;
        OpenedPoint point;
        point.Column = wholeValue(takeUntil(text, at, u","));
        point.Row = wholeValue(takeUntil(text, at, u")"));
        point.X = xy ? first : second;
        point.Y = xy ? second : first;
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
            const QStringList values = text.mid(text.indexOf(u"Coord=") + 6).toString().split(u' ', Qt::SkipEmptyParts);
            auto value = [&](int k) { return k < values.size() ? regValue(values[k]) : 0.0; };
            OpenedPoint p;
            p.Column = values.isEmpty() ? 0 : wholeValue(values[0]);
            p.Row = static_cast<std::int32_t>(out.height - (values.size() > 1 ? wholeValue(values[1]) : 0));
            p.X = value(2);
            p.Y = value(3);
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
