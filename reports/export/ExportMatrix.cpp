#include "reports/export/ExportMatrix.h"

#include "platform/Rounding.h"
#include "platform/gdi/Bitmap.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportViews.h"

#include <algorithm>

namespace reports {

namespace {

enum class Kind { Text, Line, Rectangle, Picture };

Kind kindOf(View &view)
{
    if (dynamic_cast<MemoView *>(&view))
        return Kind::Text;
    if (dynamic_cast<LineView *>(&view))
        return view.Width == 0 || view.Height == 0 ? Kind::Line : Kind::Picture;
    if (view.ClassName() == QLatin1String("TfrShapeView")) {
        const Variant shape = view.GetProperty(QStringLiteral("SHAPE"));
        if (!shape.isNull() && shape.toInt() == 0)
            return Kind::Rectangle;
    }
    return Kind::Picture;
}

// A picture's bitmap stays within what a page can hold; a damaged record
// asking for more must not exhaust memory.
constexpr int kMaxPictureSide = 16384;

} // namespace

bool TfrIEMStyle::sameAs(const TfrIEMStyle &o) const
{
    return Font.Color == o.Font.Color && Font.Name == o.Font.Name && Font.Size == o.Font.Size &&
           Font.Style == o.Font.Style && LineSpacing == o.LineSpacing && GapX == o.GapX && GapY == o.GapY &&
           Alignment == o.Alignment && FrameTyp == o.FrameTyp && FrameWidth == o.FrameWidth &&
           FrameColor == o.FrameColor && FrameStyle == o.FrameStyle && Color == o.Color;
}

int TfrIEMatrix::findOrAppend(std::unique_ptr<TfrIEMStyle> style)
{
    for (size_t i = 0; i < Styles.size(); ++i)
        if (Styles[i]->sameAs(*style))
            return static_cast<int>(i);
    Styles.push_back(std::move(style));
    return static_cast<int>(Styles.size()) - 1;
}

void TfrIEMatrix::setStyle(TfrIEMObject &obj, int index)
{
    obj.StyleIndex = index;
    obj.Style = index >= 0 ? Styles[index].get() : nullptr;
}

int TfrIEMatrix::addStyle(View &view)
{
    auto style = std::make_unique<TfrIEMStyle>();
    switch (kindOf(view)) {
    case Kind::Text: {
        auto &memo = static_cast<MemoView &>(view);
        style->Font = memo.Font;
        style->Alignment = memo.Alignment;
        style->LineSpacing = memo.LineSpacing;
        style->GapX = memo.GapX;
        style->GapY = memo.GapY;
        style->FrameTyp = memo.FrameTyp;
        break;
    }
    case Kind::Line:
        style->FrameTyp = view.Width == 0 ? frftLeft : frftTop;
        style->Font.Name = QStringLiteral("Arial");
        style->Font.Size = 1;
        break;
    case Kind::Rectangle:
        return -1;
    case Kind::Picture:
        style->FrameTyp = view.FrameTyp;
        break;
    }
    style->Color = view.FillColor;
    style->FrameWidth = view.FrameWidth;
    style->FrameColor = view.FrameColor;
    style->FrameStyle = view.FrameStyle;
    return findOrAppend(std::move(style));
}

void TfrIEMatrix::addPosition(std::vector<TfrIEMPos> &list, double value)
{
    const size_t n = list.size();
    for (size_t k = 0; k < std::min<size_t>(n, 100); ++k)
        if (list[n - 1 - k].Value == value)
            return;
    list.push_back(TfrIEMPos{value});
}

void TfrIEMatrix::AddObject(View &view)
{
    const Kind kind = kindOf(view);
    if (kind == Kind::Rectangle) {
        // A rectangle is exported as what a grid can hold: its four sides as
        // frame lines, or a filled cell framed all round.
        if (view.FillColor == clNone) {
            const int x = view.Left, y = view.Top, w = view.Width, h = view.Height;
            const int sides[4][4] = {{x, y, w, 0}, {x, y, 0, h}, {x, y + h, w, 0}, {x + w, y, 0, h}};
            for (const auto &s : sides) {
                LineView line;
                line.Name = QStringLiteral("Line");
                line.SetBounds(s[0], s[1], s[2], s[3]);
                line.FrameWidth = view.FrameWidth;
                line.FrameColor = view.FrameColor;
                line.FrameStyle = view.FrameStyle;
                AddObject(line);
            }
        } else {
            MemoView rect;
            rect.Name = QStringLiteral("Rect");
            rect.SetBounds(view.Left, view.Top, view.Width, view.Height);
            rect.FrameTyp = 15;
            rect.FillColor = view.FillColor;
            rect.FrameWidth = view.FrameWidth;
            rect.FrameColor = view.FrameColor;
            rect.FrameStyle = view.FrameStyle;
            rect.Font.Size = 1;
            AddObject(rect);
        }
        return;
    }

    auto obj = std::make_unique<TfrIEMObject>();
    setStyle(*obj, addStyle(view));
    obj->Left = view.Left < 0 ? 0 : view.Left;
    obj->Top = view.Top < 0 ? PageOffset : view.Top + PageOffset;
    obj->Width = view.Width;
    obj->Height = view.Height;

    if (kind == Kind::Text) {
        obj->Memo = view.Memo;
        obj->IsText = true;
    } else if (kind == Kind::Line) {
        obj->IsText = true;
        const double thin = Inaccuracy >= 1 ? Inaccuracy : 1;
        if (obj->Width < 0) {
            obj->Left += obj->Width;
            obj->Width = -obj->Width;
        }
        if (obj->Height < 0) {
            obj->Top += obj->Height;
            obj->Height = -obj->Height;
        }
        if (obj->Width == 0)
            obj->Width = thin;
        if (obj->Height == 0)
            obj->Height = thin;
    } else {
        obj->IsText = false;
        if (platform::roundToInt(obj->Width) == 0)
            obj->Width = 1;
        if (obj->Width < 0) {
            obj->Left += obj->Width;
            obj->Width = -obj->Width;
        }
        if (platform::roundToInt(obj->Height) == 0)
            obj->Height = 1;
        if (obj->Height < 0) {
            obj->Top += obj->Height;
            obj->Height = -obj->Height;
        }
        const int w = std::min(platform::roundToInt(obj->Width) + 1, kMaxPictureSide);
        const int h = std::min(platform::roundToInt(obj->Height) + 1, kMaxPictureSide);
        gdi::Bitmap bitmap(w, h);
        // The frame becomes the cell's border through the style.
        const quint16 frame = view.FrameTyp;
        if (frame != 0 && view.FrameWidth > 0)
            view.FrameTyp = 0;
        view.Left = 0;
        view.Top = 0;
        view.Draw(bitmap.canvas());
        obj->Image = bitmap.image().convertToFormat(QImage::Format_RGB888);
        view.Left = platform::roundToInt(obj->Left);
        view.Top = platform::roundToInt(obj->Top - PageOffset);
        view.FrameTyp = frame;
    }

    MaxHeight = std::max(MaxHeight, obj->Top + obj->Height);
    MaxWidth = std::max(MaxWidth, obj->Left + obj->Width);
    MinLeft = std::min(MinLeft, obj->Left);
    MinTop = std::min(MinTop, obj->Top);
    addPosition(XPositions, obj->Left);
    addPosition(XPositions, obj->Left + obj->Width);
    addPosition(YPositions, obj->Top);
    addPosition(YPositions, obj->Top + obj->Height);

    auto entry = std::make_unique<TfrIEMObjectList>();
    entry->Obj = std::move(obj);
    Entries.push_back(std::move(entry));
}

void TfrIEMatrix::AddPage()
{
    PageOffset = MaxHeight;
    PageEnds.push_back(TfrIEMPage{PageOffset});
}

double TfrIEMatrix::PageBottom(int i) const
{
    return i >= 0 && i < PageCount() ? PageEnds[i].Value : 0;
}

void TfrIEMatrix::sortPositions(std::vector<TfrIEMPos> &list, double maxCell)
{
    auto byValue = [](const TfrIEMPos &a, const TfrIEMPos &b) { return a.Value < b.Value; };
    std::sort(list.begin(), list.end(), byValue);
    // A cluster of boundaries closer than the inaccuracy keeps its largest.
    std::vector<TfrIEMPos> kept;
    kept.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        if (i + 1 == list.size() || !(list[i + 1].Value - list[i].Value < Inaccuracy))
            kept.push_back(list[i]);
    list = std::move(kept);
    if (maxCell <= 0)
        return;
    const size_t n = list.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const double a = list[i].Value, b = list[i + 1].Value;
        if (b - a > maxCell) {
            const auto steps = static_cast<long long>((b - a) / maxCell);
            for (long long k = 1; k <= steps; ++k)
                list.push_back(TfrIEMPos{a + k * maxCell});
        }
    }
    std::sort(list.begin(), list.end(), byValue);
}

void TfrIEMatrix::Prepare()
{
    std::unique_ptr<ExportProgress> progress;
    if (ShowProgress) {
        progress = reportDialogs().NewExportProgress();
        progress->Start(11, QStringLiteral("Prepare export"), true, false);
    }
    auto step = [&progress] {
        if (progress)
            progress->Step();
    };
    sortPositions(XPositions, MaxCellWidth);
    step();
    sortPositions(YPositions, MaxCellHeight);
    step();

    auto place = [](const std::vector<TfrIEMPos> &list, double start, double size, int &first, int &count) {
        auto it = std::lower_bound(list.begin(), list.end(), start,
                                   [](const TfrIEMPos &p, double v) { return p.Value < v; });
        if (it == list.end())
            return;
        first = static_cast<int>(it - list.begin());
        count = 0;
        for (auto j = it; j != list.end() && j->Value < start + size; ++j)
            ++count;
    };
    for (auto &e : Entries) {
        place(XPositions, e->Obj->Left, e->Obj->Width, e->X, e->DX);
        place(YPositions, e->Obj->Top, e->Obj->Height, e->Y, e->DY);
    }
    step();
    step();
    ColumnCount = static_cast<int>(XPositions.size());
    RowCount = static_cast<int>(YPositions.size());
    step();
    fillGrid();
    step();
    step();
    step();
    cutObjects();
    step();
    step();
    step();
}

int TfrIEMatrix::CellAt(int column, int row) const
{
    if (column < 0 || row < 0 || column >= ColumnCount || row >= RowCount ||
        Cells.size() != static_cast<size_t>(ColumnCount) * RowCount)
        return -1;
    return Cells[static_cast<size_t>(row) * ColumnCount + column];
}

TfrIEMObject *TfrIEMatrix::EntryObject(int index) const
{
    return index >= 0 && index < EntryCount() ? Entries[index]->Obj.get() : nullptr;
}

void TfrIEMatrix::EntryCell(int index, int &x, int &y, int &dx, int &dy) const
{
    const TfrIEMObjectList &e = *Entries[index];
    x = e.X;
    y = e.Y;
    dx = e.DX;
    dy = e.DY;
}

void TfrIEMatrix::fillGrid()
{
    Cells.assign(static_cast<size_t>(ColumnCount) * RowCount, -1);
    for (int i = 0; i < EntryCount(); ++i) {
        TfrIEMObjectList &e = *Entries[i];
        TfrIEMObject &obj = *e.Obj;
        // A text without fill on a filled object shows that fill, unless
        // its letters are of the same colour.
        if (obj.Style && obj.Style->Color == clNone) {
            const int under = CellAt(e.X, e.Y);
            if (under >= 0) {
                const TfrIEMStyle *below = Entries[under]->Obj->Style;
                if (below && below->Color != clNone && below->Color != obj.Style->Font.Color) {
                    auto copy = std::make_unique<TfrIEMStyle>(*obj.Style);
                    copy->Color = below->Color;
                    setStyle(obj, findOrAppend(std::move(copy)));
                }
            }
        }
        for (int r = e.Y; r < std::min(e.Y + e.DY, RowCount); ++r)
            for (int c = e.X; c < std::min(e.X + e.DX, ColumnCount); ++c)
                cell(c, r) = i;
    }
}

void TfrIEMatrix::cutObjects()
{
    for (int y = 0; y < RowCount; ++y)
        for (int x = 0; x < ColumnCount; ++x) {
            const int index = cell(x, y);
            if (index < 0 || Entries[index]->Exists)
                continue;
            auto runFrom = [&](int row) {
                int n = 0;
                while (x + n < ColumnCount && cell(x + n, row) == index)
                    ++n;
                return n;
            };
            const int w = runFrom(y);
            int h = 1;
            while (y + h < RowCount && cell(x, y + h) == index && runFrom(y + h) >= w)
                ++h;
            TfrIEMObjectList &cut = *Entries[index];
            if (x == cut.X && y == cut.Y && w == cut.DX && h == cut.DY) {
                cut.Exists = true;
                continue;
            }
            TfrIEMObject &whole = *cut.Obj;
            auto piece = std::make_unique<TfrIEMObject>();
            setStyle(*piece, whole.StyleIndex);
            piece->Left = XPositions[x].Value;
            piece->Top = YPositions[y].Value;
            const double right = x + w < ColumnCount ? XPositions[x + w].Value : whole.Left + whole.Width;
            const double bottom = y + h < RowCount ? YPositions[y + h].Value : whole.Top + whole.Height;
            piece->Width = right - piece->Left;
            piece->Height = bottom - piece->Top;
            piece->Parent = &whole;
            // The content goes to the piece that lies in the top-left part.
            if (whole.Top + whole.Height - piece->Top > whole.Height / 3 &&
                whole.Left + whole.Width - piece->Left > whole.Width / 3) {
                piece->Image = std::move(whole.Image);
                whole.Image = QImage();
                piece->IsText = whole.IsText;
                piece->Memo = std::move(whole.Memo);
                whole.Memo.clear();
                whole.IsText = true;
            }
            // The piece keeps the frame sides that lie on the whole's edges.
            if (whole.Style) {
                const int sides = whole.Style->FrameTyp;
                int kept = 0;
                if (y == cut.Y)
                    kept |= sides & frftTop;
                if (x == cut.X)
                    kept |= sides & frftLeft;
                if (y + h == cut.Y + cut.DY)
                    kept |= sides & frftBottom;
                if (x + w == cut.X + cut.DX)
                    kept |= sides & frftRight;
                if (kept != piece->Style->FrameTyp) {
                    auto copy = std::make_unique<TfrIEMStyle>(*whole.Style);
                    copy->FrameTyp = kept;
                    setStyle(*piece, findOrAppend(std::move(copy)));
                }
            }
            auto entry = std::make_unique<TfrIEMObjectList>();
            entry->Obj = std::move(piece);
            entry->X = x;
            entry->Y = y;
            entry->DX = w;
            entry->DY = h;
            entry->Exists = true;
            Entries.push_back(std::move(entry));
            const int pieceIndex = EntryCount() - 1;
            for (int r = y; r < y + h; ++r)
                for (int c = x; c < x + w; ++c)
                    if (cell(c, r) == index)
                        cell(c, r) = pieceIndex;
        }
}

void TfrIEMatrix::Clear()
{
    Entries.clear();
    Styles.clear();
    XPositions.clear();
    YPositions.clear();
    PageEnds.clear();
    Cells.clear();
    ColumnCount = RowCount = 0;
    PageOffset = 0;
}

} // namespace reports
