#include "geodesy/Projector.h"

namespace geodesy {

namespace {

// Whether an entry "name=value" (or a bare "name") of the list has the name;
// names compare without regard to case, as the list's name lookup does.
bool hasName(const QStringList &list, QStringView name)
{
    for (const QString &entry : list) {
        const qsizetype eq = entry.indexOf(u'=');
        const QStringView key = eq < 0 ? QStringView(entry) : QStringView(entry).left(eq);
        if (key.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

TProjector::TProjector() { AddDefaultParams(); }

TProjector::~TProjector() { pj_free(FProjection); }

void TProjector::Reset()
{
    Params.clear();
    AddDefaultParams();
    Apply();
}

bool TProjector::Apply()
{
    pj_free(FProjection);
    FProjection = nullptr;
    QString definition;
    for (const QString &entry : Params) {
        const QString e = entry.trimmed();
        if (!e.isEmpty())
            definition += QStringLiteral(" +") + e;
    }
    FProjection = pj_init_plus_path(definition, QStringLiteral(".\\nad"));
    return FProjection != nullptr;
}

bool TProjector::AddDefaultParams()
{
    bool complete = true;
    if (!hasName(Params, u"units")) {
        Params.prepend(QStringLiteral("units=m"));
        complete = false;
    }
    if (!hasName(Params, u"ellps")) {
        Params.prepend(QStringLiteral("ellps=WGS84"));
        complete = false;
    }
    if (!hasName(Params, u"proj")) {
        Params.prepend(QStringLiteral("proj=tmerc"));
        if (!hasName(Params, u"zone"))
            Params.append(QStringLiteral("zone=6"));
        if (!hasName(Params, u"south"))
            Params.append(QStringLiteral("south=E"));
        complete = false;
    }
    return complete;
}

} // namespace geodesy
