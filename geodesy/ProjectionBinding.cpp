#include "geodesy/ProjectionBinding.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <proj.h>

#include <cmath>
#include <vector>

namespace geodesy {

struct ProjHandle {
    PJ_CONTEXT *context = nullptr;
    PJ *pj = nullptr;
};

namespace {

// Per thread: a long transformation converts its points in several threads,
// each with handles of its own, and reads the number right after its call.
thread_local int lastErrno = 0;

// The ellipsoid of each datum the library knows by name.
const char *datumEllipsoid(const QString &datum)
{
    static const struct { const char *datum, *ellps; } table[] = {
        {"WGS84", "WGS84"},   {"GGRS87", "GRS80"},        {"NAD83", "GRS80"},
        {"NAD27", "clrk66"},  {"potsdam", "bessel"},      {"carthage", "clrk80ign"},
        {"hermannskogel", "bessel"}, {"ire65", "mod_airy"}, {"nzgd49", "intl"},
        {"OSGB36", "airy"},
    };
    for (const auto &e : table)
        if (datum.compare(QLatin1String(e.datum), Qt::CaseInsensitive) == 0)
            return e.ellps;
    return nullptr;
}

QString keyOf(const QString &token)
{
    QString t = token;
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    const qsizetype eq = t.indexOf(u'=');
    return (eq < 0 ? t : t.left(eq)).toLower();
}

QString valueOf(const QString &token)
{
    const qsizetype eq = token.indexOf(u'=');
    return eq < 0 ? QString() : token.mid(eq + 1);
}

std::vector<QString> defaultSearchPaths()
{
    std::vector<QString> out;
    const PJ_INFO info = proj_info();
    if (info.searchpath)
        for (const QString &p : QString::fromUtf8(info.searchpath).split(u':', Qt::SkipEmptyParts))
            out.push_back(p);
    return out;
}

projUV failed(PJ *pj)
{
    lastErrno = pj ? proj_errno(pj) : PROJ_ERR_OTHER;
    if (lastErrno == 0)
        lastErrno = PROJ_ERR_COORD_TRANSFM;
    if (pj)
        proj_errno_reset(pj);
    return {HUGE_VAL, HUGE_VAL};
}

projUV convert(projUV in, projPJ P, PJ_DIRECTION direction)
{
    if (!P || !P->pj)
        return failed(nullptr);
    PJ_COORD c = proj_coord(in.u, in.v, 0, 0);
    c = proj_trans(P->pj, direction, c);
    if (proj_errno(P->pj) != 0 || !std::isfinite(c.xy.x) || !std::isfinite(c.xy.y))
        return failed(P->pj);
    return {c.xy.x, c.xy.y};
}

} // namespace

QString pureProjectionDefinition(const QString &definition)
{
    const QStringList tokens = definition.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool hasEllps = false;
    for (const QString &t : tokens)
        if (keyOf(t) == u"ellps")
            hasEllps = true;
    QStringList out;
    for (const QString &t : tokens) {
        const QString key = keyOf(t);
        if (key == u"towgs84" || key == u"nadgrids" || key == u"geoidgrids")
            continue;
        if (key == u"datum") {
            const char *ellps = datumEllipsoid(valueOf(t));
            if (ellps) {
                if (!hasEllps)
                    out << QStringLiteral("+ellps=") + QLatin1String(ellps);
                continue;
            }
        }
        out << t;
    }
    return out.join(u' ');
}

projPJ pj_init_plus_path(const QString &definition, const QString &searchPath)
{
    const QString text = pureProjectionDefinition(definition);
    if (text.trimmed().isEmpty()) {
        lastErrno = PROJ_ERR_INVALID_OP_WRONG_SYNTAX;
        return nullptr;
    }
    auto *h = new ProjHandle;
    h->context = proj_context_create();
    if (!h->context) {
        delete h;
        lastErrno = PROJ_ERR_OTHER;
        return nullptr;
    }
    proj_log_level(h->context, PJ_LOG_NONE);

    // The given folder first, then the library's own (where its database is).
    QString path = searchPath;
    path.replace(u'\\', u'/');
    std::vector<QByteArray> paths;
    if (!path.isEmpty())
        paths.push_back(QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(path))));
    static const std::vector<QString> defaults = defaultSearchPaths();
    for (const QString &p : defaults)
        paths.push_back(QFile::encodeName(p));
    std::vector<const char *> raw;
    for (const QByteArray &p : paths)
        raw.push_back(p.constData());
    proj_context_set_search_paths(h->context, static_cast<int>(raw.size()), raw.data());

    h->pj = proj_create(h->context, text.toUtf8().constData());
    if (!h->pj || proj_is_crs(h->pj)) {
        lastErrno = h->pj ? PROJ_ERR_INVALID_OP : proj_context_errno(h->context);
        if (lastErrno == 0)
            lastErrno = PROJ_ERR_INVALID_OP;
        pj_free(h);
        return nullptr;
    }
    lastErrno = 0;
    return h;
}

projUV pj_fwd(projUV lp, projPJ P) { return convert(lp, P, PJ_FWD); }

projUV pj_inv(projUV xy, projPJ P) { return convert(xy, P, PJ_INV); }

void pj_free(projPJ P)
{
    if (!P)
        return;
    if (P->pj)
        proj_destroy(P->pj);
    if (P->context)
        proj_context_destroy(P->context);
    delete P;
}

int *pj_get_errno_ref() { return &lastErrno; }

QString pj_strerrno(int err)
{
    if (err == 0)
        return {};
    const char *text = proj_context_errno_string(PJ_DEFAULT_CTX, err);
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace geodesy
