#include "platform/db/Database.h"

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace platform::db {

QString aliasesKey()
{
    return QStringLiteral("SOFTWARE\\Tolvane 2\\Aliases");
}

bool setAlias(const QString &alias, const QString &folder)
{
    return Registry::instance().writeString(RegRoot::LocalMachine, aliasesKey(), alias.trimmed(), folder);
}

QString resolveDatabase(const QString &databaseName)
{
    const QString name = databaseName.trimmed();
    if (name.isEmpty())
        return QDir::currentPath();
    if (!name.contains(u'/') && !name.contains(u'\\')) {
        std::optional<QString> folder;
        try {
            folder = Registry::instance().readString(RegRoot::LocalMachine, aliasesKey(), name);
        } catch (const RegistryError &) {
            throw DbError(QStringLiteral("Псевдоним базы данных ") + name + QStringLiteral(" задан неверно !"));
        }
        if (folder) {
            const QString found = findExistingPath(folder->trimmed());
            if (found.isEmpty() || !QFileInfo(found).isDir())
                throw DbError(QStringLiteral("Папка ") + *folder + QStringLiteral(" псевдонима базы данных ") + name
                              + QStringLiteral(" не найдена !"));
            return found;
        }
    }
    const QString found = findExistingPath(name);
    if (!found.isEmpty() && QFileInfo(found).isDir())
        return found;
    if (name.contains(u'/') || name.contains(u'\\'))
        throw DbError(QStringLiteral("Папка базы данных ") + name + QStringLiteral(" не найдена !"));
    throw DbError(QStringLiteral("Неизвестный псевдоним базы данных ") + name + QStringLiteral(" !"));
}

TableFile resolveTable(const QString &folder, const QString &tableName, TableType type, bool mustExist)
{
    QString name = tableName.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    if (name.isEmpty())
        throw DbError(QStringLiteral("Не задано имя таблицы !"));
    const QString norm = normalizePath(name);
    const QString path = (norm.startsWith(u'/') || folder.isEmpty()) ? norm : joinPath(folder, norm);

    const QString ext = extractFileExt(path);
    TableFile out;
    if (ext.isEmpty()) {
        QStringList candidates;
        if (type == TableType::DBase)
            candidates << QStringLiteral(".dbf");
        else if (type == TableType::Paradox)
            candidates << QStringLiteral(".db");
        else
            candidates << QStringLiteral(".db") << QStringLiteral(".dbf");
        for (const QString &c : candidates) {
            const QString found = findExistingPath(path + c);
            if (!found.isEmpty() && QFileInfo(found).isFile()) {
                out.path = found;
                out.type = c == u".dbf" ? TableType::DBase : TableType::Paradox;
                return out;
            }
        }
        if (mustExist)
            throw DbError(QStringLiteral("Таблица ") + tableName.trimmed() + QStringLiteral(" не найдена !"));
        out.path = resolvePath(path + candidates.first());
        out.type = candidates.first() == u".dbf" ? TableType::DBase : TableType::Paradox;
        return out;
    }
    if (ansiSameText(ext, u".dbf"))
        out.type = TableType::DBase;
    else if (ansiSameText(ext, u".db"))
        out.type = TableType::Paradox;
    else if (type != TableType::Default)
        out.type = type;
    else
        throw DbError(QStringLiteral("Неизвестный тип таблицы ") + tableName.trimmed() + QStringLiteral(" !"));
    if (mustExist) {
        const QString found = findExistingPath(path);
        if (found.isEmpty() || !QFileInfo(found).isFile())
            throw DbError(QStringLiteral("Таблица ") + tableName.trimmed() + QStringLiteral(" не найдена !"));
        out.path = found;
    } else {
        out.path = resolvePath(path);
    }
    return out;
}

} // namespace platform::db
