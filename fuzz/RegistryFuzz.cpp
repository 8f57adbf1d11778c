// Feeds arbitrary bytes, as the settings store's text file, to the store:
// every key is walked and every value read in each type. Writing one value
// must keep every other key and value as the file gave them.

#include "FuzzSupport.h"
#include "platform/Registry.h"

#include <QFileInfo>

#include <algorithm>

using platform::RegRoot;
using platform::Registry;

namespace {

QString filePath()
{
    static const QString path = fuzzsupport::scratchPath("registry", QStringLiteral("/registry.reg"));
    return path;
}

QString typed(const Registry &reg, RegRoot root, const QString &key, const QString &name)
{
    QString out;
    try {
        out += reg.readString(root, key, name).value_or(QStringLiteral("-"));
    } catch (const platform::RegistryError &) {
        out += u'S';
    }
    try {
        out += QString::number(reg.readInteger(root, key, name).value_or(7));
    } catch (const platform::RegistryError &) {
        out += u'I';
    }
    try {
        out += QString::fromLatin1(reg.readBinary(root, key, name).value_or(QByteArray("-")).toHex());
    } catch (const platform::RegistryError &) {
        out += u'B';
    }
    return out;
}

// Every key reachable from the roots and every value of it, read in each type.
QStringList contents(const Registry &reg)
{
    QStringList out;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser, RegRoot::ClassesRoot}) {
        QStringList keys{QString()};
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const QString key = keys[k];
            // An empty step ("a\\b") names the key again, and "/" is taken
            // for "\\" in the names asked for: such keys cannot be reached.
            for (const QString &sub : reg.subKeyNames(root, key))
                if (!sub.isEmpty() && !sub.contains(u'/'))
                    keys << (key.isEmpty() ? sub : key + u'\\' + sub);
            for (const QString &name : reg.valueNames(root, key))
                out << Registry::rootName(root) + key + u'\n' + name + u'\n' + typed(reg, root, key, name);
        }
    }
    out.sort();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QDir().mkpath(QFileInfo(filePath()).absolutePath());
    if (!fuzzsupport::writeFile(filePath(), QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        return 0;
    Registry &reg = Registry::instance();
    reg.setStorageFile(filePath());
    const QStringList before = contents(reg);

    // One value written: the file read again gives everything else as before.
    const QString key = QStringLiteral("SOFTWARE\\Tolvane 2\\Fuzz");
    if (reg.keyExists(RegRoot::CurrentUser, key))
        return 0;
    if (!reg.writeString(RegRoot::CurrentUser, key, QStringLiteral("LastOpenTvpFile"), QStringLiteral("/home/u/проект.tvp")))
        __builtin_trap();
    reg.setStorageFile(filePath());
    // Keys whose parents the file lacked come to light under the new parents;
    // nothing the file gave may be lost or changed.
    const QStringList after = contents(reg);
    const QString added = QStringLiteral("HKEY_CURRENT_USER") + key + QStringLiteral("\nLastOpenTvpFile\n/home/u/проект.tvpIB");
    if (!std::any_of(after.begin(), after.end(), [&](const QString &s) { return s.compare(added, Qt::CaseInsensitive) == 0; }))
        __builtin_trap();
    for (const QString &s : before)
        if (!after.contains(s))
            __builtin_trap();
    return 0;
}
