#pragma once
// Free routines of the report library: hex and number text of the template
// format, token and bracket scanning of expressions, page lists, temporary
// file names and errors by the report's silent mode.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace platform::classlib {
class TMemoryStream;
}

namespace xmlreports {

// What a report does with an error: a message box, nothing, or an
// exception (EngineOptions.NewSilentMode).
enum TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };

// An error of the report library raised with a text of its own.
class ReportException : public std::runtime_error {
public:
    explicit ReportException(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// Every byte of the stream as two upper-case hexadecimal digits.
QByteArray StreamToHex(const platform::classlib::TMemoryStream &stream);
// Half the text's length in bytes, from digit pairs, written at the start
// of the stream (a pair that is no hexadecimal number gives 0).
void HexToStream(QByteArrayView hex, platform::classlib::TMemoryStream &stream);

// "," and "." both as the decimal separator, spaces removed, then the
// platform's conversion (platform::ConvertError on anything else).
double ParseReportFloat(QStringView text);
// Two decimals for a value with a fraction, else the plain float text.
QString FloatToText2(double value);

// The characters from the position to the delimiter or the end; the
// position moves past the delimiter when there is one. Positions count
// from 0.
QString ExtractToken(const QString &text, int &position, QChar delimiter);
// The tokens; two delimiters in a row give an empty item, one at the end
// none.
QStringList SplitText(const QString &text, QChar delimiter);
// The text between the opening bracket at start (counting from 0) and its
// match; brackets inside quoted strings do not count. end is the last
// character of the closing bracket; without a match the result is empty
// and end equals start.
QString ExtractBracketed(const QString &text, const QString &open, const QString &close, int &start, int &end);

// "1,3,5-12" as page numbers in the order written; spaces are ignored, a
// range ending in "-" runs to the last page and every range is cut at the
// page count. A part that is no number raises platform::ConvertError.
QStringList ParsePageList(const QString &text, int pageCount);

// By the silent mode: a message box (ErrorMessageBox), nothing, or a
// ReportException with the text.
void ReportError(TfrxSilentMode mode, const QString &text);
// The text in an error box captioned with the text of "mbError".
void ErrorMessageBox(const QString &text);

// A new empty file "fr..." in the folder (the system's temporary folder
// when empty); its name.
QString MakeTempFileNameIn(const QString &folder);
QString MakeTempFileName();

} // namespace xmlreports
