#include "platform/IniFile.h"

#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFile>

namespace platform {

namespace {

QString unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"') || (v.front() == u'\'' && v.back() == u'\'')))
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName))
{
    QFile f(resolvePath(fileName_));
    if (f.open(QIODevice::ReadOnly))
        parse(fromCp1251(f.readAll()));
}

void IniFile::parse(const QString &text)
{
    preamble_.clear();
    sections_.clear();
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            sections_.push_back(Section{trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
            continue;
        }
        auto &entries = sections_.empty() ? preamble_ : sections_.back().entries;
        const qsizetype eq = line.indexOf(u'=');
        const QString key = eq > 0 ? line.left(eq).trimmed() : QString();
        // A line without a key (blanks before its "=") is kept as it was.
        if (key.isEmpty() || trimmed.startsWith(u';'))
            entries.push_back(Entry{QString(), line});
        else
            entries.push_back(Entry{key, line.mid(eq + 1)});
    }
}

QString IniFile::text() const
{
    QString out;
    auto put = [&out](const std::vector<Entry> &entries) {
        for (const Entry &e : entries)
            out += (e.key.isEmpty() ? e.value : e.key + u'=' + e.value) + QStringLiteral("\r\n");
    };
    put(preamble_);
    for (const Section &s : sections_) {
        out += u'[' + s.name + QStringLiteral("]\r\n");
        put(s.entries);
    }
    return out;
}

const IniFile::Section *IniFile::findSection(QStringView name) const
{
    for (const Section &s : sections_)
        if (ansiSameText(s.name, name))
            return &s;
    return nullptr;
}

IniFile::Section *IniFile::findSection(QStringView name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

const IniFile::Entry *IniFile::findEntry(QStringView section, QStringView key) const
{
    const Section *s = findSection(section);
    if (!s)
        return nullptr;
    for (const Entry &e : s->entries)
        if (!e.key.isEmpty() && ansiSameText(e.key, key))
            return &e;
    return nullptr;
}

QString IniFile::readString(QStringView section, QStringView key, const QString &def) const
{
    const Entry *e = findEntry(section, key);
    return e ? unquote(e->value) : def;
}

int IniFile::readInteger(QStringView section, QStringView key, int def) const
{
    const QString v = readString(section, key, QString()).trimmed();
    if (v.isEmpty())
        return def;
    bool ok = false;
    int result = 0;
    if (v.startsWith(u'$'))
        result = v.mid(1).toInt(&ok, 16);
    else if (v.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        result = v.mid(2).toInt(&ok, 16);
    else
        result = v.toInt(&ok, 10);
    return ok ? result : def;
}

bool IniFile::readBool(QStringView section, QStringView key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::sectionExists(QStringView section) const { return findSection(section) != nullptr; }

bool IniFile::valueExists(QStringView section, QStringView key) const
{
    return findEntry(section, key) != nullptr;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section &s : sections_)
        out << s.name;
    return out;
}

QStringList IniFile::sectionKeys(QStringView section) const
{
    QStringList out;
    if (const Section *s = findSection(section))
        for (const Entry &e : s->entries)
            if (!e.key.isEmpty())
                out << e.key;
    return out;
}

bool IniFile::writeString(QStringView section, QStringView key, const QString &value)
{
    Section *s = findSection(section);
    if (!s) {
        sections_.push_back(Section{section.toString(), {}});
        s = &sections_.back();
    }
    bool found = false;
    for (Entry &e : s->entries)
        if (!e.key.isEmpty() && ansiSameText(e.key, key)) {
            e.value = value;
            found = true;
            break;
        }
    if (!found) {
        // New keys go after the last key of the section, before trailing blank lines.
        auto pos = s->entries.end();
        while (pos != s->entries.begin() && std::prev(pos)->key.isEmpty() &&
               std::prev(pos)->value.trimmed().isEmpty())
            --pos;
        s->entries.insert(pos, Entry{key.toString(), value});
    }
    return save();
}

bool IniFile::writeInteger(QStringView section, QStringView key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(QStringView section, QStringView key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::eraseSection(QStringView section)
{
    std::erase_if(sections_, [&](const Section &s) { return ansiSameText(s.name, section); });
    return save();
}

bool IniFile::deleteKey(QStringView section, QStringView key)
{
    if (Section *s = findSection(section))
        std::erase_if(s->entries, [&](const Entry &e) { return !e.key.isEmpty() && ansiSameText(e.key, key); });
    return save();
}

bool IniFile::save() const
{
    return writeFileAtomically(resolvePath(fileName_), toCp1251(text()));
}

} // namespace platform
