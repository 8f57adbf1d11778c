#pragma once
// The rich-edit control without a window: a formatted text (characters with
// their font, size, style and colour; paragraphs with alignment, indents and
// bullets), read from and written to RTF, edited by character positions as
// the control's selection edits it.
//
// Positions count characters of text(): the paragraphs joined by "\r" (a
// paragraph break is one character, as in the control). A soft line break
// is "\v", a tab "\t".

#include "platform/gdi/GdiTypes.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace platform::richtext {

struct CharFormat {
    QString font = QStringLiteral("Arial");
    int charset = gdi::DEFAULT_CHARSET;
    int halfPoints = 20; // the size in half points, as RTF keeps it
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    gdi::Color color = 0;
    bool operator==(const CharFormat &) const = default;
};

enum class Align { Left, Center, Right, Justify };

struct ParaFormat {
    Align align = Align::Left;
    // In twips: the first line's indent relative to the left one, the left
    // and the right indents.
    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    bool bullet = false;
    bool operator==(const ParaFormat &) const = default;
};

// A run of characters in one format, as reading and writing walk them.
struct Run {
    int start = 0;
    int length = 0;
    CharFormat format;
};

class RichDocument {
public:
    RichDocument();

    const QString &text() const { return text_; }
    QString text(int start, int end) const;
    int length() const { return static_cast<int>(text_.size()); }
    bool isEmpty() const { return text_.isEmpty(); }
    void clear();

    // The format of the character at a position; past the end, that of the
    // last character (or the typing format of an empty text).
    CharFormat charFormat(int pos) const;
    void setCharFormat(int start, int end, const CharFormat &format);
    // Sets the character set of a range (text inserted into a report takes
    // the library's).
    void setCharset(int start, int end, int charset);
    // The paragraphs: their count, the format of each, the one holding a
    // position, and where each starts.
    int paragraphCount() const { return static_cast<int>(paras_.size()); }
    const ParaFormat &paraFormat(int paragraph) const { return paras_[static_cast<size_t>(paragraph)]; }
    void setParaFormat(int paragraph, const ParaFormat &format);
    int paragraphAt(int pos) const;
    int paragraphStart(int paragraph) const;
    // The runs of equal format from start to end.
    std::vector<Run> runs(int start, int end) const;

    // Replaces a range with a text. The inserted characters take the format
    // given, else that of the first replaced character (or, replacing
    // nothing, of the character before). Line ends ("\r\n", "\n") become
    // paragraph breaks; a paragraph made by them takes the format of the one
    // it was split from.
    void replace(int start, int end, const QString &text, const std::optional<CharFormat> &format = std::nullopt);
    void remove(int start, int end) { replace(start, end, QString()); }
    void append(const QString &text, const CharFormat &format) { replace(length(), length(), text, format); }
    // The first occurrence of a text at or after a position; -1 when none.
    int find(const QString &what, int from) const;

    // RTF. Input that does not start as RTF loads as plain text (Windows-1251
    // lines), as the control loads a file that is not RTF.
    static RichDocument fromRtf(const QByteArray &bytes);
    QByteArray toRtf() const;
    // Plain text: paragraphs on lines ending in "\r\n".
    QString plainText() const;

    bool operator==(const RichDocument &other) const;

private:
    void clampRange(int &start, int &end) const;
    int formatIndex(const CharFormat &format);

    QString text_;
    // Per character, an index into formats_.
    std::vector<int> charFormats_;
    std::vector<CharFormat> formats_;
    // One per paragraph; a paragraph's format goes with its break, so
    // joining two paragraphs keeps the later one's.
    std::vector<ParaFormat> paras_;
    // The format of the typing position of an empty text.
    CharFormat typing_;
};

} // namespace platform::richtext
