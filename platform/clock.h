#pragma once

#include <cstdint>
#include <optional>

namespace qrlogo::platform {

// Seconds since 1970-01-01 00:00:00 UTC as a signed 32-bit count; the fraction of the current
// second is dropped.
std::int32_t UnixSecondsNow();

// A civil date and time of day on the local clock: month 1-12, day 1-31, hour 0-23.
struct LocalCalendarTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local calendar time of a count from UnixSecondsNow, with the time zone and daylight
// saving in force at that moment. None when the system cannot convert it.
std::optional<LocalCalendarTime> ToLocalCalendarTime(std::int32_t unixSeconds);

}  // namespace qrlogo::platform
