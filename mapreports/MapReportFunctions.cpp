#include "mapreports/MapReportFunctions.h"

#include "mapdata/VykFunctions.h"
#include "reports/language/ExpressionParser.h"
#include "reports/build/FunctionLibraries.h"
#include "reports/model/ReportLibrary.h"

namespace reports {

namespace {

MapPictureServices *&installedMap()
{
    static MapPictureServices *services = nullptr;
    return services;
}

double calcDouble(const QString &text)
{
    return text.isEmpty() ? 0.0 : CalcArgument(text).toDouble();
}

bool calcBool(const QString &text)
{
    return !text.isEmpty() && CalcArgument(text).toBool();
}

const struct {
    const char *name;
    const char *description;
} kFunctions[] = {
    {"DATEWRITE", "DATEWRITE(<Дата>)/Возвращает дату прописью"},
    {"SUMWRITE", "SUMWRITE(<Число>,<Вариант>)/Возвращает сумму прописью (Вариант определяет отображение копеек: "
                 "false -нет, true -да)"},
    {"TXTTOINT", "TXTTOINT(<Строка>)/Преобразует текст в целое число"},
    {"TXTTOINTTXT", "TXTTOINTTXT(<Строка>)/Преобразует текст в строку целого числа"},
    {"TXTTOFLOAT", "TXTTOFLOAT(<Строка>,<Число>)/Преобразует текст в число с плавающей запятой (<Число> - число "
                   "по умолчанию)"},
    {"ShortFamily", "ShortFamily(<ФИО>)/Возвращает инициалы и фамилию"},
    {"FamilyShort", "FamilyShort(<ФИО>)/Возвращает фамилию и инициалы"},
    {"UpperFirst", "UpperFirst()/Перую букву делает заглавной"},
    {"DrawMap", "DrawMap(<Длинна>,<Высота>,<Масштаб>)/Выполняет формирование рисунка"},
    {"DrawGreed", "DrawGreed(<Длинна>,<Высота>,<Сетка>)/Выполняет формирование рисунка с координатной сеткой"},
};

} // namespace

MapPictureServices *mapPictureServices()
{
    return installedMap();
}

void setMapPictureServices(MapPictureServices *services)
{
    installedMap() = services;
}

VykFunctionLibrary::VykFunctionLibrary()
{
    for (const auto &f : kFunctions)
        FunctionNames.append(QString::fromUtf8(f.name));
    for (const auto &f : kFunctions)
        AddFunctionDesc(QString::fromUtf8(f.name), QStringLiteral("VYK функции"), QString::fromUtf8(f.description));
}

void VykFunctionLibrary::DoFunction(int number, const QString &p1, const QString &p2, const QString &p3,
                                    Variant &result)
{
    result = Variant(0);
    switch (number) {
    case fnDateWrite:
        result = Variant(VykFunctions::DateToWordsUkr(calcDouble(p1)));
        break;
    case fnSumWrite: {
        const double amount = calcDouble(p1);
        result = Variant(VykFunctions::AmountToWordsUkr(calcBool(p2) ? 1 : 0, amount));
        break;
    }
    case fnTxtToInt:
        result = Variant(static_cast<int>(VykFunctions::TextToInt(CalcArgumentText(p1))));
        break;
    case fnTxtToIntTxt:
        result = Variant(VykFunctions::TextToDigits(CalcArgumentText(p1)));
        break;
    case fnTxtToFloat: {
        const double def = calcDouble(p2);
        result = Variant(VykFunctions::TextToFloat(CalcArgumentText(p1), def));
        break;
    }
    case fnShortFamily:
        result = Variant(VykFunctions::ShortenPersonName(CalcArgumentText(p1), false));
        break;
    case fnFamilyShort:
        result = Variant(VykFunctions::ShortenPersonName(CalcArgumentText(p1), true));
        break;
    case fnUpperFirst: {
        // Evaluated once: an argument that asks the user (INPUT) asks once.
        const QString s = CalcArgumentText(p1);
        result = Variant(s.isEmpty() ? s : s.left(1).toUpper() + s.mid(1));
        break;
    }
    case fnDrawMap:
    case fnDrawGreed: {
        const double width = calcDouble(p1);
        const double height = calcDouble(p2);
        const double third = calcDouble(p3);
        if (MapPictureServices *map = mapPictureServices()) {
            if (number == fnDrawMap)
                map->DrawMapPicture(width, height, third);
            else
                map->DrawGridPicture(width, height, third);
        }
        break;
    }
    default:
        break;
    }
}

void RegisterMapFunctionLibrary()
{
    RegisterFunctionLibrary(QStringLiteral("TfrVykLib"), [] { return std::make_unique<VykFunctionLibrary>(); });
}

} // namespace reports
