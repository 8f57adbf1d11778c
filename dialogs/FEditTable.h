#pragma once
// The table structure editor "Редактирование таблицы" (TEditTable) and its
// field dialog "Создание поля" (TNewField). The editor lists the fields of a
// layer's dBase table with their descriptions (the ".dfn" beside it) and
// applies every structural change at once by rebuilding the table: an empty
// table of the new fields (CreateDbfFile) with a memo file of its own when it
// has memo fields, the records copied into it, the old ".dbf" and ".dbt" kept
// as "~~" and the new pair put in their place together.

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QAction;

namespace platform {
class IniFile;
}
namespace platform::db {
class Query;
class Table;
}

class TNewField : public QDialog {
public:
    explicit TNewField(QWidget *parent = nullptr);

    QLineEdit *edFieldName = nullptr, *edFieldSize = nullptr, *edFieldNote = nullptr;
    QComboBox *cbFieldType = nullptr, *cbFieldSize = nullptr;
    QLabel *Label5 = nullptr;  // "." before the decimals
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    // "Ok" after "Создать", "Cancel" otherwise.
    QString Hint;

    // Shows the size and decimals that fit the chosen type.
    void UpdateTypeControls();
    // "Создать": acts when name and type are given.
    void BitBtn1Click();
    void prepareToShow();

protected:
    void showEvent(QShowEvent *event) override;
};

class TEditTable : public QDialog {
public:
    explicit TEditTable(QWidget *parent = nullptr);
    ~TEditTable() override;

    QTableWidget *StringGrid1 = nullptr;
    QLineEdit *edFieldName = nullptr, *edFieldFormat = nullptr, *edFieldSize = nullptr, *edFieldDec = nullptr,
              *edFieldNote = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *nAppend = nullptr, *nEdit = nullptr, *nDelete = nullptr;
    std::unique_ptr<platform::db::Table> Table, tmpTable;
    std::unique_ptr<platform::db::Query> Query;

    // Set by the caller before showing.
    QString FTableFile;
    QString FNewFile, FBackupFile, FDescFile;

    // Reads the table's fields and descriptions into the grid; false (after
    // the message) when the table file is missing.
    bool LoadTable();
    // Rebuilds the table from the grid's rows, the field oldName now named
    // newName; errors leave the table file as it was.
    bool RebuildTable(const QString &oldName = QString(), const QString &newName = QString());
    void nAppendClick();
    void nEditClick();
    void nDeleteClick();
    // A row dragged from one place to another.
    void MoveRow(int from, int to);
    void ShowCurrentRow();
    // Writes the descriptions and removes the work files.
    void FinishEditing();

    // Shows the editor for a table file modally (the caller's entry).
    bool Execute(const QString &tableFile);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setRow(int row, const QString &name, const QString &format, const QString &size, const QString &dec,
                const QString &note);
    QString cell(int row, int column) const;
    bool finished_ = true;
    // A rebuild failed half way and could not put the old files back: the
    // backup is kept and no further rebuild writes over it.
    bool backupNeeded_ = false;
    // A field of another type keeps its letter through a rebuild.
    std::vector<char> otherTypes_;
};

TNewField *NewField();
TEditTable *EditTable();
void FreeTableEditor();
// Closes the editor's tables and query when the editor exists.
void CloseTableEditorQueries();
