#include "app/StatusTexts.h"

#include "mapdata/MapFunctions.h"
#include "platform/Rounding.h"

namespace app::status {

namespace {
QString rounded(double value)
{
    return QString::number(platform::roundHalfEven(value));
}
} // namespace

QString scaleText(double n)
{
    return n == 0 || n >= 1 ? QStringLiteral("M 1:") + rounded(n) : QStringLiteral("M ") + rounded(1 / n) + QStringLiteral(":1");
}

QString areaText(double width, double height)
{
    return QStringLiteral("Zoom: ") + rounded(width) + u'x' + rounded(height) + QStringLiteral(" m");
}

QString coordinateText(QChar axis, double value)
{
    return QString(axis) + QStringLiteral(" = ") + MapFunctions::RoundValue(value, 0, 3, true).toString();
}

QStringList widestTexts()
{
    // Eights, as wide as the widest digit of common fonts; ten of them hold
    // any denominator up to 2147483647.
    return {scaleText(8888888888.0), areaText(8888888888.0, 8888888888.0), coordinateText(u'X', -8888888.888),
            coordinateText(u'Y', -8888888.888)};
}

} // namespace app::status
