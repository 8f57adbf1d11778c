#include "dialogs/FProLegend.h"

#include "dialogs/FTransformForm.h"
#include "dialogs/LayerForm.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/db/DbTypes.h"
#include "platform/gdi/Bitmap.h"
#include "platform/ui/FormClass.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>

using namespace dialogs::ui;

namespace {

QColor colourOf(int number)
{
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

// The platform's brush style numbers: 0 solid, 1 none, 2 horizontal,
// 3 vertical, 4 forward diagonal, 5 backward diagonal, 6 cross, 7 diagonal
// cross.
Qt::BrushStyle platformBrush(int number)
{
    switch (number) {
    case 0: return Qt::SolidPattern;
    case 1: return Qt::NoBrush;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::FDiagPattern;
    case 5: return Qt::BDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

// Column 0: the sample of the row's class in the layer's style.
class SampleDelegate : public QStyledItemDelegate {
public:
    explicit SampleDelegate(TProLegend &editor) : QStyledItemDelegate(&editor), editor_(editor) {}

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.column() != 0)
            return QStyledItemDelegate::paint(p, option, index);
        const TMapLayer *L = editor_.layer();
        const QString numberText = index.sibling(index.row(), 2).data().toString().trimmed();
        if (!L || numberText.isEmpty())
            return;
        const int number = MapFunctions::TextToInt(MapFunctions::TextToDigits(numberText));
        const QRect r = option.rect;
        const int y = r.center().y();
        p->save();
        p->setRenderHint(QPainter::Antialiasing, false);
        const int kind = editor_.cbListTypes->currentIndex();
        if (kind == legend::Unique) {
            const QIcon icon = dialogs::mapWindow().bitmapIcon(number);
            if (!icon.isNull())
                icon.paint(p, r);
            else
                p->fillRect(r.adjusted(8, 3, -8, -3), colourOf(number));
        } else if (kind == legend::Palette) {
            QBrush brush(colourOf(number), L->BrushType == 0   ? Qt::NoBrush
                                           : L->BrushType == 1 ? Qt::SolidPattern
                                                               : platformBrush(L->BrushType));
            p->setPen(colourOf(number));
            if (L->ObjType == 3) {
                if (brush.style() == Qt::NoBrush)
                    brush.setStyle(Qt::SolidPattern);
                p->setPen(colourOf(L->PenColor));
                p->setBrush(brush);
                p->drawRect(QRect(QPoint(r.left() + 8, y - 6), QPoint(r.right() - 8, y + 6)));
            } else if (L->ObjType == 2) {
                p->drawLine(r.left(), y, r.right(), y);
            } else if (L->ObjType == 5) {
                TMapFont font = L->Font;
                font.Color = number;
                drawSymbol(p, r, font);
            } else {
                p->setBrush(brush);
                p->drawEllipse(QPoint(r.center().x(), y), 4, 4);
            }
        } else if (kind == legend::Size) {
            p->setPen(QPen(colourOf(L->PenColor), std::max(1, number)));
            p->setBrush(QBrush(colourOf(L->BrushColor), platformBrush(L->BrushType)));
            if (L->ObjType == 3) {
                p->drawRect(QRect(QPoint(r.left() + 8, y - 6), QPoint(r.right() - 8, y + 6)));
            } else if (L->ObjType == 2) {
                p->drawLine(r.left() + 2, y, r.right() - 4, y);
            } else if (L->ObjType == 5) {
                TMapFont font = L->Font;
                font.Size = number;
                drawSymbol(p, r, font);
            } else {
                p->drawEllipse(QPoint(r.center().x(), y), 2, 2);
            }
        }
        p->restore();
    }

private:
    // The layer's symbol character as the map draws it (its font mapping for
    // symbol fonts included), centred in the cell.
    void drawSymbol(QPainter *p, const QRect &r, TMapFont font) const
    {
        MapControlCore *m = editor_.mapControl();
        if (!m || r.width() <= 0 || r.height() <= 0)
            return;
        font.BrushStyle = 1; // no box behind the character
        platform::gdi::Bitmap cell(r.width(), r.height());
        m->DrawFontText(cell.canvas(), r.width() / 2, r.height() / 2, 0, font, QString(font.TextSymbol));
        cell.releaseCanvas();
        p->drawImage(r.topLeft(), cell.image());
    }

    TProLegend &editor_;
};

QStringList cadastralClassifiers()
{
    return {QStringLiteral("Код КУАТУ"),          QStringLiteral("Код УКЦВЗ"),
            QStringLiteral("Форма власності"),    QStringLiteral("Категорія земель"),
            QStringLiteral("Категорія власника"), QStringLiteral("Цільове призначення")};
}

bool numericField(platform::db::FieldType t)
{
    using platform::db::FieldType;
    return t == FieldType::Smallint || t == FieldType::Integer || t == FieldType::Word ||
           t == FieldType::Float || t == FieldType::Currency || t == FieldType::BCD || t == FieldType::AutoInc;
}

} // namespace

TProLegend::TProLegend()
{
    setObjectName(QStringLiteral("ProLegend"));
    platform::tagForm(this, "TProLegend", "TForm");
    setWindowTitle(QStringLiteral("Параметры отображения"));
    auto *body = new QVBoxLayout(this);
    auto *top = new QGridLayout;
    cbListLayers = new QComboBox(this);
    cbListLayers->setObjectName(QStringLiteral("cbListLayers"));
    cbListTypes = new QComboBox(this);
    cbListTypes->setObjectName(QStringLiteral("cbListTypes"));
    cbListTypes->addItems({QStringLiteral("единственное значение"), QStringLiteral("цветовая палитра"),
                           QStringLiteral("величина обозначений"), QStringLiteral("уникальные значения"),
                           QStringLiteral("график")});
    cbListFields = new QComboBox(this);
    cbListFields->setObjectName(QStringLiteral("cbListFields"));
    cbListColor = new QComboBox(this);
    cbListColor->setObjectName(QStringLiteral("cbListColor"));
    cbListColor->addItems(legend::rampNames());
    cbListColor->setCurrentIndex(-1);
    edLegendCount = edit(this, "edLegendCount", QStringLiteral("10"));
    top->addWidget(label(this, "Label1", QStringLiteral("Слой")), 0, 0);
    top->addWidget(cbListLayers, 0, 1);
    top->addWidget(label(this, "Label2", QStringLiteral("Вид легенды")), 1, 0);
    top->addWidget(cbListTypes, 1, 1);
    top->addWidget(label(this, "Label3", QStringLiteral("Поле")), 2, 0);
    top->addWidget(cbListFields, 2, 1);
    top->addWidget(label(this, "Label4", QStringLiteral("Цветовая гамма")), 3, 0);
    top->addWidget(cbListColor, 3, 1);
    top->addWidget(label(this, "Label5", QStringLiteral("Количество классов")), 4, 0);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(edLegendCount);
    sbSortDown = speedButton(this, "sbSortDown", QStringLiteral("↓"), QStringLiteral("Значения сверху вниз"));
    sbSortUp = speedButton(this, "sbSortUp", QStringLiteral("↑"), QStringLiteral("Значения снизу вверх"));
    for (QToolButton *b : {sbSortDown, sbSortUp}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
        countRow->addWidget(b);
    }
    sbSortDown->setChecked(true);
    top->addLayout(countRow, 4, 1);
    body->addLayout(top);

    StringGrid = new QTableWidget(2, 4, this);
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    StringGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Обозначение"), QStringLiteral("Значение"), QStringLiteral("Величина"), QStringLiteral("Код")});
    StringGrid->verticalHeader()->setDefaultSectionSize(20);
    StringGrid->verticalHeader()->setVisible(false);
    StringGrid->setColumnWidth(0, 90);
    StringGrid->setColumnWidth(1, 180);
    StringGrid->setItemDelegate(new SampleDelegate(*this));
    StringGrid->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    body->addWidget(StringGrid, 1);

    auto *buttons = new QHBoxLayout;
    bRefresh = button(this, "bRefresh", QStringLiteral("Обновить"));
    bSave = button(this, "bSave", QStringLiteral("Сохранить"));
    bCancel = button(this, "bCancel", QStringLiteral("Отменить"));
    buttons->addWidget(bRefresh);
    buttons->addStretch(1);
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    body->addLayout(buttons);

    connect(cbListFields, &QComboBox::activated, this, [this] { fieldChosen(); });
    connect(cbListTypes, &QComboBox::activated, this, [this] { UpdateLegendControls(); });
    connect(cbListColor, &QComboBox::activated, this, [this] { BuildLegendClasses(false); });
    connect(sbSortDown, &QToolButton::clicked, this, [this] { BuildLegendClasses(false); });
    connect(sbSortUp, &QToolButton::clicked, this, [this] { BuildLegendClasses(false); });
    connect(edLegendCount, &QLineEdit::returnPressed, this, [this] { countEntered(); });
    connect(StringGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { cellDoubleClicked(row, column); });
    connect(bRefresh, &QPushButton::clicked, this, [this] { StringGrid->viewport()->update(); });
    connect(bSave, &QPushButton::clicked, this, [this] { Save(); });
    connect(bCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(this, &QDialog::finished, this, [this] { fDBF.close(); });
    resize(480, 520);
    VykFunctions::TranslateForm(objectName());
}

MapControlCore *TProLegend::mapControl() const
{
    return map();
}

MapControlCore *TProLegend::map() const
{
    return Map ? Map : dialogs::mapWindow().mapControl();
}

TMapLayer *TProLegend::layerRecord()
{
    MapControlCore *m = map();
    if (!m || LegendLayerIndex < 0 || static_cast<size_t>(LegendLayerIndex) >= m->Project().Layers.size())
        return nullptr;
    return &m->Project().Layers[static_cast<size_t>(LegendLayerIndex)];
}

const TMapLayer *TProLegend::layer() const
{
    return const_cast<TProLegend *>(this)->layerRecord();
}

int TProLegend::count() const
{
    return MapFunctions::TextToInt(MapFunctions::TextToDigits(edLegendCount->text()));
}

bool TProLegend::Execute(int layerIndex)
{
    LegendLayerIndex = layerIndex;
    if (!layerRecord())
        return false;
    FormShow();
    platform::execModal(*this);
    return true;
}

void TProLegend::FormShow()
{
    TMapLayer *L = layerRecord();
    if (!L)
        return;
    filling_ = true;
    const MapControlCore *m = map();
    fDBF.close();
    cbListFields->clear();
    try {
        if (L->MapType == 2) {
            cbListFields->addItems(cadastralClassifiers());
            fDBF.setDatabaseName(QStringLiteral("Vyk6"));
            fDBF.setSql({QStringLiteral("Select *"), QStringLiteral("From \"Object\" O, UserRec U"),
                         QStringLiteral("Where U.ID_Object = O.ID_Object")});
        } else if (L->MapType == 9) {
            fDBF.setDatabaseName(QStringLiteral("Vyk6"));
            fDBF.setSql({QStringLiteral("Select *"), QStringLiteral("From \"Lease\"")});
        } else {
            fDBF.setDatabaseName(m->WorkDir());
            fDBF.setSql({QStringLiteral("Select *"), QStringLiteral("From \"") + layerform::TableName(*L) + u'"'});
        }
        fDBF.open();
        cbListFields->addItems(fDBF.fieldNames());
    } catch (const platform::db::DbError &e) {
        platform::showMessage(QString::fromUtf8(e.what()));
    }
    cbListLayers->clear();
    cbListLayers->addItem(L->Name);
    cbListLayers->setCurrentIndex(0);
    cbListTypes->setCurrentIndex(std::clamp(L->TypeLegend, 0, 4));
    cbListFields->setCurrentIndex(cbListFields->findText(L->FieldNameLegend));
    setGridRows(legend::RowsOfEntries(L->Legend));
    UpdateLegendControls();
    if (legend::PrepareLayerForLegend(*L))
        dialogs::mapWindow().RedrawMap();
    filling_ = false;
    StringGrid->viewport()->update();
}

void TProLegend::UpdateLegendControls()
{
    const int kind = cbListTypes->currentIndex();
    const bool classes = kind != legend::Single && kind != legend::Chart;
    StringGrid->setVisible(classes);
    cbListFields->setEnabled(classes);
    StringGrid->setHorizontalHeaderLabels({QStringLiteral("Обозначение"), QStringLiteral("Значение"),
                                           kind == legend::Unique ? QStringLiteral("Величина")
                                           : kind == legend::Size ? QStringLiteral("Размер")
                                                                  : QStringLiteral("Цвет"),
                                           QStringLiteral("Код")});
}

std::vector<legend::Row> TProLegend::gridRows() const
{
    std::vector<legend::Row> rows;
    auto text = [this](int r, int c) {
        const QTableWidgetItem *item = StringGrid->item(r, c);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < StringGrid->rowCount(); ++r)
        rows.push_back({text(r, 1), text(r, 2), text(r, 3)});
    return rows;
}

void TProLegend::setGridRows(const std::vector<legend::Row> &rows)
{
    StringGrid->clearContents();
    StringGrid->setRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const legend::Row &row = rows[static_cast<size_t>(r)];
        StringGrid->setItem(r, 0, new QTableWidgetItem);
        StringGrid->setItem(r, 1, new QTableWidgetItem(row.values));
        StringGrid->setItem(r, 2, new QTableWidgetItem(row.number));
        StringGrid->setItem(r, 3, new QTableWidgetItem(row.code));
    }
}

void TProLegend::BuildLegendClasses(bool countFromData)
{
    const TMapLayer *L = layer();
    const QString field = cbListFields->currentText();
    if (!L || field.isEmpty())
        return;
    const QStringList kept = fDBF.sql();
    fDBF.close();
    QStringList sql = kept.mid(0, 2);
    const QString quoted = u'"' + field + u'"';
    if (L->MapType == 2) {
        const QString join = QStringLiteral("Where U.ID_Object = O.ID_Object");
        if (field == QStringLiteral("Код КУАТУ"))
            sql = {QStringLiteral("Select SUBSTRING( \"IKN\", 1, 10) IKN"), sql.value(1), join,
                   QStringLiteral("Group By \"IKN\""), QStringLiteral("Order By \"IKN\"")};
        else if (field == QStringLiteral("Код УКЦВЗ"))
            sql = {QStringLiteral("Select T.Number, U.ID_Uses, T.ID_TypeUses"),
                   QStringLiteral("From \"Object\" O, UserRec U, UsesLnk L, TypeUses T"),
                   QStringLiteral("Where U.ID_Object = O.ID_Object And L.ID_Uses = U.ID_Uses And T.ID_TypeUses = "
                                  "L.ID_TypeUses"),
                   QStringLiteral("Group By T.Number, U.ID_Uses, T.ID_TypeUses"),
                   QStringLiteral("Order By T.ID_TypeUses")};
        else if (field == QStringLiteral("Форма власності"))
            sql = {QStringLiteral("Select T.Number, T.ID_TypeOwner"),
                   QStringLiteral("From \"Object\" O, UserRec U, TypeOwner T"),
                   QStringLiteral("Where U.ID_Object = O.ID_Object And T.ID_TypeOwner = U.ID_TypeOwner"),
                   QStringLiteral("Group By T.Number, T.ID_TypeOwner"), QStringLiteral("Order By T.ID_TypeOwner")};
        else if (field == QStringLiteral("Категорія земель"))
            sql = {QStringLiteral("Select \"ID_TypeGround\""), sql.value(1), join,
                   QStringLiteral("Group By \"ID_TypeGround\""), QStringLiteral("Order By \"ID_TypeGround\"")};
        else if (field == QStringLiteral("Категорія власника"))
            sql = {QStringLiteral("Select T.Groupe, T.ID_TypePerson"),
                   QStringLiteral("From \"Object\" O, UserRec U, TypePerson T"),
                   QStringLiteral("Where U.ID_Object = O.ID_Object And T.ID_TypePerson = U.ID_TypePerson"),
                   QStringLiteral("Group By T.Groupe, T.ID_TypePerson"), QStringLiteral("Order By T.ID_TypePerson")};
        else if (field == QStringLiteral("Цільове призначення"))
            sql = {QStringLiteral("Select \"ID_Uses\""), sql.value(1), join, QStringLiteral("Group By \"ID_Uses\""),
                   QStringLiteral("Order By \"ID_Uses\"")};
        else
            sql = {QStringLiteral("Select ") + quoted, sql.value(1), join, QStringLiteral("Group By ") + quoted};
    } else if (L->MapType == 9) {
        sql = {QStringLiteral("Select ") + quoted, sql.value(1), QStringLiteral("Group By ") + quoted};
    } else {
        sql = {QStringLiteral("Select ") + quoted, sql.value(1), QStringLiteral("Group By ") + quoted};
    }
    legend::GroupedValues data;
    try {
        fDBF.setSql(sql);
        fDBF.open();
        data.numeric = fDBF.fieldCount() > 0 && numericField(fDBF.field(0).dataType());
        const bool second = fDBF.fieldCount() > 1;
        for (fDBF.first(); !fDBF.eof(); fDBF.next()) {
            data.values << fDBF.field(0).asString().trimmed();
            if (data.numeric)
                data.numbers.push_back(fDBF.field(0).asFloat());
            if (second)
                data.second << fDBF.field(1).asString().trimmed();
        }
    } catch (const platform::db::DbError &e) {
        platform::showMessage(QString::fromUtf8(e.what()));
    }
    fDBF.close();
    fDBF.setSql(kept);

    legend::BuildOptions o;
    o.kind = cbListTypes->currentIndex();
    o.ramp = cbListColor->currentIndex();
    o.count = count();
    o.countFromData = countFromData;
    o.bottomUp = sbSortUp->isChecked();
    o.objType = L->ObjType;
    const legend::Classes classes = legend::BuildLegendClasses(data, o);
    if (countFromData)
        edLegendCount->setText(QString::number(classes.count));
    // The grid's own last row is the one the classes leave empty.
    std::vector<legend::Row> rows = classes.rows;
    if (!rows.empty())
        rows.pop_back();
    setGridRows(rows);
    StringGrid->scrollToTop();
}

void TProLegend::fieldChosen()
{
    if (filling_)
        return;
    const int kind = cbListTypes->currentIndex();
    if (kind == legend::Palette || kind == legend::Unique)
        BuildLegendClasses(true);
    else if (kind == legend::Size)
        BuildLegendClasses(false);
}

void TProLegend::countEntered()
{
    const int kind = cbListTypes->currentIndex();
    if (kind == legend::Palette || kind == legend::Size || kind == legend::Unique) {
        BuildLegendClasses(false);
        return;
    }
    std::vector<legend::Row> rows = gridRows();
    rows.resize(static_cast<size_t>(std::max(0, count())));
    setGridRows(rows);
}

void TProLegend::cellDoubleClicked(int row, int)
{
    if (cbListTypes->currentIndex() != legend::Palette)
        return;
    QTableWidgetItem *item = StringGrid->item(row, 2);
    int colour = item ? MapFunctions::TextToInt(MapFunctions::TextToDigits(item->text())) : 0;
    if (!platform::answers().chooseColor(colour))
        return;
    if (!item) {
        item = new QTableWidgetItem;
        StringGrid->setItem(row, 2, item);
    }
    item->setText(QString::number(colour));
    StringGrid->viewport()->update();
}

void TProLegend::Save()
{
    TMapLayer *L = layerRecord();
    if (!L)
        return;
    legend::SaveLegend(*L, cbListTypes->currentIndex(), cbListFields->currentText(), gridRows());
    dialogs::mapWindow().RedrawMap();
    accept();
}

TProLegend *ProLegend()
{
    static TProLegend *instance = nullptr;
    if (!instance)
        instance = new TProLegend;
    return instance;
}
