#include "geodesy/PointTransform.h"

#include "mapdata/MapFunctions.h"

#include <QRegularExpression>
#include <QStringList>

#include <proj.h>

#include <cmath>

namespace geodesy {

namespace {

// Degrees per radian as the system writes it, so that results are the same
// to the last bit.
constexpr double DegreesPerRadian = 57.29577951308232;
const QString SearchPath = QStringLiteral(".\\nad");

// Whether a non-blank definition names the figure of the earth (an
// ellipsoid, its axis or radius, or a datum). A blank one is left to the
// library, which refuses it.
bool namesFigure(const QString &definition)
{
    const QStringList tokens = definition.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return true;
    for (QString t : tokens) {
        if (t.startsWith(u'+'))
            t.remove(0, 1);
        const QString key = t.section(u'=', 0, 0).toLower();
        if (key == u"ellps" || key == u"a" || key == u"r" || key == u"datum")
            return true;
    }
    return false;
}

} // namespace

QString projectionSetUpMessage()
{
    return QStringLiteral("Ошибка при формировании проекции ") + pj_strerrno(*pj_get_errno_ref());
}

PointTransform::PointTransform(TransformParams params) : p_(std::move(params)) {}

PointTransform::~PointTransform() = default;

bool PointTransform::setUpOne(const QString &definition, Projection &out)
{
    // The library would take a default ellipsoid for a definition that names
    // none; a transformation wants the figure of the earth said.
    if (!namesFigure(definition)) {
        *pj_get_errno_ref() = PROJ_ERR_INVALID_OP_MISSING_ARG;
        error_ = projectionSetUpMessage();
        return false;
    }
    out.reset(pj_init_plus_path(definition, SearchPath));
    if (out)
        return true;
    error_ = projectionSetUpMessage();
    return false;
}

bool PointTransform::setUp()
{
    error_.clear();
    projected_ = false;
    if (p_.Kind == tkProjections)
        return setUpOne(p_.Source, source_) && setUpOne(p_.Destination, destination_);
    if (p_.Kind == tkOneProjection)
        return setUpOne(p_.Source, source_);
    return true;
}

bool PointTransform::apply(double &x, double &y, bool first)
{
    double nx = x, ny = y;
    switch (p_.Kind) {
    case tkKey:
        ny = p_.K * (y * p_.CosA - x * p_.SinA) + p_.DX;
        nx = p_.K * (x * p_.CosA + y * p_.SinA) + p_.DY;
        break;
    case tkShift:
        nx = x + p_.DY;
        ny = y + p_.DX;
        break;
    case tkProjections: {
        const projUV lp = pj_inv({x, y}, source_.get());
        const projUV xy = pj_fwd(lp, destination_.get());
        nx = xy.u;
        ny = xy.v;
        break;
    }
    case tkOneProjection: {
        // Once a point is found projected, the rest of the run is taken as
        // projected too.
        if (looksProjected(x, y, first))
            projected_ = true;
        if (projected_) {
            const projUV lp = pj_inv({x, y}, source_.get());
            nx = lp.u * DegreesPerRadian;
            ny = lp.v * DegreesPerRadian;
        } else {
            const projUV xy = pj_fwd({x / DegreesPerRadian, y / DegreesPerRadian}, source_.get());
            nx = xy.u;
            ny = xy.v;
        }
        break;
    }
    default:
        break;
    }
    if (!std::isfinite(nx) || !std::isfinite(ny)) {
        const int err = *pj_get_errno_ref();
        const bool library = p_.Kind == tkProjections || p_.Kind == tkOneProjection;
        error_ = library && err != 0 ? pj_strerrno(err) : QString();
        return false;
    }
    x = nx;
    y = ny;
    return true;
}

bool PointTransform::looksProjected(double x, double y, bool first)
{
    return std::fabs(y) > 60 || (first && std::fabs(x) > 60);
}

double PointTransform::stored(double value) const
{
    if (p_.Digits <= 0)
        return value;
    return MapFunctions::RoundValue(value, 0, p_.Digits, false).toDouble();
}

} // namespace geodesy
