#include "reports/build/FunctionLibraries.h"

#include "platform/DateTimeFormat.h"
#include "platform/NumberFormat.h"
#include "platform/TextFormat.h"
#include "platform/UserAnswers.h"
#include "reports/build/BandRuntime.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportLibrary.h"

#include <algorithm>

namespace reports {

Variant CalcArgument(const QString &text)
{
    return library().ReportParser.Calc(text);
}

QString CalcArgumentText(const QString &text)
{
    return text.isEmpty() ? QString() : valueText(CalcArgument(text));
}

namespace {

AggregateHandler &aggregateHandler()
{
    static AggregateHandler f = AggregateFunction;
    return f;
}

FieldIsNullHandler &fieldIsNullHandler()
{
    static FieldIsNullHandler f = FieldIsNull;
    return f;
}

// A value taken as a date-time: numbers as they are, a text as a number or
// else as a date and time.
double calcDate(const QString &text)
{
    const Variant v = CalcArgument(text);
    if (!v.isString())
        return v.toDouble();
    try {
        return platform::strToFloat(v.rawString());
    } catch (const platform::ConvertError &) {
        return platform::strToDateTime(v.rawString());
    }
}

int datePart(const QString &text, QStringView pattern)
{
    return platform::formatDateTime(pattern, calcDate(text)).toInt();
}

// Trims characters up to the blank at both ends.
QString trimmed(const QString &s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && s[from].unicode() <= u' ')
        ++from;
    while (to > from && s[to - 1].unicode() <= u' ')
        --to;
    return s.mid(from, to - from);
}

// A message box of the platform's style flags: the buttons in the low four
// bits, the icon in the next four; its result numbers the button pressed
// (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
int messageBox(const QString &text, const QString &caption, int flags)
{
    static const unsigned buttons[] = {platform::mbOK,
                                       platform::mbOKCancel,
                                       platform::mbAbort | platform::mbRetry | platform::mbIgnore,
                                       platform::mbYesNoCancel,
                                       platform::mbYesNo,
                                       platform::mbRetry | platform::mbCancel};
    const int set = flags & 0x0F;
    platform::MsgType type = platform::MsgType::Custom;
    switch (flags & 0xF0) {
    case 0x10:
        type = platform::MsgType::Error;
        break;
    case 0x20:
        type = platform::MsgType::Confirmation;
        break;
    case 0x30:
        type = platform::MsgType::Warning;
        break;
    case 0x40:
        type = platform::MsgType::Information;
        break;
    default:
        break;
    }
    return platform::answers().messageDlg(text, type, set < 6 ? buttons[set] : platform::mbOK, caption);
}

struct Description {
    const char *name;
    const char *text;
};

// The catalogue of the standard library by category, in registration order.
// Names beyond the library's own are the parser's, the report's and the
// interpreter's built-ins, listed here for the designer.
const struct {
    const char *category;
    std::initializer_list<Description> entries;
} kCatalogue[] = {
    {"Агрегатные",
     {{"AVG", "AVG(<Выражение> [,ИмяБэнда [,1]])/Вычисляет среднее арифметическое выражения <Выражение> для строк "
              "данных [ИмяБэнда]. Если задан параметр [1], в расчет включаются также невидимые бэнды."},
      {"COUNT", "COUNT(<ИмяБэнда>)/Возвращает количество строк данных, образованных бэндом <ИмяБэнда>. Пример: "
                "Count(Band1)."},
      {"MAX", "MAX(<Выражение> [,ИмяБэнда [,1]])/Вычисляет максимум выражения <Выражение> для строк данных "
              "[ИмяБэнда]. Если задан параметр [1], в расчет включаются также невидимые бэнды."},
      {"MIN", "MIN(<Выражение> [,ИмяБэнда [,1]])/Вычисляет минимум выражения <Выражение> для строк данных "
              "[ИмяБэнда]. Если задан параметр [1], в расчет включаются также невидимые бэнды."},
      {"SUM", "SUM(<Выражение> [,ИмяБэнда [,1]])/Вычисляет сумму выражения <Выражение> для строк данных "
              "[ИмяБэнда]. Если задан параметр [1], в расчет включаются также невидимые бэнды."}}},
    {"Дата и время",
     {{"DAYOF", "DAYOF(<Дата>)/Возвращает день (1..31) даты <Дата>."},
      {"MONTHOF", "MONTHOF(<Дата>)/Возвращает месяц (1..12) даты <Дата>."},
      {"STRTODATE", "STRTODATE(<Строка>)/Преобразует строку <Строка> в дату."},
      {"STRTOTIME", "STRTOTIME(<Строка>)/Преобразует строку <Строка> во время."},
      {"YEAROF", "YEAROF(<Дата>)/Возвращает год (4 разряда) даты <Дата>."},
      {"DATE", "DATE/Возвращает дату."},
      {"TIME", "TIME/Возвращает время."}}},
    {"Строковые",
     {{"FORMATDATETIME", "FORMATDATETIME(<Формат>, <ДатаВремя>)/Конвертирует значение <ДатаВремя> в строку с "
                         "использованием строки форматирования <Формат>."},
      {"FORMATFLOAT", "FORMATFLOAT(<Формат>, <Число>)/Конвертирует значение <Число> в строку с использованием "
                      "строки форматирования <Формат>."},
      {"FORMATTEXT", "FORMATTEXT(<Маска>, <Строка>)/Применяет <Маску> к <Строке> и возвращает форматированную "
                     "строку."},
      {"LENGTH", "LENGTH(<Строка>)/Возвращает длину строки <Строка>."},
      {"LOWERCASE", "LOWERCASE(<Строка>)/Преобразует сроку <Строка> в нижний регистр и возвращает результат."},
      {"NAMECASE", "NAMECASE(<Строка>)/Преобразует символы строки <Строка> в нижний регистр, а первый символ в "
                   "верхний регистр."},
      {"TRIM", "TRIM(<Строка>)/Отбрасывает пробелы в начале и конце строки <Строка> и возвращает результат."},
      {"UPPERCASE", "UPPERCASE(<Строка>)/Преобразует сроку <Строка> в верхний регистр и возвращает результат."},
      {"POS", "POS(<Подстрока>, <Строка>)/Возвращает позицию подстроки в строке."},
      {"COPY", "COPY(<Строка>, <Начало>, <Длина>)/Возвращает подстроку строки <Строка>."},
      {"STR", "STR(<Число>)/Преобразует число <Число> в строку."}}},
    {"Прочие",
     {{"INPUT", "INPUT(<Заголовок> [,Значение])/Выводит на экран диалоговое окно с заголовком <Заголовок> и "
                "строкой ввода. Если задан параметр [Значение], то он появится в строке ввода. После ввода "
                "пользователя возвращает введенную строку."},
      {"MESSAGEBOX", "MESSAGEBOX(<Текст>, <Заголовок>, <Кнопки>)/Показывает стандартный диалог с заголовком, "
                     "текстом и кнопками."},
      {"IF", "IF(<Выражение>, <Значение1>, <Значение2>)/Возвращает <Значение1>, если выражение <Выражение> "
             "истинно; иначе возвращает <Значение2>."},
      {"PAGE#", "PAGE#/Возвращает номер текущей страницы отчета."},
      {"LINE#", "LINE#/Возвращает номер строки данных; нумерация начинается с начала группы."},
      {"LINETHROUGH#", "LINETHROUGH#/Возвращает номер строки данных; нумерация начинается с начала отчета."},
      {"COLUMN#", "COLUMN#/Возвращает номер колонки."},
      {"TOTALPAGES", "TOTALPAGES/Возвращает общее количество страниц в отчете."}}},
    {"Арифметические",
     {{"MAXNUM", "MAXNUM(<Число1>, <Число2>)/Возвращает максимальное из двух значений."},
      {"MINNUM", "MINNUM(<Число1>, <Число2>)/Возвращает минимальное из двух значений."},
      {"MOD", "<Число1> MOD <Число2>/Возвращает остаток от деления <Число1> на <Число2>."},
      {"ROUND", "ROUND(<Число>)/Возвращает округленное число."},
      {"FRAC", "FRAC(<Число>)/Возвращает дробную часть числа."},
      {"INT", "INT(<Число>)/Возвращает целую часть числа."}}},
    {"Логические",
     {{"NOT", "NOT <Значение>/Логическое отрицание."},
      {"AND", "<Значение1> AND <Значение2>/Логическое 'И'."},
      {"OR", "<Значение1> OR <Значение2>/Логическое 'ИЛИ'."},
      {"TRUE", "TRUE/Логическое 'ДА'."},
      {"FALSE", "FALSE/Логическое 'НЕТ'."}}},
    {"Интерпретатор",
     {{"MROK", "MROK/Константа."},
      {"MRCANCEL", "MRCANCEL/Константа."},
      {"CURY", "CURY/Возвращает позицию по 'Y' (в пикселах), с которой будет выведен текущий бэнд. Этому свойству "
               "можно также присваивать значение."},
      {"FREESPACE", "FREESPACE/Возвращает размер свободного места на странице в пикселах."},
      {"FINALPASS", "FINALPASS/Возвращает истину, если выполняется последний проход для двухпроходных отчетов."},
      {"PAGEHEIGHT", "PAGEHEIGHT/Возвращает высоту страницы в пикселах."},
      {"PAGEWIDTH", "PAGEWIDTH/Возвращает ширину страницы в пикселах."},
      {"PROGRESS", "PROGRESS/Значение, присвоенное этому свойству, будет отображено в окне прогресса."},
      {"MODALRESULT", "MODALRESULT/Ненулевое значение, присвоенное этому свойству, закроет диалоговое окно."},
      {"STOPREPORT", "STOPREPORT/Останавливает построение отчета."},
      {"NEWPAGE", "NEWPAGE/Формирует разрыв страницы."},
      {"NEWCOLUMN", "NEWCOLUMN/Формирует разрыв колонки."},
      {"SHOWBAND", "SHOWBAND(<BandName>)/Показывает бэнд с именем <BandName>."},
      {"INC", "INC(<Число>)/Увеличивает <Число> на 1."},
      {"DEC", "DEC(<Число>)/Уменьшает <Число> на 1."}}},
    {"Отчет",
     {{"REPORTCOMMENT", "REPORTCOMMENT/Возвращает комментарий к отчету"},
      {"REPORTNAME", "REPORTNAME/Возвращает название отчета"},
      {"REPORTAUTOR", "REPORTAUTOR/Возвращает имя автора отчета"},
      {"VMAJOR", "VMAJOR/Возвращает major номер версии отчета"},
      {"VMINOR", "VMINOR/Возвращает minor номер версии отчета"},
      {"VRELEASE", "VRELEASE/Возвращает release номер версии отчета"},
      {"VBUILD", "VBUILD/Возвращает build номер версии отчета"},
      {"REPORTDATE", "REPORTDATE/Возвращает дату создания отчета"},
      {"REPORTLASTCHANGE", "REPORTLASTCHANGE/Возвращает дату последней модификации отчета"}}},
};

// The aggregate kinds by function number.
int aggregateKind(int number)
{
    switch (number) {
    case StdFunctionLibrary::fnSum:
        return 11;
    case StdFunctionLibrary::fnMin:
        return 12;
    case StdFunctionLibrary::fnMax:
        return 13;
    case StdFunctionLibrary::fnAvg:
        return 14;
    case StdFunctionLibrary::fnCount:
        return 15;
    default:
        return 0;
    }
}

bool lessByText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

void SetAggregateFunction(AggregateHandler aggregate)
{
    aggregateHandler() = aggregate ? std::move(aggregate) : AggregateHandler(AggregateFunction);
}

void SetFieldIsNullFunction(FieldIsNullHandler fieldIsNull)
{
    fieldIsNullHandler() = fieldIsNull ? std::move(fieldIsNull) : FieldIsNullHandler(FieldIsNull);
}

StdFunctionLibrary::StdFunctionLibrary()
{
    FunctionNames = {"AVG",       "COUNT",   "DAYOF",      "FORMATDATETIME", "FORMATFLOAT", "FORMATTEXT",
                     "INPUT",     "LENGTH",  "LOWERCASE",  "MAX",            "MAXNUM",      "MESSAGEBOX",
                     "MIN",       "MINNUM",  "MONTHOF",    "NAMECASE",       "POS",         "SUM",
                     "TRIM",      "UPPERCASE", "YEAROF"};
    for (const auto &category : kCatalogue)
        for (const Description &d : category.entries)
            AddFunctionDesc(QString::fromUtf8(d.name), QString::fromUtf8(category.category),
                            QString::fromUtf8(d.text));
}

void StdFunctionLibrary::DoFunction(int number, const QString &p1, const QString &p2, const QString &p3,
                                    Variant &result)
{
    result = Variant(QStringLiteral("0"));
    switch (number) {
    case fnAvg:
    case fnCount:
    case fnMax:
    case fnMin:
    case fnSum:
        if (const AggregateHandler &aggregate = aggregateHandler())
            aggregate(aggregateKind(number), p1, p2, p3, result);
        break;
    case fnDayOf:
        result = Variant(datePart(p1, u"d"));
        break;
    case fnMonthOf:
        result = Variant(datePart(p1, u"m"));
        break;
    case fnYearOf:
        result = Variant(datePart(p1, u"yyyy"));
        break;
    case fnFormatDateTime: {
        const double value = calcDate(p2);
        result = Variant(platform::formatDateTime(CalcArgumentText(p1), value));
        break;
    }
    case fnFormatFloat: {
        const double value = CalcArgument(p2).toDouble();
        result = Variant(platform::formatNumber(CalcArgumentText(p1), value));
        break;
    }
    case fnFormatText: {
        const QString text = CalcArgumentText(p2);
        result = Variant(platform::formatMaskText(CalcArgumentText(p1) + QStringLiteral(";0; "), text));
        break;
    }
    case fnInput: {
        const QString preset = CalcArgumentText(p2);
        QString answer = preset;
        const QString prompt = CalcArgumentText(p1);
        result = Variant(reportDialogs().InputQuery(QString(), prompt, answer) ? answer : preset);
        break;
    }
    case fnLength:
        result = Variant(static_cast<int>(CalcArgumentText(p1).size()));
        break;
    case fnLowerCase:
        result = Variant(CalcArgumentText(p1).toLower());
        break;
    case fnUpperCase:
        result = Variant(CalcArgumentText(p1).toUpper());
        break;
    case fnMaxNum:
    case fnMinNum: {
        const Variant a = CalcArgument(p1);
        const Variant b = CalcArgument(p2);
        result = (number == fnMaxNum ? a > b : a < b) ? a : b;
        break;
    }
    case fnMessageBox: {
        const int flags = CalcArgument(p3).toInt();
        const QString caption = CalcArgumentText(p2);
        const QString text = CalcArgumentText(p1);
        result = Variant(messageBox(text, caption, flags));
        break;
    }
    case fnNameCase: {
        QString s = CalcArgumentText(p1).toLower();
        if (!s.isEmpty())
            s[0] = s[0].toUpper();
        result = Variant(s);
        break;
    }
    case fnPos: {
        const QString sub = CalcArgumentText(p1);
        result = Variant(static_cast<int>(CalcArgumentText(p2).indexOf(sub) + 1));
        break;
    }
    case fnTrim:
        result = Variant(trimmed(CalcArgumentText(p1)));
        break;
    default:
        break;
    }
}

DatabaseFunctionLibrary::DatabaseFunctionLibrary()
{
    FunctionNames = {QStringLiteral("FIELDISNULL")};
    AddFunctionDesc(QStringLiteral("FIELDISNULL"), QStringLiteral("Базы данных"),
                    QStringLiteral("FIELDISNULL(<FieldName>)/Возвращает 'true' если поле FieldName принимает значение "
                                   "null"));
}

void DatabaseFunctionLibrary::DoFunction(int number, const QString &p1, const QString &, const QString &,
                                         Variant &result)
{
    if (number != 0)
        return;
    result = Variant(0);
    const QString reference = CalcArgumentText(p1);
    const FieldIsNullHandler &fieldIsNull = fieldIsNullHandler();
    result = Variant(fieldIsNull ? fieldIsNull(reference) : true);
}

void RegisterStandardFunctionLibraries()
{
    RegisterFunctionLibrary(QStringLiteral("TfrStdFunctionLibrary"), [] { return std::make_unique<StdFunctionLibrary>(); });
    RegisterFunctionLibrary(QStringLiteral("TDatabaseFunctionLibrary"),
                            [] { return std::make_unique<DatabaseFunctionLibrary>(); });
}

void UnregisterStandardFunctionLibraries()
{
    UnregisterFunctionLibrary(QStringLiteral("TfrStdFunctionLibrary"));
    UnregisterFunctionLibrary(QStringLiteral("TDatabaseFunctionLibrary"));
}

bool CallFunctionLibraries(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                           Variant &result)
{
    // A library may register another while it computes: walk by index.
    const auto &libraries = FunctionLibraries();
    for (std::size_t i = 0; i < libraries.size(); ++i)
        if (libraries[i]->OnFunction(name, p1, p2, p3, result))
            return true;
    return false;
}

QString GetFunctionDescription(const QString &name)
{
    for (const FunctionDesc &desc : InstalledFunctions())
        if (desc.Name.compare(name, Qt::CaseInsensitive) == 0)
            return desc.Description;
    return {};
}

QStringList GetCategoryList()
{
    QStringList categories;
    for (const FunctionDesc &desc : InstalledFunctions())
        if (!categories.contains(desc.Category))
            categories << desc.Category;
    std::sort(categories.begin(), categories.end(), lessByText);
    return categories;
}

QStringList GetFunctionList(const QString &category)
{
    const bool all = category == QStringView(kAllFunctions);
    QStringList names;
    for (const FunctionDesc &desc : InstalledFunctions())
        if (all || desc.Category.compare(category, Qt::CaseInsensitive) == 0)
            names << desc.Name;
    std::sort(names.begin(), names.end(), lessByText);
    return names;
}

} // namespace reports
