#include "tools/layergen/LayerFiles.h"
#include "tools/layergen/LayerGen.h"

#include "platform/Paths.h"

#include <QDate>

namespace layergen {

namespace {

// "NAME, C|N|D, width, decimals".
platform::db::FieldDef readField(const Section &s, const Entry &e)
{
    const QStringList parts = splitParts(s, e, u',', 2, 4);
    const QString name = parts[0];
    const QString type = parts[1];
    if (name.isEmpty() || name.size() > 10)
        s.fail(e, QStringLiteral("a field name has 1 to 10 characters: \"%1\"").arg(name));
    if (type != u"C" && type != u"N" && type != u"D")
        s.fail(e, QStringLiteral("field type \"%1\": use C, N or D").arg(type));
    const int width = parts.size() > 2 ? toInteger(s, e, parts[2]) : 0;
    const int decimals = parts.size() > 3 ? toInteger(s, e, parts[3]) : 0;
    if (type == u"C" && (width < 1 || width > 254))
        s.fail(e, QStringLiteral("a text field is 1 to 254 characters wide"));
    if (type == u"N" && (width < 1 || width > 19 || decimals < 0 || (decimals > 0 && decimals > width - 2)))
        s.fail(e, QStringLiteral("a number field is 1 to 19 wide, its decimals at most the width - 2"));
    return fieldDef(name, type[0].toLatin1(), width, decimals);
}

} // namespace

Outputs makeTemplates(const Description &d, const QString &folder)
{
    const Section &tables = d.get(QStringLiteral("tables"));
    tables.allowOnly({QStringLiteral("date")});
    const Entry &dateEntry = tables.need(QStringLiteral("date"));
    const QDate date = toDate(tables, dateEntry, dateEntry.value);
    Outputs out;
    const std::vector<const Section *> templates = d.all(QStringLiteral("template"));
    if (templates.empty())
        throw DescriptionError(d.file + QStringLiteral(": no [template <name>] section"));
    for (const Section *s : templates) {
        s->allowOnly({QStringLiteral("shape"), QStringLiteral("field")});
        if (s->name.isEmpty())
            s->fail(QStringLiteral("a template needs a name: [template <name>]"));
        const Entry &shape = s->need(QStringLiteral("shape"));
        const int type = toInteger(*s, shape, shape.value);
        if (type != 1 && type != 3 && type != 5 && type != 8 && type != 10)
            s->fail(shape, QStringLiteral("shape type %1: use 1, 3, 5, 8 or 10").arg(type));
        platform::db::FieldDefs fields;
        for (const Entry *e : s->all(QStringLiteral("field")))
            fields.push_back(readField(*s, *e));
        if (fields.empty())
            s->fail(QStringLiteral("[template %1] has no field").arg(s->name));
        const ShapeFile empty(type);
        const QString base = platform::joinPath(folder, s->name);
        out.push_back({base + QStringLiteral(".shp"), empty.shp()});
        out.push_back({base + QStringLiteral(".shx"), empty.shx()});
        out.push_back({base + QStringLiteral(".dbf"), dbfTable(fields, date, {})});
    }
    return out;
}

} // namespace layergen
