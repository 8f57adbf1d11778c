#include "dialogs/FCalcProj.h"

#include "dialogs/FNewGeo.h"
#include "geodesy/PointTransform.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/UserAnswers.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace dialogs::ui;

TCalcProj::TCalcProj()
    : TCatalogueForm("CalcProj", "TCalcProj", QStringLiteral("Преобразование системы координат"), "cbSystems",
                     "lbSystems", QStringLiteral("Преобразование"), 560)
{
    cbSystems = List;
}

void TCalcProj::LoadProjects()
{
    Catalogue = geodesy::LoadProjects(geodesy::catalogueFileName(ProgramDir));
    // The header's index counts the records in use, as the list shows them.
    cbSystems->clear();
    cbSystems->addItems(geodesy::systemNames(Catalogue));
    cbSystems->setCurrentIndex(Catalogue.Current >= 0 && Catalogue.Current < cbSystems->count() ? Catalogue.Current
                                                                                                 : -1);
}

bool TCalcProj::SaveProjects()
{
    const QString file = geodesy::catalogueFileName(ProgramDir);
    if (!geodesy::SaveProjects(file, Catalogue)) {
        // The records made in the editors stay for another try.
        platform::showMessage(QStringLiteral("Невозможно записать файл ") + file + QStringLiteral(" !"));
        RefillList(CurrentSystem());
        return false;
    }
    LoadProjects();
    return true;
}

void TCalcProj::RefillList(int select)
{
    cbSystems->clear();
    cbSystems->addItems(geodesy::systemNames(Catalogue));
    const bool valid = select >= 0 && static_cast<size_t>(select) < Catalogue.Systems.size() &&
                       Catalogue.Systems[static_cast<size_t>(select)].InUse;
    cbSystems->setCurrentIndex(valid ? cbSystems->findText(Catalogue.Systems[static_cast<size_t>(select)].Name)
                                     : -1);
}

int TCalcProj::CurrentSystem() const
{
    return geodesy::FindSystemByName(Catalogue, cbSystems->currentText());
}

void TCalcProj::FormShow()
{
    TTransformForm::FormShow();
    if (Map)
        ProgramDir = Map->ProgramDir();
    LoadProjects();
}

void TCalcProj::bTransformClick()
{
    const int system = CurrentSystem();
    if (system < 0 || !ConfirmTransform())
        return;
    // A projection gone from the catalogue gives an empty definition, which
    // the set-up refuses with its message.
    const QString source = geodesy::GetSystemDefinition(Catalogue, system, 1);
    const QString destination = geodesy::GetSystemDefinition(Catalogue, system, 2);
    if (Map)
        Map->TransformObjects(geodesy::tkProjections, RoundingDigits(), 1, 0, 0, 1, 0, source, destination);
    answerOk();
}

void TCalcProj::sbNewClick()
{
    int current = CurrentSystem();
    if (NewGeoSystem()->Execute(Catalogue, current, QStringLiteral("New")))
        RefillList(current);
}

void TCalcProj::sbEditClick()
{
    int current = CurrentSystem();
    if (current >= 0 && NewGeoSystem()->Execute(Catalogue, current, QStringLiteral("Edit")))
        RefillList(current);
}

void TCalcProj::sbDeleteClick()
{
    const int current = CurrentSystem();
    if (current < 0)
        return;
    Catalogue.Systems[static_cast<size_t>(current)].InUse = false;
    RefillList(-1);
}

void TCalcProj::sbSaveClick()
{
    Catalogue.Current = cbSystems->currentIndex();
    SaveProjects();
}

TCalcProj *CalcProj()
{
    static TCalcProj *instance = nullptr;
    if (!instance)
        instance = new TCalcProj;
    return instance;
}
