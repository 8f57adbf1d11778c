#pragma once
// The encodings every stream of the report library is made of: little-endian
// numbers, strings with a 16-bit length and a closing 0, memos of counted
// lines, the old forms of versions below 23 (texts up to a byte 0), info
// strings, the font style bits and hexadecimal text. Text is Windows-1251 in
// the stream.
//
// A read that runs past the end of the stream raises StreamReadError, so a
// damaged stream ends the reading where it is damaged instead of filling the
// objects with zeros.

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace reports {

class StreamReadError : public std::runtime_error {
public:
    StreamReadError() : std::runtime_error("stream read error") {}
};

quint8 ReadStreamByte(QIODevice &stream);
quint16 ReadStreamWord(QIODevice &stream);
qint16 ReadStreamSmallInt(QIODevice &stream);
qint32 ReadStreamInteger(QIODevice &stream);
double ReadStreamReal(QIODevice &stream);
// Exactly n bytes.
QByteArray ReadStreamBytes(QIODevice &stream, qint64 n);
void SkipStreamBytes(QIODevice &stream, qint64 n);

void WriteStreamByte(QIODevice &stream, quint8 value);
void WriteStreamWord(QIODevice &stream, quint16 value);
void WriteStreamSmallInt(QIODevice &stream, qint16 value);
void WriteStreamInteger(QIODevice &stream, qint32 value);
void WriteStreamReal(QIODevice &stream, double value);

// UInt16 length, the bytes, a byte 0 (read: the last byte is skipped
// whatever it holds). A text longer than 65535 bytes is cut there.
QString ReadStreamString(QIODevice &stream);
void WriteStreamString(QIODevice &stream, const QString &text);
// Bytes up to a byte 0 (versions below 23).
QString ReadOldString(QIODevice &stream);
// UInt16 line count; none: one byte 0; else each line as UInt16 length and
// bytes, 13 between lines and 0 after the last. The reader uses the count
// only to tell none from some and reads lines until the separator 0.
QStringList ReadMemo(QIODevice &stream);
void WriteMemo(QIODevice &stream, const QStringList &lines);
// Bytes up to a byte 0, lines separated by CR; an empty piece after the
// last CR is no line.
QStringList ReadOldMemo(QIODevice &stream);
// The form the library's StreamVersion asks for.
QString ReadStringOfVersion(QIODevice &stream);
QStringList ReadMemoOfVersion(QIODevice &stream);
// UInt16 length and the bytes, nothing after them.
QString ReadInfoString(QIODevice &stream);
void WriteInfoString(QIODevice &stream, const QString &text);

// Upper-case hexadecimal pairs of the text's Windows-1251 bytes, and back
// (a pair that is no hexadecimal number gives the byte 0; an odd last digit
// is dropped).
QString StrToHex(const QString &text);
QString HexToStr(const QString &hex);

// The stream's font style bits (1 italic, 2 bold, 4 underline, 8 strike-out)
// and the XML form's (1 bold, 2 italic, 4 underline, 8 strike-out).
int StyleBitsToXmlStyle(int bits);

// Keeps the library's StreamVersion across a nested read or write.
class StreamVersionScope {
public:
    StreamVersionScope();
    ~StreamVersionScope();
    StreamVersionScope(const StreamVersionScope &) = delete;
    StreamVersionScope &operator=(const StreamVersionScope &) = delete;

private:
    int saved_;
};

// No page holds a length beyond about 290 m of paper, and the objects work
// out their geometry in 32-bit integers: lengths a damaged record holds
// beyond the limit are taken at it. Character spacing and font sizes
// multiply with line lengths and are held lower; a frame is drawn as
// width-many lines and is held to 1000 units.
inline constexpr qint32 kMaxReportUnits = 1 << 20;
inline constexpr qint32 kMaxReportSpacing = 1 << 12;
inline constexpr qint32 kMaxFrameWidth = 1000;
qint32 ReadReportUnits(QIODevice &stream, qint32 limit = kMaxReportUnits);

// Writes an Int32 placeholder and gives its position; PatchEndPosition
// writes the current position into it and returns to the end.
qint64 WriteEndPlaceholder(QIODevice &stream);
void PatchEndPosition(QIODevice &stream, qint64 placeholder);

} // namespace reports
