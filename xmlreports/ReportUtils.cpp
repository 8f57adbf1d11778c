#include "xmlreports/ReportUtils.h"

#include "platform/NumberFormat.h"
#include "platform/Environment.h"
#include "platform/UserAnswers.h"
#include "platform/classlib/Streams.h"
#include "xmlreports/Resources.h"

#include <QDir>
#include <QTemporaryFile>

#include <cstdio>

namespace xmlreports {

QByteArray StreamToHex(const platform::classlib::TMemoryStream &stream)
{
    return stream.Memory().toHex().toUpper();
}

void HexToStream(QByteArrayView hex, platform::classlib::TMemoryStream &stream)
{
    const qsizetype count = hex.size() / 2;
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        bool ok = false;
        const int value = QByteArray(hex.sliced(2 * i, 2).toByteArray()).toInt(&ok, 16);
        bytes[i] = static_cast<char>(ok ? value : 0);
    }
    stream.SetPosition(0);
    stream.WriteBuffer(bytes.constData(), bytes.size());
}

double ParseReportFloat(QStringView text)
{
    const QChar separator = platform::decimalSeparator();
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c == u',' || c == u'.')
            s += separator;
        else if (c != u' ')
            s += c;
    }
    return platform::strToFloat(s);
}

QString FloatToText2(double value)
{
    if (value != static_cast<double>(static_cast<long long>(value))) {
        QString s = QString::asprintf("%2.2f", value);
        s.replace(u'.', platform::decimalSeparator());
        return s;
    }
    return platform::floatToStr(value);
}

QString ExtractToken(const QString &text, int &position, QChar delimiter)
{
    const int start = std::max(position, 0);
    const qsizetype at = text.indexOf(delimiter, start);
    if (at < 0) {
        position = static_cast<int>(text.size());
        return text.mid(start);
    }
    position = static_cast<int>(at) + 1;
    return text.mid(start, at - start);
}

QStringList SplitText(const QString &text, QChar delimiter)
{
    QStringList list;
    int position = 0;
    while (position < text.size())
        list << ExtractToken(text, position, delimiter);
    return list;
}

QString ExtractBracketed(const QString &text, const QString &open, const QString &close, int &start, int &end)
{
    end = start;
    if (start < 0 || open.isEmpty() || close.isEmpty() || !QStringView(text).sliced(start).startsWith(open))
        return {};
    bool inDouble = false, inSingle = false;
    int depth = 0;
    for (qsizetype i = start; i < text.size();) {
        const QChar c = text[i];
        if (c == u'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (c == u'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (!inDouble && !inSingle) {
            if (QStringView(text).sliced(i).startsWith(open)) {
                ++depth;
                i += open.size();
                continue;
            }
            if (QStringView(text).sliced(i).startsWith(close)) {
                if (--depth == 0) {
                    end = static_cast<int>(i + close.size() - 1);
                    return text.mid(start + open.size(), i - start - open.size());
                }
                i += close.size();
                continue;
            }
        }
        ++i;
    }
    return {};
}

namespace {

int pageNumber(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return n;
}

} // namespace

QStringList ParsePageList(const QString &text, int pageCount)
{
    QStringList list;
    QString s = text;
    s.remove(u' ');
    if (s.isEmpty())
        return list;
    if (s.endsWith(u'-'))
        s += QString::number(pageCount);
    s += u',';
    QString number;
    bool range = false;
    int first = 0;
    for (const QChar c : s) {
        if (c == u'-') {
            first = pageNumber(number);
            range = true;
            number.clear();
        } else if (c == u',') {
            const int last = pageNumber(number);
            number.clear();
            if (!range) {
                list << QString::number(last);
                continue;
            }
            range = false;
            // A typed range is cut at the last page: "1-2000000000" must
            // not list two thousand million pages.
            const int to = std::min(last, pageCount);
            for (int page = first; page <= to; ++page)
                list << QString::number(page);
        } else {
            number += c;
        }
    }
    return list;
}

void ErrorMessageBox(const QString &text)
{
    platform::answers().messageDlg(text, platform::MsgType::Error, platform::mbOK,
                                   GetReportResources().Get(QStringLiteral("mbError")));
}

void ReportError(TfrxSilentMode mode, const QString &text)
{
    switch (mode) {
    case simMessageBoxes:
        ErrorMessageBox(text);
        break;
    case simReThrow:
        throw ReportException(text);
    case simSilent:
        break;
    }
}

QString MakeTempFileNameIn(const QString &folder)
{
    const QString dir = folder.isEmpty() ? QDir::tempPath() : folder;
    QTemporaryFile file(QDir(dir).filePath(QStringLiteral("frXXXXXX")));
    file.setAutoRemove(false);
    if (!file.open())
        throw ReportException(QStringLiteral("Не удаётся создать временный файл в папке «%1»").arg(dir));
    return file.fileName();
}

QString MakeTempFileName()
{
    return MakeTempFileNameIn(QString());
}

} // namespace xmlreports
