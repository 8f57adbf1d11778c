#include "platform/classlib/ClassTable.h"

#include <algorithm>

namespace platform::classlib {

QString kindName(Kind kind)
{
    static const char *const names[] = {"Integer", "Char",    "WChar",  "Enum",   "Set",     "Float",
                                        "String",  "WString", "Class",  "Method", "Variant", "Int64"};
    return QString::fromLatin1(names[static_cast<int>(kind)]);
}

QString defaultText(const PropInfo &property)
{
    if (!property.def)
        return QStringLiteral("-");
    const std::int64_t v = *property.def;
    const TypeInfo &type = *property.type;
    if (type.kind == Kind::Enum)
        return enumName(type, v);
    if (type.kind == Kind::Set) {
        QStringList names;
        for (int i = 0; i < 32; ++i)
            if (v & (std::int64_t{1} << i))
                names << (type.setElement ? enumName(*type.setElement, i) : QString::number(i));
        return u'[' + names.join(u',') + u']';
    }
    return QString::number(v);
}

QString storedText(const PropInfo &property)
{
    if (!property.stored)
        return QStringLiteral("yes");
    return property.stored == &never ? QStringLiteral("no") : QStringLiteral("when");
}

QString describeClass(const ClassInfo &info, bool alphabetical)
{
    QString text = info.className();
    QStringList ancestors;
    for (const ClassInfo *c = info.parent(); c; c = c->parent())
        ancestors << c->className();
    if (!ancestors.isEmpty())
        text += QStringLiteral(": ") + ancestors.join(QStringLiteral(", "));
    text += u'\n';
    const auto props = alphabetical ? info.sorted() : info.all();
    struct Row {
        QString cells[5];
    };
    std::vector<Row> rows{{{QStringLiteral("property"), QStringLiteral("kind"), QStringLiteral("type"),
                            QStringLiteral("default"), QStringLiteral("stored")}}};
    for (const PropInfo *p : props)
        rows.push_back({{QString::fromLatin1(p->name), kindName(p->kind()), QString::fromLatin1(p->type->name),
                         defaultText(*p), storedText(*p)}});
    int widths[5] = {};
    for (const Row &r : rows)
        for (int i = 0; i < 5; ++i)
            widths[i] = std::max(widths[i], static_cast<int>(r.cells[i].size()));
    for (const Row &r : rows) {
        QString line = QStringLiteral("  ");
        for (int i = 0; i < 5; ++i)
            line += i < 4 ? r.cells[i].leftJustified(widths[i] + 2) : r.cells[i];
        text += line + u'\n';
    }
    return text;
}

} // namespace platform::classlib
