#pragma once
// Tests that run under a decimal comma and under a decimal point: a fixture
// parameterized by the separator, which it pins for each test, and the names
// of its two runs.
//
//   class MyTest : public testsupport::UnderSeparator {};
//   TEST_P(MyTest, ...) { ... local("1#5") ... }
//   INSTANTIATE_TEST_SUITE_P(Separators, MyTest, testsupport::separators(), testsupport::separatorName);

#include "platform/Environment.h"

#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace testsupport {

class UnderSeparator : public ::testing::TestWithParam<char16_t> {
protected:
    void SetUp() override { pin_.emplace(QChar(GetParam())); }
    // The text with every `mark` replaced by the separator of the run.
    std::string local(const char *text, char mark = '#') const
    {
        std::string s(text);
        for (char &c : s)
            if (c == mark)
                c = static_cast<char>(GetParam());
        return s;
    }

private:
    std::optional<platform::ScopedService<platform::DecimalSeparator>> pin_;
};

inline auto separators()
{
    return ::testing::Values(u',', u'.');
}

inline std::string separatorName(const ::testing::TestParamInfo<char16_t> &info)
{
    return info.param == u',' ? "Comma" : "Point";
}

} // namespace testsupport
