#include "platform/clock.h"

#include <time.h>

#include <algorithm>
#include <ctime>

namespace qrlogo::platform {

std::int32_t UnixSecondsNow() {
    // Past 2038-01-19 the count wraps like any signed 32-bit count of seconds.
    return static_cast<std::int32_t>(std::time(nullptr));
}

std::optional<LocalCalendarTime> ToLocalCalendarTime(std::int32_t unixSeconds) {
    const std::time_t seconds = unixSeconds;
    std::tm local{};
    // localtime_r need not look at TZ again by itself; tzset makes a changed zone count.
    tzset();
    if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
    // A leap second (tm_sec 60) is shown as the last ordinary second of its minute.
    return LocalCalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                             local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
}

}  // namespace qrlogo::platform
