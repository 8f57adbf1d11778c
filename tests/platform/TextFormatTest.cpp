// The format routines of the platform: number formats, float forms, the
// format with arguments, date and time patterns and reading, edit masks.
// Number cases run under a decimal comma and a decimal point; in an expected
// text "@" stands for the decimal separator of the run and "_" for its
// thousands separator (a no-break space beside the comma, a comma beside the
// point).

#include "support/SeparatorParam.h"
#include "platform/DateTimeFormat.h"
#include "platform/Environment.h"
#include "platform/FormatSettings.h"
#include "platform/NumberFormat.h"
#include "platform/TextFormat.h"

#include <QDateTime>

#include <gtest/gtest.h>


using namespace platform;

namespace {

class FormatsUnderSeparator : public testsupport::UnderSeparator {
protected:
    QString local(const char *pattern) const
    {
        QString s = QString::fromStdString(UnderSeparator::local(pattern, '@'));
        s.replace(u'_', GetParam() == u',' ? QChar(0x00A0) : QChar(u','));
        return s;
    }
};

} // namespace

TEST_P(FormatsUnderSeparator, NumberFormats)
{
    const struct {
        const char *format;
        double value;
        const char *text;
    } cases[] = {
        {"0.00", 1234.5, "1234@50"},
        {"#,##0.00", 1234567.891, "1_234_567@89"},
        {"#,##0", -1234567, "-1_234_567"},
        {"#,##0", 123, "123"},
        {"#.##", 0.5, "@5"},
        {"#.##", 0, ""},
        {"0.##", 0, "0"},
        {"0.###", 1.23456, "1@235"},
        {"000.000", 1.5, "001@500"},
        {"0.#0", 1.5, "1@50"},
        // half away from zero, on the value's own digits
        {"0", 2.5, "3"},
        {"0", 3.5, "4"},
        {"0", -2.5, "-3"},
        {"0.00", 0.125, "0@13"},
        {"0.00", 1.005, "1@00"},
        {"0", 1e20, "100000000000000000000"},
        // literals stay where they stand, the extra digits go first
        {"00-00", 1234, "12-34"},
        {"0", 123456, "123456"},
        {"S = 0.0", 12.34, "S = 12@3"},
        {"\"кв.м\" 0", 12, "кв.м 12"},
        {"0.00 'га'", 1.5, "1@50 га"},
        // sections: negative without a sign of its own, zero, empty ones
        {"0.0;(0.0)", -2.45, "(2@5)"},
        {"0.0;-0.0;\"ноль\"", 0, "ноль"},
        {"0.0;;\"ноль\"", -1, "-1@0"},
        {"0.0;(0.0);", 0, "0@0"},
        // the exponent forms
        {"0.00E+00", 1234.5, "1@23E+03"},
        {"0.0E-0", 0.00012, "1@2E-4"},
        {"0.0E-0", 12000, "1@2E4"},
        {"##0.0E+0", 12345, "123@5E+2"},
        {"0.0e+000", 0, "0@0e+000"},
        {"", 2.5, "2@5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(QString::fromUtf8(c.format), c.value), local(c.text)) << c.format << " " << c.value;
}

TEST_P(FormatsUnderSeparator, FloatForms)
{
    const struct {
        double value;
        FloatForm form;
        int precision, digits;
        const char *text;
    } cases[] = {
        {1234.5, FloatForm::Fixed, 15, 2, "1234@50"},
        {-0.004, FloatForm::Fixed, 15, 2, "0@00"},
        {0.125, FloatForm::Fixed, 15, 2, "0@13"},
        {1234.5, FloatForm::Fixed, 15, 0, "1235"},
        {1234567.5, FloatForm::Number, 15, 1, "1_234_567@5"},
        {-1234.5, FloatForm::Number, 15, 0, "-1_235"},
        {1234.5, FloatForm::Exponent, 15, 3, "1@23450000000000E+003"},
        {-0.00015, FloatForm::Exponent, 3, 2, "-1@50E-04"},
        {0, FloatForm::Exponent, 4, 0, "0@000E+0"},
        {1234.5, FloatForm::General, 15, 0, "1234@5"},
        {1234.5, FloatForm::General, 3, 0, "1@23E3"},
        {0.00001, FloatForm::General, 15, 0, "0@00001"},
        {0.0000015, FloatForm::General, 15, 2, "1@5E-06"},
        {1234.5, FloatForm::Currency, 15, 2, "1_234@50 р."},
        {-3, FloatForm::Currency, 15, 2, "-3@00 р."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(floatToStrF(c.value, c.form, c.precision, c.digits), local(c.text)) << c.value;

    // Other currency forms of the settings.
    FormatSettings dollars;
    dollars.currencyString = QStringLiteral("$");
    dollars.currencyFormat = 0;
    dollars.negCurrFormat = 0;
    const ScopedService<FormatSettings> pin(std::move(dollars));
    EXPECT_EQ(floatToStrF(5, FloatForm::Currency, 15, 2), local("$5@00"));
    EXPECT_EQ(floatToStrF(-5, FloatForm::Currency, 15, 2), local("($5@00)"));
}

TEST_P(FormatsUnderSeparator, FormatWithArguments)
{
    const struct {
        const char *pattern;
        std::vector<FormatArg> args;
        const char *text;
    } cases[] = {
        {"%d", {42}, "42"},
        {"[%5d]", {42}, "[   42]"},
        {"[%-5d]", {42}, "[42   ]"},
        {"%.3d", {-5}, "-005"},
        {"%d", {qint64(1) << 40}, "1099511627776"},
        {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"},
        {"%x", {-1}, "FFFFFFFF"},
        {"%.4x", {10}, "000A"},
        {"%s и %s", {QStringLiteral("а"), QStringLiteral("б")}, "а и б"},
        {"%1:s %0:s %s", {QStringLiteral("a"), QStringLiteral("b")}, "b a b"},
        {"%.2s", {QStringLiteral("abcd")}, "ab"},
        {"%s", {QChar(u'x')}, "x"},
        {"%*d", {5, 42}, "   42"},
        {"%f", {1234.5}, "1234@50"},
        {"%.1f", {0.25}, "0@3"},
        {"%.0f", {2.5}, "3"},
        {"%n", {1234567.891}, "1_234_567@89"},
        {"%e", {1234.5}, "1@23450000000000E+003"},
        {"%.3e", {1234.5}, "1@23E+003"},
        {"%g", {0.5}, "0@5"},
        {"%m", {3.5}, "3@50 р."},
        {"%.0m", {FormatArg::currency(35000)}, "4 р."},
        {"%p", {FormatArg::pointer(0xBEEF)}, "0000BEEF"},
        {"100%%", {}, "100%"},
        {"%D", {7}, "7"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(format(QString::fromUtf8(c.pattern), c.args), local(c.text)) << c.pattern;

    const struct {
        const char *pattern;
        std::vector<FormatArg> args;
        const char *message;
    } errors[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%s", {7}, "Format '%s' invalid or incompatible with argument"},
        {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
        {"%y", {1}, "Format '%y' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
    };
    for (const auto &e : errors) {
        try {
            format(QString::fromUtf8(e.pattern), e.args);
            ADD_FAILURE() << e.pattern << ": no error";
        } catch (const ConvertError &error) {
            EXPECT_EQ(error.message().toStdString(), e.message);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, FormatsUnderSeparator, testsupport::separators(), testsupport::separatorName);

namespace {

double dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return dateTimeToDays(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
}

} // namespace

TEST(DateTimeFormats, PatternsNamesAndClock)
{
    const double tuesday = dateTime(2024, 3, 5, 14, 7, 9, 45);
    const double morning = dateTime(2024, 3, 5, 9, 30);
    const double midnight = dateTime(2024, 3, 5);
    const struct {
        const char *pattern;
        double value;
        const char *text;
    } cases[] = {
        {"dd.mm.yyyy", tuesday, "05.03.2024"},
        {"d/m/yy", tuesday, "5.3.24"},
        {"hh:nn:ss", tuesday, "14:07:09"},
        {"h:mm", tuesday, "14:07"},
        {"h:nn d.m", tuesday, "14:07 5.3"},
        {"dddd, d mmmm yyyy", tuesday, "вторник, 5 Март 2024"},
        {"ddd mmm", tuesday, "Вт мар"},
        {"h:nn am/pm", tuesday, "2:07 pm"},
        {"hh AM/PM", morning, "09 AM"},
        {"h a/p", tuesday, "2 p"},
        {"c", tuesday, "05.03.2024 14:07:09"},
        {"", midnight, "05.03.2024"},
        {"ddddd", tuesday, "05.03.2024"},
        {"dddddd", tuesday, "5 Март 2024 г."},
        {"t|tt", tuesday, "14:07|14:07:09"},
        {"s.zzz z", tuesday, "9.045 45"},
        {"\"год\" yyyy 'г'", tuesday, "год 2024 г"},
        {"YYYY-MM-DD", tuesday, "2024-03-05"},
        {"dd.mm.yyyy", 0, "30.12.1899"},
        {"dd.mm.yyyy hh:nn", -1.25, "29.12.1899 06:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDateTime(QString::fromUtf8(c.pattern), c.value), QString::fromUtf8(c.text)) << c.pattern;

    FormatSettings us;
    us.shortDateFormat = QStringLiteral("m/d/yyyy");
    us.dateSeparator = u'/';
    us.longTimeFormat = QStringLiteral("h:nn:ss AMPM");
    us.timeAMString = QStringLiteral("AM");
    us.timePMString = QStringLiteral("PM");
    const ScopedService<FormatSettings> pin(std::move(us));
    EXPECT_EQ(dateTimeToStr(tuesday), QStringLiteral("3/5/2024 2:07:09 PM"));
    EXPECT_EQ(dateToStr(tuesday), QStringLiteral("3/5/2024"));
    EXPECT_EQ(timeToStr(morning), QStringLiteral("9:30:00 AM"));
}

TEST(DateTimeFormats, UkrainianNames)
{
    const ScopedService<FormatSettings> pin(FormatSettings::ukrainian());
    EXPECT_EQ(formatDateTime(u"dddd d mmmm, ddd mmm", dateTime(2024, 3, 5)), QStringLiteral("вівторок 5 Березень, Вт бер"));
    EXPECT_EQ(formatDateTime(u"dddddd", dateTime(2024, 3, 5)), QStringLiteral("5 Березень 2024 р."));
}

TEST(DateTimeFormats, ReadingDatesAndTimes)
{
    const ScopedService<Clock> clock(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    const ScopedService<DecimalSeparator> comma(u',');
    const struct {
        const char *text;
        double value;
    } dates[] = {
        {"05.03.2024", dateTime(2024, 3, 5)},
        {" 5.3.2024 ", dateTime(2024, 3, 5)},
        {"5 . 3 . 2024", dateTime(2024, 3, 5)},
        {"5.3", dateTime(2024, 3, 5)},
        {"5.3.24", dateTime(2024, 3, 5)},
        {"5.3.73", dateTime(2073, 3, 5)},
        {"5.3.74", dateTime(1974, 3, 5)},
        {"29.02.2024", dateTime(2024, 2, 29)},
        {"05.03.2024.", dateTime(2024, 3, 5)},
    };
    for (const auto &d : dates)
        EXPECT_EQ(strToDate(QString::fromUtf8(d.text)), d.value) << d.text;
    for (const char *bad : {"", "5", "29.02.2023", "5.13.2024", "05.03.2024x", "05/03/2024", "а.б.в", "1.1.10000"})
        EXPECT_THROW(strToDate(QString::fromUtf8(bad)), ConvertError) << bad;
    try {
        strToDate(u"31.02.2024");
        ADD_FAILURE() << "no error";
    } catch (const ConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'31.02.2024' is not a valid date"));
    }

    const struct {
        const char *text;
        double value;
    } times[] = {
        {"14:07", dateTime(1899, 12, 30, 14, 7)},
        {"14:07:09", dateTime(1899, 12, 30, 14, 7, 9)},
        {"14:07:09,5", dateTime(1899, 12, 30, 14, 7, 9, 5)},
        {"2:07 PM", dateTime(1899, 12, 30, 14, 7)},
        {"PM 2:07", dateTime(1899, 12, 30, 14, 7)},
        {"12 am", 0},
        {"7", dateTime(1899, 12, 30, 7)},
    };
    for (const auto &t : times)
        EXPECT_DOUBLE_EQ(strToTime(QString::fromUtf8(t.text)), t.value) << t.text;
    for (const char *bad : {"", "25:00", "13 PM", "0 AM", "12:60", "1:2:3:4", "x"})
        EXPECT_THROW(strToTime(QString::fromUtf8(bad)), ConvertError) << bad;

    EXPECT_DOUBLE_EQ(strToDateTime(u"05.03.2024 14:07"), dateTime(2024, 3, 5, 14, 7));
    EXPECT_DOUBLE_EQ(strToDateTime(u"05.03.2024"), dateTime(2024, 3, 5));
    EXPECT_THROW(strToDateTime(u"05.03.2024 99:00"), ConvertError);

    // The order comes from the short date pattern.
    FormatSettings us;
    us.shortDateFormat = QStringLiteral("mm/dd/yyyy");
    us.dateSeparator = u'/';
    const ScopedService<FormatSettings> pin(std::move(us));
    EXPECT_EQ(strToDate(u"03/05/2024"), dateTime(2024, 3, 5));
    FormatSettings iso;
    iso.shortDateFormat = QStringLiteral("yyyy-mm-dd");
    iso.dateSeparator = u'-';
    const ScopedService<FormatSettings> pinIso(std::move(iso));
    EXPECT_EQ(strToDate(u"2024-03-05"), dateTime(2024, 3, 5));
    EXPECT_EQ(strToDate(u"24-3-5"), dateTime(2024, 3, 5));
}

TEST(EditMasks, LiteralsBlanksAndDirection)
{
    const struct {
        const char *mask;
        const char *value;
        const char *text;
    } cases[] = {
        {"(000) 000-00-00;0; ", "0441234567", "(044) 123-45-67"},
        {"(000) 000-00-00;0; ", "04412", "(044) 12 -  -  "},
        {"00:00;0; ", "1230", "12:30"},
        {"00/00/0000;0; ", "05032024", "05.03.2024"},
        {"\\A-000;0; ", "12", "A-12 "},
        {">LL-000;0; ", "ab123", "ab-123"},
        {"!99-99;0; ", "123", " 1-23"},
        {"000-000;1;_", "123-456", "123-456"},
        {"000-000;1;_", "123-4567", "123-456"},
        // the mask FORMATTEXT makes of an empty one, and an empty mask alone
        {";0; ", "abc", "abc"},
        {"", "abc", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatMaskText(QString::fromUtf8(c.mask), QString::fromUtf8(c.value)), QString::fromUtf8(c.text))
            << c.mask << " " << c.value;
}
