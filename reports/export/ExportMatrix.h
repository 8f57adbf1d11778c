#pragma once
// The export matrix: the objects of prepared pages turned into a grid of
// cells for exports whose output is itself a grid (the spreadsheet). Every
// left and right edge becomes a column boundary, every top and bottom edge a
// row boundary; an object covers a rectangle of whole cells; where objects
// overlap the later one wins the cells and the earlier is cut into
// rectangular pieces. Pages are stacked one below the other.

#include "reports/model/ReportObjects.h"

#include <QImage>
#include <QStringList>

#include <memory>
#include <vector>

namespace reports {

// The look of an exported object; objects that look alike share one.
class TfrIEMStyle {
public:
    ReportFont Font;
    double LineSpacing = 0, GapX = 0, GapY = 0;
    int Alignment = 0;   // bits 0-1 horizontal, 3-4 vertical
    int FrameTyp = 0;    // 1 right, 2 bottom, 4 left, 8 top
    float FrameWidth = 0;
    std::uint32_t FrameColor = 0;
    int FrameStyle = 0;
    std::uint32_t Color = clNone; // fill; clNone: none

    bool sameAs(const TfrIEMStyle &other) const;
};

// One object, or one piece of a cut object.
class TfrIEMObject {
public:
    QStringList Memo;
    int StyleIndex = -1;
    TfrIEMStyle *Style = nullptr;
    bool IsText = false; // text objects, lines and rectangles; false for pictures
    double Left = 0, Top = 0, Width = 0, Height = 0;
    QImage Image;        // 24-bit; pictures only
    TfrIEMObject *Parent = nullptr;
    int Exported = 0;    // set by the consumer once written
};

// One entry of the matrix: the object and the cells it covers.
class TfrIEMObjectList {
public:
    std::unique_ptr<TfrIEMObject> Obj;
    int X = 0, Y = 0, DX = 1, DY = 1;
    bool Exists = false;
};

struct TfrIEMPos {
    double Value = 0;
};

struct TfrIEMPage {
    double Value = 0;
};

class TfrIEMatrix {
public:
    TfrIEMatrix() = default;
    TfrIEMatrix(const TfrIEMatrix &) = delete;
    TfrIEMatrix &operator=(const TfrIEMatrix &) = delete;

    int ColumnCount = 0, RowCount = 0;
    double MaxWidth = 0, MaxHeight = 0;
    double MinLeft = 100000, MinTop = 100000;
    double PageOffset = 0;
    bool ShowProgress = true;
    double MaxCellHeight = 0, MaxCellWidth = 0; // 0: no limit
    double Inaccuracy = 0;

    // Adds one object of a prepared page. A picture-like object is drawn
    // into its bitmap here and put back where it was.
    void AddObject(View &view);
    void AddPage();
    // Builds the grid; once, after the last page.
    void Prepare();
    // The entry index of a cell; -1 outside the grid or for an empty cell.
    int CellAt(int column, int row) const;
    TfrIEMObject *EntryObject(int index) const;
    // The entry's X, Y, DX, DY.
    void EntryCell(int index, int &x, int &y, int &dx, int &dy) const;
    int EntryCount() const { return static_cast<int>(Entries.size()); }
    double ColumnLeft(int i) const { return XPositions[i].Value; }
    double RowTop(int i) const { return YPositions[i].Value; }
    // 0 past the last page.
    double PageBottom(int i) const;
    int PageCount() const { return static_cast<int>(PageEnds.size()); }
    int StyleCount() const { return static_cast<int>(Styles.size()); }
    TfrIEMStyle *StyleAt(int i) const { return Styles[i].get(); }
    void Clear();

    std::vector<std::unique_ptr<TfrIEMObjectList>> Entries;
    std::vector<std::unique_ptr<TfrIEMStyle>> Styles;
    std::vector<TfrIEMPos> XPositions, YPositions;
    std::vector<TfrIEMPage> PageEnds;

private:
    int addStyle(View &view);
    // The index of an equal style, appending it when there is none.
    int findOrAppend(std::unique_ptr<TfrIEMStyle> style);
    void setStyle(TfrIEMObject &obj, int index);
    static void addPosition(std::vector<TfrIEMPos> &list, double value);
    void sortPositions(std::vector<TfrIEMPos> &list, double maxCell);
    void fillGrid();
    void cutObjects();
    int &cell(int column, int row) { return Cells[static_cast<size_t>(row) * ColumnCount + column]; }

    std::vector<int> Cells;
};

} // namespace reports
