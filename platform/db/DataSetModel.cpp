#include "platform/db/DataSetModel.h"

#include "platform/UserAnswers.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace platform::db {

DataSetModel::DataSetModel(DataSet *dataSet, QObject *parent) : QAbstractTableModel(parent)
{
    setDataSet(dataSet);
}

DataSetModel::~DataSetModel()
{
    if (DataSet *ds = DataLink::dataSet())
        ds->removeLink(this);
}

void DataSetModel::setDataSet(DataSet *dataSet)
{
    beginResetModel();
    if (DataSet *old = DataLink::dataSet())
        old->removeLink(this);
    if (dataSet)
        dataSet->addLink(this);
    marks_.clear();
    selectedColumn_ = -1;
    rows_ = dataSet && dataSet->active() ? dataSet->recordCount() : 0;
    columns_ = dataSet && dataSet->active() ? dataSet->fieldCount() : 0;
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || !index.isValid() || index.row() >= rows_ || index.column() >= columns_)
        return {};
    const int recNo = index.row() + 1;
    if (role == DeletedRole)
        return ds->isDeletedAt(recNo);
    if (role == Qt::ForegroundRole)
        return ds->isDeletedAt(recNo) ? QVariant(QBrush(QColor(Qt::gray))) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QVariant v = ds->valueAt(recNo, index.column());
    if (!v.isValid() || v.isNull())
        return role == Qt::EditRole ? QVariant(QString()) : QVariant();
    const FieldType t = ds->field(index.column()).dataType();
    if (role == Qt::DisplayRole) {
        if (t == FieldType::Boolean)
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (t == FieldType::Date)
            return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    }
    return v;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    DataSet *ds = dataSet();
    if (role != Qt::EditRole || !ds || !ds->active() || !index.isValid() || index.row() >= rows_)
        return false;
    try {
        if (ds->recNo() != index.row() + 1)
            ds->setRecNo(index.row() + 1);
        ds->edit();
        ds->field(index.column()).setValue(value);
        ds->post();
    } catch (const DbError &e) {
        try {
            ds->cancel();
        } catch (const DbError &) {
            // The data set is already back in browse mode.
        }
        messageDlg(e.message(), MsgType::Error, mbOK);
        return false;
    }
    return true;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    DataSet *ds = dataSet();
    if (role != Qt::DisplayRole || !ds || !ds->active())
        return {};
    if (orientation == Qt::Horizontal)
        return section < columns_ ? QVariant(ds->field(section).displayLabel()) : QVariant();
    return section + 1;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    DataSet *ds = dataSet();
    if (ds && ds->active() && index.isValid() && index.column() < columns_ && !ds->field(index.column()).readOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

int DataSetModel::currentRow() const
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || ds->recNo() < 1)
        return -1;
    return ds->recNo() - 1;
}

void DataSetModel::setCurrentRow(int row)
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || row < 0 || row >= rows_ || row == currentRow())
        return;
    try {
        ds->setRecNo(row + 1);
    } catch (const DbError &e) {
        messageDlg(e.message(), MsgType::Error, mbOK);
    }
}

void DataSetModel::setMarked(int row, bool marked)
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || row < 0 || row >= rows_)
        return;
    const Bookmark b = ds->bookmarkAt(row + 1);
    auto it = std::find_if(marks_.begin(), marks_.end(), [&](const Bookmark &m) { return m.id == b.id; });
    if (marked && it == marks_.end() && b.isValid())
        marks_.push_back(b);
    else if (!marked && it != marks_.end())
        marks_.erase(it);
}

bool DataSetModel::isMarked(int row) const
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active())
        return false;
    const Bookmark b = ds->bookmarkAt(row + 1);
    return b.isValid()
        && std::any_of(marks_.begin(), marks_.end(), [&](const Bookmark &m) { return m.id == b.id; });
}

void DataSetModel::clearMarks()
{
    marks_.clear();
}

void DataSetModel::activeChanged()
{
    beginResetModel();
    DataSet *ds = dataSet();
    marks_.clear();
    rows_ = ds && ds->active() ? ds->recordCount() : 0;
    columns_ = ds && ds->active() ? ds->fieldCount() : 0;
    endResetModel();
}

void DataSetModel::dataSetChanged()
{
    // Rows came or went; marks are bookmarks and stay with their rows.
    beginResetModel();
    DataSet *ds = dataSet();
    rows_ = ds && ds->active() ? ds->recordCount() : 0;
    columns_ = ds && ds->active() ? ds->fieldCount() : 0;
    DataSet *d = ds;
    marks_.erase(std::remove_if(marks_.begin(), marks_.end(), [d](const Bookmark &m) { return !d || !d->bookmarkValid(m); }),
                 marks_.end());
    endResetModel();
}

void DataSetModel::dataSetScrolled()
{
    emit currentRowChanged(currentRow());
}

void DataSetModel::recordChanged(Field *)
{
    const int row = currentRow();
    if (row >= 0 && row < rows_ && columns_ > 0)
        emit dataChanged(index(row, 0), index(row, columns_ - 1));
}

void DataSetModel::editingChanged()
{
    recordChanged(nullptr);
}

} // namespace platform::db
