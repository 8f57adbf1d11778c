#pragma once
// The attribute panel "Информационная панель" (TEditInfo): the selected
// objects of the map, one row each, and the attribute row of the chosen
// object field by field, edited in place and written back into the layer's
// table when the panel loses the focus, another object is chosen, or "<<" /
// ">>" move on. "=" writes one value into every listed object; a field can
// name an attached file, which a double click opens; the table editor opens
// from here. Modeless, made on first use and kept.

#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

class QLabel;
class QTableWidget;
class QToolButton;
struct TMapLayer;

namespace platform::db {
class Query;
class Table;
}

class TEditInfo : public QDialog {
public:
    explicit TEditInfo(QWidget *parent = nullptr);
    ~TEditInfo() override;

    QTableWidget *InfoList = nullptr;
    QTableWidget *InfoListEdit = nullptr;
    QLabel *LabelLayer = nullptr;
    QToolButton *sbPrior = nullptr, *sbNext = nullptr, *sbEditAll = nullptr, *sbOpenDocument = nullptr,
                *sbEditTable = nullptr;
    std::unique_ptr<platform::db::Table> Table;
    std::unique_ptr<platform::db::Query> Query;
    // The selection entry whose attributes InfoListEdit shows (-1: none).
    int ShownInfoEntry = -1;

    // Rebuilds the object list from the selection and loads the current row.
    void ShowLayerInfo();
    // Fills the field list for the current object.
    void LoadAttributes();
    // Writes the values the user changed in the field list back into the
    // object they were read from, when e is the entry shown (ShownInfoEntry):
    // the object (layer and record) is kept from the loading, so a selection
    // changed in the meantime sends nothing into another object's row.
    void SaveAttributes(int e);
    // "=": the current field's value into every listed object.
    void AssignFieldToAll();
    // The non-empty values of the SQL's first column; errors leave the list
    // as far as it got.
    void FillPickList(const QString &sql, QStringList &list);
    // A click on an object row: the shown object is written back first.
    void InfoListClick(int row);
    void sbPriorClick();
    void sbNextClick();
    void InfoListDblClick(int row);
    // A click on a field row: its drop-down values.
    void InfoListEditClick(int row);
    void InfoListEditDblClick(int row);
    void sbOpenDocumentClick();
    void sbEditTableClick();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The object a row of the list stands for, as the list was built: its
    // layer's table index and file name, and its number in the layer.
    struct ListedObject {
        int layer = -1;
        int index = -1;
        QString fileName;
    };
    // The layer of a listed object while it is still the one listed.
    const TMapLayer *layerOf(const ListedObject &o) const;
    // Opens the object's table at its row; false when the layer's kind has
    // no table here, the table is missing or has no such row.
    bool openObjectRow(const ListedObject &o);
    bool openEntryRow(int e);
    QString writableTableFile(int layer) const;
    // The selection entry that is the listed object now (-1: none).
    int selectionEntryOf(int row) const;
    void updateMoveButtons();

    std::vector<ListedObject> listed_;
    // The object whose values the field list shows (layer -1: none).
    ListedObject shown_;
};

// The panel of the run: made on first use, kept.
TEditInfo *EditInfo();
void FreeEditInfo();
// Closes the panel's table and query when the panel exists.
void CloseEditInfoTables();
