#pragma once
// The coordinate list ("Список координат"): the vertices of one object as a
// numbered grid of X (northing) and Y (easting) that the user types, pastes
// and copies as text; a click marks the row's vertex on the map. On closing
// the list becomes a new object of the current layer ("New") or the new
// geometry of the selected object ("Edit"), after a question.

#include "geodesy/VertexList.h"

#include <QDialog>
#include <QString>

class QAction;
class QTableWidget;

class TNewMapPoint : public QDialog {
public:
    explicit TNewMapPoint(QWidget *parent = nullptr);

    // The mode word in ("New", "Edit"); "Ok" out after a write-back.
    QString Hint;
    QTableWidget *StringGrid = nullptr;
    QAction *nClear = nullptr, *nCopy = nullptr, *nCut = nullptr, *nPaste = nullptr;

    // Sets the mode, shows the list modally, writes it back on closing;
    // true when Hint came back "Ok".
    bool Execute(const QString &mode);
    // What showing does: the grid emptied and numbered, the selected object
    // read in with "Edit".
    void FormShow();
    // What closing does.
    void WriteBack();

    void Clear();
    // The list as clipboard text (CR LF between lines, none after the last).
    QString CopyText() const;
    void Copy();
    // Lines of text into the rows from the first free one on; the grid grows
    // for lines beyond its last row.
    void PasteText(const QString &text);
    void Paste();
    // The vertices the rows give.
    std::vector<georef::ListVertex> Vertices() const;
    // Marks row `row`'s vertex on the map.
    void MarkRow(int row);
    int VertexRows() const;
    void SetVertex(int row, const QString &x, const QString &y);

    void done(int result) override;

private:
    void Renumber();
    void EnsureRows(int vertexRows);
};

// The list of the run: made on first use, kept.
TNewMapPoint *NewMapPoint();
