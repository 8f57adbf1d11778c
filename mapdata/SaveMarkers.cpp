#include "mapdata/SaveMarkers.h"

#include "platform/Paths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

namespace savemarks {

namespace {

const QByteArray Signature = QByteArrayLiteral("TOLVANE LAYER SAVE");
const QByteArray EndLine = QByteArrayLiteral("end");
// A marker names at most a few files: a longer file is none.
constexpr qint64 MaxMarkerSize = 16 * 1024;

const char *roleText(Role role)
{
    switch (role) {
    case Role::New: return "new";
    case Role::Part: return "part";
    case Role::Old: return "old";
    case Role::Journal: return "journal";
    }
    return "";
}

bool roleOf(const QByteArray &text, Role &role)
{
    for (Role r : {Role::New, Role::Part, Role::Old, Role::Journal})
        if (text == roleText(r)) {
            role = r;
            return true;
        }
    return false;
}

int extIndex(const QString &text)
{
    for (size_t k = 0; k < layerExts().size(); ++k)
        if (text == layerExts()[k])
            return static_cast<int>(k);
    return -1;
}

bool plainName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.contains(QChar(0));
}

} // namespace

FileId idOfBytes(const QByteArray &bytes)
{
    return {bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()};
}

FileId idOfFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&f))
        return {};
    return {f.size(), hash.result().toHex()};
}

bool nameFits(const QString &name, Role role, int ext, const QString &stem)
{
    if (!plainName(name) || stem.isEmpty())
        return false;
    if (role == Role::Journal)
        return ext < 0 && name == u"updates~.mhx";
    if (ext < 0 || ext >= static_cast<int>(layerExts().size()))
        return false;
    const QString mark = role == Role::Old ? QStringLiteral("`") : QStringLiteral("~");
    const QString tail = layerExts()[static_cast<size_t>(ext)] + (role == Role::Part ? QStringLiteral(".part") : QString());
    const QRegularExpression form(QStringLiteral("^") + QRegularExpression::escape(stem + mark) +
                                      QStringLiteral("[0-9]{0,2}") + QRegularExpression::escape(tail) +
                                      QStringLiteral("$"),
                                  QRegularExpression::CaseInsensitiveOption);
    return form.match(name).hasMatch();
}

Marker readMarker(const QString &path, const QString &stem)
{
    Marker m;
    QFile f(path);
    if (!f.exists())
        return m;
    m.state = Marker::Foreign;
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxMarkerSize)
        return m;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty() || lines.front() != Signature) {
        // A marker of this version cut inside its first line.
        if (!lines.isEmpty() && lines.size() == 1 && Signature.startsWith(lines.front()))
            m.state = Marker::Cut;
        return m;
    }
    m.state = Marker::Cut;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line == EndLine) {
            // Nothing may follow the end line but the line break.
            const bool closed = i + 2 == lines.size() && lines.back().isEmpty();
            if (!closed)
                m.entries.clear();
            m.state = closed ? Marker::Whole : Marker::Foreign;
            return m;
        }
        const QList<QByteArray> fields = line.split('\t');
        // The last line of a marker cut short may be a part of one.
        if (i + 1 == lines.size())
            break;
        Entry e;
        if (fields.size() != 3 && fields.size() != 6) {
            m.state = Marker::Foreign;
            break;
        }
        const QString extText = QString::fromUtf8(fields[1]);
        e.ext = extText == u"-" ? -1 : extIndex(extText);
        e.name = QString::fromUtf8(fields[2]);
        bool valid = roleOf(fields[0], e.role) && (e.ext >= 0 || extText == u"-") && nameFits(e.name, e.role, e.ext, stem);
        if (valid && fields.size() == 6) {
            e.target = QString::fromUtf8(fields[3]);
            bool sizeOk = false;
            e.id.size = fields[4].toLongLong(&sizeOk);
            e.id.digest = fields[5];
            valid = sizeOk && e.id.size >= 0 && e.ext >= 0 && plainName(e.target) &&
                    e.target.compare(stem + layerExts()[static_cast<size_t>(e.ext)], Qt::CaseInsensitive) == 0 &&
                    e.id.digest.size() == 40;
        }
        // A save names each file once, and one file of each kind per layer file.
        for (const Entry &other : m.entries)
            if (other.name.compare(e.name, Qt::CaseInsensitive) == 0 || (other.role == e.role && other.ext == e.ext))
                valid = false;
        if (!valid) {
            m.state = Marker::Foreign;
            break;
        }
        m.entries.push_back(e);
    }
    if (m.state != Marker::Whole)
        m.entries.clear();
    return m;
}

QByteArray markerText(const std::vector<Entry> &entries)
{
    QByteArray text = Signature + '\n';
    for (const Entry &e : entries) {
        text += QByteArray(roleText(e.role)) + '\t' +
                (e.ext >= 0 ? layerExts()[static_cast<size_t>(e.ext)].toUtf8() : QByteArrayLiteral("-")) + '\t' +
                e.name.toUtf8();
        if (!e.target.isEmpty())
            text += '\t' + e.target.toUtf8() + '\t' + QByteArray::number(e.id.size) + '\t' + e.id.digest;
        text += '\n';
    }
    return text + EndLine + '\n';
}

bool chooseWorkNames(const QString &folder, const QString &stem, WorkNames &names)
{
    for (int number = 0; number <= 99; ++number) {
        const QString tag = number == 0 ? QString() : QString::number(number);
        WorkNames w;
        bool free = true;
        for (size_t k = 0; k < layerExts().size(); ++k) {
            w.fresh[k] = platform::joinPath(folder, stem + u'~' + tag + layerExts()[k]);
            w.old[k] = platform::joinPath(folder, stem + u'`' + tag + layerExts()[k]);
            free = free && platform::findExistingPath(w.fresh[k]).isEmpty() &&
                   platform::findExistingPath(w.old[k]).isEmpty();
        }
        w.part = w.fresh[2] + QStringLiteral(".part");
        free = free && platform::findExistingPath(w.part).isEmpty();
        if (free) {
            names = w;
            return true;
        }
    }
    return false;
}

} // namespace savemarks
