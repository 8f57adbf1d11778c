#include "platform/FormatSettings.h"

#include "platform/Environment.h"

namespace platform {

namespace {

template <std::size_t N>
std::array<QString, N> names(const char *const (&texts)[N])
{
    std::array<QString, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = QString::fromUtf8(texts[i]);
    return out;
}

} // namespace

FormatSettings::FormatSettings()
    : shortMonthNames(names({"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"})),
      longMonthNames(names({"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август", "Сентябрь",
                            "Октябрь", "Ноябрь", "Декабрь"})),
      shortDayNames(names({"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"})),
      longDayNames(names({"воскресенье", "понедельник", "вторник", "среда", "четверг", "пятница", "суббота"}))
{
}

FormatSettings FormatSettings::ukrainian()
{
    FormatSettings s;
    s.longDateFormat = QStringLiteral("d mmmm yyyy' р.'");
    s.shortMonthNames = names({"січ", "лют", "бер", "кві", "тра", "чер", "лип", "сер", "вер", "жов", "лис", "гру"});
    s.longMonthNames = names({"Січень", "Лютий", "Березень", "Квітень", "Травень", "Червень", "Липень", "Серпень",
                              "Вересень", "Жовтень", "Листопад", "Грудень"});
    s.shortDayNames = names({"Нд", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"});
    s.longDayNames = names({"неділя", "понеділок", "вівторок", "середа", "четвер", "п'ятниця", "субота"});
    s.currencyString = QStringLiteral("грн.");
    return s;
}

QChar thousandSeparator()
{
    const QChar set = formatSettings().thousandSeparator;
    if (!set.isNull())
        return set;
    return decimalSeparator() == u',' ? QChar(0x00A0) : QChar(u',');
}

} // namespace platform
