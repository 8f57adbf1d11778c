// Feeds arbitrary bytes as a world file, an ".rtr" and a ".tab" to the
// registration form's readers and to the open-image command's readers. No
// reader may give a point of a value that is not a finite number. The
// points the form reads from a ".tab" or an ".rtr" must come back the same
// after they are written again.

#include "FuzzSupport.h"
#include "geodesy/RegistrationFiles.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QString &scratch(const char *name, const QString &ext)
{
    static std::map<QString, QString> paths;
    QString &path = paths[ext];
    if (path.isEmpty())
        path = fuzzsupport::scratchPath(name, ext);
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // No sheet is placed from numbers that are not numbers, nor by pixels
    // of no size.
    if (const auto world = georef::readWorldPlacement(bytes);
        world && (!std::isfinite(world->A) || !std::isfinite(world->E) || !std::isfinite(world->C) ||
                  !std::isfinite(world->F) || world->A == 0 || world->E == 0))
        __builtin_trap();
    for (const georef::OpenedRegistration &opened : {georef::readTabForOpen(bytes, true), georef::readRtrForOpen(bytes)})
        for (const georef::OpenedPoint &p : opened.points)
            if (opened.damaged || !std::isfinite(p.X) || !std::isfinite(p.Y))
                __builtin_trap();

    const auto sized = [](int &w, int &h) {
        w = 640;
        h = 480;
        return true;
    };
    for (const QString &ext : {QStringLiteral(".tfw"), QStringLiteral(".rtr"), QStringLiteral(".tab")}) {
        const QString &path = scratch("registration_files", ext);
        if (!fuzzsupport::writeFile(path, bytes))
            continue;
        const georef::RegImport first = georef::importControlPoints(path, 0, sized);
        for (const georef::RegPoint &p : first.points)
            if (!first.error.isEmpty() || !std::isfinite(p.X) || !std::isfinite(p.Y))
                __builtin_trap();
        if (ext == QLatin1String(".tfw") || first.points.empty())
            continue;
        // Labels with quotes or line breaks do not survive a ".tab" line, nor
        // blanks at their ends an ini value: compare what the files can hold.
        std::vector<georef::RegPoint> points = first.points;
        for (georef::RegPoint &p : points) {
            p.Label = p.Label.simplified();
            p.Label.remove(u'"');
            if (p.Label.isEmpty())
                p.Label = QStringLiteral("Pt");
            // Numbers as the files write them (15 digits), pixels within
            // what the rows counted upward still hold.
            p.X = georef::regNumber(p.X).toDouble();
            p.Y = georef::regNumber(p.Y).toDouble();
            p.Column = std::clamp(p.Column, -1000000000, 1000000000);
            p.Row = std::clamp(p.Row, -1000000000, 1000000000);
        }
        // An ".rtr" is updated in place: start from none, so that what the
        // input held besides does not mix in.
        QFile::remove(path);
        if (!georef::exportControlPoints(path, QStringLiteral("p.bmp"), points, 640, 480).isEmpty())
            continue;
        const georef::RegImport second = georef::importControlPoints(path, 0, sized);
        if (second.points != points)
            __builtin_trap();
    }
    return 0;
}
