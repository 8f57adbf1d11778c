#include "reports/export/RtfExport.h"

#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/gdi/Bitmap.h"
#include "reports/model/ReportViews.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

namespace reports {

namespace {

QByteArray num(long long n)
{
    return QByteArray::number(n);
}


// Bytes as upper-case hexadecimal digits: n's low `count` bytes, little
// endian.
QByteArray hexLE(quint32 n, int count)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b += QByteArray::number((n >> (8 * i)) & 0xFF, 16).rightJustified(2, '0').toUpper();
    return b;
}

// The picture as a bitmap file: a bitmap's own file when it has one, any
// other graphic drawn into a 24-bit bitmap.
QByteArray bitmapFile(const ReportPicture &picture)
{
    if (picture.kind == ReportPicture::Bitmap) {
        const QByteArray own = picture.fileBytes();
        if (own.startsWith("BM"))
            return own;
    }
    QImage image;
    if (picture.kind == ReportPicture::Metafile && picture.metafile) {
        gdi::Bitmap drawn(std::max(1, picture.width()), std::max(1, picture.height()));
        drawn.playMetafile(*picture.metafile, gdi::Rect{0, 0, drawn.width(), drawn.height()});
        image = drawn.image();
    } else {
        image = picture.image;
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&out, "BMP");
    return out.data();
}

} // namespace

TfrRTFExport::TfrRTFExport() : TfrTextExport(false)
{
    ScaleX = 1.3;
    registered_ = RegisterExportFilter(this, QStringLiteral("TfrRTFExport"),
                                       QStringLiteral("Файл Rich Text") + QStringLiteral(" (*.rtf)"),
                                       QStringLiteral("*.rtf"));
}

TfrRTFExport::~TfrRTFExport()
{
    if (registered_)
        UnregisterExportFilter(QStringLiteral("TfrRTFExport"));
}

int TfrRTFExport::ShowModal()
{
    if (!ShowDialog)
        return 1;
    RtfExportChoices c{KillEmptyLines, ExportBitmaps, ConvertToTable, PageBreaks, platform::floatToStr(ScaleX),
                       platform::floatToStr(ScaleY)};
    const int result = exportDialogs().ShowRtfExport(c);
    ScaleX = ScaleFromText(c.ScaleX);
    ScaleY = ScaleFromText(c.ScaleY);
    KillEmptyLines = c.KillEmptyLines;
    ExportBitmaps = c.ExportBitmaps;
    ConvertToTable = c.ConvertToTable;
    PageBreaks = c.PageBreaks;
    return result;
}

int TfrRTFExport::twips(double x) const
{
    return platform::roundToInt(x / (1.3 / ScaleX) * 20);
}

QByteArray TfrRTFExport::escape(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u >= 0x20 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (const int b = platform::cp1251Byte(c); b >= 0x80) {
            out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
        } else if (u >= 0x80) {
            out += "\\u" + num(static_cast<qint16>(u)) + '?';
        }
        // Control characters carry nothing a reader could show.
    }
    return out;
}

int TfrRTFExport::fontIndex(const QString &name)
{
    qsizetype i = fonts_.indexOf(name);
    if (i < 0) {
        fonts_ << name;
        i = fonts_.size() - 1;
    }
    return static_cast<int>(i);
}

int TfrRTFExport::colorIndex(std::uint32_t color)
{
    auto it = std::find(colors_.begin(), colors_.end(), color);
    if (it == colors_.end()) {
        colors_.push_back(color);
        it = colors_.end() - 1;
    }
    return static_cast<int>(it - colors_.begin()) + 1;
}

void TfrRTFExport::OnBeginDoc()
{
    pageWritten_ = false;
    fonts_.clear();
    colors_.clear();
    pictures_.clear();
    body_.clear();
    // The code page is named so that readers take the letters' bytes for
    // Cyrillic ones.
    if (Stream)
        Stream->write("{\\rtf1\\ansi\\ansicpg1251\r\n\\margl600\\margr600\\margt600\\margb600\r\n");
}

void TfrRTFExport::OnData(int x, int y, View *view)
{
    auto *picture = dynamic_cast<PictureView *>(view);
    if (!picture || picture->Picture.isEmpty())
        return;
    pictures_.push_back(Picture{x, y, view->Width, view->Height, picture->Picture.width(), picture->Picture.height(),
                                bitmapFile(picture->Picture)});
}

QByteArray TfrRTFExport::metafileHex(const QByteArray &bmp, int pw, int ph)
{
    if (bmp.size() < 14 || !bmp.startsWith("BM"))
        return {};
    const quint32 s = qFromLittleEndian<quint32>(bmp.constData() + 2);
    const quint32 v = s / 2 + 7;
    const QByteArray h = hexLE(ph, 2) + hexLE(pw, 2);
    QByteArray out = "010009000003" + hexLE(v + 36, 4) + QByteArray(4, '0') + hexLE(v, 4) +
                     "0000050000000b0200000000050000000c02" + h +
                     "05000000090200000000050000000102ffffff000400000007010300" + hexLE(v, 4) + "430f2000cc000000" +
                     h + QByteArray(8, '0') + h + QByteArray(8, '0') + "\r\n";
    const QByteArray dib = bmp.mid(14);
    for (qsizetype i = 0; i < dib.size(); i += 64) {
        out += dib.mid(i, 64).toHex().toUpper();
        if (i + 64 <= dib.size())
            out += "\r\n";
    }
    return out;
}

void TfrRTFExport::OnEndPage()
{
    // A table's page break ends a paragraph of its own: put before the next
    // row it would be dropped by readers and the pages would run together.
    if (pageWritten_ && PageBreaks)
        body_ += ConvertToTable ? "\\page\\par\r\n" : "\\page\r\n";
    if (ExportBitmaps)
        for (const Picture &p : pictures_) {
            const QByteArray wmf = metafileHex(p.bmp, p.pw, p.ph);
            if (wmf.isEmpty())
                continue;
            // The frame's top is not scaled as its left is, and its size
            // stays in report units x 20: documents written so far keep
            // their pictures where they were.
            body_ += "\\pard\\phmrg\\posx" + num(twips(p.x)) + "\\posy" + num(platform::roundToInt(p.y * 20 / 1.3)) +
                     "\\absh" + num(p.h * 20) + "\\absw" + num(p.w * 20) + "{\\pict\\wmetafile8\\picw" +
                     num(platform::roundToInt(p.w * 26.46875)) + "\\pich" + num(platform::roundToInt(p.h * 26.46875)) +
                     " \\picbmp\\picbpp4\r\n";
            body_ += wmf;
            body_ += "030000000000}\\par\r\n";
        }
    pictures_.clear();

    const int last = lastUsedLine();
    for (int i = 0; i <= last; ++i) {
        const auto &records = static_cast<TfrTextLine &>(*Lines[i]).Records;
        if (records.empty()) {
            if (!KillEmptyLines)
                body_ += "{\\pard \\par}\r\n";
            continue;
        }
        // Table rows have no room between a cell's edge and its text, so that
        // the cells' edges are the texts' places whichever way a reader
        // takes that room, and all start at the margin.
        QByteArray start = ConvertToTable ? "\\trowd \\trgaph0\\trleft0" : "\\pard";
        QByteArray body;
        QString name;
        int size = -1, style = -1;
        std::int64_t color = -1;
        // Table mode: the cells' right edges with what each holds, laid out
        // from the rows' common left edge.
        std::vector<std::pair<int, QByteArray>> cells;
        bool lastRight = false; // the last cell holds a right-aligned piece
        bool alignedRight = false;
        int pos = 0;
        for (size_t k = 0; k < records.size(); ++k) {
            const TfrTextRec &rec = records[k];
            if (!ConvertToTable) {
                if (isRightAligned(rec.Alignment))
                    start += "\\tqr";
                start += "\\tx" + num(twips(rec.X));
            }
            const std::uint32_t fontColor = rec.FontColor == 0xFFFFFF ? 0 : rec.FontColor;
            QByteArray f;
            if (ConvertToTable || k == 0 || rec.FontName != name)
                f += "\\f" + num(fontIndex(rec.FontName));
            if (ConvertToTable || rec.FontSize != size)
                f += "\\fs" + num(2 * rec.FontSize);
            if (ConvertToTable || rec.FontStyle != style) {
                // A bit that goes off within a line's group is ended, so a
                // plain piece after a bold one is plain.
                const int was = style < 0 ? 0 : style;
                const struct {
                    int bit;
                    const char *word;
                } bits[] = {{1, "\\i"}, {2, "\\b"}, {4, "\\ul"}};
                for (const auto &b : bits) {
                    if (rec.FontStyle & b.bit)
                        f += b.word;
                    else if (!ConvertToTable && (was & b.bit))
                        f += QByteArray(b.word) + (b.bit == 4 ? "none" : "0");
                }
            }
            if (ConvertToTable || fontColor != color)
                f += "\\cf" + num(colorIndex(fontColor));
            if (ConvertToTable) {
                // A cell spans its piece (the text where the preview shows
                // it, a right-aligned one ending at its right edge) and the
                // room before the next piece. Every row starts at the same
                // left edge, which readers keep for the whole table; a gap
                // before a piece is an empty cell or, after left-aligned
                // text, part of that text's cell. No cell is left without
                // width.
                const bool toRight = isRightAligned(rec.Alignment);
                const int left = twips(rec.DrawRect.x());
                const int rightEdge = twips(rec.DrawRect.x() + rec.DrawRect.width());
                const int from = toRight ? left : twips(rec.X);
                int to = std::max(toRight ? twips(rec.X) : rightEdge, from + 1);
                if (from > pos) {
                    if (!cells.empty() && !lastRight)
                        cells.back().first = from;
                    else
                        cells.push_back({from, "\\cell "});
                    pos = from;
                } else if (from < pos) {
                    to += pos - from;
                }
                QByteArray cell;
                if (toRight != alignedRight)
                    cell += toRight ? "\\qr" : "\\ql";
                alignedRight = toRight;
                cell += "{" + f + " " + escape(rec.Text) + "}\\cell ";
                cells.push_back({to, cell});
                pos = to;
                lastRight = toRight;
            } else {
                body += "\\tab" + f + " " + escape(rec.Text);
            }
            name = rec.FontName;
            size = rec.FontSize;
            style = rec.FontStyle;
            color = fontColor;
        }
        if (ConvertToTable) {
            for (const auto &[edge, cell] : cells) {
                start += "\\cellx" + num(edge);
                body += cell;
            }
            body_ += start + " \\pard \\intbl " + body + "\\pard \\intbl \\row\r\n";
        } else {
            body_ += start + "{" + body + "\\par}\r\n";
        }
    }
    if (ConvertToTable)
        body_ += "\\pard\r\n";
    pageWritten_ = true;
}

void TfrRTFExport::OnEndDoc()
{
    body_ += "\\par}";
    auto table = [this](QByteArray line, const std::vector<QByteArray> &pieces) {
        // Lines of the tables stay within 254 characters.
        for (const QByteArray &piece : pieces) {
            if (line.size() + piece.size() > 254) {
                Stream->write(line + "\r\n");
                line.clear();
            }
            line += piece;
        }
        Stream->write(line + "}\r\n");
    };
    if (Stream) {
        std::vector<QByteArray> fonts;
        for (int i = 0; i < fonts_.size(); ++i)
            fonts.push_back("{\\f" + num(i) + "\\fcharset204 " + escape(fonts_[i]) + ";}");
        table("{\\fonttbl", fonts);
        std::vector<QByteArray> colors;
        for (std::uint32_t c : colors_)
            colors.push_back("\\red" + num(c & 0xFF) + "\\green" + num((c >> 8) & 0xFF) + "\\blue" +
                             num((c >> 16) & 0xFF) + ";");
        table("{\\colortbl;", colors);
        Stream->write(body_);
    }
    fonts_.clear();
    colors_.clear();
    body_.clear();
}

} // namespace reports
