#include "capture/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/clock.h"
#include "platform/codepage.h"

namespace qrlogo {
namespace {

constexpr double kSecond = 1.0 / 86400;

// Days of the date at midnight, as written in the cases below.
constexpr double k20130611 = 41436;
constexpr double k20131231 = 41639;

std::string Gbk(std::string_view utf8) { return platform::Utf8ToCodePage(utf8); }

double At(double day, int hour, int minute, double second) {
    return day + (hour * 3600 + minute * 60 + second) * kSecond;
}

TEST(DateTimeToText, WritesTheDateAndTheShortenedTimeOfDay) {
    struct Case {
        const char* name;
        double days;
        const char* expected;  // UTF-8 here; the text itself is GBK
    };
    const Case cases[] = {
        {"all fields", At(k20130611, 3, 5, 3), "2013年6月11日3时5分3秒"},
        {"no seconds", At(k20130611, 15, 30, 0), "2013年6月11日15时30分"},
        {"whole hour", At(k20130611, 15, 0, 0), "2013年6月11日15时"},
        {"midnight", k20130611, "2013年6月11日"},
        {"seconds only", At(k20130611, 0, 0, 7), "2013年6月11日0时0分7秒"},
        {"minutes only", At(k20130611, 0, 7, 0), "2013年6月11日0时7分"},
        {"zero minute inside", At(k20130611, 15, 0, 7), "2013年6月11日15时0分7秒"},
        {"longest text", At(k20131231, 23, 59, 59), "2013年12月31日23时59分59秒"},
        {"below half a second rounds down", At(k20131231, 23, 59, 59.4),
         "2013年12月31日23时59分59秒"},
        {"half a second and more rounds up", At(k20131231, 23, 59, 59.6), "2014年1月1日"},
        {"day 0", 0.0, "1899年12月30日"},
        {"noon of day 0", 0.5, "1899年12月30日12时"},
        {"one day back", -1.0, "1899年12月29日"},
        {"back a day, forward a quarter", -1.25, "1899年12月29日6时"},
        {"negative value rounds away from zero", -1.25 - 0.6 * kSecond, "1899年12月29日6时0分1秒"},
        {"1900 has no 29 February", 60.0, "1900年2月28日"},
        {"day after 28 February 1900", 61.0, "1900年3月1日"},
        {"2000 has 29 February", 36585.0, "2000年2月29日"},
        {"earliest", -657434.0, "100年1月1日"},
        {"below the earliest is held", -657434.5, "100年1月1日"},
        {"far below", -1e300, "100年1月1日"},
        {"latest", 2958465.0, "9999年12月31日"},
        {"above the latest is held", 2958465.75, "9999年12月31日"},
        {"infinity", std::numeric_limits<double>::infinity(), "9999年12月31日"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), "1899年12月30日"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(DateTimeToText({c.days}).View()), Gbk(c.expected))
            << "case: " << c.name;
    }
}

TEST(DateTimeToText, UnitsAreGbkBytesAndTheLongestIs26) {
    const std::string text(DateTimeToText({At(k20131231, 23, 59, 59)}).View());
    EXPECT_EQ(text,
              "2013\xC4\xEA"
              "12\xD4\xC2"
              "31\xC8\xD5"
              "23\xCA\xB1"
              "59\xB7\xD6"
              "59\xC3\xEB");
    EXPECT_EQ(text.size(), 26u);
}

TEST(DateTimeFromCalendar, CountsDaysFrom18991230) {
    struct Case {
        platform::LocalCalendarTime time;
        double days;
    };
    const Case cases[] = {
        {{2013, 6, 11, 3, 5, 3}, At(k20130611, 3, 5, 3)},
        {{1899, 12, 30, 12, 0, 0}, 0.5},
        {{1899, 12, 29, 6, 0, 0}, -1.25},
        {{1900, 3, 1, 0, 0, 0}, 61.0},
        {{100, 1, 1, 0, 0, 0}, -657434.0},
        {{9999, 12, 31, 0, 0, 0}, 2958465.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(DateTimeFromCalendar(c.time).days, c.days, 1e-9)
            << "case: " << c.time.year << "-" << c.time.month << "-" << c.time.day;
    }
}

TEST(CurrentDateTime, IsTheLocalClockToTheWholeSecond) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::int32_t before = platform::UnixSecondsNow();
        const DateTime now = CurrentDateTime();
        const DateTime again = CurrentDateTime();
        if (platform::UnixSecondsNow() != before) continue;  // a second boundary passed
        const auto local = platform::ToLocalCalendarTime(before);
        ASSERT_TRUE(local.has_value());
        EXPECT_EQ(now.days, DateTimeFromCalendar(*local).days);
        EXPECT_EQ(std::string(DateTimeToText(now).View()),
                  std::string(DateTimeToText(again).View()));
        const double secondsOfDay = (now.days - std::trunc(now.days)) * 86400;
        EXPECT_NEAR(secondsOfDay, std::round(secondsOfDay), 1e-4);
        return;
    }
    FAIL() << "the clock never stayed within one second";
}

}  // namespace
}  // namespace qrlogo
