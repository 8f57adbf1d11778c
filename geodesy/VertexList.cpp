#include "geodesy/VertexList.h"

#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace georef {

namespace {

double tolerant(const QString &text)
{
    const double v = VykFunctions::TextToFloatDef(text.trimmed(), 0);
    return std::isfinite(v) ? v : 0;
}

} // namespace

QString formatPointValue(const QString &number, const QString &code, double x, double y, double height)
{
    const QChar sep = platform::decimalSeparator();
    QString h = platform::floatToStr(std::round(height * 1000.0) / 1000.0);
    // The height always shows three decimals, in the separator the other
    // numbers use.
    const qsizetype dot = h.indexOf(sep);
    if (dot < 0)
        h += sep + QStringLiteral("000");
    else
        h += QString(std::max<qsizetype>(0, 3 - (h.size() - dot - 1)), u'0');
    return number.rightJustified(5, u'0') + platform::formatNumber(QStringLiteral("0.000"), x).rightJustified(15) +
           platform::formatNumber(QStringLiteral("0.000"), y).rightJustified(15) + h.rightJustified(11) +
           QStringLiteral("   ") + code.trimmed();
}

ParsedPointLine parsePointLine(const QString &line)
{
    QString text = line;
    text.replace(u'\t', u' ');
    QStringList fields = text.split(u' ', Qt::SkipEmptyParts);
    if (fields.size() > 6)
        fields = fields.mid(0, 6);
    const auto field = [&](int i) { return i < fields.size() ? fields[i].trimmed() : QString(); };
    ParsedPointLine out;
    if (!field(0).isEmpty()) {
        const double n = tolerant(field(0));
        out.Number = std::fabs(n) < 2147483647.0 ? platform::roundToInt(n) : 0;
    }
    out.X = tolerant(field(1));
    out.Y = tolerant(field(2));
    out.Height = tolerant(field(3));
    out.Code = field(4);
    return out;
}

std::vector<ListVertex> vertexList(const std::vector<VertexRow> &rows)
{
    std::vector<ListVertex> out;
    for (const VertexRow &row : rows) {
        const ListVertex v{tolerant(row.X), tolerant(row.Y)};
        if (v.X == 0 && v.Y == 0)
            break;
        out.push_back(v);
    }
    return out;
}

std::vector<int> partStarts(const std::vector<ListVertex> &vertices)
{
    std::vector<int> starts;
    int ringStart = -1;
    for (int i = 0; i < static_cast<int>(vertices.size()); ++i) {
        if (ringStart < 0) {
            ringStart = i;
            starts.push_back(i);
        } else if (vertices[static_cast<size_t>(i)] == vertices[static_cast<size_t>(ringStart)]) {
            ringStart = -1;
        }
    }
    return starts;
}

std::vector<std::vector<ListVertex>> vertexParts(const std::vector<ListVertex> &vertices)
{
    std::vector<std::vector<ListVertex>> parts;
    const std::vector<int> starts = partStarts(vertices);
    for (size_t k = 0; k < starts.size(); ++k) {
        const int end = k + 1 < starts.size() ? starts[k + 1] : static_cast<int>(vertices.size());
        parts.emplace_back(vertices.begin() + starts[k], vertices.begin() + end);
    }
    return parts;
}

VertexBox vertexBox(const std::vector<ListVertex> &vertices)
{
    VertexBox box;
    bool first = true;
    for (const ListVertex &v : vertices) {
        if (first) {
            box = {v.Y, v.X, v.Y, v.X};
            first = false;
            continue;
        }
        box.XMin = std::min(box.XMin, v.Y);
        box.XMax = std::max(box.XMax, v.Y);
        box.YMin = std::min(box.YMin, v.X);
        box.YMax = std::max(box.YMax, v.X);
    }
    return box;
}

QStringList clipboardLines(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    QStringList out;
    for (const QString &line : t.split(u'\n'))
        if (!line.trimmed().isEmpty())
            out << line;
    return out;
}

} // namespace georef
