// RTF in and out of the formatted text: what the rich-edit control of
// stored templates wrote (font and colour tables, \ansicpg1251,
// \fcharset204, \'hh, \uN, paragraphs with alignment, indents and bullets,
// bold, italic, underline, strike-out, sizes and colours) and what this
// program writes. Destinations it does not know are skipped whole.

#include "platform/richtext/RichDocument.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <limits>
#include <map>

namespace platform::richtext {

namespace {

// Deeper groups than this are counted, not kept: a file of nothing but
// braces must not eat memory.
constexpr int kMaxDepth = 1000;
constexpr int kMaxHalfPoints = 3276;

// Windows-1252 at 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar decodeByte(unsigned char b, int codePage)
{
    if (b < 0x80)
        return QChar(b);
    if (codePage == 1251)
        return platform::fromCp1251(QByteArrayView(reinterpret_cast<const char *>(&b), 1)).at(0);
    if (codePage == 1252 && b < 0xA0)
        return QChar(kCp1252High[b - 0x80]);
    return QChar(b);
}

// The characters RTF names by a word; 0 for other words.
char16_t namedCharacter(const QByteArray &word)
{
    static const struct {
        const char *word;
        char16_t c;
    } names[] = {
        {"line", u'\v'},        {"tab", u'\t'},         {"emdash", 0x2014},    {"endash", 0x2013},
        {"bullet", 0x2022},     {"lquote", 0x2018},     {"rquote", 0x2019},    {"ldblquote", 0x201C},
        {"rdblquote", 0x201D},
    };
    for (const auto &n : names)
        if (word == n.word)
            return n.c;
    return 0;
}

enum class Dest { Text, FontTable, ColorTable, Bullet };

struct FontEntry {
    QString name;
    int charset = -1; // none given
};

struct State {
    Dest dest = Dest::Text;
    int font = -1; // -1: the default font
    int color = 0;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    ParaFormat para;
    int uc = 1;
};

class Reader {
public:
    explicit Reader(const QByteArray &bytes) : in_(bytes) {}
    RichDocument read();

private:
    bool atEnd() const { return pos_ >= in_.size(); }
    State &st() { return stack_.back(); }
    void pushGroup();
    void popGroup();
    void controlWord(const QByteArray &word, bool hasParam, int param);
    void controlSymbol(char c);
    void character(QChar c);
    void textByte(unsigned char b);
    int codePageOf(const State &s) const;
    CharFormat formatOf(const State &s) const;
    void endParagraph();
    void setBulletBelow();

    const QByteArray &in_;
    qsizetype pos_ = 0;
    std::vector<State> stack_;
    int overflow_ = 0;
    // Set while the group at this depth is skipped.
    int skipDepth_ = 0;
    bool ignorableNext_ = false;
    int skipChars_ = 0;
    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    int fontInTable_ = -1;
    std::vector<std::optional<gdi::Color>> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;
    RichDocument doc_;
    bool lastWasPar_ = false;
};

int Reader::codePageOf(const State &s) const
{
    const auto it = fonts_.find(s.font < 0 ? defaultFont_ : s.font);
    const int charset = it == fonts_.end() ? -1 : it->second.charset;
    switch (charset) {
    case 0:
        return 1252;
    case 204:
        return 1251;
    case 2:
        return 0; // symbol: the byte as it is
    default:
        return ansiCodePage_;
    }
}

CharFormat Reader::formatOf(const State &s) const
{
    CharFormat f;
    const auto it = fonts_.find(s.font < 0 ? defaultFont_ : s.font);
    if (it != fonts_.end()) {
        if (!it->second.name.isEmpty())
            f.font = it->second.name;
        if (it->second.charset >= 0)
            f.charset = it->second.charset;
    }
    f.halfPoints = s.halfPoints;
    f.bold = s.bold;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strikeOut = s.strikeOut;
    if (s.color > 0 && static_cast<size_t>(s.color) < colors_.size() && colors_[static_cast<size_t>(s.color)])
        f.color = *colors_[static_cast<size_t>(s.color)];
    return f;
}

void Reader::pushGroup()
{
    if (static_cast<int>(stack_.size()) >= kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Reader::popGroup()
{
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (skipDepth_ > 0 && static_cast<int>(stack_.size()) == skipDepth_)
        skipDepth_ = 0;
    if (stack_.size() > 1) {
        const Dest left = st().dest;
        stack_.pop_back();
        if (left == Dest::FontTable && st().dest != Dest::FontTable)
            fontInTable_ = -1;
    }
    skipChars_ = 0;
}

void Reader::endParagraph()
{
    doc_.setParaFormat(doc_.paragraphCount() - 1, st().para);
    doc_.append(QStringLiteral("\r"), formatOf(st()));
    lastWasPar_ = true;
}

void Reader::setBulletBelow()
{
    // The bullet's description is a group of its own: the paragraph it
    // describes is the text state under it.
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
        if (it->dest == Dest::Text) {
            it->para.bullet = true;
            return;
        }
}

void Reader::character(QChar c)
{
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    switch (st().dest) {
    case Dest::Text:
        doc_.append(QString(c), formatOf(st()));
        lastWasPar_ = false;
        break;
    case Dest::FontTable:
        if (fontInTable_ >= 0) {
            FontEntry &f = fonts_[fontInTable_];
            if (c == u';')
                fontInTable_ = -1;
            else if (f.name.size() < 64 && c.unicode() >= 0x20)
                f.name += c;
        }
        break;
    case Dest::ColorTable:
        if (c == u';') {
            colors_.push_back(colorGiven_ ? std::optional<gdi::Color>(gdi::rgb(red_, green_, blue_)) : std::nullopt);
            red_ = green_ = blue_ = 0;
            colorGiven_ = false;
        }
        break;
    default:
        break;
    }
}

void Reader::textByte(unsigned char b)
{
    // A font's name is in the code page of its own character set.
    if (st().dest == Dest::FontTable && fontInTable_ >= 0) {
        State named;
        named.font = fontInTable_;
        character(decodeByte(b, codePageOf(named)));
        return;
    }
    character(decodeByte(b, codePageOf(st())));
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        character(QChar(c));
        break;
    case '~':
        character(QChar(0xA0));
        break;
    case '_':
        character(QChar(0x2011));
        break;
    case '*':
        ignorableNext_ = true;
        break;
    case '\r':
    case '\n':
        // A backslash before a line end is a paragraph break.
        if (st().dest == Dest::Text)
            endParagraph();
        break;
    default:
        break; // "\-" (an optional hyphen) and unknown symbols show nothing
    }
}

void Reader::controlWord(const QByteArray &w, bool hasParam, int param)
{
    State &s = st();
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    const bool on = !hasParam || param != 0;

    // Destinations.
    if (w == "fonttbl") {
        s.dest = Dest::FontTable;
        return;
    }
    if (w == "colortbl") {
        s.dest = Dest::ColorTable;
        colors_.clear();
        return;
    }
    if (w == "pn" && ignorable) {
        s.dest = Dest::Bullet;
        return;
    }
    static const char *const skipped[] = {
        "stylesheet", "info",     "pict",      "object",   "header",   "headerl",   "headerr",  "headerf",
        "footer",     "footerl",  "footerr",   "footerf",  "footnote", "fldinst",   "pntext",   "pntxtb",
        "pntxta",     "listtable", "listoverridetable", "rsidtbl", "generator", "themedata", "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl", "revtbl", "filetbl", "bkmkstart", "bkmkend", "shp",
        "nonshppict", "mmathPr",  "annotation", "atnid",  "atnauthor", "comment",  "title",    "author",
    };
    for (const char *d : skipped)
        if (w == d) {
            skipDepth_ = static_cast<int>(stack_.size());
            return;
        }
    if (ignorable && s.dest != Dest::Bullet) {
        // An optional destination this reader does not know.
        skipDepth_ = static_cast<int>(stack_.size());
        return;
    }

    if (w == "uc") {
        s.uc = std::clamp(param, 0, 16);
        return;
    }
    if (w == "u") {
        const int code = param < 0 ? param + 65536 : param;
        character(QChar(static_cast<char16_t>(code & 0xFFFF)));
        skipChars_ = s.uc;
        return;
    }
    if (s.dest == Dest::FontTable) {
        if (w == "f") {
            fontInTable_ = param;
            fonts_[param];
        } else if (w == "fcharset" && fontInTable_ >= 0) {
            fonts_[fontInTable_].charset = param;
        }
        return;
    }
    if (s.dest == Dest::ColorTable) {
        const int v = std::clamp(param, 0, 255);
        if (w == "red")
            red_ = v, colorGiven_ = true;
        else if (w == "green")
            green_ = v, colorGiven_ = true;
        else if (w == "blue")
            blue_ = v, colorGiven_ = true;
        return;
    }
    if (s.dest == Dest::Bullet) {
        if (w == "pnlvlblt")
            setBulletBelow();
        return;
    }
    if (s.dest != Dest::Text)
        return;

    if (w == "ansicpg") {
        ansiCodePage_ = param;
    } else if (w == "deff") {
        defaultFont_ = param;
    } else if (w == "par") {
        endParagraph();
    } else if (const char16_t named = namedCharacter(w)) {
        character(QChar(named));
    } else if (w == "plain") {
        s.font = -1;
        s.color = 0;
        s.halfPoints = 24;
        s.bold = s.italic = s.underline = s.strikeOut = false;
    } else if (w == "f") {
        s.font = std::max(param, 0);
    } else if (w == "fs") {
        s.halfPoints = std::clamp(hasParam ? param : 24, 2, kMaxHalfPoints);
    } else if (w == "cf") {
        s.color = std::max(param, 0);
    } else if (w == "b") {
        s.bold = on;
    } else if (w == "i") {
        s.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash") {
        s.underline = on;
    } else if (w == "ulnone") {
        s.underline = false;
    } else if (w == "strike") {
        s.strikeOut = on;
    } else if (w == "pard") {
        s.para = ParaFormat();
    } else if (w == "ql") {
        s.para.align = Align::Left;
    } else if (w == "qc") {
        s.para.align = Align::Center;
    } else if (w == "qr") {
        s.para.align = Align::Right;
    } else if (w == "qj") {
        s.para.align = Align::Justify;
    } else if (w == "fi") {
        s.para.firstIndent = param;
    } else if (w == "li") {
        s.para.leftIndent = param;
    } else if (w == "ri") {
        s.para.rightIndent = param;
    }
}

RichDocument Reader::read()
{
    stack_.push_back(State());
    while (!atEnd()) {
        const char c = in_[pos_++];
        if (c == '{') {
            pushGroup();
            continue;
        }
        if (c == '}') {
            popGroup();
            // The document ends with its outermost group; what follows is not read.
            if (stack_.size() == 1 && overflow_ == 0)
                break;
            continue;
        }
        const bool skipping = skipDepth_ > 0;
        if (c == '\\') {
            if (atEnd())
                break;
            const char n = in_[pos_];
            if (!std::isalpha(static_cast<unsigned char>(n))) {
                ++pos_;
                if (n == '\'') {
                    // Two hex digits: a byte of the current code page.
                    int value = 0, digits = 0;
                    while (digits < 2 && !atEnd() && std::isxdigit(static_cast<unsigned char>(in_[pos_]))) {
                        value = value * 16 + QByteArray(1, in_[pos_]).toInt(nullptr, 16);
                        ++pos_;
                        ++digits;
                    }
                    if (!skipping && digits > 0)
                        textByte(static_cast<unsigned char>(value));
                } else if (!skipping) {
                    controlSymbol(n);
                }
                continue;
            }
            QByteArray word;
            while (!atEnd() && std::isalpha(static_cast<unsigned char>(in_[pos_])) && word.size() < 32)
                word += in_[pos_++];
            while (!atEnd() && std::isalpha(static_cast<unsigned char>(in_[pos_])))
                ++pos_; // an overlong word is cut, not split into two
            bool negative = false, hasParam = false;
            if (!atEnd() && in_[pos_] == '-') {
                negative = true;
                ++pos_;
            }
            long long value = 0;
            while (!atEnd() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
                hasParam = true;
                value = std::min<long long>(value * 10 + (in_[pos_] - '0'), std::numeric_limits<int>::max());
                ++pos_;
            }
            if (!atEnd() && in_[pos_] == ' ')
                ++pos_;
            const int param = static_cast<int>(negative ? -value : value);
            if (word == "bin") {
                // Binary data of the given length follows: never read as RTF.
                pos_ += std::min<qsizetype>(std::max(0, param), in_.size() - pos_);
                continue;
            }
            if (skipping)
                continue;
            // An unknown word after "\*" skips its group; a known one of the
            // ignorable kind is handled above.
            controlWord(word, hasParam, param);
            continue;
        }
        if (skipping || c == '\r' || c == '\n' || c == '\0')
            continue;
        ignorableNext_ = false;
        textByte(static_cast<unsigned char>(c));
    }
    // The last paragraph's break belongs to the document's final mark.
    if (lastWasPar_ && doc_.length() > 0) {
        const ParaFormat last = doc_.paraFormat(doc_.paragraphCount() - 2);
        doc_.remove(doc_.length() - 1, doc_.length());
        doc_.setParaFormat(doc_.paragraphCount() - 1, last);
    } else {
        doc_.setParaFormat(doc_.paragraphCount() - 1, st().para);
    }
    return doc_;
}

// ---------------------------------------------------------------------------
// Writing

QByteArray number(int v)
{
    return QByteArray::number(v);
}

void writeText(QByteArray &out, const QString &text, int charset)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == u'\v') {
            out += "\\line ";
        } else if (u < 0x20) {
            // Control characters of the text are kept, as hex escapes.
            out += "\\'";
            out += QByteArray::number(u, 16).rightJustified(2, '0');
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            int byte = -1;
            if (charset == gdi::RUSSIAN_CHARSET || charset == gdi::DEFAULT_CHARSET)
                byte = platform::cp1251Byte(c);
            else if ((charset == gdi::SYMBOL_CHARSET && u <= 0xFF) || (charset == gdi::ANSI_CHARSET && u >= 0xA0 && u <= 0xFF))
                byte = u;
            if (byte >= 0) {
                out += "\\'";
                out += QByteArray::number(byte, 16).rightJustified(2, '0');
            } else {
                out += "\\u" + number(static_cast<qint16>(u)) + '?';
            }
        }
    }
}

} // namespace

RichDocument RichDocument::fromRtf(const QByteArray &bytes)
{
    if (!bytes.startsWith("{\\rtf")) {
        RichDocument doc;
        QString text = platform::fromCp1251(bytes);
        if (text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        doc.append(text, doc.charFormat(0));
        return doc;
    }
    return Reader(bytes).read();
}

QByteArray RichDocument::toRtf() const
{
    // The tables: every face with its character set, every colour but black
    // (colour 0 is the automatic one, black).
    struct Face {
        QString name;
        int charset;
        bool operator==(const Face &) const = default;
    };
    std::vector<Face> faces;
    std::vector<gdi::Color> colors;
    auto faceIndex = [&faces](const Face &f) {
        const auto it = std::find(faces.begin(), faces.end(), f);
        if (it != faces.end())
            return static_cast<int>(it - faces.begin());
        faces.push_back(f);
        return static_cast<int>(faces.size() - 1);
    };
    auto colorIndex = [&colors](gdi::Color c) {
        if (c == 0)
            return 0;
        const auto it = std::find(colors.begin(), colors.end(), c);
        if (it != colors.end())
            return static_cast<int>(it - colors.begin()) + 1;
        colors.push_back(c);
        return static_cast<int>(colors.size());
    };
    const CharFormat first = charFormat(0);
    faceIndex(Face{first.font, first.charset});
    QByteArray body;
    int bulletFont = -1;
    for (int p = 0; p < paragraphCount(); ++p) {
        const ParaFormat &pf = paraFormat(p);
        body += "\\pard";
        if (pf.bullet) {
            if (bulletFont < 0)
                bulletFont = faceIndex(Face{QStringLiteral("Symbol"), gdi::SYMBOL_CHARSET});
            const QByteArray f = number(bulletFont);
            body += "{\\pntext\\f" + f + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f + "\\pnindent0{\\pntxtb\\'B7}}";
        }
        static const char *const aligns[] = {"", "\\qc", "\\qr", "\\qj"};
        body += aligns[static_cast<int>(pf.align)];
        if (pf.firstIndent)
            body += "\\fi" + number(pf.firstIndent);
        if (pf.leftIndent)
            body += "\\li" + number(pf.leftIndent);
        if (pf.rightIndent)
            body += "\\ri" + number(pf.rightIndent);
        const int start = paragraphStart(p);
        int end = p + 1 < paragraphCount() ? paragraphStart(p + 1) - 1 : length();
        const std::vector<Run> rs = runs(start, end);
        // An empty paragraph still says the size of its break.
        const CharFormat breakFormat = p + 1 < paragraphCount() || isEmpty() ? charFormat(end) : charFormat(end - 1);
        auto formatCodes = [&](const CharFormat &f) {
            QByteArray s = "\\plain\\f" + number(faceIndex(Face{f.font, f.charset})) + "\\fs" + number(f.halfPoints);
            if (f.bold)
                s += "\\b";
            if (f.italic)
                s += "\\i";
            if (f.underline)
                s += "\\ul";
            if (f.strikeOut)
                s += "\\strike";
            if (const int c = colorIndex(f.color))
                s += "\\cf" + number(c);
            return s + ' ';
        };
        if (rs.empty())
            body += formatCodes(breakFormat);
        for (const Run &r : rs) {
            body += formatCodes(r.format);
            writeText(body, text_.mid(r.start, r.length), r.format.charset);
        }
        // The break's own format, when it differs from the text before it.
        if (!rs.empty() && p + 1 < paragraphCount() && !(rs.back().format == breakFormat))
            body += formatCodes(breakFormat);
        body += "\\par\r\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl";
    for (size_t i = 0; i < faces.size(); ++i) {
        out += "{\\f" + number(static_cast<int>(i)) + "\\fnil\\fcharset" + number(faces[i].charset) + ' ';
        writeText(out, faces[i].name, faces[i].charset);
        out += ";}";
    }
    out += "}\r\n";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (gdi::Color c : colors)
            out += "\\red" + number(gdi::redOf(c)) + "\\green" + number(gdi::greenOf(c)) + "\\blue"
                   + number(gdi::blueOf(c)) + ';';
        out += "}\r\n";
    }
    out += "\\viewkind4\\uc1" + body + "}\r\n";
    return out;
}

} // namespace platform::richtext
