#include "dialogs/EdInfo.h"

#include "dialogs/AttributeValues.h"
#include "dialogs/DialogSeams.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/FormClass.h"
#include "platform/ui/UrlOpener.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using platform::db::DbError;

namespace {

TEditInfo *Instance = nullptr;
constexpr int PickListRole = Qt::UserRole + 1;
// A value's text as it was loaded, to tell what the user changed.
constexpr int LoadedTextRole = Qt::UserRole + 2;

MapControlCore *map()
{
    return dialogs::mapWindow().mapControl();
}

// Values are edited in a drop-down of the field's values when it has them.
class ValueDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QStringList values = index.data(PickListRole).toStringList();
        if (values.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setMaxVisibleItems(20);
        combo->addItems(values);
        return combo;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            combo->setEditText(index.data(Qt::EditRole).toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            model->setData(index, combo->currentText());
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }
};

QTableWidget *nameValueList(QWidget *parent, const char *name, const QString &first, const QString &second)
{
    auto *list = new QTableWidget(0, 2, parent);
    list->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(list, "TValueListEditor");
    list->setHorizontalHeaderLabels({first, second});
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->setVisible(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QToolButton *button(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(b, "TSpeedButton");
    b->setText(text);
    b->setToolTip(hint);
    return b;
}

bool layerHasTable(int mapType)
{
    return mapType == 0 || mapType == 1;
}

} // namespace

TEditInfo *EditInfo()
{
    if (!Instance) {
        Instance = new TEditInfo(nullptr);
        MapFunctions::TranslateForm(Instance->objectName());
    }
    return Instance;
}

void FreeEditInfo()
{
    delete Instance;
    Instance = nullptr;
}

void CloseEditInfoTables()
{
    if (Instance) {
        Instance->Table->close();
        Instance->Query->close();
    }
}

TEditInfo::TEditInfo(QWidget *parent)
    : QDialog(parent), Table(std::make_unique<platform::db::Table>()),
      Query(std::make_unique<platform::db::Query>())
{
    setObjectName(QStringLiteral("EditInfo"));
    platform::tagForm(this, "TEditInfo", "TForm");
    setWindowTitle(QStringLiteral("Информационная панель"));
    setModal(false);
    resize(330, 460);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    InfoList = nameValueList(this, "InfoList", QStringLiteral("Слой"), QStringLiteral("Значение"));
    InfoList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    InfoList->setMaximumHeight(130);
    layout->addWidget(InfoList);

    auto *bar = new QHBoxLayout;
    sbPrior = button(this, "sbPrior", QStringLiteral("<<"), QStringLiteral("Предшествующий объект"));
    sbNext = button(this, "sbNext", QStringLiteral(">>"), QStringLiteral("Следующий объект"));
    sbEditAll = button(this, "sbEditAll", QStringLiteral("="), QStringLiteral("Присвоить всем"));
    sbOpenDocument = button(this, "sbOpenDocument", QStringLiteral("…"), QStringLiteral("Вставить файл"));
    sbEditTable = button(this, "sbEditTable", QStringLiteral("▦"), QStringLiteral("Редактор полей базы данных"));
    LabelLayer = new QLabel(this);
    LabelLayer->setObjectName(QStringLiteral("LabelLayer"));
    platform::setFormClass(LabelLayer, "TLabel");
    for (QToolButton *b : {sbPrior, sbNext, sbEditAll, sbOpenDocument, sbEditTable})
        bar->addWidget(b);
    bar->addWidget(LabelLayer, 1);
    layout->addLayout(bar);

    InfoListEdit = nameValueList(this, "InfoListEdit", QStringLiteral("Поле"), QStringLiteral("Значение"));
    InfoListEdit->setItemDelegateForColumn(1, new ValueDelegate(InfoListEdit));
    InfoListEdit->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                  | QAbstractItemView::AnyKeyPressed);
    layout->addWidget(InfoListEdit, 1);

    connect(InfoList, &QTableWidget::cellClicked, this, [this](int row) { InfoListClick(row); });
    connect(InfoList, &QTableWidget::cellDoubleClicked, this, [this](int row) { InfoListDblClick(row); });
    connect(InfoListEdit, &QTableWidget::cellClicked, this, [this](int row) { InfoListEditClick(row); });
    connect(InfoListEdit, &QTableWidget::cellDoubleClicked, this, [this](int row) { InfoListEditDblClick(row); });
    connect(sbPrior, &QToolButton::clicked, this, [this] { sbPriorClick(); });
    connect(sbNext, &QToolButton::clicked, this, [this] { sbNextClick(); });
    connect(sbEditAll, &QToolButton::clicked, this, [this] { AssignFieldToAll(); });
    connect(sbOpenDocument, &QToolButton::clicked, this, [this] { sbOpenDocumentClick(); });
    connect(sbEditTable, &QToolButton::clicked, this, [this] { sbEditTableClick(); });
    updateMoveButtons();
}

TEditInfo::~TEditInfo() = default;

const TMapLayer *TEditInfo::layerOf(const ListedObject &o) const
{
    const MapControlCore *m = map();
    if (!m || o.layer < 0 || static_cast<size_t>(o.layer) >= m->Project().Layers.size())
        return nullptr;
    const TMapLayer &L = m->Project().Layers[static_cast<size_t>(o.layer)];
    // A layer closed or moved in the table since the list was built is
    // another layer now.
    return L.FileName == o.fileName ? &L : nullptr;
}

bool TEditInfo::openObjectRow(const ListedObject &o)
{
    Table->close();
    MapControlCore *m = map();
    const TMapLayer *L = layerOf(o);
    // The cadastral kinds' tables come from host hooks that give none here.
    if (!m || !L || !layerHasTable(L->MapType))
        return false;
    const QString name = mapdata::layerfiles::tableName(L->FileName);
    if (!platform::fileExists(name) && !platform::fileExists(platform::joinPath(m->WorkDir(), name)))
        return false;
    Table->setDatabaseName(m->WorkDir());
    Table->setTableName(name);
    Table->open();
    // Object n is row n + 1; a table with fewer rows has no row for it, and
    // the last row (another object's) must not stand in.
    if (o.index < 0 || !Table->setRecNo(o.index + 1)) {
        Table->close();
        return false;
    }
    return true;
}

bool TEditInfo::openEntryRow(int e)
{
    if (e < 0 || static_cast<size_t>(e) >= listed_.size()) {
        Table->close();
        return false;
    }
    return openObjectRow(listed_[static_cast<size_t>(e)]);
}

QString TEditInfo::writableTableFile(int layer) const
{
    const MapControlCore *m = map();
    const TMapLayer &L = m->Project().Layers[static_cast<size_t>(layer)];
    const QString base = mapdata::layerfiles::baseName(L.FileName);
    const QString path = platform::lastSeparator(base) >= 0 ? base + QStringLiteral(".dbf")
                                                            : platform::joinPath(m->WorkDir(), base + QStringLiteral(".dbf"));
    return platform::findExistingPath(path);
}

int TEditInfo::selectionEntryOf(int row) const
{
    const MapControlCore *m = map();
    if (!m || row < 0 || static_cast<size_t>(row) >= listed_.size())
        return -1;
    const ListedObject &o = listed_[static_cast<size_t>(row)];
    const auto &entries = m->Selection().Entries;
    if (static_cast<size_t>(row) < entries.size() && entries[static_cast<size_t>(row)].Layer == o.layer
        && entries[static_cast<size_t>(row)].Index == o.index)
        return row;
    for (size_t e = 0; e < entries.size(); ++e)
        if (entries[e].Layer == o.layer && entries[e].Index == o.index)
            return static_cast<int>(e);
    return -1;
}

void TEditInfo::ShowLayerInfo()
{
    const int current = std::max(0, InfoList->currentRow());
    InfoList->setRowCount(0);
    listed_.clear();
    shown_ = ListedObject{};
    ShownInfoEntry = -1;
    MapControlCore *m = map();
    if (m) {
        for (const TSelObject &entry : m->Selection().Entries) {
            ListedObject o{entry.Layer, entry.Index, QString()};
            if (entry.Layer >= 0 && static_cast<size_t>(entry.Layer) < m->Project().Layers.size())
                o.fileName = m->Project().Layers[static_cast<size_t>(entry.Layer)].FileName;
            listed_.push_back(o);
        }
        try {
            for (size_t e = 0; e < listed_.size(); ++e) {
                QString value;
                if (openEntryRow(static_cast<int>(e)))
                    value = dialogs::attributes::displayValue(*Table);
                const int row = InfoList->rowCount();
                InfoList->insertRow(row);
                InfoList->setItem(row, 0, new QTableWidgetItem(platform::extractFileName(listed_[e].fileName)));
                InfoList->setItem(row, 1, new QTableWidgetItem(value));
            }
        } catch (const DbError &e) {
            Table->close();
            platform::messageDlg(e.message(), platform::MsgType::Error, platform::mbOK);
        }
        Table->close();
        // Rows an error left unlisted stand for no object.
        listed_.resize(static_cast<size_t>(InfoList->rowCount()));
    }
    if (InfoList->rowCount() > 0)
        InfoList->setCurrentCell(std::min(current, InfoList->rowCount() - 1), 0);
    LoadAttributes();
}

void TEditInfo::LoadAttributes()
{
    const int e = InfoList->currentRow();
    InfoListEdit->setRowCount(0);
    LabelLayer->clear();
    updateMoveButtons();
    shown_ = ListedObject{};
    if (e < 0 || static_cast<size_t>(e) >= listed_.size())
        return;
    const ListedObject &o = listed_[static_cast<size_t>(e)];
    try {
        if (openObjectRow(o)) {
            for (int i = 0; i < Table->fieldCount(); ++i) {
                const platform::db::Field &f = Table->field(i);
                const int row = InfoListEdit->rowCount();
                InfoListEdit->insertRow(row);
                auto *name = new QTableWidgetItem(f.fieldName());
                name->setFlags(name->flags() & ~Qt::ItemIsEditable);
                InfoListEdit->setItem(row, 0, name);
                auto *value = new QTableWidgetItem(f.asString());
                value->setData(LoadedTextRole, value->text());
                InfoListEdit->setItem(row, 1, value);
            }
            shown_ = o;
        }
    } catch (const DbError &err) {
        platform::messageDlg(err.message(), platform::MsgType::Error, platform::mbOK);
    }
    if (layerOf(o))
        LabelLayer->setText(platform::extractFileName(o.fileName) + u':' + QString::number(o.index + 1));
    ShownInfoEntry = e;
}

void TEditInfo::updateMoveButtons()
{
    sbPrior->setEnabled(dialogs::attributes::priorEnabled(InfoList->rowCount(), InfoList->currentRow()));
    sbNext->setEnabled(dialogs::attributes::nextEnabled(InfoList->rowCount(), InfoList->currentRow()));
}

void TEditInfo::SaveAttributes(int e)
{
    // The values shown belong to the object they were loaded from, and go
    // there or nowhere.
    if (e < 0 || e != ShownInfoEntry || shown_.layer < 0)
        return;
    const MapControlCore *m = map();
    const TMapLayer *L = layerOf(shown_);
    if (!m || !L || !layerHasTable(L->MapType) || !L->Edited || !m->LayerWritable(shown_.layer))
        return;
    const QString file = writableTableFile(shown_.layer);
    if (file.isEmpty() || mapdata::isReadOnlyFile(file))
        return;
    // Only what the user changed is written: looking through objects
    // changes nothing.
    std::vector<std::pair<QString, QString>> values;
    std::vector<int> rows;
    for (int r = 0; r < InfoListEdit->rowCount(); ++r) {
        const QTableWidgetItem *name = InfoListEdit->item(r, 0);
        const QTableWidgetItem *value = InfoListEdit->item(r, 1);
        if (!name || !value || value->text() == value->data(LoadedTextRole).toString())
            continue;
        values.emplace_back(name->text(), value->text());
        rows.push_back(r);
    }
    if (values.empty())
        return;
    try {
        if (!openObjectRow(shown_))
            return;
        Table->edit();
        dialogs::attributes::writeValues(*Table, values, false);
        Table->post();
        // Logical values are shown as they were written; what is shown now
        // is what the row holds.
        for (size_t i = 0; i < rows.size(); ++i)
            if (QTableWidgetItem *item = InfoListEdit->item(rows[i], 1)) {
                item->setText(values[i].second);
                item->setData(LoadedTextRole, values[i].second);
            }
    } catch (const DbError &err) {
        if (Table->active() && Table->state() != platform::db::DataSetState::Browse)
            Table->cancel();
        Table->close();
        platform::messageDlg(err.message(), platform::MsgType::Error, platform::mbOK);
        return;
    }
    Table->close();
}

void TEditInfo::AssignFieldToAll()
{
    const int fieldRow = InfoListEdit->currentRow();
    if (fieldRow < 0 || !InfoListEdit->item(fieldRow, 0))
        return;
    if (platform::messageDlg(QStringLiteral("Присвоить всем объектам значение текущего поля"),
                             platform::MsgType::Confirmation, platform::mbYesNo) != platform::mrYes)
        return;
    const QString field = InfoListEdit->item(fieldRow, 0)->text();
    const QString text = InfoListEdit->item(fieldRow, 1) ? InfoListEdit->item(fieldRow, 1)->text() : QString();
    if (dialogs::attributes::isIdField(field))
        return;
    const int objectRow = InfoList->currentRow();
    const MapControlCore *m = map();
    // Tables that could not take the value, named once afterwards.
    QStringList readOnly;
    for (int e = 0; m && e < static_cast<int>(listed_.size()); ++e) {
        const ListedObject &o = listed_[static_cast<size_t>(e)];
        const TMapLayer *L = layerOf(o);
        // The layer's edit switch is not asked: "=" is a command of its own.
        // Layers without a table of their own here, or without the table
        // file, have nothing to write.
        if (!L || !layerHasTable(L->MapType))
            continue;
        const QString file = writableTableFile(o.layer);
        if (file.isEmpty())
            continue;
        if (!m->LayerWritable(o.layer) || mapdata::isReadOnlyFile(file)) {
            if (!readOnly.contains(file))
                readOnly << file;
            continue;
        }
        try {
            if (!openObjectRow(o) || !Table->findField(field))
                continue;
            std::vector<std::pair<QString, QString>> values{{field, text}};
            Table->edit();
            dialogs::attributes::writeValues(*Table, values, true);
            Table->post();
            if (e == ShownInfoEntry && o.layer == shown_.layer && o.index == shown_.index)
                if (QTableWidgetItem *item = InfoListEdit->item(fieldRow, 1)) {
                    item->setText(values[0].second);
                    item->setData(LoadedTextRole, values[0].second);
                }
        } catch (const DbError &err) {
            if (Table->active() && Table->state() != platform::db::DataSetState::Browse)
                Table->cancel();
            Table->close();
            platform::messageDlg(err.message(), platform::MsgType::Error, platform::mbOK);
            break;
        }
        Table->close();
    }
    Table->close();
    if (!readOnly.isEmpty())
        platform::messageDlg(QStringLiteral("Значение не присвоено объектам таблиц, открытых только для чтения:\n")
                                 + readOnly.join(u'\n'),
                             platform::MsgType::Warning, platform::mbOK);
    InfoList->setCurrentCell(objectRow, 0);
    InfoListEdit->setCurrentCell(fieldRow, 1);
}

void TEditInfo::FillPickList(const QString &sql, QStringList &list)
{
    list.clear();
    try {
        Query->close();
        Query->setDatabaseName(map() ? map()->WorkDir() : QString());
        Query->setSqlText(sql);
        Query->open();
        for (Query->first(); !Query->eof(); Query->next()) {
            const QString v = Query->fieldCount() > 0 ? Query->field(0).asString() : QString();
            if (!v.isEmpty())
                list << v;
        }
    } catch (const DbError &) {
        // A list that cannot be filled is offered as far as it got.
    }
    Query->close();
}

void TEditInfo::InfoListClick(int row)
{
    if (ShownInfoEntry >= 0)
        SaveAttributes(ShownInfoEntry);
    InfoList->setCurrentCell(row, 0);
    LoadAttributes();
    MapControlCore *m = map();
    const int entry = selectionEntryOf(row);
    if (m && dialogs::mapWindow().infoToolDown() && entry >= 0)
        dialogs::mapWindow().drawSelectionOverlay(entry);
}

void TEditInfo::sbPriorClick()
{
    if (InfoList->currentRow() > 0)
        InfoListClick(InfoList->currentRow() - 1);
}

void TEditInfo::sbNextClick()
{
    if (InfoList->currentRow() + 1 < InfoList->rowCount())
        InfoListClick(InfoList->currentRow() + 1);
}

void TEditInfo::InfoListDblClick(int row)
{
    MapControlCore *m = map();
    const int entry = selectionEntryOf(row);
    if (!m || entry < 0)
        return;
    m->ShowSelectedObject(entry, true);
    dialogs::mapWindow().RedrawMap();
}

void TEditInfo::InfoListEditClick(int row)
{
    MapControlCore *m = map();
    const TMapLayer *L = layerOf(shown_);
    if (!m || row < 0 || !InfoListEdit->item(row, 0) || !L)
        return;
    const QString table = mapdata::layerfiles::tableName(L->FileName);
    if (!layerHasTable(L->MapType)
        || (!platform::fileExists(table) && !platform::fileExists(platform::joinPath(m->WorkDir(), table))))
        return;
    const QString field = InfoListEdit->item(row, 0)->text();
    bool character = false;
    try {
        if (openObjectRow(shown_))
            if (const platform::db::Field *f = Table->findField(field))
                character = f->def().dbfType == 'C';
    } catch (const DbError &) {
    }
    Table->close();
    if (!character)
        return;
    QStringList values;
    FillPickList(QStringLiteral("Select ") + field + QStringLiteral(" From \"") + table + QStringLiteral("\" Group By ")
                     + field,
                 values);
    if (QTableWidgetItem *item = InfoListEdit->item(row, 1))
        item->setData(PickListRole, values);
}

void TEditInfo::InfoListEditDblClick(int row)
{
    const QTableWidgetItem *item = InfoListEdit->item(row, 1);
    if (!item || !item->text().contains(u'.') || !map())
        return;
    const QString value = item->text().trimmed();
    const QString path = QDir::isAbsolutePath(value) ? value : platform::joinPath(map()->WorkDir(), value);
    platform::openUrl(QUrl::fromLocalFile(platform::normalizePath(path)));
}

void TEditInfo::sbOpenDocumentClick()
{
    MapControlCore *m = map();
    const int row = InfoListEdit->currentRow();
    if (!m || row < 0)
        return;
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Open;
    request.title = QStringLiteral("Вставить файл");
    request.filter = QStringLiteral("All files (*.*)|*.*");
    request.defaultExt = QStringLiteral("*.*");
    request.initialDir = m->WorkDir();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    const QString name = MapFunctions::RelativeFileName(answer.files.first(), m->WorkDir());
    if (QTableWidgetItem *item = InfoListEdit->item(row, 1))
        item->setText(name);
    else
        InfoListEdit->setItem(row, 1, new QTableWidgetItem(name));
}

void TEditInfo::sbEditTableClick()
{
    MapControlCore *m = map();
    const int e = InfoList->currentRow();
    if (!m || e < 0 || static_cast<size_t>(e) >= listed_.size())
        return;
    const TMapLayer *layer = layerOf(listed_[static_cast<size_t>(e)]);
    if (!layer)
        return;
    const TMapLayer &L = *layer;
    const QString name = mapdata::layerfiles::tableName(L.FileName);
    QString table = platform::findExistingPath(platform::joinPath(m->WorkDir(), name));
    if (table.isEmpty())
        table = platform::findExistingPath(name);
    if (table.isEmpty()) {
        platform::showMessage(QStringLiteral("Таблица ") + L.FileName + QStringLiteral(" не нейдена !"));
        return;
    }
    Query->close();
    Table->close();
    dialogs::dialogSeams().ShowTableEditor(table);
    LoadAttributes();
}

void TEditInfo::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        ShowLayerInfo();
    else if (ShownInfoEntry >= 0)
        SaveAttributes(ShownInfoEntry);
}

void TEditInfo::closeEvent(QCloseEvent *event)
{
    Table->close();
    Query->close();
    QDialog::closeEvent(event);
}

void TEditInfo::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    MapControlCore *m = map();
    if (m && dialogs::mapWindow().infoToolDown() && !m->Selection().Entries.empty())
        dialogs::mapWindow().drawSelectionOverlay(-1);
}
