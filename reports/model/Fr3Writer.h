#pragma once
// The template in the XML template form of the system's second report
// library (".fr3"): a one-way conversion of pages, objects, scripts, data
// sets and variables into its elements and attributes. Lines end in CR LF;
// the texts stay in the system's 8-bit code page under the utf-8
// declaration, as that library reads them.

#include <QByteArray>
#include <QString>

class QIODevice;

namespace reports {

class TfrReport;
class View;

void SaveToFR3Stream(TfrReport &report, QIODevice &stream);

// Each LF, CR, double quote, "<", ">" and "&" as "&#" + code + ";".
QString EscapeXmlText(const QString &text);
// Upper-case hexadecimal pairs of the bytes.
QString StreamToHex(const QByteArray &bytes);

} // namespace reports
