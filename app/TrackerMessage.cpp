#include "app/TrackerMessage.h"

#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// The report that starts with the marker: up to and including the first
// "<" after it, or to the end of the text; empty when there is none.
QString reportOf(const QString &text, QStringView marker)
{
    const qsizetype start = text.indexOf(marker);
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(u'<', start + marker.size());
    return end < 0 ? text.mid(start) : text.mid(start, end - start + 1);
}

// Characters first .. last of the report, counted from 1.
QString chars(const QString &report, int first, int last)
{
    return report.mid(first - 1, last - first + 1);
}

double number(const QString &text)
{
    try {
        return MapFunctions::TextToFloat(text, 0);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

bool wholeNumber(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    return re.match(text).hasMatch();
}

void readCommon(const QString &report, TTrackerMessage &m)
{
    m.Kind = chars(report, 5, 5);
    m.Field6 = chars(report, 6, 9);
    m.Field11 = chars(report, 11, 13);
    m.Field15 = chars(report, 15, 18);
    m.Field19 = chars(report, 19, 24);
}

} // namespace

void ParseTrackerMessage(const QString &text, TTrackerMessage &status, TTrackerMessage &position)
{
    status = {};
    position = {};
    constexpr double unitsPerDegree = 10000000;

    if (const QString r = reportOf(text, u">RTKS"); !r.isEmpty()) {
        readCommon(r, status);
        status.Unit = chars(r, 41, 48);
    }
    if (const QString r = reportOf(text, u">RTKP"); !r.isEmpty()) {
        readCommon(r, position);
        const QString lat = chars(r, 37, 46);
        const QString lon = chars(r, 47, 57);
        position.Latitude = number(lat) / unitsPerDegree;
        position.Longitude = number(lon) / unitsPerDegree;
        position.Value58 = number(chars(r, 58, 63));
        position.Value64 = number(chars(r, 64, 66));
        position.Value67 = number(chars(r, 67, 69));
        position.Unit = chars(r, 74, 81);
        position.Placeable = wholeNumber(lat) && wholeNumber(lon) && std::fabs(position.Latitude) <= 90 &&
                             std::fabs(position.Longitude) <= 180 && !position.Unit.trimmed().isEmpty();
    }
}
