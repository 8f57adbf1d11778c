#include "dialogs/FCalcShift.h"

#include "dialogs/FCalcTransform.h"
#include "geodesy/PointTransform.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/UserAnswers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

using namespace dialogs::ui;

namespace {
const QString FreeParameters = QStringLiteral("Призвольные параметры ...");
}

TCalcShift::TCalcShift()
    : TTransformForm("CalcShift", "TCalcShift",
                     QStringLiteral("Перевод из одной прямоугольной системы координат в другую по ключу перехода на "
                                    "плоскости"))
{
    auto *grid = new QGridLayout;
    cbKeys = new QComboBox(this);
    cbKeys->setObjectName(QStringLiteral("cbKeys"));
    sbSave = speedButton(this, "sbSave", QString(), QStringLiteral("Сохранение параметров"));
    sbSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    sbDelete = speedButton(this, "sbDelete", QString(), QStringLiteral("Удаление текущего параметра"));
    sbDelete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    sbCalcKey = speedButton(this, "sbCalcKey", QStringLiteral("..."), QStringLiteral("Вычисление параметров"));
    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(cbKeys, 1);
    keyRow->addWidget(sbSave);
    keyRow->addWidget(sbDelete);
    keyRow->addWidget(sbCalcKey);
    grid->addWidget(label(this, "lbKeys", QStringLiteral("Параметры")), 0, 0);
    grid->addLayout(keyRow, 0, 1);
    edName = edit(this, "edName");
    edCx = edit(this, "edCx", QStringLiteral("0"));
    edCy = edit(this, "edCy", QStringLiteral("0"));
    edKof = edit(this, "edKof", QStringLiteral("1"));
    edSinA = edit(this, "edSinA", QStringLiteral("0"));
    edCosA = edit(this, "edCosA", QStringLiteral("1"));
    cbKof = new QCheckBox(QStringLiteral("k = "), this);
    cbKof->setObjectName(QStringLiteral("cbKof"));
    grid->addWidget(label(this, "lbName", QStringLiteral("Наименование")), 1, 0);
    grid->addWidget(edName, 1, 1);
    grid->addWidget(label(this, "lbCx", QStringLiteral("Cx = ")), 2, 0);
    grid->addWidget(edCx, 2, 1);
    grid->addWidget(label(this, "lbCy", QStringLiteral("Cy = ")), 3, 0);
    grid->addWidget(edCy, 3, 1);
    grid->addWidget(cbKof, 4, 0);
    grid->addWidget(edKof, 4, 1);
    grid->addWidget(label(this, "lbSinA", QStringLiteral("sin a = ")), 5, 0);
    grid->addWidget(edSinA, 5, 1);
    grid->addWidget(label(this, "lbCosA", QStringLiteral("cos a = ")), 6, 0);
    grid->addWidget(edCosA, 6, 1);
    Body->addLayout(grid);
    Body->addWidget(makeRoundingRow(QStringLiteral("Округление")));
    connect(sbSave, &QToolButton::clicked, this, [this] { sbSaveClick(); });
    connect(sbDelete, &QToolButton::clicked, this, [this] { sbDeleteClick(); });
    connect(sbCalcKey, &QToolButton::clicked, this, [this] { sbCalcKeyClick(); });
    setMinimumWidth(520);
    VykFunctions::TranslateForm(objectName());
}

QString TCalcShift::keyFile() const
{
    return geodesy::keyFileName(Map ? Map->ProgramDir() : QString());
}

void TCalcShift::LoadKeys()
{
    Keys = geodesy::LoadKeys(keyFile());
    cbKeys->clear();
    cbKeys->addItem(FreeParameters);
    for (const geodesy::TGeoKeyRecord &k : Keys)
        cbKeys->addItem(k.Name);
    cbKeys->setCurrentIndex(0);
}

void TCalcShift::FormShow()
{
    TTransformForm::FormShow();
    LoadKeys();
}

int TCalcShift::SelectedKey() const
{
    const int position = cbKeys->currentIndex();
    return position > 0 && position <= static_cast<int>(Keys.size()) ? position - 1 : -1;
}

void TCalcShift::bTransformClick()
{
    if (!ConfirmTransform())
        return;
    const int key = SelectedKey();
    const geodesy::TGeoKeyRecord *stored = key >= 0 ? &Keys[static_cast<size_t>(key)] : nullptr;
    double k = 1;
    if (cbKof->isChecked())
        k = stored ? stored->K : number(edKof->text(), 1);
    const double cx = stored ? stored->Cx : number(edCx->text(), 0);
    const double cy = stored ? stored->Cy : number(edCy->text(), 0);
    const double cosA = stored ? stored->CosA : number(edCosA->text(), 0);
    const double sinA = stored ? stored->SinA : number(edSinA->text(), 0);
    if (Map)
        Map->TransformObjects(geodesy::tkKey, RoundingDigits(), k, cx, cy, cosA, sinA, {}, {});
    answerOk();
}

bool TCalcShift::storeKeys()
{
    if (!geodesy::SaveKeys(keyFile(), Keys)) {
        platform::showMessage(QStringLiteral("Невозможно записать файл ") + keyFile() + QStringLiteral(" !"));
        LoadKeys();
        return false;
    }
    LoadKeys();
    return true;
}

void TCalcShift::sbSaveClick()
{
    geodesy::TGeoKeyRecord r;
    r.Name = edName->text();
    r.Cx = number(edCx->text(), 0);
    r.Cy = number(edCy->text(), 0);
    r.K = number(edKof->text(), 0);
    r.SinA = number(edSinA->text(), 0);
    r.CosA = number(edCosA->text(), 0);
    const int key = SelectedKey();
    if (key >= 0)
        Keys[static_cast<size_t>(key)] = r;
    else
        Keys.push_back(r);
    if (storeKeys())
        cbKeys->setCurrentIndex(cbKeys->count() - 1);
}

void TCalcShift::sbDeleteClick()
{
    const int key = SelectedKey();
    if (key < 0)
        return;
    if (!confirm(QStringLiteral("Удалить параметры преобразования ") + Keys[static_cast<size_t>(key)].Name +
                 QStringLiteral(" ?")))
        return;
    Keys.erase(Keys.begin() + key);
    storeKeys();
}

void TCalcShift::sbCalcKeyClick()
{
    TCalcTransform *calc = CalcTransform();
    calc->Execute(Map ? Map->ProgramDir() : QString(), this);
}

TCalcShift *CalcShift()
{
    static TCalcShift *instance = nullptr;
    if (!instance)
        instance = new TCalcShift;
    return instance;
}
