#pragma once
// A Qt table model over a data set, for the grids of the dialogs: one row per
// record, one column per field (captions from the fields' display labels),
// the current record as the current row, marked rows in the order they were
// marked, and the selected column. Edits are posted through the data set; an
// error of the engine is shown to the user and the edit is cancelled.

#include "platform/db/DataSet.h"

#include <QAbstractTableModel>

#include <vector>

namespace platform::db {

class DataSetModel : public QAbstractTableModel, private DataLink {
    Q_OBJECT
public:
    // The role that tells a record marked deleted in a dBase table (bool).
    static constexpr int DeletedRole = Qt::UserRole + 1;

    explicit DataSetModel(DataSet *dataSet = nullptr, QObject *parent = nullptr);
    ~DataSetModel() override;

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return DataLink::dataSet(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The row of the current record (-1 when there is none), and moving it.
    int currentRow() const;
    void setCurrentRow(int row);

    // Marked rows, kept as bookmarks in the order they were marked.
    void setMarked(int row, bool marked);
    bool isMarked(int row) const;
    const std::vector<Bookmark> &markedBookmarks() const { return marks_; }
    void clearMarks();

    int selectedColumn() const { return selectedColumn_; }
    void setSelectedColumn(int column) { selectedColumn_ = column; }

signals:
    void currentRowChanged(int row);

private:
    void activeChanged() override;
    void dataSetChanged() override;
    void dataSetScrolled() override;
    void recordChanged(Field *field) override;
    void editingChanged() override;

    std::vector<Bookmark> marks_;
    int selectedColumn_ = -1;
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace platform::db
