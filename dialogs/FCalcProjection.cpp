#include "dialogs/FCalcProjection.h"

#include "dialogs/FCalcProj.h"
#include "dialogs/FNewGeo.h"
#include "geodesy/PointTransform.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace dialogs::ui;

TCalcProjection::TCalcProjection()
    : TCatalogueForm("CalcProjection", "TCalcProjection", QStringLiteral("Преобразование по проекции"),
                     "cbProjections", "lbProjections", QStringLiteral("Проекция"), 520)
{
    cbProjections = List;
}

void TCalcProjection::RefillList()
{
    const int position = cbProjections->currentIndex();
    cbProjections->clear();
    cbProjections->addItems(geodesy::projectionNames(CalcProj()->Catalogue));
    cbProjections->setCurrentIndex(position < cbProjections->count() ? position : -1);
}

void TCalcProjection::FormShow()
{
    TTransformForm::FormShow();
    TCalcProj *holder = CalcProj();
    if (Map)
        holder->ProgramDir = Map->ProgramDir();
    holder->LoadProjects();
    RefillList();
}

void TCalcProjection::bTransformClick()
{
    if (cbProjections->currentIndex() < 0 || !ConfirmTransform())
        return;
    const geodesy::TProjectCatalogue &catalogue = CalcProj()->Catalogue;
    const int p = geodesy::FindProjectionByName(catalogue, cbProjections->currentText());
    const QString definition = p >= 0 ? geodesy::BuildProjString(catalogue.Projects[static_cast<size_t>(p)])
                                      : QString();
    if (Map)
        Map->TransformObjects(geodesy::tkOneProjection, RoundingDigits(), 1, 0, 0, 1, 0, definition, {});
    answerOk();
}

void TCalcProjection::sbNewClick()
{
    if (NewGeoProject()->Execute(CalcProj()->Catalogue, QStringLiteral("New")))
        RefillList();
}

void TCalcProjection::sbEditClick()
{
    geodesy::TProjectCatalogue &catalogue = CalcProj()->Catalogue;
    const int p = geodesy::FindProjectionByName(catalogue, cbProjections->currentText());
    if (p >= 0 && NewGeoProject()->Execute(catalogue, QStringLiteral("Edit"), p))
        RefillList();
}

void TCalcProjection::sbDeleteClick()
{
    geodesy::TProjectCatalogue &catalogue = CalcProj()->Catalogue;
    const int p = geodesy::FindProjectionByName(catalogue, cbProjections->currentText());
    if (p < 0)
        return;
    catalogue.Projects[static_cast<size_t>(p)].InUse = false;
    RefillList();
}

void TCalcProjection::sbSaveClick()
{
    CalcProj()->SaveProjects();
    RefillList();
}

TCalcProjection *CalcProjection()
{
    static TCalcProjection *instance = nullptr;
    if (!instance)
        instance = new TCalcProjection;
    return instance;
}
