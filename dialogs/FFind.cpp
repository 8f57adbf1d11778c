#include "dialogs/FFind.h"

#include "dialogs/DialogSeams.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/db/DataSetModel.h"
#include "platform/db/Query.h"
#include "platform/ui/FormClass.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using platform::db::DbError;
using platform::db::Field;
using platform::db::FieldType;
using namespace dialogs;

namespace {

using platform::named;

TFindTolvane *FindInstance = nullptr;
TFirstFind *FirstInstance = nullptr;

QToolButton *speedButton(QWidget *parent, const char *name, const QString &hint, const QString &text)
{
    auto *b = named(new QToolButton(parent), name, "TSpeedButton");
    b->setText(text);
    b->setToolTip(hint);
    return b;
}

void showError(const DbError &e)
{
    platform::messageDlg(e.message(), platform::MsgType::Error, platform::mbOK);
}

// Runs a step of the window; the engine's errors are shown and end the step.
template <class F>
void guarded(F f)
{
    try {
        f();
    } catch (const DbError &e) {
        showError(e);
    }
}

MapControlCore *map()
{
    return mapWindow().mapControl();
}

} // namespace

TFindTolvane *FindTolvane()
{
    if (!FindInstance) {
        FindInstance = new TFindTolvane(nullptr);
        MapFunctions::TranslateForm(FindInstance->objectName());
    }
    return FindInstance;
}

TFirstFind *FirstFind()
{
    if (!FirstInstance) {
        FirstInstance = new TFirstFind(FindTolvane(), nullptr);
        MapFunctions::TranslateForm(FirstInstance->objectName());
    }
    return FirstInstance;
}

void FreeFindWindows()
{
    delete FirstInstance;
    FirstInstance = nullptr;
    delete FindInstance;
    FindInstance = nullptr;
}

void CloseFindQueries()
{
    if (FindInstance)
        FindInstance->CloseQuery();
}

// ---------------------------------------------------------------------------
// The search window

TFindTolvane::TFindTolvane(QWidget *parent)
    : QDialog(parent), MapQuery(std::make_unique<platform::db::Query>())
{
    setObjectName(QStringLiteral("FindTolvane"));
    platform::tagForm(this, "TFindTolvane", "TForm");
    setWindowTitle(QStringLiteral("Найти"));
    resize(640, 480);
    auto *layout = new QVBoxLayout(this);

    auto *top = new QGridLayout;
    Label1 = named(new QLabel(QStringLiteral("Объект"), this), "Label1", "TLabel");
    Label2 = named(new QLabel(QStringLiteral("Улица"), this), "Label2", "TLabel");
    Label3 = named(new QLabel(QStringLiteral("Номер дома"), this), "Label3", "TLabel");
    cbNameObject = named(new QComboBox(this), "cbNameObject", "TComboBox");
    cbNameStreet = named(new QComboBox(this), "cbNameStreet", "TComboBox");
    cbNameHouse = named(new QComboBox(this), "cbNameHouse", "TComboBox");
    int column = 0;
    for (auto [label, combo] : {std::pair{Label1, cbNameObject}, {Label2, cbNameStreet}, {Label3, cbNameHouse}}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumWidth(140);
        top->addWidget(label, 0, column);
        top->addWidget(combo, 1, column++);
        connect(combo, &QComboBox::currentTextChanged, this, [this] { comboChanged(); });
    }
    BtnFind = named(new QPushButton(QStringLiteral("Найти"), this), "BtnFind", "TButton");
    BtnNext = named(new QPushButton(QStringLiteral("Найти далее"), this), "BtnNext", "TButton");
    BitBtn3 = named(new QPushButton(QStringLiteral("Закрыть"), this), "BitBtn3", "TBitBtn");
    top->addWidget(BtnFind, 1, column++);
    top->addWidget(BtnNext, 1, column++);
    top->addWidget(BitBtn3, 1, column++);
    layout->addLayout(top);

    auto *tools = new QHBoxLayout;
    sbTableActive = speedButton(this, "sbTableActive", QStringLiteral("Открыть базу данных"), QStringLiteral("▶"));
    sbTableQuery = speedButton(this, "sbTableQuery", QStringLiteral("Выполнить запрос"), QStringLiteral("⚡"));
    tbSortDown = speedButton(this, "tbSortDown", QStringLiteral("Сортировка по возрастанию"), QStringLiteral("↓"));
    tbSortUp = speedButton(this, "tbSortUp", QStringLiteral("Сортировка по убыванию"), QStringLiteral("↑"));
    auto *sortGroup = new QButtonGroup(this);
    for (QToolButton *b : {tbSortDown, tbSortUp}) {
        b->setCheckable(true);
        sortGroup->addButton(b);
    }
    for (QToolButton *b : {sbTableActive, sbTableQuery, tbSortDown, tbSortUp})
        tools->addWidget(b);
    tools->addStretch();
    layout->addLayout(tools);

    MapMemo = named(new QPlainTextEdit(this), "MapMemo", "TMemo");
    MapMemo->setMaximumHeight(90);
    MapMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(MapMemo);
    Memo = named(new QPlainTextEdit(this), "Memo", "TMemo");
    Memo->setVisible(false);

    dbMapGrid = named(new QTableView(this), "dbMapGrid", "TDBGrid");
    MapSource = new platform::db::DataSetModel(MapQuery.get(), this);
    MapSource->setObjectName(QStringLiteral("MapSource"));
    dbMapGrid->setModel(MapSource);
    dbMapGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dbMapGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    dbMapGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(dbMapGrid, 1);

    pMapMenu = named(new QMenu(this), "pMapMenu", "TPopupMenu");
    nSelect = named(pMapMenu->addAction(QStringLiteral("Выбор")), "nSelect", "TMenuItem");
    nInfo = named(pMapMenu->addAction(QStringLiteral("Изменение")), "nInfo", "TMenuItem");
    N2 = named(pMapMenu->addAction(QStringLiteral("Очистка выбра")), "N2", "TMenuItem");

    StatusBar1 = named(new QStatusBar(this), "StatusBar1", "TStatusBar");
    StatusBar1->setSizeGripEnabled(false);
    platform::addStatusPanel(StatusBar1, QStringLiteral("Параметры поиска регулитуются в параметрах объектов"), 1);
    layout->addWidget(StatusBar1);

    connect(BtnFind, &QPushButton::clicked, this, [this] { BtnFindClick(); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { close(); });
    connect(sbTableActive, &QToolButton::clicked, this, [this] { sbTableActiveClick(); });
    connect(sbTableQuery, &QToolButton::clicked, this, [this] { sbTableQueryClick(); });
    connect(tbSortDown, &QToolButton::clicked, this, [this] { SortClick(true); });
    connect(tbSortUp, &QToolButton::clicked, this, [this] { SortClick(false); });
    connect(nSelect, &QAction::triggered, this, [this] { nSelectClick(); });
    connect(nInfo, &QAction::triggered, this, [this] { nInfoClick(); });
    connect(N2, &QAction::triggered, this, [this] { N2Click(); });
    connect(dbMapGrid, &QTableView::doubleClicked, this, [this] { nSelectClick(); });
    connect(dbMapGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        pMapMenuPopup();
        pMapMenu->popup(dbMapGrid->viewport()->mapToGlobal(p));
    });
    // The grid's current cell is the query's record; its column the selected one.
    connect(dbMapGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                MapSource->setSelectedColumn(current.column());
                MapSource->setCurrentRow(current.row());
            });
    connect(dbMapGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &on, const QItemSelection &off) {
                for (const QModelIndex &i : off.indexes())
                    if (!dbMapGrid->selectionModel()->isRowSelected(i.row(), QModelIndex()) &&
                        !dbMapGrid->selectionModel()->rowIntersectsSelection(i.row(), QModelIndex()))
                        MapSource->setMarked(i.row(), false);
                for (const QModelIndex &i : on.indexes())
                    MapSource->setMarked(i.row(), true);
            });
    connect(MapSource, &platform::db::DataSetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0 && dbMapGrid->currentIndex().row() != row) {
            const int column = std::max(0, MapSource->selectedColumn());
            dbMapGrid->selectionModel()->setCurrentIndex(MapSource->index(row, column), QItemSelectionModel::NoUpdate);
        }
    });
}

TFindTolvane::~TFindTolvane()
{
    // The model lets go of the query before it goes.
    MapSource->setDataSet(nullptr);
}

bool TFindTolvane::validLayer(int layer) const
{
    const MapControlCore *m = mapWindow().mapControl();
    return m && layer >= 0 && static_cast<size_t>(layer) < m->Project().Layers.size();
}

bool TFindTolvane::gridWritable() const
{
    if (!validLayer(FLayerIndex) || !map()->LayerWritable(FLayerIndex))
        return false;
    const TMapLayer &L = map()->Project().Layers[static_cast<size_t>(FLayerIndex)];
    if (!L.Edited)
        return false;
    const QString table = search::layerTableName(L.FileName);
    const QString found = platform::findExistingPath(
        platform::lastSeparator(table) >= 0 ? table : platform::joinPath(map()->WorkDir(), table));
    return !found.isEmpty() && !mapdata::isReadOnlyFile(found);
}

bool TFindTolvane::resultHasRows() const
{
    return MapQuery->active() && MapQuery->recordCount() > 0;
}

bool TFindTolvane::resultHasId() const
{
    return MapQuery->active() && MapQuery->findField(u"ID") != nullptr;
}

void TFindTolvane::layerSearchFields(int layer, search::SearchFields &fields) const
{
    const TMapLayer &L = map()->Project().Layers[static_cast<size_t>(layer)];
    fields = {L.FieldNameObject, L.FieldNameStreet, L.FieldNameHouse};
}

void TFindTolvane::comboChanged()
{
    if (quiet_)
        return;
    guarded([this] { BuildSearchQuery(); });
}

void TFindTolvane::BuildSearchQuery()
{
    if (!validLayer(FLayerIndex))
        return;
    CloseQuery();
    MapQuery->setDatabaseName(map()->WorkDir());
    const TMapLayer &L = map()->Project().Layers[static_cast<size_t>(FLayerIndex)];
    const QString table = search::layerTableName(L.FileName);
    const QString path = platform::lastSeparator(table) >= 0 ? table : platform::joinPath(map()->WorkDir(), table);
    if (platform::fileExists(path)) {
        search::SearchFields fields;
        layerSearchFields(FLayerIndex, fields);
        const search::SearchFields texts{cbNameObject->currentText(), cbNameStreet->currentText(),
                                         cbNameHouse->currentText()};
        MapMemo->setPlainText(search::buildSearchSql(table, fields, texts).join(u'\n'));
    }
    runMemo();
}

void TFindTolvane::FillValueList(const QString &sql, QComboBox *combo)
{
    platform::db::Query q;
    q.setDatabaseName(map() ? map()->WorkDir() : QString());
    q.setSqlText(sql);
    q.open();
    const bool wasQuiet = std::exchange(quiet_, true);
    const QString text = combo->currentText();
    combo->clear();
    for (q.first(); !q.eof(); q.next()) {
        const QString v = q.fieldCount() > 0 ? q.field(0).asString() : QString();
        if (!v.isEmpty())
            combo->addItem(v);
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    quiet_ = wasQuiet;
}

void TFindTolvane::PrepareToShow()
{
    FLayerIndex = mapWindow().activeLayer();
    if (!validLayer(FLayerIndex))
        return;
    const TMapLayer &L = map()->Project().Layers[static_cast<size_t>(FLayerIndex)];
    const QString table = platform::ansiLowerCase(search::layerTableName(L.FileName));
    if (!MapQuery->active() || !platform::ansiLowerCase(MapQuery->sqlText()).contains(table))
        BuildSearchQuery();
    const std::pair<QString, std::pair<QComboBox *, QLabel *>> combos[] = {
        {L.FieldNameObject, {cbNameObject, Label1}},
        {L.FieldNameStreet, {cbNameStreet, Label2}},
        {L.FieldNameHouse, {cbNameHouse, Label3}}};
    for (const auto &[field, controls] : combos) {
        const bool has = !field.isEmpty() && MapQuery->active() && MapQuery->findField(field);
        controls.first->setVisible(has);
        controls.second->setVisible(has);
        if (has)
            FillValueList(search::valueListSql(field, search::layerTableName(L.FileName)), controls.first);
    }
}

void TFindTolvane::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { PrepareToShow(); });
}

void TFindTolvane::runMemo()
{
    int id = 0;
    if (Field *f = MapQuery->active() && MapQuery->recNo() > 0 ? MapQuery->findField(u"ID") : nullptr)
        id = f->asInteger();
    const int column = MapSource->selectedColumn();
    CloseQuery();
    MapQuery->setDatabaseName(map() ? map()->WorkDir() : QString());
    MapQuery->setSqlText(MapMemo->toPlainText());
    // The grid writes into the table only for a layer that may be edited.
    MapQuery->setReadOnly(!gridWritable());
    MapQuery->open();
    if (id > 0 && resultHasId())
        MapQuery->locate(QStringLiteral("ID"), id);
    if (column >= 0 && column < MapSource->columnCount()) {
        MapSource->setSelectedColumn(column);
        const int row = MapSource->currentRow();
        if (row >= 0)
            dbMapGrid->selectionModel()->setCurrentIndex(MapSource->index(row, column), QItemSelectionModel::NoUpdate);
    }
}

void TFindTolvane::sbTableActiveClick()
{
    MapQuery->setSelectOnly(false);
    guarded([this] { runMemo(); });
}

void TFindTolvane::sbTableQueryClick()
{
    guarded([this] {
        CloseQuery();
        MapQuery->setSelectOnly(false);
        MapQuery->setSqlText(MapMemo->toPlainText());
        MapQuery->execSql();
    });
}

void TFindTolvane::SortClick(bool ascending)
{
    QToolButton *button = ascending ? tbSortDown : tbSortUp;
    const int column = MapSource->selectedColumn();
    if (!button->isChecked() || !MapQuery->active() || column < 0 || column >= MapQuery->fieldCount()
        || !validLayer(FLayerIndex))
        return;
    const QString table = search::layerTableName(
        map()->Project().Layers[static_cast<size_t>(FLayerIndex)].FileName);
    MapMemo->setPlainText(search::sortSql(table, MapQuery->field(column).fieldName(), ascending).join(u'\n'));
    MapQuery->setSelectOnly(false);
    guarded([this] { runMemo(); });
}

void TFindTolvane::showRowObject()
{
    if (!resultHasRows() || !resultHasId())
        return;
    const int id = MapQuery->fieldByName(u"ID").asInteger();
    mapWindow().LocateObject(FLayerIndex, id - 1, true);
}

void TFindTolvane::selectRowObject(int layer, search::FoundExtent &extent)
{
    const int index = MapQuery->fieldByName(u"ID").asInteger() - 1;
    const TMapExtent box = mapWindow().LocateObject(layer, index, false);
    extent.add(box.X1, box.Y1, box.X2, box.Y2);
    map()->AppendSelectionEntry(layer, index, box);
}

void TFindTolvane::BtnFindClick()
{
    MapQuery->setSelectOnly(false);
    guarded([this] {
        BuildSearchQuery();
        showRowObject();
    });
}

void TFindTolvane::BtnNextClick()
{
    if (!resultHasRows() || !resultHasId() || !validLayer(FLayerIndex))
        return;
    guarded([this] {
        MapQuery->next();
        showRowObject();
    });
}

void TFindTolvane::nSelectClick()
{
    guarded([this] { showRowObject(); });
}

void TFindTolvane::pMapMenuPopup()
{
    const bool on = resultHasRows() && resultHasId();
    nSelect->setEnabled(on);
    nInfo->setEnabled(on);
}

void TFindTolvane::nInfoClick()
{
    if (!resultHasRows() || !resultHasId() || MapSource->markedBookmarks().empty() || !map())
        return;
    guarded([this] {
        map()->ClearSelection();
        search::FoundExtent extent;
        for (const platform::db::Bookmark &b : MapSource->markedBookmarks()) {
            if (!MapQuery->bookmarkValid(b))
                continue;
            MapQuery->gotoBookmark(b);
            selectRowObject(FLayerIndex, extent);
        }
        map()->RecalcSelectionExtent();
    });
    if (!map()->Selection().Entries.empty())
        dialogs::dialogSeams().ShowEditInfo();
}

void TFindTolvane::N2Click()
{
    MapSource->clearMarks();
    dbMapGrid->clearSelection();
}

void TFindTolvane::CloseQuery()
{
    MapQuery->close();
}

// ---------------------------------------------------------------------------
// Requests

RequestReply TFindTolvane::HandleRequest(const QByteArray &text)
{
    const qsizetype zero = text.indexOf('\0');
    return HandleRequestText(platform::fromCp1251(zero < 0 ? text : text.left(zero)));
}

namespace {

// Blanks and control characters at both ends.
QString trimmedRequest(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    return text.mid(b, e - b);
}

} // namespace

RequestReply TFindTolvane::HandleRequestText(const QString &text)
{
    const QString request = trimmedRequest(text);
    if (const QString refusal = search::refusalOf(request); !refusal.isEmpty()) {
        mapWindow().setSearchStatus(refusal);
        return {true, refusal};
    }
    MapControlCore *m = map();
    if (!m) {
        const QString none = QStringLiteral("Карта не открыта !");
        return {true, none};
    }
    // What a failing request puts back.
    const TSelObjects selection = m->Selection();
    const std::vector<TSeekMapRecord> hits = FSeekResults;
    const QString memo = MapMemo->toPlainText();
    const bool wasQuiet = std::exchange(quiet_, true);

    FLayerIndex = mapWindow().activeLayer();
    Memo->setPlainText(request);
    TFirstFind *quick = FirstFind();
    quick->resize(quick->width(), 48);
    quick->lvSeek->clear();
    FSeekResults.clear();
    m->ClearSelection();

    search::FoundExtent extent;
    int listed = 0;
    try {
        const QStringList lines = search::requestLines(request);
        switch (search::classifyRequest(request)) {
        case search::RequestForm::Sql:
            MapQuery->setSelectOnly(true);
            requestSql(request, extent);
            break;
        case search::RequestForm::Field:
            MapQuery->setSelectOnly(true);
            requestFields(lines, extent);
            break;
        case search::RequestForm::Address:
            MapQuery->setSelectOnly(true);
            listed = requestAddresses(lines, extent);
            break;
        }
    } catch (const DbError &e) {
        quiet_ = wasQuiet;
        m->Selection() = selection;
        FSeekResults = hits;
        MapMemo->setPlainText(memo);
        CloseQuery();
        MapQuery->setSelectOnly(false);
        mapWindow().setSearchStatus(e.message());
        return {true, e.message()};
    }
    quiet_ = wasQuiet;
    MapQuery->setSelectOnly(false);

    // The found extent becomes the selection's; one box centres, more fit.
    TSelObjects &s = m->Selection();
    s.MinX = extent.minX;
    s.MinY = extent.minY;
    s.MaxX = extent.maxX;
    s.MaxY = extent.maxY;
    s.CenterX = s.PivotX = extent.minX + (extent.maxX - extent.minX) / 2;
    s.CenterY = s.PivotY = extent.minY + (extent.maxY - extent.minY) / 2;
    if (extent.boxes == 1)
        mapWindow().CentreAndRedraw(s.CenterX, s.CenterY);
    else if (extent.boxes > 1)
        mapWindow().ZoomToExtent(extent.minX, extent.minY, extent.maxX, extent.maxY);

    // The SQL and field forms list nothing: they report what they selected.
    const int found = listed > 0 ? listed : static_cast<int>(s.Entries.size());
    QString status;
    if (found > 0) {
        status = QStringLiteral("Найдено объектов - ") + QString::number(found);
        if (listed > 0)
            quick->resize(quick->width(), 210);
    } else {
        status = QStringLiteral("Объекты не найдены !");
    }
    mapWindow().setSearchStatus(status);
    return {false, status};
}

int TFindTolvane::layerNamedIn(const QString &line) const
{
    const QString lower = platform::ansiLowerCase(line);
    const auto &layers = map()->Project().Layers;
    for (size_t i = 0; i < layers.size(); ++i) {
        const QString base = search::layerBaseName(layers[i].FileName);
        if (!base.isEmpty() && lower.contains(base))
            return static_cast<int>(i);
    }
    return -1;
}

int TFindTolvane::requestSql(const QString &request, search::FoundExtent &extent)
{
    const QStringList lines = search::requestLines(request);
    FLayerIndex = -1;
    QString fromLine;
    for (const QString &line : lines) {
        if (platform::ansiLowerCase(line).contains(u"from")) {
            fromLine = platform::ansiLowerCase(line);
            break;
        }
    }
    if (fromLine.isEmpty())
        return 0;
    FLayerIndex = layerNamedIn(fromLine);
    if (FLayerIndex < 0)
        return 0;
    MapMemo->setPlainText(request);
    runMemo();
    if (!resultHasId())
        return 0;
    for (MapQuery->first(); !MapQuery->eof(); MapQuery->next())
        selectRowObject(FLayerIndex, extent);
    return 0;
}

void TFindTolvane::requestFields(const QStringList &lines, search::FoundExtent &extent)
{
    for (const QString &line : lines) {
        if (!search::isFieldLine(line))
            continue;
        const std::optional<search::FieldRequest> r = search::parseFieldLine(line);
        if (!r)
            continue;
        // The layer value is not compared on its own: the line names the layer.
        FLayerIndex = r->layer.isEmpty() ? -1 : layerNamedIn(line);
        if (FLayerIndex < 0)
            continue;
        const QString table = search::layerTableName(
            map()->Project().Layers[static_cast<size_t>(FLayerIndex)].FileName);
        MapMemo->setPlainText(QStringLiteral("Select * From \"") + table + u'"');
        runMemo();
        Field *f = MapQuery->findField(r->field);
        if (!f)
            continue;
        QVariant value;
        const FieldType t = f->dataType();
        if (platform::db::isIntegerType(t)) {
            value = MapFunctions::TextToDigits(r->value).toLongLong();
        } else if (platform::db::isFloatType(t)) {
            double v = 0;
            try {
                v = MapFunctions::TextToFloat(r->value, 0);
            } catch (const platform::ConvertError &) {
                v = 0;
            }
            value = v;
        } else {
            value = r->value;
        }
        if (MapQuery->locate(f->fieldName(), value) && resultHasId())
            selectRowObject(FLayerIndex, extent);
    }
}

bool TFindTolvane::locateHit(int kind, const search::SearchFields &fields, const QString &street,
                             const QString &house)
{
    const QString escaped = MapFunctions::EscapeQuotes(street);
    switch (kind) {
    case 1:
        return MapQuery->locate(fields.street + u';' + fields.house, {escaped, house})
            || MapQuery->locate(fields.house, house) || MapQuery->locate(fields.street, escaped);
    case 2:
        return MapQuery->locate(fields.street, escaped);
    case 3:
        return MapQuery->locate(fields.house, house);
    default:
        return false;
    }
}

int TFindTolvane::requestAddresses(const QStringList &lines, search::FoundExtent &extent)
{
    MapControlCore *m = map();
    int listed = 0;
    TFirstFind *quick = FirstFind();
    for (const search::AddressItem &item : search::addressItems(lines)) {
        cbNameStreet->setEditText(item.street);
        cbNameHouse->setEditText(item.house);
        std::vector<TSeekMapRecord> itemHits;
        for (int layer : mapWindow().layerListOrder()) {
            if (!validLayer(layer))
                continue;
            search::SearchFields fields;
            layerSearchFields(layer, fields);
            const int kind = search::hitKind(!fields.street.isEmpty(), !fields.house.isEmpty());
            // A layer none of whose address fields has a typed text would
            // list its first row as a hit.
            if (kind == 0 || ((item.street.isEmpty() || kind == 3) && (item.house.isEmpty() || kind == 2)))
                continue;
            FLayerIndex = layer;
            BuildSearchQuery();
            if (!resultHasRows() || !resultHasId())
                continue;
            locateHit(kind, fields, item.street, item.house);
            TSeekMapRecord hit;
            hit.Layer = layer;
            hit.MatchKind = kind;
            hit.RowCount = MapQuery->recordCount();
            hit.ObjectID = MapQuery->fieldByName(u"ID").asInteger();
            if (kind != 3)
                if (Field *f = MapQuery->findField(fields.street))
                    hit.Street = f->asString();
            if (kind != 2)
                if (Field *f = MapQuery->findField(fields.house))
                    hit.House = f->asString();
            auto *row = new QTreeWidgetItem(quick->lvSeek);
            row->setText(0, m->Project().Layers[static_cast<size_t>(layer)].Name);
            row->setText(1, search::hitText(hit.Street, hit.House));
            FSeekResults.push_back(hit);
            itemHits.push_back(hit);
        }
        if (itemHits.empty())
            continue;
        // The object to show: the hits are walked from the last while no
        // locate has found the typed address, the layer following the hits
        // whose kind fits what was typed; each search with rows gives the
        // object its result stands on, the last one given is shown.
        const int typed = search::typedKind(item.street, item.house);
        int walkLayer = itemHits.back().Layer;
        bool located = false, found = false;
        int shownLayer = -1, index = -1;
        TMapExtent box;
        for (auto it = itemHits.rbegin(); it != itemHits.rend() && !located; ++it) {
            if (it->MatchKind == typed)
                walkLayer = it->Layer;
            FLayerIndex = walkLayer;
            BuildSearchQuery();
            search::SearchFields fields;
            layerSearchFields(walkLayer, fields);
            located = locateHit(search::hitKind(!fields.street.isEmpty(), !fields.house.isEmpty()), fields,
                                item.street, item.house);
            if (resultHasRows() && resultHasId()) {
                shownLayer = walkLayer;
                index = MapQuery->fieldByName(u"ID").asInteger() - 1;
                box = mapWindow().LocateObject(shownLayer, index, false);
                found = true;
            }
        }
        // Only an object that was found joins the selection.
        if (found) {
            extent.add(box.X1, box.Y1, box.X2, box.Y2);
            m->AppendSelectionEntry(shownLayer, index, box);
        }
        listed += static_cast<int>(itemHits.size());
    }
    return listed;
}

void TFindTolvane::ShowSeekResult(int i)
{
    if (i < 0 || static_cast<size_t>(i) >= FSeekResults.size())
        return;
    const TSeekMapRecord hit = FSeekResults[static_cast<size_t>(i)];
    guarded([&] {
        FLayerIndex = hit.Layer;
        BuildSearchQuery();
        if (resultHasRows() && resultHasId())
            mapWindow().LocateObject(FLayerIndex, hit.ObjectID - 1, true);
    });
}

bool TFindTolvane::StartRequestServer(const QString &name)
{
    server_ = std::make_unique<SearchServer>([this](const QByteArray &text) { return HandleRequest(text); }, this);
    if (server_->listen(name))
        return true;
    server_.reset();
    return false;
}

// ---------------------------------------------------------------------------
// The quick-search box

TFirstFind::TFirstFind(TFindTolvane *finder, QWidget *parent) : QDialog(parent), finder_(finder)
{
    setObjectName(QStringLiteral("FirstFind"));
    platform::tagForm(this, "TFirstFind", "TForm");
    setWindowTitle(QStringLiteral("Быстрый поиск"));
    resize(290, 48);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    EditFind = named(new QLineEdit(this), "EditFind", "TEdit");
    layout->addWidget(EditFind);
    lvSeek = named(new QTreeWidget(this), "lvSeek", "TListView");
    lvSeek->setRootIsDecorated(false);
    lvSeek->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvSeek->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvSeek->setHeaderLabels({QStringLiteral("Слой"), QStringLiteral("Значение")});
    lvSeek->setColumnWidth(0, 138);
    lvSeek->setColumnWidth(1, 138);
    layout->addWidget(lvSeek, 1);
    connect(lvSeek, &QTreeWidget::itemDoubleClicked, this, [this] { lvSeekDblClick(); });
}

void TFirstFind::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        EditFindKeyUp(key);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFirstFind::EditFindKeyUp(int key)
{
    if (key == Qt::Key_Escape) {
        close();
        return;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    // The box is in this program: the search window handles it directly (a
    // request through the socket would wait for this very thread).
    finder_->HandleRequestText(EditFind->text());
}

void TFirstFind::lvSeekDblClick()
{
    const QModelIndex current = lvSeek->currentIndex();
    if (current.isValid())
        finder_->ShowSeekResult(current.row());
}
