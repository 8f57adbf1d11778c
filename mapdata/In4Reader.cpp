#include "mapdata/In4Reader.h"

#include "mapdata/MapFunctions.h"
#include "platform/TextCodec.h"

namespace in4 {

namespace {

// What a line opens or continues. "ST," and "SR," lines open the same kind of
// block; which of the two it was is told by the block's first key.
enum class LineKind { Other, Parcel, SubRecord, Skipped, Points };

LineKind kindOf(const QString &line)
{
    const QString head = platform::ansiUpperCase(QStringView(line).left(3));
    if (head == u"BL,")
        return LineKind::Parcel;
    if (head == u"SR," || head == u"ST,")
        return LineKind::SubRecord;
    if (head == u"CL,")
        return LineKind::Skipped;
    if (line.startsWith(u"N="))
        return LineKind::Points;
    return LineKind::Other;
}

void appendPairs(const QString &line, std::vector<TTxtValues> &pairs)
{
    for (const QString &field : splitFields(line)) {
        TTxtValues pair = MapFunctions::SplitPair(field, QStringLiteral("="));
        pair.Key = pair.Key.trimmed();
        pair.Value = cleanValue(pair.Value);
        pairs.push_back(std::move(pair));
    }
}

// One row of a point block, by the keys of the point lines.
struct PointRow {
    QString N, NP, X, Y, Z;
};

void fillRow(const std::vector<TTxtValues> &pairs, PointRow &row)
{
    for (const TTxtValues &p : pairs) {
        if (p.Key == u"N")
            row.N = p.Value;
        else if (p.Key == u"NP")
            row.NP = p.Value;
        else if (p.Key == u"X")
            row.X = p.Value;
        else if (p.Key == u"Y")
            row.Y = p.Value;
        else if (p.Key == u"Z")
            row.Z = p.Value;
        // "MX" and "MY" (the accuracy of a point) are not kept.
    }
}

bool firstKeyIs(const std::vector<TTxtValues> &pairs, QStringView key)
{
    return !pairs.empty() && platform::ansiUpperCase(pairs.front().Key) == key;
}

} // namespace

QStringList splitFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString cleanValue(const QString &value)
{
    QString v = value;
    if (v.contains(u'"'))
        v.replace(u'"', u' ');
    else
        v.replace(u'.', u',');
    return v.trimmed();
}

std::vector<Parcel> readParcels(const QString &text, const QString &fileName)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);

    std::vector<Parcel> parcels;
    std::vector<TTxtValues> values;            // the attribute list of the parcel being read
    LineKind lastHeader = LineKind::Other;     // the last "BL,", "ST,"/"SR," or "CL," block
    const TTxtValues fileEntry{QStringLiteral("FileName"), fileName.trimmed()};

    qsizetype i = 0;
    while (i < lines.size()) {
        const LineKind kind = kindOf(lines[i]);
        if (kind == LineKind::Other) {
            ++i; // outside a block
            continue;
        }
        if (kind != LineKind::Points)
            lastHeader = kind;

        // The block: its first line, then the lines it accepts. A header
        // block takes continuation lines; a point block takes "N=" lines.
        std::vector<TTxtValues> pairs;
        std::vector<PointRow> rows;
        qsizetype j = i;
        for (; j < lines.size(); ++j) {
            if (j > i) {
                const LineKind next = kindOf(lines[j]);
                if (kind == LineKind::Points ? next != LineKind::Points : next != LineKind::Other)
                    break; // examined again as the start of the next block
            }
            if (kind == LineKind::Points) {
                std::vector<TTxtValues> linePairs;
                appendPairs(lines[j], linePairs);
                rows.emplace_back();
                fillRow(linePairs, rows.back());
            } else {
                appendPairs(lines[j], pairs);
            }
        }
        i = j;

        switch (kind) {
        case LineKind::Parcel:
            if (firstKeyIs(pairs, u"BL")) {
                values.clear();
                values.push_back(fileEntry);
                values.insert(values.end(), pairs.begin(), pairs.end());
                values.emplace_back();
            }
            break;
        case LineKind::SubRecord:
            if (firstKeyIs(pairs, u"SR")) {
                values.emplace_back();
                values.insert(values.end(), pairs.begin(), pairs.end());
                values.front() = fileEntry;
            }
            break;
        case LineKind::Points:
            if (lastHeader == LineKind::SubRecord) {
                Parcel parcel;
                parcel.Values = std::move(values);
                values.clear();
                for (const PointRow &row : rows) {
                    if (row.X.isEmpty() && row.Y.isEmpty())
                        break;
                    TNewPoint p;
                    p.Name = row.NP.left(255);
                    p.Point.X = MapFunctions::TextToFloat(row.Y, 0);
                    p.Point.Y = MapFunctions::TextToFloat(row.X, 0);
                    p.Point.Z = MapFunctions::TextToFloat(row.Z, 0);
                    parcel.Points.push_back(std::move(p));
                }
                if (!parcel.Points.empty())
                    parcels.push_back(std::move(parcel));
            }
            break;
        default:
            break;
        }
    }
    return parcels;
}

} // namespace in4
