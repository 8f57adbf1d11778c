#include "dialogs/FNewGeo.h"

#include "dialogs/FTransformForm.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace dialogs::ui;

namespace {

QComboBox *comboBox(QWidget *parent, const char *name, bool editable)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    return c;
}

// The position of the entry whose identifier (kept as the item's data) is
// the trimmed text; the first entry when none is.
int positionOfId(const QComboBox *c, const QString &id)
{
    const int at = c->findData(id.trimmed());
    return at >= 0 ? at : (c->count() > 0 ? 0 : -1);
}

void fillChoices(QComboBox *c, const std::vector<geodesy::NamedId> &choices)
{
    for (const geodesy::NamedId &e : choices)
        c->addItem(QString::fromUtf8(e.Name), QString::fromUtf8(e.Id));
}

// Fills a list with the names of the in-use projections, keeping its position.
void fillProjections(QComboBox *c, const geodesy::TProjectCatalogue &catalogue)
{
    const int position = c->currentIndex();
    c->clear();
    c->addItems(geodesy::projectionNames(catalogue));
    c->setCurrentIndex(position < c->count() ? position : -1);
}

// The editor's grid above its "Сохранить" and "Отменить" (which closes it);
// the form translated.
void layOutEditor(QDialog *d, QGridLayout *grid, QPushButton *&bSave, QPushButton *&bCancel, int minimumWidth)
{
    auto *layout = new QVBoxLayout(d);
    layout->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bSave = button(d, "bSave", QStringLiteral("Сохранить"));
    bCancel = button(d, "bCancel", QStringLiteral("Отменить"));
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);
    QObject::connect(bCancel, &QPushButton::clicked, d, &QDialog::reject);
    d->setMinimumWidth(minimumWidth);
    VykFunctions::TranslateForm(d->objectName());
}

} // namespace

// ---------------------------------------------------------------------------
// The projection editor

TNewGeoProject::TNewGeoProject() : QDialog(nullptr, Qt::Dialog)
{
    setObjectName(QStringLiteral("NewGeoProject"));
    platform::tagForm(this, "TNewGeoProject", "TForm");
    setWindowTitle(QStringLiteral("Параметры проекции"));
    auto *grid = new QGridLayout;
    edName = edit(this, "edName");
    cbProjection = comboBox(this, "cbProjection", false);
    fillChoices(cbProjection, geodesy::projectionChoices());
    cbEllipsoid = comboBox(this, "cbEllipsoid", false);
    fillChoices(cbEllipsoid, geodesy::ellipsoidChoices());
    cbLongitude = comboBox(this, "cbLongitude", true);
    for (int d = 20; d <= 40; ++d)
        cbLongitude->addItem(QStringLiteral("%1d00E").arg(d));
    cbLatitude = comboBox(this, "cbLatitude", true);
    cbLatitude->addItem(QStringLiteral("00d00N"));
    edK = edit(this, "edK");
    edX = edit(this, "edX");
    edY = edit(this, "edY");
    const struct {
        const char *name, *caption;
        QWidget *control;
    } rows[] = {
        {"lbName", "Наименование", edName},   {"lbProjection", "Проекция", cbProjection},
        {"lbEllipsoid", "Эллипсоид", cbEllipsoid}, {"lbLongitude", "Долгота", cbLongitude},
        {"lbLatitude", "Широта", cbLatitude}, {"lbK", "k =", edK},
        {"lbX", "X =", edX},                  {"lbY", "Y =", edY},
    };
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(label(this, r.name, QString::fromUtf8(r.caption)), row, 0);
        grid->addWidget(r.control, row++, 1);
    }
    layOutEditor(this, grid, bSave, bCancel, 420);
    connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
}

bool TNewGeoProject::Execute(geodesy::TProjectCatalogue &catalogue, const QString &mode, int index)
{
    Catalogue = &catalogue;
    EditIndex = index;
    Hint = mode;
    FormShow();
    platform::execModal(*this);
    return Hint == QStringLiteral("Ok");
}

void TNewGeoProject::FormShow()
{
    const bool editing = Hint == QStringLiteral("Edit") && Catalogue && EditIndex >= 0 &&
                         static_cast<size_t>(EditIndex) < Catalogue->Projects.size();
    if (!editing) {
        edName->clear();
        cbLongitude->setCurrentText(QStringLiteral("0d0E"));
        cbLatitude->setCurrentText(QStringLiteral("0d0N"));
        edK->setText(QStringLiteral("1"));
        edX->setText(QStringLiteral("0"));
        edY->setText(QStringLiteral("0"));
        cbProjection->setCurrentIndex(-1);
        cbEllipsoid->setCurrentIndex(-1);
        return;
    }
    const geodesy::TGeoProjectRecord &r = Catalogue->Projects[static_cast<size_t>(EditIndex)];
    edName->setText(r.Name);
    cbProjection->setCurrentIndex(positionOfId(cbProjection, r.Projection));
    cbEllipsoid->setCurrentIndex(positionOfId(cbEllipsoid, r.Ellipsoid));
    cbLongitude->setCurrentText(r.Longitude);
    cbLatitude->setCurrentText(r.Latitude);
    edK->setText(numberText(r.K));
    edX->setText(numberText(r.X0));
    edY->setText(numberText(r.Y0));
}

void TNewGeoProject::bSaveClick()
{
    if (!Catalogue)
        return;
    const bool editing = Hint == QStringLiteral("Edit") && EditIndex >= 0 &&
                         static_cast<size_t>(EditIndex) < Catalogue->Projects.size();
    const QString refusal = geodesy::projectionRefusal(*Catalogue, edName->text(), editing ? EditIndex : -1,
                                                       cbProjection->currentIndex() >= 0,
                                                       cbEllipsoid->currentIndex() >= 0);
    if (!refusal.isEmpty()) {
        platform::showMessage(refusal);
        return;
    }
    if (!editing) {
        geodesy::TGeoProjectRecord fresh;
        fresh.Id = geodesy::NextProjectionId(*Catalogue);
        Catalogue->Projects.push_back(fresh);
        EditIndex = static_cast<int>(Catalogue->Projects.size()) - 1;
    }
    geodesy::TGeoProjectRecord &r = Catalogue->Projects[static_cast<size_t>(EditIndex)];
    r.Name = edName->text();
    r.Projection = cbProjection->currentData().toString();
    r.Ellipsoid = cbEllipsoid->currentData().toString();
    r.Longitude = cbLongitude->currentText();
    r.Latitude = cbLatitude->currentText();
    r.K = number(edK->text(), 1);
    r.X0 = number(edX->text(), 0);
    r.Y0 = number(edY->text(), 0);
    r.InUse = true;
    Hint = QStringLiteral("Ok");
    done(platform::mrOk);
}

void TNewGeoProject::reject()
{
    Hint = QStringLiteral("Cancel");
    QDialog::reject();
}

// ---------------------------------------------------------------------------
// The transformation editor

TNewGeoSystem::TNewGeoSystem() : QDialog(nullptr, Qt::Dialog)
{
    setObjectName(QStringLiteral("NewGeoSystem"));
    platform::tagForm(this, "TNewGeoSystem", "TForm");
    setWindowTitle(QStringLiteral("Параметры преобразования"));
    auto *grid = new QGridLayout;
    edName = edit(this, "edName");
    cbSource = comboBox(this, "cbSource", false);
    cbDestination = comboBox(this, "cbDestination", false);
    grid->addWidget(label(this, "lbName", QStringLiteral("Наименование")), 0, 0);
    grid->addWidget(edName, 0, 1, 1, 4);
    auto listRow = [&](int row, const char *labelName, const QString &caption, QComboBox *list,
                       QToolButton *&create, QToolButton *&change, QToolButton *&remove, const char *n1,
                       const char *n2, const char *n3) {
        grid->addWidget(label(this, labelName, caption), row, 0);
        grid->addWidget(list, row, 1);
        create = speedButton(this, n1, QStringLiteral("Создать"), QStringLiteral("Создать"));
        change = speedButton(this, n2, QStringLiteral("..."), QStringLiteral("Свойства"));
        remove = speedButton(this, n3, QStringLiteral("Удалить"), QStringLiteral("Удалить"));
        grid->addWidget(create, row, 2);
        grid->addWidget(change, row, 3);
        grid->addWidget(remove, row, 4);
        connect(create, &QToolButton::clicked, this, [this] { NewProjection(); });
        connect(change, &QToolButton::clicked, this, [this, list] { EditProjection(list); });
        connect(remove, &QToolButton::clicked, this, [this, list] { DeleteProjection(list); });
    };
    listRow(1, "lbSource", QStringLiteral("Преобразовать из проекции"), cbSource, sbNewSource, sbEditSource,
            sbDeleteSource, "sbNewSource", "sbEditSource", "sbDeleteSource");
    listRow(2, "lbDestination", QStringLiteral("Преобразовать в проекцию"), cbDestination, sbNewDestination,
            sbEditDestination, sbDeleteDestination, "sbNewDestination", "sbEditDestination", "sbDeleteDestination");
    grid->setColumnStretch(1, 1);
    layOutEditor(this, grid, bSave, bCancel, 560);
    connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
}

bool TNewGeoSystem::Execute(geodesy::TProjectCatalogue &catalogue, int &current, const QString &mode)
{
    Catalogue = &catalogue;
    Current = &current;
    Hint = mode;
    FormShow();
    platform::execModal(*this);
    return Hint == QStringLiteral("Ok");
}

void TNewGeoSystem::FormShow()
{
    cbSource->clear();
    cbDestination->clear();
    RefillLists();
    cbSource->setCurrentIndex(-1);
    cbDestination->setCurrentIndex(-1);
    edName->clear();
    if (Hint != QStringLiteral("Edit") || !Catalogue || !Current || *Current < 0 ||
        static_cast<size_t>(*Current) >= Catalogue->Systems.size())
        return;
    const geodesy::TGeoSystemRecord &s = Catalogue->Systems[static_cast<size_t>(*Current)];
    edName->setText(s.Name);
    auto select = [this](QComboBox *list, std::int32_t id) {
        const int p = geodesy::FindProjectionById(*Catalogue, id);
        list->setCurrentIndex(p >= 0 && Catalogue->Projects[static_cast<size_t>(p)].InUse
                                  ? list->findText(Catalogue->Projects[static_cast<size_t>(p)].Name)
                                  : -1);
    };
    select(cbSource, s.Source);
    select(cbDestination, s.Destination);
}

void TNewGeoSystem::RefillLists()
{
    if (!Catalogue)
        return;
    fillProjections(cbSource, *Catalogue);
    fillProjections(cbDestination, *Catalogue);
}

void TNewGeoSystem::NewProjection()
{
    if (Catalogue && NewGeoProject()->Execute(*Catalogue, QStringLiteral("New")))
        RefillLists();
}

void TNewGeoSystem::EditProjection(QComboBox *list)
{
    if (!Catalogue)
        return;
    const int p = geodesy::FindProjectionByName(*Catalogue, list->currentText());
    if (p >= 0 && NewGeoProject()->Execute(*Catalogue, QStringLiteral("Edit"), p))
        RefillLists();
}

void TNewGeoSystem::DeleteProjection(QComboBox *list)
{
    if (!Catalogue)
        return;
    const int p = geodesy::FindProjectionByName(*Catalogue, list->currentText());
    if (p < 0)
        return;
    Catalogue->Projects[static_cast<size_t>(p)].InUse = false;
    RefillLists();
}

void TNewGeoSystem::bSaveClick()
{
    if (!Catalogue || !Current)
        return;
    const bool editing = Hint == QStringLiteral("Edit") && *Current >= 0 &&
                         static_cast<size_t>(*Current) < Catalogue->Systems.size();
    const int source = geodesy::FindProjectionByName(*Catalogue, cbSource->currentText());
    const int destination = geodesy::FindProjectionByName(*Catalogue, cbDestination->currentText());
    const QString refusal = geodesy::systemRefusal(*Catalogue, edName->text(), editing ? *Current : -1,
                                                   cbSource->currentIndex() >= 0 && source >= 0,
                                                   cbDestination->currentIndex() >= 0 && destination >= 0);
    if (!refusal.isEmpty()) {
        platform::showMessage(refusal);
        return;
    }
    if (!editing) {
        Catalogue->Systems.push_back({});
        *Current = static_cast<int>(Catalogue->Systems.size()) - 1;
    }
    geodesy::TGeoSystemRecord &s = Catalogue->Systems[static_cast<size_t>(*Current)];
    s.Name = edName->text();
    s.Source = Catalogue->Projects[static_cast<size_t>(source)].Id;
    s.Destination = Catalogue->Projects[static_cast<size_t>(destination)].Id;
    s.InUse = true;
    Hint = QStringLiteral("Ok");
    done(platform::mrOk);
}

void TNewGeoSystem::reject()
{
    Hint = QStringLiteral("Cancel");
    QDialog::reject();
}

TNewGeoProject *NewGeoProject()
{
    static TNewGeoProject *instance = nullptr;
    if (!instance)
        instance = new TNewGeoProject;
    return instance;
}

TNewGeoSystem *NewGeoSystem()
{
    static TNewGeoSystem *instance = nullptr;
    if (!instance)
        instance = new TNewGeoSystem;
    return instance;
}
