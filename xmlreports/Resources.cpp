#include "xmlreports/Resources.h"

#include "platform/TextCodec.h"
#include "script/Languages.h"

#include <QCoreApplication>
#include <QDir>

namespace xmlreports {

namespace {

QString fold(const QString &key)
{
    return platform::ansiUpperCase(key);
}

// The library's own texts. Keys the windows of later parts ask for and that
// this table lacks show as themselves.
const char16_t kLibraryTable[] =
    u"======== TfrxPreviewForm ========\r\n"
    u"1=ОК\r\n"
    u"2=Відмова\r\n"
    u"3=Всі\r\n"
    u"4=Поточна сторінка\r\n"
    u"5=Сторінки:\r\n"
    u"9=Введіть номери сторінок і/або діапазони сторінок, розділені комами. Наприклад, 1,3,5-12\r\n"
    u"zmPageWidth=По ширині\r\n"
    u"zmWholePage=Сторінка цілком\r\n"
    u"ppAll=Всі сторінки\r\n"
    u"ppOdd=Непарні сторінки\r\n"
    u"ppEven=Парні сторінки\r\n"
    u"mbConfirm=Підтвердження\r\n"
    u"mbError=Помилка\r\n"
    u"mbInfo=Інформація\r\n"
    u"xrCantFindClass=Не вдалося знайти клас\r\n"
    u"prVirtual=Віртуальний\r\n"
    u"prDefault=За замовчуванням\r\n"
    u"prCustom=Користувацький\r\n"
    u"prDupl=Повторюване ім'я\r\n"
    u"prInvProp=Неприпустиме значення властивості\r\n"
    u"obReport=Звіт\r\n"
    u"5000=Пароль\r\n"
    u"5001=Введіть пароль:\r\n"
    u"enUnconnHeader=Неприєднаний заголовок\r\n"
    u"enUnconnGroup=Немає бенда даних для групи\r\n"
    u"enUnconnGFooter=Неприєднаний підвал групи\r\n"
    u"enBandPos=Невірне розташування бенда:\r\n"
    u"dbNotConn=Компонент %s не приєднаний до даних\r\n"
    u"dbFldNotFound=Поле не знайдене:\r\n"
    u"clDSNotIncl=(набір даних не включений в Report.DataSets)\r\n"
    u"clUnknownVar=Невідома змінна або поле БД:\r\n"
    u"clScrError=Помилка в скрипті %s: %s\r\n"
    u"clDSNotExist=Набір даних \"%s\" не знайдений\r\n"
    u"clErrors=Були виявлені наступні помилки:\r\n"
    u"clExprError=Помилка у вираженні\r\n"
    u"clFP3files=Підготовлений звіт\r\n"
    u"clSaving=Збереження файлу...\r\n"
    u"clCancel=Відміна\r\n"
    u"clClose=Закрити\r\n"
    u"clPrinting=Друк сторінки\r\n"
    u"clLoading=Завантаження файлу...\r\n"
    u"clPageOf=Сторінка %d з %d\r\n"
    u"clFirstPass=Перший прохід: сторінка\r\n"
    u"clNoPrinters=У системі не встановлено жодного принтера\r\n"
    u"clDecompressError=Помилка розпакування даних\r\n"
    u"crFillMx=Заповнення крос-таблиці...\r\n"
    u"crBuildMx=Побудова крос-таблиці...\r\n"
    u"prRunningFirst=Перший прохід: сторінка %d\r\n"
    u"prRunning=Готується сторінка %d\r\n"
    u"prPrinting=Друкується сторінка %d\r\n"
    u"prExporting=Експорт сторінки %d\r\n"
    u"uCm=см\r\n"
    u"uInch=дюйми\r\n"
    u"uPix=пікселі\r\n"
    u"uChar=символи\r\n"
    u"======== FS strings ========\r\n"
    u"SLangNotFound=Мову '%s' не знайдено\r\n"
    u"SInvalidLanguage=Помилка в описі мови\r\n"
    u"SIdRedeclared=Повторне оголошення ідентифікатора:\r\n"
    u"SUnknownType=Невідомий тип:\r\n"
    u"SIncompatibleTypes=Несумісні типи\r\n"
    u"SIdUndeclared=Невизначений ідентифікатор:\r\n"
    u"SClassRequired=Потрібен тип класу\r\n"
    u"SIndexRequired=Потрібен індекс\r\n"
    u"SStringError=Рядки не мають властивостей і методів\r\n"
    u"SClassError=Клас %s не має властивості за замовчуванням\r\n"
    u"SArrayRequired=Потрібен тип масиву\r\n"
    u"SVarRequired=Потрібна змінна\r\n"
    u"SNotEnoughParams=Недостатньо фактичних параметрів\r\n"
    u"STooManyParams=Забагато фактичних параметрів\r\n"
    u"SLeftCantAssigned=Лівій частині не можна присвоїти значення\r\n"
    u"SForError=Змінна циклу For повинна бути числовою змінною\r\n"
    u"SEventError=Обробник події повинен бути процедурою\r\n";

const char16_t kExportTable[] =
    u"======== TfrxRTFExportDialog ========\r\n"
    u"8500=Експорт в RTF (табличний)\r\n"
    u"8501=Картинки\r\n"
    u"8502=WYSIWYG\r\n"
    u"8503=Відкрити після експорту\r\n"
    u"8504=Файл RTF (*.rtf)|*.rtf\r\n"
    u"8505=.rtf\r\n"
    u"RTFexport=Документ Word (табличний)\r\n";

const char *const kScriptMessageKeys[] = {
    "SLangNotFound",  "SInvalidLanguage", "SIdRedeclared",  "SUnknownType",     "SIncompatibleTypes", "SIdUndeclared",
    "SClassRequired", "SIndexRequired",   "SStringError",   "SClassError",      "SArrayRequired",     "SVarRequired",
    "SNotEnoughParams", "STooManyParams", "SLeftCantAssigned", "SForError",     "SEventError"};

struct HelpTopic {
    const char *form;
    const char *page;
};
const HelpTopic kHelpTopics[] = {
    {"TfrxDesignerForm", "Designer/Designer.htm"},
    {"TfrxOptionsEditor", "Designer/Designer options.htm"},
    {"TfrxReportEditorForm", "Designer/Report settings.htm"},
    {"TfrxPageEditorForm", "Designer/Page options.htm"},
    {"TfrxCrossEditorForm", "Cross-tab reports/Cross-tab reports.htm"},
    {"TfrxChartEditorForm", "Diagrams/Diagrams.htm"},
    {"TfrxSyntaxMemo", "Script/Script.htm"},
    {"TfrxDialogPage", "Dialogue forms/Dialogue forms.htm"},
    {"TfrxDialogComponent", "Data access components/Data access components.htm"},
    {"TfrxVarEditorForm", "Creating reports/Variables.htm"},
    {"TfrxHighlightEditorForm", "Creating reports/Conditional highlighting.htm"},
    {"TfrxSysMemoEditorForm", "Creating reports/Inserting aggregate function.htm"},
    {"TfrxFormatEditorForm", "Creating reports/Values formatting.htm"},
    {"TfrxGroupEditorForm", "Creating reports/Report with groups.htm"},
    {"TfrxPictureEditorForm", "Creating reports/'Picture' object.htm"},
    {"TfrxMemoEditorForm", "Creating reports/The 'Text' object.htm"},
    {"TfrxSQLEditorForm", "Data access components/TfrxADOQuery.htm"},
};

HelpHook &helpHook()
{
    static HelpHook hook;
    return hook;
}

} // namespace

TfrxResources::TfrxResources()
{
    if (QCoreApplication::instance())
        ListLanguages(QCoreApplication::applicationDirPath());
}

QString TfrxResources::Get(const QString &key) const
{
    const auto it = names_.find(fold(key));
    return it == names_.end() ? key : texts_[size_t(it->second)];
}

void TfrxResources::SetText(const QString &key, const QString &text)
{
    const QString folded = fold(key);
    const auto it = names_.find(folded);
    if (it != names_.end()) {
        texts_[size_t(it->second)] = text;
        return;
    }
    texts_.push_back(text);
    names_.emplace(folded, static_cast<int>(texts_.size()) - 1);
}

void TfrxResources::AddStrings(const QString &table)
{
    QString normalized = table;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    for (const QString &line : normalized.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || eq == line.size() - 1)
            continue;
        SetText(line.left(eq), line.mid(eq + 1));
    }
}

void TfrxResources::CopyScriptMessages() const
{
    QString *const targets[] = {&script::SLangNotFound,  &script::SInvalidLanguage,  &script::SIdRedeclared,
                                &script::SUnknownType,   &script::SIncompatibleTypes, &script::SIdUndeclared,
                                &script::SClassRequired, &script::SIndexRequired,    &script::SStringError,
                                &script::SClassError,    &script::SArrayRequired,    &script::SVarRequired,
                                &script::SNotEnoughParams, &script::STooManyParams,  &script::SLeftCantAssigned,
                                &script::SForError,      &script::SEventError};
    for (size_t i = 0; i < std::size(kScriptMessageKeys); ++i) {
        QString text = Get(QString::fromLatin1(kScriptMessageKeys[i]));
        // The engine's messages that name an identifier are followed by it.
        if (text.endsWith(u':'))
            text += u' ';
        *targets[i] = text;
    }
}

void TfrxResources::ListLanguages(const QString &folder)
{
    languages_.clear();
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.frc")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        QString name = file.left(file.size() - 4).toLower();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
        languages_ << name;
    }
    languages_.sort();
}

TfrxResources &GetReportResources()
{
    static TfrxResources resources;
    return resources;
}

QString GetResourceTextById(int id)
{
    return GetReportResources().Get(QString::number(id));
}

QString LibraryTextTable()
{
    return QString::fromUtf16(kLibraryTable);
}

QString ExportTextTable()
{
    return QString::fromUtf16(kExportTable);
}

void LoadReportTexts()
{
    static const bool loaded = [] {
        TfrxResources &r = GetReportResources();
        r.AddStrings(LibraryTextTable());
        r.CopyScriptMessages();
        r.AddStrings(ExportTextTable());
        return true;
    }();
    (void)loaded;
}

void SetHelpHook(HelpHook hook)
{
    helpHook() = std::move(hook);
}

QString HelpTopicText(const QString &formClassName)
{
    QString topic = GetReportResources().HelpFile();
    for (const HelpTopic &t : kHelpTopics)
        if (formClassName.compare(QLatin1String(t.form), Qt::CaseInsensitive) == 0)
            topic += QStringLiteral("::/") + QString::fromLatin1(t.page);
    return topic;
}

void OpenHelpTopic(const QString &formClassName)
{
    if (helpHook())
        helpHook()(HelpTopicText(formClassName));
}

} // namespace xmlreports
