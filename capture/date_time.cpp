#include "capture/date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace qrlogo {
namespace {

constexpr double kEarliest = -657434.0;  // 0100-01-01 00:00:00
constexpr double kLatest = 2958465.0;    // 9999-12-31 00:00:00
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr double kHalfSecond = 0.5 / kSecondsPerDay;
// Day 0 of the date, 1899-12-30, is this many days before 1970-01-01.
constexpr std::int64_t kDaysBeforeUnixEpoch = 25569;

// 年 月 日 and 时 分 秒 as GBK bytes, whatever the system's code page.
constexpr char kDateFormat[] = "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5";
constexpr char kHourMinuteSecond[] = "%d\xCA\xB1%d\xB7\xD6%d\xC3\xEB";
constexpr char kHourMinute[] = "%d\xCA\xB1%d\xB7\xD6";
constexpr char kHour[] = "%d\xCA\xB1";

struct CivilDate {
    int year;
    int month;
    int day;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // March is 0
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2);
    return {static_cast<int>(year), static_cast<int>(month),
            static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1)};
}

// The clock as UTC, for the moment the local time zone cannot be applied.
platform::LocalCalendarTime UtcCalendar(std::int32_t unixSeconds) {
    const std::int64_t days =
        (unixSeconds >= 0 ? unixSeconds : unixSeconds - (kSecondsPerDay - 1)) / kSecondsPerDay;
    const auto secondOfDay = static_cast<int>(unixSeconds - days * kSecondsPerDay);
    const CivilDate date = CivilFromDays(days);
    return {date.year,       date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60,
            secondOfDay % 60};
}

}  // namespace

DateTime DateTimeFromCalendar(const platform::LocalCalendarTime& time) {
    const std::int64_t day = DaysFromCivil(time.year, time.month, time.day) + kDaysBeforeUnixEpoch;
    const double timeOfDay =
        static_cast<double>(time.hour * 3600 + time.minute * 60 + time.second) / kSecondsPerDay;
    return {day >= 0 ? static_cast<double>(day) + timeOfDay : static_cast<double>(day) - timeOfDay};
}

DateTime CurrentDateTime() {
    const std::int32_t now = platform::UnixSecondsNow();
    const auto local = platform::ToLocalCalendarTime(now);
    return DateTimeFromCalendar(local ? *local : UtcCalendar(now));
}

Text DateTimeToText(DateTime value) {
    // A value that is no number at all is shown as day 0 rather than read as garbage.
    double days = std::isnan(value.days) ? 0.0 : std::clamp(value.days, kEarliest, kLatest);
    days += days > 0 ? kHalfSecond : -kHalfSecond;
    const double wholeDays = std::trunc(days);
    // The fraction counts forwards on both sides of day 0.
    const double fraction = std::fabs(days - wholeDays);
    const int secondOfDay = static_cast<int>(std::min<std::int64_t>(
        static_cast<std::int64_t>(fraction * kSecondsPerDay), kSecondsPerDay - 1));
    const CivilDate date =
        CivilFromDays(static_cast<std::int64_t>(wholeDays) - kDaysBeforeUnixEpoch);
    const int hour = secondOfDay / 3600;
    const int minute = secondOfDay / 60 % 60;
    const int second = secondOfDay % 60;

    char text[64];
    int length = std::snprintf(text, sizeof text, kDateFormat, date.year, date.month, date.day);
    char* const end = text + length;
    const std::size_t room = sizeof text - static_cast<std::size_t>(length);
    if (second != 0) {
        length += std::snprintf(end, room, kHourMinuteSecond, hour, minute, second);
    } else if (minute != 0) {
        length += std::snprintf(end, room, kHourMinute, hour, minute);
    } else if (hour != 0) {
        length += std::snprintf(end, room, kHour, hour);
    }
    return Text::FromBytes(std::string_view(text, static_cast<std::size_t>(length)));
}

}  // namespace qrlogo
