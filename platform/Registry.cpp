#include "platform/Registry.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

QString cleanKey(QStringView key)
{
    QString k = key.toString();
    k.replace(u'/', u'\\');
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

QString fold(QStringView s) { return ansiUpperCase(s); }

QString escape(const QString &s)
{
    QString out;
    for (QChar c : s) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

// Reads a quoted text starting at pos (at the opening quote); pos ends after
// the closing quote.
QString readQuoted(const QString &line, qsizetype &pos)
{
    QString out;
    ++pos;
    while (pos < line.size() && line[pos] != u'"') {
        if (line[pos] == u'\\' && pos + 1 < line.size()) {
            ++pos;
            out += line[pos] == u'n' ? QChar(u'\n') : line[pos];
        } else {
            out += line[pos];
        }
        ++pos;
    }
    ++pos;
    return out;
}

} // namespace

Registry &Registry::instance()
{
    static Registry reg;
    return reg;
}

Registry::Registry() : file_(defaultStorageFile()) { load(); }

QString Registry::defaultStorageFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tolvane/registry.reg");
}

void Registry::setStorageFile(const QString &path)
{
    file_ = path;
    load();
}

QString Registry::rootName(RegRoot root)
{
    switch (root) {
    case RegRoot::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegRoot::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case RegRoot::ClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    }
    return {};
}

QString Registry::foldedPath(RegRoot root, QStringView key)
{
    const QString k = cleanKey(key);
    return fold(k.isEmpty() ? rootName(root) : rootName(root) + u'\\' + k);
}

void Registry::load()
{
    keys_.clear();
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    Key *current = nullptr;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString path = line.mid(1, line.size() - 2);
            Key &k = keys_[fold(path)];
            k.path = path;
            current = &k;
            continue;
        }
        if (!current || !line.startsWith(u'"'))
            continue;
        qsizetype pos = 0;
        const QString name = readQuoted(line, pos);
        if (pos >= line.size() || line[pos] != u'=')
            continue;
        ++pos;
        const QStringView rest = QStringView(line).mid(pos);
        Value v;
        if (rest.startsWith(u'"')) {
            v = readQuoted(line, pos);
        } else if (rest.startsWith(QStringLiteral("dword:"))) {
            v = static_cast<quint32>(rest.mid(6).toString().toUInt(nullptr, 16));
        } else if (rest.startsWith(QStringLiteral("hex:"))) {
            v = QByteArray::fromHex(rest.mid(4).toString().remove(u',').toLatin1());
        } else {
            continue;
        }
        current->values[fold(name)] = {name, v};
    }
}

bool Registry::save() const
{
    QString out = QStringLiteral("; Tolvane settings store\n");
    for (const auto &[folded, key] : keys_) {
        out += QStringLiteral("\n[") + key.path + QStringLiteral("]\n");
        for (const auto &[fn, nv] : key.values) {
            out += u'"' + escape(nv.first) + QStringLiteral("\"=");
            if (const auto *s = std::get_if<QString>(&nv.second))
                out += u'"' + escape(*s) + u'"';
            else if (const auto *d = std::get_if<quint32>(&nv.second))
                out += QStringLiteral("dword:%1").arg(*d, 8, 16, QChar(u'0'));
            else {
                const QByteArray hex = std::get<QByteArray>(nv.second).toHex(',');
                out += QStringLiteral("hex:") + QString::fromLatin1(hex);
            }
            out += u'\n';
        }
    }
    QDir().mkpath(QFileInfo(file_).absolutePath());
    return writeFileAtomically(file_, out.toUtf8());
}

bool Registry::commit()
{
    if (save())
        return true;
    load(); // the store could not be written: forget the change
    return false;
}

bool Registry::keyExists(RegRoot root, QStringView key) const
{
    return cleanKey(key).isEmpty() || keys_.count(foldedPath(root, key)) > 0;
}

bool Registry::createKey(RegRoot root, QStringView key)
{
    const QString k = cleanKey(key);
    if (k.isEmpty())
        return true;
    bool added = false;
    const QStringList parts = k.split(u'\\', Qt::SkipEmptyParts);
    QString path = rootName(root);
    for (const QString &p : parts) {
        path += u'\\' + p;
        auto [it, inserted] = keys_.try_emplace(fold(path));
        if (inserted) {
            it->second.path = path;
            added = true;
        }
    }
    return !added || commit();
}

bool Registry::deleteKey(RegRoot root, QStringView key)
{
    const QString folded = foldedPath(root, key);
    const QString prefix = folded + u'\\';
    const auto erased = std::erase_if(keys_, [&](const auto &kv) {
        return kv.first == folded || kv.first.startsWith(prefix);
    });
    return erased > 0 && commit();
}

std::optional<Registry::Value> Registry::value(RegRoot root, QStringView key, QStringView name) const
{
    const auto k = keys_.find(foldedPath(root, key));
    if (k == keys_.end())
        return std::nullopt;
    const auto v = k->second.values.find(fold(name));
    if (v == k->second.values.end())
        return std::nullopt;
    return v->second.second;
}

bool Registry::valueExists(RegRoot root, QStringView key, QStringView name) const
{
    return value(root, key, name).has_value();
}

QStringList Registry::valueNames(RegRoot root, QStringView key) const
{
    QStringList out;
    const auto k = keys_.find(foldedPath(root, key));
    if (k != keys_.end())
        for (const auto &[fn, nv] : k->second.values)
            out << nv.first;
    return out;
}

QStringList Registry::subKeyNames(RegRoot root, QStringView key) const
{
    QStringList out;
    const QString prefix = foldedPath(root, key) + u'\\';
    for (const auto &[folded, k] : keys_)
        if (folded.startsWith(prefix) && !QStringView(folded).mid(prefix.size()).contains(u'\\'))
            out << k.path.mid(prefix.size());
    return out;
}

namespace {
template <typename T>
std::optional<T> typed(const std::optional<Registry::Value> &v, QStringView name)
{
    if (!v)
        return std::nullopt;
    if (const T *t = std::get_if<T>(&*v))
        return *t;
    throw RegistryError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
}
} // namespace

std::optional<QString> Registry::readString(RegRoot root, QStringView key, QStringView name) const
{
    return typed<QString>(value(root, key, name), name);
}

std::optional<quint32> Registry::readInteger(RegRoot root, QStringView key, QStringView name) const
{
    return typed<quint32>(value(root, key, name), name);
}

std::optional<QByteArray> Registry::readBinary(RegRoot root, QStringView key, QStringView name) const
{
    return typed<QByteArray>(value(root, key, name), name);
}

bool Registry::writeValue(RegRoot root, QStringView key, QStringView name, const Value &v)
{
    if (!createKey(root, key))
        return false;
    Key &k = keys_[foldedPath(root, key)];
    if (k.path.isEmpty())
        k.path = rootName(root);
    k.values[fold(name)] = {name.toString(), v};
    return commit();
}

bool Registry::deleteValue(RegRoot root, QStringView key, QStringView name)
{
    const auto k = keys_.find(foldedPath(root, key));
    if (k == keys_.end() || k->second.values.erase(fold(name)) == 0)
        return false;
    return commit();
}

} // namespace platform
