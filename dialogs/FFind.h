#pragma once
// The search window "Найти" (TFindTolvane) and the quick-search box "Быстрый
// поиск" (TFirstFind). The search window finds the objects of one layer by
// their attribute values with SQL over the layer's table, shows the rows in a
// grid and selects and shows their objects; it also serves search requests
// (an SQL statement, "layer=,field=,value=" lines or addresses) from the
// quick-search box and from other programs (SearchServer), without being shown.
// The map window makes it once, with itself, and keeps it for the run.

#include "dialogs/SearchRequests.h"
#include "dialogs/SearchServer.h"
#include "mapdata/MapTypes.h"

#include <QDialog>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolButton;
class QTreeWidget;
class QAction;

namespace platform::db {
class Query;
class DataSetModel;
}

class TFirstFind;

class TFindTolvane : public QDialog {
public:
    explicit TFindTolvane(QWidget *parent = nullptr);
    ~TFindTolvane() override;

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QComboBox *cbNameObject = nullptr, *cbNameStreet = nullptr, *cbNameHouse = nullptr;
    QPushButton *BtnFind = nullptr, *BtnNext = nullptr, *BitBtn3 = nullptr;
    QToolButton *sbTableActive = nullptr, *sbTableQuery = nullptr, *tbSortDown = nullptr, *tbSortUp = nullptr;
    QPlainTextEdit *MapMemo = nullptr;
    // The last request (hidden).
    QPlainTextEdit *Memo = nullptr;
    QTableView *dbMapGrid = nullptr;
    QMenu *pMapMenu = nullptr;
    QAction *nSelect = nullptr, *nInfo = nullptr, *N2 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    std::unique_ptr<platform::db::Query> MapQuery;
    platform::db::DataSetModel *MapSource = nullptr;
    // The layer being searched (table index; -1: none).
    int FLayerIndex = -1;
    // The hits of the last address request, one per quick-search row.
    std::vector<TSeekMapRecord> FSeekResults;

    // Builds the search SQL for FLayerIndex from the three texts and runs it.
    void BuildSearchQuery();
    // The non-empty values of the first column of the SQL's result.
    void FillValueList(const QString &sql, QComboBox *combo);
    // What showing the window does: the layer of the active-layer row, its
    // search run when the query holds another table, the value lists.
    void PrepareToShow();
    // "Открыть базу данных": runs MapMemo, staying on the row's ID and column.
    void sbTableActiveClick();
    // "Выполнить запрос": executes MapMemo as a statement.
    void sbTableQueryClick();
    void SortClick(bool ascending);
    void BtnFindClick();
    void BtnNextClick();
    void nSelectClick();
    void nInfoClick();
    void N2Click();
    // The popup's enabled items.
    void pMapMenuPopup();

    // A request text (Windows-1251, up to its first zero): handled unless it
    // is refused before anything changes; the answer holds the status text
    // or the reason of the refusal.
    dialogs::RequestReply HandleRequest(const QByteArray &text);
    // The request as a text (the quick-search box calls this directly).
    dialogs::RequestReply HandleRequestText(const QString &request);
    // Closes the query (before its table is saved, closed or copied).
    void CloseQuery();
    // Listens for the requests of other programs; false when another running
    // program already listens under the user's name.
    bool StartRequestServer(const QString &name = dialogs::search::requestServerName());

    // Double click on row i of the quick-search list.
    void ShowSeekResult(int i);

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool validLayer(int layer) const;
    // The first layer of the table whose base name the line holds; -1 for none.
    int layerNamedIn(const QString &line) const;
    // Whether the grid may write into the searched layer's table: the layer
    // is editable, not opened read-only, and its table file can be written.
    bool gridWritable() const;
    bool resultHasRows() const;
    bool resultHasId() const;
    // Runs MapMemo (step of "Открыть базу данных").
    void runMemo();
    void showRowObject();
    void selectRowObject(int layer, dialogs::search::FoundExtent &extent);
    void layerSearchFields(int layer, dialogs::search::SearchFields &fields) const;
    bool locateHit(int kind, const dialogs::search::SearchFields &fields, const QString &street, const QString &house);
    int requestSql(const QString &request, dialogs::search::FoundExtent &extent);
    void requestFields(const QStringList &lines, dialogs::search::FoundExtent &extent);
    int requestAddresses(const QStringList &lines, dialogs::search::FoundExtent &extent);
    void comboChanged();

    bool quiet_ = false;
    std::unique_ptr<dialogs::SearchServer> server_;
};

class TFirstFind : public QDialog {
public:
    explicit TFirstFind(TFindTolvane *finder, QWidget *parent = nullptr);

    QLineEdit *EditFind = nullptr;
    QTreeWidget *lvSeek = nullptr;

    // Enter sends the text as a request; Escape closes the box.
    void EditFindKeyUp(int key);
    void lvSeekDblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TFindTolvane *finder_;
};

// The windows of the run: made on first use (the map window makes the search
// window when it is made), kept.
TFindTolvane *FindTolvane();
TFirstFind *FirstFind();
// Deletes both (the map window's end).
void FreeFindWindows();
// Closes the search window's query when the window exists.
void CloseFindQueries();
