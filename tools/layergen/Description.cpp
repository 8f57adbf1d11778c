#include "tools/layergen/Description.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace layergen {

namespace {

QString where(const QString &file, int line)
{
    return file + u':' + QString::number(line) + QStringLiteral(": ");
}

} // namespace

void Section::fail(const QString &message) const
{
    throw DescriptionError(where(file, line) + message);
}

void Section::fail(const Entry &e, const QString &message) const
{
    throw DescriptionError(where(file, e.line) + message);
}

bool Section::has(const QString &key) const
{
    for (const Entry &e : entries)
        if (e.key == key)
            return true;
    return false;
}

const Entry *Section::find(const QString &key) const
{
    const Entry *found = nullptr;
    for (const Entry &e : entries) {
        if (e.key != key)
            continue;
        if (found)
            fail(e, QStringLiteral("\"%1\" is given twice in [%2 %3]").arg(key, kind, name));
        found = &e;
    }
    return found;
}

const Entry &Section::need(const QString &key) const
{
    const Entry *e = find(key);
    if (!e)
        fail(QStringLiteral("[%1 %2] needs \"%3\"").arg(kind, name, key));
    if (e->value.isEmpty())
        fail(*e, QStringLiteral("\"%1\" has no value").arg(key));
    return *e;
}

QString Section::text(const QString &key) const
{
    return need(key).value;
}

QString Section::text(const QString &key, const QString &fallback) const
{
    const Entry *e = find(key);
    return e ? e->value : fallback;
}

std::vector<const Entry *> Section::all(const QString &key) const
{
    std::vector<const Entry *> out;
    for (const Entry &e : entries)
        if (e.key == key)
            out.push_back(&e);
    return out;
}

void Section::allowOnly(const QStringList &keys) const
{
    for (const Entry &e : entries)
        if (!keys.contains(e.key))
            fail(e, QStringLiteral("unknown key \"%1\" in [%2 %3]").arg(e.key, kind, name));
}

Description Description::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DescriptionError(path + QStringLiteral(": cannot be read"));
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw DescriptionError(path + QStringLiteral(": not UTF-8 text"));
    return parse(text, path);
}

Description Description::parse(const QString &text, const QString &file)
{
    Description d;
    d.file = file;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString line = lines[i];
        const qsizetype hash = line.indexOf(u'#');
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                throw DescriptionError(where(file, lineNo) + QStringLiteral("a section line ends with \"]\""));
            const QString inner = line.mid(1, line.size() - 2).trimmed();
            const qsizetype space = inner.indexOf(u' ');
            Section s;
            s.kind = space < 0 ? inner : inner.left(space);
            s.name = space < 0 ? QString() : inner.mid(space + 1).trimmed();
            s.file = file;
            s.line = lineNo;
            if (s.kind.isEmpty())
                throw DescriptionError(where(file, lineNo) + QStringLiteral("a section needs a kind"));
            if (d.find(s.kind, s.name))
                throw DescriptionError(where(file, lineNo) + QStringLiteral("section [%1 %2] is given twice").arg(s.kind, s.name));
            d.sections.push_back(std::move(s));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            throw DescriptionError(where(file, lineNo) + QStringLiteral("expected \"key = value\""));
        if (d.sections.empty())
            throw DescriptionError(where(file, lineNo) + QStringLiteral("a value before the first section"));
        d.sections.back().entries.push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), lineNo});
    }
    return d;
}

const Section *Description::find(const QString &kind, const QString &name) const
{
    for (const Section &s : sections)
        if (s.kind == kind && s.name == name)
            return &s;
    return nullptr;
}

const Section &Description::get(const QString &kind, const QString &name) const
{
    const Section *s = find(kind, name);
    if (!s)
        throw DescriptionError(file + QStringLiteral(": section [%1%2] is missing")
                                          .arg(kind, name.isEmpty() ? QString() : u' ' + name));
    return *s;
}

std::vector<const Section *> Description::all(const QString &kind) const
{
    std::vector<const Section *> out;
    for (const Section &s : sections)
        if (s.kind == kind)
            out.push_back(&s);
    return out;
}

QStringList splitParts(const Section &s, const Entry &e, QChar separator, int minCount, int maxCount)
{
    QStringList parts = e.value.split(separator);
    for (QString &p : parts)
        p = p.trimmed();
    if (parts.size() < minCount || parts.size() > maxCount) {
        const QString count = minCount == maxCount ? QString::number(minCount)
                                                   : QStringLiteral("%1 to %2").arg(minCount).arg(maxCount);
        s.fail(e, QStringLiteral("\"%1\" needs %2 parts separated by \"%3\"").arg(e.key, count, QString(separator)));
    }
    return parts;
}

double toNumber(const Section &s, const Entry &e, const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok)
        s.fail(e, QStringLiteral("\"%1\" is no number").arg(text));
    return v;
}

int toInteger(const Section &s, const Entry &e, const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        s.fail(e, QStringLiteral("\"%1\" is no whole number").arg(text));
    return v;
}

int toColour(const Section &s, const Entry &e, const QString &text)
{
    static const QRegularExpression rgb(
        QStringLiteral(R"(^rgb\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\)$)"));
    const QRegularExpressionMatch m = rgb.match(text.trimmed());
    if (!m.hasMatch())
        return toInteger(s, e, text);
    const int r = m.captured(1).toInt(), g = m.captured(2).toInt(), b = m.captured(3).toInt();
    if (r > 255 || g > 255 || b > 255)
        s.fail(e, QStringLiteral("\"%1\": a colour part is above 255").arg(text));
    return r | (g << 8) | (b << 16);
}

std::vector<double> toNumbers(const Section &s, const Entry &e, const QString &text, int count)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != count)
        s.fail(e, QStringLiteral("\"%1\" needs %2 numbers separated by \",\"").arg(e.key).arg(count));
    std::vector<double> out;
    for (const QString &p : parts)
        out.push_back(toNumber(s, e, p));
    return out;
}

QDate toDate(const Section &s, const Entry &e, const QString &text)
{
    const QDate date = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!date.isValid())
        s.fail(e, QStringLiteral("\"%1\" is no date (yyyy-mm-dd)").arg(text));
    return date;
}

QString checkCp1251(const Section &s, const Entry &e, const QString &text)
{
    for (QChar c : text)
        if (platform::cp1251Byte(c) < 0)
            s.fail(e, QStringLiteral("\"%1\" holds a character that Windows-1251 lacks").arg(text));
    return text;
}

} // namespace layergen
