#include "reports/model/ReportStreams.h"

#include "platform/TextCodec.h"
#include "reports/model/ReportLibrary.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace reports {

namespace {

void readExact(QIODevice &stream, char *into, qint64 n)
{
    if (n <= 0)
        return;
    if (stream.read(into, n) != n)
        throw StreamReadError();
}

void writeExact(QIODevice &stream, const char *from, qint64 n)
{
    if (n > 0)
        stream.write(from, n);
}

} // namespace

quint8 ReadStreamByte(QIODevice &stream)
{
    char c = 0;
    readExact(stream, &c, 1);
    return static_cast<quint8>(c);
}

quint16 ReadStreamWord(QIODevice &stream)
{
    char b[2];
    readExact(stream, b, 2);
    return qFromLittleEndian<quint16>(b);
}

qint16 ReadStreamSmallInt(QIODevice &stream)
{
    return static_cast<qint16>(ReadStreamWord(stream));
}

qint32 ReadStreamInteger(QIODevice &stream)
{
    char b[4];
    readExact(stream, b, 4);
    return qFromLittleEndian<qint32>(b);
}

qint32 ReadReportUnits(QIODevice &stream, qint32 limit)
{
    return std::clamp(ReadStreamInteger(stream), -limit, limit);
}

double ReadStreamReal(QIODevice &stream)
{
    char b[8];
    readExact(stream, b, 8);
    const quint64 bits = qFromLittleEndian<quint64>(b);
    double v = 0;
    std::memcpy(&v, &bits, 8);
    return v;
}

QByteArray ReadStreamBytes(QIODevice &stream, qint64 n)
{
    if (n < 0)
        throw StreamReadError();
    // Never trust a stored length for the allocation: read what is there.
    QByteArray bytes = stream.read(n);
    if (bytes.size() != n)
        throw StreamReadError();
    return bytes;
}

void SkipStreamBytes(QIODevice &stream, qint64 n)
{
    if (n <= 0)
        return;
    if (stream.isSequential()) {
        ReadStreamBytes(stream, n);
        return;
    }
    if (stream.pos() + n > stream.size())
        throw StreamReadError();
    stream.seek(stream.pos() + n);
}

void WriteStreamByte(QIODevice &stream, quint8 value)
{
    stream.putChar(static_cast<char>(value));
}

void WriteStreamWord(QIODevice &stream, quint16 value)
{
    char b[2];
    qToLittleEndian<quint16>(value, b);
    writeExact(stream, b, 2);
}

void WriteStreamSmallInt(QIODevice &stream, qint16 value)
{
    WriteStreamWord(stream, static_cast<quint16>(value));
}

void WriteStreamInteger(QIODevice &stream, qint32 value)
{
    char b[4];
    qToLittleEndian<qint32>(value, b);
    writeExact(stream, b, 4);
}

void WriteStreamReal(QIODevice &stream, double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, 8);
    char b[8];
    qToLittleEndian<quint64>(bits, b);
    writeExact(stream, b, 8);
}

QString ReadStreamString(QIODevice &stream)
{
    const quint16 n = ReadStreamWord(stream);
    const QByteArray bytes = ReadStreamBytes(stream, n);
    ReadStreamByte(stream);
    return platform::fromCp1251(bytes);
}

namespace {

QByteArray limited(const QString &text)
{
    QByteArray bytes = platform::toCp1251(text);
    if (bytes.size() > 0xFFFF)
        bytes.truncate(0xFFFF);
    return bytes;
}

} // namespace

void WriteStreamString(QIODevice &stream, const QString &text)
{
    const QByteArray bytes = limited(text);
    WriteStreamWord(stream, static_cast<quint16>(bytes.size()));
    writeExact(stream, bytes.constData(), bytes.size());
    WriteStreamByte(stream, 0);
}

namespace {

QByteArray readUpToZero(QIODevice &stream)
{
    QByteArray bytes;
    for (;;) {
        const quint8 c = ReadStreamByte(stream);
        if (c == 0)
            return bytes;
        bytes.append(static_cast<char>(c));
    }
}

} // namespace

QString ReadOldString(QIODevice &stream)
{
    return platform::fromCp1251(readUpToZero(stream));
}

QStringList ReadMemo(QIODevice &stream)
{
    QStringList lines;
    const quint16 count = ReadStreamWord(stream);
    if (count == 0) {
        ReadStreamByte(stream);
        return lines;
    }
    for (;;) {
        const quint16 n = ReadStreamWord(stream);
        lines << platform::fromCp1251(ReadStreamBytes(stream, n));
        if (ReadStreamByte(stream) == 0)
            return lines;
    }
}

void WriteMemo(QIODevice &stream, const QStringList &lines)
{
    WriteStreamWord(stream, static_cast<quint16>(std::min<qsizetype>(lines.size(), 0xFFFF)));
    if (lines.isEmpty()) {
        WriteStreamByte(stream, 0);
        return;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray bytes = limited(lines[i]);
        WriteStreamWord(stream, static_cast<quint16>(bytes.size()));
        writeExact(stream, bytes.constData(), bytes.size());
        WriteStreamByte(stream, i + 1 < lines.size() ? 13 : 0);
    }
}

QStringList ReadOldMemo(QIODevice &stream)
{
    const QString text = platform::fromCp1251(readUpToZero(stream));
    QStringList lines = text.split(u'\r');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString ReadStringOfVersion(QIODevice &stream)
{
    return library().StreamVersion >= 23 ? ReadStreamString(stream) : ReadOldString(stream);
}

QStringList ReadMemoOfVersion(QIODevice &stream)
{
    return library().StreamVersion >= 23 ? ReadMemo(stream) : ReadOldMemo(stream);
}

QString ReadInfoString(QIODevice &stream)
{
    const quint16 n = ReadStreamWord(stream);
    return platform::fromCp1251(ReadStreamBytes(stream, n));
}

void WriteInfoString(QIODevice &stream, const QString &text)
{
    const QByteArray bytes = limited(text);
    WriteStreamWord(stream, static_cast<quint16>(bytes.size()));
    writeExact(stream, bytes.constData(), bytes.size());
}

QString StrToHex(const QString &text)
{
    return QString::fromLatin1(platform::toCp1251(text).toHex().toUpper());
}

QString HexToStr(const QString &hex)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        bool ok = false;
        const int v = hex.mid(i, 2).toInt(&ok, 16);
        bytes.append(static_cast<char>(ok ? v : 0));
    }
    return platform::fromCp1251(bytes);
}

int StyleBitsToXmlStyle(int bits)
{
    return ((bits & 1) ? 2 : 0) | ((bits & 2) ? 1 : 0) | (bits & 12);
}

StreamVersionScope::StreamVersionScope() : saved_(library().StreamVersion) {}

StreamVersionScope::~StreamVersionScope()
{
    library().StreamVersion = saved_;
}

qint64 WriteEndPlaceholder(QIODevice &stream)
{
    const qint64 at = stream.pos();
    WriteStreamInteger(stream, 0);
    return at;
}

void PatchEndPosition(QIODevice &stream, qint64 placeholder)
{
    const qint64 end = stream.pos();
    stream.seek(placeholder);
    WriteStreamInteger(stream, static_cast<qint32>(end));
    stream.seek(end);
}

} // namespace reports
