// Dates read from text: every form tables and statements hold, with blanks
// and a time after the date, and texts that are no date.

#include "platform/DateText.h"

#include <QString>

#include <gtest/gtest.h>

TEST(DateText, EveryFormAndWhatIsNoDate)
{
    const QDate march5(2020, 3, 5);
    const struct {
        const char *text;
        QDate date; // invalid: no date
    } cases[] = {
        {"05.03.2020", march5},
        {"5.3.2020", march5},
        {"2020-03-05", march5},
        {"20200305", march5},
        {"05/03/2020", march5},
        {"  05.03.2020\t", march5},
        {"05.03.2020 10:15:00", march5},
        {"5.3.2020 10:15", march5},
        {"2020-03-05T10:15:00", march5},
        {"2020-03-05 10:15:00", march5},
        {"29.02.2021", {}},
        {"2020-13-01", {}},
        {"03-05-2020", {}},
        {"", {}},
        {"завтра", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(platform::readDateText(QString::fromUtf8(c.text)), c.date) << c.text;
}
