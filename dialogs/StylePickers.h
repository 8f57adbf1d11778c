#pragma once
// The style pickers: "Графические примитивы линий" (TSelectLines, the line
// library), "Графические примитивы" (TSelectSymbols, the fill library),
// "Графические примитивы точек" (TSelectPoints, the point library), each a
// grid of 8 columns of 80 × 80 cells drawn by the style renderers, and the
// borderless symbol picker TSelectStyles (a font and one of its characters
// 33..222). Each is made on first use and kept for the run; the libraries are
// the frame's as loaded (platform::Service<mapengine::StyleServices>).

#include "mapengine/VykTypes.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace dialogs::pickers {

inline constexpr int kGridColumns = 8;
inline constexpr int kCellSize = 80;

// The rows of a grid of `count` patterns.
int gridRows(int count);
// The pattern a cell stands for; -1 beyond the last pattern.
int cellPattern(int column, int row, int count);
// The status panels of a pattern: "<width>x<height>", its kind ("фон",
// "символ", "линия"), its name.
QStringList patternStatus(const TVykSymbol &pattern);
// The row of a font name in a list: trimmed, without regard to case; -1
// when none.
int fontRow(const QStringList &fonts, const QString &name);
// The fonts the symbol picker offers: the screen's, and the symbol font the
// graphics layer maps when the screen lacks it, sorted.
QStringList pickerFonts();

} // namespace dialogs::pickers

// The three library pickers share their window.
class TSelectPattern : public QDialog {
public:
    QTableWidget *DrawGrid1 = nullptr;
    QWidget *StatusBar1 = nullptr;
    // The chosen pattern; -1 for none.
    int FChoice = -1;
    // The mode word in, "Ok" after a choice (lines and fills).
    QString Hint;

    // The library shown.
    virtual const TVykSymbols &Library() const = 0;
    // Fills the grid from the library as loaded; no choice yet.
    void PrepareToShow();
    // Shows the picker modally; the chosen pattern or -1.
    int Execute(const QString &mode = QString());
    // A click shows the pattern's size, kind and name; a double click
    // chooses it and closes. Cells without a pattern do nothing.
    void DrawGrid1Click(int column, int row);
    void DrawGrid1DblClick(int column, int row);

protected:
    TSelectPattern(const char *name, const char *formClass, const QString &caption, bool answersOk);
    // What a choice sets besides FChoice.
    virtual void Chosen(const TVykSymbol &) {}

private:
    bool answersOk_;
    std::vector<QImage> cells_;
};

class TSelectLines : public TSelectPattern {
public:
    TSelectLines();
    const TVykSymbols &Library() const override;
};

class TSelectSymbols : public TSelectPattern {
public:
    TSelectSymbols();
    const TVykSymbols &Library() const override;
    QString FChoiceName;

protected:
    void Chosen(const TVykSymbol &pattern) override;
};

class TSelectPoints : public TSelectPattern {
public:
    TSelectPoints();
    const TVykSymbols &Library() const override;
};

class TSelectStyles : public QDialog {
public:
    TSelectStyles();

    QListWidget *ListVFonts = nullptr;
    QPlainTextEdit *MemoFont = nullptr;
    QListWidget *ListVStyle = nullptr;
    QToolButton *SpeedButton7 = nullptr;
    // The enlarged character over the font list.
    QLabel *BigSymbol = nullptr;
    // The choice, with "Ok" in Hint.
    QString FFontName;
    QChar FSymbol;
    QString Hint;

    // First showing: the lists; then the current font and its row.
    void PrepareToShow();
    // Shows the picker modally with the font name in MemoFont; true for "Ok".
    bool Execute(const QString &mode = QString());
    void ListVFontsClick(QListWidgetItem *item);
    void ListVStyleMouseMove(QListWidgetItem *item);
    void ListVStyleClick(QListWidgetItem *item);
    // The characters shown in a font.
    void ShowCharacters(const QString &fontName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filled_ = false;
    QListWidgetItem *bigShown_ = nullptr;
};

TSelectLines *SelectLines();
TSelectSymbols *SelectSymbols();
TSelectPoints *SelectPoints();
TSelectStyles *SelectStyles();
