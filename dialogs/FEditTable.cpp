#include "dialogs/FEditTable.h"

#include "dialogs/TableStructure.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/db/DbTypes.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/FormClass.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

using dialogs::tables::TableField;
using platform::db::DbError;

namespace {

using platform::named;

TNewField *NewFieldInstance = nullptr;
TEditTable *EditTableInstance = nullptr;
constexpr int LetterRole = Qt::UserRole + 1;

enum Column { ColName = 1, ColFormat = 2, ColSize = 3, ColDec = 4, ColNote = 5 };

QString decimalsText(int decimals)
{
    return decimals == 0 ? QString() : QString::number(decimals);
}

} // namespace

TNewField *NewField()
{
    if (!NewFieldInstance) {
        NewFieldInstance = new TNewField(nullptr);
        MapFunctions::TranslateForm(NewFieldInstance->objectName());
    }
    return NewFieldInstance;
}

TEditTable *EditTable()
{
    if (!EditTableInstance) {
        EditTableInstance = new TEditTable(nullptr);
        MapFunctions::TranslateForm(EditTableInstance->objectName());
    }
    return EditTableInstance;
}

void FreeTableEditor()
{
    delete EditTableInstance;
    EditTableInstance = nullptr;
    delete NewFieldInstance;
    NewFieldInstance = nullptr;
}

void CloseTableEditorQueries()
{
    if (EditTableInstance) {
        EditTableInstance->Table->close();
        EditTableInstance->tmpTable->close();
        EditTableInstance->Query->close();
    }
}

// ---------------------------------------------------------------------------
// The field dialog

TNewField::TNewField(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NewField"));
    platform::tagForm(this, "TNewField", "TForm");
    setWindowTitle(QStringLiteral("Создание поля"));
    auto *grid = new QGridLayout(this);
    edFieldName = named(new QLineEdit(this), "edFieldName", "TEdit");
    cbFieldType = named(new QComboBox(this), "cbFieldType", "TComboBox");
    cbFieldType->addItems(dialogs::tables::formatTexts());
    edFieldSize = named(new QLineEdit(this), "edFieldSize", "TEdit");
    Label5 = named(new QLabel(QStringLiteral("."), this), "Label5", "TLabel");
    cbFieldSize = named(new QComboBox(this), "cbFieldSize", "TComboBox");
    cbFieldSize->setEditable(true);
    for (int i = 0; i <= 6; ++i)
        cbFieldSize->addItem(QString::number(i));
    edFieldNote = named(new QLineEdit(this), "edFieldNote", "TEdit");
    grid->addWidget(named(new QLabel(QStringLiteral("Имя поля"), this), "Label1", "TLabel"), 0, 0);
    grid->addWidget(edFieldName, 0, 1, 1, 3);
    grid->addWidget(named(new QLabel(QStringLiteral("Формат"), this), "Label2", "TLabel"), 1, 0);
    grid->addWidget(cbFieldType, 1, 1, 1, 3);
    grid->addWidget(named(new QLabel(QStringLiteral("Размер"), this), "Label3", "TLabel"), 2, 0);
    grid->addWidget(edFieldSize, 2, 1);
    grid->addWidget(Label5, 2, 2);
    grid->addWidget(cbFieldSize, 2, 3);
    grid->addWidget(named(new QLabel(QStringLiteral("Описание"), this), "Label4", "TLabel"), 3, 0);
    grid->addWidget(edFieldNote, 3, 1, 1, 3);
    BitBtn1 = named(new QPushButton(QStringLiteral("Создать"), this), "BitBtn1", "TBitBtn");
    BitBtn2 = named(new QPushButton(QStringLiteral("Отменить"), this), "BitBtn2", "TBitBtn");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, 4, 0, 1, 4);
    connect(cbFieldType, &QComboBox::currentIndexChanged, this, [this] { UpdateTypeControls(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        Hint = QStringLiteral("Cancel");
        reject();
    });
    UpdateTypeControls();
}

void TNewField::UpdateTypeControls()
{
    const char letter = dialogs::tables::formatLetter(cbFieldType->currentText());
    const bool withDecimals = letter == 'N';
    edFieldSize->setVisible(true);
    edFieldSize->setEnabled(letter == 'C' || letter == 'N');
    if (letter == 'D')
        edFieldSize->setText(QStringLiteral("8"));
    else if (letter == 'L')
        edFieldSize->setText(QStringLiteral("1"));
    cbFieldSize->setVisible(withDecimals);
    Label5->setVisible(withDecimals);
    if (!withDecimals)
        cbFieldSize->setEditText(QString());
}

void TNewField::prepareToShow()
{
    Hint = QStringLiteral("Cancel");
    UpdateTypeControls();
}

void TNewField::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareToShow();
}

void TNewField::BitBtn1Click()
{
    const QString name = edFieldName->text().trimmed();
    const char letter = dialogs::tables::formatLetter(cbFieldType->currentText());
    if (name.isEmpty() || cbFieldType->currentText().trimmed().isEmpty())
        return;
    // A descriptor has room for ten bytes of name: a longer one is refused
    // rather than cut behind the user's back.
    if (!dialogs::tables::fieldNameFits(name)) {
        platform::messageDlg(QStringLiteral("Имя поля ") + name + QStringLiteral(" длиннее ")
                                 + QString::number(dialogs::tables::MaxFieldNameBytes) + QStringLiteral(" символов !"),
                             platform::MsgType::Warning, platform::mbOK);
        return;
    }
    edFieldName->setText(platform::ansiUpperCase(name));
    const dialogs::tables::FieldLimits limits =
        dialogs::tables::limitField(letter, dialogs::tables::numberFromText(edFieldSize->text()), dialogs::tables::numberFromText(cbFieldSize->currentText()));
    edFieldSize->setText(QString::number(limits.size));
    cbFieldSize->setEditText(decimalsText(limits.decimals));
    Hint = QStringLiteral("Ok");
    accept();
}

// ---------------------------------------------------------------------------
// The editor

TEditTable::TEditTable(QWidget *parent)
    : QDialog(parent), Table(std::make_unique<platform::db::Table>()),
      tmpTable(std::make_unique<platform::db::Table>()), Query(std::make_unique<platform::db::Query>())
{
    setObjectName(QStringLiteral("EditTable"));
    platform::tagForm(this, "TEditTable", "TForm");
    setWindowTitle(QStringLiteral("Редактирование таблицы"));
    resize(560, 420);
    auto *layout = new QVBoxLayout(this);
    StringGrid1 = named(new QTableWidget(0, 6, this), "StringGrid1", "TStringGrid");
    StringGrid1->setHorizontalHeaderLabels({QString(), QStringLiteral("Имя поля"), QStringLiteral("Формат"),
                                            QStringLiteral("Размер"), QStringLiteral("Дробь"),
                                            QStringLiteral("Описание")});
    StringGrid1->setColumnWidth(0, 14);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->verticalHeader()->setSectionsMovable(true);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(StringGrid1, 1);

    auto *edits = new QGridLayout;
    auto edit = [&](const char *name, const QString &caption, int column) {
        auto *e = named(new QLineEdit(this), name, "TEdit");
        e->setReadOnly(true);
        edits->addWidget(new QLabel(caption, this), 0, column);
        edits->addWidget(e, 1, column);
        return e;
    };
    edFieldName = edit("edFieldName", QStringLiteral("Имя поля"), 0);
    edFieldFormat = edit("edFieldFormat", QStringLiteral("Формат"), 1);
    edFieldSize = edit("edFieldSize", QStringLiteral("Размер"), 2);
    edFieldDec = edit("edFieldDec", QStringLiteral("."), 3);
    edFieldNote = edit("edFieldNote", QStringLiteral("Описание"), 4);
    layout->addLayout(edits);

    PopupMenu1 = named(new QMenu(this), "PopupMenu1", "TPopupMenu");
    nAppend = named(PopupMenu1->addAction(QStringLiteral("Создать")), "nAppend", "TMenuItem");
    nEdit = named(PopupMenu1->addAction(QStringLiteral("Изменить")), "nEdit", "TMenuItem");
    nDelete = named(PopupMenu1->addAction(QStringLiteral("Удалить")), "nDelete", "TMenuItem");
    connect(nAppend, &QAction::triggered, this, [this] { nAppendClick(); });
    connect(nEdit, &QAction::triggered, this, [this] { nEditClick(); });
    connect(nDelete, &QAction::triggered, this, [this] { nDeleteClick(); });
    connect(StringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(p)); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this] { ShowCurrentRow(); });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this] { ShowCurrentRow(); });
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) {
                // The grid's rows stay in table order; the move rebuilds the table.
                QHeaderView *header = StringGrid1->verticalHeader();
                const bool was = header->blockSignals(true);
                header->moveSection(to, from);
                header->blockSignals(was);
                MoveRow(from, to);
            });
}

TEditTable::~TEditTable()
{
    FinishEditing();
}

QString TEditTable::cell(int row, int column) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

void TEditTable::setRow(int row, const QString &name, const QString &format, const QString &size,
                        const QString &dec, const QString &note)
{
    const QString texts[] = {QString(), name, format, size, dec, note};
    for (int c = 0; c < 6; ++c) {
        QTableWidgetItem *item = StringGrid1->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            StringGrid1->setItem(row, c, item);
        }
        item->setText(texts[c]);
    }
}

bool TEditTable::LoadTable()
{
    setWindowTitle(QStringLiteral("Редактирование таблицы [") + FTableFile + u']');
    const QString base = platform::changeFileExt(FTableFile, QString());
    FNewFile = base + QStringLiteral("~.dbf");
    FBackupFile = base + QStringLiteral("~~.dbf");
    FDescFile = base + QStringLiteral(".dfn");
    StringGrid1->setRowCount(0);
    if (!platform::fileExists(FTableFile)) {
        platform::showMessage(QStringLiteral("База данных ") + FTableFile + QStringLiteral(" не найдена !"));
        return false;
    }
    finished_ = false;
    backupNeeded_ = false;
    const platform::IniFile descriptions(FDescFile);
    const std::vector<TableField> fields = dialogs::tables::readTableFieldsFromFile(FTableFile);
    StringGrid1->setRowCount(static_cast<int>(fields.size()));
    for (int r = 0; r < static_cast<int>(fields.size()); ++r) {
        const TableField &f = fields[static_cast<size_t>(r)];
        setRow(r, f.name, dialogs::tables::formatText(f.type), QString::number(f.size), decimalsText(f.decimals),
               descriptions.readString(u"Table", f.name, QString()));
        StringGrid1->item(r, ColName)->setData(LetterRole, QChar::fromLatin1(f.type));
    }
    if (StringGrid1->rowCount() > 0)
        StringGrid1->setCurrentCell(0, ColName);
    ShowCurrentRow();
    return true;
}

void TEditTable::ShowCurrentRow()
{
    const int r = StringGrid1->currentRow();
    edFieldName->setText(cell(r, ColName));
    edFieldFormat->setText(cell(r, ColFormat));
    edFieldSize->setText(cell(r, ColSize));
    edFieldDec->setText(cell(r, ColDec));
    edFieldNote->setText(cell(r, ColNote));
}

bool TEditTable::RebuildTable(const QString &oldName, const QString &newName)
{
    QStringList specs;
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        if (cell(r, ColName).trimmed().isEmpty())
            continue;
        char letter = dialogs::tables::formatLetter(cell(r, ColFormat));
        // A field of a type the editor has no format for keeps its own.
        if (!letter && StringGrid1->item(r, ColName))
            letter = static_cast<char>(StringGrid1->item(r, ColName)->data(LetterRole).toChar().toLatin1());
        specs << dialogs::tables::fieldSpec(cell(r, ColName), letter, cell(r, ColSize), cell(r, ColDec));
    }
    auto fail = [](const QString &message) {
        platform::messageDlg(message, platform::MsgType::Error, platform::mbOK);
        return false;
    };
    // The backup is the only whole copy of the table: it is not written over.
    if (backupNeeded_)
        return fail(QStringLiteral("Таблица ") + FTableFile + QStringLiteral(" не восстановлена из файла ")
                    + FBackupFile + QStringLiteral(" !"));
    try {
        Table->close();
        tmpTable->close();
        dialogs::tables::CreateDbfFile(FNewFile, specs);
        dialogs::tables::CopyRecords(FTableFile, FNewFile, oldName, newName);
    } catch (const DbError &e) {
        return fail(e.message());
    }
    // The old files are kept until the editor closes; the table's ".dbf" and
    // ".dbt" are replaced together.
    const QString error = dialogs::tables::ReplaceTableFiles(FNewFile, FTableFile, FBackupFile, backupNeeded_);
    return error.isEmpty() || fail(error);
}

void TEditTable::nAppendClick()
{
    TNewField *dialog = NewField();
    dialog->edFieldName->clear();
    dialog->edFieldNote->clear();
    dialog->prepareToShow();
    platform::execModal(*dialog);
    if (dialog->Hint != u"Ok")
        return;
    const int row = StringGrid1->rowCount();
    StringGrid1->insertRow(row);
    setRow(row, dialog->edFieldName->text(), dialog->cbFieldType->currentText(), dialog->edFieldSize->text(),
           dialog->cbFieldSize->currentText(), dialog->edFieldNote->text());
    StringGrid1->setCurrentCell(row, ColName);
    RebuildTable();
    ShowCurrentRow();
}

void TEditTable::nEditClick()
{
    const int row = StringGrid1->currentRow();
    if (row < 0)
        return;
    TNewField *dialog = NewField();
    const QString oldName = cell(row, ColName), oldFormat = cell(row, ColFormat), oldSize = cell(row, ColSize),
                  oldDec = cell(row, ColDec);
    dialog->edFieldName->setText(oldName);
    const int type = dialog->cbFieldType->findText(oldFormat);
    if (type >= 0)
        dialog->cbFieldType->setCurrentIndex(type);
    dialog->edFieldSize->setText(oldSize);
    dialog->cbFieldSize->setEditText(oldDec);
    dialog->edFieldNote->setText(cell(row, ColNote));
    dialog->prepareToShow();
    dialog->edFieldSize->setText(oldSize);
    dialog->cbFieldSize->setEditText(oldDec);
    platform::execModal(*dialog);
    if (dialog->Hint != u"Ok")
        return;
    QString name = dialog->edFieldName->text(), format = dialog->cbFieldType->currentText(),
            size = dialog->edFieldSize->text(), dec = dialog->cbFieldSize->currentText();
    // A field of a type the dialog has no format for (a memo) keeps its type
    // and size: only its name and description change.
    if (oldFormat.isEmpty()) {
        format = oldFormat;
        size = oldSize;
        dec = oldDec;
    }
    setRow(row, name, format, size, dec, dialog->edFieldNote->text());
    if (name != oldName || format != oldFormat || size != oldSize || dec != oldDec)
        RebuildTable(oldName, name);
    ShowCurrentRow();
}

void TEditTable::nDeleteClick()
{
    const int row = StringGrid1->currentRow();
    if (row < 0)
        return;
    if (platform::messageDlg(QStringLiteral("Вы уверены, что хотите удалить поле ") + cell(row, ColName)
                                 + QStringLiteral(" ?"),
                             platform::MsgType::Confirmation, platform::mbYesNo) != platform::mrYes)
        return;
    StringGrid1->removeRow(row);
    RebuildTable();
    ShowCurrentRow();
}

void TEditTable::MoveRow(int from, int to)
{
    const int n = StringGrid1->rowCount();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return;
    std::vector<QTableWidgetItem *> items;
    for (int c = 0; c < 6; ++c)
        items.push_back(StringGrid1->takeItem(from, c));
    StringGrid1->removeRow(from);
    StringGrid1->insertRow(to);
    for (int c = 0; c < 6; ++c)
        StringGrid1->setItem(to, c, items[static_cast<size_t>(c)]);
    StringGrid1->setCurrentCell(to, ColName);
    RebuildTable();
}

void TEditTable::FinishEditing()
{
    if (finished_)
        return;
    finished_ = true;
    platform::IniFile descriptions(FDescFile);
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        const QString name = cell(r, ColName).trimmed();
        if (!name.isEmpty())
            descriptions.writeString(u"Table", name, cell(r, ColNote));
    }
    QStringList work{FNewFile, platform::changeFileExt(FNewFile, u".dbt")};
    if (!backupNeeded_)
        work << FBackupFile << platform::changeFileExt(FBackupFile, u".dbt");
    for (const QString &file : work)
        if (!file.isEmpty() && QFile::exists(file))
            QFile::remove(file);
    Table->close();
    tmpTable->close();
    Query->close();
}

void TEditTable::closeEvent(QCloseEvent *event)
{
    FinishEditing();
    QDialog::closeEvent(event);
}

bool TEditTable::Execute(const QString &tableFile)
{
    FTableFile = tableFile;
    if (!LoadTable())
        return false;
    platform::execModal(*this);
    FinishEditing();
    return true;
}
