#include "dialogs/LabelDialogs.h"

#include "dialogs/FTransformForm.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "platform/ui/FormClass.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using dialogs::MapWindowHost;
using dialogs::ui::chooseColourInto;
using dialogs::ui::chooseFontInto;
using dialogs::ui::speedButton;
using dialogs::labels::LabelSettings;

namespace {

using platform::named;

TProLabel *ProLabelInstance = nullptr;
TNewLabel *NewLabelInstance = nullptr;

QLineEdit *edit(QWidget *parent, const char *name, int width = 70)
{
    auto *e = named(new QLineEdit(parent), name, "TEdit");
    e->setFixedWidth(width);
    return e;
}

QLabel *label(QWidget *parent, const QString &text)
{
    auto *l = new QLabel(text, parent);
    platform::setFormClass(l, "TLabel");
    return l;
}

// A colour number typed into an edit; what is no number is 0.
int colourOf(const QLineEdit *e)
{
    try {
        return MapFunctions::TextToInt(e->text());
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

double rotationOf(const QLineEdit *e)
{
    try {
        return MapFunctions::TextToFloat(e->text(), 0);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

MapControlCore *mapControl()
{
    return dialogs::mapWindow().mapControl();
}

} // namespace

// ---------------------------------------------------------------------------
// The shared form

TLabelForm::TLabelForm(const char *name, const char *formClass, const QString &caption, const QString &target)
    : QDialog(nullptr), target_(target)
{
    setObjectName(QString::fromLatin1(name));
    platform::tagForm(this, formClass, "TForm");
    setWindowTitle(caption);
    auto *root = new QVBoxLayout(this);

    top_ = new QGridLayout;
    top_->addWidget(label(this, QStringLiteral("Имя поля")), 0, 0);
    cbFieldName = named(new QComboBox(this), "cbFieldName", "TComboBox");
    cbFieldName->setEditable(true);
    cbFieldName->setMinimumWidth(220);
    top_->addWidget(cbFieldName, 0, 1);
    top_->setColumnStretch(1, 1);
    root->addLayout(top_);

    auto *middle = new QHBoxLayout;
    // Font.
    auto *fontBox = named(new QGroupBox(QStringLiteral("Шрифт"), this), "GroupBoxFont", "TGroupBox");
    auto *fg = new QGridLayout(fontBox);
    EditFontName = edit(fontBox, "EditFontName", 150);
    tbEditFont = speedButton(fontBox, "tbEditFont", QStringLiteral("…"), QStringLiteral("Выбор шрифта"));
    fg->addWidget(label(fontBox, QStringLiteral("Шрифт")), 0, 0);
    fg->addWidget(EditFontName, 0, 1, 1, 3);
    fg->addWidget(tbEditFont, 0, 4);
    EditFontSize = edit(fontBox, "EditFontSize", 50);
    SBSize = speedButton(fontBox, "SBSize", QStringLiteral("▾"), QStringLiteral("Размер шрифта"));
    fg->addWidget(label(fontBox, QStringLiteral("Размер")), 1, 0);
    fg->addWidget(EditFontSize, 1, 1);
    fg->addWidget(SBSize, 1, 2);
    EditFontColor = edit(fontBox, "EditFontColor", 80);
    SpeedButton13 = speedButton(fontBox, "SpeedButton13", QStringLiteral("■"), QStringLiteral("Выбор цвета линии"));
    fg->addWidget(label(fontBox, QStringLiteral("Цвет")), 2, 0);
    fg->addWidget(EditFontColor, 2, 1, 1, 2);
    fg->addWidget(SpeedButton13, 2, 3);
    EditFontScale = edit(fontBox, "EditFontScale", 70);
    SBScale2 = speedButton(fontBox, "SBScale2", QStringLiteral("▾"), QStringLiteral("Масштаб"));
    fg->addWidget(label(fontBox, QStringLiteral("Масштаб")), 3, 0);
    auto *scaleRow = new QHBoxLayout;
    scaleRow->addWidget(label(fontBox, QStringLiteral("1:")));
    scaleRow->addWidget(EditFontScale);
    scaleRow->addWidget(SBScale2);
    scaleRow->addStretch();
    fg->addLayout(scaleRow, 3, 1, 1, 4);
    EditFontRotate = edit(fontBox, "EditFontRotate", 50);
    SpeedButton16 = speedButton(fontBox, "SpeedButton16", QStringLiteral("↻"), QStringLiteral("Уменьшение"));
    SpeedButton17 = speedButton(fontBox, "SpeedButton17", QStringLiteral("↺"), QStringLiteral("Увеличение"));
    fg->addWidget(label(fontBox, QStringLiteral("Поворот")), 4, 0);
    fg->addWidget(EditFontRotate, 4, 1);
    fg->addWidget(SpeedButton16, 4, 2);
    fg->addWidget(SpeedButton17, 4, 3);
    cBoxFontBold = named(new QCheckBox(QStringLiteral("двойной"), fontBox), "cBoxFontBold", "TCheckBox");
    cBoxFontItalic = named(new QCheckBox(QStringLiteral("наклонный"), fontBox), "cBoxFontItalic", "TCheckBox");
    cBoxFontUnderline =
        named(new QCheckBox(QStringLiteral("подчёркивание"), fontBox), "cBoxFontUnderline", "TCheckBox");
    SpeedButton12 = speedButton(fontBox, "SpeedButton12", QStringLiteral("A"), QStringLiteral("Выбор шрифта"));
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(cBoxFontBold);
    styleRow->addWidget(cBoxFontItalic);
    styleRow->addWidget(cBoxFontUnderline);
    styleRow->addWidget(SpeedButton12);
    fg->addLayout(styleRow, 5, 0, 1, 5);
    middle->addWidget(fontBox);

    auto *rightColumn = new QVBoxLayout;
    // Background.
    auto *bgBox = named(new QGroupBox(QStringLiteral("Фон"), this), "GroupBoxBrush", "TGroupBox");
    auto *bg = new QGridLayout(bgBox);
    EditBrushColor = edit(bgBox, "EditBrushColor", 80);
    SBBgTextColor = speedButton(bgBox, "SBBgTextColor", QStringLiteral("■"), QStringLiteral("Выбор цвета фона"));
    bg->addWidget(label(bgBox, QStringLiteral("Цвет")), 0, 0);
    bg->addWidget(EditBrushColor, 0, 1);
    bg->addWidget(SBBgTextColor, 0, 2);
    ImageBrush = named(new QLabel(bgBox), "ImageBrush", "TImage");
    ImageBrush->setFixedSize(80, 22);
    ImageBrush->setFrameShape(QFrame::Box);
    SpeedButton11 = speedButton(bgBox, "SpeedButton11", QStringLiteral("▾"), QStringLiteral("Стиль фона"));
    bg->addWidget(label(bgBox, QStringLiteral("Стиль")), 1, 0);
    bg->addWidget(ImageBrush, 1, 1);
    bg->addWidget(SpeedButton11, 1, 2);
    rightColumn->addWidget(bgBox);

    // Alignment: the 3 × 3 buttons, the corners only shown.
    auto *alignBox = named(new QGroupBox(QStringLiteral("Выравнивание"), this), "GroupBoxAlignment", "TGroupBox");
    auto *ag = new QGridLayout(alignBox);
    auto *alignGroup = new QButtonGroup(this);
    struct Place {
        const char *name;
        const char *hint;
        const char *glyph;
        int row, column;
    };
    const Place align[9] = {
        {"sbCenter", "По центру", "·", 1, 1},          {"sbTop", "Сверху по центру", "▀", 0, 1},
        {"sbBottom", "Снизу по центру", "▄", 2, 1},    {"sbLeft", "По левому краю", "▌", 1, 0},
        {"sbRight", "По правому краю", "▐", 1, 2},     {"sbTopLeft", "Сверху по левому краю", "▛", 0, 0},
        {"sbBottomLeft", "Снизу по левому краю", "▙", 2, 0}, {"sbTopRight", "Сверху по правому краю", "▜", 0, 2},
        {"sbBottomRight", "Снизу по правому краю", "▟", 2, 2}};
    for (int code = 0; code < 9; ++code) {
        const Place &p = align[code];
        QToolButton *b = speedButton(alignBox, p.name, QString::fromUtf8(p.glyph), QString::fromUtf8(p.hint));
        b->setCheckable(true);
        b->setFixedSize(26, 26);
        // The corner buttons are never pressed by the user.
        b->setEnabled(code < 5);
        alignGroup->addButton(b, code);
        ag->addWidget(b, p.row, p.column);
        Alignment[static_cast<size_t>(code)] = b;
    }
    auto *alignRow = new QHBoxLayout;
    alignRow->addWidget(alignBox);

    // Position beside the point.
    auto *posBox = named(new QGroupBox(QStringLiteral("Позиция текста"), this), "GroupBoxPosition", "TGroupBox");
    auto *pg = new QGridLayout(posBox);
    const Place pos[9] = {
        {"rbCenterS", "Текст по центру точки", "", 1, 1},   {"rbTopS", "Текст над точкой", "", 0, 1},
        {"rbBottomS", "Текст под точкой", "", 2, 1},        {"rbLeftS", "Текст слева от точки", "", 1, 0},
        {"rbRightS", "Текст справа от точки", "", 1, 2},    {"rbTopLeft", "Текст слева над точкой", "", 0, 0},
        {"rbBottomLeft", "Текст слева под точкой", "", 2, 0}, {"rbTopRight", "Текст справа над точкой", "", 0, 2},
        {"rbBottomRight", "Текст справа под точкой", "", 2, 2}};
    for (int code = 0; code < 9; ++code) {
        const Place &p = pos[code];
        auto *r = named(new QRadioButton(posBox), p.name, "TRadioButton");
        r->setToolTip(QString::fromUtf8(p.hint));
        pg->addWidget(r, p.row, p.column);
        Position[static_cast<size_t>(code)] = r;
    }
    alignRow->addWidget(posBox);
    rightColumn->addLayout(alignRow);
    middle->addLayout(rightColumn);
    root->addLayout(middle);

    // Shift and format.
    auto *bottom = new QGridLayout;
    edShiftX = edit(this, "edShiftX", 60);
    sbShiftX = speedButton(this, "sbShiftX", QStringLiteral("▾"), QString());
    edShiftY = edit(this, "edShiftY", 60);
    sbShiftY = speedButton(this, "sbShiftY", QStringLiteral("▾"), QString());
    bottom->addWidget(label(this, QStringLiteral("Смещение Х")), 0, 0);
    bottom->addWidget(edShiftX, 0, 1);
    bottom->addWidget(sbShiftX, 0, 2);
    bottom->addWidget(label(this, QStringLiteral("Смещение Y")), 0, 3);
    bottom->addWidget(edShiftY, 0, 4);
    bottom->addWidget(sbShiftY, 0, 5);
    cbFormat = named(new QComboBox(this), "cbFormat", "TComboBox");
    cbFormat->setEditable(true);
    cbFormat->addItems(dialogs::labels::formatItems());
    bottom->addWidget(label(this, QStringLiteral("Формат")), 0, 6);
    bottom->addWidget(cbFormat, 0, 7);
    bottom->setColumnStretch(8, 1);
    root->addLayout(bottom);

    auto *buttons = new QHBoxLayout;
    BitBtn1 = named(new QPushButton(this), "BitBtn1", "TBitBtn");
    BitBtn2 = named(new QPushButton(QStringLiteral("Отменить"), this), "BitBtn2", "TBitBtn");
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    root->addLayout(buttons);

    connect(tbEditFont, &QToolButton::clicked, this, [this] { EditFontClick(); });
    connect(SpeedButton12, &QToolButton::clicked, this, [this] { EditFontClick(); });
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { FontColorClick(); });
    connect(SBBgTextColor, &QToolButton::clicked, this, [this] { BrushColorClick(); });
    connect(SBSize, &QToolButton::clicked, this, [this] { SizeClick(SBSize); });
    connect(sbShiftX, &QToolButton::clicked, this, [this] { SizeClick(sbShiftX); });
    connect(sbShiftY, &QToolButton::clicked, this, [this] { SizeClick(sbShiftY); });
    connect(SBScale2, &QToolButton::clicked, this, [this] { ScaleClick(); });
    connect(SpeedButton11, &QToolButton::clicked, this, [this] { BackgroundStyleClick(); });
    connect(SpeedButton16, &QToolButton::clicked, this, [this] { RotateClick(1); });
    connect(SpeedButton17, &QToolButton::clicked, this, [this] { RotateClick(2); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
}

void TLabelForm::addBesideField(QWidget *control)
{
    top_->addWidget(control, 0, 2);
}

void TLabelForm::SetSettings(const LabelSettings &s)
{
    cbFieldName->setCurrentText(s.fieldName);
    EditFontName->setText(s.fontName);
    EditFontSize->setText(s.fontSize);
    EditFontColor->setText(s.fontColor);
    EditFontScale->setText(s.fontScale);
    EditFontRotate->setText(s.fontRotate);
    cBoxFontBold->setChecked(s.bold);
    cBoxFontItalic->setChecked(s.italic);
    cBoxFontUnderline->setChecked(s.underline);
    EditBrushColor->setText(s.brushColor);
    FBrushStyle = s.brushStyle;
    const int a = s.alignment >= 0 && s.alignment <= 8 ? s.alignment : 0;
    const int p = s.position >= 0 && s.position <= 8 ? s.position : 0;
    Alignment[static_cast<size_t>(a)]->setChecked(true);
    Position[static_cast<size_t>(p)]->setChecked(true);
    edShiftX->setText(s.shiftX);
    edShiftY->setText(s.shiftY);
    cbFormat->setCurrentText(s.format);
    DrawBackgroundSample();
}

LabelSettings TLabelForm::Settings(int keptAlignment, int keptPosition) const
{
    LabelSettings s;
    s.fieldName = cbFieldName->currentText();
    s.fontName = EditFontName->text();
    s.fontSize = EditFontSize->text();
    s.fontColor = EditFontColor->text();
    s.fontScale = EditFontScale->text();
    s.fontRotate = EditFontRotate->text();
    s.bold = cBoxFontBold->isChecked();
    s.italic = cBoxFontItalic->isChecked();
    s.underline = cBoxFontUnderline->isChecked();
    s.brushColor = EditBrushColor->text();
    s.brushStyle = FBrushStyle;
    std::array<bool, 9> alignDown{}, posDown{};
    for (size_t i = 0; i < 9; ++i) {
        alignDown[i] = Alignment[i]->isChecked();
        posDown[i] = Position[i]->isChecked();
    }
    s.alignment = dialogs::labels::downCode(alignDown, keptAlignment);
    s.position = dialogs::labels::downCode(posDown, keptPosition);
    s.shiftX = edShiftX->text();
    s.shiftY = edShiftY->text();
    s.format = cbFormat->currentText();
    return s;
}

void TLabelForm::SetFontSize(const QString &text)
{
    EditFontSize->setText(text);
}

void TLabelForm::SetFontScale(const QString &text)
{
    EditFontScale->setText(text);
}

void TLabelForm::SetFontRotate(const QString &text)
{
    EditFontRotate->setText(text);
}

void TLabelForm::SetBackgroundStyle(int code)
{
    FBrushStyle = code;
}

void TLabelForm::DrawBackgroundSample()
{
    const int w = ImageBrush->width();
    const int h = ImageBrush->height();
    platform::gdi::Bitmap sample(w, h);
    platform::gdi::Canvas &c = sample.canvas();
    // No style shows the panel's colour as a solid area.
    const bool clear = FBrushStyle == 1;
    const QColor panel = palette().color(QPalette::Window);
    const platform::gdi::Color colour =
        clear ? platform::gdi::rgb(panel.red(), panel.green(), panel.blue())
              : static_cast<platform::gdi::Color>(colourOf(EditBrushColor)) & 0xFFFFFFu;
    c.setBrush(platform::gdi::brushFromStyleNumber(clear ? 0 : FBrushStyle, colour));
    c.setPen(platform::gdi::Pen{platform::gdi::PS_NULL, 1, 0});
    const std::vector<QPoint> box{QPoint(0, 0), QPoint(w, 0), QPoint(w, h), QPoint(0, h)};
    if (MapControlCore *map = mapControl())
        map->FillPolygon(c, box, 5);
    else
        c.polygon(box);
    ImageBrush->setPixmap(QPixmap::fromImage(sample.image()));
}

void TLabelForm::EditFontClick()
{
    chooseFontInto(EditFontName, EditFontSize, EditFontColor);
}

void TLabelForm::FontColorClick()
{
    chooseColourInto(EditFontColor);
}

void TLabelForm::BrushColorClick()
{
    if (chooseColourInto(EditBrushColor))
        DrawBackgroundSample();
}

void TLabelForm::SizeClick(const QWidget *)
{
    // The size popup opens under the size button whichever button asked.
    dialogs::mapWindow().popupStyleMenu(MapWindowHost::StylePopup::Size, target_, SBSize);
}

void TLabelForm::ScaleClick()
{
    dialogs::mapWindow().popupStyleMenu(MapWindowHost::StylePopup::Scale, target_ + QStringLiteral("TextScale"),
                                        SBScale2);
}

void TLabelForm::BackgroundStyleClick()
{
    dialogs::mapWindow().popupStyleMenu(MapWindowHost::StylePopup::Fill, target_, SpeedButton11);
}

void TLabelForm::RotateClick(int step)
{
    dialogs::mapWindow().stepTextRotation(target_, step, rotationOf(EditFontRotate));
}

// ---------------------------------------------------------------------------
// The label entry

TProLabel::TProLabel()
    : TLabelForm("ProLabel", "TProLabel", QStringLiteral("Параметры отображения обозначений"), QStringLiteral("Label"))
{
    cbVisible = named(new QCheckBox(QStringLiteral("Отображение"), this), "cbVisible", "TCheckBox");
    addBesideField(cbVisible);
    BitBtn1->setText(QStringLiteral("Сохранить"));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

bool TProLabel::PrepareToShow(int layer, int entry)
{
    LabelLayerIndex = layer;
    LabelEntryIndex = entry;
    saved_ = false;
    MapControlCore *map = mapControl();
    if (!map || layer < 0 || static_cast<size_t>(layer) >= map->Project().Layers.size())
        return false;
    const TMapLayer &L = map->Project().Layers[static_cast<size_t>(layer)];
    if (entry < 0 || static_cast<size_t>(entry) >= L.Labels.size())
        return false;
    cbFieldName->clear();
    cbFieldName->addItems(dialogs::labels::labelEntryFields(L, dialogs::labels::layerTableFields(*map, layer)));
    const LabelSettings s = dialogs::labels::settingsOfLabel(L.Labels[static_cast<size_t>(entry)]);
    cbVisible->setChecked(s.visible);
    SetSettings(s);
    return true;
}

void TProLabel::BitBtn1Click()
{
    MapControlCore *map = mapControl();
    if (map && LabelLayerIndex >= 0 && static_cast<size_t>(LabelLayerIndex) < map->Project().Layers.size()) {
        TMapLayer &L = map->Project().Layers[static_cast<size_t>(LabelLayerIndex)];
        if (LabelEntryIndex >= 0 && static_cast<size_t>(LabelEntryIndex) < L.Labels.size()) {
            TMapLabel &entry = L.Labels[static_cast<size_t>(LabelEntryIndex)];
            LabelSettings s = Settings(entry.Font.Center, entry.Font.Position);
            s.visible = cbVisible->isChecked();
            dialogs::labels::applySettings(s, entry);
            saved_ = true;
        }
    }
    accept();
}

bool TProLabel::Execute(int layer, int entry, const QString &mode)
{
    Hint = mode;
    if (!PrepareToShow(layer, entry))
        return false;
    platform::execModal(*this);
    return saved_;
}

// ---------------------------------------------------------------------------
// Adding labels

TNewLabel::TNewLabel()
    : TLabelForm("NewLabel", "TNewLabel", QStringLiteral("Добавить обозначения"), QStringLiteral("NewLabel"))
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label(box, QStringLiteral("Округление")));
    cbRound = named(new QComboBox(box), "cbRound", "TComboBox");
    cbRound->setEditable(true);
    cbRound->addItems(dialogs::labels::roundingItems());
    row->addWidget(cbRound);
    addBesideField(box);
    BitBtn1->setText(QStringLiteral("Создать"));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Hint = QStringLiteral("Cancel"); });
}

void TNewLabel::PrepareToShow()
{
    MapControlCore *map = mapControl();
    const platform::IniFile ini(dialogs::labels::iniFileName(map ? map->ProgramDir() : QString()));
    const LabelSettings s = dialogs::labels::readNewLabelDefaults(ini);
    cbFieldName->clear();
    SetSettings(s);
    cbRound->setCurrentText(s.rounding);
    NewLabelLayerIndex = dialogs::mapWindow().activeLayer();
    QStringList tableFields;
    if (map)
        tableFields = dialogs::labels::layerTableFields(*map,
                                                        dialogs::labels::newLabelFieldLayer(*map, NewLabelLayerIndex));
    cbFieldName->addItems(dialogs::labels::newLabelFields(tableFields));
    cbFieldName->setCurrentIndex(-1);
    cbFieldName->setCurrentText(QString());
    Hint = QStringLiteral("Cancel");
}

void TNewLabel::BitBtn1Click()
{
    MapControlCore *map = mapControl();
    platform::IniFile ini(dialogs::labels::iniFileName(map ? map->ProgramDir() : QString()));
    LabelSettings s = Settings();
    s.rounding = cbRound->currentText();
    if (!dialogs::labels::writeNewLabelDefaults(ini, s))
        platform::messageDlg(QStringLiteral("Невозможно записать файл ") + ini.fileName() + QStringLiteral(" !"),
                             platform::MsgType::Warning, platform::mbOK);
    Hint = QStringLiteral("Ok");
    accept();
}

dialogs::NewLabelAnswer TNewLabel::Answer() const
{
    dialogs::NewLabelAnswer a;
    a.EditFontName = EditFontName->text();
    a.EditFontSize = EditFontSize->text();
    a.EditFontColor = EditFontColor->text();
    a.EditFontScale = EditFontScale->text();
    a.EditFontRotate = EditFontRotate->text();
    a.EditBrushColor = EditBrushColor->text();
    a.edShiftX = edShiftX->text();
    a.edShiftY = edShiftY->text();
    a.cBoxFontBold = cBoxFontBold->isChecked();
    a.cBoxFontItalic = cBoxFontItalic->isChecked();
    a.cBoxFontUnderline = cBoxFontUnderline->isChecked();
    a.BackgroundStyle = static_cast<Byte>(FBrushStyle);
    bool *align[8] = {&a.sbTop, &a.sbBottom, &a.sbLeft, &a.sbRight,
                      &a.sbTopLeft, &a.sbBottomLeft, &a.sbTopRight, &a.sbBottomRight};
    for (size_t i = 0; i < 8; ++i)
        *align[i] = Alignment[i + 1]->isChecked();
    bool *pos[9] = {&a.rbCenterS, &a.rbTopS, &a.rbBottomS, &a.rbLeftS, &a.rbRightS,
                    &a.rbTopLeft, &a.rbBottomLeft, &a.rbTopRight, &a.rbBottomRight};
    for (size_t i = 0; i < 9; ++i)
        *pos[i] = Position[i]->isChecked();
    a.cbFieldName = cbFieldName->currentText();
    a.cbRound = cbRound->currentText();
    a.cbFormat = cbFormat->currentText();
    return a;
}

bool TNewLabel::Execute(dialogs::NewLabelAnswer &answer)
{
    PrepareToShow();
    platform::execModal(*this);
    if (Hint != u"Ok")
        return false;
    answer = Answer();
    return true;
}

// ---------------------------------------------------------------------------

TProLabel *ProLabel()
{
    if (!ProLabelInstance) {
        ProLabelInstance = new TProLabel;
        MapFunctions::TranslateForm(ProLabelInstance->objectName());
    }
    return ProLabelInstance;
}

TNewLabel *NewLabel()
{
    if (!NewLabelInstance) {
        NewLabelInstance = new TNewLabel;
        MapFunctions::TranslateForm(NewLabelInstance->objectName());
    }
    return NewLabelInstance;
}

TLabelForm *ExistingLabelForm(dialogs::StyleDialogKind kind)
{
    if (kind == dialogs::StyleDialogKind::Label)
        return ProLabelInstance;
    if (kind == dialogs::StyleDialogKind::NewLabel)
        return NewLabelInstance;
    return nullptr;
}
