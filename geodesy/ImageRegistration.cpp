#include "geodesy/ImageRegistration.h"

#include "mapdata/VykFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace georef {

std::vector<std::pair<QString, QString>> residualTexts(const std::vector<RegPoint> &points, int height)
{
    const size_t n = points.size();
    double sx = 0, sy = 0, sc = 0, sr = 0;
    for (size_t i = 0; i < n; ++i) {
        const RegPoint &a = points[i], &b = points[(i + 1) % n];
        sx += std::fabs(a.X - b.X);
        sy += std::fabs(a.Y - b.Y);
        sc += std::fabs(static_cast<double>(a.Column) - b.Column);
        sr += std::fabs(static_cast<double>(a.Row) - b.Row);
    }
    std::vector<std::pair<QString, QString>> out;
    if (n < 3 || sc == 0 || sr == 0) {
        out.assign(n, {QStringLiteral("?"), QStringLiteral("?")});
        return out;
    }
    const double kx = sx / sc, ky = sy / sr;
    double ox = 0, oy = 0;
    for (const RegPoint &p : points) {
        ox += p.X - p.Column * kx;
        oy += p.Y - (static_cast<double>(height) - p.Row) * ky;
    }
    ox /= static_cast<double>(n);
    oy /= static_cast<double>(n);
    // To the centimetre: a residual of half a metre is a placing error a
    // surveyor must see.
    const auto text = [](double v) {
        if (!(std::fabs(v) < 1e15))
            return QStringLiteral("?");
        const double cm = static_cast<double>(platform::roundHalfEven(v * 100));
        return platform::formatNumber(QStringLiteral("0.00"), cm == 0 ? 0.0 : cm / 100);
    };
    // "X Ошибка" stands beside "X Карта", which shows the northing (map y);
    // "Y Ошибка" beside the easting (map x).
    for (const RegPoint &p : points)
        out.emplace_back(text(p.Y - ((static_cast<double>(height) - p.Row) * ky + oy)),
                         text(p.X - (p.Column * kx + ox)));
    return out;
}

double rotationAngleDeg(const std::vector<RegPoint> &points)
{
    if (points.size() < 2)
        return 0;
    const RegPoint &a = points[0], &b = points[1];
    const double map = VykFunctions::DirectionAngleDeg(a.X, a.Y, b.X, b.Y);
    const double picture = VykFunctions::DirectionAngleDeg(a.Column, -static_cast<double>(a.Row), b.Column,
                                                           -static_cast<double>(b.Row));
    // The same turn within half a circle either way: a picture a little
    // clockwise of the map reads -1, not 359.
    double turn = map - picture;
    if (turn > 180)
        turn -= 360;
    else if (turn <= -180)
        turn += 360;
    return std::round(turn * 100.0) / 100.0;
}

std::optional<std::pair<double, double>> suggestedMapPoint(const std::vector<RegPoint> &points, int column, int row)
{
    if (points.size() < 2)
        return std::nullopt;
    const RegPoint &a = points[0], &b = points[1];
    if (a.Column == b.Column || a.Row == b.Row || a.Y == b.Y)
        return std::nullopt;
    const double x = a.X + (static_cast<double>(column) - a.Column) * (a.X - b.X) / (a.Column - b.Column);
    const double y = a.Y + (static_cast<double>(row) - a.Row) * (a.Y - b.Y) / (a.Row - b.Row);
    return std::pair{x, y};
}

double clampZoom(double zoom)
{
    if (!(zoom == zoom))
        return 1;
    return std::clamp(zoom, 0.01, 10.0);
}

QString zoomText(double zoom)
{
    return QString::number(platform::roundHalfEven(zoom * 100)) + QStringLiteral(" %");
}

std::optional<double> zoomFromText(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    const QRegularExpressionMatch m = digits.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    // A run too long for a number is a large percentage.
    const QString run = m.captured();
    bool ok = false;
    double percent = run.size() > 9 ? 1e9 : run.toDouble(&ok);
    if (percent <= 0)
        percent = 1;
    return clampZoom(percent / 100.0);
}

std::vector<RegPoint> adjustedPoints(const std::vector<RegPoint> &points, int oldW, int oldH, int newW, int newH,
                                     double angle)
{
    std::vector<RegPoint> out = points;
    if (points.size() < 2)
        return out;
    const double cx = oldW / 2.0, cy = oldH / 2.0;
    for (RegPoint &p : out) {
        double c = p.Column, r = p.Row;
        if (angle != 0) {
            // Turned on the screen's sense: the row axis points down, so the
            // turn is taken with rows negated.
            VykFunctions::TControlPointRecord rec;
            VykFunctions::PointAlongDirection(rec, cx, -cy, 0, c, -r, 0, angle, 0);
            c = rec.X;
            r = -rec.Y;
        }
        c += (newW - oldW) / 2.0;
        r += (newH - oldH) / 2.0;
        c = std::clamp(c, 0.0, static_cast<double>(newW));
        r = std::clamp(r, 0.0, static_cast<double>(newH));
        p.Column = static_cast<std::int32_t>(std::trunc(c));
        p.Row = static_cast<std::int32_t>(std::trunc(r));
    }
    return out;
}

bool sizeChanged(int oldW, int oldH, int newW, int newH)
{
    return std::abs(newW - oldW) > 2 || std::abs(newH - oldH) > 2;
}

QString freeTemporaryBmp(const QString &folder)
{
    for (int n = 1;; ++n) {
        const QString name = platform::joinPath(folder, QString::number(n) + QStringLiteral(".bmp"));
        if (!platform::fileExists(name))
            return name;
    }
}

} // namespace georef
