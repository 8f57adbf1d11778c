// Writes a UTF-8 text file of the repository as the Windows-1251 text file the
// program reads (language files, ini files), with CR LF line ends.
//
//   utf8to1251 <input, UTF-8> <output, Windows-1251>
//
// A text that is not valid UTF-8 or holds a character the code page lacks is
// refused, naming the line, and no output is written: a '?' in a language file
// would otherwise go unnoticed until someone reads the window.

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "tools/ToolUsage.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <cstdio>

namespace {

constexpr char Usage[] = "usage: utf8to1251 <input, UTF-8> <output, Windows-1251>\n"
                         "  Writes a UTF-8 text file as the Windows-1251 text file the program reads,\n"
                         "  with CR LF line ends.\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "utf8to1251: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    if (argc != 3)
        return tools::wrongArguments("utf8to1251", "two file names are needed", Usage);
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QFile in(input);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(input));
    QByteArray bytes = in.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(QStringLiteral("%1 is not UTF-8 text").arg(input));

    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF that follows writes the line end
        if (c == u'\n') {
            out += "\r\n";
            ++line;
            continue;
        }
        const int b = platform::cp1251Byte(c);
        if (b < 0)
            return fail(QStringLiteral("%1:%2: the character U+%3 has no Windows-1251 code")
                            .arg(input)
                            .arg(line)
                            .arg(c.unicode(), 4, 16, QChar(u'0')));
        out += static_cast<char>(b);
    }
    if (!platform::writeFileAtomically(output, out))
        return fail(QStringLiteral("cannot write %1").arg(output));
    return 0;
}
