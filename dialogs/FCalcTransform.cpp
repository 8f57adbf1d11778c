#include "dialogs/FCalcTransform.h"

#include "dialogs/FCalcShift.h"
#include "dialogs/FTransformForm.h"
#include "geodesy/PlaneKeys.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/UserAnswers.h"
#include "platform/db/DataSetModel.h"
#include "platform/gdi/Clipboard.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

using namespace dialogs::ui;
using platform::db::FieldType;

namespace {

const char *const TableFile = "Transform.Db";
// The check mark the grid shows for an active row.
const QString CheckMark = QStringLiteral("✓");

void defineFields(platform::db::Table &t)
{
    t.fieldDefs().clear();
    t.addFieldDef(QStringLiteral("Active"), FieldType::Boolean);
    t.addFieldDef(QStringLiteral("Name"), FieldType::String, 20);
    for (const char *name : {"X1", "Y1", "Z1", "X2", "Y2", "Z2"})
        t.addFieldDef(QLatin1String(name), FieldType::Float);
}

bool isActive(const platform::db::DataSet &t)
{
    const platform::db::Field &f = t.fieldByName(u"Active");
    return !f.isNull() && f.asBoolean();
}

} // namespace

TCalcTransform::TCalcTransform() : QDialog(nullptr, Qt::Dialog)
{
    setObjectName(QStringLiteral("CalcTransform"));
    platform::tagForm(this, "TCalcTransform", "TForm");
    setWindowTitle(
        QStringLiteral("Вычисление ключа перевода из одной прямоугольной системы координат в другую на плоскости"));
    Table.addCalculatedField(QStringLiteral("Ok"), FieldType::String, 1, [](const platform::db::RecordView &r) {
        const QVariant v = r.value(u"Active");
        return QVariant(!v.isNull() && v.toBool() ? CheckMark : QString());
    });
    Table.setOnNewRecord([](platform::db::DataSet &t) { t.fieldByName(u"Active").setAsBoolean(true); });

    auto *layout = new QVBoxLayout(this);
    auto *captions = new QHBoxLayout;
    captions->addWidget(label(this, "lbLocal", QStringLiteral("Локальная система")));
    captions->addStretch(1);
    captions->addWidget(label(this, "lbReduced", QStringLiteral("Приведенная система")));
    layout->addLayout(captions);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    platform::setFormClass(DBGrid1, "TDBGrid");
    Model = new platform::db::DataSetModel(nullptr, this);
    DBGrid1->setModel(Model);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->horizontalHeader()->setDefaultSectionSize(76);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->installEventFilter(this);
    layout->addWidget(DBGrid1, 1);
    connect(DBGrid1, &QTableView::customContextMenuRequested, this,
            [this](const QPoint &p) { pmGrid->popup(DBGrid1->viewport()->mapToGlobal(p)); });

    pmGrid = new QMenu(this);
    pmGrid->setObjectName(QStringLiteral("pmGrid"));
    nNew = menuItem(pmGrid, "nNew", QStringLiteral("Создать"));
    nNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    nDelete = menuItem(pmGrid, "nDelete", QStringLiteral("Удалить"));
    nDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    nMark = menuItem(pmGrid, "nMark", QStringLiteral("Пометить"));
    nMark->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    for (QAction *a : {nNew, nDelete, nMark}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        DBGrid1->addAction(a);
    }
    connect(nNew, &QAction::triggered, this, [this] { nNewClick(); });
    connect(nDelete, &QAction::triggered, this, [this] { nDeleteClick(); });
    connect(nMark, &QAction::triggered, this, [this] { nMarkClick(); });

    auto *results = new QGridLayout;
    edCx = edit(this, "edCx");
    edCy = edit(this, "edCy");
    edK = edit(this, "edK");
    edSinA = edit(this, "edSinA");
    edCosA = edit(this, "edCosA");
    results->addWidget(label(this, "lbCx", QStringLiteral("Cx = ")), 0, 0);
    results->addWidget(edCx, 0, 1);
    results->addWidget(label(this, "lbCy", QStringLiteral("Cy = ")), 0, 2);
    results->addWidget(edCy, 0, 3);
    results->addWidget(label(this, "lbK", QStringLiteral("k = ")), 0, 4);
    results->addWidget(edK, 0, 5);
    results->addWidget(label(this, "lbSinA", QStringLiteral("sin a = ")), 1, 0);
    results->addWidget(edSinA, 1, 1);
    results->addWidget(label(this, "lbCosA", QStringLiteral("cos a = ")), 1, 2);
    results->addWidget(edCosA, 1, 3);
    layout->addLayout(results);

    auto *buttons = new QHBoxLayout;
    bCompute = button(this, "bCompute", QStringLiteral("Расчёт"));
    bClear = button(this, "bClear", QStringLiteral("Очистка"));
    bSwap = button(this, "bSwap", QStringLiteral("X, Y -> U,V"));
    bReport = button(this, "bReport", QStringLiteral("Отчёт"));
    bHelp = button(this, "bHelp", QStringLiteral("Помощь"));
    bYes = button(this, "bYes", QStringLiteral("Да"));
    bNo = button(this, "bNo", QStringLiteral("Нет"));
    bReport->setEnabled(false);
    bHelp->setEnabled(false);
    for (QPushButton *b : {bCompute, bClear, bSwap, bReport, bHelp})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(bYes);
    buttons->addWidget(bNo);
    layout->addLayout(buttons);
    connect(bCompute, &QPushButton::clicked, this, [this] { bComputeClick(); });
    connect(bYes, &QPushButton::clicked, this, [this] { bYesClick(); });
    connect(bNo, &QPushButton::clicked, this, [this] { reject(); });
    connect(bClear, &QPushButton::clicked, this, [this] { bClearClick(); });
    connect(bSwap, &QPushButton::clicked, this, [this] { bSwapClick(); });
    resize(720, 420);
    VykFunctions::TranslateForm(objectName());
}

TCalcTransform::~TCalcTransform()
{
    Model->setDataSet(nullptr);
}

void TCalcTransform::FormShow(const QString &programDir)
{
    Model->setDataSet(nullptr);
    Table.close();
    Table.setDatabaseName(programDir);
    Table.setTableName(QLatin1String(TableFile));
    defineFields(Table);
    if (!Table.exists())
        Table.createTable();
    else if (platform::messageDlg(QStringLiteral("Очистить базу данных вычисления ключа перевода ?"),
                                  platform::MsgType::Confirmation, platform::mbYesNo) == platform::mrYes)
        Table.emptyTable();
    Table.open();
    Model->setDataSet(&Table);
    // The mark first, then name, X, Y, Z, U, V, H; Active itself is not shown.
    const char *titles[] = {"Имя", "X", "Y", "Z", "U", "V", "H"};
    const char *fields[] = {"Name", "X1", "Y1", "Z1", "X2", "Y2", "Z2"};
    for (int i = 0; i < 7; ++i)
        Table.fieldByName(QString::fromLatin1(fields[i])).setDisplayLabel(QString::fromUtf8(titles[i]));
    Table.fieldByName(u"Ok").setDisplayLabel(CheckMark);
    QHeaderView *header = DBGrid1->horizontalHeader();
    const int ok = Table.fieldByName(u"Ok").index();
    header->moveSection(header->visualIndex(ok), 0);
    DBGrid1->setColumnWidth(ok, 24);
    DBGrid1->setColumnHidden(Table.fieldByName(u"Active").index(), true);
    for (QLineEdit *e : {edCx, edCy, edK, edSinA, edCosA})
        e->clear();
}

void TCalcTransform::Execute(const QString &programDir, TCalcShift *target)
{
    target_ = target;
    FormShow(programDir);
    platform::execModal(*this);
}

bool TCalcTransform::bComputeClick()
{
    for (QLineEdit *e : {edCx, edCy, edK, edSinA, edCosA})
        e->clear();
    if (!Table.active())
        return false;
    platform::db::Bookmark here = Table.getBookmark();
    std::vector<geodesy::PointPair> pairs;
    for (Table.first(); !Table.eof(); Table.next())
        if (isActive(Table))
            pairs.push_back({Table.fieldByName(u"X1").asFloat(), Table.fieldByName(u"Y1").asFloat(),
                             Table.fieldByName(u"X2").asFloat(), Table.fieldByName(u"Y2").asFloat()});
    if (Table.bookmarkValid(here))
        Table.gotoBookmark(here);
    Table.freeBookmark(here);
    QString refusal;
    const std::optional<geodesy::PlaneKey> key = geodesy::computeKey(pairs, refusal);
    if (!key) {
        platform::showMessage(refusal);
        return false;
    }
    edCx->setText(numberText(key->Cx));
    edCy->setText(numberText(key->Cy));
    edK->setText(numberText(key->K));
    edSinA->setText(numberText(key->SinA));
    edCosA->setText(numberText(key->CosA));
    return true;
}

void TCalcTransform::bYesClick()
{
    if (!bComputeClick())
        return;
    if (target_) {
        target_->edCx->setText(edCx->text());
        target_->edCy->setText(edCy->text());
        target_->edKof->setText(edK->text());
        target_->edSinA->setText(edSinA->text());
        target_->edCosA->setText(edCosA->text());
    }
    accept();
}

void TCalcTransform::bClearClick()
{
    Model->setDataSet(nullptr);
    Table.close();
    Table.emptyTable();
    Table.open();
    Model->setDataSet(&Table);
}

void TCalcTransform::bSwapClick()
{
    if (!Table.active())
        return;
    for (Table.first(); !Table.eof(); Table.next()) {
        Table.edit();
        for (const auto &[a, b] : {std::pair{u"X1", u"X2"}, std::pair{u"Y1", u"Y2"}, std::pair{u"Z1", u"Z2"}}) {
            platform::db::Field &fa = Table.fieldByName(a);
            platform::db::Field &fb = Table.fieldByName(b);
            const QVariant va = fa.value();
            fa.setValue(fb.value());
            fb.setValue(va);
        }
        Table.post();
    }
}

void TCalcTransform::nNewClick()
{
    if (!Table.active())
        return;
    Table.append();
    Table.post();
}

void TCalcTransform::nDeleteClick()
{
    if (Table.active() && !Table.isEmpty())
        Table.deleteRecord();
}

void TCalcTransform::nMarkClick()
{
    if (!Table.active() || Table.isEmpty())
        return;
    const bool on = isActive(Table);
    Table.edit();
    if (on)
        Table.fieldByName(u"Active").clear();
    else
        Table.fieldByName(u"Active").setAsBoolean(true);
    Table.post();
    Table.next();
}

void TCalcTransform::PasteRows()
{
    if (!Table.active())
        return;
    Table.last();
    const QString text = platform::clipboard().text();
    if (text.isEmpty())
        return;
    for (const geodesy::TransformRow &r : geodesy::parseTransformRows(text)) {
        Table.append();
        Table.fieldByName(u"Active").setAsBoolean(true);
        Table.fieldByName(u"Name").setAsString(r.Name);
        Table.fieldByName(u"X1").setAsFloat(r.X1);
        Table.fieldByName(u"Y1").setAsFloat(r.Y1);
        Table.fieldByName(u"Z1").setAsFloat(r.Z1);
        Table.fieldByName(u"X2").setAsFloat(r.X2);
        Table.fieldByName(u"Y2").setAsFloat(r.Y2);
        Table.fieldByName(u"Z2").setAsFloat(r.Z2);
        Table.post();
    }
}

bool TCalcTransform::isPasteKey(int key, Qt::KeyboardModifiers modifiers)
{
    // V, and the key that gives "М" in a Cyrillic layout.
    return modifiers.testFlag(Qt::ControlModifier) && (key == Qt::Key_V || key == 0x041C || key == 0x043C);
}

bool TCalcTransform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (isPasteKey(k->key(), k->modifiers())) {
            PasteRows();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TCalcTransform::done(int result)
{
    // Closing the dialog closes the table.
    Model->setDataSet(nullptr);
    Table.close();
    QDialog::done(result);
}

TCalcTransform *CalcTransform()
{
    static TCalcTransform *instance = nullptr;
    if (!instance)
        instance = new TCalcTransform;
    return instance;
}
