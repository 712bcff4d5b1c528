#pragma once

#include "app/text.h"
#include "platform/clock.h"

namespace qrlogo {

// A point in local civil time as an OLE Automation date: days since 1899-12-30 00:00:00, the
// fraction being the time of day (0.5 is noon). Before that day the whole part counts days
// backwards while the fraction still runs forwards: -1.25 is 1899-12-29 06:00.
struct DateTime {
    double days = 0.0;
};

// The date and time of a local calendar reading (proleptic Gregorian calendar).
DateTime DateTimeFromCalendar(const platform::LocalCalendarTime& time);

// The local clock to the whole second; the fraction of the current second is dropped.
DateTime CurrentDateTime();

// Chinese calendar text in GBK bytes, such as 2013年6月11日3时5分3秒: no leading zeros, and
// trailing zero fields of the time of day left out (15时, 15时30分; midnight shows no time).
// Values are held to 0100-01-01 .. 9999-12-31 and rounded to the nearest second. The text is
// never empty and at most 26 bytes long.
Text DateTimeToText(DateTime value);

}  // namespace qrlogo
