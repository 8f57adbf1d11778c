#include "dialogs/FProLayer.h"

#include "dialogs/FCalcProj.h"
#include "dialogs/FTransformForm.h"
#include "dialogs/LayerForm.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/StyleRenderers.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/Service.h"
#include "platform/UserAnswers.h"
#include "platform/db/DbTypes.h"
#include "platform/db/Query.h"
#include "platform/gdi/Bitmap.h"
#include "platform/ui/FormClass.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include <tuple>

using namespace dialogs::ui;
using namespace platform::gdi;

namespace {

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption)
{
    return platform::named(new QCheckBox(caption, parent), name, "TCheckBox");
}

QComboBox *comboBox(QWidget *parent, const char *name, bool editable)
{
    auto *c = platform::named(new QComboBox(parent), name, "TComboBox");
    c->setEditable(editable);
    return c;
}

QLabel *sample(QWidget *parent, const char *name, int w, int h)
{
    auto *l = platform::named(new QLabel(parent), name, "TImage");
    l->setFixedSize(w, h);
    l->setFrameShape(QFrame::Box);
    return l;
}

QSlider *slider(QWidget *parent, const char *name, int max)
{
    auto *s = platform::named(new QSlider(Qt::Horizontal, parent), name, "TTrackBar");
    s->setRange(0, max);
    return s;
}

void setComboText(QComboBox *c, const QString &text)
{
    c->setEditText(text);
}

int colourNumber(const QString &text)
{
    return static_cast<int>(dialogs::ui::number(text, 0));
}

} // namespace

TProLayer::TProLayer()
{
    setObjectName(QStringLiteral("ProLayer"));
    platform::tagForm(this, "TProLayer", "TForm");
    setWindowTitle(QStringLiteral("Редактирование параметров слоя"));
    auto *body = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    body->addWidget(tabs, 1);

    // ---- the layer
    auto *general = new QWidget(tabs);
    general->setObjectName(QStringLiteral("tsLayer"));
    auto *g = new QFormLayout(general);
    EditName = edit(general, "EditName");
    EditFileName = edit(general, "EditFileName");
    g->addRow(label(general, "Label1", QStringLiteral("Наменование слоя")), EditName);
    g->addRow(label(general, "Label2", QStringLiteral("Наименование файла")), EditFileName);
    auto *kinds = new QGroupBox(QStringLiteral("Вид объектов"), general);
    kinds->setObjectName(QStringLiteral("gbObjType"));
    auto *kindGrid = new QGridLayout(kinds);
    kindGroup = new QButtonGroup(this);
    int code = 1;
    for (const layerform::KindButton &k : layerform::kindButtons()) {
        QToolButton *b = speedButton(kinds, k.name, QString::fromUtf8(k.caption), QString::fromUtf8(k.caption));
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(100);
        kindGroup->addButton(b, code);
        kindGrid->addWidget(b, (code - 1) / 3, (code - 1) % 3);
        ++code;
    }
    g->addRow(kinds);
    cbViewPoints = checkBox(general, "cbViewPoints", QStringLiteral("Отображение узловых точек"));
    cbViewShadow = checkBox(general, "cbViewShadow", QStringLiteral("Отображение тени"));
    cbForAllObjects = checkBox(general, "cbForAllObjects", QStringLiteral("Стиль слоя для всех объектов"));
    cbViewInScale = checkBox(general, "cbViewInScale", QStringLiteral("Отображение в пределах масштаба"));
    for (QCheckBox *c : {cbViewPoints, cbViewShadow, cbForAllObjects, cbViewInScale})
        g->addRow(c);
    auto *scaleRow = new QHBoxLayout;
    EditScaleMin = edit(general, "EditScaleMin");
    EditScaleMax = edit(general, "EditScaleMax");
    SBMinSize = speedButton(general, "SBMinSize", QStringLiteral("▾"), QStringLiteral("Мин. масштаб"));
    SBMaxSize = speedButton(general, "SBMaxSize", QStringLiteral("▾"), QStringLiteral("Макс. масштаб"));
    scaleRow->addWidget(label(general, "Label3", QStringLiteral("Мин. масштаб 1:")));
    scaleRow->addWidget(EditScaleMin);
    scaleRow->addWidget(SBMinSize);
    scaleRow->addWidget(label(general, "Label4", QStringLiteral("Макс. масштаб 1:")));
    scaleRow->addWidget(EditScaleMax);
    scaleRow->addWidget(SBMaxSize);
    g->addRow(scaleRow);
    tabs->addTab(general, QStringLiteral("Слой"));

    // ---- styles
    auto *styles = new QWidget(tabs);
    styles->setObjectName(QStringLiteral("tsStyle"));
    auto *s = new QVBoxLayout(styles);
    auto *font = new QGroupBox(QStringLiteral("Шрифт"), styles);
    font->setObjectName(QStringLiteral("gbFont"));
    auto *f = new QGridLayout(font);
    EditFontName = edit(font, "EditFontName");
    EditFontSize = edit(font, "EditFontSize");
    EditSymbol = edit(font, "EditSymbol");
    EditSymbol->setMaxLength(1);
    EditFontColor = edit(font, "EditFontColor");
    EditFontScale = edit(font, "EditFontScale");
    EditFontRotate = edit(font, "EditFontRotate");
    tbEditFont = speedButton(font, "tbEditFont", QStringLiteral("Шрифт..."), QStringLiteral("Выбор шрифта"));
    SBTextSymbol = speedButton(font, "SBTextSymbol", QStringLiteral("Символ..."), QStringLiteral("Выбор символа"));
    SpeedButton13 = speedButton(font, "SpeedButton13", QStringLiteral("Цвет"), QStringLiteral("Цвет текста"));
    SBSize = speedButton(font, "SBSize", QStringLiteral("▾"), QStringLiteral("Размер шрифта"));
    SBScale2 = speedButton(font, "SBScale2", QStringLiteral("▾"), QStringLiteral("Масштаб текста"));
    SpeedButton16 = speedButton(font, "SpeedButton16", QStringLiteral("↶"), QStringLiteral("Уменьшение"));
    SpeedButton17 = speedButton(font, "SpeedButton17", QStringLiteral("↷"), QStringLiteral("Увеличение"));
    cBoxFontBold = checkBox(font, "cBoxFontBold", QStringLiteral("Ж"));
    cBoxFontItalic = checkBox(font, "cBoxFontItalic", QStringLiteral("К"));
    cBoxFontUnderline = checkBox(font, "cBoxFontUnderline", QStringLiteral("Ч"));
    f->addWidget(label(font, "Label5", QStringLiteral("Шрифт")), 0, 0);
    f->addWidget(EditFontName, 0, 1);
    f->addWidget(tbEditFont, 0, 2);
    f->addWidget(label(font, "Label6", QStringLiteral("Символ")), 0, 3);
    f->addWidget(EditSymbol, 0, 4);
    f->addWidget(SBTextSymbol, 0, 5);
    f->addWidget(label(font, "Label7", QStringLiteral("Размер")), 1, 0);
    f->addWidget(EditFontSize, 1, 1);
    f->addWidget(SBSize, 1, 2);
    f->addWidget(label(font, "Label8", QStringLiteral("Цвет")), 1, 3);
    f->addWidget(EditFontColor, 1, 4);
    f->addWidget(SpeedButton13, 1, 5);
    f->addWidget(label(font, "Label9", QStringLiteral("Масштаб")), 2, 0);
    f->addWidget(EditFontScale, 2, 1);
    f->addWidget(SBScale2, 2, 2);
    f->addWidget(label(font, "Label10", QStringLiteral("Поворот")), 2, 3);
    f->addWidget(EditFontRotate, 2, 4);
    auto *turn = new QHBoxLayout;
    turn->addWidget(SpeedButton16);
    turn->addWidget(SpeedButton17);
    f->addLayout(turn, 2, 5);
    auto *bits = new QHBoxLayout;
    for (QCheckBox *c : {cBoxFontBold, cBoxFontItalic, cBoxFontUnderline})
        bits->addWidget(c);
    f->addLayout(bits, 3, 1);
    s->addWidget(font);

    auto *line = new QGroupBox(QStringLiteral("Линия"), styles);
    line->setObjectName(QStringLiteral("gbLine"));
    auto *l = new QGridLayout(line);
    EditPenWidth = edit(line, "EditPenWidth");
    EditPenColor = edit(line, "EditPenColor");
    EditPenMode = edit(line, "EditPenMode");
    EditPenMode->setReadOnly(true);
    SpeedButton8 = speedButton(line, "SpeedButton8", QStringLiteral("▾"), QStringLiteral("Толщина линии"));
    SBTextColor = speedButton(line, "SBTextColor", QStringLiteral("Цвет"), QStringLiteral("Цвет линии"));
    sbPenMode = speedButton(line, "sbPenMode", QStringLiteral("▾"), QStringLiteral("Выбор режима отображения линии"));
    SpeedButton9 = speedButton(line, "SpeedButton9", QStringLiteral("Стиль"), QStringLiteral("Стиль линии"));
    ImageLine = sample(line, "ImageLine", 160, 24);
    l->addWidget(label(line, "Label11", QStringLiteral("Толщина, мм")), 0, 0);
    l->addWidget(EditPenWidth, 0, 1);
    l->addWidget(SpeedButton8, 0, 2);
    l->addWidget(label(line, "Label12", QStringLiteral("Цвет")), 0, 3);
    l->addWidget(EditPenColor, 0, 4);
    l->addWidget(SBTextColor, 0, 5);
    l->addWidget(label(line, "Label13", QStringLiteral("Режим")), 1, 0);
    l->addWidget(EditPenMode, 1, 1);
    l->addWidget(sbPenMode, 1, 2);
    l->addWidget(ImageLine, 1, 3, 1, 2);
    l->addWidget(SpeedButton9, 1, 5);
    s->addWidget(line);

    auto *fill = new QGroupBox(QStringLiteral("Фон"), styles);
    fill->setObjectName(QStringLiteral("gbBrush"));
    auto *b = new QGridLayout(fill);
    EditBrushColor = edit(fill, "EditBrushColor");
    SBBgTextColor = speedButton(fill, "SBBgTextColor", QStringLiteral("Цвет"), QStringLiteral("Цвет фона"));
    SpeedButton11 = speedButton(fill, "SpeedButton11", QStringLiteral("Стиль"), QStringLiteral("Стиль заливки"));
    ImageBrush = sample(fill, "ImageBrush", 160, 40);
    b->addWidget(label(fill, "Label14", QStringLiteral("Цвет")), 0, 0);
    b->addWidget(EditBrushColor, 0, 1);
    b->addWidget(SBBgTextColor, 0, 2);
    b->addWidget(ImageBrush, 0, 3);
    b->addWidget(SpeedButton11, 0, 4);
    s->addWidget(fill);

    auto *points = new QGroupBox(QStringLiteral("Точки и изображения"), styles);
    points->setObjectName(QStringLiteral("gbPoints"));
    auto *p = new QGridLayout(points);
    EditBitmap = edit(points, "EditBitmap");
    SpeedButton18 = speedButton(points, "SpeedButton18", QStringLiteral("Стиль точек"), QStringLiteral("Стиль точек"));
    imgTypePoint = sample(points, "imgTypePoint", 40, 40);
    tbGamma = slider(points, "tbGamma", layerform::GammaMax);
    tbContrast = slider(points, "tbContrast", layerform::ContrastMax);
    p->addWidget(label(points, "Label15", QStringLiteral("Обозначение")), 0, 0);
    p->addWidget(EditBitmap, 0, 1);
    p->addWidget(SpeedButton18, 0, 2);
    p->addWidget(imgTypePoint, 0, 3);
    p->addWidget(label(points, "Label16", QStringLiteral("Яркость")), 1, 0);
    p->addWidget(tbGamma, 1, 1, 1, 3);
    p->addWidget(label(points, "Label17", QStringLiteral("Контраст")), 2, 0);
    p->addWidget(tbContrast, 2, 1, 1, 3);
    s->addWidget(points);
    tabs->addTab(styles, QStringLiteral("Стиль"));

    // ---- search and labels
    auto *fields = new QWidget(tabs);
    fields->setObjectName(QStringLiteral("tsFields"));
    auto *fl = new QFormLayout(fields);
    cbFieldNameObject = comboBox(fields, "cbFieldNameObject", true);
    cbFieldNameStreet = comboBox(fields, "cbFieldNameStreet", true);
    cbFieldNameHouse = comboBox(fields, "cbFieldNameHouse", true);
    fl->addRow(label(fields, "Label18", QStringLiteral("Объект")), cbFieldNameObject);
    fl->addRow(label(fields, "Label19", QStringLiteral("Улица")), cbFieldNameStreet);
    fl->addRow(label(fields, "Label20", QStringLiteral("Дом")), cbFieldNameHouse);
    clbViewFieldName = new QListWidget(fields);
    clbViewFieldName->setObjectName(QStringLiteral("clbViewFieldName"));
    clbViewFieldName->setContextMenuPolicy(Qt::CustomContextMenu);
    fl->addRow(label(fields, "Label21", QStringLiteral("Обозначения")), clbViewFieldName);
    tabs->addTab(fields, QStringLiteral("Поля"));

    // ---- coordinates
    auto *coords = new QWidget(tabs);
    coords->setObjectName(QStringLiteral("tsProject"));
    auto *c = new QVBoxLayout(coords);
    cbTransform = checkBox(coords, "cbTransform", QStringLiteral("Система координат"));
    gbTransform = new QGroupBox(coords);
    gbTransform->setObjectName(QStringLiteral("gbTransform"));
    auto *t = new QFormLayout(gbTransform);
    cbProject = comboBox(gbTransform, "cbProject", false);
    cbEllipsoid = comboBox(gbTransform, "cbEllipsoid", false);
    for (const geodesy::NamedId &n : geodesy::projectionChoices())
        cbProject->addItem(QString::fromUtf8(n.Name));
    for (const geodesy::NamedId &n : geodesy::ellipsoidChoices())
        cbEllipsoid->addItem(QString::fromUtf8(n.Name));
    cbLongitude = comboBox(gbTransform, "cbLongitude", true);
    for (int d = 20; d <= 40; ++d)
        cbLongitude->addItem(QString::number(d) + QStringLiteral("d00E"));
    cbLatitude = comboBox(gbTransform, "cbLatitude", true);
    cbLatitude->addItem(QStringLiteral("00d00N"));
    edX = edit(gbTransform, "edX");
    edY = edit(gbTransform, "edY");
    edK = edit(gbTransform, "edK");
    t->addRow(label(gbTransform, "Label22", QStringLiteral("Проекция")), cbProject);
    t->addRow(label(gbTransform, "Label23", QStringLiteral("Эллипсоид")), cbEllipsoid);
    t->addRow(label(gbTransform, "Label24", QStringLiteral("Долгота")), cbLongitude);
    t->addRow(label(gbTransform, "Label25", QStringLiteral("Широта")), cbLatitude);
    t->addRow(label(gbTransform, "Label26", QStringLiteral("См-ние X =")), edX);
    t->addRow(label(gbTransform, "Label27", QStringLiteral("См-ние Y =")), edY);
    t->addRow(label(gbTransform, "Label28", QStringLiteral("Масшт. k =")), edK);
    cbGISProject = checkBox(coords, "cbGISProject", QStringLiteral("Проекция"));
    gbProject = new QGroupBox(coords);
    gbProject->setObjectName(QStringLiteral("gbProject"));
    auto *pr = new QFormLayout(gbProject);
    cbNumProject = comboBox(gbProject, "cbNumProject", false);
    pr->addRow(label(gbProject, "Label29", QStringLiteral("Проекция")), cbNumProject);
    c->addWidget(cbTransform);
    c->addWidget(gbTransform);
    c->addWidget(cbGISProject);
    c->addWidget(gbProject);
    c->addStretch(1);
    tabs->addTab(coords, QStringLiteral("Координаты"));

    // ---- navigation
    auto *nav = new QGroupBox(QStringLiteral("Навигация"), tabs);
    nav->setObjectName(QStringLiteral("gbNavigation"));
    auto *n = new QFormLayout(nav);
    cbGPS = comboBox(nav, "cbGPS", true);
    cbGPS->addItem(QStringLiteral("TrimTrac"));
    cbDevice = comboBox(nav, "cbDevice", true);
    cbDevice->addItem(QStringLiteral("EmemTModem"));
    for (int i = 1; i <= 8; ++i)
        cbDevice->addItem(QStringLiteral("COM") + QString::number(i));
    cbPIN = comboBox(nav, "cbPIN", true);
    setComboText(cbPIN, QStringLiteral("7315"));
    n->addRow(label(nav, "Label30", QStringLiteral("Вид приёмника")), cbGPS);
    n->addRow(label(nav, "Label31", QStringLiteral("Вид источника")), cbDevice);
    n->addRow(label(nav, "Label32", QStringLiteral("PIN код")), cbPIN);
    tabs->addTab(nav, QStringLiteral("Навигация"));

    auto *buttons = new QHBoxLayout;
    bSave = button(this, "bSave", QStringLiteral("Сохранить"));
    bCancel = button(this, "bCancel", QStringLiteral("Отменить"));
    bSave->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    body->addLayout(buttons);

    connect(bSave, &QPushButton::clicked, this, [this] { Save(); });
    connect(bCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(cbTransform, &QCheckBox::clicked, this, [this] { switchGroups(cbTransform); });
    connect(cbGISProject, &QCheckBox::clicked, this, [this] { switchGroups(cbGISProject); });
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { pickLineStyle(); });
    connect(SpeedButton11, &QToolButton::clicked, this, [this] { pickFillStyle(); });
    connect(SpeedButton18, &QToolButton::clicked, this, [this] { pickPointStyle(); });
    connect(SBTextSymbol, &QToolButton::clicked, this, [this] { pickSymbol(); });
    connect(tbEditFont, &QToolButton::clicked, this, [this] { chooseFontInto(EditFontName, EditFontSize, EditFontColor); });
    connect(SBTextColor, &QToolButton::clicked, this, [this] { pickColour(EditPenColor); });
    connect(SBBgTextColor, &QToolButton::clicked, this, [this] { pickColour(EditBrushColor); });
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { pickColour(EditFontColor); });
    using Popup = dialogs::MapWindowHost::StylePopup;
    const std::tuple<QToolButton *, Popup, const char *> popups[] = {
        {SBSize, Popup::Size, "Layer"},
        {SpeedButton8, Popup::Width, "Layer"},
        {SBScale2, Popup::Scale, "LayerTextScale"},
        {SBMinSize, Popup::Scale, "LayerScaleMin"},
        {SBMaxSize, Popup::Scale, "LayerScaleMax"},
        {sbPenMode, Popup::PenMode, "Layer"}};
    for (const auto &[button, menu, target] : popups)
        connect(button, &QToolButton::clicked, this, [button, menu, target] {
            dialogs::mapWindow().popupStyleMenu(menu, QLatin1String(target), button);
        });
    connect(SpeedButton16, &QToolButton::clicked, this, [this] {
        dialogs::mapWindow().stepTextRotation(QStringLiteral("Layer"), 1, number(EditFontRotate->text(), 0));
    });
    connect(SpeedButton17, &QToolButton::clicked, this, [this] {
        dialogs::mapWindow().stepTextRotation(QStringLiteral("Layer"), 2, number(EditFontRotate->text(), 0));
    });
    for (QLineEdit *e : {EditPenColor, EditBrushColor})
        connect(e, &QLineEdit::textChanged, this, [this, e] { showColour(e); });

    auto *labels = new QMenu(this);
    labels->setObjectName(QStringLiteral("pmLabels"));
    QAction *nNew = menuItem(labels, "nNewLabel", QStringLiteral("Создать"));
    QAction *nEditLabel = menuItem(labels, "nEditLabel", QStringLiteral("Изменить"));
    QAction *nDelete = menuItem(labels, "nDeleteLabel", QStringLiteral("Удалить"));
    connect(nNew, &QAction::triggered, this, [this] { NewLabel(); });
    connect(nEditLabel, &QAction::triggered, this, [this] { EditLabel(); });
    connect(nDelete, &QAction::triggered, this, [this] { DeleteLabel(); });
    connect(clbViewFieldName, &QWidget::customContextMenuRequested, this, [this, labels, nEditLabel, nDelete](QPoint at) {
        const TMapLayer *L = layer();
        const int row = clbViewFieldName->currentRow();
        const bool within = L && row >= 0 && row < static_cast<int>(L->Labels.size());
        nEditLabel->setEnabled(within);
        nDelete->setEnabled(within);
        labels->popup(clbViewFieldName->viewport()->mapToGlobal(at));
    });
    connect(clbViewFieldName, &QListWidget::itemDoubleClicked, this, [this] { EditLabel(); });
    resize(620, 560);
    VykFunctions::TranslateForm(objectName());
}

MapControlCore *TProLayer::map() const
{
    return Map ? Map : dialogs::mapWindow().mapControl();
}

TMapLayer *TProLayer::layer()
{
    MapControlCore *m = map();
    if (!m || LayerDialogIndex < 0 || static_cast<size_t>(LayerDialogIndex) >= m->Project().Layers.size())
        return nullptr;
    return &m->Project().Layers[static_cast<size_t>(LayerDialogIndex)];
}

bool TProLayer::Execute(int index)
{
    LayerDialogIndex = index;
    if (!layer())
        return false;
    FormShow();
    platform::execModal(*this);
    return true;
}

void TProLayer::FormShow()
{
    TMapLayer *L = layer();
    if (!L)
        return;
    const MapControlCore *m = map();
    TCalcProj *projections = CalcProj();
    projections->ProgramDir = m->ProgramDir();
    projections->LoadProjects();
    catalogue_ = projections->Catalogue;
    catalogueNames_ = geodesy::projectionNames(catalogue_);
    cbNumProject->clear();
    cbNumProject->addItems(catalogueNames_);

    // The search fields: the attribute table's field names.
    QStringList names;
    const QString table = layerform::TableName(*L);
    const bool inWork = !platform::fileExists(table);
    platform::db::Query q;
    try {
        q.setDatabaseName(inWork ? m->WorkDir() : platform::extractFilePath(table));
        q.setSql({QStringLiteral("Select *"), QStringLiteral("From \"") +
                                                  (inWork ? table : platform::extractFileName(table)) + u'"'});
        q.open();
        names = q.fieldNames();
        q.close();
    } catch (const platform::db::DbError &) {
        // A missing table leaves the lists empty; the fields keep their texts.
    }
    for (QComboBox *c : {cbFieldNameObject, cbFieldNameStreet, cbFieldNameHouse}) {
        c->clear();
        c->addItems(names);
    }
    clbViewFieldName->clear();
    for (const TMapLabel &label : L->Labels) {
        auto *item = new QListWidgetItem(label.FieldName, clbViewFieldName);
        item->setFlags(label.Removed ? Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled |
                                                                    Qt::ItemIsSelectable);
        item->setCheckState(label.Visible ? Qt::Checked : Qt::Unchecked);
    }
    shown_ = layerform::Show(*L, static_cast<int>(catalogueNames_.size()));
    setValues(shown_);
    ShowPenModeCaption(L->PenMode);
    DrawFillSample();
    DrawLineSample();
    DrawPointSample();
}

void TProLayer::setValues(const layerform::Values &v)
{
    EditName->setText(v.EditName);
    EditFileName->setText(v.EditFileName);
    EditFontName->setText(v.EditFontName);
    EditFontSize->setText(v.EditFontSize);
    EditSymbol->setText(v.EditSymbol);
    EditFontColor->setText(v.EditFontColor);
    EditFontScale->setText(v.EditFontScale);
    EditFontRotate->setText(v.EditFontRotate);
    cBoxFontBold->setChecked(v.cBoxFontBold);
    cBoxFontItalic->setChecked(v.cBoxFontItalic);
    cBoxFontUnderline->setChecked(v.cBoxFontUnderline);
    EditBitmap->setText(v.EditBitmap);
    EditPenWidth->setText(v.EditPenWidth);
    EditPenColor->setText(v.EditPenColor);
    EditBrushColor->setText(v.EditBrushColor);
    tbGamma->setValue(v.tbGamma);
    tbContrast->setValue(v.tbContrast);
    cbViewPoints->setChecked(v.cbViewPoints);
    cbViewShadow->setChecked(v.cbViewShadow);
    cbForAllObjects->setChecked(v.cbForAllObjects);
    cbViewInScale->setChecked(v.cbViewInScale);
    EditScaleMin->setText(v.EditScaleMin);
    EditScaleMax->setText(v.EditScaleMax);
    setComboText(cbFieldNameObject, v.cbFieldNameObject);
    setComboText(cbFieldNameStreet, v.cbFieldNameStreet);
    setComboText(cbFieldNameHouse, v.cbFieldNameHouse);
    kindGroup->setExclusive(false);
    for (QAbstractButton *b : kindGroup->buttons())
        b->setChecked(kindGroup->id(b) == v.objType);
    kindGroup->setExclusive(true);
    for (int i = 0; i < clbViewFieldName->count() && i < static_cast<int>(v.labelTicks.size()); ++i)
        clbViewFieldName->item(i)->setCheckState(v.labelTicks[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    cbTransform->setChecked(v.cbTransform);
    gbTransform->setVisible(v.cbTransform);
    cbProject->setCurrentIndex(v.cbProject);
    cbEllipsoid->setCurrentIndex(v.cbEllipsoid);
    setComboText(cbLongitude, v.cbLongitude);
    setComboText(cbLatitude, v.cbLatitude);
    edX->setText(v.edX);
    edY->setText(v.edY);
    edK->setText(v.edK);
    cbGISProject->setChecked(v.cbGISProject);
    gbProject->setVisible(v.cbGISProject);
    cbNumProject->setCurrentIndex(v.cbNumProject);
    setComboText(cbGPS, v.cbGPS);
    setComboText(cbDevice, v.cbDevice);
    setComboText(cbPIN, v.cbPIN);
}

layerform::Values TProLayer::values() const
{
    layerform::Values v;
    v.EditName = EditName->text();
    v.EditFileName = EditFileName->text();
    v.EditFontName = EditFontName->text();
    v.EditFontSize = EditFontSize->text();
    v.EditSymbol = EditSymbol->text();
    v.EditFontColor = EditFontColor->text();
    v.EditFontScale = EditFontScale->text();
    v.EditFontRotate = EditFontRotate->text();
    v.cBoxFontBold = cBoxFontBold->isChecked();
    v.cBoxFontItalic = cBoxFontItalic->isChecked();
    v.cBoxFontUnderline = cBoxFontUnderline->isChecked();
    v.EditBitmap = EditBitmap->text();
    v.EditPenWidth = EditPenWidth->text();
    v.EditPenColor = EditPenColor->text();
    v.EditBrushColor = EditBrushColor->text();
    v.tbGamma = tbGamma->value();
    v.tbContrast = tbContrast->value();
    v.cbViewPoints = cbViewPoints->isChecked();
    v.cbViewShadow = cbViewShadow->isChecked();
    v.cbForAllObjects = cbForAllObjects->isChecked();
    v.cbViewInScale = cbViewInScale->isChecked();
    v.EditScaleMin = EditScaleMin->text();
    v.EditScaleMax = EditScaleMax->text();
    v.cbFieldNameObject = cbFieldNameObject->currentText();
    v.cbFieldNameStreet = cbFieldNameStreet->currentText();
    v.cbFieldNameHouse = cbFieldNameHouse->currentText();
    v.objType = std::max(0, kindGroup->checkedId());
    for (int i = 0; i < clbViewFieldName->count(); ++i)
        v.labelTicks.push_back(clbViewFieldName->item(i)->checkState() == Qt::Checked);
    v.cbTransform = cbTransform->isChecked();
    v.cbProject = cbProject->currentIndex();
    v.cbEllipsoid = cbEllipsoid->currentIndex();
    v.cbLongitude = cbLongitude->currentText();
    v.cbLatitude = cbLatitude->currentText();
    v.edX = edX->text();
    v.edY = edY->text();
    v.edK = edK->text();
    v.cbGISProject = cbGISProject->isChecked();
    v.cbNumProject = cbNumProject->currentIndex();
    v.cbGPS = cbGPS->currentText();
    v.cbDevice = cbDevice->currentText();
    v.cbPIN = cbPIN->currentText();
    return v;
}

void TProLayer::Save()
{
    TMapLayer *L = layer();
    if (!L)
        return;
    const layerform::Saved saved = layerform::Save(shown_, values(), *L, catalogue_, catalogueNames_);
    dialogs::mapWindow().RefreshLayerRow(LayerDialogIndex);
    if (saved.projectionChanged)
        map()->RecalcLayerExtents(LayerDialogIndex);
    dialogs::mapWindow().RedrawMap();
    accept();
}

void TProLayer::switchGroups(QCheckBox *ticked)
{
    QCheckBox *other = ticked == cbTransform ? cbGISProject : cbTransform;
    if (ticked->isChecked())
        other->setChecked(false);
    gbTransform->setVisible(cbTransform->isChecked());
    gbProject->setVisible(cbGISProject->isChecked());
}

void TProLayer::NewLabel()
{
    TMapLayer *L = layer();
    if (!L)
        return;
    auto *item = new QListWidgetItem(QString(), clbViewFieldName);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    clbViewFieldName->setCurrentItem(item);
    TMapLabel label;
    label.Visible = true;
    label.Font.Position = 0;
    label.Font.FontName = EditFontName->text();
    label.Font.Size = static_cast<std::int32_t>(number(EditFontSize->text(), 0));
    label.Font.Color = colourNumber(EditFontColor->text());
    label.Font.Scale = static_cast<std::int32_t>(number(EditFontScale->text(), 0));
    label.Font.Rotate = number(EditFontRotate->text(), 0);
    label.Font.TextStyle = static_cast<Byte>((cBoxFontBold->isChecked() ? 1 : 0) |
                                             (cBoxFontItalic->isChecked() ? 2 : 0) |
                                             (cBoxFontUnderline->isChecked() ? 4 : 0));
    label.Font.BrushColor = colourNumber(EditBrushColor->text());
    label.Font.BrushStyle = 1;
    L->Labels.push_back(label);
    shown_.labelTicks.push_back(false);
    showLabelEntry(static_cast<int>(L->Labels.size()) - 1, QStringLiteral("New"));
}

void TProLayer::EditLabel()
{
    TMapLayer *L = layer();
    if (!L)
        return;
    if (clbViewFieldName->count() == 0) {
        NewLabel();
        return;
    }
    const int row = clbViewFieldName->currentRow();
    if (row < 0 || row >= static_cast<int>(L->Labels.size()))
        return;
    showLabelEntry(row, QStringLiteral("Edit"));
}

// The label dialog writes the entry itself; its item then shows the entry.
void TProLayer::showLabelEntry(int entry, const QString &mode)
{
    if (!dialogs::dialogSeams().ShowLabelEntry(LayerDialogIndex, entry, mode))
        return;
    const TMapLayer *L = layer();
    QListWidgetItem *item = clbViewFieldName->item(entry);
    if (!L || !item || entry >= static_cast<int>(L->Labels.size()))
        return;
    const TMapLabel &label = L->Labels[static_cast<size_t>(entry)];
    item->setText(label.FieldName);
    item->setCheckState(label.Visible ? Qt::Checked : Qt::Unchecked);
}

void TProLayer::DeleteLabel()
{
    TMapLayer *L = layer();
    const int row = clbViewFieldName->currentRow();
    if (!L || row < 0 || row >= static_cast<int>(L->Labels.size()))
        return;
    QListWidgetItem *item = clbViewFieldName->item(row);
    item->setCheckState(Qt::Unchecked);
    item->setFlags(Qt::ItemIsUserCheckable);
    L->Labels[static_cast<size_t>(row)].Visible = false;
    L->Labels[static_cast<size_t>(row)].Removed = true;
}

void TProLayer::pickLineStyle()
{
    const int choice = dialogs::dialogSeams().SelectLineStyle();
    if (TMapLayer *L = layer(); L && choice >= 0) {
        L->PenStyle = choice;
        DrawLineSample();
    }
}

void TProLayer::pickFillStyle()
{
    const int choice = dialogs::dialogSeams().SelectFillStyle();
    if (TMapLayer *L = layer(); L && choice >= 0) {
        L->BrushType = choice;
        DrawFillSample();
    }
}

void TProLayer::pickPointStyle()
{
    const int choice = dialogs::dialogSeams().SelectPointStyle();
    if (TMapLayer *L = layer(); L && choice >= 0) {
        L->PointStyle = choice;
        cbViewPoints->setChecked(L->PointStyle > 0);
        DrawPointSample();
    }
}

void TProLayer::pickSymbol()
{
    QString fontName = EditFontName->text();
    QChar symbol;
    if (dialogs::dialogSeams().SelectSymbol(fontName, symbol) && !fontName.isEmpty() && !symbol.isNull()) {
        EditFontName->setText(fontName);
        EditSymbol->setText(QString(symbol));
    }
}

void TProLayer::pickColour(QLineEdit *edit)
{
    if (!chooseColourInto(edit))
        return;
    DrawLineSample();
    DrawFillSample();
}

void TProLayer::showColour(QLineEdit *edit)
{
    if (edit->text().isEmpty()) {
        edit->setStyleSheet(QString());
        return;
    }
    const int c = colourNumber(edit->text());
    const QColor colour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    edit->setStyleSheet(QStringLiteral("background-color: %1; color: %2")
                            .arg(colour.name(), colour.lightness() < 128 ? QStringLiteral("white")
                                                                         : QStringLiteral("black")));
}

void TProLayer::SetFontSize(const QString &text) { EditFontSize->setText(text); }
void TProLayer::SetFontScale(const QString &text) { EditFontScale->setText(text); }
void TProLayer::SetScaleMin(const QString &text) { EditScaleMin->setText(text); }
void TProLayer::SetScaleMax(const QString &text) { EditScaleMax->setText(text); }
void TProLayer::SetFontRotate(const QString &text) { EditFontRotate->setText(text); }
void TProLayer::SetPenWidth(const QString &text)
{
    EditPenWidth->setText(text);
    DrawLineSample();
}

void TProLayer::ShowPenModeCaption(int code)
{
    const QString caption = layerform::penModeCaption(code);
    if (!caption.isEmpty())
        EditPenMode->setText(caption);
}

// The samples are drawn in 0.01 mm by the renderers of the style libraries
// the frame loaded (the service the pickers read too).
void TProLayer::DrawFillSample()
{
    const TMapLayer *L = layer();
    mapengine::StyleServices &styles = platform::Service<mapengine::StyleServices>::get();
    const int w = ImageBrush->width(), h = ImageBrush->height();
    Bitmap picture(w, h);
    if (L) {
        Canvas &c = picture.canvas();
        const int colour = colourNumber(EditBrushColor->text());
        c.setMapMode(MM_HIMETRIC);
        const QPoint corner = c.dpToLp(QPoint(w, h));
        const std::vector<QPoint> box = {QPoint(0, 0), QPoint(0, corner.y()), corner, QPoint(corner.x(), 0),
                                         QPoint(0, 0)};
        if (L->BrushType == 0) {
            c.setPen(Pen{PS_NULL, 0, static_cast<Color>(colour)});
            c.setBrush(Brush{BS_SOLID, static_cast<Color>(colour), HS_HORIZONTAL});
            c.polygon(box);
        } else {
            const MapControlCore *m = map();
            styles.DrawFillPattern(c, box, L->BrushType, colour, w, h, 1, 1, 0, m->View().UnitsPerPixelX,
                                    m->View().UnitsPerPixelY, false);
        }
    }
    picture.releaseCanvas();
    ImageBrush->setPixmap(QPixmap::fromImage(picture.image()));
}

void TProLayer::DrawLineSample()
{
    const TMapLayer *L = layer();
    mapengine::StyleServices &styles = platform::Service<mapengine::StyleServices>::get();
    const int w = ImageLine->width(), h = ImageLine->height();
    Bitmap picture(w, h);
    if (L) {
        Canvas &c = picture.canvas();
        c.setMapMode(MM_HIMETRIC);
        const QPoint corner = c.dpToLp(QPoint(w, h));
        const std::vector<QPoint> line = {QPoint(0, corner.y() / 2), QPoint(corner.x(), corner.y() / 2)};
        const int colour = colourNumber(EditPenColor->text());
        const int width = platform::roundToInt(number(EditPenWidth->text(), 0) * 100);
        if (L->PenStyle > 1) {
            styles.DrawLineStyle(c, line, L->PenStyle, colour, width, 1, 1, 0, 0, 0, true);
        } else {
            c.setPen(Pen{PS_SOLID, std::max(1, width), static_cast<Color>(colour)});
            c.polyline(line);
        }
    }
    picture.releaseCanvas();
    ImageLine->setPixmap(QPixmap::fromImage(picture.image()));
}

void TProLayer::DrawPointSample()
{
    const TMapLayer *L = layer();
    mapengine::StyleServices &styles = platform::Service<mapengine::StyleServices>::get();
    const int w = imgTypePoint->width(), h = imgTypePoint->height();
    Bitmap picture(w, h);
    if (L && L->PointStyle > 0) {
        Canvas &c = picture.canvas();
        c.setMapMode(MM_HIMETRIC);
        const QPoint middle = c.dpToLp(QPoint(w / 2, h / 2));
        styles.DrawPointStyle(c, {middle}, L->PointStyle, L->PenColor, 0, 0, 1, 1, 0);
    }
    picture.releaseCanvas();
    imgTypePoint->setPixmap(QPixmap::fromImage(picture.image()));
}

namespace {
TProLayer *ProLayerInstance = nullptr;
}

TProLayer *ProLayer()
{
    if (!ProLayerInstance)
        ProLayerInstance = new TProLayer;
    return ProLayerInstance;
}

TProLayer *ExistingProLayer()
{
    return ProLayerInstance;
}
