#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include <limits>

namespace {

double dayOf(int y, int m, int d)
{
    return platform::dateTimeToDays(QDateTime(QDate(y, m, d), QTime(0, 0)));
}

} // namespace

TEST(NumberWords, AmountToWordsUkr)
{
    const struct { int kopecks; double amount; const char *words; } cases[] = {
        {0, 0, "Нуль гривень "},
        {1, 0, "Нуль гривень 00 копійок "},
        {0, 1, "Одна гривня "},
        {0, 2, "Дві гривні "},
        {0, 5, "П`ять гривень "},
        {0, 11, "Одиннадцять гривень "},
        {0, 21, "Двадцять одна гривня "},
        {0, 22, "Двадцять дві гривні "},
        {0, 30, "Тридцять гривень "},
        {0, 111, "Сто одиннадцять гривень "},
        {1, 1234.56, "Одна тисяча двісті тридцять чотири гривні 56 копійок "},
        {0, 1234.56, "Одна тисяча двісті тридцять чотири гривні "},
        {1, 0.5, "Нуль гривень 50 копійок "},
        {0, 1.5, "Одна гривня "},
        {0, 1000, "Одна тисяча гривень "},
        {0, 21000, "Двадцять одна тисяча гривень "},
        {0, 12000, "Дванадцять тисяч гривень "},
        {0, 1e6, "Один мільйон гривень "},
        {0, 2e6, "Два мільйона гривень "},
        {1, 2e6, "Два мільйона гривень 00 копійок "},
        {0, 5e6, "П`ять мільйонів гривень "},
        {1, 1002003.07, "Один мільйон дві тисячі три гривні 07 копійок "},
        {1, 21000.21, "Двадцять одна тисяча гривень 21 копійка "},
        {0, 999999999,
         "Дев`ятьсот дев`яносто дев`ять мільйонів дев`ятьсот дев`яносто дев`ять тисяч "
         "дев`ятьсот дев`яносто дев`ять гривень "},
        // halves of a kopeck go to the even neighbour
        {1, 0.125, "Нуль гривень 12 копійок "},
        // a fraction that rounds to a whole hryvnia carries into it
        {1, 0.996, "Одна гривня 00 копійок "},
        {1, 1.996, "Дві гривні 00 копійок "},
        {1, 999.999, "Одна тисяча гривень 00 копійок "},
        {0, 1.9999999999999998, "Дві гривні "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VykFunctions::AmountToWordsUkr(c.kopecks, c.amount).toStdString(), c.words) << c.amount;
    // Nonsense input gives words, not a crash.
    EXPECT_FALSE(VykFunctions::AmountToWordsUkr(1, std::numeric_limits<double>::quiet_NaN()).isEmpty());
    EXPECT_FALSE(VykFunctions::AmountToWordsUkr(1, -5.5).isEmpty());
    EXPECT_FALSE(VykFunctions::AmountToWordsUkr(1, 1e300).isEmpty());
}

TEST(NumberWords, KopeckForms)
{
    const struct { int count; const char *digits; const char *word; } cases[] = {
        {0, "00 ", "копійок "},  {1, "01 ", "копійка "},  {2, "02 ", "копійки "},  {4, "04 ", "копійки "},
        {5, "05 ", "копійок "},  {7, "07 ", "копійок "},  {11, "11 ", "копійок "}, {12, "12 ", "копійок "},
        {13, "13 ", "копійок "}, {14, "14 ", "копійок "}, {20, "20 ", "копійок "}, {21, "21 ", "копійка "},
        {22, "22 ", "копійки "}, {25, "25 ", "копійок "}, {50, "50 ", "копійок "}, {91, "91 ", "копійка "},
        {100, "100 ", "копійок "},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VykFunctions::KopiykaDigits(c.count).toStdString(), c.digits) << c.count;
        EXPECT_EQ(VykFunctions::KopiykaWord(c.count).toStdString(), c.word) << c.count;
    }
}

TEST(NumberWords, WordTables)
{
    const struct { QString got; const char *word; } cases[] = {
        {VykFunctions::UnitsWord(1, 5), "один "},
        {VykFunctions::UnitsWord(1, 3), "одна "},
        {VykFunctions::UnitsWord(2, 5), "два "},
        {VykFunctions::UnitsWord(2, 4), "дві "},
        {VykFunctions::UnitsWord(5, 5), "п`ять "},
        {VykFunctions::UnitsWord(19, 3), "дев`ятнадцять "},
        {VykFunctions::UnitsWord(0, 3), ""},
        {VykFunctions::UnitsWord(20, 3), ""},
        {VykFunctions::UnitsWord(-1, 5), ""},
        {VykFunctions::TensWord(2), "двадцять "},
        {VykFunctions::TensWord(9), "дев`яносто "},
        {VykFunctions::TensWord(1), ""},
        {VykFunctions::TensWord(10), ""},
        {VykFunctions::HundredsWord(1), "сто "},
        {VykFunctions::HundredsWord(5), "п`ятьсот "},
        {VykFunctions::HundredsWord(0), ""},
        {VykFunctions::HundredsWord(10), ""},
        {VykFunctions::MillionWord(1), "мільйон "},
        {VykFunctions::MillionWord(3), "мільйона "},
        {VykFunctions::MillionWord(0), "мільйонів "},
        {VykFunctions::ThousandWord(4), "тисячі "},
        {VykFunctions::ThousandWord(11), "тисяч "},
        {VykFunctions::HryvniaWord(1), "гривня "},
        {VykFunctions::HryvniaWord(5), "гривень "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.got.toStdString(), c.word);
    // The apostrophe is the backquote.
    EXPECT_EQ(VykFunctions::UnitsWord(5, 3).at(1), QChar(0x60));
}

TEST(NumberWords, DateToWordsUkr)
{
    const struct { double date; const char *words; } cases[] = {
        {0, ""},
        {0.75, ""}, // the zero date with a time
        {dayOf(2004, 3, 5), "5 березня 2004 року"},
        {dayOf(2004, 3, 5) + 0.99, "5 березня 2004 року"},
        {dayOf(1999, 12, 31), "31 грудня 1999 року"},
        {dayOf(2021, 2, 15), "15 лютого 2021 року"},
        {dayOf(2021, 4, 15), "15 квітня 2021 року"},
        {dayOf(2021, 5, 15), "15 травня 2021 року"},
        {dayOf(2021, 6, 15), "15 червня 2021 року"},
        {dayOf(2021, 7, 15), "15 липня 2021 року"},
        {dayOf(2021, 8, 15), "15 серпня 2021 року"},
        {dayOf(2021, 9, 15), "15 вересня 2021 року"},
        {dayOf(2021, 10, 15), "15 жовтня 2021 року"},
        {dayOf(2021, 11, 15), "15 листопада 2021 року"},
        {-1, "29 грудня 1899 року"},
        {-1.5, "29 грудня 1899 року"}, // the date part goes towards zero
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {1e300, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VykFunctions::DateToWordsUkr(c.date).toStdString(), c.words) << c.date;

    // January's name starts with the Latin "c".
    const QString january = VykFunctions::DateToWordsUkr(dayOf(1900, 1, 1));
    EXPECT_EQ(january, QStringLiteral("1 c") + QString::fromUtf8("ічня 1900 року"));
    EXPECT_EQ(january.at(2), QChar(0x63));
}

TEST(NumberWords, ShortenPersonName)
{
    const struct { const char *name; bool surnameFirst; const char *result; } cases[] = {
        {"Шевченко Тарас Григорович", true, "Шевченко Т. Г."},
        {"Шевченко Тарас Григорович", false, "Т. Г. Шевченко"},
        {"Шевченко Тарас", true, "Шевченко Т."},
        {"Шевченко Тарас", false, "Т. Шевченко"},
        {"Шевченко Т.Г.", false, "Т. Г. Шевченко"},
        {"Шевченко Т.Г.", true, "Шевченко .Т. Г."}, // joined initials keep their first point here
        {"Шевченко Т. Г.", true, "Шевченко Т. Г."},
        {"Т. Г. Шевченко", true, "Т. Г. Шевченко"},
        {"Т.Г. Шевченко", false, "Т.Г. Шевченко"},
        {"Шевченко", true, "Шевченко"},
        {"", false, ""},
        {"Шевченко Тарас Григорович Молодший", true, "Шевченко Т. Г."},
        {"Шевченко  Тарас   Григорович", false, "Т. Г. Шевченко"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VykFunctions::ShortenPersonName(QString::fromUtf8(c.name), c.surnameFirst).toStdString(), c.result)
            << c.name << " " << c.surnameFirst;
}
