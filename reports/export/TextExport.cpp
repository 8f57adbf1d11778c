#include "reports/export/TextExport.h"

#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "reports/language/ReportUtils.h"
#include "reports/model/ReportViews.h"

#include <QIODevice>

#include <algorithm>

namespace reports {

namespace {

// The upper half of code page 866.
constexpr char16_t kCp866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

// Frame marks are kept in the lines as characters of a private range, so
// that no character of a report's text is ever taken for one: 4 bits of
// directions (1 up, 2 right, 4 down, 8 left).
constexpr char16_t kMarkBase = 0xF000;
enum Mark { mkVertical = 5, mkHorizontal = 10, mkTopLeft = 6, mkTopRight = 12, mkBottomLeft = 3, mkBottomRight = 9 };

bool isMark(QChar c)
{
    return c.unicode() > kMarkBase && c.unicode() <= kMarkBase + 15;
}

// Puts a mark at a 1-based position, combining it with a mark already
// there. A frame at the page's very left edge would lie before the first
// character; its marks are left out there.
void putMark(QString &line, int position, int mark)
{
    if (position < 1)
        return;
    const int i = position - 1;
    if (line.size() <= i)
        line += QString(i + 1 - line.size(), u' ');
    const QChar c = line[i];
    line[i] = QChar(static_cast<char16_t>(isMark(c) ? c.unicode() | mark : kMarkBase + mark));
}

bool onlyBlanksAndMarks(const QString &line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' ' || isMark(c); });
}

char frameChar(int mark, bool pseudographic)
{
    if (!pseudographic)
        return mark == mkVertical ? '|' : mark == mkHorizontal ? '-' : '+';
    switch (mark) {
    case 5: return static_cast<char>(0xB3);
    case 10: return static_cast<char>(0xC4);
    case 6: return static_cast<char>(0xDA);
    case 12: return static_cast<char>(0xBF);
    case 3: return static_cast<char>(0xC0);
    case 9: return static_cast<char>(0xD9);
    case 11: return static_cast<char>(0xC1);
    case 7: return static_cast<char>(0xC3);
    case 14: return static_cast<char>(0xC2);
    case 13: return static_cast<char>(0xB4);
    default: return static_cast<char>(0xC5);
    }
}

} // namespace

QByteArray toOemCp866(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            out += static_cast<char>(c.unicode());
            continue;
        }
        const auto *at = std::find(std::begin(kCp866), std::end(kCp866), c.unicode());
        out += at == std::end(kCp866) ? '?' : static_cast<char>(0x80 + (at - std::begin(kCp866)));
    }
    return out;
}

double ScaleFromText(const QString &text)
{
    try {
        return StrToFloatAnySeparator(text);
    } catch (const platform::ConvertError &) {
        return 1;
    }
}

TfrTextExport::TfrTextExport() : TfrTextExport(true) {}

TfrTextExport::TfrTextExport(bool registerAsText)
{
    if (registerAsText)
        registered_ = RegisterExportFilter(this, QStringLiteral("TfrTextExport"),
                                           QStringLiteral("Текстовый файл") + QStringLiteral(" (*.txt)"),
                                           QStringLiteral("*.txt"));
}

TfrTextExport::~TfrTextExport()
{
    if (registered_)
        UnregisterExportFilter(QStringLiteral("TfrTextExport"));
}

int TfrTextExport::ShowModal()
{
    if (!ShowDialog)
        return 1;
    TextExportChoices c{KillEmptyLines, ConvertToOEM, ExportFrames, UsePseudographic, PageBreaks,
                        platform::floatToStr(ScaleX), platform::floatToStr(ScaleY)};
    const int result = exportDialogs().ShowTextExport(c);
    // Read back whatever the answer, as the dialog leaves them.
    ScaleX = ScaleFromText(c.ScaleX);
    ScaleY = ScaleFromText(c.ScaleY);
    KillEmptyLines = c.KillEmptyLines;
    ConvertToOEM = c.ConvertToOEM;
    ExportFrames = c.ExportFrames;
    UsePseudographic = c.UsePseudographic;
    PageBreaks = c.PageBreaks;
    return result;
}

TfrTextLine &TfrTextExport::line(int index)
{
    while (static_cast<int>(Lines.size()) <= index)
        Lines.push_back(std::make_unique<TfrTextLine>());
    return static_cast<TfrTextLine &>(*Lines[index]);
}

int TfrTextExport::lastUsedLine() const
{
    for (int i = static_cast<int>(Lines.size()) - 1; i >= 0; --i)
        if (!static_cast<const TfrTextLine &>(*Lines[i]).Records.empty())
            return i;
    return -1;
}

void TfrTextExport::OnBeginPage()
{
    ClearLines();
    line(200);
}

void TfrTextExport::OnText(const QRect &drawRect, int x, int y, const QString &text, int frameTyp, View *view)
{
    if (!view)
        return;
    TfrTextRec rec;
    rec.X = x;
    rec.Text = text;
    rec.FillColor = view->FillColor;
    rec.DrawRect = drawRect;
    rec.FrameTyp = frameTyp;
    if (auto *memo = dynamic_cast<MemoView *>(view)) {
        rec.FontName = memo->Font.Name.left(32);
        rec.FontSize = memo->Font.Size;
        rec.FontStyle = memo->Font.Style;
        rec.FontColor = memo->Font.Color;
        rec.FontCharset = memo->Font.Charset;
        rec.Alignment = memo->Alignment;
        if (isRightAligned(rec.Alignment))
            rec.X = drawRect.x() + drawRect.width();
    }
    // A page taller than the table grows it; a line above the page's top
    // has no place in the text.
    const int index = platform::roundToInt(y / (14.0 / ScaleY));
    if (index < 0)
        return;
    auto &records = line(index).Records;
    const auto at = std::find_if(records.begin(), records.end(), [&rec](const TfrTextRec &r) { return r.X >= rec.X; });
    records.insert(at, std::move(rec));
}

void TfrTextExport::OnEndPage()
{
    const double column = 6.5 / ScaleX;
    QStringList out;
    const int last = lastUsedLine();
    for (int i = 0; i <= last; ++i) {
        int r = static_cast<int>(out.size());
        const auto &records = static_cast<TfrTextLine &>(*Lines[i]).Records;
        if (records.empty() && KillEmptyLines)
            continue;
        QString text;
        for (const TfrTextRec &rec : records) {
            int b = platform::roundToInt(rec.X / column);
            if (isRightAligned(rec.Alignment)) {
                b -= static_cast<int>(rec.Text.size());
                // The right border takes the object's last column: the text
                // ends just inside it, as it begins just after a left one.
                if (ExportFrames && (rec.FrameTyp & frftRight))
                    --b;
            }
            if (b > text.size())
                text += QString(b - text.size(), u' ');
            text += rec.Text;
            if (!ExportFrames || rec.FrameTyp == 0)
                continue;
            const int e = platform::roundToInt(rec.DrawRect.x() / column);
            const int w = platform::roundToInt((rec.DrawRect.x() + rec.DrawRect.width()) / column) - e + 1;
            const bool left = rec.FrameTyp & frftLeft, right = rec.FrameTyp & frftRight;
            auto border = [&](QString &target, int leftCorner, int rightCorner) {
                int n = w, f = e;
                if (left) {
                    putMark(target, f, leftCorner);
                    --n;
                    ++f;
                }
                if (right) {
                    putMark(target, f + n - 1, rightCorner);
                    --n;
                }
                for (int k = 0; k < n; ++k)
                    putMark(target, f + k, mkHorizontal);
            };
            if (rec.FrameTyp & frftTop) {
                if (out.isEmpty()) {
                    out << QString();
                    r = 1;
                } else if (!onlyBlanksAndMarks(out[r - 1])) {
                    out << QString();
                    r = static_cast<int>(out.size());
                }
                border(out[r - 1], mkTopLeft, mkTopRight);
            }
            if (rec.FrameTyp & frftBottom) {
                while (out.size() < r + 2)
                    out << QString();
                border(out[r + 1], mkBottomLeft, mkBottomRight);
            }
            if (left || right) {
                while (out.size() < r + 1)
                    out << QString();
                if (left)
                    putMark(out[r], e, mkVertical);
                if (right)
                    putMark(out[r], e + w - 1, mkVertical);
            }
        }
        if (r == out.size()) {
            out << text;
        } else {
            // Merged into a line the frames already began: the text fills its
            // blanks, the frame marks stay.
            QString &target = out[r];
            if (target.size() < text.size())
                target += QString(text.size() - target.size(), u' ');
            for (qsizetype k = 0; k < text.size(); ++k)
                if (target[k] == u' ')
                    target[k] = text[k];
        }
    }
    if (PageBreaks)
        out << QStringLiteral("\f");

    QByteArray bytes;
    for (const QString &s : out) {
        if (s == QStringLiteral("\f")) {
            bytes += "\f\r\n";
            continue;
        }
        for (QChar c : s) {
            if (isMark(c))
                bytes += frameChar(c.unicode() - kMarkBase, UsePseudographic);
            else
                bytes += ConvertToOEM ? toOemCp866(QStringView(&c, 1)) : platform::toCp1251(QStringView(&c, 1));
        }
        bytes += "\r\n";
    }
    if (Stream)
        Stream->write(bytes);
}

} // namespace reports
