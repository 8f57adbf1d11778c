#include "geodesy/PlaneKeys.h"

#include "mapdata/ShpRecords.h"
#include "mapdata/VykFunctions.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace geodesy {

std::vector<TGeoKeyRecord> decodeKeys(QByteArrayView bytes)
{
    std::vector<TGeoKeyRecord> keys;
    for (qsizetype pos = 0; pos + KeyRecordSize <= bytes.size(); pos += KeyRecordSize) {
        const char *d = bytes.data() + pos;
        TGeoKeyRecord k;
        k.Name = platform::fromCp1251(QByteArrayView(d + 1, static_cast<unsigned char>(d[0])));
        k.Cx = shp::getLEDouble(d + 256);
        k.Cy = shp::getLEDouble(d + 264);
        k.K = shp::getLEDouble(d + 272);
        k.SinA = shp::getLEDouble(d + 280);
        k.CosA = shp::getLEDouble(d + 288);
        keys.push_back(k);
    }
    return keys;
}

QByteArray encodeKeys(const std::vector<TGeoKeyRecord> &keys)
{
    QByteArray out(qsizetype(keys.size()) * KeyRecordSize, '\0');
    char *d = out.data();
    for (const TGeoKeyRecord &k : keys) {
        const QByteArray name = platform::toCp1251(k.Name).left(255);
        d[0] = static_cast<char>(name.size());
        std::copy(name.begin(), name.end(), d + 1);
        shp::setLEDouble(d + 256, k.Cx);
        shp::setLEDouble(d + 264, k.Cy);
        shp::setLEDouble(d + 272, k.K);
        shp::setLEDouble(d + 280, k.SinA);
        shp::setLEDouble(d + 288, k.CosA);
        d += KeyRecordSize;
    }
    return out;
}

QString keyFileName(const QString &programDir)
{
    return platform::joinPath(programDir, u"Systems.gtr");
}

std::vector<TGeoKeyRecord> LoadKeys(const QString &fileName)
{
    const QString found = platform::findExistingPath(fileName);
    QFile f(found.isEmpty() ? fileName : found);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return decodeKeys(f.readAll());
}

bool SaveKeys(const QString &fileName, const std::vector<TGeoKeyRecord> &keys)
{
    const QString found = platform::findExistingPath(fileName);
    return platform::writeFileAtomically(found.isEmpty() ? fileName : found, encodeKeys(keys));
}

std::optional<PlaneKey> computeKey(const std::vector<PointPair> &pairs, QString &refusal)
{
    refusal.clear();
    if (pairs.empty()) {
        refusal = QStringLiteral("Недостаточно параметров для расчёта !");
        return std::nullopt;
    }
    const double n = static_cast<double>(pairs.size());
    double mX1 = 0, mY1 = 0, mX2 = 0, mY2 = 0;
    for (const PointPair &p : pairs) {
        mX1 += p.X1;
        mY1 += p.Y1;
        mX2 += p.X2;
        mY2 += p.Y2;
    }
    mX1 /= n;
    mY1 /= n;
    mX2 /= n;
    mY2 /= n;
    double s1 = 0, s2 = 0, s3 = 0;
    for (const PointPair &p : pairs) {
        const double dx1 = p.X1 - mX1, dy1 = p.Y1 - mY1;
        const double dx2 = p.X2 - mX2, dy2 = p.Y2 - mY2;
        s1 += dx1 * dx2 + dy1 * dy2;
        s2 += dx1 * dx1 + dy1 * dy1;
        s3 += dx1 * dy2 - dy1 * dx2;
    }
    const double b = s1 / s2, c = s3 / s2;
    const double k = std::hypot(b, c);
    // One pair, or local points that all coincide, leave the turn and the
    // scale undetermined.
    if (s2 == 0 || !std::isfinite(b) || !std::isfinite(c) || k == 0) {
        refusal = QStringLiteral("Недостаточно параметров для расчёта !");
        return std::nullopt;
    }
    PlaneKey key;
    key.K = k;
    key.SinA = c / k;
    key.CosA = b / k;
    key.Cx = mX2 - b * mX1 + c * mY1;
    key.Cy = mY2 - b * mY1 - c * mX1;
    return key;
}

std::vector<TransformRow> parseTransformRows(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    std::vector<TransformRow> rows;
    for (QString line : text.split(u'\n')) {
        line.replace(u'\t', u' ');
        const QString trimmed = platform::trimBlank(line).toString();
        if (trimmed.isEmpty())
            continue;
        const QStringList fields = trimmed.split(blanks, Qt::SkipEmptyParts);
        auto number = [&](int i) { return i < fields.size() ? VykFunctions::TextToFloatDef(fields[i], 0) : 0.0; };
        TransformRow r;
        r.Name = fields.value(0);
        r.X1 = number(1);
        r.Y1 = number(2);
        r.Z1 = number(3);
        r.X2 = number(4);
        r.Y2 = number(5);
        r.Z2 = number(6);
        rows.push_back(r);
    }
    return rows;
}

} // namespace geodesy
