// Feeds arbitrary bytes, as a Windows-1251 ini or language file, to the ini
// reader: sections and keys are read as text and as numbers. The text written back
// must read as the same values and write the same text again; writing one
// key to the file must leave every other value as it was.

#include "FuzzSupport.h"
#include "platform/IniFile.h"

using platform::IniFile;

namespace {

QString filePath()
{
    static const QString path = fuzzsupport::scratchPath("ini_file", QStringLiteral(".ini"));
    return path;
}

// Keys read per file: the reader looks each up from the top, so that a
// long language file would make every run slow.
constexpr qsizetype kMaxKeys = 200;

// The values the file gives, by section and key as the readers find them.
QStringList values(const IniFile &ini)
{
    QStringList out;
    for (const QString &section : ini.sections())
        for (const QString &key : ini.sectionKeys(section)) {
            if (out.size() == kMaxKeys)
                return out;
            out << section + u'\n' + key + u'\n' + ini.readString(section, key, QStringLiteral("-")) + u'\n' +
                       QString::number(ini.readInteger(section, key, -7));
        }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!fuzzsupport::writeFile(filePath(), QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        return 0;
    IniFile ini(filePath());
    const QStringList before = values(ini);

    IniFile again(QString{});
    again.parse(ini.text());
    if (values(again) != before)
        __builtin_trap();
    IniFile third(QString{});
    third.parse(again.text());
    if (third.text() != again.text())
        __builtin_trap();

    // One key written: the others read as before.
    const QString section = QStringLiteral("Fuzz section");
    if (!ini.sectionExists(section) && ini.writeString(section, QStringLiteral("Key.Caption"), QStringLiteral("Значение"))) {
        const IniFile written(filePath());
        QStringList after = values(written);
        after.removeAll(section + QStringLiteral("\nKey.Caption\nЗначение\n-7"));
        if (after != before || written.readString(section, QStringLiteral("key.caption"), {}) != u"Значение")
            __builtin_trap();
    }
    return 0;
}
